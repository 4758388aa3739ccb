// An enemy kind: one object per enemy code of a loaded stage. It holds the pictures and Param.txt
// values of its code and carries all behaviour, acting on the placed labels' parts.
#pragma once
#include "engine/AppTimer.h"
#include "enemy/EnemyPart.h"
#include "stage/Object.h"

class CEnemyLabel;

#define ENEMY_SLOT_MAX 11

// Picture slots of a kind: bitmap and Param key.
struct ENEMYSLOT {
    const char* pszBitmap;
    const char* pszKey;
};

class CEnemy : public CObject {
public:
    explicit CEnemy(int nVariant);
    ~CEnemy() override;

    // Every enemy timer reads game timer 0.
    static DWORD Now() { return CAppTimer::GetElapsed(0); }

    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    virtual void Release();
    virtual void OnTimeOut(CEnemyLabel*) {}
    virtual int SetupWeapons(IDirect3DDevice7*, CEnemyLabel*, const char*) { return 0; }
    virtual int CreateParts(int, CEnemyLabel*) { return 0; }
    virtual void DestroyParts(CEnemyLabel* pLabel);
    virtual void Spawn(CEnemyLabel*) {}
    virtual void Update(CEnemyLabel*) {}
    virtual void Stop(CEnemyLabel* pLabel);
    virtual int Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY);
    virtual int DrawExtra(int, CEnemyLabel*) { return 0; }

    // Values 0 to 3 as they stand (a missing one is INT_MAX); value 4 as a flag.
    static void ReadParamBlock(const char* pszKey, ENEMYPARAM* pBlock);

    int GetVariant() const { return m_nVariant; }
    // The variant groups.
    BOOL IsRightward() const { return m_nVariant == 3 || m_nVariant == 4 || m_nVariant == 7 || m_nVariant == 8; }
    BOOL IsUpward() const { return m_nVariant == 2 || m_nVariant == 4 || m_nVariant == 6 || m_nVariant == 8; }
    BOOL IsSecondSet() const { return m_nVariant >= 5 && m_nVariant <= 8; }

    CDSurfaceEx m_Pictures[ENEMY_SLOT_MAX];
    int m_nWidths[ENEMY_SLOT_MAX] = {};
    int m_nHeights[ENEMY_SLOT_MAX] = {};
    ENEMYPARAM m_Params[ENEMY_SLOT_MAX] = {};

protected:
    // One slot: the picture from the folder, its size and block; 0 when the picture failed.
    int LoadSlot(IDirect3DDevice7* lpDevice, const char* pszFolder, int nSlot, const ENEMYSLOT& slot);
    // The slots of the table in order; a failed picture leaves its slot as it was.
    void LoadSlots(IDirect3DDevice7* lpDevice, const char* pszFolder, const ENEMYSLOT* pSlots, int nCount);
    // The parts of the label's family, its first part or null.
    CEnemyPart* GetPart(CEnemyLabel* pLabel, int i);
    int GetPartCount(CEnemyLabel* pLabel);
    // The common draw of every live part: the picture of its block, mirrored or flashed.
    int DrawPart(IDirectDrawSurface7* lpTarget, CEnemyPart* pPart);

    int m_nVariant;
    int m_nFamily = 0;
};

// The angle from a point to the label's target, y negated as enemy shots keep it.
float AimAngle(CEnemyLabel* pLabel, float px, float py);
