// The four sub-weapons and the bike effects stepped tick by tick on the frame clock (16 or 17 ms a
// tick): the shield's frames and lifetime, the missiles' fan, homing and one-hit rule, the fire
// ball, cloud and rain, the call-in and the columns of the Ground Wiper, when each stands in the
// hit registry, and the exhaust flame and landing smoke.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "player/BoxTargets.h"
#include "player/OptionIcon.h"
#include "player/PlayerFixture.h"

namespace {

using SubWeapons = CPlayerFixture;

bool IsRegistered(CCrushable& obj)
{
    return obj.m_nIndex >= 0 && CCrushableSet::GetAt(obj.m_nCategory, obj.m_nIndex) == &obj;
}

RECT Rect(int l, int t, int r, int b)
{
    return RECT{l, t, r, b};
}

} // namespace

// ---- Ion Shield ---------------------------------------------------------------------------------

TEST_F(SubWeapons, TheShieldFlickersEveryThirtyMillisecondsAndGoesAfterEightHundred)
{
    CSWeapon1b& shield = m_pPlayer->GetIonShield();
    EXPECT_TRUE(shield.IsFinished());
    CAppTimer::FrameTick();
    shield.Start();
    const DWORD dwStart = CAppTimer::GetElapsed(0);
    int nLastFrame = shield.GetFrame(), nFlips = 0;
    DWORD dwEnd = 0;
    for (int t = 0; t < 60 && !dwEnd; t++) {
        CAppTimer::FrameTick();
        shield.Update();
        const DWORD dwSince = CAppTimer::GetElapsed(0) - dwStart;
        nFlips += shield.GetFrame() != nLastFrame;
        nLastFrame = shield.GetFrame();
        if (shield.IsFinished())
            dwEnd = dwSince;
        else
            EXPECT_LE(dwSince, 800u);
    }
    // The first update past 800 ms ends it; the frame turns on every second tick (past 30 ms).
    EXPECT_GT(dwEnd, 800u);
    EXPECT_LT(dwEnd, 818u);
    EXPECT_GE(nFlips, 23);
    EXPECT_LE(nFlips, 25);
}

TEST_F(SubWeapons, StartingTheShieldAgainRestartsItsLifetimeAndFrame)
{
    CSWeapon1b& shield = m_pPlayer->GetIonShield();
    shield.Start();
    for (int t = 0; t < 40; t++) {
        CAppTimer::FrameTick();
        shield.Update();
    }
    shield.Start();
    EXPECT_EQ(shield.GetFrame(), 0);
    for (int t = 0; t < 40; t++) {
        CAppTimer::FrameTick();
        shield.Update();
    }
    EXPECT_FALSE(shield.IsFinished());
    // It hurts nothing: never in the hit registry.
    EXPECT_EQ(CCrushableSet::GetAt(CRUSH_PLAYER_BULLET, 1), nullptr);
}

// ---- Hawk Wind ----------------------------------------------------------------------------------

TEST_F(SubWeapons, FourMissilesFanOutSpeedUpAndTurnToTheFarPointWithNoEnemy)
{
    CSWeapon2& hawk = m_pPlayer->GetHawkWind();
    hawk.m_vOrigin = D3DVECTOR{100.0f, -300.0f, 0.0f};
    EXPECT_FALSE(IsRegistered(hawk));
    hawk.Start(0);
    EXPECT_TRUE(IsRegistered(hawk));
    const float kAngles[4] = {0.0f, 0.5233334f, 1.0466668f, 1.5700002f};
    for (int i = 0; i < 4; i++)
        EXPECT_FLOAT_EQ(hawk.GetMissile(i).fAngle, kAngles[i]);
    // Launch: speed 2 then 3, 4, ...; the distance grows by twice the speed.
    CAppTimer::FrameTick();
    hawk.Update();
    const CSWeapon2::MISSILE& m0 = hawk.GetMissile(0);
    EXPECT_FLOAT_EQ(m0.Trail[0].vPos.x, 102.0f);
    EXPECT_FLOAT_EQ(m0.fDistance, 4.0f);
    EXPECT_FLOAT_EQ(m0.fSpeed, 3.0f);
    CAppTimer::FrameTick();
    hawk.Update();
    EXPECT_FLOAT_EQ(m0.Trail[0].vPos.x, 105.0f);
    // Record 1 trails two stamps behind the head: still at the launch point.
    EXPECT_FLOAT_EQ(m0.Trail[1].vPos.x, 100.0f);
    int nTicks = 2;
    while (hawk.GetPhase() == 0 && nTicks < 100) {
        CAppTimer::FrameTick();
        hawk.Update();
        nTicks++;
    }
    // Past 200 ms: homing on (6000, 240) of the screen, that is y -240 here.
    EXPECT_EQ(nTicks, 13);
    // Every trail puff has been set off by now and, without a colour step, keeps showing.
    for (int i = 0; i < 4; i++) {
        for (int k = 0; k < HAWK_TRAILS; k++)
            EXPECT_FALSE(hawk.GetMissile(i).Trail[k].Puff.IsFinished()) << i << " " << k;
    }
    EXPECT_EQ(hawk.GetTarget().x, 6000.0f);
    EXPECT_EQ(hawk.GetTarget().y, -240.0f);
    for (int i = 0; i < 4; i++) {
        const CSWeapon2::MISSILE& m = hawk.GetMissile(i);
        EXPECT_NEAR(m.fAngle, atan2f(-240.0f - m.Trail[0].vPos.y, 6000.0f - m.Trail[0].vPos.x), 1e-5f);
    }
    hawk.Stop();
    EXPECT_FALSE(IsRegistered(hawk));
}

TEST_F(SubWeapons, AMissileLevelWithTheTargetStopsSteeringAndOneTestSpendsOneMissile)
{
    CSWeapon2& hawk = m_pPlayer->GetHawkWind();
    CBoxLabel label;
    label.m_rc = Rect(300, 200, 340, 240);
    hawk.m_vOrigin = D3DVECTOR{100.0f, -400.0f, 0.0f};
    hawk.Start(9);
    for (int t = 0; t < 13; t++) {
        CAppTimer::FrameTick();
        hawk.Update();
    }
    ASSERT_EQ(hawk.GetPhase(), 1);
    // Homing from here on: every missile comes level with the far point within 50 px in y and
    // flies on straight.
    int nStraight = 0;
    for (int t = 0; t < 200 && nStraight < 4; t++) {
        CAppTimer::FrameTick();
        hawk.Update();
        nStraight = 0;
        for (int i = 0; i < 4; i++)
            nStraight += hawk.GetMissile(i).nState == 2;
    }
    EXPECT_EQ(nStraight, 4);
    const float fAngle = hawk.GetMissile(3).fAngle;
    CAppTimer::FrameTick();
    hawk.Update();
    EXPECT_EQ(hawk.GetMissile(3).fAngle, fAngle);

    // Two missiles over one label: the first test spends one, the next the other.
    hawk.Start(0);
    float b0[4];
    hawk.GetMissileBox(0, b0);
    EXPECT_EQ(b0[0], 68.0f);
    EXPECT_EQ(b0[1], 368.0f);
    EXPECT_EQ(b0[3], 432.0f);
    label.m_rc = Rect(120, 360, 200, 420);  // each missile's right-top corner at the launch point
    EXPECT_EQ(hawk.HitByLabel(nullptr, &label), 1);
    EXPECT_EQ(label.m_nCalls, 1);
    EXPECT_EQ(label.m_pLastBullet, &hawk);
    EXPECT_TRUE(hawk.GetMissile(0).bHit);
    EXPECT_FALSE(hawk.GetMissile(1).bHit);
    EXPECT_EQ(hawk.HitByLabel(nullptr, &label), 1);
    EXPECT_TRUE(hawk.GetMissile(1).bHit);
    // A box wholly inside the missile's, no corner in it: missed, as the corner test has it.
    CBoxPart part;
    part.m_rc = Rect(95, 395, 105, 405);
    EXPECT_EQ(hawk.HitByEnemyPart(nullptr, &part), 0);
    // The power is MISSILE_DAMAGE, not doubled.
    g_nOptionFlags[OPTION_DOUBLE_POWER] = 1;
    EXPECT_EQ(hawk.GetPower(), 2);
    g_nOptionFlags[OPTION_DOUBLE_POWER] = 0;
    hawk.Stop();
    EXPECT_EQ(hawk.HitByLabel(nullptr, &label), 0);
}

// ---- Fire Storm ---------------------------------------------------------------------------------

TEST_F(SubWeapons, TheFireBallRisesToTheTopEdgeAndBurstsIntoACloudThatRains)
{
    CSWeapon3& storm = m_pPlayer->GetFireStorm();
    storm.m_vOrigin = D3DVECTOR{100.0f, -300.0f, 0.0f};
    storm.Start(0);
    const float vx = cosf(1.0466667f) * 30.0f, vy = sinf(1.0466667f) * 30.0f;
    int t = 0;
    CBoxPart part;
    part.m_rc = Rect(0, 0, 640, 480);
    while (storm.GetState() == CSWeapon3::STATE_BALL && t < 50) {
        // The ball itself hurts nothing and is in no registry.
        EXPECT_EQ(storm.HitByEnemyPart(nullptr, &part), 0);
        EXPECT_FALSE(IsRegistered(storm));
        CAppTimer::FrameTick();
        storm.Update();
        t++;
    }
    // 300 / 25.98 = 11.5: the twelfth step crosses the line.
    EXPECT_EQ(t, 12);
    EXPECT_FLOAT_EQ(storm.GetCloudPosition().x, 100.0f + 12.0f * vx);
    EXPECT_EQ(storm.GetCloudPosition().y, 0.0f);
    EXPECT_GT(12.0f * vy, 300.0f);
    // One cloud update, the rain set up and registered.
    CAppTimer::FrameTick();
    storm.Update();
    EXPECT_EQ(storm.GetState(), CSWeapon3::STATE_RAIN);
    EXPECT_TRUE(IsRegistered(storm));
    EXPECT_FLOAT_EQ(storm.GetFlame(0).fAlpha, 0.075f);
    const DWORD dwRain = CAppTimer::GetElapsed(0);
    // A row after more than 125 ms: six drops 32 px apart at the cloud's row less 100.
    int nRowTick = 0;
    for (int k = 1; k < 12 && !nRowTick; k++) {
        CAppTimer::FrameTick();
        storm.Update();
        if (!storm.GetRow(0).bFinished)
            nRowTick = k;
    }
    EXPECT_EQ(nRowTick, 8);
    const CSWeapon3::RAINROW& row = storm.GetRow(0);
    for (int j = 0; j < 6; j++) {
        EXPECT_FLOAT_EQ(row.Drops[j].vStart.x, storm.GetCloudPosition().x - 80.0f + 32.0f * (float)j);
        EXPECT_EQ(row.Drops[j].vStart.y, -100.0f);
        EXPECT_EQ(row.Drops[j].dwDelay, 20u * (DWORD)j);
    }
    // Drop 0 falls 30 an update; drop k follows 30 k above once the line reaches it.
    CAppTimer::FrameTick();
    storm.Update();
    EXPECT_EQ(row.Drops[0].vPos.y, -130.0f);
    EXPECT_EQ(row.Drops[1].vPos.y, -100.0f);
    EXPECT_FALSE(row.Drops[1].bWaiting);
    EXPECT_TRUE(row.Drops[2].bWaiting);
    CAppTimer::FrameTick();
    storm.Update();
    EXPECT_EQ(row.Drops[2].vPos.y, -100.0f);
    EXPECT_EQ(row.Drops[1].vPos.y, -130.0f);
    // The rain ends at least 2000 ms after it began, then the flames fade and it stops itself.
    while (storm.GetState() == CSWeapon3::STATE_RAIN) {
        CAppTimer::FrameTick();
        storm.Update();
    }
    EXPECT_GE(CAppTimer::GetElapsed(0) - dwRain, 2000u);
    EXPECT_LT(CAppTimer::GetElapsed(0) - dwRain, 2017u);
    int nFade = 0;
    while (!storm.IsFinished() && nFade < 100) {
        CAppTimer::FrameTick();
        storm.Update();
        nFade++;
    }
    EXPECT_TRUE(storm.IsFinished());
    EXPECT_FALSE(IsRegistered(storm));
    EXPECT_GT(nFade, 6);
}

TEST_F(SubWeapons, ABallFiredFromAboveTheCloudLineFallsToIt)
{
    UseParams({"#CLOUD_HEIGHT 240"});
    CSWeapon3& storm = m_pPlayer->GetFireStorm();
    storm.m_vOrigin = D3DVECTOR{100.0f, -40.0f, 0.0f};
    storm.Start(0);
    int t = 0;
    while (storm.GetState() == CSWeapon3::STATE_BALL && t < 50) {
        CAppTimer::FrameTick();
        storm.Update();
        t++;
        EXPECT_LT(storm.GetBallPosition().x - 100.0f, 30.0f * (float)t);
    }
    EXPECT_EQ(t, 8);  // 200 / 25.98 = 7.7
    EXPECT_EQ(storm.GetCloudPosition().y, -240.0f);
}

TEST_F(SubWeapons, DropsAreSpentOnLabelsButFallOnThroughPartsAndTheCloudReachGrowsWithItsFlames)
{
    CSWeapon3& storm = m_pPlayer->GetFireStorm();
    storm.m_vOrigin = D3DVECTOR{100.0f, -300.0f, 0.0f};
    storm.Start(0);
    for (int t = 0; t < 22; t++) {
        CAppTimer::FrameTick();
        storm.Update();
    }
    const CSWeapon3::RAINROW& row = storm.GetRow(0);
    ASSERT_FALSE(row.bFinished);
    const CSWeapon3::FIRERAINPART& drop = row.Drops[0];
    ASSERT_FALSE(drop.bWaiting);
    float b[4];
    drop.GetBox(b);
    EXPECT_EQ(b[2] - b[0], 32.0f);
    // Its middle row touches the box's left edge: a hit on a part, every test, nothing marked.
    const LONG x = (LONG)b[2], y = (LONG)((b[1] + b[3]) / 2.0f);
    CBoxPart part;
    part.m_rc = Rect(x, y - 5, x + 40, y + 5);
    EXPECT_EQ(storm.HitByEnemyPart(nullptr, &part), 1);
    EXPECT_EQ(storm.HitByEnemyPart(nullptr, &part), 1);
    EXPECT_FALSE(drop.bHit);
    CBoxShot shot;
    shot.m_rc = part.m_rc;
    EXPECT_EQ(storm.HitByEnemyBullet(nullptr, &shot), 1);
    // A label takes the drop.
    CBoxLabel label;
    label.m_rc = part.m_rc;
    EXPECT_EQ(storm.HitByLabel(nullptr, &label), 1);
    EXPECT_EQ(label.m_nCalls, 1);
    EXPECT_TRUE(drop.bHit);
    EXPECT_EQ(storm.HitByLabel(nullptr, &label), 0);
    // The cloud's box: each flame's reach is its alpha times 0.55 (across) and 0.5 (up and down)
    // of the 32 px flame, 16 px lower than drawn.
    float c[4];
    storm.GetCloudBox(c);
    float fLeft = 640.0f, fBottom = -1.0f;
    for (int i = 0; i < 4; i++) {
        const CSWeapon3::FLAME& f = storm.GetFlame(i);
        fLeft = std::min(fLeft, f.vPos.x - 0.55f * f.fAlpha * 32.0f);
        fBottom = std::max(fBottom, -f.vPos.y + 16.0f + 0.5f * f.fAlpha * 32.0f);
    }
    EXPECT_FLOAT_EQ(c[0], fLeft);
    EXPECT_FLOAT_EQ(c[3], fBottom);
    part.m_rc = Rect((LONG)c[0] + 2, (LONG)c[3] - 4, (LONG)c[0] + 20, (LONG)c[3] + 20);
    EXPECT_EQ(storm.HitByEnemyPart(nullptr, &part), 1);
    part.m_rc = Rect((LONG)c[0] + 2, (LONG)c[3] + 2, (LONG)c[0] + 20, (LONG)c[3] + 20);
    EXPECT_EQ(storm.HitByEnemyPart(nullptr, &part), 0);
    EXPECT_EQ(storm.GetPower(), 1);
}

// ---- Ground Wiper -------------------------------------------------------------------------------

TEST_F(SubWeapons, TheCallInEntersBrakesWaitsAndLeavesThenSixColumnsStand)
{
    CSWeapon4& wiper = m_pPlayer->GetGroundWiper();
    wiper.m_vStartPoint = D3DVECTOR{45.0f, -400.0f, 0.0f};
    wiper.Start();
    // Registered from the start, call-in and all.
    EXPECT_TRUE(IsRegistered(wiper));
    const CStaffRoll& call = wiper.GetCallIn();
    const float fTarget = 320.0f - (float)call.GetWidth() / 2.0f;
    EXPECT_EQ(call.GetX(), -480.0f);
    CAppTimer::FrameTick();
    wiper.Update();
    EXPECT_EQ(call.GetX(), -420.0f);
    int t = 1;
    while (call.GetState() == CStaffRoll::STATE_ENTER && t < 100) {
        const float fBefore = call.GetX();
        CAppTimer::FrameTick();
        wiper.Update();
        t++;
        EXPECT_GE(call.GetX() - fBefore, call.GetState() == CStaffRoll::STATE_ENTER ? 1.0f : 0.0f);
    }
    EXPECT_EQ(call.GetX(), fTarget);
    const DWORD dwStop = CAppTimer::GetElapsed(0);
    while (call.GetState() == CStaffRoll::STATE_WAIT) {
        CAppTimer::FrameTick();
        wiper.Update();
    }
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwStop, 500u);
    while (wiper.GetState() == CSWeapon4::STATE_CALL_IN && t < 400) {
        CAppTimer::FrameTick();
        wiper.Update();
        t++;
    }
    ASSERT_EQ(wiper.GetState(), CSWeapon4::STATE_SWEEP);
    // Each shot comes down 500 px at 60 degrees in 7 moves; columns stand at 45 + 110 k.
    int nLanded = 0;
    for (int k = 0; k < 200 && nLanded < 6; k++) {
        CAppTimer::FrameTick();
        wiper.Update();
        if (wiper.GetSweepCount() > nLanded) {
            const CSWeapon4::SWEEP& sweep = wiper.GetSweep(nLanded);
            EXPECT_EQ(sweep.vPoint.x, 45.0f + 110.0f * (float)nLanded);
            EXPECT_EQ(sweep.vPoint.y, -400.0f);
            // Its first stamp started and faded once on the landing tick.
            EXPECT_FLOAT_EQ(sweep.Stamps[0].GetColor()[0], 0.992f);
            nLanded++;
        }
    }
    EXPECT_EQ(nLanded, 6);
    EXPECT_TRUE(wiper.IsShotIdle());
    // It stops itself once the sixth column has faded, and leaves the registry.
    int nTicks = 0;
    while (!wiper.IsFinished() && nTicks < 400) {
        CAppTimer::FrameTick();
        wiper.Update();
        nTicks++;
    }
    EXPECT_TRUE(wiper.IsFinished());
    EXPECT_FALSE(IsRegistered(wiper));
    // The bottom stamp fades slowest: 0.9 at 0.008 an update.
    EXPECT_GT(nTicks, 100);
}

TEST_F(SubWeapons, AColumnGrowsThirtyFourPixelsAStampAndHitsWhatReachesBelowItsTop)
{
    CSWeapon4& wiper = m_pPlayer->GetGroundWiper();
    wiper.m_vStartPoint = D3DVECTOR{45.0f, -400.0f, 0.0f};
    wiper.Start();
    while (wiper.GetSweepCount() == 0) {
        CAppTimer::FrameTick();
        wiper.Update();
    }
    const CSWeapon4::SWEEP& sweep = wiper.GetSweep(0);
    // The stamps' colour steps: -0.008 (k + 1), no steeper than -0.032.
    const DWORD dwLanded = CAppTimer::GetElapsed(0);
    int nPrev = wiper.CountStarted(sweep);
    for (int i = 0; i < 20; i++) {
        CAppTimer::FrameTick();
        wiper.Update();
        const int n = wiper.CountStarted(sweep);
        // One stamp more per 30 ms.
        EXPECT_EQ(n, std::min(10, (int)((CAppTimer::GetElapsed(0) - dwLanded) / 30) + 1));
        EXPECT_EQ(wiper.GetColumnTop(sweep), 400.0f - 34.0f * (float)n);
        nPrev = n;
    }
    EXPECT_EQ(nPrev, 10);
    EXPECT_EQ(wiper.GetColumnTop(sweep), 60.0f);
    float before[10];
    for (int k = 0; k < 10; k++)
        before[k] = sweep.Stamps[k].GetColor()[0];
    CAppTimer::FrameTick();
    wiper.Update();
    const float kSteps[10] = {0.008f, 0.016f, 0.024f, 0.032f, 0.032f, 0.032f, 0.032f, 0.032f, 0.032f, 0.032f};
    for (int k = 0; k < 10; k++)
        EXPECT_NEAR(before[k] - sweep.Stamps[k].GetColor()[0], kSteps[k], 1e-5f) << k;
    // 60 px to each side of x 45, below row 60.
    CBoxPart part;
    part.m_rc = Rect(104, 40, 140, 61);
    EXPECT_EQ(wiper.HitByEnemyPart(nullptr, &part), 1);
    EXPECT_EQ(wiper.HitByEnemyPart(nullptr, &part), 1);  // every test
    part.m_rc = Rect(106, 40, 140, 61);
    EXPECT_EQ(wiper.HitByEnemyPart(nullptr, &part), 0);
    part.m_rc = Rect(0, 20, 40, 60);
    EXPECT_EQ(wiper.HitByEnemyPart(nullptr, &part), 0);
    CBoxLabel label;
    label.m_rc = Rect(0, 20, 40, 80);
    EXPECT_EQ(wiper.HitByLabel(nullptr, &label), 1);
    EXPECT_EQ(label.m_nCalls, 1);
    EXPECT_EQ(wiper.GetPower(), 2);
}

// ---- Bike effects -------------------------------------------------------------------------------

TEST_F(SubWeapons, TheExhaustFlameTogglesPastThirtyMillisecondsUntilStopped)
{
    StartStanding();
    CBackFire& fire = m_pPlayer->GetBackFire();
    EXPECT_FALSE(fire.IsStopped());
    EXPECT_EQ(fire.GetPose(), CBackFire::POSE_FLAT);
    Tick();
    D3DVECTOR p = Pos();
    EXPECT_EQ(fire.GetOrigin().x, p.x - 100.0f);
    EXPECT_EQ(fire.GetOrigin().y, -(p.y - 160.0f));
    int nFrame = fire.GetFrame(), nToggles = 0;
    for (int t = 0; t < 30; t++) {
        Tick();
        nToggles += fire.GetFrame() != nFrame;
        nFrame = fire.GetFrame();
    }
    EXPECT_GE(nToggles, 14);
    EXPECT_LE(nToggles, 15);
    Press('X');
    Tick();
    Tick();
    EXPECT_EQ(fire.GetPose(), CBackFire::POSE_JUMP);
    Release('X');
    fire.Stop();
    nFrame = fire.GetFrame();
    Ticks(10);
    EXPECT_EQ(fire.GetFrame(), nFrame);
}

TEST_F(SubWeapons, MissingFlameOffsetsKeepTheirDefaultsAndYIsStoredNegated)
{
    UseParams({"#BACKFIRE_FLAT -70, 80"});
    CBackFire& fire = m_pPlayer->GetBackFire();
    EXPECT_EQ(fire.GetOffset(CBackFire::POSE_FLAT).x, -70.0f);
    EXPECT_EQ(fire.GetOffset(CBackFire::POSE_FLAT).y, -80.0f);
    EXPECT_EQ(fire.GetOffset(CBackFire::POSE_UP).x, -84.0f);
    EXPECT_EQ(fire.GetOffset(CBackFire::POSE_UP).y, 4.0f);
    EXPECT_EQ(fire.GetOffset(CBackFire::POSE_DOWN).y, -56.0f);
    EXPECT_EQ(fire.GetOffset(CBackFire::POSE_JUMP).x, -30.0f);
    EXPECT_EQ(fire.GetOffset(CBackFire::POSE_JUMP).y, 15.0f);
}

TEST_F(SubWeapons, LandingFromAJumpRaisesSmokeAtHerWheelsThatFadesAway)
{
    StartStanding();
    CLandSmokeSW& smoke = m_pPlayer->GetLandSmoke();
    // The smoke of her first landing, after the ride-in, is gone after a second.
    Ticks(60);
    EXPECT_TRUE(smoke.IsStopped());
    Press('X');
    Tick();
    Release('X');
    int t = 0;
    while (smoke.IsStopped() && t < 200) {
        Tick();
        t++;
    }
    ASSERT_FALSE(smoke.IsStopped());
    EXPECT_EQ(smoke.CountShown(), 10);
    const D3DVECTOR p = Pos();
    // Started at (x, -(y - 20)) and moved once by the tick's update.
    EXPECT_NEAR(smoke.GetPuff(0).GetPosition().x, p.x - 1.0f, 1.1f);
    EXPECT_NEAR(smoke.GetPuff(0).GetPosition().y, -(p.y - 20.0f), 1.1f);
    // Puffs the smoke picture's size (64 px), and fast enough to leave the bike's outline (95 px
    // behind her point) before they fade.
    EXPECT_FLOAT_EQ(smoke.GetPuff(0).GetVertices()[1].x, 32.0f);
    Ticks(20);
    float fLeftmost = p.x;
    for (int i = 0; i < 10; i++)
        fLeftmost = std::min(fLeftmost, smoke.GetPuff(i).GetPosition().x);
    EXPECT_LT(fLeftmost, p.x - 95.0f);
    EXPECT_EQ(smoke.CountShown(), 10);
    Ticks(40);
    EXPECT_TRUE(smoke.IsStopped());
}

// ---- Firing from the cockpit's charge -----------------------------------------------------------

TEST_F(SubWeapons, ShiftFiresTheChargedWeaponFromHerPointAndRestartsTheCharge)
{
    UseParams({"#HAWK_WIND_CHARGE_TIME 1", "#MISSILE_SPEED 2.0"});
    m_pPlayer->SetSubWeapon(SUBWEAPON_HAWK_WIND);
    StartStanding();
    CSWeapon2& hawk = m_pPlayer->GetHawkWind();
    Press(VK_SHIFT);
    Tick();
    EXPECT_TRUE(hawk.IsFinished());  // not charged yet
    int t = 0;
    while (hawk.IsFinished() && t < 100) {
        Tick();
        t++;
    }
    EXPECT_FALSE(hawk.IsFinished());
    EXPECT_FALSE(m_pPlayer->GetCockpit().IsCharged());
    const D3DVECTOR p = Pos();
    EXPECT_EQ(hawk.GetMissile(3).Stamps[STAMP_NUM - 1].vPos.x, p.x);
    EXPECT_EQ(hawk.GetMissile(3).Stamps[STAMP_NUM - 1].vPos.y, 100.0f - p.y);
    Release(VK_SHIFT);
    // Her restart stops every weapon and takes it out of the registry.
    m_pPlayer->Start(0, 0);
    EXPECT_TRUE(hawk.IsFinished());
    EXPECT_FALSE(IsRegistered(hawk));
}

TEST_F(SubWeapons, AChargedShieldTakesAHitForHerButNotTheLevel)
{
    UseParams({"#ION_SHIELD_CHARGE_TIME 2"});
    m_pPlayer->SetSubWeapon(SUBWEAPON_ION_SHIELD);
    StartStanding();
    m_pPlayer->AddExp(70, 0, 0);
    Ticks(130);
    ASSERT_TRUE(m_pPlayer->GetCockpit().IsCharged());
    // Shift does nothing with the shield.
    Press(VK_SHIFT);
    Tick();
    Release(VK_SHIFT);
    EXPECT_TRUE(m_pPlayer->GetIonShield().IsFinished());
    const int nLevel = m_pPlayer->GetCockpit().GetPendingLevel();
    m_pPlayer->Damage(5);
    EXPECT_EQ(m_pPlayer->GetLife(), 100);
    EXPECT_EQ(m_pPlayer->GetCockpit().GetPendingLevel(), nLevel - 1);
    EXPECT_FALSE(m_pPlayer->GetIonShield().IsFinished());
    EXPECT_TRUE(m_pPlayer->GetState() & PLAYER_STATE_SHIELD_BLINK);
    EXPECT_FALSE(m_pPlayer->GetCockpit().IsCharged());
    Tick();
    const D3DVECTOR p = Pos();
    EXPECT_EQ(m_pPlayer->GetIonShield().m_vPos.x, p.x + 20.0f);
    EXPECT_EQ(m_pPlayer->GetIonShield().m_vPos.y, 50.0f - p.y);
    // Once the blink is over and the charge is not back, a hit costs life.
    Ticks(61);
    m_pPlayer->Damage(5);
    EXPECT_EQ(m_pPlayer->GetLife(), 90);
}
