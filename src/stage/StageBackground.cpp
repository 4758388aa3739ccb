// The far background (layer 0: pictures scrolled in from the right) and the vertical camera.
#include "stage/Stage.h"

namespace {

const int kScreenW = 640;
const int kScreenH = 480;
const float kCameraScale = 0.13333334f;
const float kCameraLimit = 16.0f;

// Trims a blit to the screen, the source by the same amounts; false when nothing is left.
bool ClipBlit(FARBLIT& blit)
{
    RECT& d = blit.rcDst;
    RECT& s = blit.rcSrc;
    if (d.left < 0) {
        s.left -= d.left;
        d.left = 0;
    }
    // Nothing left of the picture's own edge is read.
    if (s.left < 0) {
        d.left -= s.left;
        s.left = 0;
    }
    if (d.top < 0) {
        s.top -= d.top;
        d.top = 0;
    }
    if (d.right > kScreenW) {
        s.right -= d.right - kScreenW;
        d.right = kScreenW;
    }
    if (d.bottom > kScreenH) {
        s.bottom -= d.bottom - kScreenH;
        d.bottom = kScreenH;
    }
    return d.right > d.left && d.bottom > d.top && s.right > s.left && s.bottom > s.top;
}

// The vertical band of a record's picture centred on yc; the whole screen without a record.
void Band(const BG0RECORD* pRecord, int yc, int* pnHeight, LONG* pnTop, LONG* pnBottom)
{
    if (!pRecord) {
        *pnHeight = kScreenH;
        *pnTop = 0;
        *pnBottom = kScreenH;
        return;
    }
    *pnHeight = pRecord->nHeight;
    *pnTop = yc - pRecord->nHeight / 2;
    *pnBottom = yc + pRecord->nHeight / 2;
}

} // namespace

void CStage::UpdateCamera()
{
    D3DVECTOR vPos;
    m_Player.GetPosition(&vPos);
    for (int i = 0; i < BG_NUM; i++) {
        float fOffset = -(m_StageData.m_vRatio[i].y * (vPos.y - 240.0f) * kCameraScale);
        if (fOffset < -kCameraLimit)
            fOffset = -kCameraLimit;
        if (fOffset > kCameraLimit)
            fOffset = kCameraLimit;
        m_fOffsetY[i] = fOffset;
    }
}

int CStage::RecordUsable(const BG0RECORD* pRecord) const
{
    return pRecord && pRecord->lpSurface;
}

void CStage::UpdateFarBackground()
{
    const float s = GetStep(0);
    if (s > -0.01f && s < 0.01f) {
        m_pBgCur = m_StageData.FindBG0(m_nScreen);
        return;
    }
    m_fBgRemain -= s;
    if (!(m_fBgRemain < 0.0f))
        return;
    // The current picture has fully entered: the last picture enters again behind it.
    if (RecordUsable(m_pBgCur)) {
        m_pBgPrev = m_pBgCur;
        m_fBgGap = 0.0f;
    } else {
        m_fBgGap = m_fBgNextGap;
    }
    m_pBgCur = m_pBgPrev;
    const float fNextGap = (float)(kScreenW - TruncDistance(m_fLayerPos[STAGE_MAIN_LAYER]) % kScreenW);
    m_fBgRemain = RecordUsable(m_pBgCur) ? (float)m_pBgCur->nWidth : fNextGap;
    m_fBgNextGap = fNextGap;
}

int CStage::GetFarBackgroundBlits(float fOffsetY, FARBLIT pOut[2]) const
{
    const int yc = (int)fOffsetY + 240;
    int nCount = 0;
    int h = 0;
    LONG top = 0;
    LONG bottom = 0;
    Band(m_pBgCur, yc, &h, &top, &bottom);

    const bool bPicture = RecordUsable(m_pBgCur);
    float w = bPicture ? (float)m_pBgCur->nWidth : m_fBgNextGap;
    w -= m_fBgRemain;
    int nVisible = (int)w;
    if (bPicture) {
        FARBLIT blit{m_pBgCur->lpSurface, RECT{0, 0, (LONG)w, h}, RECT{}};
        if (w > 640.0f)
            blit.rcSrc = RECT{(LONG)(w - 640.0f), 0, (LONG)w, h};
        nVisible = blit.rcSrc.right - blit.rcSrc.left;
        blit.rcDst = RECT{kScreenW - nVisible, top, kScreenW, bottom};
        if (ClipBlit(blit))
            pOut[nCount++] = blit;
        if (w > 640.0f)
            return nCount;
    }

    // The tail of the previous picture, left of the entering one and the gap. A previous record
    // without a picture shows nothing.
    if (!RecordUsable(m_pBgPrev))
        return nCount;
    Band(m_pBgPrev, yc, &h, &top, &bottom);
    const LONG nWidth = (LONG)(640.0f - (float)nVisible - m_fBgGap);
    const LONG nPicture = m_pBgPrev->nWidth;
    FARBLIT blit{m_pBgPrev->lpSurface, RECT{nPicture - nWidth, 0, nPicture, h}, RECT{0, top, nWidth, bottom}};
    if (ClipBlit(blit))
        pOut[nCount++] = blit;
    return nCount;
}

int CStage::DrawFarBackground(IDirectDrawSurface7* lpSurface, float fOffsetY)
{
    FARBLIT blits[2];
    const int nCount = GetFarBackgroundBlits(fOffsetY, blits);
    for (int i = 0; i < nCount; i++)
        lpSurface->Blt(&blits[i].rcDst, blits[i].lpSurface, &blits[i].rcSrc, DDBLT_WAIT, nullptr);
    return 1;
}

void CStage::SetBg0Record(BG0RECORD* pRecord)
{
    m_pBgPrev = pRecord;
    m_pBgCur = pRecord;
}
