// The whole game as a player plays it, headless: from the logo past the caution screen and the
// opening to the title, GAME START with easy mode and Hawk Wind, the five stages in a row ridden by
// a steering rider who kills every boss with her own fire and sees every tally, the ending watched
// to its last scene, the run saved into a slot and back at the title; then that replay chosen from
// the title's REPLAY and watched, every tick of all five stages the recorded tick.
//
// The full run on the generated data takes longer than the test run may: it runs only with
// ZORVA_LONG_RUNS=1 in the environment. The normal run plays the same way through stages cut to
// their last screens before the boss, with the bosses' life lowered.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Playthrough.h"
#include "enemy/EnemyBoss.h"
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "scene/ProgramRun.h"
#include "scene/TickSample.h"

namespace {

// The whole game twice over (played, then watched), twenty minutes each, with room to spare.
const uint32_t kMaxTicks = 250000;
const int kStages = 5;

// A stage tick and the key record's frame it was.
struct FRAMESAMPLE {
    int nFrame;
    TICKSAMPLE sample;
};

// What a run saw of one stage.
struct STAGENOTES {
    std::vector<FRAMESAMPLE> recorded, played;
    int nBossLifeAtDeath = 1;      // the boss body's life when it was first seen dead
    int nSecondsLeftAtDeath = -1;  // the boss HUD's clock then
    int nScoreBeforeDeath = 0, nScoreAtDeath = 0;
    int nBossScoreValue = 0;
    bool bTallyDone = false;
    int nTallyTotal = 0;
    bool bCleared = false;
    bool bMissed = false;
    bool bBossDeadInPlayback = false;
    int nDeathFrame = -1;  // the key record's frame it was first seen dead
    int nBossFrame = -1;   // the frame the boss battle began
};

// A close request a few ticks from now, as the close box sends it.
void CloseAfter(CHostHeadless& host, uint32_t nTicks = 2)
{
    HOSTSCRIPTCMD close = {};
    close.nTick = host.GetTick() + nTicks;
    close.op = HSOP_CLOSE;
    host.Schedule(close);
}

// The parts of a played sample that are not as recorded.
std::string Differences(const TICKSAMPLE& r, const TICKSAMPLE& q)
{
    std::ostringstream out;
    auto check = [&out](const char* pszName, auto a, auto b) {
        if (!(a == b))
            out << pszName << " " << a << " played " << b << "; ";
    };
    check("x", r.x, q.x);
    check("y", r.y, q.y);
    check("state", r.dwState, q.dwState);
    check("life", r.nLife, q.nLife);
    check("exp", r.nExp, q.nExp);
    check("level", r.nLevel, q.nLevel);
    check("score", r.nScore, q.nScore);
    check("counter", r.nCounter, q.nCounter);
    check("stage state", r.nStageState, q.nStageState);
    check("labels", r.nLabelHash, q.nLabelHash);
    check("shots", r.nShotHash, q.nShotHash);
    check("explosions", r.nExplosionHash, q.nExplosionHash);
    check("items", r.nItemHash, q.nItemHash);
    check("enemies", r.nEnemyHash, q.nEnemyHash);
    check("screens", r.nScreenHash, q.nScreenHash);
    check("weapons", r.nWeaponHash, q.nWeaponHash);
    return out.str();
}

class WholeGameRun : public CProgramRun {
protected:
    // Plays the whole game on the data in the run's folder, saves it into slot 1 and watches it.
    void PlayAndWatch()
    {
        std::filesystem::remove_all("Replay");
        m_Playthrough.m_bHighJump = true;
        m_Playthrough.m_OnUpdate = [this](CPlaythrough& game) {
            Note(game);
            if (game.GetState() == CGame::STATE_ENDING) {
                m_bEndingDone = game.GetEnding().IsAllDone() && !game.GetEnding().IsSkipped();
                LookOnce("whole-ending-" + std::to_string(game.GetEnding().GetScript().GetShot()));
            }
            if (game.GetState() == CGame::STATE_REPLAY_SELECT && m_nFinalScore < 0)
                m_nFinalScore = game.GetStage().GetScore();
            if (game.GetState() == CGame::STATE_REPLAY_SELECT &&
                game.GetReplaySel().GetResult() == CReplaySel::RESULT_SAVED)
                LookOnce("whole-saved");
        };
        ASSERT_EQ(RunOn(m_Host, m_Playthrough, kMaxTicks), 0);
        EXPECT_EQ(m_Playthrough.GetFailure(), "");
        // Whatever the rider last held is let go for the tests after this one.
        for (int nKey : {int(VK_LEFT), int(VK_RIGHT), int(VK_UP), int(VK_DOWN), int('Z'), int('X'), int('C')})
            m_Host.ReleaseKey(nKey);
    }

    // Each update pass of a stage, in the recording and in the playback.
    void Note(CPlaythrough& game)
    {
        if (game.GetState() != CGame::STATE_STAGE && game.GetState() != CGame::STATE_STAGE_FADE)
            return;
        const int nStage = game.GetStageNumber();
        if (nStage < 1 || nStage > kStages)
            return;
        STAGENOTES& notes = m_Stages[nStage - 1];
        CKeyRecorder* pRec = CKeyRecorder::GetInstance();
        const bool bPlayback = pRec->GetMode() == KEYREC_MODE_PLAY;
        if (!bPlayback && pRec->GetMode() != KEYREC_MODE_RECORD)
            return;
        (bPlayback ? notes.played : notes.recorded).push_back({pRec->GetFrame(), Sample(game)});
        CStage& stage = game.GetStage();
        CEnemyPartBoss* pBoss = CStageRider::FindBoss(game);
        if (bPlayback) {
            notes.bBossDeadInPlayback = notes.bBossDeadInPlayback || (pBoss && pBoss->m_bDead);
            return;
        }
        notes.bMissed = notes.bMissed || stage.GetState() == STAGE_STATE_GAMEOVER;
        if (notes.nBossFrame < 0 && stage.IsBossBattle())
            notes.nBossFrame = pRec->GetFrame();
        notes.bCleared = notes.bCleared || stage.GetState() == STAGE_STATE_CLEARED;
        // Counted to its end on the screen; the tally keeps its last state once hidden.
        CStageClear& tally = game.GetStageClear();
        if (!notes.bTallyDone && !tally.IsHidden() && tally.GetState() == CStageClear::STATE_DONE) {
            notes.bTallyDone = true;
            notes.nTallyTotal = tally.GetTotal();
        }
        const std::string strStage = "whole-stage" + std::to_string(nStage);
        if (notes.bTallyDone)
            LookOnce(strStage + "-tally");
        if (pBoss && !pBoss->m_bDead && pBoss->m_nLife < pBoss->m_nMaxLife / 2)
            LookOnce(strStage + "-fight");
        if (notes.nDeathFrame >= 0 && pRec->GetFrame() == notes.nDeathFrame + 40)
            LookOnce(strStage + "-destroyed");
        // The score value it pays is the one it had alive (ZZ's changes as it dies).
        if (pBoss && !pBoss->m_bDead) {
            notes.nScoreBeforeDeath = stage.GetScore();
            notes.nBossScoreValue = pBoss->m_Param.nScore;
        }
        if (pBoss && pBoss->m_bDead && notes.nSecondsLeftAtDeath < 0) {
            notes.nDeathFrame = pRec->GetFrame();
            notes.nBossLifeAtDeath = pBoss->m_nLife;
            notes.nSecondsLeftAtDeath = game.GetBossCockpit().GetSecondsLeft();
            notes.nScoreAtDeath = stage.GetScore();
        }
    }

    // The last frame as NAME.png, once, when ZORVA_LOOK_DIR names a folder.
    void LookOnce(const std::string& strName)
    {
        if (m_Looked.insert(strName).second)
            WriteLook(m_Host, strName);
    }

    // Everything the run must have shown.
    void ExpectTheWholeGame()
    {
        using States = std::vector<int>;
        States expected = {1, 9, 10, 13, 14, 11, 12};
        for (int i = 0; i < kStages; i++)
            expected.insert(expected.end(), {3, 4, 15, 16});
        // The ending, the save, the title; REPLAY; the five stages again, and the title.
        expected.insert(expected.end(), {3, 4, 19, 20, 7, 8, 13, 14, 7, 8});
        for (int i = 0; i < kStages; i++)
            expected.insert(expected.end(), {3, 4, 15, 16});
        expected.push_back(13);
        EXPECT_EQ(m_Playthrough.GetStates(), expected);
        // The generated data has nothing to complain about.
        for (const std::string& strLine : m_Host.GetErrorLines())
            ADD_FAILURE() << strLine;

        for (int s = 0; s < kStages; s++) {
            const STAGENOTES& notes = m_Stages[s];
            SCOPED_TRACE("stage " + std::to_string(s + 1));
            // She was never out, and her fire killed the boss before its time ran out: its life
            // went to nothing and it paid its score value on top of the hit's points.
            EXPECT_FALSE(notes.bMissed);
            EXPECT_LE(notes.nBossLifeAtDeath, 0);
            EXPECT_GT(notes.nSecondsLeftAtDeath, 0);
            EXPECT_GE(notes.nScoreAtDeath - notes.nScoreBeforeDeath, notes.nBossScoreValue);
            EXPECT_GT(notes.nBossScoreValue, 0);
            // The tally counted to its end, her life's bonus at least, and the stage was cleared.
            EXPECT_TRUE(notes.bTallyDone);
            EXPECT_GT(notes.nTallyTotal, 0);
            EXPECT_TRUE(notes.bCleared);
            ExpectSamePlayback(notes, s == kStages - 1);
            EXPECT_TRUE(notes.bBossDeadInPlayback);
        }
        // The ending played every scene and was not skipped.
        EXPECT_TRUE(m_bEndingDone);
        ExpectSavedRun();
    }

    // Every recorded tick of the stage was played back as it was; the playback may end a tick
    // early, on the closing record.
    static void ExpectSamePlayback(const STAGENOTES& notes, bool bLastStage)
    {
        ASSERT_GT(notes.recorded.size(), 100u);
        ASSERT_GE(notes.played.size() + 1, notes.recorded.size());
        for (size_t i = 0; i < notes.recorded.size() && i < notes.played.size(); i++) {
            const FRAMESAMPLE& r = notes.recorded[i];
            const FRAMESAMPLE& q = notes.played[i];
            ASSERT_EQ(q.nFrame, r.nFrame) << "sample " << i;
            TICKSAMPLE played = q.sample;
            // A replay's last boss leaves the score at the recorded total: the cockpit's counter
            // jumps to it where the recording rolled on.
            if (bLastStage && r.nFrame >= notes.nDeathFrame)
                played.nCounter = r.sample.nCounter;
            ASSERT_TRUE(played == r.sample) << "frame " << r.nFrame << ": " << Differences(r.sample, q.sample);
        }
    }

    // Slot 1 holds the run: all five tracks from their starts, the final score, easy mode with the
    // high jump.
    void ExpectSavedRun()
    {
        REPLAYIMAGE image;
        rvm::string strReason;
        const std::vector<uint8_t> bytes = CTempFolder::Get("Replay/Replay01.dat");
        ASSERT_EQ(DecodeReplay(bytes.data(), bytes.size(), &image, &strReason), 1) << strReason;
        for (int s = 0; s < kStages; s++) {
            EXPECT_NE(image.header.nPairs[s][0], -1) << s;
            EXPECT_GT(image.tracks[s].size(), 10u) << s;
        }
        EXPECT_EQ(image.header.nPairs[0][0], 0);
        EXPECT_EQ(image.header.nScore, m_nFinalScore);
        EXPECT_GT(image.header.nScore, m_Stages[kStages - 1].nScoreAtDeath);
        EXPECT_EQ(image.header.nOptions[0], 1);
        EXPECT_EQ(image.header.nOptions[1], 1);
        // Watched, it ends on the score it was saved with.
        ASSERT_FALSE(m_Stages[kStages - 1].played.empty());
        EXPECT_EQ(m_Stages[kStages - 1].played.back().sample.nScore, image.header.nScore);
    }

    CPlaythrough m_Playthrough{m_Host};
    STAGENOTES m_Stages[kStages];
    int m_nFinalScore = -1;
    bool m_bEndingDone = false;
    std::set<std::string> m_Looked;
};

} // namespace

TEST_F(WholeGameRun, FiveShortStagesInARowToTheEndingSavedAndWatchedTickForTick)
{
    MakeData();
    for (int nStage = 1; nStage <= kStages; nStage++)
        ShortenToBoss(nStage);
    SetParam("ENEMY_M.Zorva", "150, 0, 0, 10000, 1");
    SetParam("ENEMY_Z.M.Zorva", "150, 0, 0, 40000, 1");
    SetParam("ENEMY_ZZ.M.Zorva", "150, 0, 0, 50000, 1");
    SetParam("ENEMY_M.ZorvaF91", "150, 0, 0, 20000, 1");
    SetParam("ENEMY_N.M.Zorva", "150, 0, 0, 30000, 1");
    PlayAndWatch();
    ExpectTheWholeGame();
}

TEST_F(WholeGameRun, TheWholeGameOnTheGeneratedDataToTheEndingSavedAndWatchedTickForTick)
{
    if (!std::getenv("ZORVA_LONG_RUNS"))
        GTEST_SKIP() << "a long run: set ZORVA_LONG_RUNS=1 to run it";
    MakeData();
    PlayAndWatch();
    ExpectTheWholeGame();
    // What a clean clear takes: each ride to its boss and the fight, and the play from the first
    // stage's start to the ending, in seconds.
    const std::vector<int>& states = m_Playthrough.GetStates();
    const std::vector<uint32_t>& ticks = m_Playthrough.GetStateTicks();
    uint32_t nFirstStage = 0, nEnding = 0;
    for (size_t i = 0; i < states.size(); i++) {
        if (states[i] == CGame::STATE_STAGE && !nFirstStage)
            nFirstStage = ticks[i];
        if (states[i] == CGame::STATE_ENDING && !nEnding)
            nEnding = ticks[i];
    }
    for (int s = 0; s < kStages; s++)
        printf("stage %d: boss after %.1f s, destroyed %.1f s later\n", s + 1, m_Stages[s].nBossFrame / 60.0,
               (m_Stages[s].nDeathFrame - m_Stages[s].nBossFrame) / 60.0);
    printf("the clean clear: %.1f minutes from the first stage to the ending\n", (nEnding - nFirstStage) / 3600.0);
}

// Stages 4 and 5 from the last screens before the warning: she cannot steer while she waits to
// lift off for the boss fight in the air, so nothing on the road may come at her then. She lifts
// off, flies free and meets the boss, never pushed off the screen.
TEST_F(WholeGameRun, SheLiftsOffForTheLastTwoBossesWithNothingInHerWay)
{
    for (int nStage : {4, 5}) {
        SCOPED_TRACE("stage " + std::to_string(nStage));
        MakeStageData();
        SetParam("INIT_STAGE_NUM", nStage);
        ClearParams();
        ShortenToBoss(nStage, 3);
        CHostHeadless host;
        CPlaythrough game(host);
        bool bFree = false, bOut = false, bBoss = false, bClosing = false;
        game.m_OnUpdate = [&](CPlaythrough& g) {
            if (g.GetState() != CGame::STATE_STAGE)
                return;
            bFree = bFree || (g.GetPlayer().GetState() & PLAYER_STATE_AERIAL_FREE);
            bOut = bOut || g.GetStage().GetState() == STAGE_STATE_GAMEOVER;
            bBoss = bBoss || CStageRider::FindBoss(g) != nullptr;
            if (((bFree && bBoss) || bOut) && !bClosing) {
                bClosing = true;
                CloseAfter(host);
            }
        };
        ASSERT_EQ(RunOn(host, game, 4000), 0);
        EXPECT_FALSE(bOut);
        EXPECT_TRUE(bFree);
        EXPECT_TRUE(bBoss);
        std::filesystem::remove_all("GameData");
    }
}

// Put out, the player gives up at once and says where and why: without her jump she rides into
// the harbour's first gap, and the window closes then, long before the run's ticks are up.
TEST_F(WholeGameRun, AGameOverEndsTheRunAtOnceAndSaysWhereAndWhy)
{
    MakeStageData();
    SetParam("INIT_STAGE_NUM", 2);
    SetParam("JUMP", "0, 0");
    ClearParams();
    const int nDock = FirstScreenWith(2, 'C', "WA");
    ASSERT_GT(nDock, 2);
    CutStageAt(2, nDock - 1);
    CHostHeadless host;
    CPlaythrough game(host);
    ASSERT_EQ(RunOn(host, game, 20000), 0);
    EXPECT_EQ(game.GetFailure().rfind("game over in stage 2 at tick ", 0), 0u) << game.GetFailure();
    EXPECT_NE(game.GetFailure().find("(fell)"), std::string::npos) << game.GetFailure();
    EXPECT_LT(host.GetFrameTicks(), 5000u);
    EXPECT_EQ(game.GetPhase(), CPlaythrough::PHASE_DONE);
    std::filesystem::remove_all("GameData");
}
