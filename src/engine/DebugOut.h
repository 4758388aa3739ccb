// The debug-message front end. Its message entry points drop everything: the loaders format their
// numbered texts and hand them over, and nothing is shown or kept.
#pragma once
#include "platform/win/WinTypes.h"

#define DEBUG_INFO_FILE "debug_info.txt"
#define DEBUG_WINDOW_MAX 10

class CDebugInfo {
public:
    virtual ~CDebugInfo() {}
    static int Trace(int nLevel, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    static int Print(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
    static void SetWindow(HWND hWnd);
    static void Close();
    static void Clear();
    static void Flush();
};

// To the debugger output.
void DebugOut(const char* pszText);
// Debug levels: bits 0x8 to 0x1000 stand for debug windows 0 to 9.
bool HasDebugLevel(int nLevels);
int LevelToWindow(int nLevels);
int WindowToLevel(int nWindow);
// Appends the text to debug_info.txt when logging is on (the first call of a run starts the file).
void WriteDebugInfo(const char* pszText);
