// Stage 4 through the whole program, cut to its boss: the warning, boss F91 teleporting in, her
// gun held down until it is destroyed, then its explosion, its fall below the screen, the stage
// clear and the tally that pays her.
#include <gtest/gtest.h>

#include "enemy/EnemyF91.h"
#include "enemy/EnemyLabel.h"
#include "engine/Param.h"
#include "player/StageClear.h"
#include "scene/BossStage.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "stage/Stage.h"

namespace {

// A life her gun takes in a few seconds once the boss has dashed to her height.
const char kF91Block[] = "40, 0, 0, 20000, 1";

class BossF91Run : public CProgramRun {
protected:
    static CEnemyLabel* FindBoss(CObservedGame& game)
    {
        for (CObjectLabel* p : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(p);
            if (pLabel && dynamic_cast<CEnemyF91*>(pLabel->m_pEnemy))
                return pLabel;
        }
        return nullptr;
    }
};

TEST_F(BossF91Run, StageFourEndsWithF91DestroyedByHerGunThenItFallsAndTheTallyPays)
{
    MakeStageData();
    SetParam("INIT_STAGE_NUM", "4");
    UseBossStage(4, "M.ZorvaF91");
    SetParam("ENEMY_M.ZorvaF91", kF91Block);
    ClearParams();

    uint32_t nBase = 0;
    int nSpawn = -1, nConverged = -1, nDead = -1, nFallen = -1, nTally = -1, nDone = -1, nCleared = -1;
    int nClearedState = -1;
    int nScoreBeforeKill = 0, nScoreAtKill = 0, nBossAtKill = -1, nStateAtKill = -1;
    bool bHitWhileTeleporting = false, bFellAfterExplosion = true;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (!game.m_bNoting)
            return;
        // The cleared stage hands over to the fade in the same pass.
        if (nDone > 0 && game.GetState() == CGame::STATE_STAGE_FADE) {
            nCleared = static_cast<int>(m_Host.GetFrameTicks() - nBase);
            nClearedState = game.GetStage().GetState();
            CloseSoon();
        }
        if (game.GetState() != CGame::STATE_STAGE)
            return;
        if (!nBase) {
            nBase = m_Host.GetFrameTicks();
            m_Host.PressKey('Z');
        }
        const int t = static_cast<int>(m_Host.GetFrameTicks() - nBase);
        CStage& stage = game.GetStage();
        // Looked up every time: a stage left or started again takes its labels with it.
        CEnemyLabel* pBoss = FindBoss(game);
        if (pBoss && nSpawn < 0 && !pBoss->IsFinished())
            nSpawn = t;
        if (!pBoss || nSpawn < 0)
            return;
        CEnemyPartF91& body = *static_cast<CEnemyF91*>(pBoss->m_pEnemy)->GetF91Body(pBoss);
        if (nConverged < 0 && body.m_After.nState == F91AFTERIMAGE::NONE)
            nConverged = t;
        if (body.m_After.IsMoving() && body.m_nLife < body.m_nMaxLife && nConverged < 0)
            bHitWhileTeleporting = true;
        if (nDead < 0 && !body.m_bDead)
            nScoreBeforeKill = stage.GetScore();
        if (nDead < 0 && body.m_bDead) {
            nDead = t;
            nScoreAtKill = stage.GetScore();
            nBossAtKill = stage.IsBossBattle();
            nStateAtKill = body.m_nState;
            WriteLook(m_Host, "f91-killed");
        }
        if (nDead >= 0 && nFallen < 0 && body.m_vPos.y > 480.0f + (float)body.m_nHeight) {
            nFallen = t;
            bFellAfterExplosion = body.m_ExpBoss.IsFinished() != 0;
        }
        CStageClear& tally = game.GetStageClear();
        if (nTally < 0 && !tally.IsHidden())
            nTally = t;
        if (nDone < 0 && tally.GetState() == CStageClear::STATE_DONE) {
            nDone = t;
            WriteLook(m_Host, "f91-tally");
        }
        if (t > 6000)
            CloseSoon();
    };
    ASSERT_EQ(Run(200000), 0);
    m_Host.ReleaseKey('Z');

    ASSERT_GT(nSpawn, 0);
    // Nothing hurt it while its afterimages converged, 41 ticks from its spawn.
    EXPECT_FALSE(bHitWhileTeleporting);
    EXPECT_EQ(nConverged - nSpawn, 40);
    // Her gun took it below two thirds in its first phase; it teleported away, came back in its
    // second, and was destroyed there. The kill paid its score value and ended the battle.
    ASSERT_GT(nDead, nConverged);
    EXPECT_EQ(nStateAtKill, CEnemyPartBoss::STATE_PHASE1);
    EXPECT_GE(nScoreAtKill - nScoreBeforeKill, 20000);
    EXPECT_EQ(nBossAtKill, 0);
    // The explosion, then the fall below the screen, then the clear and the tally.
    ASSERT_GT(nFallen, nDead);
    EXPECT_TRUE(bFellAfterExplosion);
    ASSERT_GT(nTally, nFallen);
    ASSERT_GT(nDone, nTally);
    ASSERT_GT(nCleared, nDone);
    EXPECT_EQ(nClearedState, STAGE_STATE_CLEARED);
    EXPECT_GT(m_Game.GetStageClear().GetTotal(), 0);
}

} // namespace
