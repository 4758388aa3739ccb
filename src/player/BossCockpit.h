// The boss HUD: the boss's life gauge in its frame, the boss's name plate and the time limit that
// counts down from 3:00. The stage drives it through IBossCockpit.
#pragma once
#include "engine/DSurface.h"
#include "engine/Gauge.h"
#include "engine/NumberBase.h"
#include "engine/SlideSurface.h"
#include "stage/StageScreens.h"

#define BOSS_NUM 5
#define BOSS_TIME_LIMIT 180
#define BOSS_TIME_DIGITS 3
#define BOSS_TIME_PERIOD 1000

// The time left, as one minute digit, a colon and two second digits, each a rolling digit.
class CBossTime : public CSlideNumber {
public:
    CBossTime() = default;
    ~CBossTime() override;

    int GetDigitCount() override { return BOSS_TIME_DIGITS; }
    using CSlideNumber::Load;
    // The level digits of the cockpit (10 x 16) and the colon in the cell after them.
    BOOL Load(IDirect3DDevice7* lpDevice);
    void Release() override;
    // Rollers to 0, the value at the start value (the rollers jump to it), shown.
    void Start(int bDirect);
    // The one-second tick starts now.
    void StartTick();
    void Stop() { m_bStopped = 1; }
    // The value and the rollers at once.
    void SetNumber(int nNumber) override;
    // The changed digits roll; the time never shows less than 0:00.
    void AddNumber(int nDelta) override;
    void Update() override;
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;
    int IsStopped() const { return m_bStopped; }
    // Digit i (0 minutes, 1 tens of seconds, 2 seconds) of a value in seconds.
    static int DigitOf(int nSeconds, int i);
    const CSlideSurfBase& GetRoller(int i) const { return m_Rollers[i]; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;
    int m_nStart = BOSS_TIME_LIMIT;
    int m_nStep = -1;
    int m_bDirect = 1;
    DWORD m_dwPeriod = BOSS_TIME_PERIOD;
    DWORD m_dwTickStart = 0;
    int m_bLocked = 0;
    int m_bStopped = 1;

private:
    CDSurface m_Colon;
    CSlideSurfBase m_Rollers[BOSS_TIME_DIGITS];
};

class CBossCockpit : public IBossCockpit {
public:
    CBossCockpit() = default;
    ~CBossCockpit() override;

    // Value 0 of the boss's ENEMY_ key: its life, and the gauge's maximum.
    static int GetBossLife(int nBoss);
    // The ENEMY_ key of boss 0 to 4; null for any other number.
    static const char* GetBossKey(int nBoss);

    int Load(IDirect3DDevice7* lpDevice) override;
    void Release();
    void Start() override;
    void SetBoss(int nBoss) override;
    void SetLifeMax(int nLife) override;
    void SetLife(int nLife) override;
    void Update() override;
    void Hide() override;
    int Draw(IDirectDrawSurface7* lpSurface) override;
    int IsHidden() override { return m_bHidden; }
    int GetSecondsLeft() override { return m_Time.GetNumber(); }
    void StopTime() override { m_Time.Stop(); }

    int GetBoss() const { return m_nBoss; }
    const CGauge& GetGauge() const { return m_Gauge; }
    const CBossTime& GetTime() const { return m_Time; }
    const CSlideSurface& GetNamePlate() const { return m_Name; }

private:
    CDSurface m_Frame;
    CGauge m_Gauge;
    CSlideSurface m_Name;
    int m_nBoss = 2;
    CBossTime m_Time;
    CDSurface m_TimeLimit;
    int m_bHidden = 1;
};
