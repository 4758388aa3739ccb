#include "player/StageClear.h"

#include <cmath>
#include <cstdio>

#include "engine/AppTimer.h"
#include "engine/BgmWave.h"
#include "engine/BmpIndex.h"
#include "engine/Log.h"
#include "engine/Sound.h"
#include "player/HudDraw.h"

namespace {

const char kIndex[] = "SystemIndex.txt";
const char kJingle[] = ".\\GameData\\System\\StageClear.wav";
const char kVoice[] = ".\\GameData\\System\\CvStageClear.wav";
const char kDecide[] = ".\\GameData\\System\\Pirori.wav";

// The title pops in on the screen's centre and flies up and left to rest with its top-left corner
// on (65, 90): (-123, -124) for a 264 x 52 picture.
const float kTitleCentreX = 320.0f;
const float kTitleCentreY = 240.0f;
const float kTitlePlaceX = 65.0f;
const float kTitlePlaceY = 90.0f;
const float kTitleDX = -123.0f;
const float kTitleDY = -124.0f;
const float kTitleSpeed = 30.0f;
const float kSlideSpeed = 50.0f;
const float kSlideDistance = 600.0f;

struct SLIDEDEF {
    const char* pszRegion;
    float fStartX, y;
    float fPlaceX;
    float fStagger;
};

// The first picture comes in from the left: its start is its own width off the left edge.
const SLIDEDEF kSlides[STAGECLEAR_SLIDES] = {
    {"StageClearZorva.bmp", 0.0f, 60.0f, 280.0f, 0.0f},  {"LifeBonus.bmp", 640.0f, 162.0f, 40.0f, 0.0f},
    {"TimeBonus.bmp", 740.0f, 235.0f, 40.0f, 100.0f},     {"TargetBonus.bmp", 840.0f, 308.0f, 40.0f, 200.0f},
    {"Bar.bmp", 917.0f, 386.0f, 17.0f, 300.0f},           {"Total.bmp", 1040.0f, 407.0f, 40.0f, 400.0f},
};

struct ROWDEF {
    float fStartX, y;
    float fStagger;
};

const float kRowPlaceX = 183.0f;
const ROWDEF kRows[STAGECLEAR_ROWS] = {
    {830.0f, 196.0f, 50.0f}, {930.0f, 269.0f, 150.0f}, {1030.0f, 342.0f, 250.0f}, {1180.0f, 402.0f, 400.0f}};

// Where the percent and the seconds stand on their pictures.
const int kLifeDigitsX = 179 - 32;
const int kTimeDigitsX = 190 - 32;
const int kLifeDigitsY = 162;
const int kTimeDigitsY = 235;

struct SWITCHDEF {
    int nNext;
    DWORD dwDelay;
};

// The state each state moves on to, and the pause before it.
const SWITCHDEF kSwitch[] = {{1, 2000}, {2, 1000}, {3, 500}, {4, 500}};

const int kFullLifeMultiplier = 3000;
const int kLifeMultiplier = 2000;
const int kTimeMultiplier = 1000;

} // namespace

// ---- SLIDEMOTION ----------------------------------------------------------------------------------

void SLIDEMOTION::Init(float fStartX0, float fStartY0, float fPlaceX0, float fPlaceY0)
{
    fStartX = fStartX0;
    fStartY = fStartY0;
    fPlaceX = fPlaceX0;
    fPlaceY = fPlaceY0;
    Reset();
}

void SLIDEMOTION::Reset()
{
    x = fStartX;
    y = fStartY;
    fTravel = 0.0f;
    speed.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
}

void SLIDEMOTION::Launch(float dx, float dy, float fDistance, float fSpeed)
{
    fDirX = dx;
    fDirY = dy;
    fTravel = fDistance;
    speed.Set(fSpeed, -(fSpeed * fSpeed) / (2.0f * fDistance), 0.0f, fSpeed, 1);
}

void SLIDEMOTION::Step()
{
    if (fTravel <= 0.0f) {
        return;
    }
    x += fDirX * speed.fValue;
    y += fDirY * speed.fValue;
    fTravel -= std::fabs(speed.fValue);
    speed.Step();
    // Rounding may leave a hair of distance when the speed has run out: that is arriving too.
    if (fTravel <= 0.0f || speed.nReached) {
        Place();
    }
}

void SLIDEMOTION::Place()
{
    x = fPlaceX;
    y = fPlaceY;
    fTravel = 0.0f;
}

// ---- CStageClear ----------------------------------------------------------------------------------

CStageClear::CStageClear()
{
    for (int i = 0; i < STAGECLEAR_ROWS; i++) {
        m_RowMotion[i].Init(kRows[i].fStartX, kRows[i].y, kRowPlaceX, kRows[i].y);
    }
}

int CStageClear::Load(IDirect3DDevice7* lpDevice)
{
    int bOk = m_Title.LoadImage(lpDevice, IMGKEY{kIndex, "StageClear.bmp"});
    CBmpIndex* pIndex = CBmpIndexSet::GetInstance().Find(kIndex);
    if (pIndex) {
        pIndex->GetRegionSize("StageClear.bmp", &m_nTitleWidth, &m_nTitleHeight);
    }
    for (int i = 0; i < STAGECLEAR_SLIDES; i++) {
        bOk &= m_SlidePicture[i].LoadFromIndex(lpDevice, IMGKEY{kIndex, kSlides[i].pszRegion}, nullptr, MEM_SYSTEM);
        m_SlidePicture[i].SetColorKeyGreen();
    }
    bOk &= m_Extra.LoadFromIndex(lpDevice, IMGKEY{kIndex, "StageClearExtra.bmp"}, nullptr, MEM_SYSTEM);
    m_Extra.SetColorKeyGreen();
    bOk &= m_Numbers.LoadFromIndex(lpDevice, IMGKEY{kIndex, "StageClearNumbers.bmp"}, nullptr, MEM_SYSTEM);
    m_Numbers.SetColorKeyGreen();
    // The rows read as sums of money, like the cockpit's score: no leading zeros.
    for (CStagePointEx& row : m_Row) {
        bOk &= row.Load(lpDevice);
        row.SetZerosShown(0);
    }
    return bOk;
}

void CStageClear::SetResults(int nLifePercent, int nTimeLeft, int nTargetBonus)
{
    m_nLifePercent = nLifePercent;
    m_nTimeLeft = nTimeLeft;
    m_nTargetBonus = nTargetBonus;
}

void CStageClear::Start()
{
    m_TitleMotion.Init(kTitleCentreX, kTitleCentreY, kTitlePlaceX + (float)(m_nTitleWidth / 2),
                       kTitlePlaceY + (float)(m_nTitleHeight / 2));
    for (int i = 0; i < STAGECLEAR_SLIDES; i++) {
        const SLIDEDEF& d = kSlides[i];
        int w = 0, h = 0;
        SlidePicture(i).GetSize(&w, &h);
        const float fStartX = i == SLIDE_ZORVA ? (float)-w : d.fStartX;
        m_Slide[i].Init(fStartX, d.y, d.fPlaceX, d.y);
    }
    for (int i = 0; i < STAGECLEAR_ROWS; i++) {
        m_RowMotion[i].Reset();
        m_Row[i].Reset();
        m_Row[i].m_fX = m_RowMotion[i].x;
        m_Row[i].m_fY = m_RowMotion[i].y;
        m_nCount[i] = 0;
    }
    m_Title.m_fX = m_TitleMotion.x;
    m_Title.m_fY = m_TitleMotion.y;
    m_Title.Start();
    g_BgmWave.FadeOut();
    PlaySoundFile(kJingle);
    m_dwVoiceStart = CAppTimer::GetElapsed(0);
    m_bVoiceDone = 0;
    m_bHidden = 0;
    m_nState = STATE_TITLE;
}

void CStageClear::Switch()
{
    if (m_nState < STATE_TITLE || m_nState >= STATE_DONE) {
        return;
    }
    const SWITCHDEF& s = kSwitch[m_nState];
    m_nPendingState = s.nNext;
    m_dwPendingDelay = s.dwDelay;
    m_dwPendingStart = CAppTimer::GetElapsed(0);
    m_nState = STATE_WAIT;
}

void CStageClear::Enter(int nState)
{
    switch (nState) {
    case STATE_SLIDE_IN:
        StartSlideIn();
        break;
    case STATE_TALLY:
        StartCount();
        break;
    case STATE_TOTAL:
        m_Row[ROW_TOTAL].AddAndFlash(m_Row[ROW_LIFE].GetNumber() + m_Row[ROW_TIME].GetNumber() +
                                     m_Row[ROW_TARGET].GetNumber());
        break;
    default:
        break;
    }
    m_nState = nState;
}

void CStageClear::StartSlideIn()
{
    const float fTitleDistance = std::sqrt(kTitleDX * kTitleDX + kTitleDY * kTitleDY);
    m_TitleMotion.Launch(kTitleDX / fTitleDistance, kTitleDY / fTitleDistance, fTitleDistance, kTitleSpeed);
    for (int i = 0; i < STAGECLEAR_SLIDES; i++) {
        const float fDir = i == SLIDE_ZORVA ? 1.0f : -1.0f;
        m_Slide[i].Launch(fDir, 0.0f, kSlideDistance + kSlides[i].fStagger, kSlideSpeed);
    }
    for (int i = 0; i < STAGECLEAR_ROWS; i++) {
        m_RowMotion[i].Launch(-1.0f, 0.0f, kSlideDistance + kRows[i].fStagger, kSlideSpeed);
    }
}

void CStageClear::StartCount()
{
    m_nCount[ROW_LIFE] = m_nLifePercent;
    m_nCount[ROW_TIME] = m_nTimeLeft;
    m_nCount[ROW_TARGET] = m_nTargetBonus;
    m_nCount[ROW_TOTAL] = 1;
}

void CStageClear::PlaceAll()
{
    m_TitleMotion.Place();
    for (SLIDEMOTION& slide : m_Slide) {
        slide.Place();
    }
    for (SLIDEMOTION& row : m_RowMotion) {
        row.Place();
    }
}

void CStageClear::UpdateSlideIn()
{
    m_TitleMotion.Step();
    for (SLIDEMOTION& slide : m_Slide) {
        slide.Step();
    }
    for (SLIDEMOTION& row : m_RowMotion) {
        row.Step();
    }
    if (m_Slide[SLIDE_TOTAL].IsDone()) {
        PlaceAll();
        Switch();
    }
}

void CStageClear::UpdateTally()
{
    const int nPerUpdate[3] = {1, 1, m_nTargetBonus};
    const int nMultiplier[3] = {m_nLifePercent == 100 ? kFullLifeMultiplier : kLifeMultiplier, kTimeMultiplier, 1};
    bool bAllDone = true;
    for (int i = ROW_LIFE; i <= ROW_TARGET; i++) {
        int& nCount = m_nCount[i];
        if (nCount == 0 && m_Row[i].IsFinished()) {
            nCount = -1;
        } else if (nCount > 0) {
            const int k = nPerUpdate[i] < nCount ? nPerUpdate[i] : nCount;
            m_Row[i].AddAndFlash(k * nMultiplier[i]);
            nCount -= k;
        }
        bAllDone = bAllDone && nCount == -1;
    }
    if (bAllDone) {
        Switch();
    }
}

void CStageClear::Update()
{
    if (m_bHidden) {
        return;
    }
    switch (m_nState) {
    case STATE_TITLE:
        Switch();
        break;
    case STATE_SLIDE_IN:
        UpdateSlideIn();
        break;
    case STATE_TALLY:
        UpdateTally();
        break;
    case STATE_TOTAL:
        if (m_Row[ROW_TOTAL].IsFinished()) {
            PlaySoundFile(kDecide);
            Switch();
        }
        break;
    case STATE_WAIT:
        if (CAppTimer::GetElapsed(0) - m_dwPendingStart > m_dwPendingDelay) {
            Enter(m_nPendingState);
        }
        break;
    default:
        break;
    }
    m_Title.m_fX = m_TitleMotion.x;
    m_Title.m_fY = m_TitleMotion.y;
    m_Title.Update();
    for (int i = 0; i < STAGECLEAR_ROWS; i++) {
        m_Row[i].m_fX = m_RowMotion[i].x;
        m_Row[i].m_fY = m_RowMotion[i].y;
        m_Row[i].Update();
    }
    if (!m_bVoiceDone && CAppTimer::GetElapsed(0) - m_dwVoiceStart > VOICE_MS) {
        PlaySoundFile(kVoice);
        m_bVoiceDone = 1;
    }
}

int CStageClear::GetTotal()
{
    if (m_nState != STATE_DONE) {
        DebugPrintf("CStageClear::GetTotal state = %d\n", m_nState);
    }
    return m_Row[ROW_TOTAL].GetNumber();
}

// Three digits of "%03d" in the tally's own figures (cells 1..9, 0); leading zeros are left out,
// the last digit always drawn.
void CStageClear::DrawDigits(IDirectDrawSurface7* lpSurface, int nValue, int x, int y)
{
    char szText[16];
    snprintf(szText, sizeof(szText), "%03d", nValue < 0 ? 0 : (nValue > 999 ? 999 : nValue));
    bool bDrawn = false;
    for (int i = 0; i < 3; i++, x += DIGIT_WIDTH) {
        const int d = szText[i] - '0';
        if (d == 0 && !bDrawn && i < 2) {
            continue;
        }
        bDrawn = true;
        const int nCell = d == 0 ? 9 : d - 1;
        const RECT rcCell = {nCell * DIGIT_WIDTH, 0, (nCell + 1) * DIGIT_WIDTH, DIGIT_HEIGHT};
        BltKeyedCell(lpSurface, m_Numbers.GetSurface(), &rcCell, x, y);
    }
}

int CStageClear::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden) {
        return 1;
    }
    for (int i = 0; i < STAGECLEAR_SLIDES; i++) {
        BltKeyedCell(lpSurface, SlidePicture(i).GetSurface(), nullptr, (int)m_Slide[i].x, (int)m_Slide[i].y);
    }
    DrawDigits(lpSurface, m_nLifePercent, (int)m_Slide[SLIDE_LIFE].x + kLifeDigitsX, kLifeDigitsY);
    DrawDigits(lpSurface, m_nTimeLeft, (int)m_Slide[SLIDE_TIME].x + kTimeDigitsX, kTimeDigitsY);
    for (CStagePointEx& row : m_Row) {
        row.Draw(lpSurface);
    }
    m_Title.Draw(lpSurface);
    return 1;
}
