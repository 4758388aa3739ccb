#include "engine/Mutex.h"
#include <cstring>

CMutex::~CMutex()
{
    Release();
}

int CMutex::Open(const char* pszName)
{
    Release();
    m_hMutex = CreateMutexA(nullptr, TRUE, pszName);
    const DWORD dwError = GetLastError();
    if (dwError == ERROR_ALREADY_EXISTS) {
        return 1;
    }
    if (dwError == ERROR_INVALID_HANDLE) {
        return 2;
    }
    return 0;
}

void CMutex::Wait()
{
    if (m_hMutex) {
        WaitForSingleObject(m_hMutex, INFINITE);
    }
}

void CMutex::Release()
{
    if (m_hMutex) {
        ReleaseMutex(m_hMutex);
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
}

void MakeInstanceMutexName(const char* pszPath, char* pszName, size_t nSize)
{
    if (nSize == 0) {
        return;
    }
    size_t n = 0;
    for (; pszPath[n] != '\0' && n + 1 < nSize; n++) {
        const char c = pszPath[n];
        pszName[n] = (c == '\\' || c == '/') ? '?' : c;
    }
    pszName[n] = '\0';
}

bool CheckSingleInstance(IMutex* pMutex, const char* pszName)
{
    char szName[MAX_PATH + 1];
    if (pszName == nullptr || pszName[0] == '\0') {
        char szPath[MAX_PATH + 1] = {};
        GetModuleFileNameA(nullptr, szPath, MAX_PATH);
        MakeInstanceMutexName(szPath, szName, sizeof(szName));
        pszName = szName;
    }
    if (pMutex->Open(pszName) == 0) {
        return true;
    }
    // Only the owner of this very mutex answers, so a hidden helper window or an unrelated
    // program with the same file name is never brought forward.
    ActivateOtherInstance(pszName);
    return false;
}

int ActivateOtherInstance(const char* pszMutexName)
{
    if (LoadToolhelpFunctions() != 0) {
        return 1;
    }
    return RaiseInstanceWindow(pszMutexName) ? 0 : 1;
}

int LoadToolhelpFunctions()
{
    return 0;
}
