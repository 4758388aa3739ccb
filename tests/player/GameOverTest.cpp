// The game-over screen on the frame clock: the shutters' braked close, the two fades, the three
// pictures that fall, bounce and brake onto their marks, the menu that acts only on fresh presses,
// and the playback screen that only fades to black and reports it.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/win/Win.h"
#include "player/GameOver.h"
#include "player/ScreenFixture.h"

namespace {

class GameOverTest : public CScreenFixture {
protected:
    void SetUp() override
    {
        CScreenFixture::SetUp();
        ASSERT_EQ(m_Over.Load(g_lpD3DDevice), 1);
    }
    void Step()
    {
        Tick();
        m_Over.Update();
    }
    void Start(int bInteractive)
    {
        m_Over.Start(bInteractive);
        m_Over.SetRunning(1);
    }
    int StepsUntilState(int nState, int nMax = 1000)
    {
        return StepsUntil([this] { Step(); }, [&] { return m_Over.GetState() == nState; }, nMax);
    }

    CGameOver m_Over;
};

TEST_F(GameOverTest, TheShuttersBrakeToAMeetingAtTheCentreAndWaitHalfASecond)
{
    Start(1);
    // The same f32 steps the screen takes: 25 less 0.9765625 a pass.
    float fPos = 0.0f, fSpeed = 25.0f;
    int n = 0;
    while (fPos < 320.0f) {
        fPos += fSpeed;
        fSpeed -= 0.9765625f;
        n++;
        Step();
        if (fPos < 320.0f) {
            EXPECT_EQ(m_Over.GetShutter(), fPos) << n;
        }
    }
    EXPECT_EQ(n, 22);
    EXPECT_EQ(m_Over.GetShutter(), 320.0f);
    EXPECT_EQ(WasPlayed(".\\GameData\\System\\SeShutterClose.wav"), m_bSound ? 1 : -1);
    const DWORD dwClosed = Now();
    EXPECT_EQ(m_Over.GetState(), CGameOver::STATE_SHUTTERS);
    ASSERT_GT(StepsUntilState(CGameOver::STATE_FADE), 0);
    EXPECT_GT(Now() - dwClosed, 500u);
    EXPECT_LE(Now() - 17 - dwClosed, 500u);
    EXPECT_EQ(m_Over.GetFade().m_nKind, CFadePlane::KIND_OUT_BLACK);
    EXPECT_FALSE(m_Over.GetFade().IsDone());
}

TEST_F(GameOverTest, AfterTheFadesThePicturesComeInAndTheMenuOpensOnChallengeAgain)
{
    Start(1);
    ASSERT_GT(StepsUntilState(CGameOver::STATE_FADE), 0);
    // To black in 34 passes of 0.03, then back from black with the music.
    int nToBlack = 0;
    while (m_Over.GetFade().m_nKind == CFadePlane::KIND_OUT_BLACK && nToBlack < 100) {
        EXPECT_FALSE(m_Over.IsFinished());  // interactive: never reported
        ClearSounds();
        Step();
        nToBlack++;
    }
    EXPECT_EQ(nToBlack, 34);
    EXPECT_EQ(WasPlayed(".\\GameData\\System\\BgmGameOver.wav"), m_bSound ? 1 : -1);
    const int nSlide = StepsUntilState(CGameOver::STATE_SLIDE_IN);
    ASSERT_GT(nSlide, 30);
    EXPECT_EQ(WasPlayed(".\\GameData\\System\\CvGameOver.wav"), m_bSound ? 1 : -1);
    EXPECT_TRUE(m_Over.GetFade().IsDone());
    ASSERT_GT(StepsUntilState(CGameOver::STATE_MENU), 0);
    for (int i = 0; i < GAMEOVER_SLIDE_NUM; i++) {
        EXPECT_TRUE(m_Over.GetSlide(i).IsFinished()) << i;
    }
    EXPECT_EQ(m_Over.GetSlide(0).GetPosition().x, 30.0f);
    EXPECT_EQ(m_Over.GetSlide(0).GetPosition().y, 30.0f);
    EXPECT_EQ(m_Over.GetSlide(1).GetPosition().x, 417.0f);
    EXPECT_EQ(m_Over.GetSlide(1).GetPosition().y, 362.0f);
    EXPECT_EQ(m_Over.GetSlide(2).GetPosition().y, 410.0f);
    EXPECT_EQ(m_Over.GetSelected(), CGameOver::ITEM_CONTINUE);
    EXPECT_FALSE(m_Over.GetItem(CGameOver::ITEM_CONTINUE).IsHidden());
    EXPECT_TRUE(m_Over.GetItem(CGameOver::ITEM_CONTINUE).GetFlags() & CMenuItem::FLAG_SELECTED);
    EXPECT_FALSE(m_Over.GetItem(CGameOver::ITEM_TITLE).GetFlags() & CMenuItem::FLAG_SELECTED);
    EXPECT_EQ(m_Over.GetChoice(), GAMEOVER_CHOICE_NONE);
}

TEST_F(GameOverTest, ZHeldAsTheMenuOpensDoesNotDecideAFreshPressDoes)
{
    Start(1);
    Press('Z');
    ASSERT_GT(StepsUntilState(CGameOver::STATE_MENU), 0);
    for (int i = 0; i < 5; i++)
        Step();
    EXPECT_EQ(m_Over.GetChoice(), GAMEOVER_CHOICE_NONE);
    Release('Z');
    Step();
    Press('Z');
    Step();
    EXPECT_EQ(m_Over.GetChoice(), GAMEOVER_CHOICE_CONTINUE);
    EXPECT_EQ(WasPlayed(".\\GameData\\System\\Pirori.wav"), m_bSound ? 1 : -1);
    // The choices fold away.
    for (int i = 0; i < 4; i++)
        Step();
    EXPECT_TRUE(m_Over.GetItem(CGameOver::ITEM_CONTINUE).IsHidden());
}

TEST_F(GameOverTest, DownThenZReturnsToTheTitleAndTheChoiceStaysOnScreen)
{
    Start(1);
    ASSERT_GT(StepsUntilState(CGameOver::STATE_MENU), 0);
    ClearSounds();
    Press(VK_DOWN);
    Step();
    Release(VK_DOWN);
    EXPECT_EQ(m_Over.GetSelected(), CGameOver::ITEM_TITLE);
    EXPECT_EQ(WasPlayed(".\\GameData\\System\\Pi.wav"), m_bSound ? 1 : -1);
    Press('Z');
    Step();
    EXPECT_EQ(m_Over.GetChoice(), GAMEOVER_CHOICE_TITLE);
    Release('Z');
    Press(VK_UP);
    for (int i = 0; i < 6; i++)
        Step();
    EXPECT_EQ(m_Over.GetChoice(), GAMEOVER_CHOICE_TITLE);
    EXPECT_EQ(m_Over.GetSelected(), CGameOver::ITEM_TITLE);
    EXPECT_FALSE(m_Over.GetItem(CGameOver::ITEM_TITLE).IsHidden());
}

TEST_F(GameOverTest, InPlaybackItOnlyFadesToBlackAndReportsTheEnd)
{
    Start(0);
    ASSERT_GT(StepsUntilState(CGameOver::STATE_FADE), 0);
    int n = 0;
    while (!m_Over.IsFinished() && n < 100) {
        Step();
        n++;
    }
    EXPECT_EQ(n, 34);
    for (int i = 0; i < 300; i++) {
        Step();
        ASSERT_EQ(m_Over.GetState(), CGameOver::STATE_FADE);
        ASSERT_TRUE(m_Over.IsFinished());
    }
    m_Over.Hide();
    EXPECT_FALSE(m_Over.IsFinished());
}

TEST_F(GameOverTest, ARecordFallsBouncesAtHalfSpeedAndBrakesOntoItsTarget)
{
    SLIDING_MOVEINFO slide(D3DVECTOR{{-200.0f}, {262.0f}, {0.0f}}, 15.0f, 417.0f, 362.0f);
    float fLastVy = 0.0f;
    int nPhase = SLIDING_MOVEINFO::PHASE_FALL, nSteps = 0;
    std::vector<int> phases;
    while (!slide.IsFinished() && nSteps < 500) {
        const D3DVECTOR before = slide.GetPosition();
        fLastVy = slide.GetVertical().fValue;
        slide.Update();
        nSteps++;
        if (slide.GetPhase() != nPhase) {
            nPhase = slide.GetPhase();
            phases.push_back(nSteps);
            if (nPhase == SLIDING_MOVEINFO::PHASE_BOUNCE) {
                // Half the landing speed, upwards.
                EXPECT_EQ(slide.GetVertical().fValue, -0.5f * (fLastVy + 1.0f));
                EXPECT_EQ(slide.GetPosition().y, 362.0f);
            }
        }
        if (nPhase == SLIDING_MOVEINFO::PHASE_FALL) {
            EXPECT_EQ(slide.GetPosition().x, before.x + 15.0f);
        }
        EXPECT_LE(slide.GetPosition().x, 417.0f);
    }
    ASSERT_EQ(phases.size(), 2u);
    EXPECT_EQ(phases[0], 15);  // 262 + 1 + 2 + ... + 14 reaches 362
    EXPECT_EQ(slide.GetPosition().x, 417.0f);
    EXPECT_EQ(slide.GetPosition().y, 362.0f);
    EXPECT_EQ(slide.GetHorizontal().fValue, 0.0f);
    slide.Reset();
    EXPECT_EQ(slide.GetPosition().x, -200.0f);
    EXPECT_EQ(slide.GetPhase(), SLIDING_MOVEINFO::PHASE_FALL);
    EXPECT_FALSE(slide.IsFinished());
}

TEST_F(GameOverTest, ARecordThatLandsOnItsTargetStopsThereInsteadOfDividingByNothing)
{
    // It starts on its target and falls straight down: braking over no distance.
    SLIDING_MOVEINFO slide(D3DVECTOR{{30.0f}, {0.0f}, {0.0f}}, 0.0f, 30.0f, 10.0f);
    for (int i = 0; i < 50 && !slide.IsFinished(); i++)
        slide.Update();
    EXPECT_TRUE(slide.IsFinished());
    EXPECT_EQ(slide.GetPosition().x, 30.0f);
    EXPECT_TRUE(std::isfinite(slide.GetHorizontal().fValue));
}

TEST_F(GameOverTest, TheShuttersCoverTheScreenOnceClosed)
{
    Start(1);
    FillBack(0x001F);
    Step();
    ASSERT_EQ(m_Over.Draw(g_lpDDSBack, g_lpD3DDevice), 1);
    // After one pass each shutter shows 25 columns at its own edge.
    EXPECT_EQ(CountBack(25, 0, 615, 480, 0x001F), 590 * 480);
    EXPECT_EQ(CountBack(0, 0, 25, 480, 0x001F), 0);
    EXPECT_EQ(CountBack(615, 0, 640, 480, 0x001F), 0);
    StepsUntilState(CGameOver::STATE_FADE);
    FillBack(0x001F);
    ASSERT_EQ(m_Over.Draw(g_lpDDSBack, g_lpD3DDevice), 1);
    EXPECT_EQ(CountBack(0, 0, 640, 480, 0x001F), 0);
}

} // namespace
