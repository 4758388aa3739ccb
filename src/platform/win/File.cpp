#include "platform/win/File.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/win/Win.h"

namespace {

class CFileHandle : public CKernelObject {
public:
    explicit CFileHandle(int fd) : m_fd(fd) {}
    ~CFileHandle() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int m_fd;
};

class CFindHandle : public CKernelObject {
public:
    std::vector<WIN32_FIND_DATAA> m_Entries;
    size_t m_nNext = 0;
};

CFileHandle* FileFromHandle(HANDLE h)
{
    return dynamic_cast<CFileHandle*>(CKernelObject::FromHandle(h));
}

DWORD ErrorFromErrno(int e)
{
    switch (e) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    // A file-size limit leaves a file no more room than a full disk does.
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ERROR_DISK_FULL;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_INVALID_PARAMETER;
    }
}

void SetErrorFromErrno()
{
    SetLastError(ErrorFromErrno(errno));
}

bool ExistsAsWritten(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

bool EqualNoCase(const char* a, const char* b)
{
    for (; *a && *b; a++, b++)
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
    return *a == *b;
}

// The entry of a folder whose name equals the component without regard to case (the first in
// byte order when several do), or empty.
std::string FindNoCase(const std::string& folder, const std::string& name)
{
    DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!d)
        return std::string();
    std::string best;
    while (dirent* e = ::readdir(d)) {
        if (EqualNoCase(e->d_name, name.c_str()) && (best.empty() || strcmp(e->d_name, best.c_str()) < 0))
            best = e->d_name;
    }
    ::closedir(d);
    return best;
}

// Code page 932 lead bytes: the byte after one may be 0x5C and is then no backslash.
bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string ToSlashes(const char* pszPath)
{
    std::string s(pszPath ? pszPath : "");
    for (size_t i = 0; i < s.size(); i++) {
        if (IsLeadByte((unsigned char)s[i]) && i + 1 < s.size())
            i++;
        else if (s[i] == '\\')
            s[i] = '/';
    }
    return s;
}

// Resolves the components one by one: each that does not exist as written is matched without
// regard to case; from the first that cannot be matched on, the rest is kept as written.
std::string ResolveNoCase(const std::string& path)
{
    std::string out;
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        out = "/";
        i = 1;
    }
    bool bMatching = true;
    while (i <= path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos)
            j = path.size();
        std::string comp = path.substr(i, j - i);
        if (!comp.empty()) {
            std::string folder = out.empty() ? std::string(".") : out;
            std::string next = (out.empty() || out.back() == '/') ? out + comp : out + "/" + comp;
            if (bMatching && comp != "." && comp != ".." && !ExistsAsWritten(next)) {
                std::string found = FindNoCase(folder, comp);
                if (found.empty())
                    bMatching = false;
                else
                    next = (out.empty() || out.back() == '/') ? out + found : out + "/" + found;
            }
            out = next;
        }
        if (j < path.size() && (out.empty() || out.back() != '/'))
            out += '/';
        i = j + 1;
    }
    return out;
}

bool MatchPattern(const char* pat, const char* name)
{
    if (strcmp(pat, "*.*") == 0)
        return true;
    while (*pat) {
        if (*pat == '*') {
            pat++;
            if (!*pat)
                return true;
            for (const char* n = name; *n; n++)
                if (MatchPattern(pat, n))
                    return true;
            return MatchPattern(pat, "");
        }
        if (!*name)
            return false;
        if (*pat != '?' && LowerAscii(*pat) != LowerAscii(*name))
            return false;
        pat++;
        name++;
    }
    return *name == 0;
}

DWORD AttributesOf(const struct stat& st)
{
    DWORD a = 0;
    if (S_ISDIR(st.st_mode))
        a |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(st.st_mode & S_IWUSR))
        a |= FILE_ATTRIBUTE_READONLY;
    return a ? a : FILE_ATTRIBUTE_NORMAL;
}

void CopyName(char* pDst, size_t nDst, const char* pszSrc)
{
    size_t n = strlen(pszSrc);
    if (n >= nDst)
        n = nDst - 1;
    memcpy(pDst, pszSrc, n);
    pDst[n] = 0;
}

// Under a file-size limit (ulimit -f) the kernel would end the program with SIGXFSZ in the middle
// of a save; ignored, the write fails with EFBIG, and the save reports a full disk as any other.
void KeepFileSizeLimitAnError()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool WriteAll(int fd, const void* pData, size_t nSize)
{
    KeepFileSizeLimitAnError();
    size_t nDone = 0;
    while (nDone < nSize) {
        ssize_t n = ::write(fd, static_cast<const char*>(pData) + nDone, nSize - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;  // a write that takes nothing has nowhere to put it
        if (n <= 0)
            return false;
        nDone += (size_t)n;
    }
    return true;
}

// The folder a host path names its file in.
std::string FolderOf(const std::string& path)
{
    size_t n = path.find_last_of('/');
    if (n == std::string::npos)
        return ".";
    return n == 0 ? std::string("/") : path.substr(0, n);
}

// A rename is only as durable as the folder's entry list. A file system that cannot flush a folder
// says so; the file is in place all the same, so that is no failure of the write.
void SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The name of the new file that is written beside the target and renamed over it.
std::string ReplacementOf(const std::string& target)
{
    return target + ".new";
}

// The new file beside the target: made afresh, so that a file left by a crash lends it nothing, and
// with the old file's permissions, or the process's defaults for a file that is new.
int CreateReplacement(const std::string& temp, const struct stat* pOld)
{
    ::unlink(temp.c_str());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 && pOld)
        ::fchmod(fd, pOld->st_mode & 07777);
    return fd;
}

// Gives up a replacement: the error of the step that failed stays the last error.
int AbandonReplacement(int fd, const std::string& temp, int nStep)
{
    const int nErrno = errno;
    if (fd >= 0)
        ::close(fd);
    ::unlink(temp.c_str());
    SetLastError(ErrorFromErrno(nErrno));
    return nStep;
}

} // namespace

std::string MapHostPath(const char* pszPath)
{
    std::string path = ToSlashes(pszPath);
    if (path.empty() || ExistsAsWritten(path))
        return path;
    return ResolveNoCase(path);
}

FILE* HostFOpen(const char* pszPath, const char* pszMode)
{
    std::string path = MapHostPath(pszPath);
    return fopen(path.c_str(), pszMode);
}

int ReplaceFileContents(const char* pszPath, const void* pData, size_t nSize)
{
    const std::string target = MapHostPath(pszPath);
    if (target.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return REPLACE_CANNOT_CREATE;
    }
    struct stat old;
    const bool bOld = ::stat(target.c_str(), &old) == 0;
    const std::string temp = ReplacementOf(target);
    int fd = CreateReplacement(temp, bOld ? &old : nullptr);
    if (fd < 0) {
        SetErrorFromErrno();
        return REPLACE_CANNOT_CREATE;
    }
    if (!WriteAll(fd, pData, nSize) || ::fsync(fd) != 0)
        return AbandonReplacement(fd, temp, REPLACE_CANNOT_WRITE);
    if (::close(fd) != 0)
        return AbandonReplacement(-1, temp, REPLACE_CANNOT_WRITE);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        return AbandonReplacement(-1, temp, REPLACE_CANNOT_RENAME);
    SyncFolder(FolderOf(target));
    SetLastError(ERROR_SUCCESS);
    return REPLACE_OK;
}

int RemoveReplacementLeftover(const char* pszPath)
{
    const std::string target = MapHostPath(pszPath);
    if (target.empty())
        return 0;
    const std::string temp = ReplacementOf(target);
    struct stat st;
    if (::lstat(temp.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    return ::unlink(temp.c_str()) == 0 ? 1 : 0;
}

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD dwCreationDisposition, DWORD, HANDLE)
{
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    int flags = 0;
    bool bRead = (dwDesiredAccess & GENERIC_READ) != 0;
    bool bWrite = (dwDesiredAccess & GENERIC_WRITE) != 0;
    flags = bWrite ? (bRead ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (dwCreationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
    }
    std::string path = MapHostPath(lpFileName);
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        SetErrorFromErrno();
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<HANDLE>(new CFileHandle(fd));
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nToRead, LPDWORD lpRead, LPOVERLAPPED)
{
    if (lpRead)
        *lpRead = 0;
    CFileHandle* f = FileFromHandle(hFile);
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD nDone = 0;
    while (nDone < nToRead) {
        ssize_t n = ::read(f->m_fd, static_cast<char*>(lpBuffer) + nDone, nToRead - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetErrorFromErrno();
            if (lpRead)
                *lpRead = nDone;
            return FALSE;
        }
        if (n == 0)
            break;
        nDone += (DWORD)n;
    }
    if (lpRead)
        *lpRead = nDone;
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nToWrite, LPDWORD lpWritten, LPOVERLAPPED)
{
    if (lpWritten)
        *lpWritten = 0;
    CFileHandle* f = FileFromHandle(hFile);
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD nDone = 0;
    while (nDone < nToWrite) {
        ssize_t n = ::write(f->m_fd, static_cast<const char*>(lpBuffer) + nDone, nToWrite - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            SetErrorFromErrno();
            if (lpWritten)
                *lpWritten = nDone;
            return FALSE;
        }
        nDone += (DWORD)n;
    }
    if (lpWritten)
        *lpWritten = nDone;
    return TRUE;
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistance, LONG* lpDistanceHigh, DWORD dwMoveMethod)
{
    CFileHandle* f = FileFromHandle(hFile);
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t nDist = lpDistanceHigh ? (int64_t)(((uint64_t)(uint32_t)*lpDistanceHigh << 32) | (uint32_t)lDistance)
                                   : (int64_t)lDistance;
    int whence = dwMoveMethod == FILE_CURRENT ? SEEK_CUR : (dwMoveMethod == FILE_END ? SEEK_END : SEEK_SET);
    if (whence == SEEK_SET && nDist < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    off_t pos = ::lseek(f->m_fd, (off_t)nDist, whence);
    if (pos < 0) {
        SetErrorFromErrno();
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceHigh)
        *lpDistanceHigh = (LONG)((uint64_t)pos >> 32);
    SetLastError(ERROR_SUCCESS);
    return (DWORD)((uint64_t)pos & 0xFFFFFFFFu);
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    CFileHandle* f = FileFromHandle(hFile);
    struct stat st;
    if (!f || ::fstat(f->m_fd, &st) != 0) {
        SetLastError(f ? ErrorFromErrno(errno) : ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    if (lpFileSizeHigh)
        *lpFileSizeHigh = (DWORD)((uint64_t)st.st_size >> 32);
    SetLastError(ERROR_SUCCESS);
    return (DWORD)((uint64_t)st.st_size & 0xFFFFFFFFu);
}

BOOL DeleteFileA(LPCSTR lpFileName)
{
    std::string path = MapHostPath(lpFileName);
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::unlink(path.c_str()) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExA(LPCSTR lpExisting, LPCSTR lpNew, DWORD dwFlags)
{
    std::string from = MapHostPath(lpExisting);
    std::string to = MapHostPath(lpNew);
    if (!(dwFlags & MOVEFILE_REPLACE_EXISTING) && ExistsAsWritten(to)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer)
{
    const char* pszDir = getenv("TMPDIR");
    std::string dir = (pszDir && *pszDir) ? pszDir : "/tmp";
    if (dir.back() != '/')
        dir += '/';
    if (!lpBuffer || nBufferLength <= dir.size())
        return (DWORD)dir.size() + 1;
    memcpy(lpBuffer, dir.c_str(), dir.size() + 1);
    return (DWORD)dir.size();
}

UINT GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName)
{
    std::string dir = MapHostPath(lpPathName);
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    std::string prefix = lpPrefixString ? std::string(lpPrefixString).substr(0, 3) : std::string();
    std::string name;
    UINT nUnique = uUnique;
    if (uUnique != 0) {
        char szNum[16];
        snprintf(szNum, sizeof(szNum), "%X", uUnique & 0xFFFFu);
        name = dir + prefix + szNum + ".TMP";
    } else {
        std::string pattern = dir + prefix + "XXXXXX.TMP";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back(0);
        int fd = ::mkstemps(buf.data(), 4);
        if (fd < 0) {
            SetErrorFromErrno();
            return 0;
        }
        ::close(fd);
        name = buf.data();
        nUnique = 1 + (UINT)(std::hash<std::string>()(name) & 0xFFFEu);
    }
    if (name.size() >= MAX_PATH) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(lpTempFileName, name.c_str(), name.size() + 1);
    return nUnique;
}

DWORD GetFileAttributesA(LPCSTR lpFileName)
{
    std::string path = MapHostPath(lpFileName);
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        SetErrorFromErrno();
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(st);
}

BOOL SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes)
{
    std::string path = MapHostPath(lpFileName);
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    mode_t mode = st.st_mode & 07777;
    if (dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        mode &= ~(mode_t)(S_IWUSR | S_IWGRP | S_IWOTH);
    else
        mode |= S_IWUSR;
    if (::chmod(path.c_str(), mode) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    std::string path = MapHostPath(lpPathName);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (::mkdir(path.c_str(), 0777) != 0) {
        SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS : ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    std::vector<char> buf(4096);
    if (!::getcwd(buf.data(), buf.size())) {
        SetErrorFromErrno();
        return 0;
    }
    size_t n = strlen(buf.data());
    if (!lpBuffer || nBufferLength <= n)
        return (DWORD)n + 1;
    memcpy(lpBuffer, buf.data(), n + 1);
    return (DWORD)n;
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName)
{
    std::string path = MapHostPath(lpPathName);
    if (::chdir(path.c_str()) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData)
{
    std::string spec = ToSlashes(lpFileName);
    size_t nSlash = spec.rfind('/');
    std::string folder = nSlash == std::string::npos ? std::string(".") : spec.substr(0, nSlash);
    std::string pattern = nSlash == std::string::npos ? spec : spec.substr(nSlash + 1);
    if (folder.empty())
        folder = "/";
    std::string hostFolder = MapHostPath(folder.c_str());
    DIR* d = ::opendir(hostFolder.c_str());
    if (!d) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    CFindHandle* pFind = new CFindHandle;
    while (dirent* e = ::readdir(d)) {
        if (!MatchPattern(pattern.c_str(), e->d_name))
            continue;
        WIN32_FIND_DATAA fd;
        memset(&fd, 0, sizeof(fd));
        struct stat st;
        std::string full = hostFolder + "/" + e->d_name;
        if (::stat(full.c_str(), &st) == 0) {
            fd.dwFileAttributes = AttributesOf(st);
            fd.nFileSizeHigh = (DWORD)((uint64_t)st.st_size >> 32);
            fd.nFileSizeLow = (DWORD)((uint64_t)st.st_size & 0xFFFFFFFFu);
        } else {
            fd.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
        }
        CopyName(fd.cFileName, sizeof(fd.cFileName), e->d_name);
        pFind->m_Entries.push_back(fd);
    }
    ::closedir(d);
    std::sort(pFind->m_Entries.begin(), pFind->m_Entries.end(),
              [](const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
                  int c = strcasecmp(a.cFileName, b.cFileName);
                  return c != 0 ? c < 0 : strcmp(a.cFileName, b.cFileName) < 0;
              });
    if (pFind->m_Entries.empty()) {
        delete pFind;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *lpFindFileData = pFind->m_Entries[0];
    pFind->m_nNext = 1;
    SetLastError(ERROR_SUCCESS);
    return static_cast<HANDLE>(pFind);
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData)
{
    CFindHandle* pFind = dynamic_cast<CFindHandle*>(CKernelObject::FromHandle(hFindFile));
    if (!pFind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (pFind->m_nNext >= pFind->m_Entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *lpFindFileData = pFind->m_Entries[pFind->m_nNext++];
    return TRUE;
}

BOOL FindClose(HANDLE hFindFile)
{
    CFindHandle* pFind = dynamic_cast<CFindHandle*>(CKernelObject::FromHandle(hFindFile));
    if (!pFind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete pFind;
    return TRUE;
}
