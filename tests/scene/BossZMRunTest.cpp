// Stage 2 played through the whole program to its boss, Z.M.Zorva, on the map cut down to its
// start and the boss's arena: the warning, the boss in its first phase, her gun held down until it
// dies, then its explosion chain, the fall off the bottom of the screen, the stage clear and the
// tally, with the boss's score value paid at the kill.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "enemy/EnemyLabel.h"
#include "enemy/EnemyZM.h"
#include "scene/BossFinder.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

namespace {

const int kBossLife = 150;
const int kBossScore = 40000;

struct ZMSAMPLE {
    int nTick;
    int nState;
    int nLife;
    BOOL bDead;
    BOOL bExploded;  // the destruction's chain has finished
    float y;
    int nHeight;
    int nScore;
    BOOL bClearRequested;
};

CEnemyPartZM* FindZM(CGame& game)
{
    return FindBossParts<CEnemyZM, CEnemyPartZM>(game.GetStage(), ENEMY_FAMILY_ZM);
}

class BossZMRun : public CProgramRun {};

TEST_F(BossZMRun, StageTwoPlayedToItsBossWhichHerGunKillsExplodesFallsAndClearsTheStage)
{
    MakeStageData();
    SetParam("INIT_STAGE_NUM", "2");
    SetParam("ENEMY_Z.M.Zorva", std::to_string(kBossLife) + ", 0, 0, " + std::to_string(kBossScore) + ", 1");
    MoveBossToStart(2);
    std::vector<ZMSAMPLE> samples;
    uint32_t nBase = 0;
    int nTallyTick = 0, nTallyState = -1;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (!game.m_bNoting)
            return;
        if (game.GetState() != CGame::STATE_STAGE)
            return;
        if (!nBase)
            nBase = m_Host.GetFrameTicks();
        const int t = (int)(m_Host.GetFrameTicks() - nBase);
        if (t == 20)
            m_Host.PressKey('Z');
        if (!nTallyTick && !game.GetStageClear().IsHidden())
            nTallyTick = t;
        CEnemyPartZM* pBody = FindZM(game);
        if (pBody && pBody->m_nMaxLife > 0) {
            samples.push_back(ZMSAMPLE{t, pBody->m_nState, pBody->m_nLife, pBody->m_bDead,
                                       pBody->m_ExpBoss.IsFinished(), pBody->m_vPos.y, pBody->m_nHeight,
                                       game.GetStage().GetScore(), pBody->m_bClearRequested});
        }
        // What follows the tally (the ride to the map's end) is the stage's, not the boss's.
        if (nTallyTick && t == nTallyTick + 60) {
            nTallyState = game.GetStage().GetState();
            CloseSoon();
        }
        if (t > 4000)
            CloseSoon();
    };
    ASSERT_EQ(Run(200000), 0);
    m_Host.ReleaseKey('Z');
    WriteLook(m_Host, "zm-run-last");
    ASSERT_FALSE(samples.empty());

    // The boss came in its first phase with the life its Param key gives.
    EXPECT_EQ(samples.front().nState, 0);
    EXPECT_EQ(samples.front().nLife, kBossLife);
    EXPECT_LT(samples.front().nTick, 600);
    // Her gun brought it down before the limit, in the fight's first phase or its exit.
    auto death = std::find_if(samples.begin(), samples.end(), [](const ZMSAMPLE& s) { return s.bDead; });
    ASSERT_NE(death, samples.end());
    ASSERT_NE(death, samples.begin());
    EXPECT_LE(death->nLife, 0);
    EXPECT_LT(death->nTick, samples.front().nTick + 180 * 60);
    EXPECT_GE(death->nScore - (death - 1)->nScore, kBossScore);
    // The chain of explosions runs for about three seconds while the body hangs there.
    auto exploded = std::find_if(death, samples.end(), [](const ZMSAMPLE& s) { return s.bExploded; });
    ASSERT_NE(exploded, samples.end());
    EXPECT_GT(exploded->nTick - death->nTick, 150);
    EXPECT_LT(exploded->nTick - death->nTick, 260);
    for (auto it = death; it != exploded; ++it)
        EXPECT_EQ(it->y, death->y);
    // Then it falls faster by 1.7 each frame, past the bottom of the screen, and the clear follows.
    std::vector<float> fall;
    for (auto it = exploded; it != samples.end() && !it->bClearRequested; ++it)
        fall.push_back(it->y);
    ASSERT_GE(fall.size(), 4u);
    const size_t n = fall.size();
    EXPECT_NEAR((fall[n - 1] - fall[n - 2]) - (fall[n - 2] - fall[n - 3]), 1.7f, 0.01f);
    auto clear = std::find_if(samples.begin(), samples.end(), [](const ZMSAMPLE& s) { return s.bClearRequested; });
    ASSERT_NE(clear, samples.end());
    EXPECT_GT(clear->y, 480.0f + (float)clear->nHeight);
    EXPECT_LE(fall.back(), 480.0f + (float)clear->nHeight);
    // The tally comes after the clear, with her still riding.
    EXPECT_GT(nTallyTick, clear->nTick);
    EXPECT_EQ(nTallyState, STAGE_STATE_PLAY);
}

} // namespace
