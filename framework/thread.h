// Worker threads: AfxBeginThread starts `proc(param)` on a new thread. The
// CWinThread it returns deletes itself (and closes its handle) when the
// thread ends, so once the thread runs the caller must not touch it again;
// a caller that wants to wait for the thread creates it suspended, clears
// m_bAutoDelete, resumes it, and deletes the object after the wait.
#pragma once

#include <windows.h>

using AFX_THREADPROC = UINT (*)(LPVOID);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, LPVOID param) : m_proc(proc), m_param(param) {}
    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }

    HANDLE m_hThread = nullptr;
    UINT m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

private:
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
    static unsigned __stdcall Start(void* thread);

    AFX_THREADPROC m_proc;
    LPVOID m_param;
};

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL, UINT stackSize = 0,
                           DWORD createFlags = 0, LPSECURITY_ATTRIBUTES security = nullptr);
