#include "scene/BriskoBar.h"

#include <cmath>

#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "scene/SceneTime.h"

int CBriskoBar::Load(IDirect3DDevice7* lpDevice)
{
    if (!m_Picture.LoadFromFile(lpDevice, BRISKO_BAR_PICTURE, nullptr, MEM_VIDEO)) {
        return 0;
    }
    m_Picture.GetSize(&m_nWidth, &m_nHeight);
    m_Picture.SetColorKeyGreen();
    return 1;
}

void CBriskoBar::Release()
{
    m_Picture.Release();
    m_nWidth = m_nHeight = 0;
}

void CBriskoBar::Reset()
{
    m_nState = STATE_FALLING;
    m_bHidden = 1;
    m_fX = (float)m_nWidth / 2.0f + kRestX;
    m_fY = kStartY;
    m_fZ = 0.0f;
    m_fScaleX = m_fScaleY = m_fScaleZ = 1.0f;
}

void CBriskoBar::Start()
{
    Reset();
    m_fFallSpeed = 30.0f;
    m_fFallAccel = 0.0f;
    m_fFlattenSpeed = -0.05f;
    m_fFlattenConst = 0.07f;
    m_bHidden = 0;
}

void CBriskoBar::GoToRest()
{
    m_fX = (float)m_nWidth / 2.0f + kRestX;
    m_fY = (float)m_nHeight + kRestY;
}

void CBriskoBar::Update()
{
    if (m_bHidden) {
        return;
    }
    switch (m_nState) {
    case STATE_FALLING:
        m_fY += m_fFallSpeed;
        m_fFallSpeed += m_fFallAccel;
        if (m_fY >= kLandY) {
            m_nState = STATE_FLATTENING;
        }
        break;
    case STATE_FLATTENING:
        // Squashed flat and springing back: the picture keeps its area.
        m_fScaleY += m_fFlattenSpeed;
        m_fScaleX = 1.0f / m_fScaleY;
        m_fFlattenSpeed += 2.0f * m_fFlattenConst * m_fFlattenConst;
        if (m_fScaleY > 1.0f) {
            m_fScaleX = m_fScaleY = 1.0f;
            GoToRest();
            m_dwHoldStart = SceneNow();
            m_nState = STATE_HOLDING;
        }
        break;
    case STATE_HOLDING:
        if (HasPassed(m_dwHoldStart, m_dwHoldTime)) {
            GoToRest();
            m_nState = STATE_DONE;
            PlaySoundFile(BRISKO_BAR_SOUND);
        }
        break;
    default:
        break;
    }
}

// A part cut off at the screen's edge is cut from the picture in proportion to the scale, so the
// part that shows is not squeezed.
bool CBriskoBar::GetDrawRects(RECT* prcSrc, RECT* prcDest) const
{
    if (m_nWidth <= 0 || m_nHeight <= 0 || m_fScaleX <= 0.0f || m_fScaleY <= 0.0f) {
        return false;
    }
    const float fW = (float)m_nWidth * m_fScaleX;
    const float fH = (float)m_nHeight * m_fScaleY;
    const float fLeft = m_fX - fW * 0.5f;
    const float fTop = m_fY - fH;
    float fSrc[4] = {0.0f, 0.0f, (float)m_nWidth, (float)m_nHeight};
    float fDst[4] = {fLeft, fTop, fLeft + fW, fTop + fH};
    const float fLimit[4] = {0.0f, 0.0f, (float)SCREEN_WIDTH, (float)SCREEN_HEIGHT};
    const float fScale[2] = {m_fScaleX, m_fScaleY};
    for (int i = 0; i < 2; i++) {
        if (fDst[i] < fLimit[i]) {
            fSrc[i] += (fLimit[i] - fDst[i]) / fScale[i];
            fDst[i] = fLimit[i];
        }
        if (fDst[i + 2] > fLimit[i + 2]) {
            fSrc[i + 2] -= (fDst[i + 2] - fLimit[i + 2]) / fScale[i];
            fDst[i + 2] = fLimit[i + 2];
        }
    }
    *prcDest = RECT{(LONG)std::lround(fDst[0]), (LONG)std::lround(fDst[1]), (LONG)std::lround(fDst[2]),
                    (LONG)std::lround(fDst[3])};
    *prcSrc = RECT{(LONG)std::lround(fSrc[0]), (LONG)std::lround(fSrc[1]), (LONG)std::lround(fSrc[2]),
                   (LONG)std::lround(fSrc[3])};
    return prcDest->left < prcDest->right && prcDest->top < prcDest->bottom && prcSrc->left < prcSrc->right &&
           prcSrc->top < prcSrc->bottom;
}

void CBriskoBar::Draw(IDirectDrawSurface7* lpDest)
{
    RECT rcSrc, rcDest;
    if (m_bHidden || !lpDest || !m_Picture.GetSurface() || !GetDrawRects(&rcSrc, &rcDest)) {
        return;
    }
    lpDest->Blt(&rcDest, m_Picture.GetSurface(), &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}
