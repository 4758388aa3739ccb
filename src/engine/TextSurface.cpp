#include "engine/TextSurface.h"

#include <cmath>
#include <cstring>

#include "engine/TextSprite.h"
#include "engine/WidgetDraw.h"

namespace {

// The shadowed text: advance, shadow and front font heights, chunk, and the two colours.
constexpr int kShadowAdvance = 15;
constexpr int kShadowFontHeight = 34;
constexpr int kFrontFontHeight = 30;
constexpr int kShadowChunk = 2;
constexpr COLORREF kTextColor = 0xFFFFFF;
constexpr COLORREF kShadowColor = 0x3F3F3F;

BOOL DrawImageAt(IDirectDrawSurface7* lpDest, const CDSurface& image, int x, int y)
{
    int w, h;
    image.GetSize(&w, &h);
    RECT rcSrc, rcDest;
    GetClippedBltRects(x - w / 2, y - h / 2, w, h, &rcSrc, &rcDest);
    return BltOk(lpDest, &rcDest, image.GetSurface(), &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

} // namespace

CTextSurface::CTextSurface()
{
    std::memset(&m_Speed, 0, sizeof(m_Speed));
}

CTextSurface::~CTextSurface()
{
    Release();
}

void CTextSurface::SetStartPos(float x, float y, float z)
{
    m_fStartX = x;
    m_fStartY = y;
    m_fStartZ = z;
}

BOOL CTextSurface::Create(IDirect3DDevice7* lpDevice, const char* pszText, int nKind)
{
    if (!pszText) {
        return 0;
    }
    m_strText = pszText;
    const int nLength = (int)m_strText.size();
    if (nKind) {
        IDirectDrawSurface7* lpText = CreateOutlinedTextSurface(lpDevice, pszText, nLength);
        return lpText ? SetSurfaces(lpDevice, lpText, nullptr) : 0;
    }
    IDirectDrawSurface7* lpText = CreateShadowTextSurface(lpDevice, pszText, nLength, kShadowAdvance,
                                                          kShadowFontHeight, kFrontFontHeight, kTextColor, kShadowChunk);
    IDirectDrawSurface7* lpShadow = CreateShadowTextSurface(
        lpDevice, pszText, nLength, kShadowAdvance, kShadowFontHeight, kFrontFontHeight, kShadowColor, kShadowChunk);
    if (!lpText || !lpShadow) {
        SafeRelease(lpText);
        SafeRelease(lpShadow);
        return 0;
    }
    return SetSurfaces(lpDevice, lpText, lpShadow);
}

BOOL CTextSurface::SetSurfaces(IDirect3DDevice7*, IDirectDrawSurface7* lpText, IDirectDrawSurface7* lpShadow)
{
    IDirectDrawSurface7* lpSurfaces[2] = {lpText, lpShadow};
    for (int i = 0; i < 2; i++) {
        if (lpSurfaces[i]) {
            m_Image[i].Attach(lpSurfaces[i]);
            m_Image[i].SetColorKeyGreen();
        }
    }
    return 1;
}

void CTextSurface::Release()
{
    Stop();
    m_Image[0].Release();
    m_Image[1].Release();
}

void CTextSurface::Start()
{
    Stop();
    m_fX = m_fStartX;
    m_fY = m_fStartY;
    m_fZ = m_fStartZ;
    m_Speed.Restart();
    m_nCount = 0;
    m_bStopped = 0;
    CShowableSet::Register(this, 0);
}

void CTextSurface::Stop()
{
    m_bStopped = 1;
    CShowableSet::Unregister(this, 0);
}

void CTextSurface::Update()
{
    if (m_bStopped) {
        return;
    }
    m_fX += std::cos(m_fAngle) * m_Speed.fValue;
    m_fY += std::sin(m_fAngle) * m_Speed.fValue;
    m_Speed.Step();
    if (++m_nCount >= m_nLifetime) {
        Stop();
    }
}

BOOL CTextSurface::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bStopped) {
        return 1;
    }
    if (m_Image[1].GetSurface() && !DrawImageAt(lpSurface, m_Image[1], (int)m_fX + 1, (int)m_fY + 1)) {
        return 0;
    }
    return m_Image[0].GetSurface() ? DrawImageAt(lpSurface, m_Image[0], (int)m_fX, (int)m_fY) : 1;
}
