#include <gtest/gtest.h>

#include <memory>
#include <string>
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

class Part : public CEnemyPart {
public:
    Part(float x, BOOL bInactive)
    {
        m_vPos = D3DVECTOR{{x}, {100.0f}, {0.0f}};
        m_bInactive = bInactive;
    }
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
