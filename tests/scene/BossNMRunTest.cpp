// Stage 5 played through the whole program to its boss, N.M.Zorva, on the map cut down to its start
// and the boss's arena. Shot down by her gun, the last boss pays its score, explodes, falls off the
// screen and hands the stage its clear and tally. Left alone (she cannot fall while PLAY_OUT is 0),
// it fights the whole three minutes, through its circle of pods and its triangle, and the time-out
// ends it the same way, its fall asking for the clear.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "enemy/EnemyLabel.h"
#include "enemy/EnemyNM.h"
#include "scene/BossFinder.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

namespace {

const int kBossLife = 240;
const int kBossScore = 30000;

// What the run saw of the boss.
struct NMWATCH {
    int nSpawned = -1;
    int nDead = -1;
    int nExplosionDone = -1;
    int nFallen = -1;
    int nTally = -1;
    int nStageStateAfterTally = -1;
    bool bTallyShown = false;
    bool bClearRequested = false;
    float fLifeAtFall = -1.0f;
    int nScoreBefore = -1;
    int nScoreAtDeath = -1;
    int nKillPaid = -1;
    int nLastScore = -1;
    int nLifeAtDeath = -1;
    int nLifeBonus = -1, nTimeBonus = -1, nTargetBonus = -1;
    int nCircleTicks = 0;
    int nTriangleTicks = 0;
    float fLowest = 0.0f;
    bool bFell = true;
    bool bStillWhileExploding = true;
};

CEnemyPartNM* FindNM(CStage& stage)
{
    return FindBossParts<CEnemyNM, CEnemyPartNM>(stage, ENEMY_FAMILY_NM);
}

class BossNMRun : public CProgramRun {
protected:
    void SetUp() override
    {
        MakeStageData();
        SetParam("INIT_STAGE_NUM", "5");
        SetParam("ENEMY_N.M.Zorva", std::to_string(kBossLife) + ", 0, 0, " + std::to_string(kBossScore) + ", 1");
        MoveBossToStart(5);
        // The last boss's fire wears her down faster than her gun wears it: she may not fall here.
        SetParam("PLAY_OUT", "0");
    }

    // Runs stage 5 with her gun held from the first tick or not, watching the boss to the tally's end.
    NMWATCH Watch(bool bShoot, uint32_t nTicks)
    {
        NMWATCH w;
        uint32_t nBase = 0;
        CEnemyPartNM* pBoss = nullptr;
        m_Game.m_OnRender = [&](CObservedGame& game) {
            if (!game.m_bNoting)
                return;
            CStageClear& tally = game.GetStageClear();
            // The tally has come and counts; what follows it (the ride to the map's end) is the
            // stage's, not the boss's.
            if (w.nTally >= 0 && (int)(m_Host.GetFrameTicks() - nBase) == w.nTally + 60) {
                w.nStageStateAfterTally = game.GetStage().GetState();
                w.bTallyShown = !tally.IsHidden();
                WriteLook(m_Host, bShoot ? "nm-kill-tally" : "nm-timeout-tally");
                CloseSoon();
                return;
            }
            if (game.GetState() != CGame::STATE_STAGE)
                return;
            if (!nBase) {
                nBase = m_Host.GetFrameTicks();
                if (bShoot)
                    m_Host.PressKey('Z');
            }
            const int t = (int)(m_Host.GetFrameTicks() - nBase);
            CStage& stage = game.GetStage();
            if (!pBoss && (pBoss = FindNM(stage)) != nullptr && !pBoss->m_bDead) {
                w.nSpawned = t;
                w.nScoreBefore = stage.GetScore();
            }
            if (!pBoss || w.nSpawned < 0)
                return;
            w.nCircleTicks += pBoss->m_Funnel1.IsIdle() ? 0 : 1;
            const int nLastScore = w.nLastScore;
            w.nLastScore = stage.GetScore();
            w.nTriangleTicks += pBoss->m_Tri.IsIdle() ? 0 : 1;
            if (w.nDead < 0) {
                if (!pBoss->m_bDead)
                    return;
                w.nDead = t;
                // Past the arena she shoots her way through the crates of the map's end.
                if (!bShoot)
                    m_Host.PressKey('Z');
                w.nScoreAtDeath = stage.GetScore();
                w.nKillPaid = w.nScoreAtDeath - nLastScore;
                w.nLifeAtDeath = pBoss->m_nLife;
                stage.GetClearBonus(&w.nLifeBonus, &w.nTimeBonus, &w.nTargetBonus);
                w.fLowest = pBoss->m_vPos.y;
                // Its weapons went with it.
                EXPECT_TRUE(pBoss->m_Funnel1.IsIdle());
                EXPECT_TRUE(pBoss->m_Tri.IsIdle());
                EXPECT_TRUE(pBoss->m_Laser.IsIdle());
                WriteLook(m_Host, bShoot ? "nm-kill" : "nm-timeout");
            }
            if (w.nExplosionDone < 0 && pBoss->m_ExpBoss.IsFinished())
                w.nExplosionDone = t;
            if (w.nFallen < 0) {
                if (w.nExplosionDone < 0)
                    w.bStillWhileExploding = w.bStillWhileExploding && pBoss->m_vPos.y == w.fLowest;
                else
                    w.bFell = w.bFell && pBoss->m_vPos.y >= w.fLowest;
                w.fLowest = pBoss->m_vPos.y;
                if (pBoss->m_vPos.y > 480.0f + (float)pBoss->m_nHeight) {
                    w.nFallen = t;
                    w.fLifeAtFall = game.GetPlayer().GetLifeRatio();
                }
            }
            w.bClearRequested = pBoss->m_bClearRequested != 0;
            if (w.nFallen >= 0 && t == w.nFallen + 200 && w.nTally < 0) {
                CloseSoon();
                return;
            }
            if (w.nTally < 0 && !tally.IsHidden())
                w.nTally = t;
        };
        EXPECT_EQ(Run(nTicks), 0);
        m_Host.ReleaseKey('Z');
        return w;
    }
};

TEST_F(BossNMRun, ShotDownTheLastBossPaysItsScoreExplodesFallsAndTheTallyPaysTheBonusesOnTop)
{
    const NMWATCH w = Watch(true, 200000);
    ASSERT_GE(w.nSpawned, 0);
    EXPECT_LT(w.nSpawned, 600);
    ASSERT_GT(w.nDead, w.nSpawned);
    // Ten points for each point of its life, then its score value.
    // Ten points for each point of its life, then its score value; her shots on its pods and
    // familiars pay on top.
    EXPECT_GE(w.nScoreAtDeath, w.nScoreBefore + 10 * kBossLife + kBossScore);
    EXPECT_GE(w.nKillPaid, kBossScore);
    EXPECT_LE(w.nLifeAtDeath, 0);
    // It fought with its circle of pods before it fell.
    EXPECT_GT(w.nCircleTicks, 0);
    ASSERT_GT(w.nExplosionDone, w.nDead);
    EXPECT_TRUE(w.bStillWhileExploding);
    EXPECT_TRUE(w.bFell);
    ASSERT_GT(w.nFallen, w.nExplosionDone);
    // The tally comes more than a second after the clear request, with her still riding; its
    // bonuses: the seconds left and the stage's target bonus.
    EXPECT_GE(w.nTally, w.nFallen + 60);
    EXPECT_TRUE(w.bTallyShown);
    EXPECT_EQ(w.nStageStateAfterTally, STAGE_STATE_PLAY);
    EXPECT_GT(w.nTimeBonus, 0);
    EXPECT_EQ(w.nTargetBonus, CStage::GetStageBonus(5));
}

TEST_F(BossNMRun, LeftAloneItFightsTheThreeMinutesThenExplodesFallsAndAsksForTheClearWhichHerSpentLifeForfeits)
{
    const NMWATCH w = Watch(false, 200000);
    ASSERT_GE(w.nSpawned, 0);
    ASSERT_GT(w.nDead, w.nSpawned);
    EXPECT_GE(w.nDead - w.nSpawned, 180 * 60);
    EXPECT_LE(w.nDead - w.nSpawned, 185 * 60);
    // Whole, nothing scored; the circle and the triangle came and went in the three minutes.
    EXPECT_EQ(w.nLifeAtDeath, kBossLife);
    EXPECT_EQ(w.nScoreAtDeath, w.nScoreBefore);
    EXPECT_GT(w.nCircleTicks, 600);
    EXPECT_GT(w.nTriangleTicks, 0);
    ASSERT_GT(w.nExplosionDone, w.nDead);
    EXPECT_TRUE(w.bFell);
    ASSERT_GT(w.nFallen, w.nExplosionDone);
    // The fallen body asks the stage for its clear. Three minutes of its fire have taken all her
    // life (she rides on only because PLAY_OUT is 0), and a heroine without life gets no clear:
    // no tally comes.
    EXPECT_TRUE(w.bClearRequested);
    EXPECT_EQ(w.fLifeAtFall, 0.0f);
    EXPECT_EQ(w.nTally, -1);
    EXPECT_EQ(w.nTimeBonus, 0);
    EXPECT_EQ(w.nTargetBonus, 0);
}

} // namespace
