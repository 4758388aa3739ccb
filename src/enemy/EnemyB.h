// The formation kinds, which share one part class: B flies a ring of four units around a centre
// unit that halts at the firing line, fires and flies on; F is one unit that halts and fires, or
// dives at the heroine; G drops a row of falling units from a carrier, or sends one falling or
// diagonal unit.
#pragma once
#include "enemy/EnemyA.h"

class CEnemyPartB : public CEnemyPart {
public:
    enum { STATE_ENTER = 0, STATE_LEAVE = 1, STATE_STOP = 2 };

    // Drawn, hit, exploded and dropped from the orbit position.
    D3DVECTOR* GetPos(D3DVECTOR* pOut) override
    {
        *pOut = m_vOrbit;
        return pOut;
    }

    D3DVECTOR m_vOrbit{};
    ACCINFO m_Angle{};
    ACCINFO m_X{};
    BOOL m_bFired = 0;
    DWORD m_dwStopTime = 0;
    DWORD m_dwStopDuration = 0;
    int m_nState = STATE_ENTER;
    CEBNormal m_Normal;
    CEBBigBullet m_Big;
    // Kind G: the unit has been dropped in this appearance.
    BOOL m_bDropped = 0;
    // The part has passed its removal line (or was destroyed) in this appearance.
    BOOL m_bGone = 1;
};

// What the three kinds share: the part block and drawing every live part.
class CEnemyFormation : public CEnemy {
public:
    CEnemyFormation(int nVariant, int nParts);
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszValue) override;
    CEnemyPartB* GetParts(CEnemyLabel* pLabel);

protected:
    // Ms of game timer 0 since the stop, and whether more than nMs have passed.
    static BOOL IsStoppedLonger(const CEnemyPartB& part, DWORD dwMs);
    int m_nParts;
    BOOL m_bWeapons = 1;
};

class CEnemyB : public CEnemyFormation {
public:
    enum { PARTS = 5, CENTRE = 4, RING_SLOTS = 10 };

    explicit CEnemyB(int nVariant);
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
    void Stop(CEnemyLabel* pLabel) override;

    // Whether the variant flies part k.
    BOOL IsActive(int k) const;
    float m_fRadius = 0.0f;

private:
    void PlaceOrbit(CEnemyPartB& part);
};

class CEnemyF : public CEnemyFormation {
public:
    enum { PARTS = 5, UNIT = 4 };

    explicit CEnemyF(int nVariant);
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;

    int GetBlock() const;
};

class CEnemyG : public CEnemyFormation {
public:
    enum { PARTS = 7, FALLERS = 6, CARRIER = 6 };

    explicit CEnemyG(int nVariant);
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
    void Stop(CEnemyLabel* pLabel) override;

    // Drops falling unit i at the given place.
    void Drop(CEnemyLabel* pLabel, int i, float x, float y);

private:
    void UpdateFaller(CEnemyPartB& part);
    void UpdateCarrier(CEnemyLabel* pLabel, CEnemyPartB& part);
    void UpdateDiagonal(CEnemyPartB& part);
};
