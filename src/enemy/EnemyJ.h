// Kind J: drops into its row from above or below while sliding away from the screen's middle,
// hovers, and leaves across the screen; the heavy variants fire a burst of four fast shots.
#pragma once
#include "enemy/EnemyA.h"

class CEnemyPartJ : public CEnemyPart {
public:
    enum { STATE_ENTER = 0, STATE_LEAVE = 1, STATE_HOVER = 2, SHOTS = 4 };

    ACCINFO m_X{};
    ACCINFO m_Y{};
    DWORD m_dwStateTime = 0;
    DWORD m_dwHoverMs = 0;
    DWORD m_dwLastShot = 0;
    DWORD m_dwShotMs = 0;
    int m_nState = STATE_ENTER;
    int m_nShots = 0;
    CEBHiSpeed m_HiSpeed[SHOTS];
};

class CEnemyJ : public CEnemy {
public:
    enum { PARTS = 2 };

    explicit CEnemyJ(int nVariant);
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszValue) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
    int Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY) override;

    // Part 1 for variants 5 to 8, else part 0.
    CEnemyPartJ* GetUnit(CEnemyLabel* pLabel);
    BOOL IsFromTop() const { return m_nVariant % 2 == 1; }

private:
    void Fire(CEnemyLabel* pLabel, CEnemyPartJ& part);
};
