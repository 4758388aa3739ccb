// The scroll and show registries: slots, idempotence, full tables, wrong indexes, layers, and the
// order of broadcasts and draws.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/ShowableSet.h"

namespace {

std::string g_Calls;

class CScrollProbe : public CScrollable {
public:
    explicit CScrollProbe(char c = 's') : m_c(c) {}
    void SetScrollSpeed(float f) override { m_fSpeed = f; }
    void SetScrollPos(float f) override { m_fPos = f; }
    void Tick() override { g_Calls += m_c; }
    float m_fSpeed = 0.0f;
    float m_fPos = 0.0f;
    char m_c;
};

class CShowProbe : public CShowable {
public:
    explicit CShowProbe(char c = 'o', BOOL bResult = 1) : m_c(c), m_bResult(bResult) {}
    void Update() override { g_Calls += m_c; }
    BOOL Draw(IDirectDrawSurface7*) override
    {
        g_Calls += std::string("2") + m_c;
        return m_bResult;
    }
    BOOL Draw3D(IDirect3DDevice7*) override
    {
        g_Calls += std::string("3") + m_c;
        return 1;
    }
    char m_c;
    BOOL m_bResult;
};

// A drawable that keeps the defaults.
class CPlainShowable : public CShowable {};

class Registries : public ::testing::Test {
protected:
    void SetUp() override
    {
        CScrollableSet::Clear();
        CShowableSet::Clear();
        g_Calls.clear();
    }
    void TearDown() override
    {
        CScrollableSet::Clear();
        CShowableSet::Clear();
    }
};

} // namespace

TEST_F(Registries, ScrollObjectsTakeTheLowestFreeSlotOnce)
{
    CScrollProbe a, b, c;
    CScrollableSet::Register(&a);
    CScrollableSet::Register(&b);
    CScrollableSet::Register(&a);
    EXPECT_EQ(a.m_nIndex, 0);
    EXPECT_EQ(b.m_nIndex, 1);
    EXPECT_EQ(CScrollableSet::Count(), 2);
    CScrollableSet::Unregister(&a);
    EXPECT_EQ(a.m_nIndex, -1);
    CScrollableSet::Register(&c);
    EXPECT_EQ(c.m_nIndex, 0);
    CScrollableSet::SetScrollPos(3.5f);
    CScrollableSet::SetScrollSpeed(-2.0f);
    EXPECT_EQ(b.m_fPos, 3.5f);
    EXPECT_EQ(c.m_fSpeed, -2.0f);
    EXPECT_EQ(a.m_fPos, 0.0f);
}

TEST_F(Registries, AFullScrollTableLeavesThe257thOutOfEverything)
{
    std::vector<std::unique_ptr<CScrollProbe>> objs;
    for (int i = 0; i < SCROLLABLE_MAX; i++) {
        objs.push_back(std::make_unique<CScrollProbe>());
        CScrollableSet::Register(objs.back().get());
    }
    CScrollProbe extra('x');
    CScrollableSet::Register(&extra);
    EXPECT_EQ(extra.m_nIndex, -1);
    CScrollableSet::Tick();
    EXPECT_EQ(g_Calls.find('x'), std::string::npos);
    CScrollableSet::Unregister(&extra);
    EXPECT_EQ(CScrollableSet::Count(), SCROLLABLE_MAX);
    objs.clear();  // the destructors leave the table
    EXPECT_EQ(CScrollableSet::Count(), 0);
}

TEST_F(Registries, AWrongIndexIsFoundBySearchAndTheOtherObjectStays)
{
    CScrollProbe a, b;
    CScrollableSet::Register(&a);
    CScrollableSet::Register(&b);
    a.m_nIndex = 1;  // names b's slot
    CScrollableSet::Unregister(&a);
    EXPECT_EQ(a.m_nIndex, -1);
    EXPECT_EQ(CScrollableSet::GetAt(0), nullptr);
    EXPECT_EQ(CScrollableSet::GetAt(1), &b);
    EXPECT_EQ(b.m_nIndex, 1);
}

TEST_F(Registries, AnObjectFoundNowhereCanRegisterAgain)
{
    CShowProbe a;
    a.m_nIndex = 7;  // believes it is registered, but no slot holds it
    CShowableSet::Unregister(&a, 0);
    EXPECT_EQ(a.m_nIndex, -1);
    EXPECT_EQ(CShowableSet::Register(&a, 0), 0);
}

TEST_F(Registries, ADrawableKeepsTheLayerItJoinedFirst)
{
    CShowProbe a, b;
    EXPECT_EQ(CShowableSet::Register(&a, 0), 0);
    EXPECT_EQ(CShowableSet::Register(&a, 1), 0);
    EXPECT_EQ(CShowableSet::GetAt(0, 1), nullptr);
    EXPECT_EQ(CShowableSet::Register(&b, 1), 0);
    EXPECT_EQ(CShowableSet::GetAt(0, 0), &a);
    EXPECT_EQ(CShowableSet::GetAt(0, 1), &b);
}

TEST_F(Registries, AFullLayerAnswersTheTableSize)
{
    std::vector<std::unique_ptr<CShowProbe>> objs;
    for (int i = 0; i < SHOWABLE_MAX; i++) {
        objs.push_back(std::make_unique<CShowProbe>());
        CShowableSet::Register(objs.back().get(), 1);
    }
    CShowProbe extra;
    EXPECT_EQ(CShowableSet::Register(&extra, 1), SHOWABLE_MAX);
    EXPECT_EQ(extra.m_nIndex, -1);
    EXPECT_EQ(CShowableSet::Register(&extra, 0), 0);  // the other layer has room
}

TEST_F(Registries, DestroyingADrawableRemovesItFromEitherLayer)
{
    {
        CShowProbe a, b, c;
        CShowableSet::Register(&a, 1);
        CShowableSet::Register(&b, 0);
        CShowableSet::Register(&c, 1);
        // Told to leave the layer it is not in: it stays where it is, and still leaves at its end.
        CShowableSet::Unregister(&c, 0);
        EXPECT_EQ(CShowableSet::GetAt(1, 1), &c);
        EXPECT_EQ(c.m_nIndex, 1);
        EXPECT_EQ(CShowableSet::Count(1), 2);
        EXPECT_EQ(CShowableSet::Count(0), 1);
    }
    EXPECT_EQ(CShowableSet::Count(1), 0);
    EXPECT_EQ(CShowableSet::Count(0), 0);
    CShowableSet::UpdateAll();  // nothing dangles
    EXPECT_EQ(g_Calls, "");
}

TEST_F(Registries, UpdatesRunLayerZeroThenLayerOneInSlotOrder)
{
    CShowProbe a('a'), b('b'), c('c'), d('d');
    CShowableSet::Register(&a, 1);
    CShowableSet::Register(&b, 0);
    CShowableSet::Register(&c, 1);
    CShowableSet::Register(&d, 0);
    CShowableSet::UpdateAll();
    EXPECT_EQ(g_Calls, "bdac");
}

TEST_F(Registries, DrawAllPutsLayerOneUnderTheScenesAndLayerZeroOver)
{
    CShowProbe a('a'), b('b');
    CShowableSet::Register(&a, 1);
    CShowableSet::Register(&b, 0);
    EXPECT_EQ(CShowableSet::DrawAll(nullptr, nullptr), 1);  // no device: no 3D pass
    EXPECT_EQ(g_Calls, "2a2b");
}

TEST_F(Registries, AFailedOrDefaultDrawMakesDrawAllFailButEveryoneIsDrawn)
{
    CShowProbe a('a', 0), b('b');
    CPlainShowable plain;
    CShowableSet::Register(&a, 0);
    CShowableSet::Register(&b, 0);
    EXPECT_EQ(CShowableSet::DrawAll(nullptr, nullptr), 0);
    EXPECT_EQ(g_Calls, "2a2b");
    CShowableSet::Unregister(&a, 0);
    EXPECT_EQ(CShowableSet::DrawAll(nullptr, nullptr), 1);
    CShowableSet::Register(&plain, 0);
    EXPECT_EQ(CShowableSet::DrawAll(nullptr, nullptr), 0);
}

TEST_F(Registries, ClearTellsEveryObjectItIsOut)
{
    CShowProbe a;
    CScrollProbe s;
    CShowableSet::Register(&a, 1);
    CScrollableSet::Register(&s);
    CShowableSet::Clear();
    CScrollableSet::Clear();
    EXPECT_EQ(a.m_nIndex, -1);
    EXPECT_EQ(s.m_nIndex, -1);
}
