// The sabers on the software device: a swing's crescent lies inside its hit area on the side it
// faces and fades to nothing; the thrown crescent flies with its box; the glow, cut from the boss
// sheet, lights the blade of the body picture and mirrors with it (pictures are written for
// looking at when ZORVA_LOOK_DIR names a folder).
#include <cstdlib>
#include <string>
#include <vector>

#include "BulletFixture.h"
#include "bullet/EBSaber.h"
#include "bullet/EBSaberLight.h"
#include "engine/BmpIndex.h"
#include "pack/teskFile.h"
#include "platform/d3d/D3DX.h"
#include "platform/host/Png565.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"

namespace {

class SaberDraw : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        LinkGeneratedData();
        CFile reset(1);
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetFrameClock();
        CAppTimer::ResetAll();
        Clean();
    }
    void TearDown() override
    {
        Clean();
        CDeviceFixture::TearDown();
    }
    static void Clean()
    {
        CCrushableSet::Clear();
        CScrollableSet::Clear();
        CShowableSet::Clear();
    }
    void Step(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            MoveEnemyBullets();
            CScrollableSet::SetScrollSpeed(0.0f);
            CScrollableSet::Tick();
        }
    }
    void Clear()
    {
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        D3DXMATRIX mWorld;
        D3DXMatrixIdentity(&mWorld);
        g_lpD3DDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    }
    void DrawBullets()
    {
        Clear();
        ASSERT_EQ(g_lpD3DDevice->BeginScene(), D3D_OK);
        EXPECT_EQ(DrawEnemyBullets3D(g_lpD3DDevice), 1);
        g_lpD3DDevice->EndScene();
    }
    void Look(const char* pszName)
    {
        const char* pszDir = std::getenv("ZORVA_LOOK_DIR");
        if (!pszDir)
            return;
        std::vector<uint16_t> pixels(640 * 480);
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                pixels[y * 640 + x] = BackPixel(x, y);
        WritePng565((std::string(pszDir) + "/" + pszName).c_str(), pixels.data(), 640 * 2, 640, 480);
    }
    // The bounding box of the lit pixels and their number.
    int LitBox(RECT* pBox)
    {
        *pBox = RECT{640, 480, -1, -1};
        int n = 0;
        for (int y = 0; y < 480; y++) {
            for (int x = 0; x < 640; x++) {
                if (!BackPixel(x, y))
                    continue;
                n++;
                pBox->left = std::min<LONG>(pBox->left, x);
                pBox->top = std::min<LONG>(pBox->top, y);
                pBox->right = std::max<LONG>(pBox->right, x);
                pBox->bottom = std::max<LONG>(pBox->bottom, y);
            }
        }
        return n;
    }
};

TEST_F(SaberDraw, ASwingsCrescentFillsItsHitAreaOnTheFacingSideAndFadesOut)
{
    for (int nDirection : {1, -1}) {
        CEBSaber s;
        s.SetPosition(D3DVECTOR{{320.0f}, {-224.0f}, {0.0f}});  // hit rows centred on 224 + 16
        s.SetBlade(nDirection >= 1 ? 0.01f : 2.97f, 1.0f, 1.0f, 1.0f);
        s.m_nDirection = nDirection;
        ASSERT_GE(s.Fire(), 0);
        DrawBullets();
        Look(nDirection >= 1 ? "saber-left.png" : "saber-right.png");
        RECT lit;
        ASSERT_GT(LitBox(&lit), 1000);
        D3DVECTOR q[4];
        s.GetHitQuad(q);
        // Drawn where it hits: the band spans the area's height and most of its reach, and no lit
        // pixel lies outside it (the 3D pass draws the centre's row 16 px above the hit rows).
        EXPECT_GE(lit.left, (LONG)q[0].x - 1) << nDirection;
        EXPECT_LE(lit.right, (LONG)q[2].x + 1) << nDirection;
        EXPECT_GE(lit.top + 16, (LONG)q[0].y - 1) << nDirection;
        EXPECT_LE(lit.bottom + 16, (LONG)q[2].y + 1) << nDirection;
        EXPECT_GE(lit.right - lit.left, 150) << nDirection;
        EXPECT_GE(lit.bottom - lit.top, 150) << nDirection;
        // Both swings light the blade at the crescent's lower tip.
        const int nBladeRow = 224 + 97;
        bool bBright = false;
        for (int x = lit.left; x <= lit.right; x++)
            bBright |= BackPixel(x, nBladeRow) > 0x8000;
        EXPECT_TRUE(bBright) << nDirection;
        Step(15);
        DrawBullets();
        EXPECT_EQ(LitBox(&lit), 0) << nDirection;
        s.Stop();
    }
    // The caller's world and blend come back.
    D3DMATRIX m;
    g_lpD3DDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &m);
    EXPECT_EQ(m._41, 0.0f);
}

TEST_F(SaberDraw, TheThrownCrescentFliesAndItsBoxTravelsWithItsPicture)
{
    CEBMoveSaber m;
    m.m_Speed.Set(5.0f, 1.7f, 0.0f, 0.0f, 0);
    m.m_fAngle = 3.14f;
    m.m_vScale = D3DVECTOR{{1.7f}, {1.0f}, {1.0f}};
    m.SetPosition(D3DVECTOR{{500.0f}, {-224.0f}, {0.0f}});
    m.Fire();
    Step(4);
    DrawBullets();
    Look("saber-thrown.png");
    RECT lit;
    ASSERT_GT(LitBox(&lit), 1000);
    D3DVECTOR q[4];
    m.GetHitQuad(q);
    // The box lies inside the picture's span, on its leading side.
    EXPECT_LE(lit.left, (LONG)q[0].x);
    EXPECT_GE(lit.right, (LONG)q[2].x);
    EXPECT_LE(lit.right, (LONG)m.m_vPos.x + 1);
}

TEST_F(SaberDraw, TheGlowIsCutFromTheBossSheetAndLightsTheBladeOfTheBodyPicture)
{
    CBmpIndex index;
    ASSERT_EQ(index.LoadIndex(g_lpD3DDevice, ".\\GameData\\Stage02\\", "BossMSZ006Index.txt"), 1);
    CEBSaberLight light;
    EXPECT_EQ(light.Load(g_lpD3DDevice, &index, "ZM_Saber1.bmp", "NoSuchRegion.bmp"), 0);
    EXPECT_EQ(light.Render(g_lpD3DDevice, 0, 0, 240, 256, 0), 1);
    ASSERT_EQ(light.Load(g_lpD3DDevice, &index, "ZM_Saber1.bmp", "ZM_Saber2.bmp"), 1);
    int w = 0, h = 0;
    light.m_Sprite[0].GetSize(&w, &h);
    ASSERT_GT(w, 0);
    // Stopped, it draws nothing.
    Clear();
    EXPECT_EQ(light.Render(g_lpD3DDevice, 100, 100, 240, 256, 0), 1);
    RECT lit;
    EXPECT_EQ(LitBox(&lit), 0);
    light.Start();
    for (int bMirror = 0; bMirror < 2; bMirror++) {
        Clear();
        ASSERT_EQ(g_lpD3DDevice->BeginScene(), D3D_OK);
        EXPECT_EQ(light.Render(g_lpD3DDevice, 100, 100, 240, 256, bMirror), 1);
        g_lpD3DDevice->EndScene();
        if (!bMirror)
            Look("saber-glow.png");
        ASSERT_GT(LitBox(&lit), 100);
        const int nLeft = bMirror ? 100 + 240 - w - 140 : 100 + 139;
        EXPECT_GE(lit.left, nLeft) << bMirror;
        EXPECT_LE(lit.right, nLeft + w) << bMirror;
        EXPECT_GE(lit.top, 100 + 192) << bMirror;
        EXPECT_LE(lit.bottom, 100 + 192 + h) << bMirror;
        // The blade runs from upper left to lower right, and the other way round when mirrored.
        const int nUpperRow = 100 + 192 + h / 4;
        int nFirst = 640;
        for (int x = lit.left; x <= lit.right; x++) {
            if (BackPixel(x, nUpperRow) > 0x8000) {
                nFirst = x;
                break;
            }
        }
        if (bMirror)
            EXPECT_GT(nFirst, nLeft + w / 2);
        else
            EXPECT_LT(nFirst, nLeft + w / 2);
    }
}

} // namespace
