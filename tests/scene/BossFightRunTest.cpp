// A boss fight through the whole program, stage 1 of the test course with a plain stand-in boss
// in place of the stage's own: the warning at the screen before the boss, the boss label at the end
// of the map with the HUD and its three minutes, a kill that pays its score and hides the HUD, the
// explosion chain, the fall, the clear and the tally.
#include <gtest/gtest.h>

#include "StandInBoss.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "TestCourse.h"
#include "stage/Stage.h"

namespace {

const uint32_t kLongRun = 200000;

// A shot that hits the boss body only, as hard as it is told.
class CBossShot : public IPlayerBullet {
public:
    int GetPower() override { return m_nPower; }
    int HitByEnemyPart(CStage*, CCrushable* pOther) override
    {
        return pOther && pOther->GetEnemyPart() && dynamic_cast<CEnemyPartBoss*>(pOther) ? 1 : 0;
    }
    int m_nPower = 100000;
};

class BossFightRun : public CProgramRun {
protected:
    void SetUp() override { InstallStandInBoss(); }
    void TearDown() override
    {
        CCrushableSet::Unregister(&m_Shot);
        RemoveStandInBoss();
    }
    static void MakeShortStage()
    {
        MakeStageData();
        UseTestCourse();
        SetParam("ENEMY_M.Zorva", "300, 0, 0, 20000, 0");
        MakeShortBossStage();
    }

    CBossShot m_Shot;
};

} // namespace

TEST_F(BossFightRun, WarningHudKillExplosionFallClearAndTally)
{
    MakeShortStage();
    int t = -1;
    int nWarning = -1, nBoss = -1, nKill = -1, nFinished = -1, nClear = -1, nTally = -1, nCleared = -1;
    int nScoreBefore = 0, nScoreAfter = 0;
    float fBottom = 0.0f;
    CEnemyPartBoss* pBody = nullptr;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (!game.m_bNoting || (game.GetState() != CGame::STATE_STAGE && t < 0))
            return;
        t++;
        CStage& stage = game.GetStage();
        // The stage's own enemies leave as they come: the fight is the point.
        for (CObjectLabel* pLabel : stage.GetLayerList(STAGE_ENEMY_LAYER)) {
            CEnemyLabel* pEnemy = dynamic_cast<CEnemyLabel*>(pLabel);
            if (pEnemy && !dynamic_cast<CStandInBoss*>(pEnemy->m_pEnemy))
                pEnemy->Stop();
        }
        CBossCockpit& hud = game.GetBossCockpit();
        if (nWarning < 0 && !game.GetBeacon(STAGE_BOSS_BEACON).IsFinished())
            nWarning = t;
        if (nBoss < 0 && stage.IsBossBattle()) {
            nBoss = t;
            EXPECT_FALSE(hud.IsHidden());
            EXPECT_EQ(hud.GetSecondsLeft(), 180);
            EXPECT_EQ(hud.GetBoss(), 0);
            EXPECT_EQ(hud.GetGauge().GetMax(), 300.0f);
            for (CObjectLabel* pLabel : stage.GetLayerList(STAGE_ENEMY_LAYER)) {
                CEnemyLabel* pEnemy = dynamic_cast<CEnemyLabel*>(pLabel);
                if (pEnemy && dynamic_cast<CStandInBoss*>(pEnemy->m_pEnemy))
                    pBody = static_cast<CStandInBoss*>(pEnemy->m_pEnemy)->GetBody(pEnemy);
            }
            EXPECT_NE(pBody, nullptr);
        }
        if (nBoss >= 0 && t == nBoss + 150) {
            WriteLook(m_Host, "boss-hud");
            EXPECT_LT(hud.GetSecondsLeft(), 180);
            nScoreBefore = stage.GetScore();
            CCrushableSet::Register(&m_Shot);
        }
        if (nBoss >= 0 && t == nBoss + 151) {
            nKill = t;
            nScoreAfter = stage.GetScore();
            EXPECT_TRUE(hud.IsHidden());
            EXPECT_FALSE(stage.IsBossBattle());
        }
        if (nKill >= 0 && (t - nKill) % 40 == 20 && t - nKill < 200)
            WriteLook(m_Host, "boss-explosion-" + std::to_string(t - nKill));
        if (pBody && nKill >= 0 && nFinished < 0 && pBody->m_ExpBoss.IsFinished()) {
            nFinished = t;
            fBottom = 480.0f + (float)pBody->m_nHeight;
        }
        if (pBody && nFinished >= 0 && nClear < 0 && pBody->m_bClearRequested) {
            nClear = t;
            EXPECT_GT(pBody->m_vPos.y, fBottom);
        }
        if (nTally < 0 && !game.GetStageClear().IsHidden()) {
            nTally = t;
            WriteLook(m_Host, "boss-tally");
        }
        if (nCleared < 0 && stage.GetState() == STAGE_STATE_CLEARED) {
            nCleared = t;
            CloseSoon();
        }
        if (t > 4000)
            CloseSoon();
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_GT(nWarning, 0);
    ASSERT_GT(nBoss, nWarning);
    ASSERT_GT(nKill, nBoss);
    // Every point of its life at 10 each, then its score value.
    EXPECT_EQ(nScoreAfter - nScoreBefore, 300 * 10 + 20000);
    // About 3.2 s of explosion, then the fall, then the clear 1000 ms later.
    EXPECT_GE(nFinished - nKill, 192);
    EXPECT_LE(nFinished - nKill, 196);
    EXPECT_GT(nClear, nFinished);
    EXPECT_LT(nClear, nFinished + 40);
    EXPECT_EQ(nTally, nClear + 61);
    EXPECT_GT(nCleared, nTally);
}

TEST_F(BossFightRun, LeftAloneTheLimitRunsOutAndTheBossExplodesFallsAndClearsTheSame)
{
    MakeShortStage();
    int t = -1;
    int nBoss = -1, nTimeOut = -1, nFinished = -1, nClear = -1, nTally = -1, nCleared = -1;
    int nScoreAtBoss = 0;
    CEnemyPartBoss* pBody = nullptr;
    CEnemyLabel* pBossLabel = nullptr;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (!game.m_bNoting || (game.GetState() != CGame::STATE_STAGE && t < 0))
            return;
        t++;
        CStage& stage = game.GetStage();
        for (CObjectLabel* pLabel : stage.GetLayerList(STAGE_ENEMY_LAYER)) {
            CEnemyLabel* pEnemy = dynamic_cast<CEnemyLabel*>(pLabel);
            if (pEnemy && !dynamic_cast<CStandInBoss*>(pEnemy->m_pEnemy))
                pEnemy->Stop();
            else if (pEnemy && !pBody) {
                pBossLabel = pEnemy;
                pBody = static_cast<CStandInBoss*>(pEnemy->m_pEnemy)->GetBody(pEnemy);
            }
        }
        CBossCockpit& hud = game.GetBossCockpit();
        if (nBoss < 0 && stage.IsBossBattle()) {
            nBoss = t;
            nScoreAtBoss = stage.GetScore();
        }
        if (nBoss >= 0 && nTimeOut < 0 && hud.IsHidden()) {
            nTimeOut = t;
            EXPECT_EQ(hud.GetSecondsLeft(), 0);
            ASSERT_NE(pBody, nullptr);
            EXPECT_TRUE(pBody->m_bDead);
            EXPECT_TRUE(pBossLabel->IsFinished());
            EXPECT_EQ(pBody->m_nLife, 300);
            EXPECT_EQ(game.GetPlayer().IsStageFinished(), 1);
            // A boss that outlasted her pays nothing.
            EXPECT_EQ(stage.GetScore(), nScoreAtBoss);
        }
        if (nTimeOut >= 0 && (t - nTimeOut) == 100)
            WriteLook(m_Host, "boss-timeout-100");
        if (pBody && nTimeOut >= 0 && nFinished < 0 && pBody->m_ExpBoss.IsFinished())
            nFinished = t;
        if (pBody && nFinished >= 0 && nClear < 0 && pBody->m_bClearRequested)
            nClear = t;
        if (nTally < 0 && !game.GetStageClear().IsHidden())
            nTally = t;
        if (nCleared < 0 && stage.GetState() == STAGE_STATE_CLEARED) {
            nCleared = t;
            CloseSoon();
        }
        if (t > 16000)
            CloseSoon();
    };
    ASSERT_EQ(Run(kLongRun), 0);
    ASSERT_GT(nBoss, 0);
    // 180 seconds of frame time, one count a little over each 1000 ms.
    EXPECT_GT(nTimeOut - nBoss, 180 * 60);
    EXPECT_LT(nTimeOut - nBoss, 180 * 61 + 60);
    EXPECT_GE(nFinished - nTimeOut, 192);
    EXPECT_LE(nFinished - nTimeOut, 196);
    EXPECT_GT(nClear, nFinished);
    EXPECT_EQ(nTally, nClear + 61);
    EXPECT_GT(nCleared, nTally);
    EXPECT_EQ(m_Game.GetStage().m_nTimeLeft, 0);
    EXPECT_EQ(m_Game.GetStage().m_nTargetBonus, 0);
}
