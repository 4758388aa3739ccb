#include <algorithm>
#include <cstring>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/BltCore.h"
#include "platform/ddraw/DDObjects.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/Host.h"

// Both come from the window stand-in; weak so this library links (and presents nothing, and takes
// the client origin as (0, 0)) where no window layer is linked in.
BOOL ClientToScreen(HWND hWnd, POINT* pPoint) __attribute__((weak));
IHost* GetHost() __attribute__((weak));

namespace {

constexpr int kMaxSurfaceSide = 16384;
// A derived form is built on this use after a write.
constexpr int kUsesBeforeDeriving = 2;

std::atomic<bool> g_bKeySpans{true};

bool IsValidRect(const RECT& rc)
{
    return rc.left < rc.right && rc.top < rc.bottom;
}

bool IsInside(const RECT& rc, int w, int h)
{
    return rc.left >= 0 && rc.top >= 0 && rc.right <= w && rc.bottom <= h;
}

BLTPLANE PlaneOf(CDDSurface* p)
{
    return BLTPLANE{p->Bits(), (long)p->Pitch(), p->Width(), p->Height(), p->Kind()};
}

// The kind a new surface gets from its description.
PIXELKIND KindForDesc(const DDSURFACEDESC2& desc)
{
    const DWORD dwCaps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : 0;
    if (desc.dwFlags & DDSD_PIXELFORMAT) {
        return ClassifyPixelFormat(desc.ddpfPixelFormat);
    }
    if (dwCaps & DDSCAPS_ZBUFFER) {
        return PK_Z16;
    }
    return PK_R5G6B5;
}

} // namespace

HRESULT CDDSurface::Create(CDirectDraw* pDD, const DDSURFACEDESC2& desc, CDDSurface** ppOut)
{
    *ppOut = nullptr;
    const DWORD dwCaps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
    const bool bPrimary = (dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
    int nWidth = 0, nHeight = 0;
    if (bPrimary) {
        if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) {
            return DDERR_INVALIDPARAMS;
        }
        nWidth = pDD->ModeWidth();
        nHeight = pDD->ModeHeight();
    } else {
        if (!(desc.dwFlags & DDSD_WIDTH) || !(desc.dwFlags & DDSD_HEIGHT)) {
            return DDERR_INVALIDPARAMS;
        }
        if (desc.dwWidth == 0 || desc.dwHeight == 0) {
            return DDERR_INVALIDPARAMS;
        }
        if (desc.dwWidth > (DWORD)kMaxSurfaceSide || desc.dwHeight > (DWORD)kMaxSurfaceSide) {
            return DDERR_TOOBIGSIZE;
        }
        nWidth = (int)desc.dwWidth;
        nHeight = (int)desc.dwHeight;
    }
    PIXELKIND eKind = bPrimary ? PK_R5G6B5 : KindForDesc(desc);
    if (eKind == PK_UNKNOWN || ((dwCaps & DDSCAPS_ZBUFFER) != 0) != (eKind == PK_Z16)) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    CDDSurface* p = new CDDSurface();
    p->m_pDD = pDD;
    pDD->AddRef();
    p->m_eKind = eKind;
    p->m_ddpf = MakePixelFormat(eKind);
    p->m_nWidth = nWidth;
    p->m_nHeight = nHeight;
    p->m_lPitch = (LONG)(((size_t)nWidth * BytesPerPixel(eKind) + 3) & ~(size_t)3);
    p->m_pBits.reset(new uint8_t[(size_t)p->m_lPitch * nHeight]());
    p->m_ddsCaps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps : DDSCAPS2{DDSCAPS_OFFSCREENPLAIN, 0, 0, 0};
    if (!(p->m_ddsCaps.dwCaps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY))) {
        p->m_ddsCaps.dwCaps |= bPrimary ? (DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM) : DDSCAPS_SYSTEMMEMORY;
    } else if (p->m_ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY) {
        p->m_ddsCaps.dwCaps |= DDSCAPS_LOCALVIDMEM;
    }
    if (bPrimary) {
        p->m_ddsCaps.dwCaps |= DDSCAPS_VISIBLE | DDSCAPS_FRONTBUFFER;
    }
    if (desc.dwFlags & DDSD_CKSRCBLT) {
        p->m_bSrcKey = true;
        p->m_ckSrcBlt = desc.ddckCKSrcBlt;
    }
    *ppOut = p;
    return DD_OK;
}

CDDSurface::~CDDSurface()
{
    for (CDDSurface* p : m_attached) {
        p->Release();
    }
    if (m_pClipper) {
        m_pClipper->Release();
    }
    if (IsPrimary()) {
        m_pDD->ForgetPrimary(this);
    }
    // A copy still waiting is never seen.
    if (m_pCopySrc) {
        m_pCopySrc->m_pCopyReader.store(nullptr, std::memory_order_release);
        m_pCopySrc->Release();
    }
    m_pDD->Release();
}

HRESULT CDDSurface::QueryInterface(REFIID riid, LPVOID* ppvObj)
{
    if (!ppvObj) {
        return DDERR_INVALIDPARAMS;
    }
    *ppvObj = nullptr;
    if (IsSameGUID(riid, IID_IDirectDrawSurface7)) {
        AddRef();
        *ppvObj = static_cast<IDirectDrawSurface7*>(this);
        return DD_OK;
    }
    return DDERR_NOINTERFACE;
}

ULONG CDDSurface::AddRef()
{
    return ++m_nRef;
}

ULONG CDDSurface::Release()
{
    const ULONG n = --m_nRef;
    if (n == 0) {
        delete this;
    }
    return n;
}

// ---- Attachments --------------------------------------------------------------------------------
HRESULT CDDSurface::AddAttachedSurface(IDirectDrawSurface7* lpSurface)
{
    if (!lpSurface || lpSurface == this) {
        return DDERR_INVALIDPARAMS;
    }
    CDDSurface* p = From(lpSurface);
    if (std::find(m_attached.begin(), m_attached.end(), p) != m_attached.end()) {
        return DDERR_SURFACEALREADYATTACHED;
    }
    // Only a Z buffer of the same size attaches to a drawing surface.
    if (p->m_eKind != PK_Z16 || m_eKind == PK_Z16) {
        return DDERR_CANNOTATTACHSURFACE;
    }
    if (p->m_nWidth != m_nWidth || p->m_nHeight != m_nHeight) {
        return DDERR_CANNOTATTACHSURFACE;
    }
    if (AttachedZBuffer()) {
        return DDERR_SURFACEALREADYATTACHED;
    }
    p->AddRef();
    m_attached.push_back(p);
    return DD_OK;
}

HRESULT CDDSurface::DeleteAttachedSurface(DWORD, IDirectDrawSurface7* lpSurface)
{
    if (!lpSurface) {
        for (CDDSurface* p : m_attached) {
            p->Release();
        }
        m_attached.clear();
        return DD_OK;
    }
    auto it = std::find(m_attached.begin(), m_attached.end(), From(lpSurface));
    if (it == m_attached.end()) {
        return DDERR_SURFACENOTATTACHED;
    }
    CDDSurface* p = *it;
    m_attached.erase(it);
    p->Release();
    return DD_OK;
}

HRESULT CDDSurface::GetAttachedSurface(DDSCAPS2* lpCaps, IDirectDrawSurface7** lplpSurface)
{
    if (!lpCaps || !lplpSurface) {
        return DDERR_INVALIDPARAMS;
    }
    *lplpSurface = nullptr;
    for (CDDSurface* p : m_attached) {
        if ((p->m_ddsCaps.dwCaps & lpCaps->dwCaps) == lpCaps->dwCaps) {
            p->AddRef();
            *lplpSurface = p;
            return DD_OK;
        }
    }
    return DDERR_NOTFOUND;
}

CDDSurface* CDDSurface::AttachedZBuffer() const
{
    for (CDDSurface* p : m_attached) {
        if (p->m_eKind == PK_Z16) {
            return p;
        }
    }
    return nullptr;
}

// ---- Blits --------------------------------------------------------------------------------------
RECT CDDSurface::ToSurfaceRect(const RECT& rc) const
{
    RECT out = rc;
    if (IsPrimary() && m_pClipper && ClientToScreen) {
        HWND hWnd = static_cast<CDDClipper*>(m_pClipper)->Window();
        POINT pt = {0, 0};
        if (hWnd && ClientToScreen(hWnd, &pt)) {
            out.left -= pt.x;
            out.right -= pt.x;
            out.top -= pt.y;
            out.bottom -= pt.y;
        }
    }
    return out;
}

HRESULT CDDSurface::FillRect(const RECT& rcDest, DWORD dwColor)
{
    const int l = std::max<LONG>(rcDest.left, 0);
    const int t = std::max<LONG>(rcDest.top, 0);
    const int r = std::min<LONG>(rcDest.right, m_nWidth);
    const int b = std::min<LONG>(rcDest.bottom, m_nHeight);
    if (l < r && t < b) {
        MarkWritten();
        OwnPixels();
        ResolveFillFor(l, t, r, b, true);
        FillPlane(PlaneOf(this), l, t, r, b, dwColor);
        NotifyChanged();
    }
    return DD_OK;
}

HRESULT CDDSurface::Blt(RECT* lpDestRect, IDirectDrawSurface7* lpSrc, RECT* lpSrcRect, DWORD dwFlags, DDBLTFX* lpFx)
{
    RECT rcDest = lpDestRect ? *lpDestRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!IsValidRect(rcDest)) {
        return DDERR_INVALIDRECT;
    }
    if (lpDestRect) {
        rcDest = ToSurfaceRect(rcDest);
    }
    return BltSurfaceRect(rcDest, lpSrc, lpSrcRect, dwFlags, lpFx);
}

HRESULT CDDSurface::BltSurfaceRect(const RECT& rcDest, IDirectDrawSurface7* lpSrc, RECT* lpSrcRect, DWORD dwFlags,
                                   DDBLTFX* lpFx)
{
    if (dwFlags & (DDBLT_COLORFILL | DDBLT_DEPTHFILL)) {
        if (!lpFx) {
            return DDERR_INVALIDPARAMS;
        }
        return FillRect(rcDest, lpFx->dwFillColor);
    }
    if (!lpSrc) {
        return DDERR_INVALIDPARAMS;
    }
    CDDSurface* pSrc = From(lpSrc);
    const RECT rcSrc = lpSrcRect ? *lpSrcRect : RECT{0, 0, pSrc->m_nWidth, pSrc->m_nHeight};
    if (!IsValidRect(rcSrc) || !IsInside(rcSrc, pSrc->m_nWidth, pSrc->m_nHeight)) {
        return DDERR_INVALIDRECT;
    }
    if ((m_eKind == PK_Z16) != (pSrc->m_eKind == PK_Z16)) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    BLTJOB job = {};
    job.nDstX = rcDest.left;
    job.nDstY = rcDest.top;
    job.nDstW = rcDest.right - rcDest.left;
    job.nDstH = rcDest.bottom - rcDest.top;
    job.nSrcX = rcSrc.left;
    job.nSrcY = rcSrc.top;
    job.nSrcW = rcSrc.right - rcSrc.left;
    job.nSrcH = rcSrc.bottom - rcSrc.top;
    job.nClipL = std::max<LONG>(rcDest.left, 0);
    job.nClipT = std::max<LONG>(rcDest.top, 0);
    job.nClipR = std::min<LONG>(rcDest.right, m_nWidth);
    job.nClipB = std::min<LONG>(rcDest.bottom, m_nHeight);
    if (dwFlags & (DDBLT_KEYSRC | DDBLT_KEYSRCOVERRIDE)) {
        DDCOLORKEY ck = {};
        if (dwFlags & DDBLT_KEYSRCOVERRIDE) {
            if (!lpFx) {
                return DDERR_INVALIDPARAMS;
            }
            ck = lpFx->ddckSrcColorkey;
        } else if (pSrc->m_bSrcKey) {
            ck = pSrc->m_ckSrcBlt;
        } else {
            return DDERR_NOCOLORKEY;
        }
        job.bKeySrc = true;
        job.dwKeyLow = ck.dwColorSpaceLowValue;
        job.dwKeyHigh = std::max(ck.dwColorSpaceLowValue, ck.dwColorSpaceHighValue);
    }
    if ((dwFlags & DDBLT_DDFX) && lpFx) {
        job.bMirrorLR = (lpFx->dwDDFX & DDBLTFX_MIRRORLEFTRIGHT) != 0;
        job.bMirrorUD = (lpFx->dwDDFX & DDBLTFX_MIRRORUPDOWN) != 0;
    }
    if (job.nClipL >= job.nClipR || job.nClipT >= job.nClipB) {
        return DD_OK;  // wholly outside: nothing to draw
    }
    if (ShareWholeCopy(pSrc, job, rcSrc)) {
        NotifyChanged();
        return DD_OK;
    }
    if (WaitCopy(pSrc, job)) {
        return DD_OK;
    }
    MarkWritten();
    pSrc->ResolveFill();
    OwnPixels();
    ResolveFillFor(job.nClipL, job.nClipT, job.nClipR, job.nClipB, !job.bKeySrc);
    if (pSrc == this) {
        // Reading and writing one plane: read from a snapshot of the source rectangle.
        const int nBpp = BytesPerPixel(m_eKind);
        const long lPitch = (long)job.nSrcW * nBpp;
        std::unique_ptr<uint8_t[]> pCopy(new uint8_t[(size_t)lPitch * job.nSrcH]);
        for (int y = 0; y < job.nSrcH; y++) {
            std::memcpy(pCopy.get() + (size_t)y * lPitch,
                        m_pBits.get() + (size_t)(rcSrc.top + y) * m_lPitch + (size_t)rcSrc.left * nBpp, (size_t)lPitch);
        }
        const BLTPLANE src = {pCopy.get(), lPitch, job.nSrcW, job.nSrcH, m_eKind};
        job.nSrcX = 0;
        job.nSrcY = 0;
        RunBlt(PlaneOf(this), src, job);
    } else if (BltServedBySpans(PlaneOf(this), PlaneOf(pSrc), job)) {
        const std::unique_lock<std::mutex> lock = pSrc->LockDerived();
        const long lMovesPitch = BltCopiesWholeRows(PlaneOf(pSrc), job) ? m_lPitch : 0;
        const CKeySpans* pSpans = pSrc->KeySpans(job.dwKeyLow, job.dwKeyHigh, lMovesPitch);
        if (pSpans) {
            RunBltSpans(PlaneOf(this), PlaneOf(pSrc), job, *pSpans);
        } else {
            RunBlt(PlaneOf(this), PlaneOf(pSrc), job);
        }
    } else {
        RunBlt(PlaneOf(this), PlaneOf(pSrc), job);
    }
    NotifyChanged();
    return DD_OK;
}

bool CDDSurface::ShareWholeCopy(CDDSurface* pSrc, const BLTJOB& job, const RECT& rcSrc)
{
    const bool bWhole = job.nDstX == 0 && job.nDstY == 0 && job.nDstW == m_nWidth && job.nDstH == m_nHeight &&
                        rcSrc.left == 0 && rcSrc.top == 0 && rcSrc.right == m_nWidth && rcSrc.bottom == m_nHeight;
    const bool bAsIs = !job.bKeySrc && !job.bMirrorLR && !job.bMirrorUD && pSrc->m_eKind == m_eKind &&
                       m_eKind != PK_Z16 && pSrc->m_nWidth == m_nWidth && pSrc->m_nHeight == m_nHeight &&
                       pSrc->m_lPitch == m_lPitch;
    // Only onto the primary: the frame loop's present, on the thread that draws the frame. Copies
    // between other surfaces may run on the loading thread against a source in use here.
    const bool bFree = IsPrimary() && pSrc != this && m_nLocks == 0 && !m_bDCOut && pSrc->m_nLocks == 0 &&
                       !pSrc->m_bDCOut;
    if (!bWhole || !bAsIs || !bFree) {
        return false;
    }
    MarkWritten();
    pSrc->ResolveFill();
    // Every pixel is replaced: a fill still waiting here is dropped.
    const std::lock_guard<std::recursive_mutex> lock(m_fillLock);
    m_pendingFill.BeforeWrite(Plane(), 0, 0, m_nWidth, m_nHeight, true);
    m_bFillWaiting = false;
    std::shared_ptr<uint8_t[]> pOld = std::move(m_pBits);
    m_pBits = pSrc->m_pBits;
    m_bShared = pSrc->m_bShared = true;
    if (pOld != m_pBits) {
        pSrc->m_pSpare = std::move(pOld);
    }
    return true;
}

bool CDDSurface::WaitCopy(CDDSurface* pSrc, const BLTJOB& job)
{
    // Not onto or from the primary (its pixels are the host's frame), nor while the pixels are out.
    const bool bWaits = BltIsPlainCopy(Plane(), PlaneOf(pSrc), job) && pSrc != this && !IsPrimary() &&
                        !pSrc->IsPrimary() && m_eKind != PK_Z16 && m_nLocks == 0 && !m_bDCOut &&
                        !pSrc->IsBeingWritten();
    if (!bWaits) {
        return false;
    }
    MarkWritten();
    pSrc->ResolveFill();
    const std::lock_guard<std::recursive_mutex> lock(m_fillLock);
    if (m_pCopySrc && BltCopiesSideBySide(m_copyJob, job)) {
        RunCopiesTogether(pSrc, job);
        return true;
    }
    RunWaitingCopy();
    CDDSurface* pNone = nullptr;
    if (!pSrc->m_pCopyReader.compare_exchange_strong(pNone, this, std::memory_order_acq_rel)) {
        m_bFillWaiting.store(!m_pendingFill.IsEmpty(), std::memory_order_release);
        return false;
    }
    pSrc->AddRef();
    m_pCopySrc = pSrc;
    m_copyJob = job;
    m_bFillWaiting.store(true, std::memory_order_release);
    return true;
}

void CDDSurface::RunWaitingCopy()
{
    CDDSurface* pSrc = m_pCopySrc;
    if (!pSrc) {
        return;
    }
    m_pCopySrc = nullptr;
    OwnPixels();
    const BLTJOB& job = m_copyJob;
    m_pendingFill.BeforeWrite(Plane(), job.nClipL, job.nClipT, job.nClipR, job.nClipB, true);
    RunBlt(Plane(), PlaneOf(pSrc), job);
    pSrc->m_pCopyReader.store(nullptr, std::memory_order_release);
    pSrc->Release();
}

void CDDSurface::RunCopiesTogether(CDDSurface* pSrc, const BLTJOB& job)
{
    CDDSurface* pFirst = m_pCopySrc;
    m_pCopySrc = nullptr;
    const BLTJOB first = m_copyJob;
    OwnPixels();
    // Touching, the two hide the fill under them as one rectangle: the tiles at the seam are
    // dropped, not filled on one side first.
    if (first.nClipR == job.nClipL || job.nClipR == first.nClipL) {
        m_pendingFill.BeforeWrite(Plane(), std::min(first.nClipL, job.nClipL), job.nClipT,
                                  std::max(first.nClipR, job.nClipR), job.nClipB, true);
    } else {
        m_pendingFill.BeforeWrite(Plane(), first.nClipL, first.nClipT, first.nClipR, first.nClipB, true);
        m_pendingFill.BeforeWrite(Plane(), job.nClipL, job.nClipT, job.nClipR, job.nClipB, true);
    }
    RunCopiesSideBySide(Plane(), PlaneOf(pFirst), first, PlaneOf(pSrc), job);
    pFirst->m_pCopyReader.store(nullptr, std::memory_order_release);
    pFirst->Release();
    m_bFillWaiting.store(!m_pendingFill.IsEmpty(), std::memory_order_release);
}

void CDDSurface::RunWaitingCopyNow()
{
    const std::lock_guard<std::recursive_mutex> lock(m_fillLock);
    RunWaitingCopy();
    m_bFillWaiting.store(!m_pendingFill.IsEmpty(), std::memory_order_release);
}

HRESULT CDDSurface::BltFast(DWORD dwX, DWORD dwY, IDirectDrawSurface7* lpSrc, RECT* lpSrcRect, DWORD dwTrans)
{
    if (!lpSrc) {
        return DDERR_INVALIDPARAMS;
    }
    CDDSurface* pSrc = From(lpSrc);
    const RECT rcSrc = lpSrcRect ? *lpSrcRect : RECT{0, 0, pSrc->m_nWidth, pSrc->m_nHeight};
    if (!IsValidRect(rcSrc) || !IsInside(rcSrc, pSrc->m_nWidth, pSrc->m_nHeight)) {
        return DDERR_INVALIDRECT;
    }
    // BltFast never clips: the whole destination must lie on the surface.
    const int64_t r = (int64_t)dwX + (rcSrc.right - rcSrc.left);
    const int64_t b = (int64_t)dwY + (rcSrc.bottom - rcSrc.top);
    if (dwX > (DWORD)m_nWidth || dwY > (DWORD)m_nHeight || r > m_nWidth || b > m_nHeight) {
        return DDERR_INVALIDRECT;
    }
    const RECT rcDest = {(LONG)dwX, (LONG)dwY, (LONG)r, (LONG)b};
    DWORD dwFlags = 0;
    if (dwTrans & DDBLTFAST_SRCCOLORKEY) {
        dwFlags |= DDBLT_KEYSRC;
    }
    // The position is in surface coordinates even on a clipped primary.
    RECT rcSrcCopy = rcSrc;
    return BltSurfaceRect(rcDest, lpSrc, &rcSrcCopy, dwFlags, nullptr);
}

// ---- Derived forms ------------------------------------------------------------------------------
void CDDSurface::EnableKeySpans(bool bEnable)
{
    g_bKeySpans = bEnable;
}

// A surface out for writing (locked, or its DC out) is changing: nothing is derived from it.
bool CDDSurface::IsBeingWritten() const
{
    return m_bLockedForWriting || m_bDCOut;
}

const CKeySpans* CDDSurface::KeySpans(uint32_t dwKeyLow, uint32_t dwKeyHigh, long lMovesPitch)
{
    ResolveFill();
    if (!g_bKeySpans || IsBeingWritten()) {
        return nullptr;
    }
    if (!m_pKeySpans || !m_pKeySpans->IsFor(dwKeyLow, dwKeyHigh)) {
        m_bDerivedState = true;
        if (++m_nKeyedUses < kUsesBeforeDeriving) {
            return nullptr;
        }
        if (!m_pKeySpans) {
            m_pKeySpans = std::make_unique<CKeySpans>();
        }
        m_pKeySpans->Build(PlaneOf(this), dwKeyLow, dwKeyHigh);
    }
    if (lMovesPitch) {
        m_pKeySpans->PrepareMoves(PlaneOf(this), lMovesPitch);
    }
    return m_pKeySpans.get();
}

const CNonBlackBounds* CDDSurface::NonBlackBounds()
{
    ResolveFill();
    if (IsBeingWritten()) {
        return nullptr;
    }
    if (m_pBounds && m_pBounds->IsBuilt()) {
        return m_pBounds.get();
    }
    m_bDerivedState = true;
    if (++m_nTextureUses < kUsesBeforeDeriving || m_eKind == PK_Z16) {
        return nullptr;
    }
    if (!m_pBounds) {
        m_pBounds = std::make_unique<CNonBlackBounds>();
    }
    m_pBounds->Build(m_pBits.get(), m_lPitch, m_nWidth, m_nHeight, m_eKind);
    return m_pBounds.get();
}

void CDDSurface::DeferFill(const RECT& rc, uint32_t dwRaw)
{
    const int l = std::max<LONG>(rc.left, 0), r = std::min<LONG>(rc.right, m_nWidth);
    const int t = std::max<LONG>(rc.top, 0), b = std::min<LONG>(rc.bottom, m_nHeight);
    if (l < r && t < b) {
        MarkWritten();
        const std::lock_guard<std::recursive_mutex> lock(m_fillLock);
        RunWaitingCopy();
        if (!m_pendingFill.IsEmpty()) {
            OwnPixels();  // the fill waiting may be done now
        }
        m_pendingFill.Defer(Plane(), l, t, r, b, dwRaw);
        // Pixels handed out (a lock, a device context) are filled at once: the holder sees the
        // fill through its pointer, and what it writes after stays.
        if (m_nLocks > 0 || m_bDCOut) {
            m_pendingFill.Apply(Plane());
        }
        m_bFillWaiting.store(!m_pendingFill.IsEmpty(), std::memory_order_release);
    }
}

void CDDSurface::ResolveFillLocked(int l, int t, int r, int b, bool bOpaque)
{
    const std::lock_guard<std::recursive_mutex> lock(m_fillLock);
    RunWaitingCopy();
    if (!m_pendingFill.IsEmpty()) {
        OwnPixels();
        m_pendingFill.BeforeWrite(Plane(), l, t, r, b, bOpaque);
    }
    m_bFillWaiting.store(!m_pendingFill.IsEmpty(), std::memory_order_release);
}

bool CDDSurface::IsFillWaiting(int l, int t, int r, int b, uint32_t dwRaw)
{
    if (!HasWaitingFill()) {
        return false;
    }
    const std::lock_guard<std::recursive_mutex> lock(m_fillLock);
    RunWaitingCopyNow();
    return m_pendingFill.IsAllWaiting(l, t, r, b, dwRaw);
}

bool CDDSurface::IsFillWaiting(int x, int y)
{
    const std::lock_guard<std::recursive_mutex> lock(m_fillLock);
    RunWaitingCopyNow();
    return m_pendingFill.IsWaiting(x, y);
}

void CDDSurface::SetUniformWord(uint16_t w)
{
    m_wUniform = w;
    m_bUniform = true;
}

bool CDDSurface::GetUniformWord(uint16_t* pw) const
{
    if (!m_bUniform) {
        return false;
    }
    *pw = m_wUniform;
    return true;
}

void CDDSurface::MarkWritten()
{
    // A copy waiting to read these pixels takes them as they are before they change.
    if (CDDSurface* pReader = m_pCopyReader.load(std::memory_order_acquire)) {
        pReader->RunWaitingCopyNow();
    }
    m_bUniform = false;
    if (!m_bDerivedState.load()) {
        return;
    }
    const std::unique_lock<std::mutex> lock = LockDerived();
    // The storage stays for the next build.
    if (m_pKeySpans) {
        m_pKeySpans->Clear();
    }
    if (m_pBounds) {
        m_pBounds->Clear();
    }
    m_nKeyedUses = 0;
    m_nTextureUses = 0;
    m_bDerivedState = false;
}

// ---- Queries and keys ---------------------------------------------------------------------------
HRESULT CDDSurface::GetCaps(DDSCAPS2* lpCaps)
{
    if (!lpCaps) {
        return DDERR_INVALIDPARAMS;
    }
    *lpCaps = m_ddsCaps;
    return DD_OK;
}

HRESULT CDDSurface::GetClipper(IDirectDrawClipper** lplpClipper)
{
    if (!lplpClipper) {
        return DDERR_INVALIDPARAMS;
    }
    *lplpClipper = m_pClipper;
    if (!m_pClipper) {
        return DDERR_NOCLIPPERATTACHED;
    }
    m_pClipper->AddRef();
    return DD_OK;
}

HRESULT CDDSurface::SetClipper(IDirectDrawClipper* lpClipper)
{
    if (lpClipper) {
        lpClipper->AddRef();
    }
    if (m_pClipper) {
        m_pClipper->Release();
    }
    m_pClipper = lpClipper;
    return DD_OK;
}

HRESULT CDDSurface::GetColorKey(DWORD dwFlags, DDCOLORKEY* lpKey)
{
    if (!lpKey) {
        return DDERR_INVALIDPARAMS;
    }
    if (dwFlags & DDCKEY_SRCBLT) {
        if (!m_bSrcKey) {
            return DDERR_NOCOLORKEY;
        }
        *lpKey = m_ckSrcBlt;
        return DD_OK;
    }
    if (dwFlags & DDCKEY_DESTBLT) {
        if (!m_bDestKey) {
            return DDERR_NOCOLORKEY;
        }
        *lpKey = m_ckDestBlt;
        return DD_OK;
    }
    return DDERR_INVALIDPARAMS;
}

HRESULT CDDSurface::SetColorKey(DWORD dwFlags, DDCOLORKEY* lpKey)
{
    bool* pHas = nullptr;
    DDCOLORKEY* pKey = nullptr;
    if (dwFlags & DDCKEY_SRCBLT) {
        pHas = &m_bSrcKey;
        pKey = &m_ckSrcBlt;
    } else if (dwFlags & DDCKEY_DESTBLT) {
        pHas = &m_bDestKey;
        pKey = &m_ckDestBlt;
    } else {
        return DDERR_INVALIDPARAMS;
    }
    MarkWritten();
    if (!lpKey) {
        *pHas = false;  // a null key removes it
        return DD_OK;
    }
    *pKey = *lpKey;
    if (!(dwFlags & DDCKEY_COLORSPACE)) {
        pKey->dwColorSpaceHighValue = pKey->dwColorSpaceLowValue;
    }
    *pHas = true;
    return DD_OK;
}

HRESULT CDDSurface::GetDC(HDC* phDC)
{
    if (!phDC) {
        return DDERR_INVALIDPARAMS;
    }
    *phDC = nullptr;
    if (m_bDCOut) {
        return DDERR_DCALREADYCREATED;
    }
    if (m_eKind == PK_Z16) {
        return DDERR_CANTCREATEDC;
    }
    TakeOwnBuffer();
    ResolveFill();
    m_dc.dwMagic = DDSURFACEDC_MAGIC;
    m_dc.lpSurface = this;
    m_dc.lpBits = m_pBits.get();
    m_dc.lPitch = m_lPitch;
    m_dc.dwWidth = (DWORD)m_nWidth;
    m_dc.dwHeight = (DWORD)m_nHeight;
    m_dc.ddpf = m_ddpf;
    m_bDCOut = true;
    MarkWritten();
    *phDC = reinterpret_cast<HDC>(&m_dc);
    return DD_OK;
}

HRESULT CDDSurface::ReleaseDC(HDC hDC)
{
    if (!m_bDCOut || reinterpret_cast<DDSURFACEDC*>(hDC) != &m_dc) {
        return DDERR_NODC;
    }
    m_bDCOut = false;
    MarkWritten();
    // The context's fonts, colours and modes end with it, as a released surface DC's do.
    GdiReleaseSurfaceDC(hDC);
    NotifyChanged();
    return DD_OK;
}

HRESULT CDDSurface::GetPixelFormat(DDPIXELFORMAT* lpFormat)
{
    if (!lpFormat) {
        return DDERR_INVALIDPARAMS;
    }
    *lpFormat = m_ddpf;
    return DD_OK;
}

HRESULT CDDSurface::GetSurfaceDesc(DDSURFACEDESC2* lpDesc)
{
    if (!lpDesc) {
        return DDERR_INVALIDPARAMS;
    }
    std::memset(lpDesc, 0, sizeof(*lpDesc));
    lpDesc->dwSize = sizeof(*lpDesc);
    lpDesc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    lpDesc->dwWidth = (DWORD)m_nWidth;
    lpDesc->dwHeight = (DWORD)m_nHeight;
    lpDesc->lPitch = m_lPitch;
    lpDesc->ddpfPixelFormat = m_ddpf;
    lpDesc->ddsCaps = m_ddsCaps;
    if (m_bSrcKey) {
        lpDesc->dwFlags |= DDSD_CKSRCBLT;
        lpDesc->ddckCKSrcBlt = m_ckSrcBlt;
    }
    if (m_bDestKey) {
        lpDesc->dwFlags |= DDSD_CKDESTBLT;
        lpDesc->ddckCKDestBlt = m_ckDestBlt;
    }
    return DD_OK;
}

HRESULT CDDSurface::Lock(RECT* lpRect, DDSURFACEDESC2* lpDesc, DWORD dwFlags, HANDLE)
{
    if (!lpDesc) {
        return DDERR_INVALIDPARAMS;
    }
    const RECT rc = lpRect ? *lpRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!IsValidRect(rc) || !IsInside(rc, m_nWidth, m_nHeight)) {
        return DDERR_INVALIDRECT;
    }
    TakeOwnBuffer();
    ResolveFill();
    GetSurfaceDesc(lpDesc);
    lpDesc->dwFlags |= DDSD_LPSURFACE;
    lpDesc->lpSurface = m_pBits.get() + (size_t)rc.top * m_lPitch + (size_t)rc.left * BytesPerPixel(m_eKind);
    m_nLocks++;
    // The pixels change from here to the unlock: what is derived now or in between is dropped at
    // both ends.
    if (!(dwFlags & DDLOCK_READONLY)) {
        m_bLockedForWriting = true;
        MarkWritten();
    }
    return DD_OK;
}

HRESULT CDDSurface::Unlock(RECT*)
{
    if (m_nLocks == 0) {
        return DDERR_NOTLOCKED;
    }
    m_nLocks--;
    if (m_bLockedForWriting) {
        MarkWritten();
        m_bLockedForWriting = m_nLocks > 0;
    }
    NotifyChanged();
    return DD_OK;
}

HRESULT CDDSurface::IsLost()
{
    return DD_OK;
}

HRESULT CDDSurface::Restore()
{
    return DD_OK;
}

HRESULT CDDSurface::GetDDInterface(LPVOID* lplpDD)
{
    if (!lplpDD) {
        return DDERR_INVALIDPARAMS;
    }
    m_pDD->AddRef();
    *lplpDD = static_cast<IDirectDraw7*>(m_pDD);
    return DD_OK;
}

void CDDSurface::NotifyChanged()
{
    if (!IsPrimary() || !GetHost) {
        return;
    }
    IHost* pHost = GetHost();
    if (pHost) {
        ResolveFill();
        pHost->PresentBuffer(m_pBits, (int)m_lPitch, m_nWidth, m_nHeight);
    }
}

void CDDSurface::TakeOwnBuffer()
{
    // With a lock or a context already out, their pointers must stay valid.
    if (m_pBits.use_count() <= 1 || m_nLocks > 0 || m_bDCOut) {
        return;
    }
    m_bShared = false;
    const std::lock_guard<std::recursive_mutex> lock(m_fillLock);
    const size_t nBytes = (size_t)m_lPitch * m_nHeight;
    std::shared_ptr<uint8_t[]> pOwn;
    if (m_pSpare && m_pSpare.use_count() == 1) {
        pOwn = std::move(m_pSpare);
    } else {
        m_pSpare.reset();
        pOwn.reset(new uint8_t[nBytes]());  // zeroed, as every buffer starts: a fill leaves row padding alone
    }
    // Pixels that all wait for a fill need not be copied.
    if (!m_pendingFill.IsAllWaiting(0, 0, m_nWidth, m_nHeight)) {
        std::memcpy(pOwn.get(), m_pBits.get(), nBytes);
    }
    m_pBits = std::move(pOwn);
}
