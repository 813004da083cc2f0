#include "thread.h"

#include <process.h>

#include "win_app.h"

CWinThread::~CWinThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::Start(void* argument)
{
    auto* thread = static_cast<CWinThread*>(argument);
    UINT exitCode = 0;
    try {
        exitCode = thread->m_proc(thread->m_param);
    } catch (...) {
        AfxReportUnexpectedException();
    }
    if (thread->m_bAutoDelete)
        delete thread;
    return exitCode;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize, DWORD createFlags,
                           LPSECURITY_ATTRIBUTES security)
{
    auto* thread = new CWinThread(proc, param);
    unsigned id = 0;
    const uintptr_t handle = ::_beginthreadex(security, stackSize, &CWinThread::Start, thread, CREATE_SUSPENDED, &id);
    if (handle == 0) {
        delete thread;
        return nullptr;
    }
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    thread->m_nThreadID = id;
    ::SetThreadPriority(thread->m_hThread, priority);
    if (!(createFlags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}
