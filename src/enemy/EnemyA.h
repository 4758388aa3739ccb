// Kind A: a single craft that crosses the screen in a wave and fires once at the firing line.
#pragma once
#include "bullet/EBBigBullet.h"
#include "bullet/EBNormal.h"
#include "engine/AccAdjust.h"
#include "enemy/Enemy.h"

// Where the kinds fire: crossing x = 480 travelling left, x = 161 travelling right.
#define ENEMY_FIRE_LINE_LEFT 480.0f
#define ENEMY_FIRE_LINE_RIGHT 161.0f

class CEnemyPartA : public CEnemyPart {
public:
    ACCINFO m_X{};
    ACCINFO m_Y{};
    BOOL m_bFired = 0;
    CEBNormal m_Normal;
    CEBBigBullet m_Big;
};

class CEnemyA : public CEnemy {
public:
    enum { PARTS = 3 };

    explicit CEnemyA(int nVariant);
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszValue) override;
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
    void Stop(CEnemyLabel* pLabel) override;
    int Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY) override;

    // The one part an appearance uses: 1 for variants 5 to 8, else 0.
    CEnemyPartA* GetUsedPart(CEnemyLabel* pLabel);
};

// A normal shot aimed from (px, py) at the label's target: it starts at (px, -py, 0).
void FireNormalAt(CEBNormal& shot, CEnemyLabel* pLabel, float px, float py);
// A big bullet aimed from (px, py): it starts at (px, view offset - py + 16, pz).
void FireBigAt(CEBBigBullet& big, CEnemyLabel* pLabel, float px, float py, float pz, float fViewOffset);
