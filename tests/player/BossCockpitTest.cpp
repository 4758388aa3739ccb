// The boss HUD on the frame clock: the life keys of the five bosses, the gauge filled at the start
// and gliding to the life, the time limit that shows 3:00 and counts down once per 1000 ms of frame
// time to 0:00 and no further, a stopped count that keeps its value on show, and nothing drawn while
// hidden.
#include <fstream>

#include "player/BossCockpit.h"
#include "player/ScreenFixture.h"

#include "engine/Param.h"

namespace {

class BossCockpitTest : public CScreenFixture {
protected:
    void SetUp() override
    {
        CScreenFixture::SetUp();
        std::ofstream("Param.txt", std::ios::binary)
            << "#ENEMY_M.Zorva 600, 0, 0, 10000, 1\r\n#ENEMY_Z.M.Zorva 700\r\n#ENEMY_ZZ.M.Zorva 800\r\n"
               "#ENEMY_M.ZorvaF91 900\r\n#ENEMY_N.M.Zorva 1000\r\n#ENEMY_M.Zorva_F91 5\r\n";
        ClearParams();
        ASSERT_EQ(LoadParamFile("Param.txt"), 1);
        ASSERT_EQ(m_Hud.Load(g_lpD3DDevice), 1);
    }
    void Step(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            Tick();
            m_Hud.Update();
        }
    }
    // The digits the three rollers show.
    int ShownDigit(int i) const { return m_Hud.GetTime().GetRoller(i).GetFrame(); }
    int LitPixels(int x0, int y0, int x1, int y1)
    {
        int n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++)
                n += BackPixel(x, y) != 0;
        return n;
    }

    CBossCockpit m_Hud;
};

} // namespace

TEST_F(BossCockpitTest, EachBossReadsItsOwnLifeKeyAndNoOtherNumberHasOne)
{
    const int kLives[BOSS_NUM] = {600, 700, 800, 900, 1000};
    for (int i = 0; i < BOSS_NUM; i++)
        EXPECT_EQ(CBossCockpit::GetBossLife(i), kLives[i]) << i;
    EXPECT_STREQ(CBossCockpit::GetBossKey(3), "ENEMY_M.ZorvaF91");
    EXPECT_EQ(CBossCockpit::GetBossKey(5), nullptr);
    EXPECT_EQ(CBossCockpit::GetBossKey(-1), nullptr);
    EXPECT_EQ(CBossCockpit::GetBossLife(5), 0);
}

TEST_F(BossCockpitTest, StartFillsTheGaugeToTheBossesLifeShowsItsPlateAndThreeMinutes)
{
    EXPECT_TRUE(m_Hud.IsHidden());
    EXPECT_EQ(m_Hud.GetBoss(), 2);
    m_Hud.SetBoss(3);
    m_Hud.Start();
    EXPECT_FALSE(m_Hud.IsHidden());
    EXPECT_EQ(m_Hud.GetGauge().GetMax(), 900.0f);
    EXPECT_EQ(m_Hud.GetGauge().GetShownValue(), 900.0f);
    EXPECT_FALSE(m_Hud.GetGauge().IsHidden());
    EXPECT_EQ(m_Hud.GetNamePlate().GetRoller().GetFrame(), 3);
    EXPECT_EQ(m_Hud.GetSecondsLeft(), 180);
    EXPECT_EQ(ShownDigit(0), 3);
    EXPECT_EQ(ShownDigit(1), 0);
    EXPECT_EQ(ShownDigit(2), 0);

    m_Hud.SetLife(450);
    EXPECT_EQ(m_Hud.GetGauge().GetValue(), 450.0f);
    Step();
    EXPECT_LT(m_Hud.GetGauge().GetShownValue(), 900.0f);
    EXPECT_GT(m_Hud.GetGauge().GetShownValue(), 450.0f);
    Step(200);
    EXPECT_EQ(m_Hud.GetGauge().GetShownValue(), 450.0f);
}

TEST_F(BossCockpitTest, TheLimitCountsOncePerThousandMillisecondsOfFrameTimeAndStopsAtZero)
{
    m_Hud.Start();
    DWORD dwLast = Now();
    int nChanges = 0;
    for (int n = 0; n < 12000 && m_Hud.GetSecondsLeft() > 0; n++) {
        const int v = m_Hud.GetSecondsLeft();
        const DWORD dwBefore = Now();
        Step();
        if (m_Hud.GetSecondsLeft() != v) {
            ASSERT_EQ(m_Hud.GetSecondsLeft(), v - 1);
            ASSERT_GT(Now() - dwLast, 1000u);
            ASSERT_LE(dwBefore - dwLast, 1000u);
            dwLast = Now();
            nChanges++;
        }
        if (m_Hud.GetSecondsLeft() == 119) {
            // 1:59 rolls its minute and both second digits.
            EXPECT_EQ(m_Hud.GetTime().GetRoller(0).GetFrame(), 1);
            EXPECT_EQ(m_Hud.GetTime().GetRoller(1).GetFrame(), 5);
            EXPECT_EQ(m_Hud.GetTime().GetRoller(2).GetFrame(), 9);
        }
    }
    EXPECT_EQ(nChanges, 180);
    EXPECT_EQ(m_Hud.GetSecondsLeft(), 0);
    Step(200);
    EXPECT_EQ(m_Hud.GetSecondsLeft(), 0);
    EXPECT_EQ(ShownDigit(0), 0);
}

TEST_F(BossCockpitTest, AStoppedLimitKeepsItsValueOnShowAndAHiddenHudDrawsNothing)
{
    m_Hud.SetBoss(0);
    m_Hud.Start();
    Step(130);
    EXPECT_EQ(m_Hud.GetSecondsLeft(), 178);
    m_Hud.StopTime();
    Step(300);
    EXPECT_EQ(m_Hud.GetSecondsLeft(), 178);
    FillBack(0);
    EXPECT_EQ(m_Hud.Draw(g_lpDDSBack), 1);
    // Plate, "TIME", the three digits and the colon, the gauge in its frame.
    EXPECT_GT(LitPixels(524, 451, 631, 476), 100);
    EXPECT_GT(LitPixels(524, 430, 595, 446), 50);
    EXPECT_GT(LitPixels(595, 430, 635, 446), 30);
    EXPECT_GT(LitPixels(0, 451, 210, 463) + LitPixels(210, 451, 510, 463), 1000);
    m_Hud.Hide();
    EXPECT_TRUE(m_Hud.IsHidden());
    FillBack(0);
    EXPECT_EQ(m_Hud.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(LitPixels(0, 400, 640, 480), 0);
    Step(100);
    EXPECT_EQ(m_Hud.GetSecondsLeft(), 178);
}
