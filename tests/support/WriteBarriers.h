// Ways to make a write fail that hold for every user, root included: a file-size limit that stands
// in for a full disk, and folder permissions that bind root as they bind anyone else.
#pragma once
#include <gtest/gtest.h>

#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, no file of the process grows past the limit: a write past it fails as on a full
// disk. The signal keeps its default, which ends the process: the game's writes must not meet it.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t nBytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_Old);
        m_OldHandler = signal(SIGXFSZ, SIG_DFL);
        struct rlimit small = m_Old;
        small.rlim_cur = nBytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~CFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_Old);
        signal(SIGXFSZ, m_OldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    struct rlimit m_Old = {};
    void (*m_OldHandler)(int) = SIG_DFL;
};

// While it lives, the calling thread (and the threads it starts) obeys file permissions even as
// root: the capability that overrides them is out of its effective set, and comes back after.
class CPermissionsBind {
public:
    CPermissionsBind()
    {
        if (syscall(SYS_capget, &m_Header, m_Old) != 0)
            return;
        __user_cap_data_struct data[2] = {m_Old[0], m_Old[1]};
        data[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        m_bChanged = syscall(SYS_capset, &m_Header, data) == 0;
    }
    ~CPermissionsBind()
    {
        if (m_bChanged)
            syscall(SYS_capset, &m_Header, m_Old);
    }
    CPermissionsBind(const CPermissionsBind&) = delete;
    CPermissionsBind& operator=(const CPermissionsBind&) = delete;

private:
    __user_cap_header_struct m_Header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_Old[2] = {};
    bool m_bChanged = false;
};
