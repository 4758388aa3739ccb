// The main gun: shared pictures, the 32 slots, power, the picture per level, leaving the view, the
// hit handlers with their 16-pixel lowering, and the additive draw.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"
#include "engine/RenderState.h"
#include "engine/WinMain.h"
#include "player/BoxTargets.h"
#include "player/PlayerFixture.h"
#include "stage/ObjectLabel.h"

namespace {

using PBulletSet = CPlayerFixture;
using PBulletHits = CPlayerFixture;

std::vector<uint8_t> TextureBytes(IDirectDrawSurface7* lpTexture)
{
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    std::vector<uint8_t> bytes;
    if (FAILED(lpTexture->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr)))
        return bytes;
    bytes.assign((const uint8_t*)ddsd.lpSurface, (const uint8_t*)ddsd.lpSurface + ddsd.lPitch * ddsd.dwHeight);
    lpTexture->Unlock(nullptr);
    return bytes;
}

// Loads the gun with its bullets standing still, so hit tests see them where they were fired.
#define LOAD_STILL_GUN(gun)                        \
    CPBullet gun;                                  \
    ASSERT_EQ(gun.Load(g_lpD3DDevice), 1);         \
    gun.m_fSpeed = 0.0f

// A gun with one bullet flying level from the screen point (x, row).
void FireAt(CPBullet& gun, float x, float row)
{
    gun.m_fShotAngle = 0.0f;
    gun.m_vDrift = D3DVECTOR{0.0f, 3.0f, 0.0f};  // cancels the 3 px drop of a shot
    gun.SetMuzzle(D3DVECTOR{x, -row, 0.0f});
    gun.Fire();
}

} // namespace

TEST(PBulletImages, NoneBeforeLoadingAndNoneOutOfRange)
{
    CPBullet::ReleaseImages();
    EXPECT_EQ(CPBullet::GetVulcanImage(0, 0), nullptr);
    EXPECT_EQ(CPBullet::GetMuzzleImage(0, 0), nullptr);
    EXPECT_EQ(CPBullet::IsImageLoaded(), 0);
}

TEST_F(PBulletSet, SharedPicturesAreCutIntoCells)
{
    int w = 0, h = 0;
    ASSERT_NE(CPBullet::GetVulcanImage(2, 4), nullptr);
    GetSurfaceSize(CPBullet::GetVulcanImage(2, 4), &w, &h);
    EXPECT_EQ(w, 96);
    EXPECT_EQ(h, 72);
    EXPECT_NE(CPBullet::GetMuzzleImage(2, 1), nullptr);
    EXPECT_EQ(CPBullet::GetVulcanImage(3, 0), nullptr);
    EXPECT_EQ(CPBullet::GetVulcanImage(0, 5), nullptr);
    EXPECT_EQ(CPBullet::GetVulcanImage(-1, 0), nullptr);
    EXPECT_EQ(CPBullet::GetMuzzleImage(0, 2), nullptr);
}

TEST_F(PBulletSet, AFullSetDropsTheShotSilentlyButFlashes)
{
    CPBullet gun;
    ASSERT_EQ(gun.Load(g_lpD3DDevice), 1);
    for (int i = 0; i < PBULLET_SLOTS; i++)
        FireAt(gun, 100.0f, 200.0f);
    EXPECT_EQ(gun.GetActiveMask(), 0xFFFFFFFFu);
    if (m_bSound) {
        ClearSoundRequests();
        ASSERT_NE(SoundState(SHOT_SOUND_PATH), PCM_STATE_REQUESTED);
    }
    CAppTimer::FrameTick();
    CAppTimer::FrameTick();
    CAppTimer::FrameTick();
    CAppTimer::FrameTick();
    gun.Update();
    ASSERT_EQ(gun.IsMuzzleHidden(), 1);
    FireAt(gun, 100.0f, 200.0f);
    EXPECT_EQ(gun.CountFlying(), 32);
    EXPECT_EQ(gun.IsMuzzleHidden(), 0);
    EXPECT_EQ(gun.GetMuzzleFrame(), 0);
    if (m_bSound) {
        EXPECT_NE(SoundState(SHOT_SOUND_PATH), PCM_STATE_REQUESTED);
    }
}

TEST_F(PBulletSet, ShotSoundPlaysAndTheMuzzleDimsThenHides)
{
    CPBullet gun;
    ASSERT_EQ(gun.Load(g_lpD3DDevice), 1);
    if (m_bSound)
        ClearSoundRequests();
    FireAt(gun, 100.0f, 200.0f);
    if (m_bSound) {
        EXPECT_EQ(SoundState(SHOT_SOUND_PATH), PCM_STATE_REQUESTED);
    }
    // 16, 33 and 50 ms after the shot on the frame clock.
    CAppTimer::FrameTick();
    gun.Update();
    EXPECT_EQ(gun.GetMuzzleFrame(), 0);
    CAppTimer::FrameTick();
    gun.Update();
    EXPECT_EQ(gun.GetMuzzleFrame(), 0);
    CAppTimer::FrameTick();
    gun.Update();
    EXPECT_EQ(gun.GetMuzzleFrame(), 1);
    EXPECT_EQ(gun.IsMuzzleHidden(), 0);
    CAppTimer::FrameTick();
    gun.Update();
    EXPECT_EQ(gun.IsMuzzleHidden(), 1);
}

TEST_F(PBulletSet, PowerIsTheLevelDoubledWithDoublePower)
{
    CPBullet gun;
    gun.SetLevel(6);
    EXPECT_EQ(gun.GetPower(), 6);
    gun.m_bDoublePower = 1;
    EXPECT_EQ(gun.GetPower(), 12);
}

TEST_F(PBulletSet, LevelsOutsideFourToEightKeepThePicture)
{
    CPBullet gun;
    ASSERT_EQ(gun.Load(g_lpD3DDevice), 1);
    const std::vector<uint8_t> level4 = TextureBytes(gun.GetBulletTexture());
    ASSERT_FALSE(level4.empty());
    gun.SetLevel(3);
    EXPECT_EQ(gun.GetLevel(), 3);
    EXPECT_EQ(TextureBytes(gun.GetBulletTexture()), level4);
    gun.SetLevel(8);
    EXPECT_NE(TextureBytes(gun.GetBulletTexture()), level4);
    gun.SetLevel(4);
    EXPECT_EQ(TextureBytes(gun.GetBulletTexture()), level4);
}

TEST_F(PBulletSet, ABulletLeavesFiftyPixelsPastTheRightEdgeOrAboveTheTop)
{
    CPBullet gun;
    ASSERT_EQ(gun.Load(g_lpD3DDevice), 1);
    gun.m_fSpeed = 10.0f;
    FireAt(gun, 670.0f, 200.0f);  // 680 after one step: still there
    gun.Update();
    EXPECT_EQ(gun.CountFlying(), 1);
    FireAt(gun, 681.0f, 200.0f);  // 691: gone
    gun.Update();
    EXPECT_EQ(gun.GetActiveMask(), 0x1u);  // the first at 690, exactly 50 past, stays
    gun.Update();
    EXPECT_EQ(gun.CountFlying(), 0);

    gun.m_fShotAngle = 1.5707964f;
    gun.m_vDrift = D3DVECTOR{0.0f, 3.0f, 0.0f};
    gun.SetMuzzle(D3DVECTOR{300.0f, 45.0f, 0.0f});
    gun.Fire();
    gun.Update();  // y 55 is above the top by more than 50
    EXPECT_EQ(gun.CountFlying(), 0);
}

TEST_F(PBulletHits, APartIsHitOnlyWhereTheLoweredBoxReachesIt)
{
    LOAD_STILL_GUN(gun);
    FireAt(gun, 300.0f, 200.0f);
    // The box is 96 x 57.6 around (300, 200): rows 171.2 to 228.8, lowered to 187.2 to 244.8.
    CBoxPart part;
    part.m_rc = RECT{240, 225, 360, 260};
    EXPECT_EQ(gun.HitByEnemyPart(nullptr, &part), 1);
    EXPECT_EQ(gun.CountFlying(), 0);

    FireAt(gun, 300.0f, 200.0f);
    part.m_rc = RECT{240, 160, 360, 185};  // above the lowered box, though the drawn box reaches it
    EXPECT_EQ(gun.HitByEnemyPart(nullptr, &part), 0);
    EXPECT_EQ(gun.CountFlying(), 1);
    part.m_rc = RECT{240, 240, 360, 270};  // within the lowered box's reach, but below its rectangle
    EXPECT_EQ(gun.HitByEnemyPart(nullptr, &part), 0);
    EXPECT_EQ(gun.HitByEnemyPart(nullptr, nullptr), 0);
}

TEST_F(PBulletHits, TheLowestFlyingSlotIsSpentFirst)
{
    LOAD_STILL_GUN(gun);
    FireAt(gun, 500.0f, 100.0f);
    FireAt(gun, 300.0f, 200.0f);
    FireAt(gun, 310.0f, 200.0f);
    CBoxPart part;
    part.m_rc = RECT{290, 200, 330, 230};
    EXPECT_EQ(gun.HitByEnemyPart(nullptr, &part), 1);
    EXPECT_EQ(gun.GetActiveMask(), 0x5u);
}

TEST_F(PBulletHits, ALabelDecidesWhetherTheBulletIsSpent)
{
    LOAD_STILL_GUN(gun);
    FireAt(gun, 300.0f, 200.0f);
    CBoxLabel label;
    label.m_rc = RECT{250, 230, 350, 300};
    label.m_nAnswer = 0;
    EXPECT_EQ(gun.HitByLabel(nullptr, &label), 0);
    EXPECT_EQ(label.m_nCalls, 1);
    EXPECT_EQ(label.m_pLastBullet, &gun);
    EXPECT_EQ(gun.CountFlying(), 1);
    label.m_nAnswer = 1;
    EXPECT_EQ(gun.HitByLabel(nullptr, &label), 1);
    EXPECT_EQ(gun.CountFlying(), 0);
    // Only the drawn box reaches the label: it is not asked.
    FireAt(gun, 300.0f, 200.0f);
    label.m_rc = RECT{250, 120, 350, 180};
    EXPECT_EQ(gun.HitByLabel(nullptr, &label), 0);
    EXPECT_EQ(label.m_nCalls, 2);
}

TEST_F(PBulletHits, CollideAsksTheOtherSideForAPlayerBulletHit)
{
    LOAD_STILL_GUN(gun);
    FireAt(gun, 300.0f, 200.0f);
    CBoxLabel label;
    label.m_rc = RECT{250, 230, 350, 300};
    EXPECT_EQ(gun.Collide(nullptr, &label), 1);
    EXPECT_EQ(label.m_nCalls, 1);
    EXPECT_EQ(gun.m_nCategory, CRUSH_PLAYER_BULLET);
    EXPECT_GE(static_cast<CCrushable&>(gun).m_nIndex, 0);  // Load entered it in the hit registry
}

TEST_F(PBulletSet, RenderAddsTheBulletAtItsScreenPoint)
{
    LOAD_STILL_GUN(gun);
    FireAt(gun, 320.0f, 240.0f);
    CAppTimer::FrameTick();
    CAppTimer::FrameTick();
    CAppTimer::FrameTick();
    CAppTimer::FrameTick();
    gun.Update();  // the flash is gone
    g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    ASSERT_EQ(g_lpD3DDevice->BeginScene(), D3D_OK);
    EXPECT_EQ(gun.Render(g_lpD3DDevice), 1);
    g_lpD3DDevice->EndScene();
    EXPECT_NE(BackPixel(320, 240), 0);
    EXPECT_EQ(BackPixel(320, 200), 0);
    EXPECT_EQ(BackPixel(200, 240), 0);
}
