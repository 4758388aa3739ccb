#include "engine/Log.h"

#include <atomic>
#include <cstdarg>
#include <cstring>
#include <mutex>

#include "engine/Param.h"
#include "pack/teskFile.h"
#include "platform/host/Host.h"
#include "platform/win/File.h"
#include "platform/win/Win.h"
#include "rvm/rvm_stl.h"

namespace {

std::atomic<int> g_bLogging{0};
std::mutex g_LogLock;           // file appends and the first-write flags
int g_bOpenLogFirst = 1;
int g_bAssertLogFirst = 1;
std::mutex g_TimeLock;

// vsnprintf cut to the buffer; the length of what the buffer holds.
int FormatInto(char* pBuffer, size_t nSize, const char* pszFormat, va_list args)
{
    int n = vsnprintf(pBuffer, nSize, pszFormat, args);
    if (n < 0) {
        pBuffer[0] = 0;
        return 0;
    }
    return (size_t)n >= nSize ? (int)nSize - 1 : n;
}

// Appends bytes as they are (the caller chose the line ends).
void AppendFile(const char* pszPath, const rvm::string& bytes)
{
    FILE* fp = fopen(pszPath, "ab");
    if (!fp)
        return;
    fwrite(bytes.data(), 1, bytes.size(), fp);
    fclose(fp);
}

} // namespace

int ReadLoggingFlag()
{
    int bOn = GetParamInt("DEBUG_PRIM", 0, 0) == 1 ? 1 : 0;
    g_bLogging = bOn;
    return bOn;
}

void SetLoggingFlag(int bOn)
{
    g_bLogging = bOn ? 1 : 0;
}

int GetLoggingFlag()
{
    return g_bLogging;
}

void ResetLogRun()
{
    std::lock_guard<std::mutex> lock(g_LogLock);
    g_bOpenLogFirst = 1;
    g_bAssertLogFirst = 1;
}

int WriteOpenLog(const char* pszFormat, ...)
{
    if (!g_bLogging)
        return 0;
    char szText[OPEN_LOG_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    int nLength = FormatInto(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    std::lock_guard<std::mutex> lock(g_LogLock);
    if (g_bOpenLogFirst) {
        remove(OPEN_LOG_FILE);
        g_bOpenLogFirst = 0;
    }
    AppendFile(OPEN_LOG_FILE, ToCrLf(szText));
    return nLength;
}

int DebugPrintf(const char* pszFormat, ...)
{
    if (!g_bLogging)
        return 0;
    char szText[DEBUG_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    int nLength = FormatInto(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    return nLength;
}

void ReportDataError(const char* pszFile, const char* pszFormat, ...)
{
    // Nobody to tell (the fuzz targets, the tools), or a host that prints no more lines: nothing
    // is formatted, no path looked up.
    IHost* pHost = GetHost();
    const bool bToUser = pHost && pHost->TakesErrors();
    if (!bToUser && !g_bLogging)
        return;
    char szText[REPORT_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    FormatInto(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    DebugPrintf("%s", szText);
    if (!bToUser)
        return;
    if (!pszFile || !*pszFile) {
        ReportToUser(szText);
        return;
    }
    // A memory name is no path: there is no folder to find it in.
    std::string file = IsMemoryName(pszFile) ? std::string(pszFile) : MapHostPath(pszFile);
    if (file.compare(0, 2, "./") == 0)
        file.erase(0, 2);
    ReportToUser((file + ": " + szText).c_str());
}

struct tm GetLocalTimeNow()
{
    time_t now = time(nullptr);
    std::lock_guard<std::mutex> lock(g_TimeLock);
    struct tm result = *localtime(&now);
    return result;
}

void WriteAssertLog(int bCondition, long nLine, const char* pszFile, const char* pszFormat, ...)
{
    if (!g_bLogging)
        return;
    {
        std::lock_guard<std::mutex> lock(g_LogLock);
        if (g_bAssertLogFirst) {
            remove(ASSERT_LOG_FILE);
            g_bAssertLogFirst = 0;
        }
    }
    if (bCondition)
        return;
    char szMessage[ASSERT_LOG_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    FormatInto(szMessage, sizeof(szMessage), pszFormat, args);
    va_end(args);
    struct tm t = GetLocalTimeNow();
    char szLine[ASSERT_LOG_BUFFER + 512];
    snprintf(szLine, sizeof(szLine), "[%02d/%02d/%02d %02d:%02d:%02d] %s (%ld) %s\r\n", t.tm_year % 100,
             t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, szMessage, nLine, pszFile ? pszFile : "");
    {
        std::lock_guard<std::mutex> lock(g_LogLock);
        AppendFile(ASSERT_LOG_FILE, rvm::string(szLine, strlen(szLine)));
    }
    RaiseRuntimeAssert("SeeLogForDetail", pszFile, (int)nLine);
}

void RaiseRuntimeAssert(const char* pszExpression, const char* pszFile, int nLine)
{
    char szText[512];
    snprintf(szText, sizeof(szText), "Assertion failed: %s, file %s, line %d\n", pszExpression,
             pszFile ? pszFile : "", nLine);
    OutputDebugStringA(szText);
}

FILE* LoggedFOpenAt(const char* pszPath, const char* pszMode, int nLine, const char* pszFile)
{
    WriteOpenLog("%s 読み込み : %d %s\n", pszPath, nLine, pszFile);
    FILE* fp = fopen(pszPath, pszMode);
    if (!fp)
        WriteOpenLog("%s 失敗 : %d %s\n", pszPath, nLine, pszFile);
    return fp;
}

int LoggedFPrintf(FILE* fp, const char* pszFormat, ...)
{
    if (!g_bLogging || !fp)
        return 0;
    va_list args;
    va_start(args, pszFormat);
    int n = vfprintf(fp, pszFormat, args);
    va_end(args);
    return n;
}

char* LoggedFGets(char* pBuffer, int nSize, FILE* fp)
{
    // Marked as not to be used.
    RaiseRuntimeAssert("0", __FILE__, __LINE__);
    if (!g_bLogging || !fp)
        return nullptr;
    return fgets(pBuffer, nSize, fp);
}

void DebugPrintLastError(DWORD dwCode)
{
    // The host has no system message table; the code alone identifies the error.
    DebugPrintf("Last error : code = 0x%08X  message = %s", (unsigned)dwCode, "");
}

void DebugPrintD3DXError(HRESULT hr)
{
    char szName[256];
    snprintf(szName, sizeof(szName), "HRESULT 0x%08X", (unsigned)hr);
    DebugPrintf("%s", szName);
}
