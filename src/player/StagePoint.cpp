#include "player/StagePoint.h"

#include <climits>
#include <cstring>

#include "engine/AppTimer.h"
#include "engine/SurfaceUtil.h"
#include "player/HudDraw.h"

namespace {

const float kYenGap = 5.0f;

// The digit of character c of a counter's text; a character that is not a digit reads as 0.
int DigitOf(char c)
{
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

int Saturate(long long n)
{
    if (n < 0)
        return 0;
    return n > INT_MAX ? INT_MAX : (int)n;
}

} // namespace

// ---- CStagePoint ----------------------------------------------------------------------------------

CStagePoint::CStagePoint()
{
    CStagePoint::Init();
}

CStagePoint::~CStagePoint()
{
    CStagePoint::Release();
}

void CStagePoint::Init()
{
    CSlideNumber::Init();
    m_Yen.Release();
    m_bYenShown = 1;
    m_bZerosShown = 1;
}

void CStagePoint::Release()
{
    m_Yen.Release();
    CSlideNumber::Release();
}

BOOL CStagePoint::Load(IDirect3DDevice7* lpDevice)
{
    if (!CSlideNumber::Load(lpDevice, IMGKEY{STAGEPOINT_INDEX, "ScoreNumbers.bmp"}, STAGEPOINT_DIGIT_WIDTH,
                            STAGEPOINT_DIGIT_HEIGHT))
        return 0;
    for (CSlideSurfBase& roller : m_Rollers)
        roller.Setup(m_lpStrip, m_nDigitWidth, m_nDigitHeight, 10);
    if (!m_Yen.LoadFromIndex(lpDevice, IMGKEY{STAGEPOINT_INDEX, "Yen.bmp"}, nullptr, MEM_VIDEO))
        return 0;
    m_Yen.GetSize(&m_nYenWidth, &m_nYenHeight);
    m_Yen.SetColorKeyGreen();
    return 1;
}

// A negative score would print a '-' where a digit belongs: the counter shows 0 and up.
void CStagePoint::SetNumber(int nNumber)
{
    CNumberBase::SetNumber(nNumber < 0 ? 0 : nNumber);
    for (int i = 0; i < STAGEPOINT_DIGITS; i++)
        m_Rollers[i].SetFrame(DigitOf(m_szText[i]));
}

void CStagePoint::Add(int nPoints)
{
    char szOld[sizeof(m_szText)];
    memcpy(szOld, m_szText, sizeof(szOld));
    CNumberBase::SetNumber(Saturate((long long)m_nNumber + nPoints));
    for (int i = 0; i < STAGEPOINT_DIGITS; i++) {
        if (m_szText[i] != szOld[i])
            m_Rollers[i].SlideTo(DigitOf(m_szText[i]), 0);
    }
}

void CStagePoint::Reset()
{
    for (CSlideSurfBase& roller : m_Rollers)
        roller.SetFrame(0);
    CNumberBase::SetNumber(0);
    m_bHidden = 0;
}

// A roller keeps its speed after it has arrived (it is set back onto its digit each pass), so an
// arrived roller is put to rest on its digit: the counter can then tell that the roll has ended.
void CStagePoint::MoveRollers()
{
    for (CSlideSurfBase& roller : m_Rollers) {
        roller.Move();
        if (roller.GetSpeed() != 0.0f && !(roller.GetRemaining() > 0.0f))
            roller.SetFrame(roller.GetFrame());
    }
}

void CStagePoint::Update()
{
    if (!m_bHidden)
        MoveRollers();
}

int CStagePoint::IsFinished() const
{
    for (const CSlideSurfBase& roller : m_Rollers) {
        const float v = roller.GetSpeed();
        if (v > 0.01f || v < -0.01f)
            return 0;
    }
    return 1;
}

BOOL CStagePoint::DrawDigit(IDirectDrawSurface7* lpSurface, IDirectDrawSurface7* lpStrip, int i, float x)
{
    // The rollers blit unclipped: a digit off the screen is left out.
    if (x < 0.0f || (int)x + m_nDigitWidth > 640 || m_fY < 0.0f || (int)m_fY + m_nDigitHeight > 480)
        return 1;
    return m_Rollers[i].Draw(lpSurface, lpStrip, x, m_fY);
}

BOOL CStagePoint::DrawYen(IDirectDrawSurface7* lpSurface, float x)
{
    if (!m_bYenShown)
        return 1;
    return BltKeyedCell(lpSurface, m_Yen.GetSurface(), nullptr, (int)x, (int)m_fY);
}

BOOL CStagePoint::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden || !m_lpStrip)
        return 1;
    BOOL bOk = DrawYen(lpSurface, m_fX - kYenGap);
    float x = m_fX + (float)m_nYenWidth;
    for (int i = 0; i < STAGEPOINT_DIGITS; i++, x += (float)m_nDigitWidth)
        bOk &= DrawDigit(lpSurface, m_lpStrip, i, x);
    return bOk;
}

// ---- CStagePointEx --------------------------------------------------------------------------------

CStagePointEx::~CStagePointEx()
{
    CStagePointEx::Release();
}

void CStagePointEx::Release()
{
    m_Comma.Release();
    SafeRelease(m_lpWhite);
    CStagePoint::Release();
}

BOOL CStagePointEx::Load(IDirect3DDevice7* lpDevice)
{
    if (!CStagePoint::Load(lpDevice))
        return 0;
    if (!m_Comma.LoadFromIndex(lpDevice, IMGKEY{STAGEPOINT_INDEX, "comma.bmp"}, nullptr, MEM_VIDEO))
        return 0;
    m_Comma.SetColorKeyGreen();
    int h = 0;
    m_Comma.GetSize(&m_nCommaWidth, &h);
    SafeRelease(m_lpWhite);
    IDirectDrawSurface7* lpSource = LoadIndexSurface(lpDevice, IMGKEY{STAGEPOINT_INDEX, "ScoreNumbersWhite.bmp"}, MEM_SYSTEM);
    m_lpWhite = BuildDigitStrip(lpDevice, lpSource, m_nDigitWidth, m_nDigitHeight);
    SafeRelease(lpSource);
    m_bFinished = 1;
    return m_lpWhite ? 1 : 0;
}

int CStagePointEx::GetFullWidth() const
{
    return m_nYenWidth + STAGEPOINT_DIGITS * m_nDigitWidth + 3 * m_nCommaWidth;
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
    if (m_bHidden)
        return;
    MoveRollers();
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_bFlashPending && IsFinished()) {
        m_bWhite = 1;
        m_dwFlashStart = dwNow;
        m_bFinished = 0;
        m_bFlashPending = 0;
    } else if (m_nPending != -1) {
        SetNumber(m_nPending);
        m_nPending = -1;
    }
    if (!m_bFinished && dwNow - m_dwFlashStart > FLASH_MS) {
        m_bFinished = 1;
        m_bWhite = 0;
    }
}

// Commas stand before each group of three digits counted from the right; leading zeros and the
// commas among them are left blank, and the Yen sign moves right to the first digit shown.
BOOL CStagePointEx::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden || !m_lpStrip)
        return 1;
    IDirectDrawSurface7* lpStrip = (m_bWhite && m_lpWhite) ? m_lpWhite : m_lpStrip;
    float x = m_fX - kYenGap + (float)m_nYenWidth + kYenGap;
    float fShift = 0.0f;
    int bDrawn = 0;
    BOOL bOk = 1;
    for (int i = 0; i < STAGEPOINT_DIGITS; i++) {
        if (i > 0 && (STAGEPOINT_DIGITS - i) % 3 == 0) {
            if (bDrawn)
                bOk &= BltKeyedCell(lpSurface, m_Comma.GetSurface(), nullptr, (int)x, (int)m_fY);
            else
                fShift += (float)m_nCommaWidth;
            x += (float)m_nCommaWidth;
        }
        const bool bBlank = !m_bZerosShown && !bDrawn && m_Rollers[i].GetFrame() == 0 && i != STAGEPOINT_DIGITS - 1;
        if (bBlank) {
            fShift += (float)m_nDigitWidth;
        } else {
            bOk &= DrawDigit(lpSurface, lpStrip, i, x);
            bDrawn = 1;
        }
        x += (float)m_nDigitWidth;
    }
    bOk &= DrawYen(lpSurface, m_fX - kYenGap + fShift);
    return bOk;
}
