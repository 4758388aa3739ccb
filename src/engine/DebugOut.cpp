#include "engine/DebugOut.h"

#include <cstdio>
#include <mutex>

#include "engine/Log.h"
#include "pack/teskFile.h"
#include "platform/win/Win.h"

int CDebugInfo::Trace(int, const char*, ...)
{
    return 0;
}

int CDebugInfo::Print(const char*, ...)
{
    return 0;
}

void CDebugInfo::SetWindow(HWND)
{
}

void CDebugInfo::Close()
{
}

void CDebugInfo::Clear()
{
}

void CDebugInfo::Flush()
{
}

void DebugOut(const char* pszText)
{
    OutputDebugStringA(pszText);
}

bool HasDebugLevel(int nLevels)
{
    return (nLevels & 0xF8) != 0 || (nLevels & 0x1F00) != 0;
}

int LevelToWindow(int nLevels)
{
    for (int i = 0; i < DEBUG_WINDOW_MAX; i++)
        if (nLevels & (8 << i))
            return i;
    return -1;
}

int WindowToLevel(int nWindow)
{
    if (nWindow >= 0 && nWindow <= 8)
        return 8 << nWindow;
    return 4096;
}

void WriteDebugInfo(const char* pszText)
{
    static std::mutex s_Lock;
    static int s_bFirst = 1;
    if (!GetLoggingFlag())
        return;
    std::lock_guard<std::mutex> lock(s_Lock);
    if (s_bFirst) {
        remove(DEBUG_INFO_FILE);
        s_bFirst = 0;
    }
    // A text-mode file as every log of the game: each "\n" is CR LF on disk.
    if (FILE* fp = fopen(DEBUG_INFO_FILE, "ab")) {
        fprintf(fp, "%s", ToCrLf(pszText ? pszText : "").c_str());
        fclose(fp);
    }
}
