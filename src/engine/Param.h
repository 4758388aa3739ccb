// Tuning values and debug switches from .\GameData\System\Param.txt.
// Lines are "#KEY v0, v1, ..."; the file is loaded lazily by the first lookup and a lookup never
// fails: a missing file, key or index gives the caller's default.
#pragma once
#include <cstdio>

#include "rvm/rvm_stl.h"
#define PARAM_FILE_PATH ".\\GameData\\System\\Param.txt"
#define PARAM_KEY_NOT_FOUND "KEY_NOT_FOUND"
#define PARAM_INT_MAX 2147483647
#define PARAM_FLOAT_MAX 3.4028235e38f
// Every number read from the file lies within plus or minus this, and is finite ("nan" reads as 0,
// anything larger as the limit), so that the game's sums of tuning values and its conversions of
// them between float and int stay defined. The marks of a missing value above lie outside it.
#define PARAM_VALUE_LIMIT 100000000

// Nothing constructs one; construction and destruction both clear the map.
class CParam {
public:
    CParam();
    virtual ~CParam();
};

// Loading. LoadParamFile returns 1 on success, 0 when the file does not open (the map stays empty
// and the next lookup tries the default file again).
int LoadParamFile(const char* pszPath);
void ClearParams();
int ReloadParamFile();

// Lookups by key and value position. A negative index turns into a huge unsigned one: the default.
int ParamExists(const char* pszKey);
int ParamHasIndex(const char* pszKey, unsigned int nIndex);
int GetParamInt(const char* pszKey, unsigned int nIndex, int nDefault);
float GetParamFloat(const char* pszKey, unsigned int nIndex, float fDefault);
// The returned text stays valid until the map is cleared or reloaded.
const char* GetParamString(const char* pszKey, unsigned int nIndex, const char* pszDefault);
int GetParamIntOrMax(const char* pszKey, unsigned int nIndex);        // default PARAM_INT_MAX
float GetParamFloatOrMax(const char* pszKey, unsigned int nIndex);    // default PARAM_FLOAT_MAX
const char* GetParamStringOrNotFound(const char* pszKey, unsigned int nIndex);
// Every value of the key, in order; 0 (and an empty list) when the key is missing. The stream is
// not used: the values come from the map.
int GetParamStrings(FILE* fp, const char* pszKey, rvm::vector<rvm::string>& values);
// The conversions of the lookups, for the texts GetParamStrings gives: the C library's reading of
// a decimal integer or a floating-point number, held within PARAM_VALUE_LIMIT.
int ParamTextToInt(const rvm::string& text);
float ParamTextToFloat(const rvm::string& text);

// 1 when a lookup has asked for the key since ClearParams last ran, whether the file has it or
// not. A key that no lookup asks for cannot change what the program does.
int WasParamAsked(const char* pszKey);

// 1 when DEBUG_KEY is 1.
int IsDebugKey();
// 1 when the key DEMOPLAY<nn> exists and .\GameData\Title\ReplayDemo<nn>.dat opens.
int IsDemoPlayAvailable(int n);

// The start-up reader of the application's initialisation: fetches SCREEN_SETTING,
// OBJ_FLASH_TIME, ENEMY_BULLET_SPEED (3 floats) and M_M_CANON_SPEED (2 floats). Each output keeps
// the value it holds on entry when its key or its position is missing, so callers preset the
// defaults (20; 6.5, 15.0, 6.5; 2.0, 0.5). *pnScreenSetting is the first value as an integer
// (0 when the key is missing).
void ReadStartupParams(int* pnScreenSetting, int* pnObjFlashTime, float* pfEnemyBulletSpeed /*[3]*/,
                       float* pfMMCanonSpeed /*[2]*/);
