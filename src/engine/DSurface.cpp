#include "engine/DSurface.h"

#include "engine/Log.h"
#include "engine/MsgWin.h"
#include "rvm/rvm_stl.h"

rvm::map<rvm::string, IDirectDrawSurface7*> CDSurfaceCache::s_Map;
std::mutex CDSurfaceCache::s_Mutex;

IDirectDrawSurface7* CreateSurfaceCopy(IDirectDraw7* lpDD, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag)
{
    if (!lpDD || !lpSrc) {
        return nullptr;
    }
    int x0 = 0, y0 = 0, w = 0, h = 0;
    GetPictureRect(lpSrc, prc, &x0, &y0, &w, &h);
    IDirectDrawSurface7* lpCopy = CreatePlaneSurface(lpDD, w, h, nMemFlag);
    if (!lpCopy && nMemFlag == MEM_VIDEO) {
        lpCopy = CreatePlaneSurface(lpDD, w, h, MEM_SYSTEM);
    }
    if (!lpCopy) {
        return nullptr;
    }
    RECT rc = prc ? *prc : RECT{0, 0, w, h};
    if (lpCopy->Blt(nullptr, lpSrc, &rc, DDBLT_WAIT, nullptr) != DD_OK) {
        SafeRelease(lpCopy);
    }
    return lpCopy;
}

IDirectDrawSurface7* CreateSurfaceCopyByDevice(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc,
                                               const RECT* prc, int nMemFlag)
{
    IDirectDraw7* lpDD = GetDeviceDirectDraw(lpDevice);
    IDirectDrawSurface7* lpCopy = CreateSurfaceCopy(lpDD, lpSrc, prc, nMemFlag);
    SafeRelease(lpDD);
    return lpCopy;
}

// ---- CDSurface ------------------------------------------------------------------------------------
int CDSurface::Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag)
{
    CDSurface::Release();
    return Attach(CreateSurfaceCopyByDevice(lpDevice, lpSrc, prc, nMemFlag));
}

void CDSurface::Release()
{
    SafeRelease(m_lpSurface);
    m_nWidth = 0;
    m_nHeight = 0;
}

int CDSurface::Attach(IDirectDrawSurface7* lpSurface)
{
    Release();
    if (!lpSurface) {
        return 0;
    }
    m_lpSurface = lpSurface;
    GetSurfaceSize(lpSurface, &m_nWidth, &m_nHeight);
    return 1;
}

int CDSurface::LoadFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, const RECT* prc, int nMemFlag)
{
    Release();
    IDirectDrawSurface7* lpTemp = LoadIndexSurface(lpDevice, key, MEM_SYSTEM);
    if (!lpTemp) {
        return 0;
    }
    const int nResult = Create(lpDevice, lpTemp, prc, nMemFlag);
    lpTemp->Release();
    return nResult;
}

int CDSurface::LoadFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc, int nMemFlag)
{
    Release();
    IDirectDrawSurface7* lpTemp = LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM);
    if (!lpTemp) {
        return 0;
    }
    const int nResult = Create(lpDevice, lpTemp, prc, nMemFlag);
    lpTemp->Release();
    return nResult;
}

void CDSurface::SetColorKeyGreen()
{
    if (m_lpSurface) {
        ::SetColorKeyGreen(m_lpSurface);
    }
}

void CDSurface::GetSize(int* pnWidth, int* pnHeight) const
{
    if (pnWidth) {
        *pnWidth = m_nWidth;
    }
    if (pnHeight) {
        *pnHeight = m_nHeight;
    }
}

int CDSurface::FillColor(float fRed, float fGreen, float fBlue)
{
    return m_lpSurface ? FillSurfaceColor(m_lpSurface, fRed, fGreen, fBlue, nullptr) : 0;
}

int CDSurface::WriteTextLines(const char* const* ppLines, int nLines, int nHeight)
{
    if (!FillColor(0.0f, 1.0f, 0.0f)) {
        return 0;
    }
    for (int i = 0; i < nLines; i++) {
        CMsgWin::DrawSurfaceText(m_lpSurface, 2, 4 + i * (nHeight + 4), ppLines[i], nHeight, 1);
    }
    SetColorKeyGreen();
    return 1;
}

int CDSurface::Blt(RECT* prcDest, IDirectDrawSurface7* lpSrc, RECT* prcSrc, DWORD dwFlags, DDBLTFX* lpFx)
{
    return m_lpSurface && m_lpSurface->Blt(prcDest, lpSrc, prcSrc, dwFlags, lpFx) == DD_OK ? 1 : 0;
}

int CDSurface::BltTo(IDirectDrawSurface7* lpDest, RECT* prcDest, RECT* prcSrc, DWORD dwFlags, DDBLTFX* lpFx)
{
    return m_lpSurface && lpDest && lpDest->Blt(prcDest, m_lpSurface, prcSrc, dwFlags, lpFx) == DD_OK ? 1 : 0;
}

// ---- CDSurfaceEx ----------------------------------------------------------------------------------
int CDSurfaceEx::Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag)
{
    CDSurfaceEx::Release();
    if (!lpSrc || !CDSurface::Create(lpDevice, lpSrc, prc, nMemFlag)) {
        return 0;
    }
    CDSurface::SetColorKeyGreen();
    m_lpMirror = CreateSurfaceCopyByDevice(lpDevice, m_lpSurface, nullptr, nMemFlag);
    bool bOk = m_lpMirror != nullptr;
    if (bOk) {
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
        // A failed mirror would leave an unmirrored copy posing as the mirrored one.
        bOk = m_lpMirror->Blt(nullptr, m_lpSurface, nullptr, DDBLT_WAIT | DDBLT_DDFX, &fx) == DD_OK;
    }
    if (bOk) {
        ::SetColorKeyGreen(m_lpMirror);
        m_lpFlash = CreateBlendedCopy(lpDevice, m_lpSurface);
        m_lpFlashMirror = CreateBlendedCopy(lpDevice, m_lpMirror);
        bOk = m_lpFlash && m_lpFlashMirror;
    }
    if (!bOk) {
        Release();
        return 0;
    }
    return 1;
}

void CDSurfaceEx::Release()
{
    SafeRelease(m_lpMirror);
    SafeRelease(m_lpFlash);
    SafeRelease(m_lpFlashMirror);
    CDSurface::Release();
}

IDirectDrawSurface7* CDSurfaceEx::GetImage(int nKind) const
{
    switch (nKind) {
    case IMAGE_NORMAL:
        return m_lpSurface;
    case IMAGE_MIRROR:
        return m_lpMirror;
    case IMAGE_FLASH:
        return m_lpFlash;
    case IMAGE_FLASH_MIRROR:
        return m_lpFlashMirror;
    default:
        return nullptr;
    }
}

// ---- CDSurfaceCache -------------------------------------------------------------------------------
int CDSurfaceCache::Load(IDirect3DDevice7* lpDevice, const char* pszPath, int nMemFlag)
{
    if (!pszPath) {
        return 0;
    }
    IDirectDrawSurface7* lpSurface = LoadBitmapSurface(lpDevice, pszPath, nMemFlag);
    if (!lpSurface) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(s_Mutex);
    IDirectDrawSurface7*& lpSlot = s_Map[pszPath];
    SafeRelease(lpSlot);
    lpSlot = lpSurface;
    return 1;
}

IDirectDrawSurface7* CDSurfaceCache::Get(IDirect3DDevice7* lpDevice, const char* pszPath, int nMemFlag)
{
    if (!pszPath) {
        return nullptr;
    }
    bool bHave;
    {
        std::lock_guard<std::mutex> lock(s_Mutex);
        bHave = s_Map.count(pszPath) != 0;
    }
    if (!bHave && !Load(lpDevice, pszPath, nMemFlag)) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(s_Mutex);
    auto it = s_Map.find(pszPath);
    if (it == s_Map.end()) {
        return nullptr;
    }
    IDirectDraw7* lpDD = GetDeviceDirectDraw(lpDevice);
    IDirectDrawSurface7* lpDup = nullptr;
    if (lpDD && lpDD->DuplicateSurface(it->second, &lpDup) != DD_OK) {
        lpDup = nullptr;
    }
    SafeRelease(lpDD);
    return lpDup;
}

void CDSurfaceCache::ClearAll()
{
    std::lock_guard<std::mutex> lock(s_Mutex);
    for (auto& entry : s_Map) {
        DebugPrintf("%s\n", entry.first.c_str());
        SafeRelease(entry.second);
    }
    s_Map.clear();
}

size_t CDSurfaceCache::Count()
{
    std::lock_guard<std::mutex> lock(s_Mutex);
    return s_Map.size();
}
