// The program's reports on itself. Everything hangs on the logging flag (DEBUG_PRIM is 1): with it
// off nothing is formatted and no file is touched.
#pragma once
#include <cstdio>
#include <ctime>

#include "platform/win/WinTypes.h"

#define OPEN_LOG_FILE "OpenLog.txt"
#define ASSERT_LOG_FILE "AssertLog.txt"
#define OPEN_LOG_BUFFER 2048
#define ASSERT_LOG_BUFFER 2048
#define DEBUG_PRINTF_BUFFER 272
#define REPORT_BUFFER 1024

// Sets the flag from DEBUG_PRIM (index 0, default 0) and returns it; the application entry calls it
// once before the window exists.
int ReadLoggingFlag();
void SetLoggingFlag(int bOn);
int GetLoggingFlag();

// Appends the formatted text to OpenLog.txt ("\n" is written as CR LF); the first write of a run
// replaces the previous run's file. Returns the formatted length (cut to the buffer), 0 when off.
int WriteOpenLog(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
// The debug message sink: formats (cut to 272 bytes) and drops. 0 when off.
int DebugPrintf(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
// A data file the game refused, or an error it found in one: the message goes to the debug sink as
// DebugPrintf's would, and, whatever the logging flag, to the user: "file: message" on the host's
// error output (stderr), each distinct line once a run. The file is named as the host names it
// (GameData/Stage01/Stage.txt) and the message's line end is dropped; without a file, the message
// alone.
void ReportDataError(const char* pszFile, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
// When the flag is on and the condition is 0: appends
// "[yy/mm/dd hh:mm:ss] message (line) file" and CR LF to AssertLog.txt (the first report of a run
// replaces the file), then raises the runtime assertion "SeeLogForDetail".
void WriteAssertLog(int bCondition, long nLine, const char* pszFile, const char* pszFormat, ...)
    __attribute__((format(printf, 4, 5)));
// The present local time, by value.
struct tm GetLocalTimeNow();
// fopen that writes the open (and a failure) to the general log.
FILE* LoggedFOpenAt(const char* pszPath, const char* pszMode, int nLine, const char* pszFile);
// The call's own source line and file go to the log.
#define LoggedFOpen(path, mode) LoggedFOpenAt((path), (mode), __LINE__, __FILE__)
int LoggedFPrintf(FILE* fp, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
char* LoggedFGets(char* pBuffer, int nSize, FILE* fp);
void DebugPrintLastError(DWORD dwCode);
void DebugPrintD3DXError(HRESULT hr);

// The runtime's assertion in this build: reported to the debugger output, the program goes on.
void RaiseRuntimeAssert(const char* pszExpression, const char* pszFile, int nLine);

// For tests: forget that this run has written the logs (the next write starts new files).
void ResetLogRun();
