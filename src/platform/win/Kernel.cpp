// Last-error slot, the kernel-object registry, named mutexes (lock files) and the raise request
// that a second copy of the program sends to the first.
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

#include "platform/host/Clock.h"
#include "platform/host/Host.h"
#include "platform/win/Win.h"
#include "platform/win/WinInternal.h"

namespace {

thread_local DWORD t_dwLastError = 0;

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::unordered_set<CKernelObject*>& Registry() {
    static std::unordered_set<CKernelObject*> live;
    return live;
}

// 64-bit FNV-1a: a stable file-system-safe token for any mutex name.
std::string HashName(const char* pszName) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pszName); *p; ++p) {
        h ^= *p;
        h *= 0x100000001B3ull;
    }
    char text[17];
    snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

std::string LockPathFor(const std::string& hash) {
    const char* pszDir = getenv("XDG_RUNTIME_DIR");
    std::string dir = (pszDir && *pszDir) ? pszDir : "/tmp";
    return dir + "/zorva-" + hash + ".lock";
}

// Abstract-namespace address; the user id keeps users on one machine apart.
socklen_t SocketAddressFor(const std::string& hash, sockaddr_un* pAddr) {
    memset(pAddr, 0, sizeof *pAddr);
    pAddr->sun_family = AF_UNIX;
    char name[80];
    int n = snprintf(name, sizeof name, "zorva-%s-%u", hash.c_str(), static_cast<unsigned>(getuid()));
    memcpy(pAddr->sun_path + 1, name, static_cast<size_t>(n));
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(n));
}

// The lock file exists while its mutex is owned: the owner removes it before unlocking, so no
// file is left behind. A waiter that then gets the lock of a removed file opens the new one and
// tries again, so two owners never hold different files of one name.
class CNamedMutex : public CKernelObject {
public:
    explicit CNamedMutex(std::string hash) : m_strHash(std::move(hash)) {
        if (!m_strHash.empty()) m_strPath = LockPathFor(m_strHash);
    }
    ~CNamedMutex() override {
        Disown();
        if (m_fdLock >= 0) close(m_fdLock);
    }

    bool OpenLockFile() {
        if (m_strHash.empty()) return true;
        m_fdLock = open(m_strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        return m_fdLock >= 0;
    }

    // true when this handle now owns the mutex.
    bool TryOwn(bool bBlock) {
        if (m_bOwned) return true;
        if (m_fdLock >= 0) {
            for (;;) {
                int rc;
                do {
                    rc = flock(m_fdLock, LOCK_EX | (bBlock ? 0 : LOCK_NB));
                } while (rc != 0 && errno == EINTR);
                if (rc != 0) return false;
                if (HoldsCurrentFile()) break;
                // The owner we waited for removed the file: its successor locks the new one.
                close(m_fdLock);
                if (!OpenLockFile()) return false;
            }
            Listen();
        }
        m_bOwned = true;
        return true;
    }

    bool Disown() {
        if (!m_bOwned) return false;
        if (m_fdListen >= 0) {
            close(m_fdListen);
            m_fdListen = -1;
        }
        if (m_fdLock >= 0) {
            unlink(m_strPath.c_str());
            flock(m_fdLock, LOCK_UN);
        }
        m_bOwned = false;
        return true;
    }

    // Number of raise requests accepted now.
    int AcceptRequests() {
        int nRequests = 0;
        if (m_fdListen < 0) return 0;
        for (;;) {
            int fd = accept4(m_fdListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) break;
            close(fd);
            ++nRequests;
        }
        return nRequests;
    }

    bool IsOwned() const { return m_bOwned; }

private:
    bool HoldsCurrentFile() const {
        struct stat held, named;
        // Only a file that is gone or replaced says so; a check that cannot be made keeps the lock.
        if (stat(m_strPath.c_str(), &named) != 0) return errno != ENOENT;
        if (fstat(m_fdLock, &held) != 0) return true;
        return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    }

    void Listen() {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return;
        sockaddr_un addr;
        socklen_t len = SocketAddressFor(m_strHash, &addr);
        // Without the listener the guard still works; only the raise is lost.
        if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd, 8) != 0) {
            close(fd);
            return;
        }
        m_fdListen = fd;
    }

    std::string m_strHash;  // empty for an unnamed mutex (process-local)
    std::string m_strPath;  // the lock file of a named one
    int m_fdLock = -1;
    int m_fdListen = -1;
    bool m_bOwned = false;
};

CNamedMutex* MutexFromHandle(HANDLE h) {
    return dynamic_cast<CNamedMutex*>(CKernelObject::FromHandle(h));
}

}  // namespace

CKernelObject::CKernelObject() {
    std::lock_guard<std::mutex> guard(RegistryLock());
    Registry().insert(this);
}

CKernelObject::~CKernelObject() {
    std::lock_guard<std::mutex> guard(RegistryLock());
    Registry().erase(this);
}

CKernelObject* CKernelObject::FromHandle(void* hObject) {
    if (hObject == nullptr || hObject == INVALID_HANDLE_VALUE) return nullptr;
    std::lock_guard<std::mutex> guard(RegistryLock());
    auto it = Registry().find(static_cast<CKernelObject*>(hObject));
    return it == Registry().end() ? nullptr : *it;
}

DWORD GetLastError() { return t_dwLastError; }

void SetLastError(DWORD dwErrCode) { t_dwLastError = dwErrCode; }

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCSTR lpName) {
    std::string hash = (lpName && *lpName) ? HashName(lpName) : std::string();
    auto* pMutex = new CNamedMutex(hash);
    if (!pMutex->OpenLockFile()) {
        delete pMutex;
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // A named mutex exists exactly while someone owns it, so creating one means taking it; an
    // unnamed one is owned only when asked.
    if (!hash.empty() || bInitialOwner) {
        if (!pMutex->TryOwn(false)) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return pMutex;
        }
    }
    SetLastError(ERROR_SUCCESS);
    return pMutex;
}

BOOL ReleaseMutex(HANDLE hMutex) {
    CNamedMutex* pMutex = MutexFromHandle(hMutex);
    if (!pMutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!pMutex->Disown()) {
        SetLastError(288);  // ERROR_NOT_OWNER
        return FALSE;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
    CKernelObject* pObject = CKernelObject::FromHandle(hObject);
    if (!pObject) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete pObject;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    CNamedMutex* pMutex = MutexFromHandle(hHandle);
    DWORD dwSyncResult;
    if (!pMutex && WaitForSyncObject(hHandle, dwMilliseconds, &dwSyncResult)) return dwSyncResult;
    if (!pMutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    if (dwMilliseconds == INFINITE) return pMutex->TryOwn(true) ? WAIT_OBJECT_0 : WAIT_FAILED;
    uint32_t dwStart = MonotonicMs();
    for (;;) {
        if (pMutex->TryOwn(false)) return WAIT_OBJECT_0;
        if (MonotonicMs() - dwStart >= dwMilliseconds) return WAIT_TIMEOUT;
        SleepRealMs(1);
    }
}

void PollInstanceRequests() {
    int nRequests = 0;
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        for (CKernelObject* pObject : Registry()) {
            if (auto* pMutex = dynamic_cast<CNamedMutex*>(pObject)) nRequests += pMutex->AcceptRequests();
        }
    }
    IHost* pHost = GetHost();
    if (nRequests > 0 && pHost) pHost->RaiseMainWindow();
}

BOOL RaiseInstanceWindow(const char* pszMutexName) {
    if (!pszMutexName || !*pszMutexName) return FALSE;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return FALSE;
    sockaddr_un addr;
    socklen_t len = SocketAddressFor(HashName(pszMutexName), &addr);
    // The connection itself is the request: the owner's kernel queues it until the owner pumps.
    BOOL bDelivered = connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 ? TRUE : FALSE;
    close(fd);
    return bDelivered;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR lpFilename, DWORD nSize) {
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    char path[PATH_MAX];
    if (!realpath("/proc/self/exe", path)) {
        lpFilename[0] = '\0';
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    size_t len = strlen(path);
    if (len < nSize) {
        memcpy(lpFilename, path, len + 1);
        SetLastError(ERROR_SUCCESS);
        return static_cast<DWORD>(len);
    }
    memcpy(lpFilename, path, nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

void OutputDebugStringA(LPCSTR lpOutputString) {
    IHost* pHost = GetHost();
    if (pHost && lpOutputString) pHost->DebugOutput(lpOutputString);
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }
