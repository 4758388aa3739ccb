// Stage 4 through the whole program, cut to its boss: the warning, boss F91 teleporting in, her
// gun held down until it is destroyed, then its explosion, its fall below the screen, the stage
// clear and the tally that pays her.
#include <gtest/gtest.h>

#include "enemy/EnemyF91.h"
#include "enemy/EnemyLabel.h"
#include "engine/Param.h"
#include "player/OptionIcon.h"
#include "player/StageClear.h"
#include "scene/BossFinder.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

namespace {

// A life her gun takes in a few seconds once the boss has dashed to her height.
const char kF91Block[] = "40, 0, 0, 20000, 1";

class BossF91Run : public CProgramRun {
protected:
    static CEnemyLabel* FindBoss(CObservedGame& game) { return FindBossLabel<CEnemyF91>(game.GetStage()); }
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

// Every phase through the whole program, the test taking its life down to each threshold in turn
// (her gun alone would end it in the first): the teleports between them, phase 1's vulcan and
// lunge, phase 2's volleys, standing afterimages, vulcan and laser. With ZORVA_LOOK_DIR set it
// writes a picture of each.
TEST_F(BossF91Run, ItGoesThroughItsThreePhasesByTeleportAndItsStandingAfterimagesFire)
{
    MakeStageData();
    SetParam("INIT_STAGE_NUM", "4");
    UseBossStage(4, "M.ZorvaF91");
    ClearParams();
    for (int& flag : g_nOptionFlags)
        flag = 1;

    uint32_t nBase = 0;
    std::vector<int> states, afters;
    int nPhase2Laser = -1, nPhase2Vulcans = 0, nPhase1Vulcans = 0, nPhase1Sabers = 0, nPhase2Volleys = 0;
    std::string strPending;
    DWORD dwVulcan = 0;
    bool bLaserIdle = true, bSaberIdle = true, bShotIdle = true, bScattered = false;
    BOOL bBlinkShown = 1;
    bool bPendingBlink = false;
    uint32_t nPendingPass = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
            return;
        if (!nBase)
            nBase = m_Host.GetFrameTicks();
        CEnemyLabel* pBoss = FindBoss(game);
        if (!pBoss || pBoss->IsFinished())
            return;
        CEnemyPartF91& b = *static_cast<CEnemyF91*>(pBoss->m_pEnemy)->GetF91Body(pBoss);
        if (states.empty() || states.back() != b.m_nState)
            states.push_back(b.m_nState);
        if (afters.empty() || afters.back() != b.m_After.nState)
            afters.push_back(b.m_After.nState);
        const int nThird = b.m_nMaxLife / 3;
        const int t = b.m_nTick;
        // Pictures of the afterimages wait for a frame that shows them; the others are taken on the
        // next pass (the host's last frame is the one presented before this pass).
        auto look = [&](const char* pszName, bool bAfterimages) {
            strPending = pszName;
            bPendingBlink = bAfterimages;
            nPendingPass = m_Host.GetFrameTicks();
        };
        if (b.m_nState == 0) {
            if (t == 10)
                look("f91-0-converging", true);
            if (t == b.m_nVolleyBase + 40 && b.m_bVolley)
                look("f91-0-missiles", false);
            if (t == b.m_nVolleyBase + 100 && b.m_bVolley)
                b.m_nLife = 2 * nThird - 1;
        } else if (b.m_nState == CEnemyPartBoss::STATE_EXIT) {
            if (!bScattered && b.m_After.vPoint[0].x - b.m_After.vPoint[1].x > 100.0f) {
                bScattered = true;
                look("f91-exit-scatter", true);
            }
        } else if (b.m_nState == 1) {
            if (b.m_Vulcan.m_dwFireTime != dwVulcan)
                nPhase1Vulcans++;
            if (bSaberIdle && !b.m_Saber.IsIdle())
                nPhase1Sabers++;
            if (t == 184)
                look("f91-1-vulcan", false);
            if (t == 636)
                look("f91-1-lunge", false);
            if (t == 700)
                b.m_nLife = nThird - 1;
        } else if (b.m_nState == 2) {
            if (b.m_Vulcan.m_dwFireTime != dwVulcan)
                nPhase2Vulcans++;
            if (bLaserIdle && !b.m_Laser.IsIdle() && nPhase2Laser < 0)
                nPhase2Laser = t;
            if (bShotIdle && !b.m_HiSpeed[0].IsIdle())
                nPhase2Volleys++;
            if (t == 152)
                look("f91-2-volley", false);
            if (t == 270)
                look("f91-2-standing", true);
            if (t == 324)
                look("f91-2-standing-vulcan", true);
            if (t == 690)
                look("f91-2-laser", true);
            if (t == 760)
                CloseSoon();
        }
        dwVulcan = b.m_Vulcan.m_dwFireTime;
        bLaserIdle = b.m_Laser.IsIdle();
        bSaberIdle = b.m_Saber.IsIdle();
        bShotIdle = b.m_HiSpeed[0].IsIdle();
        if (!strPending.empty() && (!bPendingBlink || !bBlinkShown) &&
            m_Host.GetFrameTicks() > nPendingPass) {
            WriteLook(m_Host, strPending);
            strPending.clear();
        }
        bBlinkShown = b.m_After.bBlink;
        if (m_Host.GetFrameTicks() - nBase > 4000)
            CloseSoon();
    };
    ASSERT_EQ(Run(200000), 0);
    for (int& flag : g_nOptionFlags)
        flag = 0;

    EXPECT_EQ(states, (std::vector<int>{0, 3, 1, 3, 2}));
    EXPECT_EQ(nPhase1Vulcans, 2);
    EXPECT_EQ(nPhase1Sabers, 1);
    // Phase 2 up to its tick 760: volleys from 150 every 90 ticks, the standing afterimages at 260
    // and 440 firing the vulcan at 320 and 500, the laser afterimage at 620 firing at 680.
    EXPECT_EQ(nPhase2Volleys, 7);
    EXPECT_EQ(nPhase2Vulcans, 2);
    EXPECT_EQ(nPhase2Laser, 680);
    const std::vector<int> tail(afters.end() - 7, afters.end());
    EXPECT_EQ(tail, (std::vector<int>{0, F91AFTERIMAGE::STANDING, 0, F91AFTERIMAGE::STANDING, 0,
                                      F91AFTERIMAGE::STANDING_LASER, 0}));
}

} // namespace
