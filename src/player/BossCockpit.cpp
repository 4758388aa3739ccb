#include "player/BossCockpit.h"

#include "engine/Param.h"

namespace {

const char* const kBossKeys[BOSS_NUM] = {"ENEMY_M.Zorva", "ENEMY_Z.M.Zorva", "ENEMY_ZZ.M.Zorva", "ENEMY_M.ZorvaF91",
                                         "ENEMY_N.M.Zorva"};

} // namespace

const char* CBossCockpit::GetBossKey(int nBoss)
{
    return nBoss >= 0 && nBoss < BOSS_NUM ? kBossKeys[nBoss] : nullptr;
}

int CBossCockpit::GetBossLife(int nBoss)
{
    const char* pszKey = GetBossKey(nBoss);
    return pszKey ? GetParamIntOrMax(pszKey, 0) : 0;
}
