#include <cstring>

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DObjects.h"
#include "platform/ddraw/DDObjects.h"
#include "platform/host/Host.h"

// {15E65EC0-3B9C-11D2-B92F-00609797EA5B}
const GUID IID_IDirectDraw7 = {0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
// {06675A80-3B9B-11D2-B92F-00609797EA5B}
const GUID IID_IDirectDrawSurface7 = {0x06675A80, 0x3B9B, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};

namespace {

const char kDriverDescription[] = "Primary Display Driver";
const char kDriverName[] = "display";

// The capabilities of our one display device: a software blitter with stretching, colour fills,
// source keys and mirroring, and no 3D hardware.
void FillCaps(DDCAPS* pCaps)
{
    if (!pCaps) {
        return;
    }
    const DWORD dwSize = pCaps->dwSize ? pCaps->dwSize : (DWORD)sizeof(DDCAPS);
    std::memset(pCaps, 0, sizeof(DDCAPS));
    pCaps->dwSize = dwSize;
    pCaps->dwCaps = DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY | DDCAPS_BLTCOLORFILL | DDCAPS_CANCLIP |
                    DDCAPS_CANCLIPSTRETCHED | DDCAPS_CANBLTSYSMEM | DDCAPS_NOHARDWARE;
    pCaps->dwCKeyCaps = DDCKEYCAPS_SRCBLT;
    pCaps->dwFXCaps = DDFXCAPS_BLTMIRRORLEFTRIGHT | DDFXCAPS_BLTSTRETCHX | DDFXCAPS_BLTSTRETCHY;
    pCaps->dwZBufferBitDepths = DDBD_16;
    pCaps->dwVidMemTotal = kVideoMemoryBytes;
    pCaps->dwVidMemFree = kVideoMemoryBytes;
    pCaps->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE |
                            DDSCAPS_TEXTURE | DDSCAPS_ZBUFFER;
    pCaps->ddsOldCaps.dwCaps = pCaps->ddsCaps.dwCaps;
}

} // namespace

bool IsSameGUID(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

// ---- Clipper ------------------------------------------------------------------------------------
HRESULT CDDClipper::QueryInterface(REFIID, LPVOID* ppvObj)
{
    if (ppvObj) {
        *ppvObj = nullptr;
    }
    return DDERR_NOINTERFACE;
}

ULONG CDDClipper::AddRef()
{
    return ++m_nRef;
}

ULONG CDDClipper::Release()
{
    const ULONG n = --m_nRef;
    if (n == 0) {
        delete this;
    }
    return n;
}

HRESULT CDDClipper::SetHWnd(DWORD, HWND hWnd)
{
    m_hWnd = hWnd;
    return DD_OK;
}

HRESULT CDDClipper::GetHWnd(HWND* phWnd)
{
    if (!phWnd) {
        return DDERR_INVALIDPARAMS;
    }
    *phWnd = m_hWnd;
    return DD_OK;
}

// ---- DirectDraw object --------------------------------------------------------------------------
HRESULT CDirectDraw::QueryInterface(REFIID riid, LPVOID* ppvObj)
{
    if (!ppvObj) {
        return DDERR_INVALIDPARAMS;
    }
    *ppvObj = nullptr;
    if (IsSameGUID(riid, IID_IDirectDraw7)) {
        AddRef();
        *ppvObj = static_cast<IDirectDraw7*>(this);
        return DD_OK;
    }
    if (IsSameGUID(riid, IID_IDirect3D7)) {
        IDirect3D7* pD3D = CreateDirect3DObject(this);
        *ppvObj = pD3D;
        return pD3D ? DD_OK : DDERR_OUTOFMEMORY;
    }
    return DDERR_NOINTERFACE;
}

ULONG CDirectDraw::AddRef()
{
    return ++m_nRef;
}

ULONG CDirectDraw::Release()
{
    const ULONG n = --m_nRef;
    if (n == 0) {
        delete this;
    }
    return n;
}

HRESULT CDirectDraw::CreateClipper(DWORD, IDirectDrawClipper** lplpClipper, IUnknown* pOuter)
{
    if (!lplpClipper || pOuter) {
        return DDERR_INVALIDPARAMS;
    }
    *lplpClipper = new CDDClipper();
    return DD_OK;
}

HRESULT CDirectDraw::CreateSurface(DDSURFACEDESC2* lpDesc, IDirectDrawSurface7** lplpSurface, IUnknown* pOuter)
{
    if (!lplpSurface) {
        return DDERR_INVALIDPARAMS;
    }
    *lplpSurface = nullptr;
    if (!lpDesc || pOuter) {
        return DDERR_INVALIDPARAMS;
    }
    const bool bPrimary = (lpDesc->dwFlags & DDSD_CAPS) && (lpDesc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE);
    if (bPrimary && m_pPrimary.load()) {
        return DDERR_PRIMARYSURFACEALREADYEXISTS;
    }
    CDDSurface* pSurface = nullptr;
    const HRESULT hr = CDDSurface::Create(this, *lpDesc, &pSurface);
    if (FAILED(hr)) {
        return hr;
    }
    if (bPrimary) {
        CDDSurface* pExpected = nullptr;
        if (!m_pPrimary.compare_exchange_strong(pExpected, pSurface)) {
            pSurface->Release();
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
        }
    }
    *lplpSurface = pSurface;
    return DD_OK;
}

void CDirectDraw::ForgetPrimary(CDDSurface* pSurface)
{
    CDDSurface* pExpected = pSurface;
    m_pPrimary.compare_exchange_strong(pExpected, nullptr);
}

HRESULT CDirectDraw::DuplicateSurface(IDirectDrawSurface7* lpSrc, IDirectDrawSurface7** lplpDup)
{
    if (!lpSrc || !lplpDup) {
        return DDERR_INVALIDPARAMS;
    }
    *lplpDup = nullptr;
    CDDSurface* pSrc = CDDSurface::From(lpSrc);
    if (pSrc->IsPrimary()) {
        return DDERR_CANTDUPLICATE;
    }
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    pSrc->GetSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    IDirectDrawSurface7* pDup = nullptr;
    HRESULT hr = CreateSurface(&desc, &pDup, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    CDDSurface* pD = CDDSurface::From(pDup);
    pSrc->ResolveFill();
    for (int y = 0; y < pSrc->Height(); y++) {
        std::memcpy(pD->Bits() + (size_t)y * pD->Pitch(), pSrc->Bits() + (size_t)y * pSrc->Pitch(),
                    (size_t)pSrc->Width() * BytesPerPixel(pSrc->Kind()));
    }
    if (pSrc->HasSrcKey()) {
        DDCOLORKEY ck = pSrc->SrcKey();
        pD->SetColorKey(DDCKEY_SRCBLT, &ck);
    }
    *lplpDup = pDup;
    return DD_OK;
}

HRESULT CDirectDraw::FlipToGDISurface()
{
    return DD_OK;
}

HRESULT CDirectDraw::GetCaps(DDCAPS* lpDriverCaps, DDCAPS* lpHELCaps)
{
    if (!lpDriverCaps && !lpHELCaps) {
        return DDERR_INVALIDPARAMS;
    }
    FillCaps(lpDriverCaps);
    FillCaps(lpHELCaps);
    return DD_OK;
}

HRESULT CDirectDraw::GetDisplayMode(DDSURFACEDESC2* lpDesc)
{
    if (!lpDesc) {
        return DDERR_INVALIDPARAMS;
    }
    std::memset(lpDesc, 0, sizeof(*lpDesc));
    lpDesc->dwSize = sizeof(*lpDesc);
    lpDesc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    lpDesc->dwWidth = (DWORD)m_nModeWidth;
    lpDesc->dwHeight = (DWORD)m_nModeHeight;
    lpDesc->lPitch = m_nModeWidth * 2;
    lpDesc->dwRefreshRate = 60;
    lpDesc->ddpfPixelFormat = MakePixelFormat(PK_R5G6B5);
    return DD_OK;
}

HRESULT CDirectDraw::SetCooperativeLevel(HWND hWnd, DWORD dwFlags)
{
    const bool bFull = (dwFlags & DDSCL_FULLSCREEN) != 0;
    const bool bExclusive = (dwFlags & DDSCL_EXCLUSIVE) != 0;
    const bool bNormal = (dwFlags & DDSCL_NORMAL) != 0;
    if (bFull != bExclusive || (bNormal && bFull) || (!bNormal && !bFull)) {
        return DDERR_INVALIDPARAMS;
    }
    m_hWnd = hWnd;
    m_dwCoopFlags = dwFlags;
    // Exclusive mode owns the screen: the host's window goes full screen, and back with normal.
    if (IHost* pHost = GetHost()) {
        pHost->SetFullScreen(bFull);
    }
    return DD_OK;
}

HRESULT CDirectDraw::SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, DWORD, DWORD)
{
    if (!(m_dwCoopFlags & DDSCL_EXCLUSIVE)) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    if (dwBpp != 16 || dwWidth == 0 || dwHeight == 0 || dwWidth > 4096 || dwHeight > 4096) {
        return DDERR_INVALIDMODE;
    }
    m_nModeWidth = (int)dwWidth;
    m_nModeHeight = (int)dwHeight;
    return DD_OK;
}

HRESULT CDirectDraw::RestoreDisplayMode()
{
    return DD_OK;
}

HRESULT CDirectDraw::GetAvailableVidMem(DDSCAPS2*, DWORD* lpdwTotal, DWORD* lpdwFree)
{
    if (lpdwTotal) {
        *lpdwTotal = kVideoMemoryBytes;
    }
    if (lpdwFree) {
        *lpdwFree = kVideoMemoryBytes;
    }
    return DD_OK;
}

HRESULT CDirectDraw::TestCooperativeLevel()
{
    return DD_OK;
}

HRESULT CDirectDraw::GetDeviceIdentifier(DDDEVICEIDENTIFIER2* lpId, DWORD)
{
    if (!lpId) {
        return DDERR_INVALIDPARAMS;
    }
    std::memset(lpId, 0, sizeof(*lpId));
    std::strcpy(lpId->szDriver, kDriverName);
    std::strcpy(lpId->szDescription, kDriverDescription);
    lpId->liDriverVersion.HighPart = 0x00010000;  // 1.00.00.0000
    lpId->liDriverVersion.LowPart = 0;
    return DD_OK;
}

// ---- Entry points -------------------------------------------------------------------------------
HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA lpCallback, LPVOID lpContext, DWORD)
{
    if (!lpCallback) {
        return DDERR_INVALIDPARAMS;
    }
    char szDesc[sizeof(kDriverDescription)];
    char szName[sizeof(kDriverName)];
    std::memcpy(szDesc, kDriverDescription, sizeof(szDesc));
    std::memcpy(szName, kDriverName, sizeof(szName));
    lpCallback(nullptr, szDesc, szName, lpContext, nullptr);
    return DD_OK;
}

HRESULT DirectDrawCreateEx(GUID*, LPVOID* lplpDD, REFIID riid, IUnknown* pOuter)
{
    if (!lplpDD) {
        return DDERR_INVALIDPARAMS;
    }
    *lplpDD = nullptr;
    if (pOuter || !IsSameGUID(riid, IID_IDirectDraw7)) {
        return DDERR_INVALIDPARAMS;
    }
    *lplpDD = static_cast<IDirectDraw7*>(new CDirectDraw());
    return DD_OK;
}

DDSURFACEDC* DDGetSurfaceDC(HDC hDC)
{
    DDSURFACEDC* p = reinterpret_cast<DDSURFACEDC*>(hDC);
    return (p && p->dwMagic == DDSURFACEDC_MAGIC) ? p : nullptr;
}
