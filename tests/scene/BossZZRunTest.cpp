// Stage 3 through the whole program on the headless host, on the shortest ride to its boss: ZZ
// comes in at the end of the map and she shoots it, aiming up, through its three phases to its
// destruction; the body bursts, falls out of the screen, the stage is cleared and the tally pays.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "enemy/EnemyZZ.h"
#include "platform/win/Win.h"
#include "scene/BossFinder.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

namespace {

const uint32_t kLongRun = 200000;
const int kLastTick = 9000;

class BossZZRun : public CProgramRun {
protected:
    // The boss's label once it is in play.
    static CEnemyLabel* FindBoss(CStage& stage) { return FindBossLabel<CEnemyZZ>(stage); }
};

struct ZZRUN {
    int nSpawnAt = -1;
    int nPhaseAt[3] = {-1, -1, -1};
    int nDeadAt = -1;
    int nBurstDoneAt = -1;
    int nFallenAt = -1;
    int nTallyAt = -1;
    int nClearedAt = -1;
    int nLeastLife = 1 << 30;
    int nLifeAtSpawn = 0;
    float fDeadY = 0.0f;
    float fLowest = 0.0f;
    int nHeight = 0;
    int nScoreBeforeTally = 0;
    int nScoreAfterTally = 0;
    int nTotal = 0;
};

} // namespace

TEST_F(BossZZRun, StageThreeEndsWithZZShotDownThroughItsPhasesThenTheFallTheClearAndTheTally)
{
    MakeStageData();
    SetParam("INIT_STAGE_NUM", "3");
    // A boss her gun wears down below two thirds in its first phase and below a third in its second.
    SetParam("ENEMY_ZZ.M.Zorva", "900, 0, 0, 50000, 1");
    ShortenToBoss(3);
    ZZRUN r;
    int nTick = -1;
    bool bAiming = false;
    bool bUp = false;
    bool bHolding = false;
    bool bLastCycle = false;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (!game.m_bNoting || (game.GetState() != CGame::STATE_STAGE && nTick < 0))
            return;
        const int t = ++nTick;
        CStage& stage = game.GetStage();
        CEnemyLabel* pLabel = FindBoss(stage);
        auto* pBody = pLabel ? static_cast<CEnemyPartZZ*>(static_cast<CEnemyZZ*>(pLabel->m_pEnemy)->GetBody(pLabel))
                             : nullptr;
        if (pBody && r.nSpawnAt < 0 && !pLabel->IsFinished()) {
            r.nSpawnAt = t;
            r.nLifeAtSpawn = pBody->m_nLife;
            m_Host.PressKey('Z');
            bAiming = true;
        }
        // Z held; aimed up at the body while it keeps above her, level when it comes down to her. In
        // the last phase she holds her fire until its laser has gone off, to see the whole attack.
        if (bAiming && pBody) {
            const bool bHold = pBody->m_nState == 2 && pBody->m_nTick < 1060 && !bLastCycle;
            if (pBody->m_nState == 2 && pBody->m_nTick >= 1060)
                bLastCycle = true;
            if (bHold != bHolding) {
                if (bHold)
                    m_Host.ReleaseKey('Z');
                else
                    m_Host.PressKey('Z');
                bHolding = bHold;
            }
            const bool bHigh = pBody->m_vPos.y < 330.0f;
            if (bHigh && !bUp)
                m_Host.PressKey(VK_UP);
            else if (!bHigh && bUp)
                m_Host.ReleaseKey(VK_UP);
            bUp = bHigh;
        }
        if (pBody && r.nSpawnAt >= 0 && r.nDeadAt < 0) {
            r.nLeastLife = std::min(r.nLeastLife, pBody->m_nLife);
            const int nState = pBody->m_nState;
            if (nState < 3 && r.nPhaseAt[nState] < 0)
                r.nPhaseAt[nState] = t;
            // Its looks: the homing pairs, the dash with the missile fan and the twin gun, and the full
            // attack's homing waves, words with the charge, and laser.
            const int kLooks[][2] = {{0, 255}, {1, 262}, {1, 289}, {2, 745}, {2, 925}, {2, 1050}};
            for (const auto& look : kLooks) {
                if (pBody->m_nState == look[0] && pBody->m_nTick == look[1] && !bLastCycle)
                    WriteLook(m_Host, "zz-phase" + std::to_string(look[0]) + "-" + std::to_string(look[1]));
            }
            if (pBody->m_bDead) {
                r.nDeadAt = t;
                r.fDeadY = pBody->m_vPos.y;
                r.nHeight = pBody->m_nHeight;
            }
        }
        if (r.nDeadAt >= 0 && pBody) {
            if (t == r.nDeadAt + 20)
                WriteLook(m_Host, "zz-burst");
            if (r.nBurstDoneAt < 0 && pBody->m_ExpBoss.IsFinished())
                r.nBurstDoneAt = t;
            r.fLowest = std::max(r.fLowest, pBody->m_vPos.y);
            if (r.nFallenAt < 0 && pBody->m_vPos.y > 480.0f + (float)pBody->m_nHeight)
                r.nFallenAt = t;
        }
        if (bAiming && r.nDeadAt >= 0) {
            m_Host.ReleaseKey('Z');
            m_Host.ReleaseKey(VK_UP);
            bAiming = bUp = false;
        }
        CStageClear& tally = game.GetStageClear();
        if (r.nTallyAt < 0 && !tally.IsHidden()) {
            r.nTallyAt = t;
            r.nScoreBeforeTally = stage.GetScore();
        }
        if (r.nTallyAt >= 0 && t == r.nTallyAt + 90)
            WriteLook(m_Host, "zz-tally");
        if (r.nClearedAt < 0 && stage.GetState() == STAGE_STATE_CLEARED) {
            r.nClearedAt = t;
            r.nScoreAfterTally = stage.GetScore();
            r.nTotal = tally.GetTotal();
            CloseSoon();
        }
        if (t > kLastTick)
            CloseSoon();
    };
    ASSERT_EQ(Run(kLongRun), 0);

    // The boss comes within a few screens and fights all three phases before it falls.
    ASSERT_GT(r.nSpawnAt, 0);
    EXPECT_LT(r.nSpawnAt, 600);
    EXPECT_EQ(r.nLifeAtSpawn, 900);
    EXPECT_EQ(r.nPhaseAt[0], r.nSpawnAt);
    EXPECT_GT(r.nPhaseAt[1], r.nPhaseAt[0] + 320);
    EXPECT_GT(r.nPhaseAt[2], r.nPhaseAt[1] + 286);
    ASSERT_GT(r.nDeadAt, r.nPhaseAt[2]);
    EXPECT_LE(r.nLeastLife, 0);
    // The destruction, then the fall below the screen, then the clear and the tally.
    ASSERT_GT(r.nBurstDoneAt, r.nDeadAt);
    ASSERT_GT(r.nFallenAt, r.nBurstDoneAt);
    EXPECT_GT(r.fLowest, 480.0f + (float)r.nHeight);
    ASSERT_GT(r.nTallyAt, r.nFallenAt);
    ASSERT_GT(r.nClearedAt, r.nTallyAt);
    EXPECT_GT(r.nTotal, 0);
    EXPECT_EQ(r.nScoreAfterTally - r.nScoreBeforeTally, r.nTotal);
}
