// Kind L: a laser gunship that halts on the firing line, charges for a second, fires a laser along
// its row, recoils, and backs away.
#pragma once
#include "bullet/EBCharge.h"
#include "bullet/EBLaserEx.h"
#include "engine/Geometry.h"
#include "enemy/EnemyM.h"

#define ENEMYL_CHARGE_WAVE ".\\GameData\\System\\EnemyLaser1.wav"
#define ENEMYL_FIRE_WAVE ".\\GameData\\System\\BeamRifle.wav"

class CEnemyPartL : public CEnemyPartStation {
public:
    DWORD m_dwLeaveMs = 0;
    BOOL m_bLaserFired = 0;
    CEBCharge m_Charge;
    CEBLaserEx m_Laser;
    ACCBOUNCE m_Bounce{};
};

class CEnemyL : public CEnemyStation {
public:
    explicit CEnemyL(int nVariant);
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszValue) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
    // Its laser and its charge end with it: shot down while firing, it takes its beam along.
    void Stop(CEnemyLabel* pLabel) override;
    CEnemyPartL* GetUnitL(CEnemyLabel* pLabel) { return static_cast<CEnemyPartL*>(GetUnit(pLabel)); }

private:
    void UpdateStay(CEnemyPartL& part);
    // The charge in front of the nose, the laser's origin behind it.
    void PlaceWeapons(CEnemyPartL& part);
};
