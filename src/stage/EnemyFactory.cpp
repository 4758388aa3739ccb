#include "stage/EnemyFactory.h"

#include <cstring>

namespace {

ENEMYMAKERS g_EnemyMakers;

struct CODERANGE {
    char cLetter;
    char cFirst;
    char cLast;
    ENEMYKIND nKind;
};

const CODERANGE kCodes[] = {
    {'A', '0', '8', ENEMYKIND_A}, {'B', '1', '8', ENEMYKIND_B}, {'C', '1', '4', ENEMYKIND_C},
    {'F', '0', '8', ENEMYKIND_F}, {'G', '0', '8', ENEMYKIND_G}, {'H', '1', '4', ENEMYKIND_H},
    {'J', '1', '8', ENEMYKIND_J}, {'L', '1', '4', ENEMYKIND_L}, {'M', '1', '4', ENEMYKIND_M},
    {'N', '1', '4', ENEMYKIND_N}, {'P', '1', '2', ENEMYKIND_P},
};

const char* const kBossNames[] = {"M.Zorva", "Z.M.Zorva", "ZZ.M.Zorva", "M.ZorvaF91", "N.M.Zorva"};
const ENEMYKIND kBossKinds[] = {ENEMYKIND_MM, ENEMYKIND_ZM, ENEMYKIND_ZZ, ENEMYKIND_F91, ENEMYKIND_NM};

}  // namespace

ENEMYKIND FindEnemyKind(const char* pszText, int* pnVariant)
{
    if (!pszText)
        return ENEMYKIND_NONE;
    if (strlen(pszText) == 2) {
        for (const CODERANGE& r : kCodes) {
            if (pszText[0] == r.cLetter && pszText[1] >= r.cFirst && pszText[1] <= r.cLast) {
                if (pnVariant)
                    *pnVariant = pszText[1] - '0';
                return r.nKind;
            }
        }
    }
    int nBoss = GetBossNumber(pszText);
    if (nBoss < 0)
        return ENEMYKIND_NONE;
    if (pnVariant)
        *pnVariant = -1;
    return kBossKinds[nBoss];
}

int GetBossNumber(const char* pszName)
{
    if (!pszName)
        return -1;
    for (int i = 0; i < 5; i++)
        if (strcmp(pszName, kBossNames[i]) == 0)
            return i;
    return -1;
}

void SetEnemyMakers(const ENEMYMAKERS& makers)
{
    g_EnemyMakers = makers;
}

const ENEMYMAKERS& GetEnemyMakers()
{
    return g_EnemyMakers;
}
