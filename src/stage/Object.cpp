#include "stage/Object.h"

#include <cstdio>
#include <cstring>

#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/Log.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "engine/WinMain.h"
#include "platform/d3d/D3DX.h"
#include "rvm/rvm_stl.h"

namespace {

const DWORD kExclusiveMasks[] = {0x3, 0x1FE, 0x38, 0x1C0, 0x600, 0x205, 0x405, 0x1800, 0x3E000, 0x3D, 0x1C5, 0x602};

struct ATTRTEXT {
    DWORD dwBit;
    const char* pszText;
};

// In bit order; DAMAGE has no text. The placeholders are turned into the stage-file words after.
const ATTRTEXT kAttrTexts[] = {
    {OBJATTR_TOUCH, "TOUCH, "},       {OBJATTR_NOTOUCH, "NOTOUCH, "},     {OBJATTR_RIDEON, "RIDEON, "},
    {OBJATTR_RUNUP1, "RUNUP_L, "},    {OBJATTR_RUNUP2, "RUNUP_M, "},      {OBJATTR_RUNUP3, "RUNUP_H, "},
    {OBJATTR_RUNDOWN1, "RUNDOWN_L, "}, {OBJATTR_RUNDOWN2, "RUNDOWN_M, "}, {OBJATTR_RUNDOWN3, "RUNDOWN_H, "},
    {OBJATTR_MOVEUP, "MOVEUP, "},     {OBJATTR_MOVEDOWN, "MOVEDOWN, "},   {OBJATTR_ADDBLT, "ADDBLT, "},
    {OBJATTR_50BLT, "50BLT, "},       {OBJATTR_CRUSH16, "CRUSH16, "},     {OBJATTR_CRUSH32, "CRUSH32, "},
    {OBJATTR_CRUSH48, "CRUSH48, "},   {OBJATTR_CRUSH64, "CRUSH64, "},     {OBJATTR_CRUSH00, "CRUSH00, "},
    {OBJATTR_NOTRANCE, "NOTRANCE, "},
};

int CountBitsOf(DWORD dw)
{
    int n = 0;
    for (; dw; dw &= dw - 1)
        n++;
    return n;
}

void ReplaceFirst(rvm::string& s, const char* pszFrom, const char* pszTo)
{
    size_t nPos = s.find(pszFrom);
    if (nPos != rvm::string::npos)
        s.replace(nPos, strlen(pszFrom), pszTo);
}

BOOL IsEmptyRect(const RECT& rc)
{
    return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0;
}

void ReleaseSurface(IDirectDrawSurface7*& lp)
{
    if (lp) {
        lp->Release();
        lp = nullptr;
    }
}

// Registers the region (zero-based) in the index named after the picture file; the key under which
// the region can be loaded, empty when the sheet does not load.
rvm::string RegisterRegion(IDirect3DDevice7* lpDevice, const char* pszFolder, const rvm::string& strFile, RECT rc,
                           int nBmpWidth, int nBmpHeight)
{
    if (IsEmptyRect(rc))
        rc = RECT{0, 0, nBmpWidth, nBmpHeight};
    char szRect[64];
    snprintf(szRect, sizeof(szRect), "=%d:%d:%d:%d", (int)rc.left, (int)rc.top, (int)rc.right, (int)rc.bottom);
    CBmpIndexSet& set = CBmpIndexSet::GetInstance();
    CBmpIndex* pIndex = set.Find(strFile.c_str());
    if (!pIndex) {
        pIndex = new CBmpIndex;
        if (!pIndex->LoadImage(lpDevice, pszFolder, strFile.c_str())) {
            delete pIndex;
            return rvm::string();
        }
        set.Register(strFile, pIndex);
    }
    rvm::string strKey = strFile + szRect;
    pIndex->AddRegion(strKey.c_str(), rc);
    return strKey;
}

} // namespace

int BltStagePicture(IDirectDrawSurface7* lpTarget, IDirectDrawSurface7* lpSrc, int x, int y, int w, int h)
{
    if (!lpTarget || !lpSrc)
        return 1;
    RECT rcSrc, rcDest;
    GetClippedBltRects(x, y, w, h, &rcSrc, &rcDest);
    if (rcSrc.left >= rcSrc.right || rcSrc.top >= rcSrc.bottom)
        return 1;
    return SUCCEEDED(lpTarget->Blt(&rcDest, lpSrc, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
}

RECT AdjustObjectRegion(const RECT& rcRegion)
{
    if (IsEmptyRect(rcRegion))
        return rcRegion;
    return RECT{rcRegion.left - 1, rcRegion.top - 1, rcRegion.right, rcRegion.bottom};
}

BOOL IsValidObjectRegion(int l, int t, int r, int b)
{
    return l >= 1 && l <= r && t >= 1 && t <= b;
}

CObject::CObject(const char* pszName)
{
    if (!pszName || !pszName[0]) {
        RaiseRuntimeAssert("name && name[0] != 0", __FILE__, __LINE__);
        return;
    }
    m_szName[0] = pszName[0];
    m_szName[1] = pszName[1];
}

CObject::~CObject()
{
    ClearAnimation();
}

int CObject::UpdateAnimation()
{
    if (!m_pAnim)
        return 0;
    DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwFrameClock <= m_pAnim->dwTime)
        return 0;
    m_pAnim = m_pAnim->next ? m_pAnim->next : m_pFirstAnim;
    m_dwFrameClock = dwNow;
    return 1;
}

IDirectDrawSurface7* CObject::Create(IDirect3DDevice7* lpDevice, const char* pszFolder, const char* pszFile)
{
    rvm::string strFile = pszFile ? pszFile : "";
    rvm::string strPath = rvm::string(pszFolder ? pszFolder : "") + strFile;
    int nBmpWidth = -1, nBmpHeight = -1;
    GetBitmapFileSize(strPath.c_str(), &nBmpWidth, &nBmpHeight);
    if (nBmpWidth <= 0 || nBmpHeight <= 0)
        return nullptr;
    RECT rc = AdjustObjectRegion(m_rcRegion);
    if (!IsBlend()) {
        int w = IsEmptyRect(rc) ? nBmpWidth : rc.right - rc.left;
        int h = IsEmptyRect(rc) ? nBmpHeight : rc.bottom - rc.top;
        if (w > g_nMaxPlaneWidth || h > g_nMaxPlaneHeight)
            return nullptr;
        rvm::string strKey = RegisterRegion(lpDevice, pszFolder, strFile, rc, nBmpWidth, nBmpHeight);
        if (strKey.empty())
            return nullptr;
        return LoadIndexSurface(lpDevice, IMGKEY{strFile.c_str(), strKey.c_str()}, MEM_VIDEO);
    }
    rvm::string strKey = RegisterRegion(lpDevice, pszFolder, strFile, RECT{0, 0, 0, 0}, nBmpWidth, nBmpHeight);
    if (strKey.empty())
        return nullptr;
    IDirectDrawSurface7* lpSurface = LoadIndexSurface(lpDevice, IMGKEY{strFile.c_str(), strKey.c_str()}, MEM_SYSTEM);
    if (!lpSurface)
        return nullptr;
    ScaleSurfaceBrightness(lpSurface, (m_dwAttribute & OBJATTR_ADDBLT) ? 1.0f : 0.5f);
    IDirectDrawSurface7* lpTexture =
        CreateTextureFromSurface(lpDevice, lpSurface, IsEmptyRect(rc) ? nullptr : &rc, 1);
    lpSurface->Release();
    return lpTexture;
}

DWORD CObject::SetAttribute(DWORD dwAttr)
{
    m_dwAttribute = dwAttr;
    return m_dwAttribute;
}

DWORD CObject::GetAttribute()
{
    if (IsAnimate())
        return m_pAnim->obj->GetAttribute();
    return m_dwAttribute;
}

const char* CObject::AttributeToText()
{
    static rvm::string s_strText;
    s_strText.clear();
    for (const ATTRTEXT& t : kAttrTexts) {
        if (m_dwAttribute & t.dwBit)
            s_strText += t.pszText;
    }
    ReplaceFirst(s_strText, "_L", "1");
    ReplaceFirst(s_strText, "_M", "2");
    ReplaceFirst(s_strText, "_H", "3");
    ReplaceFirst(s_strText, "50BLT", "50%BLT");
    return s_strText.c_str();
}

void CObject::SetImageFile(const char* pszFile)
{
    if (IsAnimate())
        RaiseRuntimeAssert("!IsAnimate()", __FILE__, __LINE__);
    m_strImageFile = pszFile ? pszFile : "";
}

const char* CObject::GetImageFile()
{
    return m_strImageFile.c_str();
}

void CObject::SetRect(const RECT* prc)
{
    if (prc)
        m_rcRegion = *prc;
}

const char* CObject::GetRectKey()
{
    static char s_szKey[64];
    s_szKey[0] = 0;
    if (!IsEmptyRect(m_rcRegion)) {
        snprintf(s_szKey, sizeof(s_szKey), "=%d:%d:%d:%d", (int)m_rcRegion.left, (int)m_rcRegion.top,
                 (int)m_rcRegion.right, (int)m_rcRegion.bottom);
    }
    return s_szKey;
}

const char* CObject::GetName()
{
    return m_szName;
}

int CObject::GetCrushLife()
{
    return m_nCrushLife;
}

void CObject::GetSize(int* pnWidth, int* pnHeight)
{
    if (IsAnimate()) {
        m_pAnim->obj->GetSize(pnWidth, pnHeight);
        return;
    }
    if (pnWidth)
        *pnWidth = m_nWidth;
    if (pnHeight)
        *pnHeight = m_nHeight;
}

void CObject::AddAnimFrame(CObject* pObj, DWORD dwTime)
{
    ANIMFRAME* pFrame = new ANIMFRAME;
    pFrame->obj = pObj;
    pFrame->dwTime = dwTime;
    if (m_pAnim) {
        m_pAnim->next = pFrame;
    } else {
        m_pFirstAnim = pFrame;
    }
    m_pAnim = pFrame;
}

BOOL CObject::IsAnimate()
{
    if (!m_pAnim)
        return 0;
    if (!m_pAnim->obj) {
        RaiseRuntimeAssert("m_pAnim->obj", __FILE__, __LINE__);
        return 0;
    }
    return 1;
}

BOOL CObject::IsBlend()
{
    return (m_dwAttribute & OBJATTR_BLEND) != 0;
}

DWORD CObject::GetCrushBits()
{
    return m_dwAttribute & OBJATTR_CRUSH;
}

void CObject::AddNoTouch()
{
    m_dwAttribute |= OBJATTR_NOTOUCH;
    if (!CheckAttribute())
        m_dwAttribute &= ~OBJATTR_NOTOUCH;
}

BOOL CObject::CheckAttribute()
{
    if (IsAnimate())
        return 1;
    for (DWORD dwMask : kExclusiveMasks) {
        if (CountBitsOf(m_dwAttribute & dwMask) >= 2)
            return 0;
    }
    return 1;
}

int CObject::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    if (IsAnimate())
        return 1;
    ClearAnimation();
    m_lpPicture = Create(lpDevice, pszFolder, m_strImageFile.c_str());
    if (m_lpPicture) {
        SetColorKeyGreen(m_lpPicture);
        GetSurfaceSize(m_lpPicture, &m_nWidth, &m_nHeight);
        if (GetCrushBits())
            m_lpFlash = CreateBlendedCopy(lpDevice, m_lpPicture);
    } else if (!IsBlend()) {
        rvm::string strPath = rvm::string(pszFolder ? pszFolder : "") + m_strImageFile;
        RECT rc = AdjustObjectRegion(m_rcRegion);
        const RECT* prc = IsEmptyRect(rc) ? nullptr : &rc;
        if (m_BigPicture.LoadFromFile(lpDevice, strPath.c_str(), prc, MEM_VIDEO)) {
            m_BigPicture.SetColorKeyGreen();
            m_BigPicture.GetSize(&m_nWidth, &m_nHeight);
            m_bBigImage = 1;
            if (GetCrushBits())
                m_BigFlash.LoadBlendedFromFile(lpDevice, strPath.c_str(), prc, MEM_VIDEO);
        }
    }
    if (IsBlend() && m_lpPicture) {
        // A texture is a power of two on each side; the picture is the region (or file) size.
        RECT rc = AdjustObjectRegion(m_rcRegion);
        if (IsEmptyRect(rc)) {
            rvm::string strPath = rvm::string(pszFolder ? pszFolder : "") + m_strImageFile;
            GetBitmapFileSize(strPath.c_str(), &m_nWidth, &m_nHeight);
        } else {
            m_nWidth = rc.right - rc.left;
            m_nHeight = rc.bottom - rc.top;
        }
    }
    // The picture-sized quad with its top-left corner at the origin; u and v cover the picture
    // part of the power-of-two texture.
    MakeQuadVertices((float)m_nWidth, (float)m_nHeight, m_Vertices);
    for (D3DLVERTEX& v : m_Vertices) {
        v.x += (float)m_nWidth / 2.0f;
        v.y -= (float)m_nHeight / 2.0f;
        v.specular = 1;
    }
    m_nBlendBlt = (m_dwAttribute & OBJATTR_ADDBLT) ? 1 : (m_dwAttribute & OBJATTR_50BLT) ? 2 : 0;
    if (m_dwAttribute & OBJATTR_CRUSH16)
        m_nCrushLife = 16;
    else if (m_dwAttribute & OBJATTR_CRUSH32)
        m_nCrushLife = 32;
    else if (m_dwAttribute & OBJATTR_CRUSH48)
        m_nCrushLife = 48;
    else if (m_dwAttribute & OBJATTR_CRUSH64)
        m_nCrushLife = 64;
    else if (m_dwAttribute & OBJATTR_CRUSH00)
        m_nCrushLife = 0x7FFFFFFF;
    return 1;
}

void CObject::ClearAnimation()
{
    delete m_pFirstAnim;
    m_pFirstAnim = nullptr;
    m_pAnim = nullptr;
    m_dwFrameClock = 0;
    ReleaseSurface(m_lpPicture);
    ReleaseSurface(m_lpFlash);
}

void CObject::StartAnimationClock()
{
    if (m_dwFrameClock == 0)
        m_dwFrameClock = CAppTimer::GetElapsed(0);
}

void CObject::Advance(float fSpeed, float* pfCoord)
{
    if (IsAnimate()) {
        m_pAnim->obj->Advance(fSpeed, pfCoord);
        UpdateAnimation();
        return;
    }
    if (pfCoord)
        *pfCoord -= fSpeed;
}

int CObject::DrawPicture2D(IDirectDrawSurface7* lpTarget, const D3DVECTOR* pPos, BOOL bFlash)
{
    const int x = (int)pPos->x;
    const int y = (int)(pPos->y - 16.0f);
    if (x + m_nWidth < 0 || x >= 640 || y + m_nHeight < 0 || y >= 480)
        return 1;
    if (m_bBigImage) {
        CBigSurface& big = bFlash ? m_BigFlash : m_BigPicture;
        return big.Draw(lpTarget, x, y, 0, DDBLT_WAIT, 0);
    }
    return BltStagePicture(lpTarget, bFlash ? m_lpFlash : m_lpPicture, x, y, m_nWidth, m_nHeight);
}

int CObject::Draw2D(IDirectDrawSurface7* lpTarget, const D3DVECTOR* pPos)
{
    if (IsAnimate())
        return m_pAnim->obj->Draw2D(lpTarget, pPos);
    if (IsBlend())
        return 1;
    return DrawPicture2D(lpTarget, pPos, 0);
}

int CObject::DrawFlash2D(IDirectDrawSurface7* lpTarget, const D3DVECTOR* pPos)
{
    if (IsAnimate())
        return m_pAnim->obj->DrawFlash2D(lpTarget, pPos);
    return DrawPicture2D(lpTarget, pPos, 1);
}

int CObject::Draw3D(IDirect3DDevice7* lpDevice, const D3DVECTOR* pPos)
{
    if (IsAnimate())
        return m_pAnim->obj->Draw3D(lpDevice, pPos);
    if (!IsBlend())
        return 1;
    if (!lpDevice || !m_lpPicture)
        return 1;
    CRenderState::Apply(lpDevice, 2);
    D3DMATRIX mWorld;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    D3DXMATRIX mMove, mCombined;
    D3DXMatrixTranslation(&mMove, (float)(int)pPos->x, 16.0f - (float)(int)pPos->y, 0.0f);
    D3DXMatrixMultiply(&mCombined, &mMove, &mWorld);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mCombined);
    lpDevice->SetTexture(0, m_lpPicture);
    HRESULT hr = lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, m_Vertices, 4, 0);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    return FAILED(hr) ? 0 : 1;
}
