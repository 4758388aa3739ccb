#include "engine/Param.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

#include "engine/Util.h"
#include "pack/teskFile.h"
#include "platform/win/File.h"
#include "rvm/rvm_stl.h"

namespace {

#define PARAM_LINE_MAX 1024
#define PARAM_PATH_MAX 260

typedef rvm::map<rvm::string, rvm::vector<rvm::string>> PARAMMAP;

// The map is loaded on the main thread at start-up and only read afterwards; the lock keeps a
// lazy load and the reads of the loading thread apart all the same.
std::recursive_mutex g_Lock;
PARAMMAP g_Params;
// Every key a lookup asked for since ClearParams, there or not.
rvm::set<rvm::string, std::less<>> g_Asked;
int g_bLoaded = 0;
char g_szPath[PARAM_PATH_MAX] = "";

void ClearLocked()
{
    if (!g_Params.empty())
        g_Params.clear();
    g_bLoaded = 0;
}

rvm::string Truncated(const char* p, size_t n)
{
    return rvm::string(p, n > SCAN_FIELD_MAX ? SCAN_FIELD_MAX : n);
}

// One line of the file: "#KEY v0, v1, ..." (comments already cut).
void ParseLine(char* pszLine)
{
    if (IsBlankLine(pszLine))
        return;
    CutComment(pszLine);
    const char* p = pszLine;
    while (*p && IsWhiteByte((unsigned char)*p))
        p++;
    if (*p != '#')
        return;
    p++;
    const char* pKey = p;
    while (*p && !IsWhiteByte((unsigned char)*p))
        p++;
    rvm::string key = Truncated(pKey, (size_t)(p - pKey));
    rvm::vector<rvm::string> values;
    const char* pEnd = p + strlen(p);
    while (p < pEnd) {
        while (p < pEnd && IsWhiteByte((unsigned char)*p))
            p++;
        const char* pValue = p;
        while (p < pEnd && *p != ',' && *p != '\n')
            p++;
        const char* pValueEnd = p;
        while (pValueEnd > pValue && IsWhiteByte((unsigned char)pValueEnd[-1]))
            pValueEnd--;
        values.push_back(Truncated(pValue, (size_t)(pValueEnd - pValue)));
        p++;
    }
    g_Params[key] = std::move(values);
}

int LoadLocked(const char* pszPath)
{
    ClearLocked();
    CFile* pFile = nullptr;
    if (!pszPath || FileOpen(&pFile, pszPath) != FILE_OK)
        return 0;
    char szLine[PARAM_LINE_MAX];
    while (FileGets(szLine, sizeof(szLine), pFile))
        ParseLine(szLine);
    FileClose(pFile);
    if (pszPath != g_szPath) {
        strncpy(g_szPath, pszPath, PARAM_PATH_MAX);
        g_szPath[PARAM_PATH_MAX - 1] = 0;
    }
    g_bLoaded = 1;
    return 1;
}

void NoteAsked(const char* pszKey)
{
    if (pszKey && g_Asked.find(std::string_view(pszKey)) == g_Asked.end())
        g_Asked.emplace(pszKey);
}

// The value at the index, or null when the file, the key or the index is missing.
const rvm::string* FindValue(const char* pszKey, unsigned int nIndex)
{
    NoteAsked(pszKey);
    if (!g_bLoaded && !LoadLocked(PARAM_FILE_PATH))
        return nullptr;
    if (!pszKey)
        return nullptr;
    auto it = g_Params.find(pszKey);
    if (it == g_Params.end() || nIndex >= it->second.size())
        return nullptr;
    return &it->second[nIndex];
}

} // namespace

int ParamTextToInt(const rvm::string& text)
{
    const long v = strtol(text.c_str(), nullptr, 10);
    if (v > PARAM_VALUE_LIMIT)
        return PARAM_VALUE_LIMIT;
    if (v < -PARAM_VALUE_LIMIT)
        return -PARAM_VALUE_LIMIT;
    return (int)v;
}

float ParamTextToFloat(const rvm::string& text)
{
    const double v = strtod(text.c_str(), nullptr);
    if (std::isnan(v))
        return 0.0f;
    if (v > PARAM_VALUE_LIMIT)
        return (float)PARAM_VALUE_LIMIT;
    if (v < -PARAM_VALUE_LIMIT)
        return (float)-PARAM_VALUE_LIMIT;
    return (float)v;
}

CParam::CParam()
{
    ClearParams();
}

CParam::~CParam()
{
    ClearParams();
}

int LoadParamFile(const char* pszPath)
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    return LoadLocked(pszPath);
}

void ClearParams()
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    ClearLocked();
    g_Asked.clear();
}

int ReloadParamFile()
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    if (!g_bLoaded)
        return 0;
    return LoadLocked(g_szPath);
}

int ParamExists(const char* pszKey)
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    NoteAsked(pszKey);
    if (!g_bLoaded && !LoadLocked(PARAM_FILE_PATH))
        return 0;
    return (pszKey && g_Params.count(pszKey)) ? 1 : 0;
}

int ParamHasIndex(const char* pszKey, unsigned int nIndex)
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    return FindValue(pszKey, nIndex) ? 1 : 0;
}

int GetParamInt(const char* pszKey, unsigned int nIndex, int nDefault)
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    const rvm::string* pValue = FindValue(pszKey, nIndex);
    return pValue ? ParamTextToInt(*pValue) : nDefault;
}

float GetParamFloat(const char* pszKey, unsigned int nIndex, float fDefault)
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    const rvm::string* pValue = FindValue(pszKey, nIndex);
    return pValue ? ParamTextToFloat(*pValue) : fDefault;
}

const char* GetParamString(const char* pszKey, unsigned int nIndex, const char* pszDefault)
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    const rvm::string* pValue = FindValue(pszKey, nIndex);
    return pValue ? pValue->c_str() : pszDefault;
}

int GetParamIntOrMax(const char* pszKey, unsigned int nIndex)
{
    return GetParamInt(pszKey, nIndex, PARAM_INT_MAX);
}

float GetParamFloatOrMax(const char* pszKey, unsigned int nIndex)
{
    return GetParamFloat(pszKey, nIndex, PARAM_FLOAT_MAX);
}

const char* GetParamStringOrNotFound(const char* pszKey, unsigned int nIndex)
{
    return GetParamString(pszKey, nIndex, PARAM_KEY_NOT_FOUND);
}

int GetParamStrings(FILE*, const char* pszKey, rvm::vector<rvm::string>& values)
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    NoteAsked(pszKey);
    values.clear();
    if (!g_bLoaded && !LoadLocked(PARAM_FILE_PATH))
        return 0;
    auto it = pszKey ? g_Params.find(pszKey) : g_Params.end();
    if (it == g_Params.end())
        return 0;
    values = it->second;
    return 1;
}

int WasParamAsked(const char* pszKey)
{
    std::lock_guard<std::recursive_mutex> lock(g_Lock);
    return pszKey && g_Asked.count(std::string_view(pszKey)) ? 1 : 0;
}

int IsDebugKey()
{
    return GetParamInt("DEBUG_KEY", 0, 0) == 1 ? 1 : 0;
}

int IsDemoPlayAvailable(int n)
{
    char szKey[32];
    snprintf(szKey, sizeof(szKey), "DEMOPLAY%02d", n);
    if (!ParamExists(szKey))
        return 0;
    char szName[32];
    char szPath[64];
    snprintf(szName, sizeof(szName), "ReplayDemo%02d.dat", n);
    snprintf(szPath, sizeof(szPath), ".\\GameData\\Title\\%s", szName);
    return IsPackFileExist(szPath);
}

void ReadStartupParams(int* pnScreenSetting, int* pnObjFlashTime, float* pfEnemyBulletSpeed, float* pfMMCanonSpeed)
{
    // The stream is handed over as the original did; the values come from the map.
    FILE* fp = HostFOpen(PARAM_FILE_PATH, "r");
    rvm::vector<rvm::string> values;
    *pnScreenSetting = 0;
    if (GetParamStrings(fp, "SCREEN_SETTING", values) && !values.empty())
        *pnScreenSetting = ParamTextToInt(values[0]);
    if (GetParamStrings(fp, "OBJ_FLASH_TIME", values) && !values.empty())
        *pnObjFlashTime = ParamTextToInt(values[0]);
    // A key with fewer values than read leaves the missing positions at their defaults.
    if (GetParamStrings(fp, "ENEMY_BULLET_SPEED", values))
        for (size_t i = 0; i < 3 && i < values.size(); i++)
            pfEnemyBulletSpeed[i] = ParamTextToFloat(values[i]);
    if (GetParamStrings(fp, "M_M_CANON_SPEED", values))
        for (size_t i = 0; i < 2 && i < values.size(); i++)
            pfMMCanonSpeed[i] = ParamTextToFloat(values[i]);
    if (fp)
        fclose(fp);
}
