// The pause menu: presses act once, a key held on entry does not close it, the confirmation starts
// on "no" and "no" leads back with "return to title" still selected, Tab or the jump key returns
// to the game from either page, and an answer once given is kept.
#include <gtest/gtest.h>

#include "platform/win/Win.h"
#include "player/Pause.h"
#include "player/ScreenFixture.h"

namespace {

const char kPi[] = ".\\GameData\\System\\Pi.wav";
const char kPirori[] = ".\\GameData\\System\\Pirori.wav";

class PauseTest : public CScreenFixture {
protected:
    void SetUp() override
    {
        CScreenFixture::SetUp();
        ASSERT_EQ(m_Pause.Load(g_lpD3DDevice), 1);
    }
    // One update as the stage runs it.
    void Step()
    {
        Tick();
        m_Pause.UpdateInput();
        m_Pause.Update();
    }
    // A key pressed for one update and released for the next.
    void Tap(int nVirtKey)
    {
        Press(nVirtKey);
        Step();
        Release(nVirtKey);
        Step();
    }
    // Updates until the menu has closed; how many it took.
    int StepsUntilClosed()
    {
        int n = 0;
        while (!m_Pause.IsHidden() && n < 50) {
            Step();
            n++;
        }
        return n;
    }
    bool Shown(int nItem) const { return !m_Pause.GetItem(nItem).IsHidden(); }
    bool Selected(int nItem) const { return (m_Pause.GetItem(nItem).GetFlags() & CMenuItem::FLAG_SELECTED) != 0; }

    CPause m_Pause;
};

TEST_F(PauseTest, OpensOnReturnToGameAndTabHeldFromTheOpeningPressDoesNotCloseIt)
{
    Press(VK_TAB);
    m_Pause.Start();
    EXPECT_TRUE(Shown(CPause::ITEM_PAUSE) && Shown(CPause::ITEM_GAME) && Shown(CPause::ITEM_TITLE));
    EXPECT_FALSE(Shown(CPause::ITEM_REALLY) || Shown(CPause::ITEM_YES) || Shown(CPause::ITEM_NO));
    EXPECT_TRUE(Selected(CPause::ITEM_GAME));
    EXPECT_FALSE(Selected(CPause::ITEM_TITLE));
    for (int i = 0; i < 10; i++)
        Step();
    EXPECT_EQ(m_Pause.GetResult(), CPause::RESULT_NONE);
    Release(VK_TAB);
    Step();
    Press(VK_TAB);
    Step();
    EXPECT_EQ(m_Pause.GetResult(), CPause::RESULT_GAME);
    EXPECT_FALSE(m_Pause.IsDecided());  // still popping out
    EXPECT_EQ(StepsUntilClosed(), 3);
    EXPECT_TRUE(m_Pause.IsDecided());
    EXPECT_EQ(m_Pause.GetChoice(), PAUSE_CHOICE_GAME);
}

TEST_F(PauseTest, NoInTheConfirmationLeadsBackWithReturnToTitleStillSelected)
{
    m_Pause.Start();
    ClearSounds();
    Tap(VK_DOWN);
    EXPECT_TRUE(Selected(CPause::ITEM_TITLE));
    EXPECT_FALSE(Selected(CPause::ITEM_GAME));
    EXPECT_EQ(WasPlayed(kPi), m_bSound ? 1 : -1);
    Tap('Z');
    ASSERT_EQ(m_Pause.GetState(), CPause::STATE_CONFIRM);
    EXPECT_EQ(m_Pause.GetSelected(), CPause::ITEM_NO);
    EXPECT_TRUE(Selected(CPause::ITEM_NO));
    EXPECT_FALSE(Selected(CPause::ITEM_YES));
    for (int i = 0; i < 4; i++)
        Step();
    EXPECT_FALSE(Shown(CPause::ITEM_GAME));
    EXPECT_TRUE(Shown(CPause::ITEM_REALLY) && Shown(CPause::ITEM_YES) && Shown(CPause::ITEM_NO) &&
                Shown(CPause::ITEM_MARK));
    Tap(VK_RETURN);
    EXPECT_EQ(m_Pause.GetState(), CPause::STATE_MAIN);
    EXPECT_EQ(m_Pause.GetResult(), CPause::RESULT_NONE);
    EXPECT_EQ(m_Pause.GetSelected(), CPause::ITEM_TITLE);
    EXPECT_TRUE(Selected(CPause::ITEM_TITLE));
    for (int i = 0; i < 4; i++)
        Step();
    EXPECT_TRUE(Shown(CPause::ITEM_TITLE));
    EXPECT_FALSE(Shown(CPause::ITEM_NO));
    EXPECT_FALSE(m_Pause.IsHidden());
}

TEST_F(PauseTest, YesReturnsToTheTitle)
{
    m_Pause.Start();
    Tap(VK_UP);
    Tap('Z');
    Tap(VK_LEFT);
    EXPECT_EQ(m_Pause.GetSelected(), CPause::ITEM_YES);
    Tap(VK_RIGHT);
    EXPECT_EQ(m_Pause.GetSelected(), CPause::ITEM_NO);
    Tap(VK_RIGHT);
    ClearSounds();
    Press('Z');
    Step();
    EXPECT_EQ(m_Pause.GetResult(), CPause::RESULT_TITLE);
    EXPECT_EQ(WasPlayed(kPirori), m_bSound ? 1 : -1);
    StepsUntilClosed();
    EXPECT_TRUE(m_Pause.IsDecided());
    EXPECT_EQ(m_Pause.GetChoice(), PAUSE_CHOICE_TITLE);
}

TEST_F(PauseTest, TabOrJumpClosesTheConfirmationAsAReturnToTheGame)
{
    for (int nKey : {VK_TAB, (int)'X'}) {
        m_Pause.Start();
        Tap(VK_DOWN);
        Tap('Z');
        ASSERT_EQ(m_Pause.GetState(), CPause::STATE_CONFIRM);
        Press(nKey);
        Step();
        EXPECT_EQ(m_Pause.GetResult(), CPause::RESULT_GAME) << nKey;
        Release(nKey);
        StepsUntilClosed();
        EXPECT_TRUE(m_Pause.IsDecided());
        EXPECT_FALSE(Shown(CPause::ITEM_YES) || Shown(CPause::ITEM_NO) || Shown(CPause::ITEM_MARK));
    }
}

TEST_F(PauseTest, AnAnswerIsKeptWhileTheMenuCloses)
{
    m_Pause.Start();
    Tap(VK_DOWN);
    Tap('Z');
    Tap(VK_LEFT);
    Press('Z');
    Step();
    ASSERT_EQ(m_Pause.GetResult(), CPause::RESULT_TITLE);
    Release('Z');
    Press(VK_TAB);
    Step();
    EXPECT_EQ(m_Pause.GetResult(), CPause::RESULT_TITLE);
}

TEST_F(PauseTest, TheDecisionKeyHeldOnEntryDoesNotDecideButMovesActAtOnce)
{
    // The move latches start cleared: a held arrow moves the cursor on the first read.
    Press('Z');
    Press(VK_DOWN);
    m_Pause.Start();
    Step();
    EXPECT_EQ(m_Pause.GetSelected(), CPause::ITEM_TITLE);
    EXPECT_EQ(m_Pause.GetState(), CPause::STATE_MAIN);
    Step();
    EXPECT_EQ(m_Pause.GetSelected(), CPause::ITEM_TITLE);
}

TEST_F(PauseTest, TheMenuDrawsOnlyWhileShown)
{
    m_Pause.Start();
    FillBack(0x001F);
    ASSERT_EQ(m_Pause.Draw(g_lpDDSBack), 1);
    EXPECT_LT(CountBack(0, 150, 640, 340, 0x001F), 640 * 190);
    m_Pause.Hide();
    FillBack(0x001F);
    ASSERT_EQ(m_Pause.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(CountBack(0, 0, 640, 480, 0x001F), 640 * 480);
}

} // namespace
