// The enemy factory's table: which enemy kind each map code and boss name makes. The kinds
// themselves live in the enemy library, above the stage; it hands the stage its makers at start-up.
// Until it does, every text of the table answers "no kind" and its cells stay empty.
#pragma once
#include "platform/d3d/D3D.h"

class CObject;
class CObjectLabel;

enum ENEMYKIND {
    ENEMYKIND_NONE = -1,
    ENEMYKIND_A,    // CEnemyA
    ENEMYKIND_B,    // CEnemyB
    ENEMYKIND_C,    // CEnemyC
    ENEMYKIND_F,    // CEnemyF
    ENEMYKIND_G,    // CEnemyG
    ENEMYKIND_H,    // CEnemyH
    ENEMYKIND_J,    // CEnemyJ
    ENEMYKIND_L,    // CEnemyL
    ENEMYKIND_M,    // CEnemyM
    ENEMYKIND_N,    // CEnemyN
    ENEMYKIND_P,    // CEnemyP
    ENEMYKIND_MM,   // CEnemyMM, "M.Zorva"
    ENEMYKIND_ZM,   // CEnemyZM, "Z.M.Zorva"
    ENEMYKIND_ZZ,   // CEnemyZZ, "ZZ.M.Zorva"
    ENEMYKIND_F91,  // CEnemyF91, "M.ZorvaF91"
    ENEMYKIND_NM,   // CEnemyNM, "N.M.Zorva"
    ENEMYKIND_COUNT
};

// The kind and variant of a code or boss name (compared whole, case-sensitively); ENEMYKIND_NONE
// for a text the table does not hold. Boss kinds have variant -1.
ENEMYKIND FindEnemyKind(const char* pszText, int* pnVariant);
// The boss number of the stage's boss display: "M.Zorva" 0 ... "N.M.Zorva" 4; -1 otherwise.
int GetBossNumber(const char* pszName);

// What the enemy library provides. NewKind constructs the kind (CEnemy, deleted through CObject's
// virtual destructor) or returns null; NewLabel makes a CEnemyLabel whose m_pEnemy is the kind;
// CreateParts runs CEnemyLabel::CreateParts.
struct ENEMYMAKERS {
    CObject* (*NewKind)(ENEMYKIND nKind, const char* pszText, int nVariant) = nullptr;
    CObjectLabel* (*NewLabel)(CObject* pEnemy) = nullptr;
    void (*CreateParts)(CObjectLabel* pLabel, IDirect3DDevice7* lpDevice) = nullptr;
};
void SetEnemyMakers(const ENEMYMAKERS& makers);
const ENEMYMAKERS& GetEnemyMakers();
