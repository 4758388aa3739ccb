// The first boss through the whole program, on stage 1 of the generated data laid out short: the
// road without its obstacles and enemies, the warning one screen before the boss and the arena at
// the map's end. Shot down by her gun held up and firing, it pays its score, explodes, falls off the
// screen and hands the stage its clear and tally; left alone it lasts until the time limit runs out
// and ends the same way.
#include <gtest/gtest.h>

#include "enemy/EnemyLabel.h"
#include "enemy/EnemyMM.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "scene/ShortStage.h"
#include "stage/Stage.h"

namespace {

// The run closes itself once the tally is done; the budget only has to outlast a slow load, whose
// real time the host counts in ticks.
const uint32_t kLongRun = 200000;

// What the run saw of the boss, frame by frame.
struct BOSSWATCH {
    int nSpawned = -1;
    int nDead = -1;
    int nExplosionDone = -1;
    int nFallen = -1;
    int nTally = -1;
    int nCleared = -1;
    int nScoreBefore = -1;
    int nScoreAtDeath = -1;
    int nLifeAtDeath = -1;
    int nLifeBonus = -1, nTimeBonus = -1, nTargetBonus = -1;
    float fLowest = 0.0f;
    bool bFell = true;
};

class BossMMRun : public CProgramRun {
protected:
    void SetUp() override
    {
        MakeStageData();
        ASSERT_TRUE(ShortenStageOne());
        SetParam("ENEMY_M.Zorva", "60, 0, 0, 10000, 1");
    }

    static CEnemyPartMM* FindBoss(CStage& stage)
    {
        for (CObjectLabel* pObject : stage.GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            if (pLabel && dynamic_cast<CEnemyMM*>(pLabel->m_pEnemy))
                return pLabel->GetParts<CEnemyPartMM>(ENEMY_FAMILY_MM);
        }
        return nullptr;
    }

    // Runs the stage with Z (and Up, when shooting) held from the first tick, watching the boss.
    BOSSWATCH Watch(bool bShoot)
    {
        BOSSWATCH w;
        uint32_t nBase = 0;
        CEnemyPartMM* pBoss = nullptr;
        m_Game.m_OnRender = [&](CObservedGame& game) {
            if (!game.m_bNoting)
                return;
            CStageClear& tally = game.GetStageClear();
            if (w.nTally >= 0 && w.nCleared < 0 && tally.GetState() == CStageClear::STATE_DONE) {
                w.nCleared = static_cast<int>(m_Host.GetFrameTicks() - nBase);
                m_nFinalScore = game.GetStage().GetScore();
                m_nTallyTotal = tally.GetTotal();
                WriteLook(m_Host, bShoot ? "mm-kill-tally" : "mm-timeout-tally");
                CloseSoon();
                return;
            }
            if (game.GetState() != CGame::STATE_STAGE)
                return;
            if (!nBase) {
                nBase = m_Host.GetFrameTicks();
                if (bShoot) {
                    m_Host.PressKey('Z');
                    m_Host.PressKey(VK_UP);
                }
            }
            const int t = static_cast<int>(m_Host.GetFrameTicks() - nBase);
            CStage& stage = game.GetStage();
            if (!pBoss && (pBoss = FindBoss(stage)) != nullptr && !pBoss->m_bDead) {
                w.nSpawned = t;
                w.nScoreBefore = stage.GetScore();
            }
            if (!pBoss || w.nSpawned < 0)
                return;
            if (w.nDead < 0) {
                if (!pBoss->m_bDead)
                    return;
                w.nDead = t;
                // The scripted fire stops with the boss.
                m_Host.ReleaseKey('Z');
                m_Host.ReleaseKey(VK_UP);
                w.nScoreAtDeath = stage.GetScore();
                w.nLifeAtDeath = pBoss->m_nLife;
                stage.GetClearBonus(&w.nLifeBonus, &w.nTimeBonus, &w.nTargetBonus);
                w.fLowest = pBoss->m_vPos.y;
            }
            if (w.nExplosionDone < 0 && pBoss->m_ExpBoss.IsFinished())
                w.nExplosionDone = t;
            if (w.nFallen < 0) {
                // Still, until the explosion is over; then only downwards.
                w.bFell = w.bFell && (w.nExplosionDone >= 0 ? pBoss->m_vPos.y >= w.fLowest
                                                            : pBoss->m_vPos.y == w.fLowest);
                w.fLowest = pBoss->m_vPos.y;
                if (pBoss->m_vPos.y > 480.0f + (float)pBoss->m_nHeight)
                    w.nFallen = t;
            }
            if (w.nTally < 0 && !tally.IsHidden())
                w.nTally = t;
        };
        EXPECT_EQ(Run(kLongRun), 0);
        m_Host.ReleaseKey('Z');
        m_Host.ReleaseKey(VK_UP);
        return w;
    }

    int m_nFinalScore = -1;
    int m_nTallyTotal = -1;
};

TEST_F(BossMMRun, ShotDownItPaysItsLifeAndScoreExplodesFallsAndTheTallyPaysTheBonusesOnTop)
{
    const BOSSWATCH w = Watch(true);
    ASSERT_GT(w.nSpawned, 0);
    ASSERT_GT(w.nDead, w.nSpawned);
    // Ten points for each point of its 60 life, then its score value.
    EXPECT_EQ(w.nScoreAtDeath, w.nScoreBefore + 600 + 10000);
    EXPECT_LE(w.nLifeAtDeath, 0);
    ASSERT_GT(w.nExplosionDone, w.nDead);
    EXPECT_TRUE(w.bFell);
    ASSERT_GT(w.nFallen, w.nExplosionDone);
    // The tally comes more than a second after the fall's clear request.
    EXPECT_GE(w.nTally, w.nFallen + 60);
    ASSERT_GT(w.nCleared, w.nTally);
    // Untouched, a full life; the seconds left and the stage's target bonus.
    EXPECT_GT(w.nTimeBonus, 0);
    EXPECT_EQ(w.nTargetBonus, CStage::GetStageBonus(1));
    EXPECT_EQ(m_nTallyTotal, w.nLifeBonus + w.nTimeBonus + w.nTargetBonus);
    EXPECT_EQ(m_nFinalScore, w.nScoreAtDeath + m_nTallyTotal);
}

TEST_F(BossMMRun, LeftAloneItLastsTheThreeMinutesThenExplodesFallsAndClearsWithoutTimeOrTargetBonus)
{
    const BOSSWATCH w = Watch(false);
    ASSERT_GT(w.nSpawned, 0);
    // Three minutes of frame time after the HUD started with the boss.
    ASSERT_GT(w.nDead, w.nSpawned);
    EXPECT_GE(w.nDead - w.nSpawned, 180 * 60);
    EXPECT_LE(w.nDead - w.nSpawned, 185 * 60);
    // Not worn down: its life is whole, and nothing was scored.
    EXPECT_EQ(w.nLifeAtDeath, 60);
    EXPECT_EQ(w.nScoreAtDeath, w.nScoreBefore);
    ASSERT_GT(w.nExplosionDone, w.nDead);
    EXPECT_TRUE(w.bFell);
    ASSERT_GT(w.nFallen, w.nExplosionDone);
    EXPECT_GE(w.nTally, w.nFallen + 60);
    ASSERT_GT(w.nCleared, w.nTally);
    EXPECT_EQ(w.nTimeBonus, 0);
    EXPECT_EQ(w.nTargetBonus, 0);
    EXPECT_EQ(m_nTallyTotal, w.nLifeBonus);
    EXPECT_EQ(m_nFinalScore, w.nScoreAtDeath + m_nTallyTotal);
}

} // namespace
