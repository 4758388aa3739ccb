#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "stage/BoundableSet.h"

namespace {

std::string g_log;

class Body : public CBoundable {
public:
    explicit Body(char ch) : CBoundable(1), m_ch(ch) {}
    D3DVECTOR* GetPosition(D3DVECTOR* pOut) override
    {
        *pOut = m_vA;
        return pOut;
    }
    void Update() override { g_log += std::string("u") + m_ch; }
    void Move() override { g_log += std::string("m") + m_ch; }
    int DrawDebug(IDirectDrawSurface7* lpSurface) override
    {
        g_log += std::string("d") + m_ch + (lpSurface ? "s" : "0");
        return 0;
    }
    char m_ch;
};

void Collide(CStage*, CBoundable* p)
{
    g_log += std::string("c") + static_cast<Body*>(p)->m_ch;
}

class BoundableSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CBoundableSet::Clear();
        g_log.clear();
    }
    void TearDown() override { CBoundableSet::Clear(); }
};

} // namespace

TEST_F(BoundableSetTest, LoopsVisitRegisteredObjectsInSlotOrder)
{
    Body a('a'), b('b'), c('c');
    CBoundableSet::Register(&a);
    CBoundableSet::Register(&b);
    CBoundableSet::Register(&c);
    CBoundableSet::Register(&a);
    CBoundableSet::Unregister(&b);
    Body d('d');
    CBoundableSet::Register(&d);  // takes b's slot
    CBoundableSet::UpdateAll();
    CBoundableSet::CollideTerrainAll(nullptr, Collide);
    CBoundableSet::MoveAll();
    EXPECT_EQ(CBoundableSet::DrawDebugAll(nullptr), 1);
    EXPECT_EQ(g_log, "uauduccacdccmamdmcda0dd0dc0");
}

TEST_F(BoundableSetTest, DestroyedObjectLeavesAndThe257thIsIgnored)
{
    {
        Body a('a');
        CBoundableSet::Register(&a);
    }
    EXPECT_EQ(CBoundableSet::GetAt(0), nullptr);
    std::vector<std::unique_ptr<Body>> bodies;
    for (int i = 0; i < BOUNDABLE_MAX; i++) {
        bodies.push_back(std::make_unique<Body>('x'));
        CBoundableSet::Register(bodies.back().get());
    }
    Body last('z');
    CBoundableSet::Register(&last);
    EXPECT_EQ(last.m_nIndex, -1);
    CBoundableSet::UpdateAll();
    EXPECT_EQ(g_log.find('z'), std::string::npos);
    EXPECT_EQ(g_log.size(), 2u * BOUNDABLE_MAX);
    D3DVECTOR v;
    EXPECT_EQ(last.GetPosition(&v), &v);
    RECT rc = last.GetBoundRect();
    EXPECT_EQ(rc.left | rc.top | rc.right | rc.bottom, 0);
}
