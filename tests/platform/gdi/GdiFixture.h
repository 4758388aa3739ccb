// Surfaces to draw text and bitmaps on, through their device contexts.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/ddraw/DDraw.h"
#include "platform/gdi/Gdi.h"

// "ＭＳ ゴシック" as the game writes it: code page 932 bytes.
#define FACE_MS_GOTHIC "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"
#define FACE_UI_GOTHIC "MS UI Gothic"

class GdiTest : public ::testing::Test {
public:
    // Every pixel of a 16-bit surface, row by row.
    static std::vector<uint16_t> Pixels16(IDirectDrawSurface7* p);

protected:
    void SetUp() override
    {
        void* pv = nullptr;
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &pv, IID_IDirectDraw7, nullptr), DD_OK);
        m_pDD = static_cast<IDirectDraw7*>(pv);
        ASSERT_EQ(m_pDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    }
    void TearDown() override
    {
        for (IDirectDrawSurface7* p : m_surfaces) {
            p->Release();
        }
        if (m_pDD) {
            m_pDD->Release();
        }
    }

    // An off-screen plain surface in the display format (RGB565) or the given one, filled.
    IDirectDrawSurface7* Surface(int w, int h, uint32_t dwFill, const DDPIXELFORMAT* pFormat = nullptr)
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (pFormat ? DDSD_PIXELFORMAT : 0);
        desc.dwWidth = static_cast<DWORD>(w);
        desc.dwHeight = static_cast<DWORD>(h);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | (pFormat ? DDSCAPS_TEXTURE : 0);
        if (pFormat) {
            desc.ddpfPixelFormat = *pFormat;
        }
        IDirectDrawSurface7* p = nullptr;
        EXPECT_EQ(m_pDD->CreateSurface(&desc, &p, nullptr), DD_OK);
        if (!p) {
            return nullptr;
        }
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = dwFill;
        p->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        m_surfaces.push_back(p);
        return p;
    }

    // A new w x h surface filled with dwFill, then w x h pixels of the context copied onto it.
    std::vector<uint16_t> CopyOut(HDC hSrc, int w, int h, uint32_t dwFill)
    {
        IDirectDrawSurface7* p = Surface(w, h, dwFill);
        HDC hdc = nullptr;
        EXPECT_EQ(p->GetDC(&hdc), DD_OK);
        EXPECT_TRUE(BitBlt(hdc, 0, 0, w, h, hSrc, 0, 0, SRCCOPY));
        GdiReleaseSurfaceDC(hdc);
        p->ReleaseDC(hdc);
        return Pixels16(p);
    }
    // BitBlt between two surfaces' contexts.
    static BOOL CopyBetween(IDirectDrawSurface7* pDst, int x, int y, int w, int h, IDirectDrawSurface7* pSrc, int sx,
                            int sy)
    {
        HDC hs = nullptr, hd = nullptr;
        EXPECT_EQ(pSrc->GetDC(&hs), DD_OK);
        EXPECT_EQ(pDst->GetDC(&hd), DD_OK);
        const BOOL bOk = BitBlt(hd, x, y, w, h, hs, sx, sy, SRCCOPY);
        GdiReleaseSurfaceDC(hs);
        GdiReleaseSurfaceDC(hd);
        pSrc->ReleaseDC(hs);
        pDst->ReleaseDC(hd);
        return bOk;
    }

    IDirectDraw7* m_pDD = nullptr;
    std::vector<IDirectDrawSurface7*> m_surfaces;
};

inline std::vector<uint16_t> GdiTest::Pixels16(IDirectDrawSurface7* p)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    std::vector<uint16_t> out;
    if (FAILED(p->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) {
        return out;
    }
    for (DWORD y = 0; y < desc.dwHeight; y++) {
        const uint16_t* pRow =
            reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch);
        out.insert(out.end(), pRow, pRow + desc.dwWidth);
    }
    p->Unlock(nullptr);
    return out;
}

inline HFONT GameFont(int nHeight, const char* pszFace = FACE_UI_GOTHIC)
{
    return CreateFontA(nHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN, pszFace);
}

inline const MAT2& IdentityMat2()
{
    static const MAT2 m = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    return m;
}
