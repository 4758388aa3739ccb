// The enemy weapons drawn on the software device from the generated pictures: the laser's flare
// across its strip, in its cycling colours, the missile and the familiar blitted where their
// boxes say, and one frame of every weapon together (written for looking at when ZORVA_LOOK_DIR
// names a folder).
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "BulletFixture.h"
#include "bullet/BulletHooks.h"
#include "bullet/EBCharge.h"
#include "bullet/EBFamiliar.h"
#include "bullet/EBHammer.h"
#include "bullet/EBHoming.h"
#include "bullet/EBMine.h"
#include "bullet/EBLaserEx.h"
#include "bullet/EBMissile.h"
#include "bullet/EBRoundEx.h"
#include "bullet/EBVulcanEx.h"
#include "engine/BmpIndex.h"
#include "engine/Param.h"
#include "pack/teskFile.h"
#include "platform/d3d/D3DX.h"
#include "platform/host/Png565.h"
#include "player/PBullet.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"

namespace {

int Red(WORD w)
{
    return (w >> 11) & 0x1F;
}
int Blue(WORD w)
{
    return w & 0x1F;
}

class WeaponDraw : public CDeviceFixture {
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
        Clean();
        ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
        LoadBulletImages(g_lpD3DDevice);
        ASSERT_EQ(CPBullet::LoadImages(g_lpD3DDevice), 1);
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    }
    void TearDown() override
    {
        Clean();
        CPBullet::ReleaseImages();
        ReleaseBulletImages();
        ReleaseSystemIndexes();
        ClearParams();
        CDeviceFixture::TearDown();
    }
    static void Clean()
    {
        ResetExplosions();
        ClearExpBombScrollPool();
        CCrushableSet::Clear();
        CScrollableSet::Clear();
        CShowableSet::Clear();
    }
    void Step(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            CShowableSet::UpdateAll();
            MoveEnemyBullets();
            CScrollableSet::SetScrollPos(0.0f);
            CScrollableSet::SetScrollSpeed(0.0f);
            CScrollableSet::Tick();
        }
    }
    void Draw()
    {
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        D3DXMATRIX mWorld;
        D3DXMatrixIdentity(&mWorld);
        g_lpD3DDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
        EXPECT_EQ(DrawEnemyBullets2D(g_lpDDSBack), 1);
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
    // The first and last lit rows of a column.
    void LitRows(int x, int* pTop, int* pBottom)
    {
        *pTop = 480;
        *pBottom = -1;
        for (int y = 0; y < 480; y++) {
            if (BackPixel(x, y)) {
                *pTop = std::min(*pTop, y);
                *pBottom = y;
            }
        }
    }
};

TEST_F(WeaponDraw, TheLaserFlaresAlongItsStripFromItsOriginInItsCyclingColours)
{
    CEBLaserEx laser;
    ASSERT_EQ(laser.Load(g_lpD3DDevice), 1);
    for (int c = 0; c < EBLASER_COLOR_NUM; c++)
        for (int k = 0; k < CEBLaserEx::TEX_KINDS; k++)
            ASSERT_NE(CEBLaserEx::GetTexture(c, k), nullptr);
    laser.m_fScaleStart = 0.2f;
    laser.SetPosition(D3DVECTOR{{100.0f}, {-240.0f}, {0.0f}});
    laser.m_nDirection = 1;
    laser.Fire();
    for (int i = 0; i < 200 && laser.m_nState != CEBLaserEx::STATE_HOLDING; i++)
        Step();
    laser.m_nColor = 0;
    Draw();
    Look("laser-full-width.png");
    // Nothing behind the origin; from the head's length beyond it the beam widens as ln(4k + 1).
    int t = 0, b = 0;
    LitRows(90, &t, &b);
    EXPECT_EQ(b, -1);
    int nLastHalf = 0;
    for (int k : {4, 20, 60, 90}) {
        const int x = 164 + 5 * k + 2;
        LitRows(x, &t, &b);
        ASSERT_GE(b, 0) << k;
        const float h = laser.HalfWidth(k);
        EXPECT_GE(t, (int)(240.0f - h - 2.0f)) << k;
        EXPECT_LE(b, (int)(240.0f + h + 2.0f)) << k;
        EXPECT_NEAR((t + b) / 2.0f, 240.0f, 1.5f) << k;
        EXPECT_GE(b - t, nLastHalf) << k;
        nLastHalf = b - t;
    }
    // Additive on black, blue first; two colours on the red one.
    const WORD wBlue = BackPixel(400, 240 + 10);
    EXPECT_GT(Blue(wBlue), Red(wBlue));
    laser.m_nColor = 2;
    Draw();
    const WORD wRed = BackPixel(400, 240 + 10);
    EXPECT_GT(Red(wRed), Blue(wRed));
    // The world transform is the caller's again afterwards.
    D3DMATRIX m;
    g_lpD3DDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &m);
    EXPECT_EQ(m._41, 0.0f);
    EXPECT_EQ(m._42, 0.0f);
}

TEST_F(WeaponDraw, TheMissileAndTheFamiliarAreBlittedWhereTheirBoxesSay)
{
    CEBMissile m;
    ASSERT_EQ(m.Load(g_lpD3DDevice), 1);
    m.SetPosition(D3DVECTOR{{200.0f}, {-200.0f}, {0.0f}});
    m.Fire();
    Draw();
    // Left x - w/2, top -trunc(y + h/2): centred on (200, 200), 16 px above its hit box.
    int t = 0, b = 0;
    LitRows(200, &t, &b);
    EXPECT_GE(t, 200 - m.m_nHeight / 2);
    EXPECT_LE(b, 200 + m.m_nHeight / 2);
    D3DVECTOR q[4];
    m.GetHitQuad(q);
    EXPECT_EQ((q[0].y + q[2].y) / 2.0f - 16.0f, 200.0f);
    // Mirrored, column i shows the picture's column w - 1 - i.
    const int nLeft = 200 - m.m_nWidth / 2;
    std::vector<WORD> normal;
    for (int i = 0; i < m.m_nWidth; i++)
        normal.push_back(BackPixel(nLeft + i, 200));
    m.m_nFacing = -1;
    Draw();
    for (int i = 0; i < m.m_nWidth; i++)
        EXPECT_EQ(BackPixel(nLeft + i, 200), normal[m.m_nWidth - 1 - i]) << i;
    m.Stop();

    IDirectDrawSurface7* lpFamiliar = nullptr;
    CBmpIndex index;
    ASSERT_EQ(index.LoadIndex(g_lpD3DDevice, ".\\GameData\\Stage05\\", "BossRX93Index.txt"), 1);
    lpFamiliar = index.CreateSurfaceByDevice(g_lpD3DDevice, "NM_Familiar.bmp", nullptr, MEM_SYSTEM);
    ASSERT_NE(lpFamiliar, nullptr);
    CEBFamiliar f;
    ASSERT_EQ(f.Load(g_lpD3DDevice, lpFamiliar, nullptr), 1);
    lpFamiliar->Release();
    EXPECT_EQ(f.m_Item.GetKind(), EBFAMILIAR_ITEM_KIND);
    EXPECT_EQ(f.m_Missiles[0].m_bSmallBox, 1);
    f.Launch(200.0f);
    Step(60);
    Draw();
    float x = 0.0f, y = 0.0f;
    f.GetDrawPos(&x, &y);
    LitRows((int)f.m_vPos.x, &t, &b);
    EXPECT_GE(t, (int)y);
    EXPECT_LE(b, (int)y + f.m_nHeight);
    EXPECT_EQ(BackPixel((int)x - 2, 216), 0);
    f.Stop();
}

TEST_F(WeaponDraw, EveryWeaponInOneFrame)
{
    CEBLaserEx laser;
    laser.Load(g_lpD3DDevice);
    laser.m_fScaleStart = 0.3f;
    laser.m_fGrowth = 40.0f;
    laser.m_nDirection = -1;
    laser.SetPosition(D3DVECTOR{{600.0f}, {-120.0f}, {0.0f}});
    CEBCharge charge;
    charge.SetPosition(D3DVECTOR{{560.0f}, {-330.0f}, {0.0f}});
    CEBMissile missiles[4];
    const float kVert[4] = {5.5f, 2.2f, -5.5f, -2.2f};
    for (int i = 0; i < 4; i++) {
        missiles[i].Load(g_lpD3DDevice);
        ACCINFO horz{}, vert{};
        horz.Set(5.0f, -0.3f, -100.0f, 5.0f, 1);
        vert.Set(kVert[i], kVert[i] > 0.0f ? -0.1f : 0.1f, std::min(0.0f, kVert[i]), std::max(0.0f, kVert[i]), 1);
        missiles[i].SetAccInfo(horz, vert);
        missiles[i].SetPosition(D3DVECTOR{{420.0f}, {-240.0f}, {0.0f}});
    }
    CEBHoming homing;
    homing.Load(g_lpD3DDevice);
    homing.SetPosition(D3DVECTOR{{560.0f}, {-420.0f}, {0.0f}});
    homing.m_fLaunchHeading = 3.14159f;
    CEBVulcanEx vulcan;
    ASSERT_EQ(vulcan.Load(g_lpD3DDevice, 4), 1);
    vulcan.SetMuzzlePoint(600.0f, -40.0f, 0.0f);
    CEBRoundEx ring;
    CBmpIndex index;
    ASSERT_EQ(index.LoadIndex(g_lpD3DDevice, ".\\GameData\\Stage05\\", "BossRX93Index.txt"), 1);
    IDirectDrawSurface7* lpForce = index.CreateSurfaceByDevice(g_lpD3DDevice, "NM_Force.bmp", nullptr, MEM_SYSTEM);
    IDirectDrawSurface7* lpFamiliar = index.CreateSurfaceByDevice(g_lpD3DDevice, "NM_Familiar.bmp", nullptr, MEM_SYSTEM);
    ASSERT_EQ(ring.Load(g_lpD3DDevice, lpForce), 1);
    ring.SetPosition(170.0f, -330.0f, 0.0f);
    CEBFamiliar familiar;
    ASSERT_EQ(familiar.Load(g_lpD3DDevice, lpFamiliar, nullptr), 1);
    SafeRelease(lpForce);
    SafeRelease(lpFamiliar);

    charge.Fire();
    ring.Fire();
    familiar.Launch(380.0f);
    Step(30);
    laser.Fire();
    for (CEBMissile& m : missiles)
        m.Fire();
    const D3DVECTOR target{{150.0f}, {-440.0f}, {0.0f}};
    homing.Fire(&target);
    Step(6);
    vulcan.Fire(0);
    Step(8);
    Draw();
    Look("enemy-weapons.png");
    EXPECT_NE(BackPixel(300, 120), 0);                                      // the laser
    EXPECT_NE(BackPixel((int)vulcan.m_Segments[0].x, 40), 0);               // a vulcan segment
    EXPECT_NE(BackPixel((int)familiar.m_vPos.x, (int)familiar.m_vPos.y + 16), 0);  // the familiar
}

// The first boss's mine and hammer from its index: the mine over its position, the hammer's head at
// the end of its chain and the links between it and the anchor.
TEST_F(WeaponDraw, TheMineAndTheSwingingHammerAreDrawnWhereTheyAre)
{
    CBmpIndex index;
    ASSERT_EQ(index.LoadIndex(g_lpD3DDevice, ".\\GameData\\Stage01\\", "BossRX78Index.txt"), 1);
    IDirectDrawSurface7* lpMine = index.CreateSurfaceByDevice(g_lpD3DDevice, EBMINE_FILE, nullptr, MEM_SYSTEM);
    IDirectDrawSurface7* lpHead = index.CreateSurfaceByDevice(g_lpD3DDevice, EBHAMMER_HEAD_FILE, nullptr, MEM_SYSTEM);
    IDirectDrawSurface7* lpChain = index.CreateSurfaceByDevice(g_lpD3DDevice, EBHAMMER_CHAIN_FILE, nullptr, MEM_SYSTEM);
    CEBMine mine;
    CEBHammer hammer;
    ASSERT_EQ(mine.Load(g_lpD3DDevice, lpMine), 1);
    ASSERT_EQ(hammer.Load(g_lpD3DDevice, lpHead, lpChain), 1);
    SafeRelease(lpMine);
    SafeRelease(lpHead);
    SafeRelease(lpChain);
    mine.SetPosition(D3DVECTOR{{200.0f}, {-300.0f}, {0.0f}});
    mine.SetTargetX(200.0f);
    mine.Fire();
    hammer.SetPosition(D3DVECTOR{{400.0f}, {-200.0f}, {0.0f}});
    hammer.StartSwing();
    Step(40);
    Draw();
    Look("boss-mine-hammer.png");
    // The mine's ball, dark grey: neither the cleared black nor the key.
    D3DVECTOR v;
    mine.GetPosition(&v);
    EXPECT_NE(BackPixel((int)v.x, (int)-v.y), 0);
    float x, y;
    hammer.GetHeadPos(&x, &y);
    EXPECT_NE(BackPixel((int)x, (int)-y), 0);
    // The third link lies halfway along the chain.
    float cx = (x - 400.0f) * 0.4f + 400.0f, cy = (y + 200.0f) * 0.4f - 200.0f;
    EXPECT_NE(BackPixel((int)cx, (int)-cy), 0);
    EXPECT_EQ(BackPixel(100, 100), 0);
}

} // namespace
