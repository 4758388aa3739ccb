// Stage 1 of the test course through the whole program on the headless host, with what hurts and
// rewards the heroine: passers-by throw their items and she takes them, experience thrown at her
// raises her level through the gauge, a hit costs life and a level, and running out of life or
// falling below the map is a miss with its effect.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "bullet/EBNormal.h"
#include "engine/WinMain.h"
#include "enemy/EnemyLabel.h"
#include "player/FakeEffects.h"
#include "player/Item.h"
#include "player/OptionIcon.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "TestCourse.h"
#include "stage/PeopleLabel.h"
#include "stage/Stage.h"

namespace {

// Z shoots the crates of the second screen out of her way.
const KEYEVENT kShootCrates[] = {{250, 'Z', true}, {330, 'Z', false}};

class StageCombat : public CProgramRun {
protected:
    void TearDown() override
    {
        for (int& flag : g_nOptionFlags)
            flag = 0;
        m_Shot.Stop();
        CProgramRun::TearDown();
    }

    // Runs stage 1 until tick nEnd of the stage; fnEach sees every stage tick from the first.
    void Play(int nEnd, const std::function<void(CObservedGame&, int)>& fnEach)
    {
        m_Game.m_OnRender = [this, nEnd, fnEach](CObservedGame& game) {
            if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
                return;
            if (!m_nBase) {
                m_nBase = m_Host.GetFrameTicks();
                game.GetPlayer().SetEffects(&m_Effects);
            }
            const int t = static_cast<int>(m_Host.GetFrameTicks() - m_nBase);
            PlayKeys(kShootCrates, std::size(kShootCrates), t);
            CalmEnemies(game);
            fnEach(game, t);
            if (t == nEnd)
                CloseSoon();
        };
        ASSERT_EQ(Run(200000), 0);
        m_Host.ReleaseKey('Z');
    }

    // An item thrown at her from (x, y), as a destroyed enemy drops one.
    void Throw(int nKind, float x, float y, float fSpeed, float fAngle)
    {
        CItemGun* pItem = m_Refs[m_nRefs++].Alloc();
        ASSERT_NE(pItem, nullptr);
        pItem->SetKind(nKind);
        pItem->SetPosition(D3DVECTOR{x, y, 0.0f});
        pItem->Start(fSpeed, fAngle);
    }

    // An enemy shot that flies into her damage box on the next tick.
    void FireAt(CPlayer& p)
    {
        D3DVECTOR c;
        p.GetDamageCenter(&c);
        m_Shot.SetGraphic(nullptr, 0);
        m_Shot.SetPosition(D3DVECTOR{{c.x + 8.0f}, {-c.y}, {0.0f}});
        m_Shot.SetAngle(3.14159265f);
        m_Shot.SetSpeed(CEBNormal::GetDefaultSpeed());
        m_Shot.Fire();
    }

    // Level 6 given at tick 60, an enemy shot into her at tick 100; her life, level and experience
    // every tick.
    void HitAtLevelSix()
    {
        Play(120, [&](CObservedGame& game, int t) {
            CPlayer& p = game.GetPlayer();
            if (t == 60)
                p.AddExp(70, 0, 0);
            if (t == 99)
                FireAt(p);
            m_Life[t] = p.GetLife();
            m_Level[t] = p.GetCockpit().GetPendingLevel();
            m_Exp[t] = p.GetExp();
        });
    }

    static CPeopleLabel* FirstKnockedOver(CGame& game)
    {
        for (CObjectLabel* pLabel : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            CPeopleLabel* pPeople = dynamic_cast<CPeopleLabel*>(pLabel);
            if (pPeople && pPeople->m_bHit)
                return pPeople;
        }
        return nullptr;
    }

    uint32_t m_nBase = 0;
    CFakeEffects m_Effects;
    CEBNormal m_Shot;
    CItemGunRef m_Refs[16];
    int m_nRefs = 0;
    std::map<int, int> m_Life, m_Level, m_Exp;
};

} // namespace

TEST_F(StageCombat, AKnockedOverPasserByThrowsItsItemsAndSheTakesThemAll)
{
    MakeStageData();
    UseTestCourse();
    int nHitTick = -1, nScoreAtHit = 0, nPayout = 0;
    std::vector<CItemGun*> items;
    std::map<int, int> score;
    Play(200, [&](CObservedGame& game, int t) {
        CPlayer& p = game.GetPlayer();
        score[t] = p.GetPoint();
        if (nHitTick >= 0)
            return;
        CPeopleLabel* pPeople = FirstKnockedOver(game);
        if (!pPeople)
            return;
        nHitTick = t;
        nScoreAtHit = p.GetPoint();
        ASSERT_TRUE(p.IsLifeFull());
        for (int i = 0; i < pPeople->m_nItemCount; i++) {
            CItemGun* pItem = dynamic_cast<CItemGun*>(pPeople->m_pItems[i]);
            ASSERT_NE(pItem, nullptr);  // the stage made them through the player library's factory
            items.push_back(pItem);
            const ITEMKIND& k = g_ItemKinds[pItem->GetKind()];
            // Money pays its points; food pays its full-life points to a heroine at full life.
            nPayout += k.nPoints >= 0 ? k.nPoints : k.nFullPoints;
            EXPECT_FALSE(pItem->IsFinished());
        }
    });
    ASSERT_GE(nHitTick, 0);
    ASSERT_FALSE(items.empty());
    EXPECT_GT(nPayout, 0);
    // Thrown beside her, they are drawn in and taken within a few ticks.
    EXPECT_EQ(score[nHitTick + 30], nScoreAtHit + nPayout);
}

TEST_F(StageCombat, ExperienceThrownAtHerRaisesHerLevelOnceTheGaugeHasRunToFull)
{
    MakeStageData();
    UseTestCourse();
    std::map<int, int> exp, level, gun;
    std::map<int, float> gauge;
    Play(150, [&](CObservedGame& game, int t) {
        CPlayer& p = game.GetPlayer();
        if (t == 60) {
            D3DVECTOR v;
            p.GetPosition(&v);
            for (int i = 0; i < 5; i++)
                Throw(2, v.x + 25.0f * (float)i, v.y - 120.0f, 2.0f, 1.5707964f);
        }
        exp[t] = p.GetExp();
        level[t] = p.GetCockpit().GetLevel();
        gun[t] = p.GetGunLevel();
        gauge[t] = p.GetCockpit().GetExpGauge().GetShownValue();
    });
    ASSERT_EQ(exp[150], 40);
    EXPECT_EQ(level[150], 5);
    EXPECT_EQ(gauge[150], 8.0f);
    // The gun follows the level as soon as the experience is there; the cockpit's digit changes
    // only on the tick after the gauge has shown full, and the gauge runs on from empty.
    int nExpTick = -1, nLevelTick = -1;
    for (int t = 60; t <= 150; t++) {
        if (nExpTick < 0 && exp[t] >= 32)
            nExpTick = t;
        if (nLevelTick < 0 && level[t] == 5)
            nLevelTick = t;
    }
    ASSERT_GE(nExpTick, 0);
    EXPECT_EQ(gun[nExpTick], 5);
    EXPECT_GT(nLevelTick, nExpTick);
    EXPECT_EQ(level[nLevelTick - 1], 4);
    EXPECT_EQ(gauge[nLevelTick - 1], 32.0f);
    EXPECT_EQ(gauge[nLevelTick], 3.0f);
}

TEST_F(StageCombat, AHitCostsTenLifeAndALevel)
{
    MakeStageData();
    UseTestCourse();
    HitAtLevelSix();
    EXPECT_EQ(m_Level[99], 6);
    EXPECT_EQ(m_Life[100], 90);
    EXPECT_EQ(m_Level[100], 5);
    EXPECT_EQ(m_Exp[100], 38);
    EXPECT_EQ(m_Effects.m_nDamageStarts, 1);
}

TEST_F(StageCombat, WithHalfDamageAHitCostsFiveLifeAndNoLevel)
{
    MakeStageData();
    UseTestCourse();
    g_nOptionFlags[OPTION_HALF_DAMAGE] = 1;
    HitAtLevelSix();
    EXPECT_EQ(m_Life[100], 95);
    EXPECT_EQ(m_Level[100], 6);
    EXPECT_EQ(m_Exp[100], 70);
}

TEST_F(StageCombat, RunningOutOfLifeIsAMissThatStartsTheMissEffect)
{
    MakeStageData();
    UseTestCourse();
    SetParam("GLIM_TIME", "0");  // no blink between the hits
    std::map<int, int> state;
    Play(120, [&](CObservedGame& game, int t) {
        CPlayer& p = game.GetPlayer();
        if (t >= 60 && t < 80 && t % 2 == 0)
            p.Damage(5);
        state[t] = game.GetStage().GetState();
    });
    EXPECT_EQ(m_Effects.m_nMissStarts, 1);
    EXPECT_EQ(state[77], STAGE_STATE_PLAY);
    EXPECT_EQ(state[78], STAGE_STATE_PLAY);  // the stage sees the miss on its next tick
    EXPECT_EQ(state[79], STAGE_STATE_GAMEOVER);
}

TEST_F(StageCombat, AFallBelowTheMapIsAMissThatStartsTheMissEffect)
{
    MakeStageData();
    UseTestCourse();
    std::map<int, int> state;
    Play(100, [&](CObservedGame& game, int t) {
        CPlayer& p = game.GetPlayer();
        if (t == 60) {
            D3DVECTOR v;
            p.GetPosition(&v);
            p.SetPosition(D3DVECTOR{v.x, 700.0f, 0.0f});
        }
        state[t] = game.GetStage().GetState();
    });
    EXPECT_EQ(state[60], STAGE_STATE_PLAY);
    EXPECT_EQ(state[61], STAGE_STATE_GAMEOVER);
    EXPECT_EQ(m_Effects.m_nMissStarts, 1);
    EXPECT_GT(m_Effects.m_fMissY, 640.0f);
}
