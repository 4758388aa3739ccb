// A plain boss for whole-program runs: stage 1's boss label makes it in place of the stage's own
// boss, its pictures come from the system's boss sheet, and it glides in from the right and stops
// clear of her. MakeShortBossStage (RunDataEdit.h) cuts the ride to it short.
#pragma once
#include <string>

#include "enemy/EnemyBoss.h"
#include "enemy/EnemyLabel.h"
#include "stage/EnemyFactory.h"
#include "support/TempFolder.h"

class CStandInBody : public CEnemyPartBoss {
public:
    void Place(CEnemyLabel* pLabel) override
    {
        CEnemyPartBoss::Place(pLabel);
        m_AccX.Set(-6.0f, 0.05f, -6.0f, 0.0f, 1);
    }
    void OnTick(int, CEnemyLabel* pLabel) override
    {
        m_vPos.x += m_AccX.fValue;
        m_AccX.Step();
        if (m_nTick == 300) {
            m_nTick = 0;
            CheckPhase(pLabel);
        }
    }
};

inline const BOSSINFO kStandIn = {
    0, ENEMY_FAMILY_MM, "M.Zorva", "BossIndex.txt", {"BossWarning1.bmp", nullptr, nullptr, nullptr}, nullptr,
    "BOSS_HRR_MM",
};

class CStandInBoss : public CEnemyBoss {
public:
    CStandInBoss() : CEnemyBoss(kStandIn) {}
    int Load(IDirect3DDevice7* lpDevice, const char*) override { return CEnemyBoss::Load(lpDevice, SYSTEM_INDEX_DIR); }
    int CreateBody(CEnemyLabel* pLabel) override { return pLabel->MakeParts<CStandInBody>(ENEMY_FAMILY_MM, 1); }
};

inline CObject* (*s_pfnNewKind)(ENEMYKIND, const char*, int) = nullptr;

inline CObject* NewKindWithStandIn(ENEMYKIND nKind, const char* pszText, int nVariant)
{
    if (nKind == ENEMYKIND_MM)
        return new CStandInBoss;
    return s_pfnNewKind ? s_pfnNewKind(nKind, pszText, nVariant) : nullptr;
}

// Boss labels of stage 1 make the stand-in until RemoveStandInBoss.
inline void InstallStandInBoss()
{
    ENEMYMAKERS makers = GetEnemyMakers();
    s_pfnNewKind = makers.NewKind;
    makers.NewKind = NewKindWithStandIn;
    SetEnemyMakers(makers);
}

inline void RemoveStandInBoss()
{
    ENEMYMAKERS makers = GetEnemyMakers();
    makers.NewKind = s_pfnNewKind;
    SetEnemyMakers(makers);
}
