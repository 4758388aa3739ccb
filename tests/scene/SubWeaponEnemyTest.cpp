// Each charged sub-weapon fired through the whole program at enemies: stage 1 of the test course
// with its enemies, passers-by and crates taken out and a few enemies placed instead, where the
// weapon will meet them. Which enemies it hits, at which ticks, for how much life and for what
// score; when the weapon stands in the hit registry; and the Ion Shield taking an enemy's hit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bullet/EBulletPart.h"
#include "enemy/Enemy.h"
#include "enemy/EnemyLabel.h"
#include "engine/WinMain.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "TestCourse.h"
#include "stage/CrushableSet.h"
#include "stage/Stage.h"

namespace {

const char* const kChargeKeys[4] = {"ION_SHIELD_CHARGE_TIME", "HAWK_WIND_CHARGE_TIME", "FIRE_STORM_CHARGE_TIME",
                                    "GROUND_WIPER_CHARGE_TIME"};

// The enemy rows of the map (RR 2 is the row on the ground): two crawlers of kind P on the ground
// of screen 1, and on screen 2 a J1 that drops in at the right and a J3 at the left, neither of
// which fires.
const std::vector<std::string> kEnemyRows = {
    "#000E05:,,000000J1000000000000",
    "#000E04:,,000000000000J3000000",
    "#000E02:,000000P100000000P100",
};

// Life an enemy part lost at a tick.
struct ENEMYHIT {
    int nTick;
    int nEnemy;  // in the order the parts were first seen
    int nDamage;
    bool operator==(const ENEMYHIT& o) const
    {
        return nTick == o.nTick && nEnemy == o.nEnemy && nDamage == o.nDamage;
    }
};

std::ostream& operator<<(std::ostream& os, const ENEMYHIT& h)
{
    return os << "{" << h.nTick << ", " << h.nEnemy << ", " << h.nDamage << "}";
}

// A part by its kind's family letter, the kind's variant and the part's place in the label: "J1.0".
std::string NameOf(CEnemyLabel* pLabel, int nFamily, int nPart)
{
    const char kFamilies[] = "ABCJLMNP";
    const char cFamily = nFamily < (int)std::strlen(kFamilies) ? kFamilies[nFamily] : '?';
    return std::string(1, cFamily) + std::to_string(pLabel->m_pEnemy->GetVariant()) + "." + std::to_string(nPart);
}

// Hits in tick order, and by enemy within a tick.
std::vector<ENEMYHIT> Sorted(std::vector<ENEMYHIT> hits)
{
    std::sort(hits.begin(), hits.end(), [](const ENEMYHIT& a, const ENEMYHIT& b) {
        return a.nTick != b.nTick ? a.nTick < b.nTick : a.nEnemy < b.nEnemy;
    });
    return hits;
}

bool IsRegistered(CCrushable& obj)
{
    return obj.m_nIndex >= 0 && CCrushableSet::GetAt(obj.m_nCategory, obj.m_nIndex) == &obj;
}

class SubWeaponEnemies : public CProgramRun {
protected:
    // Stage 1 with the placed enemies and the weapon chosen and charged after a second (unless the
    // test says otherwise); Shift is held from tick nFire for two ticks and the run ends at nEnd.
    void Play(int nWeapon, int nFire, int nEnd, const std::function<void(CObservedGame&, int)>& fnEach)
    {
        MakeStageData();
        UseTestCourse();
        PlaceEnemies(m_Rows);
        SetParam("INIT_SUB_WEAPON", std::to_string(nWeapon));
        SetParam(kChargeKeys[nWeapon], m_strChargeTime);
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
            NoteEnemies(game, t);
            fnEach(game, t);
            if (t == nEnd)
                CloseSoon();
        };
        ASSERT_EQ(Run(200000), 0);
        m_Host.ReleaseKey(VK_SHIFT);
    }

    // The map's enemies, passers-by and crates give way to the placed enemies.
    static void PlaceEnemies(const std::vector<std::string>& rows)
    {
        const char* pszPath = "GameData/Stage01/Stage.txt";
        std::ifstream in(pszPath, std::ios::binary);
        std::string line, text;
        bool bPlaced = false;
        while (std::getline(in, line)) {
            if (!line.compare(0, 5, "#000E")) {
                for (const std::string& row : rows) {
                    if (!bPlaced)
                        text += row + "\r\n";
                }
                bPlaced = true;
                continue;
            }
            if (!line.compare(0, 5, "#000C")) {
                for (const char* pszCrate : {"K1", "K2", "K3", "K4", "K5"}) {
                    for (size_t nAt = line.find(pszCrate); nAt != std::string::npos; nAt = line.find(pszCrate))
                        line.replace(nAt, 2, "00");
                }
            }
            text += line + "\n";
        }
        ASSERT_TRUE(bPlaced);
        CTempFolder::Put(pszPath, text);
    }

    // Every enemy part's life lost since the last tick, and the score the hits are worth: ten a
    // point of life taken, and the enemy's own score when it ends.
    void NoteEnemies(CGame& game, int t)
    {
        int nWorth = 0;
        for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            for (int f = 0; pLabel && f < ENEMY_FAMILY_NUM; f++) {
                for (int i = 0; i < pLabel->m_Parts[f].nCount; i++) {
                    CEnemyPart* pPart = pLabel->m_Parts[f].At(i);
                    if (!m_Life.count(pPart)) {
                        m_Life[pPart] = pPart->m_nLife;
                        m_Order[pPart] = (int)m_Order.size();
                        m_Names.push_back(NameOf(pLabel, f, i));
                    }
                    const int nBefore = m_Life[pPart];
                    if (pPart->m_nLife < nBefore && nBefore > 0) {
                        m_Hits.push_back({t, m_Order[pPart], nBefore - pPart->m_nLife});
                        nWorth += 10 * std::min(nBefore - pPart->m_nLife, nBefore);
                        if (pPart->m_nLife <= 0)
                            nWorth += pPart->m_Param.nScore;
                    }
                    m_Life[pPart] = pPart->m_nLife;
                }
            }
        }
        const int nScore = game.GetStage().GetScore();
        if (t > 0 && nScore - m_nScore != nWorth)
            m_ScoreMismatches.push_back(t);
        m_nScore = nScore;
    }

    std::vector<ENEMYHIT> SortedHits() const { return Sorted(m_Hits); }

    // The first and last tick at which the weapon stood in the hit registry; -1 when never.
    std::pair<int, int> RegisteredSpan() const
    {
        int nFirst = -1, nLast = -1;
        for (const auto& r : m_Registered) {
            if (!r.second)
                continue;
            if (nFirst < 0)
                nFirst = r.first;
            nLast = r.first;
        }
        return {nFirst, nLast};
    }

    std::vector<std::string> m_Rows = kEnemyRows;
    std::string m_strChargeTime = "1";
    uint32_t m_nBase = 0;
    std::map<CEnemyPart*, int> m_Life, m_Order;
    std::vector<std::string> m_Names;
    std::vector<ENEMYHIT> m_Hits;
    std::vector<int> m_ScoreMismatches;
    int m_nScore = 0;
    std::map<int, bool> m_Registered;
};

// The enemy parts in the order they come: the two crawlers, then the two parts of each J label
// (the variant's own part flies, the other stays dead).
const std::vector<std::string> kNames = {"P1.0", "P1.0", "J1.0", "J1.1", "J3.0", "J3.1"};
enum { CRAWLER1, CRAWLER2, J1, J3 = 4 };

// Hits of one enemy for the same damage at the ticks given.
void AddHits(std::vector<ENEMYHIT>* pHits, int nEnemy, int nDamage, std::initializer_list<int> ticks)
{
    for (int t : ticks)
        pHits->push_back({t, nEnemy, nDamage});
}

} // namespace

// Shift at 230 fires on 231, registering the weapon at once. After 200 ms the missiles turn onto
// the one target chosen then, the nearest enemy ahead, J3 coming down at the top left; the first
// missile to reach it is spent on it for MISSILE_DAMAGE, and the others fly on past the place it
// was. The weapon stays registered: nothing but a new start or the heroine's start stops it.
TEST_F(SubWeaponEnemies, HawkWindSpendsOneMissileOnTheEnemyItChoseAtTwoHundredMs)
{
    Play(SUBWEAPON_HAWK_WIND, 230, 360, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetHawkWind());
        if (t == 240)
            WriteLook(m_Host, "hawk-wind-fan");
    });
    EXPECT_EQ(m_Names, kNames);
    EXPECT_EQ(SortedHits(), (std::vector<ENEMYHIT>{{248, J3, 2}}));
    EXPECT_EQ(RegisteredSpan(), std::make_pair(231, 360));
    // Two points of life at ten each; J3 lives on.
    EXPECT_EQ(m_nScore, 20);
    EXPECT_TRUE(m_ScoreMismatches.empty());
}

// The ball rises for 12 updates and the storm registers at the rain's set-up on 242. The drops
// fall through the parts they hit, so the crawlers under the cloud, two cells tall, are hit for 1
// again and again, in the runs of the rows passing down them, until their 20 points of life are
// spent; the Js, coming and going through the rain, are hit a few times. The storm leaves the
// registry when its flames and rows are done.
TEST_F(SubWeaponEnemies, FireStormRainsOnTheCrawlersUntilTheyAreDestroyedAndTouchesTheJs)
{
    Play(SUBWEAPON_FIRE_STORM, 230, 420, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetFireStorm());
        if (t == 265)
            WriteLook(m_Host, "fire-storm-rain");
    });
    EXPECT_EQ(m_Names, kNames);
    std::vector<ENEMYHIT> expected;
    AddHits(&expected, CRAWLER1, 1,
            {260, 261, 262, 263, 264, 265, 267, 268, 269, 270, 271, 272, 273, 275, 276, 277, 278, 279, 280, 281});
    AddHits(&expected, CRAWLER2, 1, {286, 287, 288, 289, 290, 294, 295, 296, 297, 298,
                                     302, 303, 304, 305, 306, 309, 310, 311, 312, 313});
    AddHits(&expected, J1, 1, {319, 320, 324, 325});
    AddHits(&expected, J3, 1, {359});
    EXPECT_EQ(SortedHits(), Sorted(expected));
    EXPECT_EQ(RegisteredSpan(), std::make_pair(242, 390));
    // Each crawler: 20 points at 10 and 800 for the kill; J1 4 points, J3 1.
    EXPECT_EQ(m_nScore, 2 * (200 + 800) + 40 + 10);
    EXPECT_TRUE(m_ScoreMismatches.empty());
}

// Registered from the call-in on. Once the columns stand, whatever reaches below a column's top
// is hit on every tick for 2: the first crawler from 316, then J3 as it crosses, the second
// crawler, and J1 leaving. Ten ticks destroy a crawler, three a J. The weapon leaves the registry
// when its sixth column has faded.
TEST_F(SubWeaponEnemies, TheGroundWiperHitsWhatStandsInItsColumnsEveryTickForTwo)
{
    Play(SUBWEAPON_GROUND_WIPER, 230, 520, [&](CObservedGame& game, int t) {
        m_Registered[t] = IsRegistered(game.GetPlayer().GetGroundWiper());
        if (t == 318)
            WriteLook(m_Host, "ground-wiper-columns");
    });
    EXPECT_EQ(m_Names, kNames);
    std::vector<ENEMYHIT> expected;
    AddHits(&expected, CRAWLER1, 2, {316, 317, 318, 319, 320, 321, 322, 323, 324, 325});
    AddHits(&expected, CRAWLER2, 2, {323, 324, 325, 326, 327, 328, 329, 330, 331, 332});
    AddHits(&expected, J1, 2, {327, 328, 329});
    AddHits(&expected, J3, 2, {317, 318, 319});
    EXPECT_EQ(SortedHits(), Sorted(expected));
    EXPECT_EQ(RegisteredSpan(), std::make_pair(231, 455));
    // Both crawlers and both Js destroyed: 2 x (200 + 800) + 2 x (60 + 220).
    EXPECT_EQ(m_nScore, 2 * (200 + 800) + 2 * (60 + 220));
    EXPECT_TRUE(m_ScoreMismatches.empty());
}

// A kind A placed on the first screen fires its aimed shot on the firing line at tick 67, and it
// reaches her at 126. Charged, the shield takes it: it shows from that tick for its 800 ms (48 or
// 49 ticks), she keeps all her life and the charge starts over. Uncharged, the same shot costs
// her ten.
class ShieldAgainstAnEnemy : public SubWeaponEnemies {
protected:
    void Ride()
    {
        m_Rows = {"#000E04:,000000A1000000000000"};
        Play(SUBWEAPON_ION_SHIELD, 100000, 200, [&](CObservedGame& game, int t) {
            CPlayer& p = game.GetPlayer();
            m_LifeAt[t] = p.GetLife();
            m_ChargedAt[t] = p.GetCockpit().IsCharged();
            m_ShotsAt[t] = IEBulletRender::GetRegistry().GetCount();
            if (!p.GetIonShield().IsFinished()) {
                m_nShieldFirst = m_nShieldFirst < 0 ? t : m_nShieldFirst;
                m_nShieldTicks++;
            }
            if (t == 128)
                WriteLook(m_Host, "ion-shield-" + m_strChargeTime);
        });
    }

    std::map<int, int> m_LifeAt, m_ChargedAt, m_ShotsAt;
    int m_nShieldFirst = -1;
    int m_nShieldTicks = 0;
};

TEST_F(ShieldAgainstAnEnemy, ChargedItTakesTheShotOfAPlacedEnemyForHer)
{
    Ride();
    EXPECT_EQ(m_ShotsAt[66], 0);
    EXPECT_EQ(m_ShotsAt[67], 1);
    EXPECT_TRUE(m_ChargedAt[125]);
    EXPECT_EQ(m_nShieldFirst, 126);
    EXPECT_GE(m_nShieldTicks, 48);
    EXPECT_LE(m_nShieldTicks, 49);
    EXPECT_FALSE(m_ChargedAt[126]);
    EXPECT_EQ(m_LifeAt[200], 100);
}

TEST_F(ShieldAgainstAnEnemy, UnchargedTheSameShotCostsHerTenLife)
{
    m_strChargeTime = "60";
    Ride();
    EXPECT_FALSE(m_ChargedAt[125]);
    EXPECT_EQ(m_nShieldFirst, -1);
    EXPECT_EQ(m_LifeAt[125], 100);
    EXPECT_EQ(m_LifeAt[126], 90);
    EXPECT_EQ(m_LifeAt[200], 90);
}
