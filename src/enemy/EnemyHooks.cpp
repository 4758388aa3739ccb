#include "enemy/EnemyHooks.h"

#include "enemy/EnemyB.h"
#include "enemy/EnemyC.h"
#include "enemy/EnemyF91.h"
#include "enemy/EnemyJ.h"
#include "enemy/EnemyL.h"
#include "enemy/EnemyM.h"
#include "enemy/EnemyMM.h"
#include "enemy/EnemyNM.h"
#include "enemy/EnemyP.h"
#include "enemy/EnemyZM.h"
#include "enemy/EnemyZZ.h"
#include "enemy/EnemyLabel.h"
#include "stage/EnemyFactory.h"

namespace {

CObject* NewKind(ENEMYKIND nKind, const char*, int nVariant)
{
    switch (nKind) {
    case ENEMYKIND_A:
        return new CEnemyA(nVariant);
    case ENEMYKIND_B:
        return new CEnemyB(nVariant);
    case ENEMYKIND_C:
        return new CEnemyC(nVariant);
    case ENEMYKIND_F:
        return new CEnemyF(nVariant);
    case ENEMYKIND_G:
        return new CEnemyG(nVariant);
    case ENEMYKIND_H:
        return new CEnemyH(nVariant);
    case ENEMYKIND_J:
        return new CEnemyJ(nVariant);
    case ENEMYKIND_L:
        return new CEnemyL(nVariant);
    case ENEMYKIND_M:
        return new CEnemyM(nVariant);
    case ENEMYKIND_N:
        return new CEnemyN(nVariant);
    case ENEMYKIND_P:
        return new CEnemyP(nVariant);
    case ENEMYKIND_MM:
        return new CEnemyMM;
    case ENEMYKIND_NM:
        return new CEnemyNM;
    case ENEMYKIND_ZM:
        return new CEnemyZM;
    case ENEMYKIND_ZZ:
        return new CEnemyZZ;
    case ENEMYKIND_F91:
        return new CEnemyF91;
    default:
        return nullptr;
    }
}

// Only NewKind makes the objects handed back here, so each is a kind.
CObjectLabel* NewLabel(CObject* pEnemy)
{
    CEnemyLabel* pLabel = new CEnemyLabel;
    pLabel->m_pEnemy = static_cast<CEnemy*>(pEnemy);
    pLabel->SetObject(pEnemy);
    return pLabel;
}

void CreateParts(CObjectLabel* pLabel, IDirect3DDevice7*)
{
    static_cast<CEnemyLabel*>(pLabel)->CreateParts(0);
}

} // namespace

void InstallEnemyMakers()
{
    ENEMYMAKERS makers;
    makers.NewKind = NewKind;
    makers.NewLabel = NewLabel;
    makers.CreateParts = CreateParts;
    SetEnemyMakers(makers);
}
