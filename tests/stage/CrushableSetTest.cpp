#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "stage/CrushableSet.h"
#include "stage/Neighbours.h"

namespace {

std::vector<std::string> g_calls;

// Records every handler call as "<receiver><handler-category><sender>".
class Probe : public CCrushable {
public:
    Probe(int nCategory, std::string name) : CCrushable(nCategory), m_name(std::move(name)) {}
    int HitByEnemyBullet(CStage*, CCrushable* p) override { return Record(0, p); }
    int HitByEnemyPart(CStage*, CCrushable* p) override { return Record(1, p); }
    int HitByPlayerBullet(CStage*, CCrushable* p) override { return Record(2, p); }
    int HitByPlayer(CStage*, CCrushable* p) override { return Record(3, p); }
    int HitByLabel(CStage*, CCrushable* p) override { return Record(4, p); }
    int HitByItem(CStage*, CCrushable* p) override { return Record(5, p); }

    std::string m_name;
    // Leaves the registry when it receives its first call.
    bool m_bLeaveOnHit = false;

private:
    int Record(int nCat, CCrushable* p)
    {
        g_calls.push_back(m_name + "<" + std::to_string(nCat) + "<" + static_cast<Probe*>(p)->m_name);
        if (m_bLeaveOnHit)
            CCrushableSet::Unregister(this);
        return 1;
    }
};

class Part : public IEnemyPart {
public:
    Part(float x, BOOL bInactive) : m_vPos{{x}, {100.0f}, {0.0f}}, m_bInactive(bInactive) {}
    D3DVECTOR* GetPos(D3DVECTOR* pOut) override
    {
        *pOut = m_vPos;
        return pOut;
    }
    void GetHitQuad(D3DVECTOR* pOut) override
    {
        for (int i = 0; i < 4; i++)
            pOut[i] = m_vPos;
    }
    BOOL IsDead() override { return m_bInactive; }

    D3DVECTOR m_vPos;
    BOOL m_bInactive;
};

class CrushableSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CCrushableSet::Clear();
        g_calls.clear();
    }
    void TearDown() override { CCrushableSet::Clear(); }
};

} // namespace

TEST_F(CrushableSetTest, RegistrationTakesLowestFreeSlotOnceAndIgnoresBadCategories)
{
    Probe a(CRUSH_ITEM, "a"), b(CRUSH_ITEM, "b"), bad(6, "bad");
    CCrushableSet::Register(&a);
    CCrushableSet::Register(&b);
    CCrushableSet::Register(&a);
    CCrushableSet::Register(&bad);
    EXPECT_EQ(a.m_nIndex, 0);
    EXPECT_EQ(b.m_nIndex, 1);
    EXPECT_EQ(bad.m_nIndex, -1);
    CCrushableSet::Unregister(&a);
    EXPECT_EQ(a.m_nIndex, -1);
    EXPECT_EQ(CCrushableSet::GetAt(CRUSH_ITEM, 0), nullptr);
    Probe c(CRUSH_ITEM, "c");
    CCrushableSet::Register(&c);
    EXPECT_EQ(c.m_nIndex, 0);
}

TEST_F(CrushableSetTest, StaleIndexIsFoundBySearchAndDestructorLeaves)
{
    Probe a(CRUSH_LABEL, "a");
    CCrushableSet::Register(&a);
    a.m_nIndex = 7;  // a stale index: the search finds slot 0
    CCrushableSet::Unregister(&a);
    EXPECT_EQ(a.m_nIndex, -1);
    EXPECT_EQ(CCrushableSet::GetAt(CRUSH_LABEL, 0), nullptr);
    {
        Probe b(CRUSH_LABEL, "b");
        CCrushableSet::Register(&b);
    }
    EXPECT_EQ(CCrushableSet::GetAt(CRUSH_LABEL, 0), nullptr);
}

TEST_F(CrushableSetTest, FullCategoryLeavesThe257thOutOfThePairTests)
{
    std::vector<std::unique_ptr<Probe>> items;
    for (int i = 0; i < CRUSHABLE_MAX; i++) {
        items.push_back(std::make_unique<Probe>(CRUSH_ITEM, "i"));
        CCrushableSet::Register(items.back().get());
    }
    Probe last(CRUSH_ITEM, "last"), player(CRUSH_PLAYER, "P");
    CCrushableSet::Register(&last);
    EXPECT_EQ(last.m_nIndex, -1);
    CCrushableSet::Register(&player);
    CCrushableSet::CollideAll(nullptr);
    EXPECT_EQ(g_calls.size(), 2u * CRUSHABLE_MAX);
    for (const std::string& s : g_calls)
        EXPECT_EQ(s.find("last"), std::string::npos);
}

TEST_F(CrushableSetTest, PairOrderFollowsTheFixedSequence)
{
    Probe pb(CRUSH_PLAYER_BULLET, "B"), part(CRUSH_ENEMY_PART, "E"), eb(CRUSH_ENEMY_BULLET, "X");
    Probe label(CRUSH_LABEL, "L"), player(CRUSH_PLAYER, "P"), item(CRUSH_ITEM, "I");
    Probe player2(CRUSH_PLAYER, "Q");
    for (Probe* p : {&pb, &part, &eb, &label, &player, &item, &player2})
        CCrushableSet::Register(p);
    CCrushableSet::CollideAll(nullptr);
    std::vector<std::string> expected = {
        "E<2<B", "X<2<B", "B<4<L",          // player bullet: parts, enemy bullets, labels
        "P<0<X", "X<3<P", "Q<0<X", "X<3<Q", // enemy bullet and every player slot, both ways
        "L<0<X",                            // enemy bullet and labels
        "P<1<E",                            // slot-0 player only from here
        "I<3<P", "P<5<I", "L<3<P",
    };
    EXPECT_EQ(g_calls, expected);
}

TEST_F(CrushableSetTest, ObjectLeavingInsideAHandlerIsNotTestedAgain)
{
    Probe pb(CRUSH_PLAYER_BULLET, "B"), part(CRUSH_ENEMY_PART, "E"), part2(CRUSH_ENEMY_PART, "F");
    Probe eb(CRUSH_ENEMY_BULLET, "X"), label(CRUSH_LABEL, "L");
    for (Probe* p : {&pb, &part, &part2, &eb, &label})
        CCrushableSet::Register(p);
    // The first part's handler takes the bullet set out of the registry.
    struct Leaver : public CCrushable {
        Probe* pVictim;
        explicit Leaver(Probe* p) : CCrushable(CRUSH_ENEMY_PART), pVictim(p) {}
        int HitByPlayerBullet(CStage*, CCrushable*) override
        {
            g_calls.push_back("leaver");
            CCrushableSet::Unregister(pVictim);
            return 1;
        }
    };
    CCrushableSet::Unregister(&part);
    Leaver leaver(&pb);
    CCrushableSet::Register(&leaver);  // takes slot 0 of the parts, before F
    CCrushableSet::CollideAll(nullptr);
    std::vector<std::string> expected = {"leaver", "L<0<X"};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(CrushableSetTest, PlayerLeavingStopsTheRestOfHerTests)
{
    Probe player(CRUSH_PLAYER, "P"), item(CRUSH_ITEM, "I"), label(CRUSH_LABEL, "L");
    item.m_bLeaveOnHit = false;
    player.m_bLeaveOnHit = true;  // leaves on the item's hit back
    for (Probe* p : {&player, &item, &label})
        CCrushableSet::Register(p);
    CCrushableSet::CollideAll(nullptr);
    std::vector<std::string> expected = {"I<3<P", "P<5<I"};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(CrushableSetTest, FindTargetPrefersPartsAheadThenLabelsThenBehind)
{
    D3DVECTOR v;
    CCrushableSet::FindTarget(&v, 100.0f);
    EXPECT_EQ(v.x, 6000.0f);
    EXPECT_EQ(v.y, 240.0f);
    EXPECT_EQ(v.z, 0.0f);

    Part behind(50.0f, 0), inactive(150.0f, 1);
    CCrushableSet::Register(&behind);
    CCrushableSet::Register(&inactive);
    CCrushableSet::FindTarget(&v, 100.0f);
    EXPECT_EQ(v.x, 50.0f);

    Part ahead1(300.0f, 0), ahead2(300.0f, 0), far(400.0f, 0);
    CCrushableSet::Register(&far);
    CCrushableSet::Register(&ahead2);
    CCrushableSet::Register(&ahead1);
    ahead2.m_vPos.y = 7.0f;  // lower slot of the tie
    CCrushableSet::FindTarget(&v, 100.0f);
    EXPECT_EQ(v.x, 300.0f);
    EXPECT_EQ(v.y, 7.0f);
}

// ---- Visiting only live slots against a scan of every slot ----------------------------------------

namespace {

// The pair tests as a scan of every slot would run them, read through GetAt.
void ScanPair(int nOuterCat, int nOuterSlot, int nInnerCat, bool bInnerFirst, bool bBothWays)
{
    for (int j = 0; j < CRUSHABLE_MAX; j++) {
        CCrushable* pOuter = CCrushableSet::GetAt(nOuterCat, nOuterSlot);
        CCrushable* pInner = CCrushableSet::GetAt(nInnerCat, j);
        if (!pOuter || !pInner)
            continue;
        CCrushable* pFirst = bInnerFirst ? pInner : pOuter;
        CCrushable* pSecond = bInnerFirst ? pOuter : pInner;
        pFirst->Collide(nullptr, pSecond);
        if (bBothWays)
            pSecond->Collide(nullptr, pFirst);
    }
}

void ScanAll()
{
    for (int i = 0; i < CRUSHABLE_MAX; i++) {
        ScanPair(CRUSH_PLAYER_BULLET, i, CRUSH_ENEMY_PART, false, false);
        ScanPair(CRUSH_PLAYER_BULLET, i, CRUSH_ENEMY_BULLET, false, false);
        ScanPair(CRUSH_PLAYER_BULLET, i, CRUSH_LABEL, true, false);
    }
    for (int i = 0; i < CRUSHABLE_MAX; i++) {
        ScanPair(CRUSH_ENEMY_BULLET, i, CRUSH_PLAYER, false, true);
        ScanPair(CRUSH_ENEMY_BULLET, i, CRUSH_LABEL, false, false);
    }
    ScanPair(CRUSH_PLAYER, 0, CRUSH_ENEMY_PART, true, false);
    ScanPair(CRUSH_PLAYER, 0, CRUSH_ITEM, false, true);
    ScanPair(CRUSH_PLAYER, 0, CRUSH_LABEL, false, false);
}

enum ACTION { ACT_NONE, ACT_LEAVE_SELF, ACT_LEAVE_OTHER, ACT_LEAVE_ANY, ACT_JOIN_ANY, ACT_SWAP_SELF };

struct STEP {
    ACTION eAction;
    int nTarget;  // an index into the pool
};

class Actor;
struct WORLD {
    std::vector<std::unique_ptr<Actor>> pool;
    std::vector<STEP> script;  // the k-th handler call does the k-th step
    size_t nNext = 0;
    std::vector<std::string> log;
};
WORLD* g_pWorld = nullptr;

// Logs every handler call and then does the next step of the world's script: leaves, joins, or
// leaves and lets another object take its slot.
class Actor : public CCrushable {
public:
    Actor(int nCategory, int nId) : CCrushable(nCategory), m_nId(nId) {}
    int HitByEnemyBullet(CStage*, CCrushable* p) override { return Act(0, p); }
    int HitByEnemyPart(CStage*, CCrushable* p) override { return Act(1, p); }
    int HitByPlayerBullet(CStage*, CCrushable* p) override { return Act(2, p); }
    int HitByPlayer(CStage*, CCrushable* p) override { return Act(3, p); }
    int HitByLabel(CStage*, CCrushable* p) override { return Act(4, p); }
    int HitByItem(CStage*, CCrushable* p) override { return Act(5, p); }

    const int m_nId;

private:
    int Act(int nCat, CCrushable* pOther)
    {
        WORLD& w = *g_pWorld;
        Actor* pFrom = static_cast<Actor*>(pOther);
        w.log.push_back(std::to_string(m_nId) + "<" + std::to_string(nCat) + "<" + std::to_string(pFrom->m_nId));
        const STEP step = w.nNext < w.script.size() ? w.script[w.nNext++] : STEP{ACT_NONE, 0};
        Actor* pTarget = w.pool[step.nTarget % w.pool.size()].get();
        switch (step.eAction) {
        case ACT_NONE: break;
        case ACT_LEAVE_SELF: CCrushableSet::Unregister(this); break;
        case ACT_LEAVE_OTHER: CCrushableSet::Unregister(pFrom); break;
        case ACT_LEAVE_ANY: CCrushableSet::Unregister(pTarget); break;
        case ACT_JOIN_ANY: CCrushableSet::Register(pTarget); break;
        case ACT_SWAP_SELF:
            // Another object of the category takes this one's slot at once.
            CCrushableSet::Unregister(this);
            for (auto& p : w.pool) {
                if (p->m_nCategory == m_nCategory && p->m_nIndex < 0 && p.get() != this) {
                    CCrushableSet::Register(p.get());
                    break;
                }
            }
            break;
        }
        return 1;
    }
};

// Fills the registry the same way every time: the pool's objects in order, with fillers (ids from
// 1000) in between that are taken out again, so that live slots lie across the whole table.
void Populate(WORLD& w, uint32_t nSeed, std::vector<std::unique_ptr<Actor>>& fillers)
{
    CCrushableSet::Clear();
    std::mt19937 rng(nSeed);
    fillers.clear();
    for (auto& p : w.pool) {
        const int nGap = static_cast<int>(rng() % 40);
        for (int i = 0; i < nGap; i++) {
            fillers.push_back(std::make_unique<Actor>(p->m_nCategory, 1000 + static_cast<int>(fillers.size())));
            CCrushableSet::Register(fillers.back().get());
        }
        if (rng() % 4)
            CCrushableSet::Register(p.get());
    }
    for (auto& p : fillers)
        CCrushableSet::Unregister(p.get());
}

// Where every slot stands and which slot every pool object holds.
std::vector<int> Snapshot(const WORLD& w)
{
    std::vector<int> v;
    for (int c = 0; c < CRUSH_CATEGORY_NUM; c++) {
        for (int i = 0; i < CRUSHABLE_MAX; i++) {
            CCrushable* p = CCrushableSet::GetAt(c, i);
            v.push_back(p ? static_cast<Actor*>(p)->m_nId : -1);
        }
    }
    for (const auto& p : w.pool)
        v.push_back(p->m_nIndex);
    return v;
}

struct RUNRESULT {
    std::vector<std::string> log;
    std::vector<int> after;
};

RUNRESULT RunWorld(WORLD& w, uint32_t nSeed, int nPasses, bool bScan)
{
    std::vector<std::unique_ptr<Actor>> fillers;
    Populate(w, nSeed, fillers);
    w.log.clear();
    w.nNext = 0;
    g_pWorld = &w;
    for (int i = 0; i < nPasses; i++) {
        if (bScan)
            ScanAll();
        else
            CCrushableSet::CollideAll(nullptr);
    }
    g_pWorld = nullptr;
    RUNRESULT r{w.log, Snapshot(w)};
    CCrushableSet::Clear();
    return r;
}

WORLD MakeWorld(uint32_t nSeed, int nPerCategory, int nActionPercent)
{
    std::mt19937 rng(nSeed);
    WORLD w;
    for (int c = 0; c < CRUSH_CATEGORY_NUM; c++) {
        const int n = c == CRUSH_PLAYER ? 3 : nPerCategory;
        for (int i = 0; i < n; i++)
            w.pool.push_back(std::make_unique<Actor>(c, static_cast<int>(w.pool.size())));
    }
    for (int k = 0; k < 4000; k++) {
        STEP step{ACT_NONE, static_cast<int>(rng() % w.pool.size())};
        if (static_cast<int>(rng() % 100) < nActionPercent)
            step.eAction = static_cast<ACTION>(1 + rng() % 5);
        w.script.push_back(step);
    }
    return w;
}

class CrushableLiveSlots : public ::testing::Test {
protected:
    void TearDown() override { CCrushableSet::Clear(); }
};

} // namespace

TEST_F(CrushableLiveSlots, RandomRegistriesWithChangesInsideHandlersMatchTheFullScan)
{
    int nCalls = 0;
    for (uint32_t nSeed = 1; nSeed <= 300; nSeed++) {
        const int nPerCategory = 1 + static_cast<int>(nSeed % 9);
        const int nActionPercent = static_cast<int>(nSeed % 4) * 10;
        WORLD w = MakeWorld(nSeed, nPerCategory, nActionPercent);
        const RUNRESULT live = RunWorld(w, nSeed, 3, false);
        const RUNRESULT scan = RunWorld(w, nSeed, 3, true);
        ASSERT_EQ(live.log, scan.log) << "seed " << nSeed;
        ASSERT_EQ(live.after, scan.after) << "seed " << nSeed;
        nCalls += static_cast<int>(scan.log.size());
    }
    // The worlds did meet: enough calls for the changes inside handlers to matter.
    EXPECT_GT(nCalls, 20000);
}

// The same start and script, once by CollideAll and once by the full scan.
std::pair<RUNRESULT, RUNRESULT> RunBothWays(WORLD& w, const std::function<void()>& setUp)
{
    RUNRESULT results[2];
    for (int nWay = 0; nWay < 2; nWay++) {
        CCrushableSet::Clear();
        setUp();
        w.log.clear();
        w.nNext = 0;
        g_pWorld = &w;
        if (nWay == 0)
            CCrushableSet::CollideAll(nullptr);
        else
            ScanAll();
        g_pWorld = nullptr;
        results[nWay] = RUNRESULT{w.log, Snapshot(w)};
    }
    CCrushableSet::Clear();
    return {results[0], results[1]};
}

WORLD MakePool(std::initializer_list<int> categories)
{
    WORLD w;
    for (int c : categories)
        w.pool.push_back(std::make_unique<Actor>(c, static_cast<int>(w.pool.size())));
    return w;
}

TEST_F(CrushableLiveSlots, AnObjectJoiningInsideAHandlerIsMetOnlyWhenItsSlotIsStillAhead)
{
    // 0 a bullet set; 1 to 4 enemy parts; 5 a label.
    WORLD w = MakePool({CRUSH_PLAYER_BULLET, CRUSH_ENEMY_PART, CRUSH_ENEMY_PART, CRUSH_ENEMY_PART,
                        CRUSH_ENEMY_PART, CRUSH_LABEL});
    // Part 1 lets part 2 into slot 1, just ahead; part 2 brings the label in; part 3 (slot 2)
    // hands its slot to part 4, which stands behind the scan by then.
    w.script = {{ACT_JOIN_ANY, 2}, {ACT_JOIN_ANY, 5}, {ACT_SWAP_SELF, 0}, {ACT_NONE, 0}};
    const auto [live, scan] = RunBothWays(w, [&] {
        for (int i : {0, 1, 2, 3})
            CCrushableSet::Register(w.pool[i].get());
        CCrushableSet::Unregister(w.pool[2].get());
    });
    const std::vector<std::string> expected = {"1<2<0", "2<2<0", "3<2<0", "0<4<5"};
    EXPECT_EQ(live.log, expected);
    EXPECT_EQ(scan.log, expected);
    EXPECT_EQ(live.after, scan.after);
    // Part 4 ended in slot 2 (the pool's slots follow the table in the snapshot).
    EXPECT_EQ(live.after[CRUSH_CATEGORY_NUM * CRUSHABLE_MAX + 4], 2);
}

TEST_F(CrushableLiveSlots, ObjectsLeavingInsideAHandlerAreSkippedAndARefilledOuterSlotGoesOn)
{
    // 0 and 1 bullet sets; 2 and 3 enemy parts; 4 and 5 labels.
    WORLD w = MakePool({CRUSH_PLAYER_BULLET, CRUSH_PLAYER_BULLET, CRUSH_ENEMY_PART, CRUSH_ENEMY_PART,
                        CRUSH_LABEL, CRUSH_LABEL});
    // Part 2 takes part 3 out before the scan gets to it; then bullet set 0, hit by label 4, hands
    // its slot to set 1, which meets label 5 in the same pass.
    w.script = {{ACT_LEAVE_ANY, 3}, {ACT_SWAP_SELF, 0}, {ACT_NONE, 0}};
    const auto [live, scan] = RunBothWays(w, [&] {
        for (int i : {0, 2, 3, 4, 5})
            CCrushableSet::Register(w.pool[i].get());
    });
    const std::vector<std::string> expected = {"2<2<0", "0<4<4", "1<4<5"};
    EXPECT_EQ(live.log, expected);
    EXPECT_EQ(scan.log, expected);
    EXPECT_EQ(live.after, scan.after);
}
