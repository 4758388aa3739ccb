#include "engine/Util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "pack/teskFile.h"
#include "platform/win/File.h"
#include "platform/win/Win.h"
#include "rvm/rvm_stl.h"

namespace {

// Cuts white-space bytes from the end of [pBegin, pEnd) and at most SCAN_FIELD_MAX bytes are kept.
rvm::string TrimmedField(const char* pBegin, const char* pEnd)
{
    while (pEnd > pBegin && IsWhiteByte((unsigned char)pEnd[-1]))
        pEnd--;
    size_t n = (size_t)(pEnd - pBegin);
    if (n > SCAN_FIELD_MAX)
        n = SCAN_FIELD_MAX;
    return rvm::string(pBegin, n);
}

// The fields of [p, pEnd) separated by cDelimiter: blanks before a field are skipped, white space
// after it is cut, an empty field stays as an empty string, and the end of the text after a
// delimiter gives no field.
void SplitFields(const char* p, const char* pEnd, char cDelimiter, rvm::vector<rvm::string>& fields)
{
    // Room for every field at once: at most one more than there are delimiters.
    fields.reserve(fields.size() + (size_t)std::count(p, pEnd, cDelimiter) + 1);
    while (p < pEnd) {
        while (p < pEnd && IsNarrowBlank((unsigned char)*p))
            p++;
        const char* pField = p;
        while (p < pEnd && *p != cDelimiter)
            p++;
        fields.push_back(p > pField ? TrimmedField(pField, p) : rvm::string());
        p++;
    }
}

} // namespace

int FloatToInt(double dValue)
{
    if (std::isnan(dValue))
        return 0;
    if (dValue >= FLOAT_TO_INT_LIMIT)
        return FLOAT_TO_INT_LIMIT;
    if (dValue <= -FLOAT_TO_INT_LIMIT)
        return -FLOAT_TO_INT_LIMIT;
    return (int)dValue;
}

bool IsNarrowBlank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int CutComment(char* pszLine)
{
    if (!pszLine)
        return 1;
    if (char* p = strstr(pszLine, "//"))
        *p = 0;
    if (char* p = strstr(pszLine, "##"))
        *p = 0;
    return 1;
}

int IsBlankLine(const char* pszLine)
{
    if (!pszLine)
        return 1;
    // Looked at in place. White bytes are never comment marks, so the comments cut from the first
    // SCAN_BLANKLINE_MAX bytes leave them blank only when a mark wholly within those bytes starts
    // at the first byte that is not white.
    const size_t nLength = strnlen(pszLine, SCAN_BLANKLINE_MAX);
    size_t i = 0;
    while (i < nLength && IsWhiteByte((unsigned char)pszLine[i]))
        i++;
    if (i == nLength)
        return 1;
    const char c = pszLine[i];
    return (c == '/' || c == '#') && i + 1 < nLength && pszLine[i + 1] == c;
}

void ParseKeyValueLine(const char* pszText, rvm::string& name, rvm::vector<rvm::string>& values)
{
    name.clear();
    values.clear();
    if (!pszText)
        return;
    const char* pEnd = pszText + strlen(pszText);
    const char* pValues;
    if (const char* pEq = strchr(pszText, '=')) {
        const char* pNameEnd = pEq;
        while (pNameEnd > pszText && IsWhiteByte((unsigned char)pNameEnd[-1]))
            pNameEnd--;
        name.assign(pszText, pNameEnd);
        pValues = pEq + 1;
    } else if (strchr(pszText, ':')) {
        pValues = pszText;
    } else {
        name = pszText;
        return;
    }
    SplitFields(pValues, pEnd, ':', values);
}

void SplitString(const char* pszText, int nLength, char cDelimiter, rvm::vector<rvm::string>& fields)
{
    if (!pszText || !*pszText || nLength <= 0)
        return;
    size_t nText = strnlen(pszText, (size_t)nLength);
    SplitFields(pszText, pszText + nText, cDelimiter, fields);
}

void RightString(rvm::string& out, const rvm::string& text, int n)
{
    if (!text.empty() && n >= 0 && text.size() >= (size_t)n)
        out = text.substr(text.size() - (size_t)n);
    else
        out = text;
}

void ToFullWidthDigits(rvm::string& out, int nValue)
{
    out.clear();
    if (nValue <= 0)
        return;
    char szDigits[16];
    snprintf(szDigits, sizeof(szDigits), "%d", nValue);
    for (const char* p = szDigits; *p; p++) {
        out += (char)0x82;
        out += (char)(0x4F + (*p - '0'));
    }
}

int IsFileExist(const char* pszPath)
{
    HANDLE h = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(h);
    return 1;
}

int IsReplayDirExist()
{
    return IsFileExist(".\\Replay\\");
}

int IsReplayFileExist()
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(".\\Replay\\Replay??.dat", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(h);
    return 1;
}

int IsPackFileExist(const char* pszPath)
{
    CFile* pFile = nullptr;
    if (FileOpen(&pFile, pszPath) != FILE_OK)
        return 0;
    FileClose(pFile);
    return 1;
}

int IsStageExist(int nStage)
{
    char szPath[MAX_PATH];
    snprintf(szPath, sizeof(szPath), ".\\GameData\\Stage%02d\\Stage.txt", nStage);
    return IsPackFileExist(szPath);
}

namespace {

// 1 when the folder exists or was made.
int EnsureFolder(const char* pszPath)
{
    DWORD dwAttr = GetFileAttributesA(pszPath);
    if (dwAttr != INVALID_FILE_ATTRIBUTES)
        return (dwAttr & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
    return CreateDirectoryA(pszPath, nullptr) ? 1 : 0;
}

} // namespace

int CreateDirectories(const char* pszPath)
{
    if (!pszPath || !*pszPath)
        return 1;
    size_t nLen = strlen(pszPath);
    if (nLen >= MAX_PATH)
        return 0;
    char szPrefix[MAX_PATH];
    for (size_t i = 0; i < nLen; i++) {
        if (IsSjisLeadByte((uint8_t)pszPath[i])) {
            i++;
            continue;
        }
        // A backslash right after a colon keeps a drive prefix with the first folder.
        if (pszPath[i] != '\\' || i == 0 || pszPath[i - 1] == ':')
            continue;
        memcpy(szPrefix, pszPath, i);
        szPrefix[i] = 0;
        if (!EnsureFolder(szPrefix))
            return 0;
    }
    return EnsureFolder(pszPath);
}
