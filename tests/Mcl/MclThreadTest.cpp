#include <gtest/gtest.h>

#include <atomic>

#include "Mcl/MclThread.h"
#include "platform/host/HostHeadless.h"

namespace {

class CCountHandler : public CMclThreadHandler {
public:
    unsigned ThreadHandlerProc() override {
        m_nRuns++;
        if (m_hWait) WaitForSingleObject(m_hWait, INFINITE);
        return 42;
    }
    std::atomic<int> m_nRuns{0};
    HANDLE m_hWait = nullptr;
};

TEST(MclThread, RunsTheHandlerAndEndsWithItsResult) {
    CCountHandler handler;
    CMclThread thread(&handler);
    EXPECT_EQ(0u, thread.Status());
    EXPECT_TRUE(thread.IsValid());
    EXPECT_NE(0u, thread.GetThreadId());
    EXPECT_EQ(WAIT_OBJECT_0, thread.Wait(INFINITE));
    EXPECT_EQ(1, handler.m_nRuns.load());
    DWORD dwCode = 0;
    ASSERT_TRUE(thread.GetExitCode(&dwCode));
    EXPECT_EQ(42u, dwCode);
    EXPECT_EQ(nullptr, CMclKernel::GetHandle(nullptr));
}

TEST(MclThread, SuspendedStartWaitsForResume) {
    CCountHandler handler;
    CMclThread thread(&handler, CREATE_SUSPENDED);
    EXPECT_EQ(WAIT_TIMEOUT, thread.Wait(30));
    EXPECT_EQ(0, handler.m_nRuns.load());
    DWORD dwCode = 0;
    thread.GetExitCode(&dwCode);
    EXPECT_EQ(DWORD(STILL_ACTIVE), dwCode);
    EXPECT_EQ(1u, thread.Resume());
    EXPECT_EQ(WAIT_OBJECT_0, thread.Wait(INFINITE));
    EXPECT_EQ(1, handler.m_nRuns.load());
}

TEST(MclThread, PriorityIsKeptAsAskedAndSuspendIsRefused) {
    CCountHandler handler;
    handler.m_hWait = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        CMclThread thread(&handler);
        EXPECT_TRUE(thread.SetPriority(THREAD_PRIORITY_HIGHEST));
        EXPECT_EQ(THREAD_PRIORITY_HIGHEST, thread.GetPriority());
        EXPECT_FALSE(thread.SetPriority(99));
        EXPECT_EQ(static_cast<DWORD>(-1), thread.Suspend());
        EXPECT_FALSE(thread.Terminate(0));
        EXPECT_EQ(DWORD(ERROR_NOT_SUPPORTED), GetLastError());
        SetEvent(handler.m_hWait);
        EXPECT_EQ(WAIT_OBJECT_0, thread.Wait(INFINITE));
    }
    CloseHandle(handler.m_hWait);
}

TEST(MclThread, WaitForTwoAnyOrAll) {
    CCountHandler a, b;
    a.m_hWait = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    b.m_hWait = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        CMclThread ta(&a), tb(&b);
        EXPECT_EQ(WAIT_TIMEOUT, ta.WaitForTwo(tb, FALSE, 10));
        SetEvent(b.m_hWait);
        EXPECT_EQ(WAIT_OBJECT_0 + 1, ta.WaitForTwo(tb, FALSE, INFINITE));
        EXPECT_EQ(WAIT_TIMEOUT, ta.WaitForTwo(tb, TRUE, 10));
        SetEvent(a.m_hWait);
        EXPECT_EQ(WAIT_OBJECT_0, ta.WaitForTwo(tb, TRUE, INFINITE));
    }
    CloseHandle(a.m_hWait);
    CloseHandle(b.m_hWait);
}

TEST(MclError, ReportGoesToTheDebuggerAndRaisesTheCode) {
    CHostHeadless host;
    host.SetQuiet(true);
    SetHost(&host);
    try {
        ReportMclError(11, "CMclKernel", 77);
        FAIL() << "no exception";
    } catch (const CMclException& e) {
        EXPECT_EQ(11u, e.GetCode());
    }
    SetHost(nullptr);
    ASSERT_EQ(1u, host.GetDebugLines().size());
    EXPECT_EQ("CMcl Library Win32 Error 0x0000000b(11) at CMclKernel line 77\n", host.GetDebugLines()[0]);
}

TEST(MclCritSec, IsReentrantOnTheOwningThread) {
    CMclCritSec cs;
    cs.Enter();
    cs.Enter();
    EXPECT_TRUE(TryEnterCriticalSection(cs.GetCritSec()));
    cs.Leave();
    cs.Leave();
    cs.Leave();
}

TEST(SyncEvent, ManualResetStaysSignalledAutoResetWakesOne) {
    HANDLE hManual = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hManual, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hManual, 0));
    ResetEvent(hManual);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(hManual, 0));
    HANDLE hAuto = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    SetEvent(hAuto);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hAuto, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(hAuto, 0));
    EXPECT_TRUE(CloseHandle(hManual));
    EXPECT_TRUE(CloseHandle(hAuto));
    EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(hAuto, 0));
    EXPECT_FALSE(SetEvent(hAuto));
}

}  // namespace
