// Named stretches of code timed in real milliseconds, reported as a table to the debug output.
#pragma once
#include "rvm/rvm_stl.h"
#include "platform/win/WinTypes.h"

struct PROFILERECORD {
    uint8_t bRunning;
    int nCount;
    DWORD dwStart;
    DWORD dwTotal;
};

class CProfileTime {
public:
    virtual ~CProfileTime() {}
    static void Begin(const char* pszName);
    // An unknown name is reported and ignored.
    static void End(const char* pszName);
    // Writes the table (names in order) and empties the map.
    static void Report();
    // The table as Report writes it, without emptying the map.
    static rvm::string FormatReport();
    static bool Find(const char* pszName, PROFILERECORD* pRecord);
};
