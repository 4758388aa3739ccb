// Device set-up answers, state blocks, texture formats, D3DX helpers and object lifetimes.
#include "GfxFixture.h"
#include "platform/d3d/D3DObjects.h"
#include "platform/d3d/Rasterizer.h"

namespace {

class DeviceStateTest : public GfxTest {};

DWORD RS(IDirect3DDevice7* p, D3DRENDERSTATETYPE s)
{
    DWORD v = 0xDEAD;
    p->GetRenderState(s, &v);
    return v;
}

TEST_F(DeviceStateTest, BlockRecordsOnlyWhatIsSetAndDoesNotApplyWhileRecording)
{
    m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    ASSERT_EQ(m_pDev->BeginStateBlock(), D3D_OK);
    EXPECT_EQ(m_pDev->BeginStateBlock(), D3DERR_INBEGINSTATEBLOCK);
    m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);  // the last value counts
    m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    DWORD dwAdd = 0;
    ASSERT_EQ(m_pDev->EndStateBlock(&dwAdd), D3D_OK);
    EXPECT_NE(dwAdd, 0u);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_LIGHTING), (DWORD)TRUE);  // recording applied nothing
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_ALPHABLENDENABLE), (DWORD)FALSE);

    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    ASSERT_EQ(m_pDev->ApplyStateBlock(dwAdd), D3D_OK);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_LIGHTING), (DWORD)FALSE);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_ALPHABLENDENABLE), (DWORD)TRUE);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_SRCBLEND), (DWORD)D3DBLEND_SRCALPHA);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_ZWRITEENABLE), (DWORD)FALSE);  // not in the block: untouched
    DWORD dwOp = 0;
    m_pDev->GetTextureStageState(0, D3DTSS_COLOROP, &dwOp);
    EXPECT_EQ(dwOp, (DWORD)D3DTOP_ADD);

    // Capture refreshes the recorded states (only those) from the device.
    m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    m_pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    ASSERT_EQ(m_pDev->CaptureStateBlock(dwAdd), D3D_OK);
    m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    m_pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    m_pDev->ApplyStateBlock(dwAdd);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_LIGHTING), (DWORD)TRUE);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_CULLMODE), (DWORD)D3DCULL_NONE);

    ASSERT_EQ(m_pDev->DeleteStateBlock(dwAdd), D3D_OK);
    EXPECT_EQ(m_pDev->ApplyStateBlock(dwAdd), D3DERR_INVALIDSTATEBLOCK);
    EXPECT_EQ(m_pDev->DeleteStateBlock(dwAdd), D3DERR_INVALIDSTATEBLOCK);
    EXPECT_EQ(m_pDev->ApplyStateBlock(0), D3DERR_INVALIDSTATEBLOCK);
    DWORD dwNone = 0;
    EXPECT_EQ(m_pDev->EndStateBlock(&dwNone), D3DERR_NOTINBEGINSTATEBLOCK);
}

TEST_F(DeviceStateTest, EmptyBlockChangesNothing)
{
    ASSERT_EQ(m_pDev->BeginStateBlock(), D3D_OK);
    DWORD dwEmpty = 0;
    ASSERT_EQ(m_pDev->EndStateBlock(&dwEmpty), D3D_OK);
    ASSERT_EQ(m_pDev->CaptureStateBlock(dwEmpty), D3D_OK);
    DWORD before[D3D_MAX_RENDERSTATES];
    for (DWORD s = 0; s < D3D_MAX_RENDERSTATES; s++) {
        before[s] = RS(m_pDev, (D3DRENDERSTATETYPE)s);
    }
    m_pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    ASSERT_EQ(m_pDev->ApplyStateBlock(dwEmpty), D3D_OK);
    before[D3DRENDERSTATE_CULLMODE] = D3DCULL_CW;
    for (DWORD s = 0; s < D3D_MAX_RENDERSTATES; s++) {
        ASSERT_EQ(RS(m_pDev, (D3DRENDERSTATETYPE)s), before[s]) << "state " << s;
    }
}

TEST_F(DeviceStateTest, DefaultsAreTheDocumentedOnes)
{
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_ZFUNC), (DWORD)D3DCMP_LESSEQUAL);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_ZENABLE), (DWORD)D3DZB_TRUE);  // a Z buffer is attached
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_ZWRITEENABLE), (DWORD)TRUE);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_SRCBLEND), (DWORD)D3DBLEND_ONE);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_DESTBLEND), (DWORD)D3DBLEND_ZERO);
    EXPECT_EQ(RS(m_pDev, D3DRENDERSTATE_COLORKEYENABLE), (DWORD)FALSE);
    DWORD v = 0;
    m_pDev->GetTextureStageState(1, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, (DWORD)D3DTOP_DISABLE);
    EXPECT_EQ(m_pDev->SetRenderState((D3DRENDERSTATETYPE)D3D_MAX_RENDERSTATES, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(m_pDev->SetTextureStageState(D3D_MAX_STAGES, D3DTSS_COLOROP, 0), DDERR_INVALIDPARAMS);
}

TEST_F(DeviceStateTest, TransformsViewportMaterialLightRoundTrip)
{
    D3DXMATRIX t, r, got;
    D3DXMatrixTranslation(&t, 1.0f, 2.0f, 3.0f);
    m_pDev->SetTransform(D3DTRANSFORMSTATE_WORLD, &t);
    D3DXMatrixRotationZ(&r, 0.5f);
    ASSERT_EQ(m_pDev->MultiplyTransform(D3DTRANSFORMSTATE_WORLD, &r), D3D_OK);
    m_pDev->GetTransform(D3DTRANSFORMSTATE_WORLD, &got);
    D3DXMATRIX want;
    D3DXMatrixMultiply(&want, &r, &t);
    EXPECT_EQ(std::memcmp(got.m, want.m, sizeof(want.m)), 0);
    D3DVIEWPORT7 vp = {};
    m_pDev->GetViewport(&vp);
    EXPECT_EQ(vp.dwWidth, 640u);
    D3DLIGHT7 l = {};
    ASSERT_EQ(m_pDev->GetLight(0, &l), D3D_OK);
    EXPECT_EQ(l.dltType, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(m_pDev->GetLight(5, &l), DDERR_INVALIDPARAMS);
    BOOL bOn = FALSE;
    m_pDev->GetLightEnable(0, &bOn);
    EXPECT_TRUE(bOn);
}

TEST_F(DeviceStateTest, EnumerationAnswersAreFixed)
{
    struct SEEN {
        int nDevices = 0;
        DWORD dwDevCaps = 0;
        GUID guid = {};
    } seen;
    m_pD3D->EnumDevices(
        [](LPSTR, LPSTR, D3DDEVICEDESC7* pDesc, LPVOID pCtx) -> HRESULT {
            SEEN* p = static_cast<SEEN*>(pCtx);
            p->nDevices++;
            p->dwDevCaps = pDesc->dwDevCaps;
            p->guid = pDesc->deviceGUID;
            return D3DENUMRET_OK;
        },
        &seen);
    EXPECT_EQ(seen.nDevices, 1);
    EXPECT_FALSE(seen.dwDevCaps & (D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT));
    EXPECT_TRUE(IsSameGUID(seen.guid, IID_IDirect3DRGBDevice));

    std::vector<DDPIXELFORMAT> z;
    m_pD3D->EnumZBufferFormats(IID_IDirect3DRGBDevice,
                               [](DDPIXELFORMAT* pf, LPVOID pCtx) -> HRESULT {
                                   static_cast<std::vector<DDPIXELFORMAT>*>(pCtx)->push_back(*pf);
                                   return D3DENUMRET_OK;
                               },
                               &z);
    ASSERT_EQ(z.size(), 1u);
    EXPECT_EQ(z[0].dwFlags, (DWORD)DDPF_ZBUFFER);
    EXPECT_EQ(z[0].dwZBufferBitDepth, 16u);

    D3DDEVICEDESC7 desc = {};
    m_pDev->GetCaps(&desc);
    EXPECT_EQ(desc.dpcTriCaps.dwTextureCaps & (D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY), 0u);
    SetDeviceExtraTextureCaps(D3DPTEXTURECAPS_SQUAREONLY);
    m_pDev->GetCaps(&desc);
    EXPECT_TRUE(desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
    SetDeviceExtraTextureCaps(0);
    const DWORD dwBlend = D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA | D3DPBLENDCAPS_ONE |
                          D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_INVDESTCOLOR | D3DPBLENDCAPS_DESTCOLOR;
    EXPECT_EQ(desc.dpcTriCaps.dwSrcBlendCaps & dwBlend, dwBlend);
    EXPECT_EQ(desc.dwDeviceRenderBitDepth, (DWORD)DDBD_16);
}

// The device set-up keeps formats of 16 bits or more in enumeration order and takes, in three
// passes, the first with alpha whose alpha mask is not 0xF000 at the screen depth.
TEST_F(DeviceStateTest, TextureFormatsInOrderAndAlphaChoiceIsA1R5G5B5)
{
    std::vector<DDPIXELFORMAT> f;
    m_pDev->EnumTextureFormats(
        [](DDPIXELFORMAT* pf, LPVOID pCtx) -> HRESULT {
            static_cast<std::vector<DDPIXELFORMAT>*>(pCtx)->push_back(*pf);
            return D3DENUMRET_OK;
        },
        &f);
    ASSERT_EQ(f.size(), 5u);
    const DWORD masks[5][5] = {{16, 0, 0xF800, 0x07E0, 0x001F},
                               {16, 0, 0x7C00, 0x03E0, 0x001F},
                               {16, 0x8000, 0x7C00, 0x03E0, 0x001F},
                               {16, 0xF000, 0x0F00, 0x00F0, 0x000F},
                               {32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF}};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(f[i].dwRGBBitCount, masks[i][0]);
        EXPECT_EQ(f[i].dwRGBAlphaBitMask, masks[i][1]);
        EXPECT_EQ(f[i].dwRBitMask, masks[i][2]);
        EXPECT_EQ(f[i].dwGBitMask, masks[i][3]);
        EXPECT_EQ(f[i].dwBBitMask, masks[i][4]);
        EXPECT_EQ((f[i].dwFlags & DDPF_ALPHAPIXELS) != 0, masks[i][1] != 0);
    }
    int nChosen = -1;
    for (int nPass = 0; nPass < 3 && nChosen < 0; nPass++) {
        for (int i = 0; i < 5 && nChosen < 0; i++) {
            const bool bAlpha = (f[i].dwFlags & DDPF_ALPHAPIXELS) != 0;
            const bool bMask = nPass > 0 || f[i].dwRGBAlphaBitMask != 0xF000;
            const bool bDepth = nPass > 1 || f[i].dwRGBBitCount == 16;
            if (bAlpha && bMask && bDepth) {
                nChosen = i;
            }
        }
    }
    EXPECT_EQ(nChosen, 2);
    // A texture in every offered format can be made and bound.
    for (const DDPIXELFORMAT& pf : f) {
        IDirectDrawSurface7* pTex = MakeSurface(m_pDD, 8, 8, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, &pf);
        ASSERT_NE(pTex, nullptr);
        EXPECT_EQ(m_pDev->SetTexture(0, pTex), D3D_OK);
        EXPECT_EQ(DrawQuad(0, 0, 8, 8, 0.0f, 0xFFFFFFFF), D3D_OK);
        m_pDev->SetTexture(0, nullptr);
        EXPECT_EQ(pTex->Release(), 0u);
    }
}

TEST_F(DeviceStateTest, DeviceHoldsItsSurfacesUntilReleased)
{
    IDirectDrawSurface7* pTarget = nullptr;
    ASSERT_EQ(m_pDev->GetRenderTarget(&pTarget), D3D_OK);
    EXPECT_EQ(pTarget, m_pBack);
    void* pv = nullptr;
    pTarget->GetDDInterface(&pv);
    EXPECT_EQ(pv, m_pDD);
    static_cast<IDirectDraw7*>(pv)->Release();
    pTarget->Release();
    IDirectDrawSurface7* pTex = MakeSurface(m_pDD, 4, 4, DDSCAPS_TEXTURE);
    m_pDev->SetTexture(0, pTex);
    EXPECT_EQ(pTex->Release(), 1u);  // the device keeps it
    IDirectDrawSurface7* pGot = nullptr;
    m_pDev->GetTexture(0, &pGot);
    EXPECT_EQ(pGot, pTex);
    pGot->Release();
    // Releasing in the holder's order (Z, device, Direct3D, back buffer, DirectDraw) frees all;
    // the sanitizer build checks there is no leak and no double free.
    EXPECT_EQ(m_pZ->Release(), 2u);  // attached to the back buffer, and held by the device
    m_pZ = nullptr;
    EXPECT_EQ(m_pDev->Release(), 0u);  // drops the texture too
    m_pDev = nullptr;
}

TEST(D3DXTest, OrthoIsLeftHanded)
{
    D3DXMATRIX m;
    D3DXMatrixOrtho(&m, 640.0f, 480.0f, 1.0f, 1000.0f);
    EXPECT_EQ(m._11, 2.0f / 640.0f);
    EXPECT_EQ(m._22, 2.0f / 480.0f);
    EXPECT_EQ(m._33, 1.0f / 999.0f);
    EXPECT_EQ(m._43, 1.0f / -999.0f);
    EXPECT_EQ(m._44, 1.0f);
    EXPECT_EQ(m._34, 0.0f);
    EXPECT_EQ(m._41, 0.0f);
}

TEST(D3DXTest, ErrorNamesAndFileProbe)
{
    EXPECT_STREQ(DXGetErrorName(D3DERR_INVALIDVERTEXFORMAT), "D3DERR_INVALIDVERTEXFORMAT");
    EXPECT_STREQ(DXGetErrorName(DDERR_EXCLUSIVEMODEALREADYSET), "DDERR_EXCLUSIVEMODEALREADYSET");
    EXPECT_STREQ(DXGetErrorName(DDERR_INVALIDPARAMS), "DDERR_INVALIDPARAMS");
    EXPECT_STREQ(DXGetErrorName(MAKE_DDHRESULT(781)), "D3DRMERR_BADOBJECT");
    EXPECT_EQ(DXGetErrorName((HRESULT)0x80001234), nullptr);
    char sz[16];
    EXPECT_EQ(D3DXGetErrorStringA(D3DERR_SCENE_IN_SCENE, sz, sizeof(sz)), S_OK);
    EXPECT_STREQ(sz, "D3DERR_SCENE_IN");  // cut to the buffer, always terminated
    EXPECT_EQ(D3DXGetErrorStringA(0, nullptr, 0), E_INVALIDARG);
    IDirectXFile* pFile = nullptr;
    ASSERT_EQ(DirectXFileCreate(&pFile), S_OK);
    EXPECT_EQ(pFile->Release(), 0u);
}

} // namespace
