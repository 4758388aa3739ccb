#include <gtest/gtest.h>

#include <cstring>

#include "engine/BmpLoader.h"
#include "engine/Sprite.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DObjects.h"
#include "platform/d3d/D3DX.h"
#include "support/DeviceFixture.h"

namespace {

void Fill(IDirectDrawSurface7* lpSurface, WORD w)
{
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = w;
    lpSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
}

WORD Texel(IDirectDrawSurface7* lpSurface, int x, int y)
{
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    if (lpSurface->Lock(nullptr, &ddsd, 0, nullptr) != DD_OK) {
        return 0xDEAD;
    }
    WORD w;
    std::memcpy(&w, (uint8_t*)ddsd.lpSurface + (size_t)y * ddsd.lPitch + (size_t)x * 2, 2);
    lpSurface->Unlock(nullptr);
    return w;
}

class SpriteTest : public CDeviceFixture {
protected:
    // Draws the sprite centred on the screen point into a cleared back buffer, colour keying on.
    void DrawAt(CSprite& s, float x, float y)
    {
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        g_lpD3DDevice->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, TRUE);
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, x, -y, 0.0f);
        ASSERT_EQ(g_lpD3DDevice->BeginScene(), D3D_OK);
        EXPECT_EQ(s.Draw(g_lpD3DDevice, &m), 1);
        g_lpD3DDevice->EndScene();
    }

    void TearDown() override
    {
        SetDeviceExtraTextureCaps(0);
        CDeviceFixture::TearDown();
    }
};

} // namespace

TEST(TextureUtil, SizesQuadsAndProjection)
{
    int w = 0, h = 0;
    g_bSquareTextureOnly = 0;
    GetTextureSize(100, 20, &w, &h);
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 32);
    GetTextureSize(1, 1, &w, &h);
    EXPECT_EQ(w * h, 1);
    GetTextureSize(64, 64, &w, &h);
    EXPECT_EQ(w, 64);
    g_bSquareTextureOnly = 1;
    GetTextureSize(100, 20, &w, &h);
    EXPECT_EQ(h, 128);
    g_bSquareTextureOnly = 0;

    D3DLVERTEX v[4];
    MakeQuadVertices(100.0f, 20.0f, v);
    EXPECT_FLOAT_EQ(v[0].x, -50.0f);
    EXPECT_FLOAT_EQ(v[0].y, 10.0f);
    EXPECT_FLOAT_EQ(v[2].x, 50.0f);
    EXPECT_FLOAT_EQ(v[2].y, -10.0f);
    EXPECT_FLOAT_EQ(v[1].tu, 100.0f / 128.0f);
    EXPECT_FLOAT_EQ(v[3].tv, 20.0f / 32.0f);
    EXPECT_EQ(v[0].color, 0xFFFFFFFFu);

    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 5.0f, -3.0f, 2.0f);
    D3DVECTOR p = {{1.0f}, {2.0f}, {3.0f}}, out = {};
    ASSERT_EQ(ProjectPoint(&out, &p, &m), S_OK);
    EXPECT_FLOAT_EQ(out.x, 6.0f);
    EXPECT_FLOAT_EQ(out.y, -1.0f);
    EXPECT_FLOAT_EQ(out.z, 5.0f);
    m._44 = 0.0f;
    out = D3DVECTOR{{9.0f}, {9.0f}, {9.0f}};
    EXPECT_EQ(ProjectPoint(&out, &p, &m), E_INVALIDARG);
    EXPECT_FLOAT_EQ(out.x, 9.0f);
}

TEST_F(SpriteTest, TextureSizesAndQuadFollowTheCaps)
{
    IDirectDrawSurface7* pic = CreateDevicePlaneSurface(g_lpD3DDevice, 24, 10, MEM_SYSTEM);
    Fill(pic, 0xF800);
    SetDeviceExtraTextureCaps(D3DPTEXTURECAPS_POW2);
    CSprite s;
    ASSERT_EQ(s.Create(g_lpD3DDevice, pic, nullptr), 1);
    int w = 0, h = 0;
    s.GetTextureSize(&w, &h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 16);
    const D3DVERTEX* v = s.GetVertices();
    EXPECT_FLOAT_EQ(v[0].x, -12.0f);
    EXPECT_FLOAT_EQ(v[0].y, 5.0f);
    EXPECT_FLOAT_EQ(v[2].x, 12.0f);
    EXPECT_FLOAT_EQ(v[2].y, -5.0f);
    EXPECT_FLOAT_EQ(v[0].tu, 1.0f / 64.0f);
    EXPECT_FLOAT_EQ(v[1].tu, 23.5f / 32.0f);
    EXPECT_FLOAT_EQ(v[0].tv, 1.0f / 32.0f);
    EXPECT_FLOAT_EQ(v[3].tv, 9.5f / 16.0f);
    EXPECT_FLOAT_EQ(v[0].nz, -1.0f);
    SetDeviceExtraTextureCaps(D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY);
    ASSERT_EQ(s.Create(g_lpD3DDevice, pic, nullptr), 1);
    s.GetTextureSize(&w, &h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    s.ResetTexCoords();
    EXPECT_FLOAT_EQ(s.GetVertices()[2].tu, 1.0f);
    pic->Release();
}

TEST_F(SpriteTest, KeyPixelsBecomeTransparentAndTheFlashSpriteKeysOnItsOwnKey)
{
    IDirectDrawSurface7* pic = CreateDevicePlaneSurface(g_lpD3DDevice, 4, 2, MEM_SYSTEM);
    Fill(pic, 0x07E0);
    RECT rc = {1, 0, 2, 1};
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x001F;
    pic->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    CSprite s, flash;
    // Without a texture of its own a sprite cannot key a flash sprite.
    EXPECT_EQ(s.CreateFromSurfaceKeyed(g_lpD3DDevice, pic, &flash), 0);
    ASSERT_EQ(s.Create(g_lpD3DDevice, pic, nullptr), 1);
    DDPIXELFORMAT pf = {};
    pf.dwSize = sizeof(pf);
    s.GetTexture()->GetPixelFormat(&pf);
    ASSERT_NE(pf.dwRGBAlphaBitMask, 0u);
    // The key texel has alpha 0, the blue one full alpha.
    EXPECT_EQ(Texel(s.GetTexture(), 0, 0), pf.dwGBitMask);
    EXPECT_EQ(Texel(s.GetTexture(), 1, 0), pf.dwBBitMask | pf.dwRGBAlphaBitMask);
    EXPECT_EQ(s.GetColorKey(), pf.dwGBitMask);
    ASSERT_EQ(s.CreateFromSurfaceKeyed(g_lpD3DDevice, pic, &flash), 1);
    // Pure green became 0x7FE0 in the flash copy (red 123, green 255 in eight bits); its texels
    // are transparent and the texture's key is that colour in the texture's format.
    const DWORD dwFlashKey = PackColorToFormat(0x7BFF00, pf);
    EXPECT_EQ(Texel(flash.GetTexture(), 0, 0), dwFlashKey);
    EXPECT_EQ(flash.GetColorKey(), dwFlashKey);
    EXPECT_EQ(Texel(flash.GetTexture(), 1, 0) & pf.dwRGBAlphaBitMask, pf.dwRGBAlphaBitMask);
    pic->Release();
}

TEST_F(SpriteTest, NearGreenThatNarrowsOntoTheKeyStaysVisible)
{
    // Left column the key, right column green 62 of 63: not the key, but the same colour as the
    // key once green is narrowed to the texture's five bits.
    IDirectDrawSurface7* pic = CreateDevicePlaneSurface(g_lpD3DDevice, 2, 2, MEM_SYSTEM);
    Fill(pic, 0x07E0);
    RECT right = {1, 0, 2, 2};
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x07C0;
    pic->Blt(&right, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    CSprite s;
    ASSERT_EQ(s.Create(g_lpD3DDevice, pic, nullptr), 1);
    DDPIXELFORMAT pf = {};
    pf.dwSize = sizeof(pf);
    s.GetTexture()->GetPixelFormat(&pf);
    const DWORD dwColour = pf.dwRBitMask | pf.dwGBitMask | pf.dwBBitMask;
    EXPECT_NE(Texel(s.GetTexture(), 1, 0) & dwColour, s.GetColorKey() & dwColour);
    EXPECT_EQ(Texel(s.GetTexture(), 1, 0) & pf.dwRGBAlphaBitMask, pf.dwRGBAlphaBitMask);
    EXPECT_EQ(Texel(s.GetTexture(), 0, 0), s.GetColorKey());
    DrawAt(s, 100.0f, 50.0f);
    EXPECT_EQ(BackPixel(99, 49), 0x0000);  // the key column
    EXPECT_NE(BackPixel(100, 49), 0x0000);
    EXPECT_NE(BackPixel(100, 50), 0x0000);
    pic->Release();
}

TEST_F(SpriteTest, DrawPlacesThePictureCentredOnTheScreenPoint)
{
    IDirectDrawSurface7* pic = CreateDevicePlaneSurface(g_lpD3DDevice, 24, 10, MEM_SYSTEM);
    Fill(pic, 0x001F);
    RECT corner = {0, 0, 1, 1};
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x07E0;
    pic->Blt(&corner, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    CSprite s;
    ASSERT_EQ(s.Create(g_lpD3DDevice, pic, nullptr), 1);
    DrawAt(s, 100.0f, 50.0f);
    EXPECT_EQ(BackPixel(88, 45), 0x0000);   // the keyed corner
    EXPECT_EQ(BackPixel(89, 45), 0x001F);
    EXPECT_EQ(BackPixel(111, 54), 0x001F);
    EXPECT_EQ(BackPixel(87, 50), 0x0000);
    EXPECT_EQ(BackPixel(112, 50), 0x0000);
    EXPECT_EQ(BackPixel(100, 44), 0x0000);
    EXPECT_EQ(BackPixel(100, 55), 0x0000);
    // The world transform and texture are back as they were.
    D3DMATRIX world;
    g_lpD3DDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    EXPECT_FLOAT_EQ(world._41, 0.0f);
    IDirectDrawSurface7* lpTex = nullptr;
    g_lpD3DDevice->GetTexture(0, &lpTex);
    EXPECT_EQ(lpTex, nullptr);
    DWORD dwZ = 0;
    g_lpD3DDevice->GetRenderState(D3DRENDERSTATE_ZWRITEENABLE, &dwZ);
    EXPECT_EQ(dwZ, (DWORD)TRUE);
    pic->Release();
}
