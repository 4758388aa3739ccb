// The heroine's HUD in the top-left of the view: the plate with her face, the life gauge, the level
// digit with the experience gauge, the sub-weapon icon with its charge gauge, the level-max and
// ready pop-ups, the low-life warning, and the rolling score. The heroine owns one and drives it.
#pragma once
#include "engine/DSurface.h"
#include "engine/Gauge.h"
#include "engine/PopSurface.h"
#include "engine/SlideSurface.h"
#include "player/PlayerFace.h"
#include "player/StagePoint.h"

#define COCKPIT_INDEX "CockpitIndex.txt"
#define COCKPIT_SUBWEAPONS 4
#define COCKPIT_ICON_STEP 60
#define LEVEL_MIN 4
#define LEVEL_MAX 8
#define LEVEL_EXP 32      // experience points per level
#define LIFE_MAX 100

// Charge periods by sub-weapon in ms, process-wide: the cockpit reads them again from Param.txt
// whenever a sub-weapon is selected.
extern int g_nChargeTime[COCKPIT_SUBWEAPONS];

class CCockpit {
public:
    CCockpit();
    virtual ~CCockpit() { Release(); }
    CCockpit(const CCockpit&) = delete;
    CCockpit& operator=(const CCockpit&) = delete;

    // 0 when a picture is missing (what did load still shows).
    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Reset();
    void Update();
    void Hide() { m_bHidden = 1; }
    void Show() { m_bHidden = 0; }
    int Draw(IDirectDrawSurface7* lpSurface);

    // Sub-weapon charge.
    void SelectSubWeapon(int n);
    int IsCharged() const;
    void RestartCharge();

    // Life 0..100: the gauges run to it; at a fifth or less the danger warning is on.
    void SetLife(int nLife);
    // Experience: 1 when it makes a level-up (the gauge runs to full before the level changes).
    int SetExp(int nExp, int bAnimate);
    void SetLevel(int nLevel);
    // One level down (level 4 stays); the experience gauge starts the new level empty.
    void LevelDown();
    void ShowDamageFace(int bForever) { m_Face.ShowDamage(bForever); }

    // Score: bDelayed flashes the counter once its roll ends.
    void AddScore(int nPoints, int bDelayed);
    // Rolls the counter on by nShown, then jumps to nValue.
    void SetScore(int nShown, int nValue);
    // The counter stands on nValue at once, with nothing to roll.
    void ShowScore(int nValue) { m_Score.SetNumber(nValue); }
    int GetScore() { return m_Score.GetNumber(); }

    // The icon of a sub-weapon (0..3) from a strip of icons 60 px apart; nothing for another index.
    static int DrawSubWeaponIcon(IDirectDrawSurface7* lpSurface, int x, int y, int nIndex, IDirectDrawSurface7* lpIcons);

    // The level an experience value reaches (4..8) and the experience a level starts at.
    static int LevelOfExp(int nExp);
    static int LevelStart(int nLevel);

    int GetLevel() const { return m_nLevel; }
    int GetPendingLevel() const { return m_nPending; }
    int GetRemainder() const { return m_nRemainder; }
    int GetSubWeapon() const { return m_nSubWeapon; }
    DWORD GetChargePeriod() const { return m_dwChargePeriod; }
    int IsDanger() const { return m_bDanger; }
    int IsHidden() const { return m_bHidden; }
    const CGauge& GetExpGauge() const { return m_ExpGauge; }
    const CGauge& GetChargeGauge() const { return m_ChargeGauge; }
    const CGauge& GetLifeGauge(int bEasy) const { return m_LifeGauge[bEasy ? 1 : 0]; }
    const CPopSurface& GetLvMaxPop() const { return m_LvMax; }
    const CPopSurface& GetReadyPop() const { return m_Ready; }
    const CPopSurface& GetDangerPop() const { return m_Danger; }
    const CSlideSurface& GetLevelDigits() const { return m_LevelDigits; }
    const CStagePointEx& GetScoreCounter() const { return m_Score; }
    const CPlayerFace& GetFace() const { return m_Face; }

private:
    void UpdateCharge();
    void UpdateExp();
    void ReadChargeTimes();

    CDSurface m_Plate;
    float m_fPlateX = 5.0f;
    float m_fPlateY = 5.0f;
    CPlayerFace m_Face;
    CPopSurface m_Danger;
    CGauge m_LifeGauge[2];  // "mode_hard", "mode_easy"
    CGauge m_ExpGauge;
    CGauge m_ChargeGauge;
    CDSurface m_Icons;
    CPopSurface m_LvMax;
    CPopSurface m_Ready;
    CSlideSurface m_LevelDigits;
    CStagePointEx m_Score;

    int m_nSubWeapon = 0;
    DWORD m_dwChargePeriod;
    DWORD m_dwChargeStart = 0;
    int m_bReady = 0;
    int m_bReadyLoaded = 0;
    int m_nLevel = LEVEL_MIN;
    int m_nPending = LEVEL_MIN;
    int m_nRemainder = 0;
    int m_bDanger = 0;
    int m_bHidden = 1;
};
