// The stage's screens in the whole program on the headless host, stage 1 of the generated data:
// the start banner's timing, a miss that leads to the game-over screen whose choices restart the
// stage or reach the title, the pause menu with its confirmation, and a cleared stage whose tally
// adds its bonuses to the score.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "engine/AppTimer.h"
#include "engine/KeyRecorder.h"
#include "platform/win/Win.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "stage/Stage.h"

namespace {

const uint32_t kLongRun = 200000;

// Runs stage 1 and hands every render pass of the stage scene to a step, with the number of stage
// passes so far (0 is the first).
class StageScreensRun : public CProgramRun {
protected:
    void RunStage(const std::function<void(CObservedGame&, int)>& fnStep)
    {
        MakeStageData();
        int nTick = -1;
        m_Game.m_OnRender = [&](CObservedGame& game) {
            if (!game.m_bNoting)
                return;
            if (game.GetState() == CGame::STATE_STAGE || nTick >= 0)
                fnStep(game, ++nTick);
            if (nTick > 6000)
                CloseSoon();
        };
        ASSERT_EQ(Run(kLongRun), 0);
    }
    // Presses a key during the pass after this one and releases it the pass after that.
    struct TAP {
        int nKey;
        int nDown;
    };
    void Taps(const std::vector<TAP>& taps, int t)
    {
        for (const TAP& tap : taps) {
            if (t == tap.nDown)
                m_Host.PressKey(tap.nKey);
            if (t == tap.nDown + 1)
                m_Host.ReleaseKey(tap.nKey);
        }
    }
};

TEST_F(StageScreensRun, TheBannerOpensHoldsAndGivesWayToGo)
{
    std::vector<int> states;
    std::vector<float> scales;
    std::vector<int> goStates;
    RunStage([&](CObservedGame& game, int t) {
        const CGameStart& banner = game.GetGameStart();
        states.push_back(banner.IsHidden() ? -1 : banner.GetState());
        scales.push_back(banner.GetScale());
        goStates.push_back(banner.GetGo().IsFinished() ? -1 : banner.GetGo().GetState());
        if (t == 300)
            CloseSoon();
    });
    ASSERT_GT(states.size(), 300u);
    // Started on entering the stage, with the stage's point.
    EXPECT_EQ(states[0], CGameStart::STATE_OPENING);
    EXPECT_EQ(scales[0], 0.0f);
    for (int t = 1; t <= 6; t++) {
        EXPECT_EQ(states[t], CGameStart::STATE_OPENING) << t;
    }
    EXPECT_EQ(states[7], CGameStart::STATE_HOLDING);
    EXPECT_EQ(scales[7], 1.0f);
    // More than a second of frame time: 61 passes.
    for (int t = 8; t < 68; t++) {
        EXPECT_EQ(states[t], CGameStart::STATE_HOLDING) << t;
    }
    EXPECT_EQ(states[68], CGameStart::STATE_CLOSING);
    EXPECT_EQ(scales[75], 0.0f);
    // Go: thirteen passes in at 50 px, eleven of pinch, 61 of hold, eleven of pinch, nine out.
    auto first = [&](int nGoState) {
        for (size_t t = 0; t < goStates.size(); t++)
            if (goStates[t] == nGoState)
                return (int)t;
        return -1;
    };
    EXPECT_EQ(first(CGo::STATE_PINCH), 68 + 13);
    EXPECT_EQ(first(CGo::STATE_HOLD), 68 + 13 + 11);
    EXPECT_EQ(first(CGo::STATE_PINCH_OUT), 68 + 13 + 11 + 61);
    EXPECT_EQ(first(CGo::STATE_FLY_OUT), 68 + 13 + 11 + 61 + 11);
    const int nHidden = 68 + 13 + 11 + 61 + 11 + 9;
    EXPECT_EQ(states[nHidden - 1], CGameStart::STATE_CLOSING);
    EXPECT_EQ(states[nHidden], -1);
    EXPECT_EQ(states[300], -1);
}

TEST_F(StageScreensRun, AMissLeadsToGameOverWhereRetryRestartsTheStageAndTitleReachesTheTitle)
{
    // Without a shot the crates push her off the screen's left edge.
    int nMissAt = -1, nMenuAt = -1, nRetryAt = -1, nSecondMenuAt = -1, nFirstScreen = -1;
    bool bFrozenWorld = false;
    D3DVECTOR vFrozen = {};
    std::vector<TAP> taps;
    RunStage([&](CObservedGame& game, int t) {
        Taps(taps, t);
        CStage& stage = game.GetStage();
        CGameOver& over = game.GetGameOver();
        if (t == 0)
            nFirstScreen = stage.GetScreen();
        if (nMissAt < 0 && stage.GetState() == STAGE_STATE_GAMEOVER) {
            nMissAt = t;
            EXPECT_TRUE(game.GetPlayer().GetState() & PLAYER_STATE_MISS);
            EXPECT_TRUE(over.IsHidden());  // 100 ms later
        }
        if (nMissAt >= 0 && t == nMissAt + 7) {
            EXPECT_FALSE(over.IsHidden());
            EXPECT_TRUE(over.IsInteractive());
        }
        // Once the shutters have closed the world stands still.
        if (!over.IsHidden() && over.GetState() == CGameOver::STATE_FADE) {
            D3DVECTOR v;
            game.GetPlayer().GetPosition(&v);
            if (!bFrozenWorld) {
                bFrozenWorld = true;
                vFrozen = v;
            }
            EXPECT_EQ(v.y, vFrozen.y);
        }
        if (nMenuAt < 0 && over.GetState() == CGameOver::STATE_MENU && !over.IsHidden()) {
            nMenuAt = t;
            taps.push_back({'Z', t + 3});
        }
        if (nMenuAt >= 0 && nRetryAt < 0 && stage.GetState() == STAGE_STATE_PLAY) {
            nRetryAt = t;
            EXPECT_TRUE(over.IsHidden());
            EXPECT_TRUE(game.GetPlayer().GetState() & PLAYER_STATE_ENTERING);
            EXPECT_EQ(stage.GetScreen(), nFirstScreen);
            EXPECT_EQ(game.GetGameStart().GetState(), CGameStart::STATE_OPENING);
        }
        if (nRetryAt >= 0 && nSecondMenuAt < 0 && over.GetState() == CGameOver::STATE_MENU && !over.IsHidden()) {
            nSecondMenuAt = t;
            taps.push_back({VK_DOWN, t + 3});
            taps.push_back({'Z', t + 6});
        }
        if (game.GetState() == CGame::STATE_TITLE)
            CloseSoon();
    });
    ASSERT_GT(nMissAt, 0);
    ASSERT_GT(nMenuAt, nMissAt);
    EXPECT_TRUE(bFrozenWorld);
    ASSERT_GT(nRetryAt, nMenuAt);
    // The same crates push her out again at the same point of the stage. The restart runs its first
    // update in the pass that chose it, where the stage's first update comes a pass after it is
    // entered: one pass sooner.
    ASSERT_GT(nSecondMenuAt, nRetryAt);
    EXPECT_EQ(nSecondMenuAt - nRetryAt, nMenuAt - 1);
    // "Return to title": the run ends as a run does, through the replay saving, at the title.
    const std::vector<int> states = m_Game.States();
    const std::vector<int> tail(states.end() - 4, states.end());
    EXPECT_EQ(tail, (std::vector<int>{CGame::STATE_STAGE_FADE, CGame::STATE_REPLAY_SELECT,
                                      CGame::STATE_REPLAY_SELECT_FADE, CGame::STATE_TITLE}));
}

TEST_F(StageScreensRun, PauseConfirmNoThenTabBackAndLaterQuitToTheTitle)
{
    const int kTab = 40;
    std::vector<TAP> taps = {{VK_DOWN, kTab + 5}, {'Z', kTab + 8}, {'Z', kTab + 20}};
    int nFrameAtPause = -1;
    D3DVECTOR vAtPause = {};
    int nPauseAgain = -1;
    RunStage([&](CObservedGame& game, int t) {
        Taps(taps, t);
        CStage& stage = game.GetStage();
        const CPause& pause = game.GetPause();
        const int nFrame = CKeyRecorder::GetInstance()->GetFrame();
        D3DVECTOR v;
        game.GetPlayer().GetPosition(&v);
        if (t == kTab)
            m_Host.PressKey(VK_TAB);
        if (t == kTab + 1) {
            ASSERT_EQ(stage.GetState(), STAGE_STATE_PAUSE);
            EXPECT_TRUE(CAppTimer::IsPaused(0));
            EXPECT_FALSE(pause.IsHidden());
            nFrameAtPause = nFrame;
            vAtPause = v;
        }
        if (t == kTab + 4) {
            // Tab held from the opening press: still paused; nothing moves, the record stands.
            EXPECT_EQ(stage.GetState(), STAGE_STATE_PAUSE);
            EXPECT_EQ(nFrame, nFrameAtPause);
            EXPECT_EQ(v.x, vAtPause.x);
            EXPECT_EQ(v.y, vAtPause.y);
            m_Host.ReleaseKey(VK_TAB);
        }
        if (t == kTab + 6) {
            EXPECT_EQ(pause.GetSelected(), CPause::ITEM_TITLE);
        }
        if (t == kTab + 9) {
            EXPECT_EQ(pause.GetState(), CPause::STATE_CONFIRM);
        }
        if (t == kTab + 10) {
            EXPECT_EQ(pause.GetSelected(), CPause::ITEM_NO);
        }
        if (t == kTab + 21) {
            EXPECT_EQ(pause.GetState(), CPause::STATE_MAIN);
            EXPECT_EQ(pause.GetSelected(), CPause::ITEM_TITLE);
            m_Host.PressKey(VK_TAB);
        }
        if (t == kTab + 22) {
            EXPECT_EQ(pause.GetResult(), CPause::RESULT_GAME);
        }
        if (t == kTab + 25) {
            // Closed after its four-pass fold: back in play with Tab still held.
            EXPECT_EQ(stage.GetState(), STAGE_STATE_PLAY);
            EXPECT_FALSE(CAppTimer::IsPaused(0));
        }
        if (t > kTab + 25 && t <= kTab + 40) {
            EXPECT_EQ(stage.GetState(), STAGE_STATE_PLAY) << t;
        }
        if (t == kTab + 40)
            m_Host.ReleaseKey(VK_TAB);
        if (t == kTab + 42)
            m_Host.PressKey(VK_TAB);
        if (t == kTab + 43) {
            EXPECT_EQ(stage.GetState(), STAGE_STATE_PAUSE);
            nPauseAgain = t;
            m_Host.ReleaseKey(VK_TAB);
            taps.push_back({VK_UP, t + 2});
            taps.push_back({'Z', t + 4});
            taps.push_back({VK_LEFT, t + 6});
            taps.push_back({'Z', t + 8});
        }
        if (nPauseAgain > 0 && t == nPauseAgain + 9) {
            EXPECT_EQ(pause.GetResult(), CPause::RESULT_TITLE);
        }
        if (game.GetState() == CGame::STATE_TITLE)
            CloseSoon();
    });
    ASSERT_GT(nPauseAgain, 0);
    EXPECT_TRUE(m_Game.GetStage().IsQuitByPause());
    const std::vector<int> states = m_Game.States();
    const std::vector<int> tail(states.end() - 3, states.end());
    EXPECT_EQ(tail, (std::vector<int>{CGame::STATE_STAGE, CGame::STATE_STAGE_FADE, CGame::STATE_TITLE}));
}

// The clear as a destroyed boss asks for it, in an arena that holds still: one hit leaves her 90 %
// of her life, so the tally pays 90 x 2000; with the seconds a boss timer would have left, the time
// and the stage's target bonus as well.
class ClearRun : public StageScreensRun {
protected:
    struct RESULT {
        int nTotal = -1;
        int nAdded = -1;
        int nClearedAt = -1;
        bool bOut = false;
        float fShovedX = 1000.0f;  // where she was the tick after the push off the left edge
        float fLowestY = 0.0f;     // the lowest she was after the drop, while the stage ran
        int nLifeAfter = -1;
    };
    // With bShove, what puts her out before the boss falls comes after it: during the clear delay
    // a push off the left edge and a hit worth more than her life, during the tally a drop below
    // the fall line and another such hit.
    static void Shove(CObservedGame& game, int t, int nTallyAt, RESULT* pResult)
    {
        CPlayer& p = game.GetPlayer();
        D3DVECTOR v;
        p.GetPosition(&v);
        if (t == 40) {
            p.SetPosition(D3DVECTOR{-50.0f, v.y, 0.0f});
            p.Damage(100);
        }
        if (t == 41)
            pResult->fShovedX = v.x;
        if (nTallyAt < 0)
            return;
        if (t == nTallyAt + 10) {
            p.SetPosition(D3DVECTOR{v.x, STAGE_FALL_OUT_Y + 60.0f, 0.0f});
            p.Damage(100);
        }
        // Once cleared the stage no longer looks where she is: it is over.
        if (t > nTallyAt + 10 && game.GetStage().GetState() == STAGE_STATE_PLAY)
            pResult->fLowestY = std::max(pResult->fLowestY, v.y);
        pResult->nLifeAfter = p.GetLife();
    }
    RESULT RunClear(int nTimeLeft, bool bShove = false)
    {
        RESULT r;
        int nScoreBefore = 0;
        int nTallyAt = -1;
        RunStage([&](CObservedGame& game, int t) {
            CStage& stage = game.GetStage();
            CStageClear& tally = game.GetStageClear();
            if (t == 30) {
                stage.GetStageData().StopScroll();
                game.GetPlayer().Damage(5);
                stage.EndBossBattle();
                if (nTimeLeft) {
                    tally.SetResults(stage.m_nLifePercent, nTimeLeft, CStage::GetStageBonus(1));
                }
                stage.RequestStageClear();
            }
            if (nTallyAt < 0 && !tally.IsHidden())
                nTallyAt = t;
            if (bShove)
                Shove(game, t, nTallyAt, &r);
            r.bOut = r.bOut || stage.GetState() == STAGE_STATE_GAMEOVER;
            if (nTallyAt >= 0 && (t - nTallyAt) % 30 == 0)
                WriteLook(m_Host, "tally-" + std::to_string(nTimeLeft) + "-" + std::to_string(t - nTallyAt));
            if (tally.GetState() != CStageClear::STATE_DONE)
                nScoreBefore = stage.GetScore();
            else if (r.nAdded < 0) {
                r.nTotal = tally.GetTotal();
                r.nAdded = stage.GetScore() - nScoreBefore;
            }
            if (r.nClearedAt < 0 && stage.GetState() == STAGE_STATE_CLEARED) {
                r.nClearedAt = t;
                CloseSoon();
            }
        });
        EXPECT_EQ(nTallyAt, 30 + 61);  // more than 1000 ms after the request
        return r;
    }
};

TEST_F(ClearRun, TheTallyAddsTheLifeBonusToTheScoreExactlyOnce)
{
    const RESULT r = RunClear(0);
    EXPECT_EQ(m_Game.GetStage().m_nLifePercent, 90);
    EXPECT_EQ(r.nTotal, 90 * 2000);
    EXPECT_EQ(r.nAdded, 90 * 2000);
    EXPECT_GT(r.nClearedAt, 0);
    EXPECT_EQ(m_Game.GetStage().GetScore() - r.nAdded, 0);
}

TEST_F(ClearRun, WithSecondsLeftTheTimeAndTargetBonusesArePaidToo)
{
    const RESULT r = RunClear(42);
    EXPECT_EQ(r.nTotal, 90 * 2000 + 42 * 1000 + 100000);
    EXPECT_EQ(r.nAdded, r.nTotal);
}

// From the boss's fall to the stage's end the stage is hers: the left edge and the fall line hold
// her, hits cost nothing, and the tally pays and the stage is cleared, with no game over.
TEST_F(ClearRun, NothingAfterTheBossFallsPutsHerOutOrTakesTheClear)
{
    const RESULT r = RunClear(0, true);
    EXPECT_FALSE(r.bOut);
    EXPECT_EQ(r.fShovedX, 0.0f);
    EXPECT_EQ(r.fLowestY, STAGE_FALL_OUT_Y);
    EXPECT_EQ(r.nLifeAfter, 90);
    EXPECT_EQ(r.nAdded, 90 * 2000);
    EXPECT_GT(r.nClearedAt, 0);
}

} // namespace
