// The heroine tick by tick: start and entry, jump and drop, the rise cap, the gun's rate on the
// frame clock, the aim machines, edge clipping, the double tap, boxes, damage, and a recorded run
// played back.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Input.h"
#include "engine/PCMManagerTask.h"
#include "engine/WinMain.h"
#include "platform/win/Win.h"
#include "player/PlayerFixture.h"
#include "rvm/rvm_stl.h"

namespace {

const char* const kJumpVoice = ".\\GameData\\System\\CvZorvaJump.wav";
const float kGravity = 16.333333f * 0.1f;

using PlayerStart = CPlayerFixture;
using PlayerJump = CPlayerFixture;
using PlayerGun = CPlayerFixture;
using PlayerAim = CPlayerFixture;
using PlayerMove = CPlayerFixture;
using PlayerBoxes = CPlayerFixture;
using PlayerReplay = CPlayerFixture;

} // namespace

TEST(PlayerConstruction, DefaultsBeforeAnyLoad)
{
    CPlayer p;
    EXPECT_EQ(p.GetState(), 0x11u);
    EXPECT_EQ(p.GetAimPose(), PLAYER_AIM_LEVEL);
    EXPECT_EQ(p.IsVisible(), 1);
    EXPECT_EQ(p.GetLife(), 100);
    EXPECT_EQ(p.m_nCategory, CRUSH_PLAYER);
    EXPECT_EQ(p.m_nKind, 0);
}

TEST(PlayerLevels, ExperienceBoundaries)
{
    EXPECT_EQ(CPlayer::LevelOfExp(0), 4);
    EXPECT_EQ(CPlayer::LevelOfExp(31), 4);
    EXPECT_EQ(CPlayer::LevelOfExp(32), 5);
    EXPECT_EQ(CPlayer::LevelOfExp(63), 5);
    EXPECT_EQ(CPlayer::LevelOfExp(64), 6);
    EXPECT_EQ(CPlayer::LevelOfExp(96), 7);
    EXPECT_EQ(CPlayer::LevelOfExp(127), 7);
    EXPECT_EQ(CPlayer::LevelOfExp(128), 8);
    EXPECT_EQ(CPlayer::LevelOfExp(5000), 8);
}

TEST(PlayerAimPoint, ThresholdsPickTheMuzzlePoint)
{
    const DWORD kLevel = PLAYER_STATE_AIM_LEVEL;
    EXPECT_EQ(CPlayer::SelectGunPoint(kLevel, 0.5f), 0);
    EXPECT_EQ(CPlayer::SelectGunPoint(PLAYER_STATE_AIM_UP | PLAYER_STATE_DAIM_LEVEL, 0.0f), 3);
    EXPECT_EQ(CPlayer::SelectGunPoint(PLAYER_STATE_AIM_LEVEL | PLAYER_STATE_AIM_DOWN, 0.0f), 6);
    const DWORD kUpTurn = PLAYER_STATE_TURNING_UP | PLAYER_STATE_DAIM_LEVEL;
    EXPECT_EQ(CPlayer::SelectGunPoint(kUpTurn, 0.017453292f), 1);
    EXPECT_EQ(CPlayer::SelectGunPoint(kUpTurn, 0.2617994f), 1);
    EXPECT_EQ(CPlayer::SelectGunPoint(kUpTurn, 0.3926991f), 2);
    EXPECT_EQ(CPlayer::SelectGunPoint(kUpTurn, 0.7679449f), 2);
    EXPECT_EQ(CPlayer::SelectGunPoint(kUpTurn, 0.01f), 0);
    const DWORD kDownTurn = PLAYER_STATE_AIM_LEVEL | PLAYER_STATE_TURNING_DOWN;
    EXPECT_EQ(CPlayer::SelectGunPoint(kDownTurn, -0.017453292f), 4);
    EXPECT_EQ(CPlayer::SelectGunPoint(kDownTurn, -0.3926991f), 5);
    EXPECT_EQ(CPlayer::SelectGunPoint(kDownTurn, -0.39f), 4);
    EXPECT_EQ(CPlayer::SelectGunPoint(kDownTurn, -0.7679449f), 5);
}

TEST_F(PlayerStart, EntersFromTheLeftUntilTheFirstLanding)
{
    CPlayer& p = *m_pPlayer;
    p.Start(0, 1);
    EXPECT_EQ(p.GetState(), 0x1010011u);
    EXPECT_FLOAT_EQ(Pos().x, -100.0f);
    EXPECT_FLOAT_EQ(Pos().y, 200.0f);
    EXPECT_EQ(p.GetLife(), 100);
    EXPECT_EQ(CKeyRecorder::GetInstance()->GetMode(), KEYREC_MODE_RECORD);
    Tick();
    EXPECT_FLOAT_EQ(Pos().x, -100.0f);  // Move added last tick's terrain result (none yet)
    Tick();
    EXPECT_FLOAT_EQ(Pos().x, -87.0f);
    int nTicks = 2;
    while ((p.GetState() & PLAYER_STATE_ENTERING) && nTicks < 100) {
        Tick();
        nTicks++;
    }
    EXPECT_LT(nTicks, 100);
    EXPECT_EQ(p.GetState() & (PLAYER_STATE_ENTERING | PLAYER_STATE_JUMP), 0u);
    EXPECT_NE(p.GetState() & PLAYER_STATE_LANDED, 0u);
    EXPECT_FLOAT_EQ(Pos().y, kGroundY);
    // Keys are read again: the landed tick's entry move is the last.
    const float x = Pos().x;
    Ticks(3);
    EXPECT_FLOAT_EQ(Pos().x, x + 13.0f);
}

TEST_F(PlayerStart, LandedBitComesBackOnTheNextUpdateWithTheBlinkBits)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    p.SetState(p.GetState() | PLAYER_STATE_DAMAGE_BLINK | PLAYER_STATE_LANDED);
    CAppTimer::FrameTick();
    p.Update();
    EXPECT_EQ(p.GetState() & PLAYER_STATE_LANDED, 0u);
    EXPECT_NE(p.GetState() & PLAYER_STATE_DAMAGE_BLINK, 0u);
}

TEST_F(PlayerJump, HeldThroughStartDoesNotJumpUntilPressedAgain)
{
    Press('X');
    StartStanding();
    Ticks(5);
    EXPECT_EQ(m_pPlayer->GetState() & PLAYER_STATE_JUMP, 0u);
    EXPECT_FLOAT_EQ(Pos().y, kGroundY);
    Release('X');
    Tick();
    Press('X');
    CAppTimer::FrameTick();
    m_pPlayer->Update();
    EXPECT_NE(m_pPlayer->GetState() & PLAYER_STATE_JUMP, 0u);
    EXPECT_FLOAT_EQ(m_pPlayer->GetVerticalSpeed(), 16.0f - kGravity);
}

TEST_F(PlayerJump, ReleasingXCapsAFastRiseAtFive)
{
    StartStanding();
    ClearSoundRequests();
    Press('X');
    Tick();
    EXPECT_FLOAT_EQ(m_pPlayer->GetVerticalSpeed(), 16.0f - kGravity);
    if (m_bSound) {
        EXPECT_EQ(SoundState(kJumpVoice), PCM_STATE_REQUESTED);
    }
    Tick();
    Release('X');
    CAppTimer::FrameTick();
    m_pPlayer->Update();
    // Capped during the keys, then one gravity step.
    EXPECT_FLOAT_EQ(m_pPlayer->GetVerticalSpeed(), 5.0f - kGravity);
}

TEST_F(PlayerJump, ReleasingXLeavesASlowRiseAlone)
{
    StartStanding();
    Press('X');
    Ticks(8);  // 16 - 8 * 1.633 is below 5
    const float v = m_pPlayer->GetVerticalSpeed();
    ASSERT_LT(v, 5.0f);
    Release('X');
    CAppTimer::FrameTick();
    m_pPlayer->Update();
    EXPECT_FLOAT_EQ(m_pPlayer->GetVerticalSpeed(), v - kGravity);
}

TEST_F(PlayerJump, DownAndXDropsWithoutAVoice)
{
    StartStanding();
    ClearSoundRequests();
    Press(VK_DOWN);
    Press('X');
    CAppTimer::FrameTick();
    m_pPlayer->Update();
    EXPECT_TRUE(m_pPlayer->IsDropDown());
    EXPECT_NE(m_pPlayer->GetState() & PLAYER_STATE_JUMP, 0u);
    EXPECT_FLOAT_EQ(m_pPlayer->GetVerticalSpeed(), -5.0f - kGravity);
    if (m_bSound) {
        EXPECT_NE(SoundState(kJumpVoice), PCM_STATE_REQUESTED);
    }
}

TEST_F(PlayerJump, LandingFromAJumpSinksTheBikeForFiftyMs)
{
    StartStanding();
    Press('X');
    int n = 0;
    do {
        Tick();
        n++;
    } while ((m_pPlayer->GetState() & PLAYER_STATE_JUMP) && n < 100);
    ASSERT_LT(n, 100);
    Tick();
    EXPECT_FLOAT_EQ(m_pPlayer->GetSink(), 2.0f);
    Ticks(3);  // 50 ms later on the frame clock
    EXPECT_FLOAT_EQ(m_pPlayer->GetSink(), 0.0f);
}

TEST_F(PlayerGun, HeldZFiresOncePerShotBlankOnTheFrameClock)
{
    StartStanding();
    const int nBefore = m_pPlayer->GetGun().CountFlying();
    ASSERT_EQ(nBefore, 0);
    Press('Z');
    rvm::vector<int> shots;
    for (int i = 0; i < 16; i++) {
        Tick();
        shots.push_back(m_pPlayer->GetFrameShot());
    }
    // 16.666 ms a tick: 66 ms have passed again on every fourth tick.
    EXPECT_EQ(shots, (rvm::vector<int>{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(m_pPlayer->GetGun().CountFlying(), 4);
}

TEST_F(PlayerGun, LevelShotLeavesTheMuzzleOfGunposFlat)
{
    StartStanding(200.0f);
    Press('Z');
    CAppTimer::FrameTick();
    m_pPlayer->Update();
    ASSERT_EQ(m_pPlayer->GetFrameShot(), 1);
    const CPBullet& gun = m_pPlayer->GetGun();
    EXPECT_FLOAT_EQ(gun.m_vMuzzle.x, 250.0f);
    EXPECT_FLOAT_EQ(gun.m_vMuzzle.y, -(kGroundY - 50.0f));
    EXPECT_FLOAT_EQ(gun.m_fShotAngle, 0.0f);
    // Fired at the muzzle 3 px lower, then moved once by the gun's update.
    const PBULLETSLOT& s = gun.GetSlot(0);
    EXPECT_FLOAT_EQ(s.vPos.x, 250.0f + 12.0f);
    EXPECT_FLOAT_EQ(s.vPos.y, -(kGroundY - 50.0f) - 3.0f);
}

TEST_F(PlayerGun, SlopesTiltTheShotByEighteenDegrees)
{
    StartStanding();
    Press('Z');
    CPlayer& p = *m_pPlayer;
    p.SetState((p.GetState() & ~(DWORD)PLAYER_STATE_SLOPES) | PLAYER_STATE_UP);
    CAppTimer::FrameTick();
    p.Update();
    EXPECT_FLOAT_EQ(p.GetShotAngle(), 0.3211405823669566f);
    p.SetState((p.GetState() & ~(DWORD)PLAYER_STATE_SLOPES) | PLAYER_STATE_DOWN);
    Ticks(0);
    for (int i = 0; i < 4; i++) {
        CAppTimer::FrameTick();
        p.Update();
    }
    EXPECT_FLOAT_EQ(p.GetShotAngle(), -0.3211405823669566f);
}

TEST_F(PlayerAim, UpWithZTurnsStepByStepAndBack)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    Press(VK_UP);
    Press('Z');
    rvm::vector<float> angles;
    rvm::vector<DWORD> aims;
    for (int i = 0; i < 16; i++) {
        Tick();
        if (p.GetFrameShot()) {
            angles.push_back(p.GetAimAngle());
            aims.push_back(p.GetState() & PLAYER_STATE_UPAIM_BITS);
        }
    }
    ASSERT_EQ(angles.size(), 4u);
    EXPECT_FLOAT_EQ(angles[0], 0.2617994f);
    EXPECT_FLOAT_EQ(angles[1], 0.5235988f);
    EXPECT_FLOAT_EQ(angles[2], 0.7853982f);
    EXPECT_FLOAT_EQ(angles[3], 0.7853982f);
    EXPECT_EQ(aims[0], (DWORD)PLAYER_STATE_TURNING_UP);
    EXPECT_EQ(aims[2], (DWORD)PLAYER_STATE_AIM_UP);
    EXPECT_EQ(p.GetAimPose(), PLAYER_AIM_UP);

    Release(VK_UP);
    angles.clear();
    Tick();  // a shot is due: the first step back
    EXPECT_EQ(p.GetState() & PLAYER_STATE_UPAIM_BITS, (DWORD)PLAYER_STATE_TURNING_BACK);
    EXPECT_EQ(p.GetAimPose(), PLAYER_AIM_LEVEL);
    if (p.GetFrameShot())
        angles.push_back(p.GetAimAngle());
    for (int i = 0; i < 16 && (p.GetState() & PLAYER_STATE_TURNING_BACK); i++) {
        Tick();
        if (p.GetFrameShot())
            angles.push_back(p.GetAimAngle());
    }
    ASSERT_EQ(angles.size(), 3u);
    EXPECT_NEAR(angles[0], 0.5235988f, 1e-6);
    EXPECT_NEAR(angles[1], 0.2617994f, 1e-6);
    EXPECT_FLOAT_EQ(angles.back(), 0.0f);
    EXPECT_EQ(p.GetState() & PLAYER_STATE_UPAIM_BITS, (DWORD)PLAYER_STATE_AIM_LEVEL);
}

TEST_F(PlayerAim, UpWithoutZAimsUpAtOnceAndReleaseReturnsToLevel)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    Press(VK_UP);
    Tick();
    EXPECT_EQ(p.GetState() & PLAYER_STATE_UPAIM_BITS, (DWORD)PLAYER_STATE_AIM_UP);
    Press('Z');
    Tick();
    EXPECT_FLOAT_EQ(p.GetAimAngle(), 0.7853982f);
    Release('Z');
    Release(VK_UP);
    Tick();
    EXPECT_EQ(p.GetState() & PLAYER_STATE_UPAIM_BITS, (DWORD)PLAYER_STATE_AIM_LEVEL);
}

TEST_F(PlayerAim, DownWithZTurnsDownToMinusFortyFiveDegrees)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    Press(VK_DOWN);
    Press('Z');
    rvm::vector<float> angles;
    for (int i = 0; i < 12; i++) {
        Tick();
        if (p.GetFrameShot())
            angles.push_back(p.GetAimAngle());
    }
    ASSERT_EQ(angles.size(), 3u);
    EXPECT_FLOAT_EQ(angles[0], -0.2617994f);
    EXPECT_FLOAT_EQ(angles[2], -0.7853982f);
    EXPECT_EQ(p.GetState() & PLAYER_STATE_DOWNAIM_BITS, (DWORD)PLAYER_STATE_AIM_DOWN);
    EXPECT_EQ(p.GetAimPose(), PLAYER_AIM_DOWN);
}

TEST_F(PlayerMove, LeftMoveStopsThirtyTwoPixelsFromTheEdge)
{
    UseParams({"#SPEED 10.0"});
    StartStanding(40.0f);
    Press(VK_LEFT);
    CAppTimer::FrameTick();
    m_pPlayer->Update();
    EXPECT_FLOAT_EQ(m_pPlayer->GetVectorA().x, -8.0f);
    D3DVECTOR v = Pos();
    v.x = 30.0f;
    m_pPlayer->SetPosition(v);
    m_pPlayer->Update();
    EXPECT_FLOAT_EQ(m_pPlayer->GetVectorA().x, 0.0f);
    Release(VK_LEFT);
    Press(VK_RIGHT);
    v.x = 600.0f;
    m_pPlayer->SetPosition(v);
    m_pPlayer->Update();
    EXPECT_FLOAT_EQ(m_pPlayer->GetVectorA().x, 8.0f);
}

TEST_F(PlayerMove, UpSlopeTurnsTheMoveUpwardByAThird)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    p.SetState((p.GetState() & ~(DWORD)PLAYER_STATE_SLOPES) | PLAYER_STATE_UP);
    Press(VK_RIGHT);
    CAppTimer::FrameTick();
    p.Update();
    const D3DVECTOR a = p.GetVectorA();
    EXPECT_NEAR(a.y / a.x, -1.0f / 3.0f, 1e-6);
    EXPECT_NEAR(std::sqrt(a.x * a.x + a.y * a.y), 2.0f, 1e-6);
}

TEST_F(PlayerMove, DoubleTapRunsItsPhasesAndTimesOut)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    Tick();
    EXPECT_EQ(p.GetDoubleTapPhase(), 2);  // Z up
    Press('Z');
    Tick();
    EXPECT_EQ(p.GetDoubleTapPhase(), 3);
    Release('Z');
    Tick();
    EXPECT_EQ(p.GetDoubleTapPhase(), 4);
    Press('Z');
    Tick();
    EXPECT_EQ(p.GetDoubleTapPhase(), 5);
    Tick();  // fires (the charge is never ready yet) and starts over
    EXPECT_EQ(p.GetDoubleTapPhase(), 0);

    // Held for longer than the window: back to the start.
    Release('Z');
    Tick();
    Press('Z');
    Tick();
    ASSERT_EQ(p.GetDoubleTapPhase(), 3);
    Ticks(12);  // 200 ms
    EXPECT_EQ(p.GetDoubleTapPhase(), 3);
    Tick();
    EXPECT_EQ(p.GetDoubleTapPhase(), 0);
}

TEST_F(PlayerBoxes, DamageAndBoundBoxesFollowTheParameters)
{
    StartStanding(300.0f);
    CPlayer& p = *m_pPlayer;
    D3DVECTOR c;
    p.GetDamageCenter(&c);
    EXPECT_FLOAT_EQ(c.x, 300.0f);
    EXPECT_FLOAT_EQ(c.y, kGroundY - 40.0f);
    RECT rc;
    p.GetDamageRect(&rc);
    EXPECT_EQ(rc.left, 284);
    EXPECT_EQ(rc.top, 248);
    EXPECT_EQ(rc.right, 316);
    EXPECT_EQ(rc.bottom, 272);
    const RECT rcBound = p.GetBoundRect();
    EXPECT_EQ(rcBound.left, 205);
    EXPECT_EQ(rcBound.top, 220);
    EXPECT_EQ(rcBound.right, 205 + 190 - 30);
    EXPECT_EQ(rcBound.bottom, 220 + 85);
    p.Miss();
    p.GetDamageRect(&rc);
    EXPECT_EQ(rc.right - rc.left, 0);
    const RECT rcGone = p.GetBoundRect();
    EXPECT_EQ(rcGone.right, 0);
}

TEST_F(PlayerBoxes, EachHitCostsTenLifeAndTheBlinkShieldsTheNext)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), 90);
    EXPECT_NE(p.GetState() & PLAYER_STATE_DAMAGE_BLINK, 0u);
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), 90);
    Ticks(61);  // more than GLIM_TIME
    EXPECT_EQ(p.GetState() & PLAYER_STATE_BLINKS, 0u);
    g_nOptionFlags[0] = 1;  // half damage
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), 85);
    EXPECT_FLOAT_EQ(p.GetLifeRatio(), 0.85f);
}

TEST_F(PlayerBoxes, LifeRunningOutStartsTheMiss)
{
    // Not the shield: charged, it would take one of the hits.
    m_pPlayer->SetSubWeapon(SUBWEAPON_HAWK_WIND);
    StartStanding();
    CPlayer& p = *m_pPlayer;
    for (int i = 0; i < 10; i++) {
        p.Damage(5);
        Ticks(61);
    }
    EXPECT_EQ(p.GetLife(), 0);
    EXPECT_NE(p.GetState() & PLAYER_STATE_MISS, 0u);
    const float x = Pos().x;
    Press(VK_RIGHT);
    Ticks(3);
    EXPECT_FLOAT_EQ(Pos().x, x);
}

TEST_F(PlayerBoxes, ExperienceSetsTheGunLevelAfterThePairTests)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    EXPECT_EQ(p.GetGun().GetLevel(), 4);
    p.AddExp(64, 0, 0);
    EXPECT_EQ(p.GetGunLevel(), 6);
    EXPECT_EQ(p.GetGun().GetLevel(), 4);
    Tick();
    EXPECT_EQ(p.GetGun().GetLevel(), 6);
    const rvm::vector<KEYRECINFO>& track = CKeyRecorder::GetInstance()->GetTrack(0);
    EXPECT_EQ(track.back().bonus, 6);
}

TEST_F(PlayerBoxes, DrawPutsTheGunTipOnTheMuzzleAndBlinksRed)
{
    StartStanding(300.0f);
    CPlayer& p = *m_pPlayer;
    FillBack(0);
    ASSERT_EQ(p.Draw(g_lpDDSBack, 0.0f), 1);
    // The gun's white tip sits on the level muzzle (x + 50, y - 50).
    EXPECT_EQ(BackPixel(350, 250), 0xFFFF);
    // Left of the bike and above the rider nothing is drawn.
    EXPECT_EQ(BackPixel(200, 200), 0);
    const WORD wNormal = BackPixel(300, 260);
    ASSERT_NE(wNormal, 0);
    p.Damage(5);
    for (int i = 0; i < 8 && p.IsVisible(); i++)
        Tick();
    ASSERT_EQ(p.IsVisible(), 0);
    FillBack(0);
    D3DVECTOR v = Pos();
    v.x = 300.0f;
    p.SetPosition(v);
    p.Draw(g_lpDDSBack, 0.0f);
    EXPECT_NE(BackPixel(300, 260), wNormal);
    EXPECT_NE(BackPixel(300, 260), 0);
}

namespace {

struct FRAMESTATE {
    DWORD dwState;
    float x, y, v;
    int nShot;
    bool operator==(const FRAMESTATE& o) const
    {
        const DWORD kMask = ~(DWORD)PLAYER_STATE_PLAYBACK;
        return (dwState & kMask) == (o.dwState & kMask) && x == o.x && y == o.y && v == o.v && nShot == o.nShot;
    }
};

} // namespace

TEST_F(PlayerReplay, ARecordedRunPlaysBackTickForTick)
{
    struct STEP {
        int nTick;
        int nKey;
        bool bDown;
    };
    const STEP script[] = {
        {5, VK_RIGHT, true}, {9, 'Z', true},     {20, 'X', true},   {26, 'X', false}, {30, VK_UP, true},
        {45, VK_UP, false},  {50, VK_RIGHT, false}, {52, VK_LEFT, true}, {60, 'Z', false}, {61, 'Z', true},
        {70, 'X', true},     {71, 'X', false},  {90, VK_DOWN, true}, {110, VK_DOWN, false}, {115, VK_LEFT, false},
    };
    auto run = [&](int bPlayback) {
        CAppTimer::ResetFrameClock();
        CAppTimer::ResetAll();
        m_pPlayer->Start(bPlayback, 1);
        rvm::vector<FRAMESTATE> out;
        for (int t = 0; t < 140; t++) {
            if (!bPlayback) {
                for (const STEP& s : script) {
                    if (s.nTick == t) {
                        if (s.bDown)
                            Press(s.nKey);
                        else
                            Release(s.nKey);
                    }
                }
            }
            Tick();
            const D3DVECTOR p = Pos();
            out.push_back(FRAMESTATE{m_pPlayer->GetState(), p.x, p.y, m_pPlayer->GetVerticalSpeed(),
                                     m_pPlayer->GetFrameShot()});
        }
        ReleaseAll();
        return out;
    };
    const rvm::vector<FRAMESTATE> recorded = run(0);
    CKeyRecorder::GetInstance()->StopRec();
    int nShots = 0;
    for (const FRAMESTATE& f : recorded)
        nShots += f.nShot;
    EXPECT_GT(nShots, 10);
    // Live keys held now must not leak into the playback.
    Press(VK_LEFT);
    const rvm::vector<FRAMESTATE> played = run(1);
    ASSERT_EQ(played.size(), recorded.size());
    for (size_t i = 0; i < recorded.size(); i++) {
        ASSERT_TRUE(played[i] == recorded[i]) << "tick " << i << ": state " << std::hex << recorded[i].dwState
                                              << " / " << played[i].dwState << std::dec << " x " << recorded[i].x
                                              << " / " << played[i].x << " y " << recorded[i].y << " / "
                                              << played[i].y;
    }
    EXPECT_NE(m_pPlayer->GetState() & PLAYER_STATE_PLAYBACK, 0u);
}

TEST_F(PlayerReplay, PlaybackFiresOnlyOnRecordedShotFrames)
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    // Frame, code, shot: Z held from frame 50 to 200, shots recorded on frames 50 and 53 only.
    const int rows[][3] = {{0, 0, 0}, {50, INPUT_SHOT, 1}, {51, INPUT_SHOT, 0}, {53, INPUT_SHOT, 1},
                           {54, INPUT_SHOT, 0}, {200, 0, 0}};
    rvm::vector<KEYRECINFO> track;
    for (const auto& row : rows) {
        KEYRECINFO r{};
        r.frame = row[0];
        r.code = row[1];
        r.shot = row[2];
        r.step = 1;
        r.bonus = 4;
        track.push_back(r);
    }
    REPLAYIMAGE image;
    image.tracks[0] = track;
    image.header.nPairs[0][0] = 0;
    image.header.nPairs[0][1] = 0;
    pRec->Restore(image);
    m_pPlayer->Start(1, 1);
    rvm::vector<int> shotTicks;
    for (int t = 0; t < 80; t++) {
        const int nFrame = pRec->GetFrame();
        Tick();
        if (m_pPlayer->GetFrameShot())
            shotTicks.push_back(nFrame);
    }
    EXPECT_EQ(shotTicks, (rvm::vector<int>{50, 53}));
}

TEST_F(PlayerReplay, KeysHeldAtTheStartReachTheTerrainNeitherLiveNorPlayedBack)
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    Press('X');
    Press(VK_DOWN);
    m_pPlayer->Start(0, 1);
    ASSERT_EQ(pRec->GetTrack(0).front().code & (INPUT_DOWN | INPUT_JUMP), INPUT_DOWN | INPUT_JUMP);
    rvm::vector<int> live;
    for (int t = 0; t < 5; t++) {
        ASSERT_NE(m_pPlayer->GetState() & PLAYER_STATE_ENTERING, 0u);
        live.push_back(m_pPlayer->IsDropDown());
        Tick();
    }
    pRec->StopRec();
    ReleaseAll();
    // The replay starts from the same first code; during the ride-in no key is read, so the
    // platforms under her must hold her alike.
    m_pPlayer->Start(1, 1);
    EXPECT_EQ(m_pPlayer->GetFrameKeyCode(), 0);
    rvm::vector<int> played;
    for (int t = 0; t < 5; t++) {
        played.push_back(m_pPlayer->IsDropDown());
        Tick();
    }
    EXPECT_EQ(live, (rvm::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(played, live);
}
