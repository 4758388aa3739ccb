#include "player/Cockpit.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/Param.h"
#include "engine/Sound.h"
#include "player/HudDraw.h"
#include "player/OptionIcon.h"

int g_nChargeTime[COCKPIT_SUBWEAPONS] = {8000, 6000, 12000, 16000};

namespace {

const char* const kChargeKeys[COCKPIT_SUBWEAPONS] = {"ION_SHIELD_CHARGE_TIME", "HAWK_WIND_CHARGE_TIME",
                                                     "FIRE_STORM_CHARGE_TIME", "GROUND_WIPER_CHARGE_TIME"};
const char kDangerSound[] = ".\\GameData\\System\\PlayerDanger.wav";

const float kLifeX = 120.0f, kLifeY = 7.0f;
const float kExpX = 184.0f, kExpY = 41.0f;
const float kChargeX = 184.0f, kChargeY = 64.0f;
const float kPopX = 234.0f, kLvMaxY = 45.0f, kReadyY = 70.0f;
const float kDigitsX = 155.0f, kDigitsY = 38.0f;
const int kIconX = 330, kIconY = 5;
const float kScoreY = 46.0f;
// The score's last digit ends here: a full ten-digit score with its commas stays on the screen.
const int kScoreRight = 635;
const int kLevelDigitW = 10, kLevelDigitH = 16;
const float kChargeMax = 100.0f;
const float kDangerRatio = 0.2f;
const float kArrived = 0.01f;

IMGKEY Key(const char* pszRegion)
{
    return IMGKEY{COCKPIT_INDEX, pszRegion};
}

// The level digits: the first row of LvNumbers.bmp (cells 1..9, 0) made into a strip, 0 on top.
IDirectDrawSurface7* BuildLevelStrip(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nWidth,
                                     int nHeight, int)
{
    return CSlideNumber::BuildDigitStrip(lpDevice, lpSource, nWidth, nHeight);
}

} // namespace

CCockpit::CCockpit() : m_dwChargePeriod((DWORD)g_nChargeTime[0])
{
}

// ---- Loading ------------------------------------------------------------------------------------

int CCockpit::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    int bOk = m_Plate.LoadFromIndex(lpDevice, Key("Cockpit.bmp"), nullptr, MEM_VIDEO);
    m_Plate.SetColorKeyGreen();
    bOk &= m_Face.Load(lpDevice);
    bOk &= m_LifeGauge[0].LoadFromIndex(lpDevice, Key("mode_hard"), 0);
    bOk &= m_LifeGauge[1].LoadFromIndex(lpDevice, Key("mode_easy"), 0);
    for (CGauge& gauge : m_LifeGauge) {
        gauge.m_fX = kLifeX;
        gauge.m_fY = kLifeY;
        gauge.SetMax((float)LIFE_MAX);
    }
    bOk &= m_ExpGauge.LoadFromIndex(lpDevice, Key("MaxLVGauge.bmp"), 1);
    m_ExpGauge.m_fX = kExpX;
    m_ExpGauge.m_fY = kExpY;
    m_ExpGauge.SetMax((float)LEVEL_EXP);
    bOk &= m_ChargeGauge.LoadFromIndex(lpDevice, Key("MaxLVGauge.bmp"), 1);
    m_ChargeGauge.m_fX = kChargeX;
    m_ChargeGauge.m_fY = kChargeY;
    m_ChargeGauge.SetMax(kChargeMax);
    bOk &= m_Icons.LoadFromIndex(lpDevice, Key("SubWeaponIcon.bmp"), nullptr, MEM_VIDEO);
    m_Icons.SetColorKeyGreen();
    bOk &= m_LvMax.LoadImage(lpDevice, Key("LvMax.bmp"));
    m_LvMax.m_fX = kPopX;
    m_LvMax.m_fY = kLvMaxY;
    m_bReadyLoaded = m_Ready.LoadImage(lpDevice, Key("SubWeaponReady.bmp"));
    bOk &= m_bReadyLoaded;
    m_Ready.m_fX = kPopX;
    m_Ready.m_fY = kReadyY;
    bOk &= m_LevelDigits.LoadFromIndex(lpDevice, Key("LvNumbers.bmp"), kLevelDigitW, kLevelDigitH, 10, BuildLevelStrip);
    m_LevelDigits.m_fX = kDigitsX;
    m_LevelDigits.m_fY = kDigitsY;
    bOk &= m_Score.Load(lpDevice);
    m_Score.SetZerosShown(0);
    m_Score.m_fX = (float)std::max(0, kScoreRight - m_Score.GetFullWidth());
    m_Score.m_fY = kScoreY;
    bOk &= m_Danger.LoadImages(lpDevice, Key("Danger1"), Key("Danger2"));
    int w = 0, h = 0;
    GetCockpitIndex().GetRegionSize("Danger1", &w, &h);
    m_Danger.m_fX = (float)(w / 2) + kLifeX;
    m_Danger.m_fY = (float)(h / 2) + kLifeY;
    return bOk;
}

void CCockpit::Release()
{
    m_bReadyLoaded = 0;
    m_Plate.Release();
    m_Face.Release();
    for (CGauge& gauge : m_LifeGauge)
        gauge.Release();
    m_ExpGauge.Release();
    m_ChargeGauge.Release();
    m_Icons.Release();
    m_LvMax.Release();
    m_Ready.Release();
    m_LevelDigits.Release();
    m_Score.Release();
    m_Danger.Release();
}

void CCockpit::Reset()
{
    m_Face.Reset();
    m_bDanger = 0;
    for (CGauge& gauge : m_LifeGauge) {
        gauge.Show();
        gauge.SetMax((float)LIFE_MAX);
        gauge.SetValue((float)LIFE_MAX);
    }
    m_ExpGauge.Show();
    m_ExpGauge.SetMax((float)LEVEL_EXP);
    m_ChargeGauge.Show();
    m_ChargeGauge.SetMax(kChargeMax);
    m_nRemainder = 0;
    RestartCharge();
    m_LvMax.Stop();
    m_ExpGauge.StopBlink();
    m_LevelDigits.Show();
    m_LevelDigits.Reset();
    SetLevel(LEVEL_MIN);
    m_Score.Reset();
    m_Danger.Stop();
    m_bHidden = 0;
}

// ---- Per tick -----------------------------------------------------------------------------------

// The level changes on the update after the gauge has arrived, so that the full gauge is seen.
void CCockpit::Update()
{
    m_Face.Update();
    UpdateExp();
    for (CGauge& gauge : m_LifeGauge)
        gauge.Update();
    m_ExpGauge.Update();
    m_ChargeGauge.Update();
    UpdateCharge();
    m_LvMax.Update();
    m_Ready.Update();
    m_Danger.Update();
    m_LevelDigits.Update();
    m_Score.Update();
}

void CCockpit::UpdateCharge()
{
    const DWORD dwElapsed = CAppTimer::GetElapsed(0) - m_dwChargeStart;
    const float fValue = kChargeMax * (float)dwElapsed / (float)m_dwChargePeriod;
    m_ChargeGauge.SetValue(std::clamp(fValue, 0.0f, kChargeMax));
    if (!IsCharged() || m_bReady)
        return;
    m_bReady = 1;
    if (m_bReadyLoaded) {
        m_Ready.Start();
        m_ChargeGauge.StartBlink();
    }
}

// Once the gauge has run up to full, the pending level takes over and the gauge runs again from
// empty to what is left over inside the new level.
void CCockpit::UpdateExp()
{
    if (m_nPending == m_nLevel || std::fabs(m_ExpGauge.GetShownValue() - m_ExpGauge.GetValue()) >= kArrived)
        return;
    if (m_nPending < LEVEL_MAX) {
        m_ExpGauge.SetMax((float)LEVEL_EXP);
        m_ExpGauge.SetValue(0.0f);
        m_ExpGauge.MoveTo((float)m_nRemainder);
    }
    SetLevel(m_nPending);
}

// ---- Sub-weapon charge --------------------------------------------------------------------------

void CCockpit::ReadChargeTimes()
{
    for (int i = 0; i < COCKPIT_SUBWEAPONS; i++) {
        const int nSeconds = GetParamIntOrMax(kChargeKeys[i], 0);
        // A missing key keeps the period; no period may be empty (the charge divides by it).
        if (nSeconds != PARAM_INT_MAX && nSeconds > 0 && nSeconds <= INT_MAX / 1000)
            g_nChargeTime[i] = nSeconds * 1000;
    }
}

void CCockpit::SelectSubWeapon(int n)
{
    if (n < 0 || n >= COCKPIT_SUBWEAPONS)
        return;
    m_nSubWeapon = n;
    if (m_ChargeGauge.GetMax() > 0.0f)
        ReadChargeTimes();
    m_dwChargePeriod = (DWORD)g_nChargeTime[n];
    m_dwChargeStart = CAppTimer::GetElapsed(0);
}

int CCockpit::IsCharged() const
{
    return m_ChargeGauge.IsFull();
}

void CCockpit::RestartCharge()
{
    m_Ready.Stop();
    m_ChargeGauge.SetValue(0.0f);
    m_ChargeGauge.StopBlink();
    m_dwChargeStart = CAppTimer::GetElapsed(0);
    m_bReady = 0;
}

// ---- Life, experience and level -----------------------------------------------------------------

void CCockpit::SetLife(int nLife)
{
    for (CGauge& gauge : m_LifeGauge)
        gauge.MoveTo((float)nLife);
    const int bDanger = (float)nLife / (float)LIFE_MAX <= kDangerRatio ? 1 : 0;
    if (bDanger == m_bDanger)
        return;
    m_bDanger = bDanger;
    m_Face.SetDanger(bDanger);
    if (bDanger) {
        m_Danger.Start();
        PlaySoundFile(kDangerSound);
    } else {
        m_Danger.Stop();
    }
}

int CCockpit::LevelOfExp(int nExp)
{
    if (nExp < 32)
        return 4;
    if (nExp < 64)
        return 5;
    if (nExp < 96)
        return 6;
    if (nExp < 128)
        return 7;
    return 8;
}

int CCockpit::LevelStart(int nLevel)
{
    return (std::clamp(nLevel, LEVEL_MIN, LEVEL_MAX) - LEVEL_MIN) * LEVEL_EXP;
}

int CCockpit::SetExp(int nExp, int bAnimate)
{
    if (m_nLevel == LEVEL_MAX)
        return 0;
    const int nLevel = LevelOfExp(nExp);
    const int nRemainder = nExp - LevelStart(nLevel);
    if (nLevel > m_nLevel) {
        m_nPending = nLevel;
        m_nRemainder = nLevel < LEVEL_MAX ? nRemainder : 0;
        if (bAnimate)
            m_ExpGauge.MoveTo(m_ExpGauge.GetMax());
        else
            m_ExpGauge.SetValue(m_ExpGauge.GetMax());
        return 1;
    }
    if (nLevel == m_nLevel) {
        m_nRemainder = nRemainder;
        if (bAnimate)
            m_ExpGauge.MoveTo((float)nRemainder);
        else
            m_ExpGauge.SetValue((float)nRemainder);
    }
    return 0;
}

void CCockpit::SetLevel(int nLevel)
{
    if (nLevel < LEVEL_MIN || nLevel > LEVEL_MAX)
        return;
    m_LevelDigits.SlideTo(nLevel - LEVEL_MIN, 1);
    m_nLevel = m_nPending = nLevel;
    if (nLevel == LEVEL_MAX) {
        m_LvMax.Start();
        m_ExpGauge.StartBlink();
    } else {
        m_LvMax.Stop();
        m_ExpGauge.StopBlink();
    }
}

// The heroine's level is the pending one: a level-up still running its gauge is what is lost.
void CCockpit::LevelDown()
{
    m_ExpGauge.SetMax((float)LEVEL_EXP);
    m_ExpGauge.SetValue(0.0f);
    m_nRemainder = 0;
    SetLevel(std::max(LEVEL_MIN, m_nPending - 1));
}

// ---- Score --------------------------------------------------------------------------------------

void CCockpit::AddScore(int nPoints, int bDelayed)
{
    if (bDelayed)
        m_Score.AddAndFlash(nPoints);
    else
        m_Score.Add(nPoints);
}

void CCockpit::SetScore(int nShown, int nValue)
{
    m_Score.AddThenSet(nShown, nValue);
}

// ---- Drawing ------------------------------------------------------------------------------------

int CCockpit::DrawSubWeaponIcon(IDirectDrawSurface7* lpSurface, int x, int y, int nIndex, IDirectDrawSurface7* lpIcons)
{
    if (nIndex < 0 || nIndex >= COCKPIT_SUBWEAPONS || !lpIcons)
        return 1;
    int w = 0, h = 0;
    GetSurfaceSize(lpIcons, &w, &h);
    const RECT rcCell = {nIndex * COCKPIT_ICON_STEP, 0, (nIndex + 1) * COCKPIT_ICON_STEP, h};
    return BltKeyedCell(lpSurface, lpIcons, &rcCell, x, y);
}

int CCockpit::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden)
        return 1;
    int bOk = BltKeyedCell(lpSurface, m_Plate.GetSurface(), nullptr, (int)m_fPlateX, (int)m_fPlateY);
    bOk &= m_Face.Draw(lpSurface);
    bOk &= m_LifeGauge[IsOptionOn(OPTION_HALF_DAMAGE)].Draw(lpSurface);
    bOk &= m_Danger.Draw(lpSurface);
    bOk &= m_ExpGauge.Draw(lpSurface);
    bOk &= m_ChargeGauge.Draw(lpSurface);
    bOk &= DrawSubWeaponIcon(lpSurface, kIconX, kIconY, m_nSubWeapon, m_Icons.GetSurface());
    bOk &= m_LvMax.Draw(lpSurface);
    bOk &= m_Ready.Draw(lpSurface);
    bOk &= m_LevelDigits.Draw(lpSurface);
    bOk &= m_Score.Draw(lpSurface);
    return bOk;
}
