// Only one copy of the program runs at a time: a named mutex derived from the program file's path
// is held for the whole run, and a second copy raises the first one's window and leaves.
#pragma once
#include "platform/win/Win.h"

class IMutex {
public:
    // 0 when this object now owns a new mutex, 1 when one of that name already exists, 2 when
    // an object of another kind holds the name.
    virtual int Open(const char* pszName) = 0;
    virtual void Wait() = 0;
    virtual void Release() = 0;
    virtual ~IMutex() = default;
};

class CMutex : public IMutex {
public:
    CMutex() = default;
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;
    ~CMutex() override;

    int Open(const char* pszName) override;
    void Wait() override;
    void Release() override;
    bool IsOpen() const { return m_hMutex != nullptr; }

private:
    HANDLE m_hMutex = nullptr;
};

// The mutex name of a program file: its full path, with every folder separator replaced by '?'
// because a mutex name may not hold a backslash. Writes at most nSize bytes, always terminated.
void MakeInstanceMutexName(const char* pszPath, char* pszName, size_t nSize);

// True when this copy may run; it then keeps the mutex open. An empty name means "derive it from
// the program file's path". When another copy holds the name, its window is brought forward.
bool CheckSingleInstance(IMutex* pMutex, const char* pszName);

// Brings forward the main window of the copy that owns the named mutex: 0 when the request
// reached it, 1 otherwise.
int ActivateOtherInstance(const char* pszMutexName);

// Non-zero when the process-list functions are missing; this platform always has them.
int LoadToolhelpFunctions();
