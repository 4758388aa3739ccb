#include "player/BossCockpit.h"

#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/Param.h"
#include "player/HudDraw.h"

namespace {

const char* const kBossKeys[BOSS_NUM] = {"ENEMY_M.Zorva", "ENEMY_Z.M.Zorva", "ENEMY_ZZ.M.Zorva", "ENEMY_M.ZorvaF91",
                                         "ENEMY_N.M.Zorva"};
const int kDigitW = 10, kDigitH = 16;
const int kPlateW = 107, kPlateH = 25;
const float kGaugeX = 210.0f, kGaugeY = 451.0f;
const int kFrameX = 210, kFrameY = 451;
const float kTimeX = 595.0f, kTimeY = 430.0f;
const int kTimeLimitX = 524, kTimeLimitY = 430;
const float kPlateX = 524.0f, kPlateY = 451.0f;
// The frames of the digit rollers: minutes, tens of seconds, seconds.
const int kRollerFrames[BOSS_TIME_DIGITS] = {10, 6, 10};
const int kGaugeRepeat = 3;

DWORD Now()
{
    return CAppTimer::GetElapsed(0);
}

// The region three times side by side, in a new surface (the caller's); null on failure.
IDirectDrawSurface7* LoadTripled(IDirect3DDevice7* lpDevice, const char* pszRegion)
{
    IDirectDrawSurface7* lpPiece = LoadIndexSurface(lpDevice, IMGKEY{BOSS_INDEX_FILE, pszRegion}, MEM_SYSTEM);
    if (!lpPiece)
        return nullptr;
    int w = 0, h = 0;
    GetSurfaceSize(lpPiece, &w, &h);
    IDirectDrawSurface7* lpWhole = CreateDevicePlaneSurface(lpDevice, w * kGaugeRepeat, h, MEM_SYSTEM);
    bool bOk = lpWhole != nullptr;
    for (int i = 0; i < kGaugeRepeat && bOk; i++)
        bOk = CopySurfacePixels(lpWhole, i * w, 0, lpPiece, 0, 0, w, h) != 0;
    SafeRelease(lpPiece);
    if (!bOk)
        SafeRelease(lpWhole);
    return lpWhole;
}

} // namespace

// ---- The time counter ---------------------------------------------------------------------------------

CBossTime::~CBossTime()
{
    CBossTime::Release();
}

void CBossTime::Release()
{
    m_Colon.Release();
    CSlideNumber::Release();
}

BOOL CBossTime::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    if (!CSlideNumber::Load(lpDevice, IMGKEY{COCKPIT_INDEX_FILE, "LvNumbers.bmp"}, kDigitW, kDigitH))
        return 0;
    for (int i = 0; i < BOSS_TIME_DIGITS; i++)
        m_Rollers[i].Setup(m_lpStrip, m_nDigitWidth, m_nDigitHeight, kRollerFrames[i]);
    const RECT rcColon = {10 * kDigitW, 0, 11 * kDigitW, kDigitH};
    if (!m_Colon.LoadFromIndex(lpDevice, IMGKEY{COCKPIT_INDEX_FILE, "LvNumbers.bmp"}, &rcColon, MEM_VIDEO))
        return 0;
    m_Colon.SetColorKeyGreen();
    return 1;
}

int CBossTime::DigitOf(int nSeconds, int i)
{
    const int v = nSeconds < 0 ? 0 : nSeconds;
    switch (i) {
    case 0:
        return (v / 60) % 10;
    case 1:
        return (v % 60) / 10;
    default:
        return v % 10;
    }
}

void CBossTime::SetNumber(int nNumber)
{
    CNumberBase::SetNumber(nNumber);
    for (int i = 0; i < BOSS_TIME_DIGITS; i++)
        m_Rollers[i].SetFrame(DigitOf(m_nNumber, i));
}

void CBossTime::AddNumber(int nDelta)
{
    const int nOld = m_nNumber;
    const long long v = (long long)nOld + nDelta;
    CNumberBase::SetNumber(v < 0 ? 0 : (v > 599 ? 599 : (int)v));
    for (int i = 0; i < BOSS_TIME_DIGITS; i++) {
        if (DigitOf(nOld, i) != DigitOf(m_nNumber, i))
            m_Rollers[i].SlideTo(DigitOf(m_nNumber, i), m_bDirect);
    }
}

void CBossTime::Start(int bDirect)
{
    for (CSlideSurfBase& roller : m_Rollers)
        roller.SetFrame(0);
    m_bStopped = 1;
    SetNumber(m_nStart);
    m_dwPeriod = BOSS_TIME_PERIOD;
    m_bDirect = bDirect;
    Show();
}

void CBossTime::StartTick()
{
    m_dwTickStart = Now();
    m_bLocked = 0;
    m_bStopped = 0;
}

void CBossTime::Update()
{
    if (m_bHidden)
        return;
    if (!m_bLocked && Now() - m_dwTickStart > m_dwPeriod) {
        if (!m_bStopped)
            AddNumber(m_nStep);
        m_dwTickStart = Now();
    }
    for (CSlideSurfBase& roller : m_Rollers)
        roller.Move();
}

BOOL CBossTime::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden || !m_lpStrip)
        return 1;
    BOOL bOk = m_Rollers[0].Draw(lpSurface, m_lpStrip, m_fX, m_fY);
    bOk &= BltKeyedCell(lpSurface, m_Colon.GetSurface(), nullptr, (int)m_fX + kDigitW, (int)m_fY);
    bOk &= m_Rollers[1].Draw(lpSurface, m_lpStrip, m_fX + (float)(2 * kDigitW), m_fY);
    bOk &= m_Rollers[2].Draw(lpSurface, m_lpStrip, m_fX + (float)(3 * kDigitW), m_fY);
    return bOk;
}

// ---- The HUD ------------------------------------------------------------------------------------------

const char* CBossCockpit::GetBossKey(int nBoss)
{
    return nBoss >= 0 && nBoss < BOSS_NUM ? kBossKeys[nBoss] : nullptr;
}

int CBossCockpit::GetBossLife(int nBoss)
{
    const char* pszKey = GetBossKey(nBoss);
    return pszKey ? GetParamIntOrMax(pszKey, 0) : 0;
}

CBossCockpit::~CBossCockpit()
{
    Release();
}

void CBossCockpit::Release()
{
    m_Frame.Release();
    m_Gauge.Release();
    m_Name.Release();
    m_Time.Release();
    m_TimeLimit.Release();
}

int CBossCockpit::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    IDirectDrawSurface7* lpGauge = LoadTripled(lpDevice, "BossLife1.bmp");
    const BOOL bGauge = lpGauge && m_Gauge.Create(lpDevice, lpGauge, 0);
    SafeRelease(lpGauge);
    if (!bGauge)
        return 0;
    m_Gauge.m_fX = kGaugeX;
    m_Gauge.m_fY = kGaugeY;
    m_Gauge.m_nDirection = -1;
    IDirectDrawSurface7* lpFrame = LoadTripled(lpDevice, "BossLife2.bmp");
    if (!lpFrame || !m_Frame.Attach(lpFrame))
        return 0;
    m_Frame.SetColorKeyGreen();
    if (!m_Time.Load(lpDevice))
        return 0;
    m_Time.m_fX = kTimeX;
    m_Time.m_fY = kTimeY;
    if (!m_TimeLimit.LoadFromIndex(lpDevice, IMGKEY{BOSS_INDEX_FILE, "TimeLimit.bmp"}, nullptr, MEM_VIDEO))
        return 0;
    m_TimeLimit.SetColorKeyGreen();
    if (!m_Name.LoadFromIndex(lpDevice, IMGKEY{BOSS_INDEX_FILE, "BossName.bmp"}, kPlateW, kPlateH, BOSS_NUM, nullptr))
        return 0;
    m_Name.m_fX = kPlateX;
    m_Name.m_fY = kPlateY;
    m_nBoss = 2;
    return 1;
}

void CBossCockpit::SetBoss(int nBoss)
{
    m_nBoss = nBoss;
    m_Name.SetFrame(nBoss);
}

void CBossCockpit::SetLifeMax(int nLife)
{
    m_Gauge.SetMax((float)nLife);
}

void CBossCockpit::SetLife(int nLife)
{
    m_Gauge.MoveTo((float)nLife);
}

void CBossCockpit::Start()
{
    m_Gauge.SetMax((float)GetBossLife(m_nBoss));
    m_Gauge.Show();
    m_Gauge.SetValue(m_Gauge.GetMax());
    m_Time.m_nStart = BOSS_TIME_LIMIT;
    m_Time.m_nStep = -1;
    m_Time.Start(1);
    m_Time.StartTick();
    m_Name.Show();
    m_Name.SetFrame(m_nBoss);
    m_bHidden = 0;
}

void CBossCockpit::Update()
{
    if (m_bHidden)
        return;
    m_Time.Update();
    m_Gauge.Update();
    m_Name.Update();
}

void CBossCockpit::Hide()
{
    m_Time.Hide();
    m_Gauge.Hide();
    m_Name.Hide();
    m_bHidden = 1;
}

int CBossCockpit::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden)
        return 1;
    BOOL bOk = m_Name.Draw(lpSurface);
    bOk &= BltKeyedCell(lpSurface, m_TimeLimit.GetSurface(), nullptr, kTimeLimitX, kTimeLimitY);
    bOk &= m_Time.Draw(lpSurface);
    bOk &= m_Gauge.Draw(lpSurface);
    bOk &= BltKeyedCell(lpSurface, m_Frame.GetSurface(), nullptr, kFrameX, kFrameY);
    return bOk;
}
