// The swooping kinds of one unit per label: C swoops in, turns and flies back out the side it came
// from, firing once on the way out; H brakes to a halt, fires after a wait, backs off and dives
// across the screen.
#pragma once
#include "enemy/EnemyA.h"

class CEnemyPartC : public CEnemyPart {
public:
    ACCINFO m_X{};
    ACCINFO m_Y{};
    BOOL m_bFired = 0;
    // Kind C's animation; kind H keeps its wait in the same fields.
    DWORD m_dwFrameMs = 0;    // H: the wait
    DWORD m_dwFrameStart = 0; // H: when it came to rest
    BOOL m_bBusy = 0;         // H: armed
    int m_nFrames = 0;
    int m_nFrame = 0;
    CEBNormal m_Normal;
};

// What C and H share: one part, the normal shot, entering at the side of the variant.
class CEnemySwoop : public CEnemy {
public:
    explicit CEnemySwoop(int nVariant);
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszValue) override;
    int Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY) override;
    CEnemyPartC* GetUnit(CEnemyLabel* pLabel);

protected:
    // At the entry edge of the variant, facing in, in the label's row, alive and registered.
    void Enter(CEnemyLabel* pLabel, CEnemyPartC& part);
    // Out of play and the label stopped.
    void Leave(CEnemyLabel* pLabel, CEnemyPartC& part);
};

class CEnemyC : public CEnemySwoop {
public:
    enum { FRAMES = 2 };

    explicit CEnemyC(int nVariant) : CEnemySwoop(nVariant) {}
    // The sheet's two halves become the two frames, slots 0 and 1.
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
};

class CEnemyH : public CEnemySwoop {
public:
    explicit CEnemyH(int nVariant) : CEnemySwoop(nVariant) {}
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
};
