// A device set up the way the game sets it up: 640 x 480 RGB565 back buffer with a 16-bit Z buffer,
// orthographic camera where screen pixel (x, y) is world (x, -y), light 0 white along +z.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DX.h"
#include "platform/d3d/Rasterizer.h"
#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/PixelFormat.h"

inline IDirectDrawSurface7* MakeSurface(IDirectDraw7* pDD, int w, int h, DWORD dwCaps = DDSCAPS_OFFSCREENPLAIN,
                                        const DDPIXELFORMAT* pFormat = nullptr)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (pFormat ? DDSD_PIXELFORMAT : 0);
    desc.dwWidth = (DWORD)w;
    desc.dwHeight = (DWORD)h;
    desc.ddsCaps.dwCaps = dwCaps;
    if (pFormat) {
        desc.ddpfPixelFormat = *pFormat;
    }
    IDirectDrawSurface7* p = nullptr;
    return SUCCEEDED(pDD->CreateSurface(&desc, &p, nullptr)) ? p : nullptr;
}

// The screen's surface, as the game asks for it: caps alone, the display's size.
inline IDirectDrawSurface7* MakePrimary(IDirectDraw7* pDD)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface7* p = nullptr;
    return SUCCEEDED(pDD->CreateSurface(&desc, &p, nullptr)) ? p : nullptr;
}

inline uint16_t* Row16(IDirectDrawSurface7* p, int y)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    p->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    p->Unlock(nullptr);
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + (size_t)y * desc.lPitch);
}

inline uint16_t Pixel(IDirectDrawSurface7* p, int x, int y)
{
    return Row16(p, y)[x];
}

inline void FillAll(IDirectDrawSurface7* p, DWORD dwColor)
{
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = dwColor;
    p->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

class GfxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        void* pv = nullptr;
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &pv, IID_IDirectDraw7, nullptr), DD_OK);
        m_pDD = static_cast<IDirectDraw7*>(pv);
        ASSERT_EQ(m_pDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
        m_pBack = MakeSurface(m_pDD, 640, 480, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        ASSERT_NE(m_pBack, nullptr);
        DDPIXELFORMAT zf = {};
        zf.dwSize = sizeof(zf);
        zf.dwFlags = DDPF_ZBUFFER;
        zf.dwZBufferBitDepth = 16;
        zf.dwZBitMask = 0xFFFF;
        m_pZ = MakeSurface(m_pDD, 640, 480, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, &zf);
        ASSERT_NE(m_pZ, nullptr);
        ASSERT_EQ(m_pBack->AddAttachedSurface(m_pZ), DD_OK);
        ASSERT_EQ(m_pDD->QueryInterface(IID_IDirect3D7, &pv), DD_OK);
        m_pD3D = static_cast<IDirect3D7*>(pv);
        ASSERT_EQ(m_pD3D->CreateDevice(IID_IDirect3DRGBDevice, m_pBack, &m_pDev), DD_OK);

        D3DMATERIAL7 mtrl = {};
        mtrl.diffuse = D3DCOLORVALUE{{1.0f}, {1.0f}, {1.0f}, {1.0f}};
        mtrl.ambient = mtrl.diffuse;
        m_pDev->SetMaterial(&mtrl);
        D3DVIEWPORT7 vp = {0, 0, 640, 480, 0.0f, 1.0f};
        ASSERT_EQ(m_pDev->SetViewport(&vp), DD_OK);
        D3DXMATRIX m;
        m_pDev->SetTransform(D3DTRANSFORMSTATE_WORLD, D3DXMatrixIdentity(&m));
        m_pDev->SetTransform(D3DTRANSFORMSTATE_PROJECTION, D3DXMatrixOrtho(&m, 640.0f, 480.0f, 1.0f, 1000.0f));
        m_pDev->SetTransform(D3DTRANSFORMSTATE_VIEW, D3DXMatrixTranslation(&m, -320.0f, 240.0f, 240.0f));
        D3DLIGHT7 light = {};
        light.dltType = D3DLIGHT_DIRECTIONAL;
        light.dcvDiffuse = light.dcvSpecular = light.dcvAmbient = D3DCOLORVALUE{{1.0f}, {1.0f}, {1.0f}, {1.0f}};
        light.dvDirection.z = 1.0f;
        m_pDev->SetLight(0, &light);
        m_pDev->LightEnable(0, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
        m_pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        // Untextured drawing shows the vertex colour; textured tests set their own operations.
        SelectDiffuse();
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    }

    void TearDown() override
    {
        if (m_pDev) {
            m_pDev->Release();
        }
        if (m_pD3D) {
            m_pD3D->Release();
        }
        if (m_pZ) {
            m_pZ->Release();
        }
        if (m_pBack) {
            m_pBack->Release();
        }
        if (m_pDD) {
            m_pDD->Release();
        }
    }

    void SelectDiffuse()
    {
        m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    }

    void ModulateTexture()
    {
        m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    }

    // A lit-vertex quad (fan) of screen rectangle (l, t)-(r, b) at world z, in one colour.
    static void Quad(D3DLVERTEX* v, float l, float t, float r, float b, float z, D3DCOLOR c, float u0 = 0.0f,
                     float v0 = 0.0f, float u1 = 1.0f, float v1 = 1.0f)
    {
        const float xs[4] = {l, r, r, l}, ys[4] = {t, t, b, b};
        const float us[4] = {u0, u1, u1, u0}, vs[4] = {v0, v0, v1, v1};
        for (int i = 0; i < 4; i++) {
            v[i] = D3DLVERTEX{};
            v[i].x = xs[i];
            v[i].y = -ys[i];
            v[i].z = z;
            v[i].color = c;
            v[i].specular = 0;
            v[i].tu = us[i];
            v[i].tv = vs[i];
        }
    }

    HRESULT DrawQuad(float l, float t, float r, float b, float z, D3DCOLOR c)
    {
        D3DLVERTEX v[4];
        Quad(v, l, t, r, b, z, c);
        return m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0);
    }

    // Target and Z buffer, row by row.
    std::vector<uint16_t> Snapshot()
    {
        std::vector<uint16_t> out;
        out.reserve(2 * 640 * 480);
        for (int y = 0; y < 480; y++) {
            out.insert(out.end(), Row16(m_pBack, y), Row16(m_pBack, y) + 640);
            out.insert(out.end(), Row16(m_pZ, y), Row16(m_pZ, y) + 640);
        }
        return out;
    }

    // The Z buffer after draw() with depth always passing and written (the other depth states
    // are left so): the depths a draw of the same geometry will test.
    template <class F>
    std::vector<uint16_t> ProbeDepths(F draw)
    {
        m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
        m_pDev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        draw();
        std::vector<uint16_t> z;
        for (int y = 0; y < 480; y++) {
            z.insert(z.end(), Row16(m_pZ, y), Row16(m_pZ, y) + 640);
        }
        return z;
    }

    // A target of varied colours, and a Z buffer holding, where the probe drew, depths one below,
    // equal to or one above the probe's (so every depth test both passes and fails), and varied
    // depths elsewhere.
    void PaintBackground(const std::vector<uint16_t>& zProbe)
    {
        for (int y = 0; y < 480; y++) {
            uint16_t* pD = Row16(m_pBack, y);
            uint16_t* pZ = Row16(m_pZ, y);
            for (int x = 0; x < 640; x++) {
                const uint32_t h = (uint32_t)(x * 7919 + y * 104729) * 2654435761u;
                pD[x] = (uint16_t)(h >> 16);
                const uint16_t z = zProbe[(size_t)y * 640 + x];
                const int nStep = (int)(h >> 8 & 3) % 3 - 1;
                pZ[x] = z == 0xFFFF ? (uint16_t)(h >> 4) : (uint16_t)std::clamp((int)z + nStep, 0, 0xFFFF);
            }
        }
    }

    // The fade plane's stage: the texture argument, with no texture bound, reads the diffuse colour.
    void FadeStage()
    {
        m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_CURRENT);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_BLENDDIFFUSEALPHA);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    }

    // The fader's draw: full-screen lit quad, no texture, material colour at alpha.
    void Fade(float fLevel, float fAlpha)
    {
        D3DMATERIAL7 mtrl = {};
        mtrl.diffuse = D3DCOLORVALUE{{fLevel}, {fLevel}, {fLevel}, {fAlpha}};
        mtrl.ambient = D3DCOLORVALUE{{fLevel}, {fLevel}, {fLevel}, {0.0f}};
        m_pDev->SetMaterial(&mtrl);
        m_pDev->SetTexture(0, nullptr);
        m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        FadeStage();
        D3DVERTEX v[4] = {};
        const float xs[4] = {0, 640, 640, 0}, ys[4] = {0, 0, -480, -480};
        for (int i = 0; i < 4; i++) {
            v[i].x = xs[i];
            v[i].y = ys[i];
            v[i].nz = -1.0f;
        }
        ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, v, 4, 0), DD_OK);
    }

    uint16_t Px(int x, int y) { return Pixel(m_pBack, x, y); }
    uint16_t Zv(int x, int y) { return Pixel(m_pZ, x, y); }

    IDirectDraw7* m_pDD = nullptr;
    IDirectDrawSurface7* m_pBack = nullptr;
    IDirectDrawSurface7* m_pZ = nullptr;
    IDirect3D7* m_pD3D = nullptr;
    IDirect3DDevice7* m_pDev = nullptr;
};

// A device with one texture of stage 0 (m_pTex, released at the end) and the fast paths turned back
// on after each test.
class TexturedGfxTest : public GfxTest {
protected:
    void TearDown() override
    {
        CRasterizer::EnableFastPaths(true);
        if (m_pDev) {
            m_pDev->SetTexture(0, nullptr);
        }
        if (m_pTex) {
            m_pTex->Release();
        }
        GfxTest::TearDown();
    }

    // A new texture of the kind in m_pTex (the test fails at once when it cannot be made).
    void NewTexture(PIXELKIND eKind, int w, int h)
    {
        const DDPIXELFORMAT pf = MakePixelFormat(eKind);
        m_pTex = MakeSurface(m_pDD, w, h, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, &pf);
        ASSERT_NE(m_pTex, nullptr);
    }

    IDirectDrawSurface7* m_pTex = nullptr;
};
