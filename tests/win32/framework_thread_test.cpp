// Worker threads through AfxBeginThread: the procedure gets its parameter at
// the asked priority, a suspended thread waits for ResumeThread, and a
// thread object that does not delete itself can be waited on and deleted.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "thread.h"

namespace {

constexpr UINT kExitCode = 7;
constexpr DWORD kWaitLimit = 10000;

struct ProcRun {
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> ran{false};
    LPVOID param = nullptr;
    int priority = THREAD_PRIORITY_ERROR_RETURN;
    DWORD thread = 0;

    ~ProcRun() { ::CloseHandle(done); }
};

UINT RecordRun(LPVOID param)
{
    auto* run = static_cast<ProcRun*>(param);
    run->param = param;
    run->priority = ::GetThreadPriority(::GetCurrentThread());
    run->thread = ::GetCurrentThreadId();
    run->ran = true;
    ::SetEvent(run->done);
    return kExitCode;
}

TEST(ThreadTest, ProcedureGetsItsParameterAtTheAskedPriority)
{
    for (const int priority : {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                               THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST}) {
        SCOPED_TRACE(testing::Message() << "priority " << priority);
        ProcRun run;
        ASSERT_NE(run.done, nullptr);
        // The object deletes itself when the thread ends: not touched again.
        ASSERT_NE(AfxBeginThread(RecordRun, &run, priority), nullptr);
        ASSERT_EQ(::WaitForSingleObject(run.done, kWaitLimit), WAIT_OBJECT_0);
        EXPECT_EQ(run.param, &run);
        EXPECT_EQ(run.priority, priority);
        EXPECT_NE(run.thread, ::GetCurrentThreadId());
    }
}

TEST(ThreadTest, SuspendedThreadRunsOnlyAfterResumeAndCanBeWaitedOn)
{
    ProcRun run;
    CWinThread* thread = AfxBeginThread(RecordRun, &run, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    EXPECT_FALSE(run.ran);
    EXPECT_EQ(::WaitForSingleObject(thread->m_hThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // 1: it was suspended once, by AfxBeginThread.
    EXPECT_EQ(thread->ResumeThread(), 1u);

    ASSERT_EQ(::WaitForSingleObject(thread->m_hThread, kWaitLimit), WAIT_OBJECT_0);
    EXPECT_TRUE(run.ran);
    EXPECT_EQ(run.thread, thread->m_nThreadID);
    DWORD exitCode = 0;
    ASSERT_TRUE(::GetExitCodeThread(thread->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, kExitCode);
    delete thread;
}

TEST(ThreadTest, ThrowingProcedureEndsItsThreadOnly)
{
    CWinThread* thread = AfxBeginThread([](LPVOID) -> UINT { throw std::runtime_error("worker failed"); }, nullptr,
                                        THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(thread->m_hThread, kWaitLimit), WAIT_OBJECT_0);
    DWORD exitCode = kExitCode;
    ASSERT_TRUE(::GetExitCodeThread(thread->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    delete thread;
}

}  // namespace
