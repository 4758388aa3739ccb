// The stage-start banner on the frame clock: Ready opens in seven updates, holds for more than a
// second, closes in seven while Go flies in, pinches, holds, pinches again and flies out.
#include <gtest/gtest.h>

#include "player/GameStart.h"
#include "player/ScreenFixture.h"

namespace {

class GameStartTest : public CScreenFixture {
protected:
    void SetUp() override
    {
        CScreenFixture::SetUp();
        ASSERT_EQ(m_Banner.Load(g_lpD3DDevice), 1);
        m_Banner.SetPoint(D3DVECTOR{{320.0f}, {145.0f}, {0.0f}});
    }
    void Step()
    {
        Tick();
        m_Banner.Update();
    }
    // Updates until the state changes; the number of updates it took.
    int StepsUntilState(int nState, int nMax = 400)
    {
        return StepsUntil([this] { Step(); }, [&] { return m_Banner.GetState() == nState; }, nMax);
    }

    CGameStart m_Banner;
};

TEST_F(GameStartTest, ReadyOpensInSevenUpdatesAndHoldsForMoreThanASecond)
{
    m_Banner.Start();
    EXPECT_EQ(m_Banner.GetScale(), 0.0f);
    EXPECT_EQ(WasPlayed(GAMESTART_VOICE), m_bSound ? 1 : -1);
    for (int i = 1; i <= 6; i++) {
        Step();
        EXPECT_EQ(m_Banner.GetState(), CGameStart::STATE_OPENING) << i;
        EXPECT_NEAR(m_Banner.GetScale(), 0.15f * (float)i, 1e-5f);
    }
    Step();
    EXPECT_EQ(m_Banner.GetScale(), 1.0f);
    ASSERT_EQ(m_Banner.GetState(), CGameStart::STATE_HOLDING);
    const DWORD dwHold = Now();
    // It holds while no more than 1000 ms have passed, and goes at the first update past them.
    int nHeld = 0;
    while (m_Banner.GetState() == CGameStart::STATE_HOLDING && nHeld < 200) {
        const DWORD dwBefore = Now();
        Step();
        nHeld++;
        if (m_Banner.GetState() == CGameStart::STATE_HOLDING) {
            EXPECT_LE(Now() - dwHold, 1000u);
        } else {
            EXPECT_GT(Now() - dwHold, 1000u);
            EXPECT_LE(dwBefore - dwHold, 1000u);
        }
    }
    EXPECT_EQ(nHeld, 61);  // 16.666 ms a pass: 61 passes are the first past a second
    EXPECT_EQ(m_Banner.GetState(), CGameStart::STATE_CLOSING);
    EXPECT_FALSE(m_Banner.GetGo().IsFinished());
}

TEST_F(GameStartTest, ReadyClosesInSevenUpdatesWhileGoFliesInPinchesHoldsAndLeaves)
{
    m_Banner.Start();
    ASSERT_GT(StepsUntilState(CGameStart::STATE_CLOSING), 0);
    const CGo& go = m_Banner.GetGo();
    ASSERT_EQ(go.GetState(), CGo::STATE_FLY_IN);
    RECT rc = go.GetDrawRect();
    const int w = rc.right - rc.left;
    ASSERT_GT(w, 0);
    EXPECT_EQ(go.GetX(), (float)-w);
    // Ready: 0.85, 0.7 ... 0 after seven updates; Go: 50 px an update until it is past the centre.
    for (int i = 1; i <= 7; i++) {
        const float x = go.GetX();
        Step();
        if (go.GetState() == CGo::STATE_FLY_IN) {
            EXPECT_EQ(go.GetX(), x + 50.0f);
        }
        if (i < 7) {
            EXPECT_NEAR(m_Banner.GetScale(), 1.0f - 0.15f * (float)i, 1e-5f);
        }
    }
    EXPECT_EQ(m_Banner.GetScale(), 0.0f);
    EXPECT_EQ(m_Banner.GetReadyRect().bottom, 0);
    while (go.GetState() == CGo::STATE_FLY_IN)
        Step();
    // Centred: its right edge half its width right of the centre.
    EXPECT_EQ(go.GetX(), 320.0f + (float)(w / 2));
    // The pinch: narrower and taller, right edge kept, back to full width in ten updates.
    std::vector<float> stretch;
    while (go.GetState() == CGo::STATE_PINCH) {
        Step();
        stretch.push_back(go.GetStretch());
        rc = go.GetDrawRect();
        EXPECT_EQ(rc.right, 320 + w / 2);
    }
    ASSERT_EQ(stretch.size(), 11u);
    EXPECT_NEAR(stretch[0], 0.9f, 1e-5f);
    EXPECT_NEAR(stretch[4], 0.7f, 1e-5f);
    EXPECT_EQ(stretch.back(), 1.0f);
    EXPECT_EQ(go.GetState(), CGo::STATE_HOLD);
    int nHeld = 0;
    while (go.GetState() == CGo::STATE_HOLD) {
        Step();
        nHeld++;
    }
    EXPECT_EQ(nHeld, 61);
    // Now anchored on its left edge at the same place, it pinches again and flies out.
    EXPECT_EQ(go.GetX(), 320.0f - (float)(w / 2));
    while (go.GetState() == CGo::STATE_PINCH_OUT) {
        Step();
        EXPECT_EQ(go.GetDrawRect().left, 320 - w / 2);
    }
    ASSERT_EQ(go.GetState(), CGo::STATE_FLY_OUT);
    int nOut = 0;
    while (!m_Banner.IsHidden() && nOut < 100) {
        Step();
        nOut++;
    }
    EXPECT_TRUE(go.IsFinished());
    EXPECT_EQ(nOut, (640 - (320 - w / 2) + 49) / 50);
}

TEST_F(GameStartTest, StartWhileShowingBeginsAgainFromReady)
{
    m_Banner.Start();
    ASSERT_GT(StepsUntilState(CGameStart::STATE_CLOSING), 0);
    Step();
    m_Banner.Start();
    EXPECT_EQ(m_Banner.GetState(), CGameStart::STATE_OPENING);
    EXPECT_EQ(m_Banner.GetScale(), 0.0f);
    EXPECT_TRUE(m_Banner.GetGo().IsFinished());
    EXPECT_FALSE(m_Banner.IsHidden());
}

TEST_F(GameStartTest, ReadyIsStretchedIntoItsHeightTimesTheScaleAboutThePoint)
{
    m_Banner.Start();
    for (int i = 0; i < 3; i++)
        Step();
    const RECT rc = m_Banner.GetReadyRect();
    EXPECT_EQ((rc.left + rc.right) / 2, 320);
    EXPECT_NEAR((rc.top + rc.bottom) / 2, 145, 1);
    const int h = rc.bottom - rc.top;
    EXPECT_EQ(h, (int)(80.0f * m_Banner.GetScale()));
    FillBack(0x001F);
    ASSERT_EQ(m_Banner.Draw(g_lpDDSBack), 1);
    // Something of the picture inside, nothing outside.
    EXPECT_LT(CountBack(rc.left, rc.top, rc.right, rc.bottom, 0x001F), (rc.right - rc.left) * h);
    EXPECT_EQ(CountBack(0, 0, 640, rc.top, 0x001F), 640 * rc.top);
    EXPECT_EQ(CountBack(0, rc.bottom, 640, 480, 0x001F), 640 * (480 - rc.bottom));
}

} // namespace
