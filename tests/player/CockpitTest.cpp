// The cockpit driven by the heroine: the experience gauge running to full before the level changes,
// level 8's blinking gauge and pop-up, the danger warning, the sub-weapon charge on the frame clock,
// and the score counter the key record carries.
#include <gtest/gtest.h>

#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"
#include "engine/WinMain.h"
#include "platform/win/Win.h"
#include "player/OptionIcon.h"
#include "player/PlayerFixture.h"
#include "rvm/rvm_stl.h"

namespace {

using CockpitRun = CPlayerFixture;

const char kDangerSound[] = ".\\GameData\\System\\PlayerDanger.wav";

} // namespace

TEST(CockpitLevels, ExperienceTable)
{
    EXPECT_EQ(CCockpit::LevelStart(4), 0);
    EXPECT_EQ(CCockpit::LevelStart(6), 64);
    EXPECT_EQ(CCockpit::LevelStart(8), 128);
    CCockpit c;
    c.Reset();
    EXPECT_EQ(c.SetExp(31, 0), 0);
    EXPECT_EQ(c.GetRemainder(), 31);
    EXPECT_EQ(c.SetExp(32, 0), 1);
    EXPECT_EQ(c.GetLevel(), 4);
    EXPECT_EQ(c.GetPendingLevel(), 5);
    EXPECT_EQ(c.GetRemainder(), 0);
    // The level changes once the gauge has arrived at full.
    c.Update();
    EXPECT_EQ(c.GetLevel(), 5);
    c.SetLevel(9);  // outside 4..8: nothing
    EXPECT_EQ(c.GetLevel(), 5);
    c.LevelDown();
    c.LevelDown();
    EXPECT_EQ(c.GetLevel(), 4);
}

TEST_F(CockpitRun, ALevelUpRunsTheGaugeToFullThenTheDigitChangesAndTheGaugeRunsOn)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    CCockpit& c = p.GetCockpit();
    p.AddExp(30, 1, 1);
    for (int i = 0; i < 30 && c.GetExpGauge().GetShownValue() != 30.0f; i++)
        Tick();
    ASSERT_EQ(c.GetExpGauge().GetShownValue(), 30.0f);
    ClearSoundRequests();
    p.AddExp(10, 1, 1);
    // The gun follows the new level at once; the cockpit still shows the old one.
    EXPECT_EQ(p.GetGunLevel(), 5);
    EXPECT_EQ(c.GetLevel(), 4);
    EXPECT_EQ(c.GetPendingLevel(), 5);
    EXPECT_FALSE(p.GetLevelUpPop().IsFinished());
    if (m_bSound) {
        EXPECT_EQ(SoundState(".\\GameData\\System\\CvLevelUp.wav"), PCM_STATE_REQUESTED);
        EXPECT_EQ(SoundState(".\\GameData\\System\\PowerUp.wav"), PCM_STATE_REQUESTED);
    }
    // 30 to 32 at the floor speed of 3 (snapped) and shown full; then the new level and the gauge
    // from empty to 8: 3, 6, 8.
    const float kShown[4] = {32.0f, 3.0f, 6.0f, 8.0f};
    const int kLevel[4] = {4, 5, 5, 5};
    for (int i = 0; i < 4; i++) {
        Tick();
        EXPECT_EQ(c.GetExpGauge().GetShownValue(), kShown[i]) << i;
        EXPECT_EQ(c.GetLevel(), kLevel[i]) << i;
        EXPECT_EQ(c.GetExpGauge().GetMax(), 32.0f);
    }
    EXPECT_EQ(c.GetLevelDigits().GetRoller().GetFrame(), 1);
    EXPECT_EQ(p.GetExp(), 40);
    EXPECT_EQ(p.GetGun().GetLevel(), 5);
}

TEST_F(CockpitRun, AtLevelEightTheGaugeBlinksTheMaxPopUpShowsAndExperienceGrowsOn)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    CCockpit& c = p.GetCockpit();
    p.AddExp(127, 0, 0);
    Tick();
    ASSERT_EQ(c.GetLevel(), 7);
    EXPECT_TRUE(c.GetLvMaxPop().IsFinished());
    p.AddExp(1, 1, 1);
    int n = 0;
    while (c.GetLevel() != 8 && n < 60) {
        Tick();
        n++;
    }
    ASSERT_EQ(c.GetLevel(), 8);
    EXPECT_FALSE(c.GetLvMaxPop().IsFinished());
    EXPECT_TRUE(c.GetExpGauge().IsFull());
    EXPECT_EQ(c.GetExpGauge().GetStrip(), 0);
    Ticks(2);  // more than 30 ms: the first blink
    EXPECT_EQ(c.GetExpGauge().GetStrip(), 1);
    Ticks(2);
    EXPECT_EQ(c.GetExpGauge().GetStrip(), 2);
    p.AddExp(72, 1, 1);
    EXPECT_EQ(p.GetExp(), 200);
    EXPECT_EQ(c.GetLevel(), 8);
    EXPECT_EQ(p.GetGunLevel(), 8);
    // The level a hit costs stops the blinking and takes the pop-up away.
    p.Damage(5);
    EXPECT_EQ(c.GetLevel(), 7);
    EXPECT_TRUE(c.GetLvMaxPop().IsFinished());
    EXPECT_EQ(c.GetExpGauge().GetStrip(), 0);
}

TEST_F(CockpitRun, DangerIsLifeAtAFifthOrLessAndSoundsOnce)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    CCockpit& c = p.GetCockpit();
    for (int i = 0; i < 7; i++) {
        p.Damage(5);
        Ticks(61);
    }
    ASSERT_EQ(p.GetLife(), 30);
    EXPECT_EQ(c.IsDanger(), 0);
    ClearSoundRequests();
    p.Damage(5);
    ASSERT_EQ(p.GetLife(), 20);
    EXPECT_EQ(c.IsDanger(), 1);
    EXPECT_FALSE(c.GetDangerPop().IsFinished());
    if (m_bSound) {
        EXPECT_EQ(SoundState(kDangerSound), PCM_STATE_REQUESTED);
        ClearSoundRequests();
    }
    // The hurt face first, then the worried faces in turn every 200 ms.
    EXPECT_EQ(c.GetFace().GetFace(), FACE_DAMAGE);
    Ticks(61);
    EXPECT_EQ(c.GetFace().GetFace(), FACE_DANGER1);
    Ticks(13);
    EXPECT_EQ(c.GetFace().GetFace(), FACE_DANGER2);
    c.SetLife(20);  // no change: no second warning
    if (m_bSound) {
        EXPECT_NE(SoundState(kDangerSound), PCM_STATE_REQUESTED);
    }
    p.AddLife(0.01f);
    EXPECT_EQ(p.GetLife(), 21);
    EXPECT_EQ(c.IsDanger(), 0);
    EXPECT_TRUE(c.GetDangerPop().IsFinished());
    Tick();
    EXPECT_EQ(c.GetFace().GetFace(), FACE_NORMAL);
}

TEST(CockpitFace, AStrayFaceValueTurnsCalmInsteadOfStopping)
{
    CPlayerFace face;
    face.SetFace(7);
    face.Update();
    EXPECT_EQ(face.GetFace(), FACE_NORMAL);
    face.SetDanger(1);
    face.SetFace(FACE_DANGER2);
    face.SetDanger(0);
    face.Update();
    EXPECT_EQ(face.GetFace(), FACE_NORMAL);
}

TEST_F(CockpitRun, ChargePeriodsComeFromParamAndTheGaugeFillsOnTheFrameClock)
{
    const int kDefaults[4] = {8000, 6000, 12000, 16000};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(g_nChargeTime[i], kDefaults[i]);
    UseParams({"#FIRE_STORM_CHARGE_TIME 5", "#HAWK_WIND_CHARGE_TIME 0", "#ION_SHIELD_CHARGE_TIME -3"});
    CPlayer& p = *m_pPlayer;
    p.SetSubWeapon(SUBWEAPON_FIRE_STORM);
    StartStanding();
    CCockpit& c = p.GetCockpit();
    EXPECT_EQ(c.GetChargePeriod(), 5000u);
    // A period of 0 or below would divide by zero: the old one stays.
    c.SelectSubWeapon(SUBWEAPON_HAWK_WIND);
    EXPECT_EQ(c.GetChargePeriod(), 6000u);
    EXPECT_EQ(g_nChargeTime[SUBWEAPON_ION_SHIELD], 8000);
    c.SelectSubWeapon(4);
    EXPECT_EQ(c.GetSubWeapon(), SUBWEAPON_HAWK_WIND);
    p.SetSubWeapon(SUBWEAPON_HAWK_WIND);
    const DWORD dwStart = CAppTimer::GetElapsed(0);
    for (int i = 0; i < 400 && !c.IsCharged(); i++) {
        ASSERT_LT(CAppTimer::GetElapsed(0) - dwStart, 6000u);
        Tick();
        EXPECT_LE(c.GetChargeGauge().GetValue(), 100.0f);
    }
    ASSERT_TRUE(c.IsCharged());
    EXPECT_GE(CAppTimer::GetElapsed(0) - dwStart, 5999u);
    EXPECT_FALSE(c.GetReadyPop().IsFinished());
    Ticks(2);
    EXPECT_NE(c.GetChargeGauge().GetStrip(), 0);
    // Shift fires it and the charge starts again.
    Press(VK_SHIFT);
    Tick();
    Release(VK_SHIFT);
    EXPECT_FALSE(c.IsCharged());
    EXPECT_TRUE(c.GetReadyPop().IsFinished());
    EXPECT_EQ(c.GetChargeGauge().GetStrip(), 0);
    EXPECT_LT(c.GetChargeGauge().GetValue(), 1.0f);
}

TEST_F(CockpitRun, ShiftWithTheIonShieldKeepsItsCharge)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    for (int i = 0; i < 600 && !p.GetCockpit().IsCharged(); i++)
        Tick();
    ASSERT_TRUE(p.GetCockpit().IsCharged());
    Press(VK_SHIFT);
    Ticks(3);
    EXPECT_TRUE(p.GetCockpit().IsCharged());
}

TEST_F(CockpitRun, TheKeyRecordCarriesTheCounterAndTheCounterFollowsTheScore)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    p.AddPoint(1234567, 0);
    EXPECT_EQ(p.GetPoint(), 1234567);
    EXPECT_EQ(p.GetCockpit().GetScore(), 1234567);
    Press(VK_RIGHT);  // a new key code makes a new record
    Tick();
    const rvm::vector<KEYRECINFO>& track = CKeyRecorder::GetInstance()->GetTrack(0);
    ASSERT_FALSE(track.empty());
    EXPECT_EQ(track.back().fps, 1234567);
    // The score saturates instead of wrapping negative.
    p.AddPoint(2147483647, 0);
    EXPECT_EQ(p.GetPoint(), 2147483647);
    EXPECT_EQ(p.GetCockpit().GetScore(), 2147483647);
    // A set rolls the shown points on, then jumps to the value.
    p.SetPoint(5, 300);
    EXPECT_EQ(p.GetPoint(), 300);
    Tick();
    EXPECT_EQ(p.GetCockpit().GetScore(), 300);
}

TEST_F(CockpitRun, HalfDamageShowsTheEasyLifeGauge)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    for (int bEasy = 0; bEasy < 2; bEasy++) {
        g_nOptionFlags[OPTION_HALF_DAMAGE] = bEasy;
        FillBack(0);
        ASSERT_EQ(p.DrawCockpit(g_lpDDSBack), 1);
        // The right end of a full bar: green on the hard gauge, yellow-green on the easy one.
        const WORD w = BackPixel(315, 18);
        const int r = (w >> 11) & 31, g = (w >> 5) & 63;
        EXPECT_GT(g, 40) << bEasy;
        if (bEasy)
            EXPECT_GT(r, 14);
        else
            EXPECT_LT(r, 12);
    }
}
