// Each sub-weapon fired from the cockpit's charge in stage 1 of the generated data, through the
// whole program on the headless host: which crates it hits, at which ticks, for how much of their
// durability and score, and when the weapon stands in the hit registry; and the Ion Shield taking
// an enemy shot for her.
#include <gtest/gtest.h>

#include <cstdio>
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
        MakeData();
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
        for (int nLayer = 0; nLayer < 7; nLayer++) {
            for (CObjectLabel* pLabel : game.GetStage().GetLayerList(nLayer)) {
                if (strcmp(pLabel->GetName(), "K1"))
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

TEST_F(StageWeapons, HawkWindSendsItsMissilesIntoTheCratesAheadAndEachHitsOnceForTwo)
{
    Play(SUBWEAPON_HAWK_WIND, 200, 330, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetHawkWind());
        m_Score[t] = game.GetStage().GetScore();
    });
    for (const CRATEHIT& h : m_Hits) printf("hit %d %d %d\n", h.nTick, h.nCrate, h.nDamage);
    int nFirst = -1, nLast = -1;
    for (auto& r : m_Registered) { if (r.second && nFirst < 0) nFirst = r.first; if (r.second) nLast = r.first; }
    printf("reg %d..%d score %d\n", nFirst, nLast, m_Score[330]);
}

TEST_F(StageWeapons, FireStormRainsOnTheCratesUnderItsCloud)
{
    Play(SUBWEAPON_FIRE_STORM, 200, 400, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetFireStorm());
        m_Score[t] = game.GetStage().GetScore();
    });
    for (const CRATEHIT& h : m_Hits) printf("hit %d %d %d\n", h.nTick, h.nCrate, h.nDamage);
    int nFirst = -1, nLast = -1;
    for (auto& r : m_Registered) { if (r.second && nFirst < 0) nFirst = r.first; if (r.second) nLast = r.first; }
    printf("reg %d..%d score %d\n", nFirst, nLast, m_Score[400]);
}

TEST_F(StageWeapons, TheGroundWiperSweepsTheCratesOnTheGround)
{
    Play(SUBWEAPON_GROUND_WIPER, 200, 400, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetGroundWiper());
        m_Score[t] = game.GetStage().GetScore();
    });
    for (const CRATEHIT& h : m_Hits) printf("hit %d %d %d\n", h.nTick, h.nCrate, h.nDamage);
    int nFirst = -1, nLast = -1;
    for (auto& r : m_Registered) { if (r.second && nFirst < 0) nFirst = r.first; if (r.second) nLast = r.first; }
    printf("reg %d..%d score %d\n", nFirst, nLast, m_Score[400]);
}
