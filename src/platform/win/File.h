// The Win32 file calls the game makes, on the host's file system.
// Paths come in the game's form (".\GameData\X\Y.bmp", backslashes, code page 932): every
// backslash that is not the second byte of a two-byte character becomes '/',
// a name that starts with '/' is a host absolute path, anything else is relative to the current
// directory. When a path does not exist as written, each component is matched without regard to
// the case of ASCII letters, as the original file system did.
// Sharing modes are accepted and not enforced: the host has no mandatory locks.
#pragma once
#include <cstdio>
#include <string>

#include "platform/win/WinTypes.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u

#define INVALID_FILE_SIZE 0xFFFFFFFFu
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

#define MOVEFILE_REPLACE_EXISTING 0x00000001u

#ifndef ERROR_FILE_EXISTS
#define ERROR_FILE_EXISTS 80
#endif
#ifndef ERROR_HANDLE_EOF
#define ERROR_HANDLE_EOF 38
#endif
#ifndef ERROR_NEGATIVE_SEEK
#define ERROR_NEGATIVE_SEEK 131
#endif
#ifndef ERROR_DIRECTORY
#define ERROR_DIRECTORY 267
#endif
#ifndef ERROR_DISK_FULL
#define ERROR_DISK_FULL 112
#endif

typedef DWORD* LPDWORD;
typedef const void* LPCVOID;
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

// Files. A handle is closed with CloseHandle. Opening a folder fails with ERROR_ACCESS_DENIED.
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped);
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED lpOverlapped);
DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod);
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
BOOL DeleteFileA(LPCSTR lpFileName);
BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);

// Temporary files: the folder ends with a separator; GetTempFileNameA with uUnique 0 creates an
// empty file "<path><first three prefix characters><unique>.TMP" and returns a non-zero number.
DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);
UINT GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName);

// Attributes: read-only is the owner's write permission bit (clearing it clears every write bit).
DWORD GetFileAttributesA(LPCSTR lpFileName);
BOOL SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes);

// Folders.
BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
// The host's current directory (with '/' separators), as Win32 reports it: the length written, or
// the size needed (with the terminator) when the buffer is too small.
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
BOOL SetCurrentDirectoryA(LPCSTR lpPathName);

// Enumeration: "dir\pattern" with '*' and '?' ("*.*" matches every name), letters without regard
// to case; "." and ".." are listed as Windows lists them. Entries come in a fixed order (names
// compared without regard to case). Close with FindClose.
HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// Our own: the host path a game path stands for (see the top of this file). For a path that does
// not exist, the existing leading folders are matched and the rest is kept as written.
std::string MapHostPath(const char* pszPath);
// fopen on the mapped path (the game's C-library opens of named files go through it).
FILE* HostFOpen(const char* pszPath, const char* pszMode);

// Our own: puts the bytes in place of the file at the path, in one piece and durably. They go to a
// new file beside it that takes the old file's permissions, reach the disk, and are renamed over
// it; then the folder's entries reach the disk too. On failure the old file stays as it was and
// nothing is left beside it. 0 on success; else the step that failed (with the last error set).
enum {
    REPLACE_OK = 0,
    REPLACE_CANNOT_CREATE = 1,
    REPLACE_CANNOT_WRITE = 2,
    REPLACE_CANNOT_RENAME = 3,
};
int ReplaceFileContents(const char* pszPath, const void* pData, size_t nSize);
// Our own: removes the new file that a replacement of the path left beside it when the program
// ended in the middle of it. Only that one name is touched, and only when it is a file. 1 when one
// was removed.
int RemoveReplacementLeftover(const char* pszPath);
