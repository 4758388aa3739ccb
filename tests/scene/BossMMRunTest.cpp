// The first boss through the whole program, on stage 1 of the generated data laid out short: the
// road without its obstacles and enemies, the warning one screen before the boss and the arena at
// the map's end. Shot down by her gun held up and firing, it pays its score, explodes, falls off the
// screen and hands the stage its clear and tally; left alone it lasts until the time limit runs out
// and ends the same way.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "enemy/EnemyLabel.h"
#include "enemy/EnemyMM.h"
#include "scene/BossFinder.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

namespace {

const uint32_t kLongRun = 40000;

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
        // The stage starts on the same tick however long its load takes on a busy machine.
        m_Game.m_bWaitForLoads = true;
        MakeStageData();
        ASSERT_TRUE(ShortenStageOne());
        SetParam("ENEMY_M.Zorva", "60, 0, 0, 10000, 1");
    }

    static CEnemyPartMM* FindBoss(CStage& stage)
    {
        return FindBossParts<CEnemyMM, CEnemyPartMM>(stage, ENEMY_FAMILY_MM);
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

namespace {

// Her fire steered by what she sees of the boss: up at it while it lays its mines until two thirds
// of its life are left, straight at it in its volleys until a third is left, held while it swings
// and throws its hammer once, then straight at it until it falls.
class BossMMPhases : public BossMMRun {
protected:
    void SetUp() override
    {
        BossMMRun::SetUp();
        SetParam("ENEMY_M.Zorva", "300, 0, 0, 10000, 1");
    }
    void Hold(int nKey, bool bDown)
    {
        if (bDown)
            m_Host.PressKey(nKey);
        else
            m_Host.ReleaseKey(nKey);
    }
    void Look(const std::string& strName, bool* pbDone)
    {
        if (!*pbDone)
            WriteLook(m_Host, strName);
        *pbDone = true;
    }
};

} // namespace

TEST_F(BossMMPhases, ItGoesThroughItsThreePhasesWithEveryWeaponAndEndsInItsExplosionChain)
{
    std::vector<int> states;
    std::set<int> hammer;
    int nMinesOut = 0, nVolleys = 0, nWide = 0, nDead = -1, nTick = 0;
    bool bLooks[8] = {};
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
            return;
        nTick++;
        CEnemyPartMM* pBoss = FindBoss(game.GetStage());
        if (!pBoss || nTick > 6000) {
            if (nTick > 6000)
                CloseSoon();
            return;
        }
        if (states.empty()) {
            // Its weapons' pictures came from its index in the stage's folder.
            EXPECT_EQ(pBoss->m_Mines[0].m_nWidth, 32);
            EXPECT_EQ(pBoss->m_Hammer.m_nWidth, 48);
            EXPECT_NE(pBoss->m_OwnImage.GetSurface(), nullptr);
        }
        if (states.empty() || states.back() != pBoss->m_nState)
            states.push_back(pBoss->m_nState);
        const int nThird = pBoss->m_nMaxLife / 3;
        const int nState = pBoss->m_nState;
        const int nHammer = pBoss->m_Hammer.IsIdle() ? -1 : pBoss->m_Hammer.GetState();
        if (pBoss->m_bDead) {
            Hold('Z', false);
            if (nDead < 0)
                nDead = nTick;
            if (nTick - nDead == 20)
                Look("mm-explosion-1", &bLooks[6]);
            if (nTick - nDead == 90)
                Look("mm-explosion-2", &bLooks[7]);
            if (pBoss->m_vPos.y > 480.0f + (float)pBoss->m_nHeight)
                CloseSoon();
            return;
        }
        const bool bSteered = pBoss->m_nTick > 180;
        Hold(VK_UP, nState == 0);
        Hold('Z', (nState == 0 && pBoss->m_nLife >= 2 * nThird) ||
                      (nState == 1 && bSteered && pBoss->m_nLife >= nThird) || (nState == 2 && hammer.count(1)));
        hammer.insert(nHammer);
        for (const CEBMine& mine : pBoss->m_Mines)
            nMinesOut += !mine.m_bIdle;
        nVolleys += nState == 1 && !pBoss->m_HiSpeed[3].IsIdle();
        nWide += pBoss->m_nImage == 3;
        if (nState == 0 && pBoss->m_nTick == 275)
            Look("mm-phase0-mines", &bLooks[0]);
        if (nState == 1 && pBoss->m_nTick == 200)
            Look("mm-phase1-volley", &bLooks[1]);
        if (nState == 1 && pBoss->m_nTick == 318)
            Look("mm-phase1-vulcan", &bLooks[2]);
        if (nState == 2 && pBoss->m_nTick == 110)
            Look("mm-phase2-hold", &bLooks[3]);
        if (nState == 2 && nHammer == CEBHammer::STATE_SWING && pBoss->m_nTick == 230)
            Look("mm-phase2-swing", &bLooks[4]);
        if (nState == 2 && nHammer == CEBHammer::STATE_THROWN && pBoss->m_nTick == 285)
            Look("mm-phase2-thrown", &bLooks[5]);
    };
    EXPECT_EQ(Run(kLongRun), 0);
    m_Host.ReleaseKey('Z');
    m_Host.ReleaseKey(VK_UP);
    const int kExit = CEnemyPartBoss::STATE_EXIT;
    EXPECT_EQ(states, (std::vector<int>{0, kExit, 1, kExit, 2}));
    EXPECT_EQ(hammer, (std::set<int>{-1, CEBHammer::STATE_SWING, CEBHammer::STATE_THROWN, CEBHammer::STATE_HELD}));
    EXPECT_GT(nMinesOut, 100);
    EXPECT_GT(nVolleys, 5);
    EXPECT_GT(nWide, 20);
    EXPECT_GT(nDead, 0);
    for (int i = 0; i < 8; i++)
        EXPECT_TRUE(bLooks[i]) << i;
}
