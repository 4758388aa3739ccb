// The named mutex across processes and the request that raises the first copy's window.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "WinTestSupport.h"
#include "support/TempFolder.h"

namespace {

std::string UniqueName(const char* pszTag) {
    return std::string("/opt/zorva?bin?") + pszTag + "-" + std::to_string(getpid());
}

// Runs fn in a child process and returns its exit code (fn's result).
template <typename Fn>
int InChild(Fn fn) {
    pid_t pid = fork();
    if (pid == 0) _exit(fn());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using MutexTest = HeadlessWinTest;

TEST_F(MutexTest, SecondProcessSeesAlreadyExistsAndRaisesTheFirst) {
    HWND hWnd = CreateMainWindow();
    ASSERT_NE(hWnd, nullptr);
    std::string name = UniqueName("game.exe");
    HANDLE hMutex = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_NE(hMutex, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

    int nChild = InChild([&] {
        HANDLE h = CreateMutexA(nullptr, TRUE, name.c_str());
        if (!h || GetLastError() != ERROR_ALREADY_EXISTS) return 1;
        if (!RaiseInstanceWindow(name.c_str())) return 2;
        HANDLE hOther = CreateMutexA(nullptr, TRUE, (name + "-other").c_str());
        if (!hOther || GetLastError() != ERROR_SUCCESS) return 3;
        if (RaiseInstanceWindow((name + "-nobody").c_str())) return 4;
        CloseHandle(hOther);
        CloseHandle(h);
        return 0;
    });
    EXPECT_EQ(nChild, 0);

    EXPECT_EQ(m_host.GetRaiseCount(), 0);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(m_host.GetRaiseCount(), 1);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(m_host.GetRaiseCount(), 1);

    EXPECT_TRUE(ReleaseMutex(hMutex));
    EXPECT_TRUE(CloseHandle(hMutex));
    // Released: the next copy owns it, and nobody listens for the old owner any more.
    EXPECT_EQ(InChild([&] {
                  HANDLE h = CreateMutexA(nullptr, TRUE, name.c_str());
                  const bool bOwned = h && GetLastError() == ERROR_SUCCESS;
                  CloseHandle(h);
                  return bOwned ? 0 : 1;
              }),
              0);
    EXPECT_FALSE(RaiseInstanceWindow(name.c_str()));
}

// The lock file lives only while the mutex is owned, and a waiter left holding the removed file
// owns the new one, never alongside another process.
TEST_F(MutexTest, TheLockFileExistsOnlyWhileOwned) {
    std::string strDir = TempTemplate("zorva-locks");
    ASSERT_NE(mkdtemp(strDir.data()), nullptr);
    const char* pszOld = getenv("XDG_RUNTIME_DIR");
    const std::string strOld = pszOld ? pszOld : "";
    setenv("XDG_RUNTIME_DIR", strDir.c_str(), 1);
    auto Files = [&] {
        return std::distance(std::filesystem::directory_iterator(strDir), std::filesystem::directory_iterator());
    };
    std::string name = UniqueName("lockfile");
    HANDLE hFirst = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Files(), 1);
    HANDLE hWaiter = CreateMutexA(nullptr, TRUE, name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    EXPECT_TRUE(ReleaseMutex(hFirst));
    EXPECT_EQ(Files(), 0);
    EXPECT_EQ(WaitForSingleObject(hWaiter, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(Files(), 1);
    // Another process sees the waiter's ownership; the first handle cannot take it either.
    EXPECT_EQ(InChild([&] {
                  HANDLE h = CreateMutexA(nullptr, TRUE, name.c_str());
                  const bool bRefused = h && GetLastError() == ERROR_ALREADY_EXISTS;
                  CloseHandle(h);
                  return bRefused ? 0 : 1;
              }),
              0);
    EXPECT_EQ(WaitForSingleObject(hFirst, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(CloseHandle(hWaiter));
    EXPECT_EQ(Files(), 0);
    EXPECT_TRUE(CloseHandle(hFirst));
    EXPECT_EQ(Files(), 0);

    if (pszOld) {
        setenv("XDG_RUNTIME_DIR", strOld.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
    EXPECT_EQ(rmdir(strDir.c_str()), 0);
}

TEST_F(MutexTest, OwnershipInOneProcessReleaseWaitAndBadHandles) {
    std::string name = UniqueName("local");
    HANDLE hFirst = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE hSecond = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_NE(hSecond, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(WaitForSingleObject(hSecond, 5), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_FALSE(ReleaseMutex(hSecond));  // not the owner
    EXPECT_TRUE(ReleaseMutex(hFirst));
    EXPECT_FALSE(ReleaseMutex(hFirst));
    EXPECT_EQ(WaitForSingleObject(hSecond, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(hFirst, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(CloseHandle(hSecond));  // closing releases
    EXPECT_EQ(WaitForSingleObject(hFirst, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(CloseHandle(hFirst));

    EXPECT_FALSE(CloseHandle(hFirst));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), static_cast<DWORD>(WAIT_FAILED));
    EXPECT_FALSE(RaiseInstanceWindow(""));
}

TEST_F(MutexTest, UnnamedMutexIsLocalAndNeverCollides) {
    HANDLE hA = CreateMutexA(nullptr, TRUE, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE hB = CreateMutexA(nullptr, TRUE, "");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(ReleaseMutex(hA));
    EXPECT_TRUE(CloseHandle(hA));
    EXPECT_TRUE(CloseHandle(hB));
}

}  // namespace
