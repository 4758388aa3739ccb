#include <gtest/gtest.h>

#include "engine/FadePlane.h"
#include "engine/RenderState.h"
#include "support/DeviceFixture.h"

namespace {

int UpdatesUntilDone(CFadePlane& fade)
{
    int n = 0;
    while (!fade.IsDone() && n < 1000) {
        fade.Update();
        n++;
    }
    return n;
}

CFadePlane StartedFade(int nKind)
{
    CFadePlane fade;
    fade.Init();
    fade.SetKind(nKind);
    fade.Start();
    return fade;
}

} // namespace

TEST(FadePlane, RisingFadesFinishOnTheHundredAndFirstStepAtExactlyOne)
{
    for (int nKind : {CFadePlane::KIND_OUT_WHITE, CFadePlane::KIND_OUT_BLACK}) {
        CFadePlane fade = StartedFade(nKind);
        EXPECT_EQ(fade.GetAlpha(), 0.0f);
        for (int i = 0; i < 100; i++) {
            fade.Update();
        }
        // Single-precision steps of 0.01 stay just under 1 after a hundred.
        EXPECT_FALSE(fade.IsDone());
        EXPECT_EQ(fade.GetAlpha(), 0.99999934f);
        fade.Update();
        EXPECT_TRUE(fade.IsDone());
        EXPECT_EQ(fade.GetAlpha(), 1.0f);
    }
}

TEST(FadePlane, FallingFadesFinishOnTheNinetyFirstStepAtExactlyZero)
{
    for (int nKind : {CFadePlane::KIND_IN_WHITE, CFadePlane::KIND_IN_BLACK}) {
        CFadePlane fade = StartedFade(nKind);
        EXPECT_EQ(fade.GetAlpha(), 1.0f);
        for (int i = 0; i < 90; i++) {
            fade.Update();
        }
        EXPECT_FALSE(fade.IsDone());
        EXPECT_EQ(fade.GetAlpha(), 0.10000066f);
        fade.Update();
        EXPECT_TRUE(fade.IsDone());
        EXPECT_EQ(fade.GetAlpha(), 0.0f);
    }
    CFadePlane fade = StartedFade(CFadePlane::KIND_IN_BLACK);
    EXPECT_EQ(UpdatesUntilDone(fade), 91);
}

TEST(FadePlane, KindsSetColourAndDirection)
{
    struct {
        int nKind;
        float fColour;
        float fAlpha;
    } const kCases[] = {{0, 1.0f, 0.0f}, {1, 1.0f, 1.0f}, {2, 0.0f, 0.0f}, {3, 0.0f, 1.0f}};
    for (const auto& c : kCases) {
        CFadePlane fade = StartedFade(c.nKind);
        EXPECT_EQ(fade.m_fColor[0], c.fColour);
        EXPECT_EQ(fade.m_fColor[1], c.fColour);
        EXPECT_EQ(fade.m_fColor[2], c.fColour);
        EXPECT_EQ(fade.GetAlpha(), c.fAlpha);
        EXPECT_FALSE(fade.IsDone());
    }
}

TEST(FadePlane, AnUnknownKindStartsNothingAndWaitsForStop)
{
    // Before, after a finished fade, and in the middle of one: the picture stays as it stands.
    for (int nKind : {-1, 4, 7}) {
        for (int nStepsBefore : {0, 200, 30}) {
            CFadePlane fade = StartedFade(nStepsBefore == 30 ? CFadePlane::KIND_IN_BLACK : CFadePlane::KIND_OUT_WHITE);
            for (int i = 0; i < nStepsBefore; i++) {
                fade.Update();
            }
            const float fAlpha = fade.GetAlpha();
            const float fColour = fade.m_fColor[0];
            fade.SetKind(nKind);
            fade.Start();
            for (int i = 0; i < 300; i++) {
                fade.Update();
            }
            EXPECT_FALSE(fade.IsDone()) << nKind << " after " << nStepsBefore;
            EXPECT_EQ(fade.GetAlpha(), fAlpha);
            EXPECT_EQ(fade.m_fColor[0], fColour);
            fade.Stop();
            EXPECT_TRUE(fade.IsDone());
            // A known kind afterwards fades as ever.
            fade.SetKind(CFadePlane::KIND_OUT_BLACK);
            fade.Start();
            EXPECT_EQ(UpdatesUntilDone(fade), 101);
        }
    }
}

TEST(FadePlane, StopEndsAFadeWhereItStands)
{
    CFadePlane fade = StartedFade(CFadePlane::KIND_OUT_BLACK);
    for (int i = 0; i < 10; i++) {
        fade.Update();
    }
    fade.Stop();
    const float fAlpha = fade.GetAlpha();
    fade.Update();
    EXPECT_TRUE(fade.IsDone());
    EXPECT_EQ(fade.GetAlpha(), fAlpha);
}

class FadePlaneDraw : public CDeviceFixture {
protected:
    // One frame as the loop runs it: an update pass, then a render pass.
    void RunFrame(CFadePlane& fade)
    {
        g_bUpdateOnly = 1;
        fade.Draw(g_lpD3DDevice);
        g_bUpdateOnly = 0;
        g_lpD3DDevice->BeginScene();
        fade.Draw(g_lpD3DDevice);
        g_lpD3DDevice->EndScene();
    }
};

TEST_F(FadePlaneDraw, OnlyTheUpdatePassStepsTheFade)
{
    CFadePlane fade = StartedFade(CFadePlane::KIND_OUT_BLACK);
    g_bUpdateOnly = 0;
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(fade.Draw(g_lpD3DDevice), 1);
    }
    EXPECT_EQ(fade.GetAlpha(), 0.0f);
    RunFrame(fade);
    RunFrame(fade);
    EXPECT_EQ(fade.GetAlpha(), 0.02f);
}

TEST_F(FadePlaneDraw, FinishedFadesCoverTheScreenInTheirColour)
{
    struct {
        int nKind;
        WORD wExpected;
    } const kCases[] = {{CFadePlane::KIND_OUT_BLACK, 0x0000}, {CFadePlane::KIND_OUT_WHITE, 0xFFFF}};
    for (const auto& c : kCases) {
        CFadePlane fade = StartedFade(c.nKind);
        int nFrames = 0;
        while (!fade.IsDone() && nFrames < 200) {
            RunFrame(fade);
            nFrames++;
        }
        EXPECT_EQ(nFrames, 101);
        FillBack(0x1234);
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        g_bUpdateOnly = 0;
        fade.Draw(g_lpD3DDevice);
        for (int y : {0, 239, 479}) {
            for (int x : {0, 320, 639}) {
                EXPECT_EQ(BackPixel(x, y), c.wExpected) << "at " << x << "," << y;
            }
        }
    }
}

TEST_F(FadePlaneDraw, AFinishedFadeInLeavesThePictureAsItWas)
{
    CFadePlane fade = StartedFade(CFadePlane::KIND_IN_WHITE);
    while (!fade.IsDone()) {
        RunFrame(fade);
    }
    FillBack(0x1234);
    g_bUpdateOnly = 0;
    fade.Draw(g_lpD3DDevice);
    EXPECT_EQ(BackPixel(0, 0), 0x1234);
    EXPECT_EQ(BackPixel(639, 479), 0x1234);
}

TEST_F(FadePlaneDraw, PassesOverPicturesDrawnAtTheSameDepth)
{
    // A quad at depth 0 writes Z; the fader at depth 0 must still cover it (less or equal).
    g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    D3DLVERTEX quad[4] = {};
    const float corner[4][2] = {{100, -100}, {200, -100}, {200, -200}, {100, -200}};
    for (int i = 0; i < 4; i++) {
        quad[i].x = corner[i][0];
        quad[i].y = corner[i][1];
        quad[i].color = 0xFF00FF00;
    }
    g_lpD3DDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    g_lpD3DDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    g_lpD3DDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, quad, 4, 0);
    ASSERT_NE(BackPixel(150, 150), 0x0000);

    CFadePlane fade = StartedFade(CFadePlane::KIND_OUT_BLACK);
    while (!fade.IsDone()) {
        RunFrame(fade);
    }
    g_bUpdateOnly = 0;
    fade.Draw(g_lpD3DDevice);
    EXPECT_EQ(BackPixel(150, 150), 0x0000);
}

TEST_F(FadePlaneDraw, RestoresTheStatesItChanges)
{
    IDirect3DDevice7* lpDevice = g_lpD3DDevice;
    DWORD dwBefore[6] = {};
    const D3DTEXTURESTAGESTATETYPE kStates[6] = {D3DTSS_COLOROP,  D3DTSS_COLORARG1, D3DTSS_COLORARG2,
                                                 D3DTSS_ALPHAOP,  D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2};
    for (int i = 0; i < 6; i++) {
        lpDevice->GetTextureStageState(0, kStates[i], &dwBefore[i]);
    }
    D3DMATERIAL7 mtrlBefore = {};
    lpDevice->GetMaterial(&mtrlBefore);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);

    CFadePlane fade = StartedFade(CFadePlane::KIND_OUT_WHITE);
    g_bUpdateOnly = 0;
    fade.Draw(lpDevice);

    for (int i = 0; i < 6; i++) {
        DWORD dwAfter = 0;
        lpDevice->GetTextureStageState(0, kStates[i], &dwAfter);
        EXPECT_EQ(dwAfter, dwBefore[i]) << "stage state " << kStates[i];
    }
    D3DMATERIAL7 mtrlAfter = {};
    lpDevice->GetMaterial(&mtrlAfter);
    EXPECT_EQ(mtrlAfter.diffuse.r, mtrlBefore.diffuse.r);
    EXPECT_EQ(mtrlAfter.diffuse.a, mtrlBefore.diffuse.a);
    DWORD dwZWrite = 0;
    lpDevice->GetRenderState(D3DRENDERSTATE_ZWRITEENABLE, &dwZWrite);
    EXPECT_EQ(dwZWrite, static_cast<DWORD>(TRUE));
}
