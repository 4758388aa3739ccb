// Each sub-weapon fired from the cockpit's charge in stage 1 of the generated data, through the
// whole program on the headless host: which crates it hits, at which ticks, for how much of their
// durability and score, and when the weapon stands in the hit registry; and the Ion Shield taking
// an enemy shot for her.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bullet/EBNormal.h"
#include "engine/WinMain.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "stage/ObjectLabel.h"
#include "stage/Stage.h"

namespace {

const char* const kChargeKeys[4] = {"ION_SHIELD_CHARGE_TIME", "HAWK_WIND_CHARGE_TIME", "FIRE_STORM_CHARGE_TIME",
                                    "GROUND_WIPER_CHARGE_TIME"};

// A crate's durability lost at a tick.
struct CRATEHIT {
    int nTick;
    int nCrate;  // in the order the crates were first seen
    int nDamage;
    bool operator==(const CRATEHIT& o) const { return nTick == o.nTick && nCrate == o.nCrate && nDamage == o.nDamage; }
};

std::ostream& operator<<(std::ostream& os, const CRATEHIT& h)
{
    return os << "{" << h.nTick << ", " << h.nCrate << ", " << h.nDamage << "}";
}

bool IsRegistered(CCrushable& obj)
{
    return obj.m_nIndex >= 0 && CCrushableSet::GetAt(obj.m_nCategory, obj.m_nIndex) == &obj;
}

class StageWeapons : public CProgramRun {
protected:
    void TearDown() override
    {
        m_Shot.Stop();
        CProgramRun::TearDown();
    }

    // Stage 1 with the weapon chosen and charged after a second; Shift is held from tick nFire for
    // two ticks, and the run ends at nEnd. fnEach sees every stage tick.
    void Play(int nWeapon, int nFire, int nEnd, const std::function<void(CObservedGame&, int)>& fnEach)
    {
        MakeStageData();
        SetParam("INIT_SUB_WEAPON", std::to_string(nWeapon));
        SetParam(kChargeKeys[nWeapon], "1");
        m_Game.m_OnRender = [this, nFire, nEnd, fnEach](CObservedGame& game) {
            if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
                return;
            if (!m_nBase)
                m_nBase = m_Host.GetFrameTicks();
            const int t = static_cast<int>(m_Host.GetFrameTicks() - m_nBase);
            if (t == nFire)
                m_Host.PressKey(VK_SHIFT);
            if (t == nFire + 2)
                m_Host.ReleaseKey(VK_SHIFT);
            CalmEnemies(game);
            NoteCrates(game, t);
            fnEach(game, t);
            if (t == nEnd)
                CloseSoon();
        };
        ASSERT_EQ(Run(200000), 0);
        m_Host.ReleaseKey(VK_SHIFT);
    }

    // Every crate's durability lost since the last tick.
    void NoteCrates(CGame& game, int t)
    {
        // The crates stand in the main layer.
        {
            for (CObjectLabel* pLabel : game.GetStage().GetLayerList(3)) {
                const char* pszName = pLabel->GetName();
                if (!pszName || strcmp(pszName, "K1"))
                    continue;
                if (!m_Durability.count(pLabel)) {
                    m_Durability[pLabel] = pLabel->m_nDurability;
                    m_Order[pLabel] = (int)m_Order.size();
                }
                if (pLabel->m_nDurability != m_Durability[pLabel])
                    m_Hits.push_back({t, m_Order[pLabel], m_Durability[pLabel] - pLabel->m_nDurability});
                m_Durability[pLabel] = pLabel->m_nDurability;
            }
        }
    }

    uint32_t m_nBase = 0;
    std::map<CObjectLabel*, int> m_Durability, m_Order;
    std::vector<CRATEHIT> m_Hits;
    std::map<int, int> m_Score;
    std::map<int, bool> m_Registered;
    CEBNormal m_Shot;
};

} // namespace

// The first and last tick at which the weapon stood in the hit registry; -1 when never.
std::pair<int, int> RegisteredSpan(const std::map<int, bool>& registered)
{
    int nFirst = -1, nLast = -1;
    for (const auto& r : registered) {
        if (!r.second)
            continue;
        if (nFirst < 0)
            nFirst = r.first;
        nLast = r.first;
    }
    return {nFirst, nLast};
}

// Crates pay nothing for a hit short of their end: the score stands still on every hit tick
// before nUntil.
void ExpectNoScoreForHits(const std::vector<CRATEHIT>& hits, std::map<int, int>& score, int nUntil = 100000)
{
    for (const CRATEHIT& h : hits) {
        if (h.nTick < nUntil) {
            EXPECT_EQ(score[h.nTick], score[h.nTick - 1]) << h.nTick;
        }
    }
}

// Shift at 200 fires on tick 201; the four missiles pick the first crate of the second screen
// and each hits it once, for MISSILE_DAMAGE; they stay registered, flying on, to the end.
TEST_F(StageWeapons, HawkWindSendsItsMissilesIntoTheCrateAheadAndEachHitsOnceForTwo)
{
    Play(SUBWEAPON_HAWK_WIND, 200, 330, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetHawkWind());
        m_Score[t] = game.GetStage().GetScore();
    });
    const std::vector<CRATEHIT> expected = {{233, 0, 2}, {234, 0, 2}, {238, 0, 2}, {242, 0, 2}};
    EXPECT_EQ(m_Hits, expected);
    EXPECT_EQ(RegisteredSpan(m_Registered), std::make_pair(201, 330));
    ExpectNoScoreForHits(m_Hits, m_Score);
}

// The ball takes 12 updates to the top edge, and only then, at the rain's set-up, does the storm
// enter the registry; the drops hit the crates under the cloud again and again for 1 each, and
// the storm leaves the registry once its flames and rows are done.
TEST_F(StageWeapons, FireStormRainsOnTheCratesUnderItsCloud)
{
    Play(SUBWEAPON_FIRE_STORM, 200, 400, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetFireStorm());
        m_Score[t] = game.GetStage().GetScore();
    });
    const std::vector<CRATEHIT> expected = {{267, 0, 1}, {275, 0, 1}, {276, 0, 1}, {282, 0, 1}, {283, 0, 1},
                                            {283, 1, 1}, {289, 0, 1}, {290, 0, 1}, {296, 0, 1}, {297, 0, 1},
                                            {303, 0, 1}, {304, 0, 1}, {310, 0, 1}, {311, 0, 1}, {318, 0, 1}};
    EXPECT_EQ(m_Hits, expected);
    EXPECT_EQ(RegisteredSpan(m_Registered), std::make_pair(213, 361));
    ExpectNoScoreForHits(m_Hits, m_Score);
}

// Registered from the call-in on; once the columns stand, the crates inside one are hit on every
// tick for 2, the first crate and then the second as the stage brings them in.
TEST_F(StageWeapons, TheGroundWiperSweepsTheCratesOnTheGroundEveryTick)
{
    Play(SUBWEAPON_GROUND_WIPER, 200, 400, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetGroundWiper());
        m_Score[t] = game.GetStage().GetScore();
    });
    std::vector<CRATEHIT> expected;
    for (int t = 293; t <= 300; t++)
        expected.push_back({t, 0, 2});
    for (int t = 300; t <= 307; t++)
        expected.push_back({t, 1, 2});
    EXPECT_EQ(m_Hits, expected);
    EXPECT_EQ(RegisteredSpan(m_Registered), std::make_pair(201, 400));
    // The first crate's durability of 16 is spent on tick 300.
    ExpectNoScoreForHits(m_Hits, m_Score, 300);
}

// An enemy shot sent into her with the shield charged: the shield shows, the blink starts and she
// keeps her life; the charge starts over.
TEST_F(StageWeapons, TheChargedIonShieldTakesAnEnemyShotForHer)
{
    std::map<int, int> life;
    int nShieldTicks = 0;
    bool bChargedBefore = false, bChargedAfter = true;
    Play(SUBWEAPON_ION_SHIELD, 10000, 200, [&](CObservedGame& game, int t) {
        CPlayer& p = game.GetPlayer();
        life[t] = p.GetLife();
        nShieldTicks += !p.GetIonShield().IsFinished();
        if (t == 152)
            WriteLook(m_Host, "ion-shield");
        if (t == 149) {
            bChargedBefore = p.GetCockpit().IsCharged();
            D3DVECTOR c;
            p.GetDamageCenter(&c);
            m_Shot.SetGraphic(nullptr, 0);
            m_Shot.SetPosition(D3DVECTOR{{c.x + 8.0f}, {-c.y}, {0.0f}});
            m_Shot.SetAngle(3.14159265f);
            m_Shot.SetSpeed(CEBNormal::GetDefaultSpeed());
            m_Shot.Fire();
        }
        if (t == 160)
            bChargedAfter = p.GetCockpit().IsCharged();
    });
    EXPECT_TRUE(bChargedBefore);
    EXPECT_FALSE(bChargedAfter);
    EXPECT_EQ(life[200], 100);
    // 800 ms of shield: 48 or 49 ticks.
    EXPECT_GE(nShieldTicks, 48);
    EXPECT_LE(nShieldTicks, 49);
}
