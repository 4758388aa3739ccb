#include <gtest/gtest.h>

#include "engine/EnumDriver.h"
#include "engine/RenderState.h"
#include "support/DeviceFixture.h"

namespace {

int Count(const std::string& strText, const std::string& strWhat)
{
    int n = 0;
    for (size_t at = strText.find(strWhat); at != std::string::npos; at = strText.find(strWhat, at + 1)) {
        n++;
    }
    return n;
}

} // namespace

using DeviceSetUp = CDeviceFixture;

TEST_F(DeviceSetUp, ReportDescribesTheSoftwareDeviceInOrder)
{
    const std::string strReport = ReadFile("debug.txt");
    ASSERT_EQ(strReport.rfind("画面 = 640 × 480\n", 0), 0u) << strReport;
    const char* const kInOrder[] = {
        "ウィンドウ表示 / 16ビットカラー\n",
        "使用可能VRAM = ",
        "表画面の生成 = VRAM\n",
        "裏画面の生成 = VRAM\n",
        "クリップの生成 = OK / 表画面\n\n",
        "ピクセル情報(R:G:B) = 1f:3f:1f / f800:07e0:001f\n\n",
        "Ｚバッファ = 16ビット",
        "アルファ付きテクスチャー = 16 ビット / 8000:7c00:03e0:001f\n",
        "3D初期化後のVRAM空き = ",
        "ビデオカード = \n",
        "DirectDraw HEL\n",
        "Direct3D HEL\n",
        "\n……　初期化完了　……\n\n",
        "CPU Vendor : ",
        "Platform : ",
    };
    size_t at = 0;
    for (const char* pszLine : kInOrder) {
        const size_t found = strReport.find(pszLine, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << pszLine << "\n" << strReport;
        at = found;
    }
    // Without a device identifier (no 3D hardware) the identifier block is left out.
    EXPECT_EQ(strReport.find("Device information"), std::string::npos);
}

TEST_F(DeviceSetUp, AStartOverwritesTheReportOfTheRunBefore)
{
    CRenderState::DeletePresets(g_lpD3DDevice);
    ReleaseDeviceObjects();
    CEnumDriver::DeleteInstance();
    ASSERT_EQ(InitDirectDraw(nullptr, m_hWnd, 0), 1);
    ASSERT_EQ(InitDirect3D(m_hWnd), 1);
    const std::string strReport = ReadFile("debug.txt");
    EXPECT_EQ(Count(strReport, "画面 = 640 × 480"), 1);
    EXPECT_EQ(Count(strReport, "初期化完了"), 1);
}

TEST_F(DeviceSetUp, AlphaTexturesUseOneBitAlphaAtScreenDepth)
{
    const DDPIXELFORMAT* pFormat = CEnumDriver::GetInstance()->GetAlphaTextureFormat();
    ASSERT_NE(pFormat, nullptr);
    EXPECT_EQ(pFormat->dwRGBBitCount, 16u);
    EXPECT_EQ(pFormat->dwRGBAlphaBitMask, 0x8000u);
    EXPECT_EQ(pFormat->dwRBitMask, 0x7C00u);
    EXPECT_EQ(pFormat->dwGBitMask, 0x03E0u);
    EXPECT_EQ(pFormat->dwBBitMask, 0x001Fu);
}

TEST_F(DeviceSetUp, HandsOutReferencesTheCallerReleases)
{
    CEnumDriver* pDriver = CEnumDriver::GetInstance();
    IDirect3DDevice7* lpDevice = pDriver->GetDevice();
    ASSERT_EQ(lpDevice, g_lpD3DDevice);
    // One reference for the holder, one for the frame's copy, one for ours.
    EXPECT_EQ(lpDevice->AddRef(), 4u);
    lpDevice->Release();
    lpDevice->Release();
}

TEST_F(DeviceSetUp, FrameStatesAreSet)
{
    D3DVIEWPORT7 vp = {};
    ASSERT_TRUE(SUCCEEDED(g_lpD3DDevice->GetViewport(&vp)));
    EXPECT_EQ(vp.dwX, 0u);
    EXPECT_EQ(vp.dwY, 0u);
    EXPECT_EQ(vp.dwWidth, 640u);
    EXPECT_EQ(vp.dwHeight, 480u);
    EXPECT_EQ(vp.dvMaxZ, 1.0f);
    D3DMATRIX view = {};
    g_lpD3DDevice->GetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    EXPECT_EQ(view._41, -320.0f);
    EXPECT_EQ(view._42, 240.0f);
    EXPECT_EQ(view._43, 240.0f);
    D3DMATRIX proj = {};
    g_lpD3DDevice->GetTransform(D3DTRANSFORMSTATE_PROJECTION, &proj);
    EXPECT_EQ(proj._11, 2.0f / 640.0f);
    EXPECT_EQ(proj._22, 2.0f / 480.0f);
    DWORD dwOp = 0;
    g_lpD3DDevice->GetTextureStageState(0, D3DTSS_COLOROP, &dwOp);
    EXPECT_EQ(dwOp, static_cast<DWORD>(D3DTOP_MODULATE));
}

TEST_F(DeviceSetUp, ScreenPixelsMapToWorldWithYFlipped)
{
    // A lit white quad placed at screen (10..20, 30..40) as world (x, -y).
    g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    D3DLVERTEX quad[4] = {};
    const float corner[4][2] = {{10, -30}, {20, -30}, {20, -40}, {10, -40}};
    for (int i = 0; i < 4; i++) {
        quad[i].x = corner[i][0];
        quad[i].y = corner[i][1];
        quad[i].color = 0xFFFFFFFF;
    }
    g_lpD3DDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    g_lpD3DDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, quad, 4, 0);
    EXPECT_EQ(BackPixel(10, 30), 0xFFFF);
    EXPECT_EQ(BackPixel(19, 39), 0xFFFF);
    EXPECT_EQ(BackPixel(9, 30), 0x0000);
    EXPECT_EQ(BackPixel(20, 35), 0x0000);
    EXPECT_EQ(BackPixel(15, 40), 0x0000);
}

TEST(DeviceErrors, NamesKnownCodesAndAdmitsUnknownOnes)
{
    EXPECT_STREQ(GetErrorName(DDERR_INVALIDRECT), "DDERR_INVALIDRECT");
    EXPECT_STREQ(GetErrorName(static_cast<HRESULT>(0x8876FFFF)), "不明");
}
