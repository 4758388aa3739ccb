// The first boss, "M.Zorva": a big walker that glides in from the right and lays mines (phase 0),
// fires straight or aimed hi-speed volleys and a vulcan burst with recoil (phase 1), and swings and
// throws a chained hammer (phase 2). Its attack cycles are tick schedules, written out below as
// switches on the tick counter; everything else is the bosses' shared skeleton.
#pragma once
#include "bullet/EBHammer.h"
#include "bullet/EBMine.h"
#include "bullet/EBNormal.h"
#include "bullet/EBVulcanEx.h"
#include "enemy/EnemyBoss.h"

#define MM_HISPEED_SHOTS 4
#define MM_MINES 8
#define MM_MINE_LAUNCHES 4
#define MM_STEER_PERIOD 40

class CEnemyPartMM : public CEnemyPartBoss {
public:
    CEnemyPartMM();
    ~CEnemyPartMM() override = default;

    void Place(CEnemyLabel* pLabel) override;
    void OnTick(int nState, CEnemyLabel* pLabel) override;
    void OnPassEnd(int nState, CEnemyLabel* pLabel) override;
    void PositionWeapons(CEnemyLabel* pLabel) override;
    int LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel) override;
    void StopWeapons() override;
    void FinishWeapons(CStage* pStage) override;

    // The weapon orders of the schedules.
    virtual void LaunchMine(int i);
    virtual void FireHiSpeed(int i, CEnemyLabel* pLabel);
    virtual void FireVulcan();

    CEBVulcanEx m_Vulcan;
    CEBHiSpeed m_HiSpeed[MM_HISPEED_SHOTS];
    CEBHammer m_Hammer;
    CEBMine m_Mines[MM_MINES];
    STEERTIMER m_Steer{MM_STEER_PERIOD, 0, 0};
    // What the vertical steering aims at, renewed every tick of phases 1 and 2.
    float m_fSteerValue = 0.0f;
    float m_fRememberedX = 0.0f;
    // BOSS_LEVEL_MM: non-zero aims the hi-speed shots at the heroine.
    int m_nLevel = 0;

private:
    void TickMines(CEnemyLabel* pLabel);
    void TickVolleys(CEnemyLabel* pLabel);
    void TickHammer(CEnemyLabel* pLabel);
    // y moves by the steering adjuster, which is renewed every period towards the steering value.
    void FollowSteering();
    void RestampSteering();
    // The x record braking from -5 to rest at the given x.
    void GlideTo(float fRestX);
    ACCBOUNCE& Recoil();
};

class CEnemyMM : public CEnemyBoss {
public:
    CEnemyMM();
    int CreateBody(CEnemyLabel* pLabel) override;
    // Nothing of it is drawn in the 3D pass.
    int DrawExtra(int, CEnemyLabel*) override { return 1; }
};
