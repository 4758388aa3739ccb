// The shots and explosions drawn on the software device from the generated pictures: where each
// lands against its hit box, and that a missing picture draws nothing instead of failing.
#include <filesystem>

#include "BulletFixture.h"
#include "bullet/BulletHooks.h"
#include "bullet/EBBigBullet.h"
#include "bullet/EBNormal.h"
#include "bullet/ExpDamage.h"
#include "bullet/ExpStarCir.h"
#include "engine/BmpIndex.h"
#include "engine/Param.h"
#include "engine/WinMain.h"
#include "pack/teskFile.h"
#include "platform/d3d/D3DX.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"

namespace {

struct PIXELBOX {
    int nLeft = 640, nTop = 480, nRight = -1, nBottom = -1;
    bool IsEmpty() const { return nRight < 0; }
};

class BulletDraw : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        LinkGeneratedData();
        CFile reset(1);
        ClearParams();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetFrameClock();
        CAppTimer::ResetAll();
        CBulletTestClean();
        ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
        LoadBulletImages(g_lpD3DDevice);
        // A frame as the frame loop starts it: black, depth cleared.
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    }
    void TearDown() override
    {
        CBulletTestClean();
        ReleaseBulletImages();
        ReleaseSystemIndexes();
        ClearParams();
        CDeviceFixture::TearDown();
    }
    static void CBulletTestClean()
    {
        ResetExplosions();
        ClearExpBombScrollPool();
        CCrushableSet::Clear();
        CScrollableSet::Clear();
        CShowableSet::Clear();
    }
    void Step()
    {
        CAppTimer::FrameTick();
        CShowableSet::UpdateAll();
        MoveEnemyBullets();
        CScrollableSet::SetScrollPos(0.0f);
        CScrollableSet::SetScrollSpeed(0.0f);
        CScrollableSet::Tick();
    }
    // The box of the pixels that are not black.
    PIXELBOX Lit()
    {
        PIXELBOX box;
        for (int y = 0; y < 480; y++) {
            for (int x = 0; x < 640; x++) {
                if (BackPixel(x, y)) {
                    box.nLeft = std::min(box.nLeft, x);
                    box.nTop = std::min(box.nTop, y);
                    box.nRight = std::max(box.nRight, x);
                    box.nBottom = std::max(box.nBottom, y);
                }
            }
        }
        return box;
    }
    // The stage's 3D pass of the shots: the world lowered by the view offset.
    void Draw3D(float fViewOffset)
    {
        D3DXMATRIX mWorld;
        D3DXMatrixTranslation(&mWorld, 0.0f, -fViewOffset, 0.0f);
        g_lpD3DDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
        ASSERT_EQ(g_lpD3DDevice->BeginScene(), D3D_OK);
        DrawEnemyBullets3D(g_lpD3DDevice);
        g_lpD3DDevice->EndScene();
    }
};

TEST_F(BulletDraw, TheSharedPicturesLoadWithTheSizesTheClassesExpect)
{
    EXPECT_NE(CExpBomb4::GetFrameTexture(11), nullptr);
    EXPECT_NE(CExpBomb4::GetBallTexture(7, 9), nullptr);
    EXPECT_NE(CExpDamage::GetStarTexture(9, 9), nullptr);
    EXPECT_NE(CExpDamageEx::GetFlashTexture(), nullptr);
    int w = 0, h = 0;
    CEBBigBullet::GetSharedSprite().GetSize(&w, &h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    CEBNormal shot;
    shot.SetGraphic(g_lpD3DDevice, 1);
    EXPECT_EQ(shot.m_nWidth, 16);
    shot.SetGraphic(g_lpD3DDevice, 0);
    EXPECT_EQ(shot.m_nWidth, 12);
    EXPECT_EQ(shot.m_nHeight, 12);
    EXPECT_EQ(shot.m_Explosion.m_nStyle, 4);
}

TEST_F(BulletDraw, TheNormalShotIsBlittedKeyedSixteenPixelsAboveItsHitBox)
{
    CEBNormal shot;
    shot.SetGraphic(g_lpD3DDevice, 0);
    shot.SetPosition(D3DVECTOR{{100.4f}, {-200.6f}, {0.0f}});
    shot.Fire();
    EXPECT_EQ(DrawEnemyBullets2D(g_lpDDSBack), 1);
    const PIXELBOX box = Lit();
    ASSERT_FALSE(box.IsEmpty());
    // left = trunc(100.4 - 6) = 94, top = -16 - trunc(-200.6 + 6) = 178; the round shot's keyed
    // corners stay black.
    EXPECT_GE(box.nLeft, 94);
    EXPECT_LE(box.nRight, 94 + 11);
    EXPECT_GE(box.nTop, 178);
    EXPECT_LE(box.nBottom, 178 + 11);
    EXPECT_EQ(BackPixel(94, 178), 0);
    EXPECT_NE(BackPixel(100, 184), 0);
    D3DVECTOR q[4];
    shot.GetHitQuad(q);
    EXPECT_EQ((q[0].y + q[2].y) / 2.0f - 16.0f, 184.0f);
}

TEST_F(BulletDraw, TheBigBulletSitsOnItsHitBoxUnderTheStagesViewOffset)
{
    CEBBigBullet big;
    ASSERT_EQ(big.Load(g_lpD3DDevice), 1);
    big.SetPosition(D3DVECTOR{{300.0f}, {-200.0f}, {0.0f}});
    big.Fire();
    big.SetScrollSpeed(24.0f);  // the view offset the stage hands out
    Draw3D(24.0f);
    const PIXELBOX box = Lit();
    ASSERT_FALSE(box.IsEmpty());
    const float fCx = (float)(box.nLeft + box.nRight + 1) / 2.0f, fCy = (float)(box.nTop + box.nBottom + 1) / 2.0f;
    EXPECT_NEAR(fCx, 300.0f, 1.0f);
    EXPECT_NEAR(fCy, 200.0f + 24.0f, 1.0f);
    D3DVECTOR q[4];
    big.GetHitQuad(q);
    // Drawn where its hit box is, 16 px up, as every picture of the stage is.
    EXPECT_NEAR((q[0].y + q[2].y) / 2.0f - 16.0f, fCy, 1.0f);
    EXPECT_NEAR((q[0].x + q[1].x) / 2.0f, fCx, 1.0f);
}

TEST_F(BulletDraw, AnExplosionDrawsItsPictureAndSparksAroundItsPoint)
{
    CExpBombScroll e;
    SetExpBombStyle1(&e);
    e.SetPosition(320.0f, -240.0f);
    e.Start(0);
    Step();
    ASSERT_FALSE(e.m_bIdle);
    EXPECT_EQ(CShowableSet::DrawAll(g_lpDDSBack, g_lpD3DDevice), 1);
    const PIXELBOX box = Lit();
    ASSERT_FALSE(box.IsEmpty());
    EXPECT_NE(BackPixel(320, 240), 0);
    EXPECT_GT(box.nLeft, 320 - 128);
    EXPECT_LT(box.nRight, 320 + 128);
    EXPECT_GT(box.nTop, 240 - 128);
    EXPECT_LT(box.nBottom, 240 + 128);
    e.Stop();
}

TEST_F(BulletDraw, TheStarCircleDrawsItsStarsAroundThePassersByPoint)
{
    CExpStarCir ring;
    ring.SetPoint(200.0f, -300.0f, 0.0f);
    ring.Start();
    Step();
    ASSERT_EQ(g_lpD3DDevice->BeginScene(), D3D_OK);
    ring.Render(g_lpD3DDevice);
    g_lpD3DDevice->EndScene();
    const PIXELBOX box = Lit();
    ASSERT_FALSE(box.IsEmpty());
    // Sixteen stars 25 px out after one update (10 + 15), each a 32 px quad.
    EXPECT_NEAR((box.nLeft + box.nRight) / 2.0f, 200.0f, 2.0f);
    EXPECT_NEAR((box.nTop + box.nBottom) / 2.0f, 300.0f, 2.0f);
    EXPECT_LE(box.nRight - box.nLeft, 2 * (25 + 16) + 2);
}

TEST_F(BulletDraw, WithoutTheirPicturesExplosionsDrawNothingAndStillSucceed)
{
    ReleaseBulletImages();
    std::filesystem::remove("GameData");
    EXPECT_EQ(CExpBomb4::LoadShared(g_lpD3DDevice), 0);
    EXPECT_EQ(CExpBomb4::GetFrameTexture(0), nullptr);
    EXPECT_EQ(CExpDamage::LoadShared(g_lpD3DDevice), 0);
    CExpBombScroll e;
    SetExpBombStyle2(&e);
    e.SetPosition(320.0f, -240.0f);
    e.Start(0);
    Step();
    ASSERT_FALSE(e.m_bIdle);
    ASSERT_EQ(g_lpD3DDevice->BeginScene(), D3D_OK);
    EXPECT_EQ(e.Render(g_lpD3DDevice), 1);
    g_lpD3DDevice->EndScene();
    EXPECT_TRUE(Lit().IsEmpty());
    e.Stop();
}

} // namespace
