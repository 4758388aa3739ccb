// Stage 1 of the test course through the whole program, headless, with its enemies: the first
// kind-A craft comes in with its column, waves across, fires once on the firing line and leaves;
// her gun destroys enemies, which score, burst from the pool and drop items she takes.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "enemy/EnemyA.h"
#include "enemy/EnemyLabel.h"
#include "player/Item.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "TestCourse.h"
#include "stage/Stage.h"

namespace {

// The gun held from the end of the ride-in.
const KEYEVENT kGun[] = {{24, 'Z', true}};

class EnemyRun : public CProgramRun {
protected:
    void Play(int nEnd, const std::function<void(CObservedGame&, int)>& fnEach)
    {
        m_Game.m_OnRender = [this, nEnd, fnEach](CObservedGame& game) {
            if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
                return;
            if (!m_nBase)
                m_nBase = m_Host.GetFrameTicks();
            const int t = static_cast<int>(m_Host.GetFrameTicks() - m_nBase);
            PlayKeys(kGun, std::size(kGun), t);
            fnEach(game, t);
            if (t == nEnd)
                CloseSoon();
        };
        ASSERT_EQ(Run(200000), 0);
        m_Host.ReleaseKey('Z');
    }

    static std::vector<CEnemyLabel*> Listed(CObservedGame& game)
    {
        std::vector<CEnemyLabel*> labels;
        for (CObjectLabel* p : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            if (auto* pLabel = dynamic_cast<CEnemyLabel*>(p))
                labels.push_back(pLabel);
        }
        return labels;
    }

    uint32_t m_nBase = 0;
};

} // namespace

TEST_F(EnemyRun, TheFirstKindAComesInWithItsColumnFiresOnceOnTheLineAndLeaves)
{
    MakeStageData();
    UseTestCourse();
    CEnemyLabel* pFirst = nullptr;
    int nSpawn = -1, nFire = -1, nGone = -1, nFires = 0;
    float fSpawnX = 0.0f, fFireX = 0.0f;
    int nColumn = -1, nRow = -1;
    BOOL bWasFired = 0;
    Play(400, [&](CObservedGame& game, int t) {
        std::vector<CEnemyLabel*> labels = Listed(game);
        if (!pFirst) {
            for (CEnemyLabel* p : labels) {
                auto* pKind = dynamic_cast<CEnemyA*>(p->m_pEnemy);
                if (pKind && pKind->GetVariant() == 1) {
                    pFirst = p;
                    nSpawn = t;
                    fSpawnX = pKind->GetUsedPart(p)->m_vPos.x;
                    p->GetCell(&nColumn, &nRow);
                }
            }
            return;
        }
        CEnemyPartA* pPart = static_cast<CEnemyA*>(pFirst->m_pEnemy)->GetUsedPart(pFirst);
        if (pPart->m_bFired && !bWasFired) {
            nFire = t;
            nFires++;
            fFireX = pPart->m_vPos.x;
        }
        bWasFired = pPart->m_bFired;
        if (nGone < 0 && std::find(labels.begin(), labels.end(), pFirst) == labels.end())
            nGone = t;
    });
    // The stage and its labels are gone with the program.
    ASSERT_NE(pFirst, nullptr);
    // The fourth cell of screen 1, in the fourth row from the top.
    EXPECT_EQ(nColumn, 3);
    EXPECT_EQ(nRow, 4);
    // Spawned at 664 and moved in the same update.
    EXPECT_EQ(fSpawnX, 664.0f - 5.25f);
    EXPECT_EQ(nFires, 1);
    EXPECT_EQ(nFire - nSpawn, 35);
    EXPECT_EQ(fFireX, 475.0f);
    // 664 - 5.25 n < -96 at its 145th update, and the stage drops the finished label at once.
    EXPECT_EQ(nGone - nSpawn, 144);
}

TEST_F(EnemyRun, HerGunDestroysEnemiesThatScoreBurstAndDropItemsSheTakes)
{
    MakeStageData();
    UseTestCourse();
    std::map<CEnemyPart*, int> lifeBefore;
    int nKills = 0, nScoreChecked = 0, nBursts = 0;
    std::set<CItemGun*> dropped, collected;
    int nScore = 0;
    Play(700, [&](CObservedGame& game, int) {
        const int nNow = game.GetStage().GetScore();
        int nKillPoints = 0, nKillsNow = 0;
        for (CEnemyLabel* pLabel : Listed(game)) {
            const ENEMYPARTS& parts = pLabel->m_Parts[ENEMY_FAMILY_B].pBlock ? pLabel->m_Parts[ENEMY_FAMILY_B]
                                                                                 : pLabel->m_Parts[ENEMY_FAMILY_A];
            for (int i = 0; i < parts.nCount; i++) {
                CEnemyPart* pPart = parts.At(i);
                auto it = lifeBefore.find(pPart);
                if (pPart->m_nLife <= 0 && it != lifeBefore.end() && it->second > 0) {
                    nKills++;
                    nKillsNow++;
                    // Her gun's bullets at this level take off more than these enemies have.
                    nKillPoints += 10 * it->second + pPart->m_Param.nScore;
                    nBursts += pPart->m_pLastBurst != nullptr && !pPart->m_pLastBurst->m_bFinished;
                    if (CItemGun* pItem = pPart->m_Item.Get())
                        dropped.insert(pItem);
                }
                if (!pPart->m_bDead || pPart->m_nLife <= 0)
                    lifeBefore[pPart] = pPart->m_nLife;
            }
        }
        if (nKillsNow && nNow - nScore == nKillPoints)
            nScoreChecked++;
        for (CItemGun* pItem : dropped) {
            if (pItem->IsCollected())
                collected.insert(pItem);
        }
        nScore = nNow;
    });
    EXPECT_GE(nKills, 2);
    EXPECT_GE(nScoreChecked, 1);
    EXPECT_EQ(nBursts, nKills);
    // An item that lands on her is taken in the update it drops, and its handle lets go at once.
    EXPECT_GE(dropped.size(), 1u);
    EXPECT_GE(collected.size(), 1u);
}
