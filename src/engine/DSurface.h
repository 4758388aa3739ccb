// Owners of off-screen picture surfaces: CDSurface holds one picture; CDSurfaceEx adds its mirrored
// copy and the flash copies of both; CDSurfaceCache keeps loaded bitmaps by path.
#pragma once
#include <mutex>

#include "engine/SurfaceUtil.h"
#include "rvm/rvm_stl.h"

// A new plane surface holding the source (or its rectangle); a failed video-memory attempt is
// repeated in system memory. Null when the surface or the copy fails.
IDirectDrawSurface7* CreateSurfaceCopy(IDirectDraw7* lpDD, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag);
IDirectDrawSurface7* CreateSurfaceCopyByDevice(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc,
                                               const RECT* prc, int nMemFlag);

class CDSurface {
public:
    CDSurface() = default;
    virtual ~CDSurface() { CDSurface::Release(); }
    CDSurface(const CDSurface&) = delete;
    CDSurface& operator=(const CDSurface&) = delete;

    // A copy of the source (or its rectangle) in the memory the flag asks for.
    virtual int Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag);
    // Releases the surface; width and height become 0.
    virtual void Release();

    // Takes ownership of the surface; 0 for null.
    int Attach(IDirectDrawSurface7* lpSurface);
    int LoadFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, const RECT* prc, int nMemFlag);
    int LoadFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc, int nMemFlag);
    void SetColorKeyGreen();
    void GetSize(int* pnWidth, int* pnHeight) const;
    int FillColor(float fRed, float fGreen, float fBlue);
    // Pure green (the colour key) with the lines of text on it, one below another from (2, 4), in
    // white with a shadow at the height given; 0 without a surface.
    int WriteTextLines(const char* const* ppLines, int nLines, int nHeight);
    IDirectDrawSurface7* GetSurface() const { return m_lpSurface; }
    // Onto the held surface.
    int Blt(RECT* prcDest, IDirectDrawSurface7* lpSrc, RECT* prcSrc, DWORD dwFlags, DDBLTFX* lpFx);
    // From the held surface onto another.
    int BltTo(IDirectDrawSurface7* lpDest, RECT* prcDest, RECT* prcSrc, DWORD dwFlags, DDBLTFX* lpFx);

protected:
    IDirectDrawSurface7* m_lpSurface = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

class CDSurfaceEx : public CDSurface {
public:
    enum { IMAGE_NORMAL = 0, IMAGE_MIRROR = 1, IMAGE_FLASH = 16, IMAGE_FLASH_MIRROR = 17 };

    CDSurfaceEx() = default;
    ~CDSurfaceEx() override { CDSurfaceEx::Release(); }

    // The picture (green key), its left-right mirror (green key) and the flash copies of both.
    int Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag) override;
    void Release() override;
    // Bit 0 mirrored, bit 4 flash; null for any other kind.
    IDirectDrawSurface7* GetImage(int nKind) const;
    void SetFlag() { m_dwFlags |= 1; }
    void ClearFlag() { m_dwFlags &= ~1u; }

private:
    IDirectDrawSurface7* m_lpMirror = nullptr;
    IDirectDrawSurface7* m_lpFlash = nullptr;
    IDirectDrawSurface7* m_lpFlashMirror = nullptr;
    DWORD m_dwFlags = 0;
};

class CDSurfaceCache {
public:
    virtual ~CDSurfaceCache() = default;
    static int Load(IDirect3DDevice7* lpDevice, const char* pszPath, int nMemFlag);
    // A duplicate of the cached picture (loaded on a miss), owned by the caller.
    static IDirectDrawSurface7* Get(IDirect3DDevice7* lpDevice, const char* pszPath, int nMemFlag);
    // Releases every cached picture (shutdown and each stage load).
    static void ClearAll();
    static size_t Count();

private:
    static rvm::map<rvm::string, IDirectDrawSurface7*> s_Map;
    static std::mutex s_Mutex;
};
