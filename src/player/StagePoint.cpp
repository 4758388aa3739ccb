#include "player/StagePoint.h"

#include <climits>
#include <cstring>

#include "engine/AppTimer.h"
#include "player/ScreenDraw.h"

namespace {

int DigitAt(const char* pszText, int i)
{
    return pszText[i] - '0';
}

int LoadKeyedRegion(IDirect3DDevice7* lpDevice, CDSurface& picture, const char* pszRegion, int* pnWidth)
{
    int h = 0;
    if (!picture.LoadFromIndex(lpDevice, IMGKEY{STAGEPOINT_INDEX, pszRegion}, nullptr, MEM_SYSTEM)) {
        return 0;
    }
    picture.SetColorKeyGreen();
    picture.GetSize(pnWidth, &h);
    return 1;
}

} // namespace

// ---- CStagePoint ----------------------------------------------------------------------------------

BOOL CStagePoint::Load(IDirect3DDevice7* lpDevice)
{
    if (!CSlideNumber::Load(lpDevice, IMGKEY{STAGEPOINT_INDEX, "ScoreNumbers.bmp"}, STAGEPOINT_DIGIT_WIDTH,
                            STAGEPOINT_DIGIT_HEIGHT)) {
        return 0;
    }
    SetColorKeyGreen(m_lpStrip);
    for (CSlideSurfBase& roller : m_Rollers) {
        roller.Setup(m_lpStrip, STAGEPOINT_DIGIT_WIDTH, STAGEPOINT_DIGIT_HEIGHT, 10);
    }
    return LoadKeyedRegion(lpDevice, m_Yen, "Yen.bmp", &m_nYenWidth);
}

void CStagePoint::SetNumber(int nNumber)
{
    CNumberBase::SetNumber(nNumber < 0 ? 0 : nNumber);
    for (int i = 0; i < STAGEPOINT_DIGITS; i++) {
        m_Rollers[i].SetFrame(DigitAt(m_szText, i));
    }
}

void CStagePoint::Reset()
{
    SetNumber(0);
    Show();
}

void CStagePoint::Add(int nPoints)
{
    char szOld[32];
    std::memcpy(szOld, m_szText, sizeof(szOld));
    const long long llSum = (long long)m_nNumber + nPoints;
    CNumberBase::SetNumber(llSum > INT_MAX ? INT_MAX : (llSum < 0 ? 0 : (int)llSum));
    for (int i = 0; i < STAGEPOINT_DIGITS; i++) {
        if (szOld[i] != m_szText[i]) {
            m_Rollers[i].SlideTo(DigitAt(m_szText, i), 0);
        }
    }
}

void CStagePoint::MoveRollers()
{
    for (CSlideSurfBase& roller : m_Rollers) {
        if (roller.GetSpeed() == 0.0f) {
            continue;
        }
        roller.Move();
        if (roller.GetRemaining() <= 0.0f) {
            roller.SetFrame(roller.GetFrame());
        }
    }
}

void CStagePoint::Update()
{
    if (!m_bHidden) {
        MoveRollers();
    }
}

int CStagePoint::IsFinished() const
{
    for (const CSlideSurfBase& roller : m_Rollers) {
        if (roller.GetSpeed() > 0.01f || roller.GetSpeed() < -0.01f) {
            return 0;
        }
    }
    return 1;
}

BOOL CStagePoint::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden) {
        return 1;
    }
    BltKeyedAt(lpSurface, m_Yen.GetSurface(), nullptr, (int)m_fX - 5, (int)m_fY);
    float x = m_fX + (float)m_nYenWidth;
    for (CSlideSurfBase& roller : m_Rollers) {
        roller.Draw(lpSurface, m_lpStrip, x, m_fY);
        x += (float)STAGEPOINT_DIGIT_WIDTH;
    }
    return 1;
}

// ---- CStagePointEx --------------------------------------------------------------------------------

CStagePointEx::~CStagePointEx()
{
    SafeRelease(m_lpWhite);
}

void CStagePointEx::Release()
{
    SafeRelease(m_lpWhite);
    m_Comma.Release();
    CStagePoint::Release();
}

BOOL CStagePointEx::Load(IDirect3DDevice7* lpDevice)
{
    if (!CStagePoint::Load(lpDevice) || !LoadKeyedRegion(lpDevice, m_Comma, "comma.bmp", &m_nCommaWidth)) {
        return 0;
    }
    SafeRelease(m_lpWhite);
    IDirectDrawSurface7* lpSource =
        LoadIndexSurface(lpDevice, IMGKEY{STAGEPOINT_INDEX, "ScoreNumbersWhite.bmp"}, MEM_SYSTEM);
    m_lpWhite = BuildDigitStrip(lpDevice, lpSource, STAGEPOINT_DIGIT_WIDTH, STAGEPOINT_DIGIT_HEIGHT);
    SafeRelease(lpSource);
    if (!m_lpWhite) {
        return 0;
    }
    SetColorKeyGreen(m_lpWhite);
    m_bFinished = 1;
    return 1;
}

void CStagePointEx::AddAndFlash(int nPoints)
{
    Add(nPoints);
    m_bFlashPending = 1;
}

void CStagePointEx::AddThenSet(int nPoints, int nValue)
{
    Add(nPoints);
    m_nPending = nValue;
}

void CStagePointEx::Update()
{
    if (m_bHidden) {
        return;
    }
    MoveRollers();
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_bFlashPending && IsFinished()) {
        m_bWhite = 1;
        m_dwFlashStart = dwNow;
        m_bFinished = 0;
        m_bFlashPending = 0;
    } else if (m_nPending >= 0) {
        SetNumber(m_nPending);
        m_nPending = -1;
    }
    if (!m_bFinished && dwNow - m_dwFlashStart > FLASH_MS) {
        m_bFinished = 1;
        m_bWhite = 0;
    }
}

// Commas before each group of three; leading zeros left blank, the last digit always drawn; the
// Yen sign just left of the first digit drawn.
BOOL CStagePointEx::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden) {
        return 1;
    }
    IDirectDrawSurface7* lpStrip = m_bWhite ? m_lpWhite : m_lpStrip;
    float x = m_fX + (float)m_nYenWidth;
    int nShift = 0;
    bool bDrawn = false;
    for (int i = 0; i < STAGEPOINT_DIGITS; i++) {
        if (i > 0 && (STAGEPOINT_DIGITS - i) % 3 == 0) {
            if (bDrawn) {
                BltKeyedAt(lpSurface, m_Comma.GetSurface(), nullptr, (int)x, (int)m_fY);
            } else {
                nShift += m_nCommaWidth;
            }
            x += (float)m_nCommaWidth;
        }
        const bool bBlank = !bDrawn && m_Rollers[i].GetFrame() == 0 && m_Rollers[i].GetSpeed() == 0.0f &&
                            i < STAGEPOINT_DIGITS - 1;
        if (bBlank) {
            nShift += STAGEPOINT_DIGIT_WIDTH;
        } else {
            m_Rollers[i].Draw(lpSurface, lpStrip, x, m_fY);
            bDrawn = true;
        }
        x += (float)STAGEPOINT_DIGIT_WIDTH;
    }
    BltKeyedAt(lpSurface, m_Yen.GetSurface(), nullptr, (int)m_fX - 5 + nShift, (int)m_fY);
    return 1;
}
