// The objects behind the DirectDraw interfaces. Only the platform's own graphics code includes this:
// the Direct3D device reaches surface pixels through it.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/KeySpans.h"
#include "platform/ddraw/NonBlackBounds.h"
#include "platform/ddraw/PendingFill.h"
#include "platform/ddraw/PixelFormat.h"

class CDDClipper final : public IDirectDrawClipper {
public:
    CDDClipper() = default;
    HRESULT QueryInterface(REFIID riid, LPVOID* ppvObj) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT SetHWnd(DWORD dwFlags, HWND hWnd) override;
    HRESULT GetHWnd(HWND* phWnd) override;

    HWND Window() const { return m_hWnd; }

private:
    std::atomic<ULONG> m_nRef{1};
    HWND m_hWnd = nullptr;
};

class CDirectDraw;

class CDDSurface final : public IDirectDrawSurface7 {
public:
    // Creates a surface of the description; the caller receives the only reference.
    static HRESULT Create(CDirectDraw* pDD, const DDSURFACEDESC2& desc, CDDSurface** ppOut);

    HRESULT QueryInterface(REFIID riid, LPVOID* ppvObj) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT AddAttachedSurface(IDirectDrawSurface7* lpSurface) override;
    HRESULT DeleteAttachedSurface(DWORD dwFlags, IDirectDrawSurface7* lpSurface) override;
    HRESULT GetAttachedSurface(DDSCAPS2* lpCaps, IDirectDrawSurface7** lplpSurface) override;
    HRESULT Blt(RECT* lpDestRect, IDirectDrawSurface7* lpSrc, RECT* lpSrcRect, DWORD dwFlags, DDBLTFX* lpFx) override;
    HRESULT BltFast(DWORD dwX, DWORD dwY, IDirectDrawSurface7* lpSrc, RECT* lpSrcRect, DWORD dwTrans) override;
    HRESULT GetCaps(DDSCAPS2* lpCaps) override;
    HRESULT GetClipper(IDirectDrawClipper** lplpClipper) override;
    HRESULT SetClipper(IDirectDrawClipper* lpClipper) override;
    HRESULT GetColorKey(DWORD dwFlags, DDCOLORKEY* lpKey) override;
    HRESULT SetColorKey(DWORD dwFlags, DDCOLORKEY* lpKey) override;
    HRESULT GetDC(HDC* phDC) override;
    HRESULT ReleaseDC(HDC hDC) override;
    HRESULT GetPixelFormat(DDPIXELFORMAT* lpFormat) override;
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* lpDesc) override;
    HRESULT Lock(RECT* lpRect, DDSURFACEDESC2* lpDesc, DWORD dwFlags, HANDLE hEvent) override;
    HRESULT Unlock(RECT* lpRect) override;
    HRESULT IsLost() override;
    HRESULT Restore() override;
    HRESULT GetDDInterface(LPVOID* lplpDD) override;

    // Direct pixel access for the rasteriser and the blitters.
    uint8_t* Bits() { return m_pBits.get(); }
    const uint8_t* Bits() const { return m_pBits.get(); }
    LONG Pitch() const { return m_lPitch; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    PIXELKIND Kind() const { return m_eKind; }
    const DDPIXELFORMAT& Format() const { return m_ddpf; }
    DWORD Caps() const { return m_ddsCaps.dwCaps; }
    bool HasSrcKey() const { return m_bSrcKey; }
    const DDCOLORKEY& SrcKey() const { return m_ckSrcBlt; }
    bool IsPrimary() const { return (m_ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0; }
    // Forms derived from the pixels for faster drawing. One is built on its second use after a
    // write (a surface written before every use would gain nothing) and dropped by the next write;
    // null means "use the general path". Callers hold LockDerived() while they use one.
    std::unique_lock<std::mutex> LockDerived() { return std::unique_lock<std::mutex>(m_derivedLock); }
    // The spans for keys [dwKeyLow, dwKeyHigh]; lMovesPitch, when not 0, asks for their moves for a
    // destination of that pitch too.
    const CKeySpans* KeySpans(uint32_t dwKeyLow, uint32_t dwKeyHigh, long lMovesPitch);
    const CNonBlackBounds* NonBlackBounds();
    // Every write of the pixels calls this: locks for writing, blits and fills into the surface,
    // device drawing and clears, DCs, colour-key changes.
    void MarkWritten();
    // A 16-bit surface filled whole with one word (a depth buffer's clear) says so until its next
    // write, so that a depth test against it can be made once for a span instead of per pixel.
    void SetUniformWord(uint16_t w);
    bool GetUniformWord(uint16_t* pw) const;
    // Tests turn the run form of keyed blits off to compare with the general path.
    static void EnableKeySpans(bool bEnable);
    // A fill of rc (cut to the surface) by a raw value that waits until the pixels are looked at
    // or written in part; a write that covers it first drops it (the device's clear). The fill's
    // state is under its own lock: the loading thread draws through the device too.
    void DeferFill(const RECT& rc, uint32_t dwRaw);
    bool HasWaitingFill() const { return m_bFillWaiting.load(std::memory_order_acquire); }
    // Does the waiting fill; every reader of the pixels calls it first.
    void ResolveFill()
    {
        if (HasWaitingFill()) {
            ResolveFillLocked(0, 0, m_nWidth, m_nHeight, false);
        }
    }
    // Before [l, r) x [t, b) is written (bOpaque: every pixel of it): the waiting fill under it that
    // the write does not hide is done.
    void ResolveFillFor(int l, int t, int r, int b, bool bOpaque)
    {
        if (HasWaitingFill()) {
            ResolveFillLocked(l, t, r, b, bOpaque);
        }
    }
    // Whether every pixel of [l, r) x [t, b) waits for a fill by dwRaw; whether (x, y) does.
    bool IsFillWaiting(int l, int t, int r, int b, uint32_t dwRaw);
    bool IsFillWaiting(int x, int y);
    // A copy of another surface's pixels that waits, as a fill does (see WaitCopy): done now.
    void RunWaitingCopyNow();
    // The attached Z buffer, not referenced; null when none.
    CDDSurface* AttachedZBuffer() const;
    // Shows the primary's pixels on the host after a change (nothing for other surfaces).
    void NotifyChanged();
    // Before the pixels are handed out for writing (lock, device context): a primary whose buffer
    // the host keeps as its last frame moves to a copy, so that frame stays as presented.
    void TakeOwnBuffer();
    // Before any write of the pixels: a buffer shared with another surface, since a blit of one
    // whole surface onto the other handed it over instead of copying it, is left to the other.
    void OwnPixels()
    {
        if (m_bShared.exchange(false)) {
            TakeOwnBuffer();
        }
    }
    // The object from an interface pointer of ours (every surface is one of ours).
    static CDDSurface* From(IDirectDrawSurface7* p) { return static_cast<CDDSurface*>(p); }

private:
    CDDSurface() = default;
    ~CDDSurface() override;
    // Destination rectangle of a blit in the surface's own coordinates (screen coordinates on a
    // clipped primary are moved by the window's client origin).
    RECT ToSurfaceRect(const RECT& rc) const;
    void ResolveFillLocked(int l, int t, int r, int b, bool bOpaque);
    BLTPLANE Plane() { return BLTPLANE{m_pBits.get(), (long)m_lPitch, m_nWidth, m_nHeight, m_eKind}; }
    HRESULT FillRect(const RECT& rcDest, DWORD dwColor);
    // A blit of all of pSrc onto all of this primary, as it is, when nothing has the pixels out: the
    // buffer is shared rather than copied (and this one's kept for pSrc to move to). False when the
    // blit is not such a one.
    bool ShareWholeCopy(CDDSurface* pSrc, const BLTJOB& job, const RECT& rcSrc);
    // An opaque copy at one scale from another surface waits, with the fill under it, until the
    // pixels are next looked at or written (every such path resolves the fill first), or until its
    // source is written. The frame's far background comes as two such copies side by side on the
    // same rows: when the second comes while the first waits, the two are done together, row by
    // row, so the frame is written once from top to bottom and the fill at their seam is never
    // done. False when the blit is not such a copy, or the source is read by another waiting copy.
    bool WaitCopy(CDDSurface* pSrc, const BLTJOB& job);
    // Under m_fillLock: does the waiting copy, if any.
    void RunWaitingCopy();
    // Under m_fillLock: the waiting copy and the copy of job from pSrc, side by side, together.
    void RunCopiesTogether(CDDSurface* pSrc, const BLTJOB& job);
    bool IsBeingWritten() const;
    // Blt with the destination already in surface coordinates.
    HRESULT BltSurfaceRect(const RECT& rcDest, IDirectDrawSurface7* lpSrc, RECT* lpSrcRect, DWORD dwFlags,
                           DDBLTFX* lpFx);

    std::atomic<ULONG> m_nRef{1};
    CDirectDraw* m_pDD = nullptr;  // referenced
    DDSCAPS2 m_ddsCaps = {};
    DDPIXELFORMAT m_ddpf = {};
    PIXELKIND m_eKind = PK_UNKNOWN;
    int m_nWidth = 0;
    int m_nHeight = 0;
    LONG m_lPitch = 0;
    // Shared with a host that keeps the last frame, and with another surface after a whole copy.
    std::shared_ptr<uint8_t[]> m_pBits;
    std::atomic<bool> m_bShared{false};  // the buffer may be another surface's too
    std::shared_ptr<uint8_t[]> m_pSpare;  // a buffer of the same size to move to when it is free
    bool m_bSrcKey = false;
    bool m_bDestKey = false;
    DDCOLORKEY m_ckSrcBlt = {};
    DDCOLORKEY m_ckDestBlt = {};
    IDirectDrawClipper* m_pClipper = nullptr;  // referenced
    std::vector<CDDSurface*> m_attached;       // referenced
    DDSURFACEDC m_dc = {};
    bool m_bDCOut = false;
    int m_nLocks = 0;
    bool m_bLockedForWriting = false;
    // The derived forms and their use counts since the last write, under m_derivedLock;
    // m_bDerivedState tells a writer whether there is anything to drop.
    std::mutex m_derivedLock;
    std::atomic<bool> m_bDerivedState{false};
    std::unique_ptr<CKeySpans> m_pKeySpans;
    std::unique_ptr<CNonBlackBounds> m_pBounds;
    int m_nKeyedUses = 0;
    int m_nTextureUses = 0;
    std::atomic<bool> m_bUniform{false};
    uint16_t m_wUniform = 0;
    // The waiting fill, under m_fillLock (taken again by the buffer moves within it).
    std::recursive_mutex m_fillLock;
    CPendingFill m_pendingFill;
    // Set while a fill or a copy waits.
    std::atomic<bool> m_bFillWaiting{false};
    // The waiting copy, under m_fillLock: its source (referenced) and job; null when none.
    CDDSurface* m_pCopySrc = nullptr;
    BLTJOB m_copyJob = {};
    // The surface whose waiting copy reads this one: a write here does that copy first.
    std::atomic<CDDSurface*> m_pCopyReader{nullptr};
};

class CDirectDraw final : public IDirectDraw7 {
public:
    CDirectDraw() = default;
    HRESULT QueryInterface(REFIID riid, LPVOID* ppvObj) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateClipper(DWORD dwFlags, IDirectDrawClipper** lplpClipper, IUnknown* pOuter) override;
    HRESULT CreateSurface(DDSURFACEDESC2* lpDesc, IDirectDrawSurface7** lplpSurface, IUnknown* pOuter) override;
    HRESULT DuplicateSurface(IDirectDrawSurface7* lpSrc, IDirectDrawSurface7** lplpDup) override;
    HRESULT FlipToGDISurface() override;
    HRESULT GetCaps(DDCAPS* lpDriverCaps, DDCAPS* lpHELCaps) override;
    HRESULT GetDisplayMode(DDSURFACEDESC2* lpDesc) override;
    HRESULT SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override;
    HRESULT SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, DWORD dwRefreshRate, DWORD dwFlags) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT GetAvailableVidMem(DDSCAPS2* lpCaps, DWORD* lpdwTotal, DWORD* lpdwFree) override;
    HRESULT TestCooperativeLevel() override;
    HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* lpId, DWORD dwFlags) override;

    int ModeWidth() const { return m_nModeWidth; }
    int ModeHeight() const { return m_nModeHeight; }
    // Called by a primary surface as it goes, so that a new one may be made.
    void ForgetPrimary(CDDSurface* pSurface);

private:
    ~CDirectDraw() override = default;

    std::atomic<ULONG> m_nRef{1};
    HWND m_hWnd = nullptr;
    DWORD m_dwCoopFlags = 0;
    int m_nModeWidth = 640;
    int m_nModeHeight = 480;
    std::atomic<CDDSurface*> m_pPrimary{nullptr};
};

// The fixed video-memory figure every query reports (bytes).
constexpr DWORD kVideoMemoryBytes = 32u * 1024u * 1024u;
