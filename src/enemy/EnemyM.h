// The station kinds: they fly in to the firing line, halt, fire for a while and back away. M fires
// three volleys of four missiles, N three bursts of four shots of four big bullets; L (EnemyL.h)
// charges and fires a laser.
#pragma once
#include "bullet/EBMissile.h"
#include "enemy/EnemyA.h"

// What every station part holds first.
class CEnemyPartStation : public CEnemyPart {
public:
    enum { STATE_ENTER = 0, STATE_LEAVE = 1, STATE_STAY = 2 };

    ACCINFO m_X{};
    ACCINFO m_Y{};
    int m_nState = STATE_ENTER;
    DWORD m_dwStateTime = 0;
    DWORD m_dwStayMs = 0;
};

class CEnemyPartM : public CEnemyPartStation {
public:
    enum { VOLLEYS = 3, PER_VOLLEY = 4, MISSILES = VOLLEYS * PER_VOLLEY };

    DWORD m_dwLastVolley = 0;
    DWORD m_dwVolleyMs = 0;
    int m_nVolleys = 0;
    CEBMissile m_Missiles[MISSILES];
};

class CEnemyPartN : public CEnemyPartStation {
public:
    enum { BURSTS = 3, SHOTS = 4, PER_SHOT = 4, BULLETS = BURSTS * SHOTS * PER_SHOT };

    DWORD m_dwLastBurst = 0;
    DWORD m_dwBurstMs = 0;
    DWORD m_dwBurstStart = 0;
    DWORD m_dwShotMs = 0;
    int m_nBurst = 0;
    int m_nShots = 0;
    BOOL m_bBurst = 0;
    CEBBigBullet m_Bullets[BULLETS];
};

class CEnemyStation : public CEnemy {
public:
    CEnemyStation(int nVariant, int nFamily, const char* pszBitmap, const char* pszKey);
    // One picture; 0 without reading the block when it does not load.
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    int Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY) override;
    CEnemyPartStation* GetUnit(CEnemyLabel* pLabel);

protected:
    // At the entry edge, facing in, in the label's row, entering at 2 px per frame.
    void Enter(CEnemyLabel* pLabel, CEnemyPartStation& part);
    // The entry and leaving motion; 1 on the update it reaches the firing line.
    BOOL Fly(CEnemyPartStation& part);
    // Turns to leave, backing away and sinking or climbing.
    static void StartLeaving(CEnemyPartStation& part);
    // Off the screen while leaving, or destroyed: out of play and the label stopped.
    BOOL RemoveIfGone(CEnemyLabel* pLabel, CEnemyPartStation& part);
    // An update's common steps: flash, view offset, removal, the flight in and the halt (which sets
    // *pdwFireClock to the halt's time), and the turn to leave once the stay is over. 1 while the
    // part stays on its firing line and may fire.
    BOOL StepStation(CEnemyLabel* pLabel, CEnemyPartStation& part, DWORD* pdwFireClock);

private:
    const char* m_pszBitmap;
    const char* m_pszKey;
};

class CEnemyM : public CEnemyStation {
public:
    explicit CEnemyM(int nVariant);
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszValue) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;

private:
    void FireVolley(CEnemyPartM& part);
};

class CEnemyN : public CEnemyStation {
public:
    explicit CEnemyN(int nVariant);
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszValue) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;

    // The four angles of a shot, around straight left or straight right.
    const float* GetAngles() const;

private:
    void UpdateBursts(CEnemyLabel* pLabel, CEnemyPartN& part);
};
