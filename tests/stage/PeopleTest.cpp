#include <gtest/gtest.h>

#include <cmath>

#include "engine/SurfaceUtil.h"
#include "pack/teskFile.h"
#include "platform/ddraw/DDraw.h"
#include "rvm/rvm_stl.h"
#include "stage/CrushableSet.h"
#include "stage/People.h"
#include "stage/PeopleLabel.h"
#include "FakeLabelEffects.h"
#include "StubPlayer.h"
#include "stage/PeopleSet.h"
#include "stage/Stage.h"

namespace {

struct Parsed {
    int nItems[PEOPLE_ITEM_MAX] = {};
    int nItemCount = 0;
    rvm::string segments[PEOPLE_TEXT_MAX];
    int nSegmentCount = 0;
};

Parsed Parse(const rvm::string& s)
{
    Parsed p;
    ParsePeopleLine(s, p.nItems, &p.nItemCount, p.segments, &p.nSegmentCount);
    return p;
}

IDirectDraw7* DirectDraw()
{
    static IDirectDraw7* s_lpDD = nullptr;
    if (!s_lpDD)
        DirectDrawCreateEx(nullptr, (LPVOID*)&s_lpDD, IID_IDirectDraw7, nullptr);
    return s_lpDD;
}

// A passer-by kind with a w x h standing picture and nothing else.
struct Kind : public CPeople {
    Kind(const char* pszCode, const rvm::string& strLine, int w, int h) : CPeople(pszCode)
    {
        SetLine(strLine);
        m_lpPicture = CreatePlaneSurface(DirectDraw(), w, h, MEM_SYSTEM);
    }
};

D3DVECTOR Pt(float x, float y)
{
    return D3DVECTOR{{x}, {y}, {0.0f}};
}

// The heroine's damage box at (x, y), 32 x 48.
using Heroine = CStubPlayer;

// An item as the player library would make it: it keeps what the passer-by tells it.
struct ThrownItem : public IStageItem {
    void SetKind(int nKind) override { m_nKind = nKind; }
    void SetPosition(const D3DVECTOR& vPos) override { m_vPos = vPos; }
    void SetScroll(float fScroll) override { m_fScroll = fScroll; }
    void Launch(float fSpeed, float fAngle) override
    {
        m_fLaunchSpeed = fSpeed;
        m_fLaunchAngle = fAngle;
    }

    int m_nKind = -1;
    D3DVECTOR m_vPos{};
    float m_fScroll = 0.0f;
    float m_fLaunchSpeed = 0.0f;
    float m_fLaunchAngle = 0.0f;
};

IStageItem* MakeThrownItem()
{
    return new ThrownItem;
}

const ThrownItem& Thrown(const CPeopleLabel& label, int i)
{
    return *static_cast<const ThrownItem*>(label.m_pItems[i]);
}

// The item factory plugged into the stage for the life of a test.
class ItemFactoryScope {
public:
    ItemFactoryScope() : m_Saved(CStage::GetHooks())
    {
        STAGEHOOKS hooks = m_Saved;
        hooks.CreateItem = MakeThrownItem;
        CStage::SetHooks(hooks);
    }
    ~ItemFactoryScope() { CStage::SetHooks(m_Saved); }

private:
    STAGEHOOKS m_Saved;
};

class PeopleLabelTest : public ::testing::Test {
protected:
    void SetUp() override { CCrushableSet::Clear(); }
    void TearDown() override { CCrushableSet::Clear(); }

    ItemFactoryScope m_Factory;
    CFakeLabelEffects m_Effects;

    // A passer-by standing in the cell at (x, y).
    static void Place(CPeopleLabel& label, CPeople* pKind, float x, float y, float fSpeed)
    {
        label.SetPeople(pKind);
        D3DVECTOR p = Pt(x, y);
        label.SetPos(&p);
        label.SetSpeed(fSpeed);
        ASSERT_EQ(label.Setup(nullptr, ".\\GameData\\Stage01\\"), 1);
        label.Spawn();
    }
};

} // namespace

TEST(PeopleTest, ItemsAndSpeechOfAKindLine)
{
    Parsed p = Parse("100, Food : Whoa!\\sSlow down!  ");
    ASSERT_EQ(p.nItemCount, 2);
    EXPECT_EQ(p.nItems[0], 5);
    EXPECT_EQ(p.nItems[1], 3);
    ASSERT_EQ(p.nSegmentCount, 2);
    EXPECT_EQ(p.segments[0], " Whoa!");
    EXPECT_EQ(p.segments[1], "Slow down!");

    p = Parse("500,1000 , 5000,10000,Cake, 100");
    ASSERT_EQ(p.nItemCount, 5);  // the unknown name is skipped, the rest kept
    EXPECT_EQ(p.nItems[0], 6);
    EXPECT_EQ(p.nItems[3], 9);
    EXPECT_EQ(p.nItems[4], 5);
    EXPECT_EQ(p.nSegmentCount, 0);

    p = Parse("100,100,100,100,100,100,100,100,Food:a\\sb\\sc\\sd\\se\\sf\\sg\\sh\\si\\sj\\sk\\sl\\sm\\sn\\so\\sp\\sq");
    EXPECT_EQ(p.nItemCount, 8);  // the ninth is ignored
    EXPECT_EQ(p.nItems[7], 5);
    ASSERT_EQ(p.nSegmentCount, 16);
    EXPECT_EQ(p.segments[15], "p");

    p = Parse(": only words");
    EXPECT_EQ(p.nItemCount, 0);
    EXPECT_EQ(p.nSegmentCount, 1);
    EXPECT_EQ(PeopleItemKind("food"), -1);
}

TEST(PeopleTest, CatalogueLeavesOutKindsWithoutPicturesAndFailsOnAMissingFile)
{
    EXPECT_EQ(CPeopleSet::Load(nullptr, "./no-such-stage/"), 0);
    const rvm::string text =
        "#INDEX_FOR People.bmp\r\n"
        "#IMG_RGN PeopleQ11.bmp = 0:0:31:63\r\n"
        "#PEOPLEQ1 100, Food : Whoa!\r\n"
        "  #people99 Food // no pictures either\r\n";
    char szName[64] = "";
    ASSERT_NE(RegisterMemoryName(text.data(), (uint32_t)text.size(), szName, sizeof(szName)), 0u);
    EXPECT_EQ(CPeopleSet::LoadFile(nullptr, szName), 1);
    EXPECT_EQ(CPeopleSet::Count(), 0);
    EXPECT_FALSE(CPeopleSet::Exists("Q1"));
    EXPECT_EQ(CPeopleSet::Find("Q1"), nullptr);
}

TEST_F(PeopleLabelTest, StandingPasserByScrollsAndIgnoresBulletsAndTargets)
{
    Kind kind("Q1", "100 : Hey", 32, 48);
    CPeopleLabel label;
    Place(label, &kind, 300.0f, 384.0f, 4.0f);
    EXPECT_EQ(label.m_nIndex, 0);
    EXPECT_EQ(label.GetObjectLabel(), nullptr);
    EXPECT_EQ(label.HitByPlayerBullet(nullptr, nullptr), 0);
    HITQUAD q;
    EXPECT_TRUE(label.GetHitQuad(&q)->IsEmpty());
    label.GetDamageQuad(&q);
    EXPECT_EQ(q.v[0].x, 300.0f + 16.0f);
    EXPECT_EQ(q.v[0].y, 384.0f + 16.0f);
    EXPECT_EQ(q.v[2].y, 448.0f);
    D3DVECTOR v;
    CCrushableSet::FindTarget(&v, 0.0f);
    EXPECT_EQ(v.x, 6000.0f);
    label.Update();
    EXPECT_EQ(label.m_vPos.x, 296.0f);
    EXPECT_EQ(label.GetVoicePath(), ".\\GameData\\Stage01\\PeopleQ1.wav");
}

TEST_F(PeopleLabelTest, KnockedAwayThrowsItsItemsAlongTheArc)
{
    Kind kind("Q1", "100, 500, Food : Hey", 32, 48);
    CPeopleLabel label;
    Place(label, &kind, 300.0f, 384.0f, 4.0f);
    Heroine far(100.0f, 390.0f);
    EXPECT_EQ(label.HitByPlayer(nullptr, &far), 0);
    Heroine near(300.0f, 390.0f);
    EXPECT_EQ(label.HitByPlayer(nullptr, &near), 1);
    EXPECT_EQ(label.HitByPlayer(nullptr, &near), 0);  // a second hit does nothing
    ASSERT_EQ(label.m_nItemCount, 3);
    const float kAngles[3] = {-0.785f, -1.0466667f, -1.3083333f};
    for (int i = 0; i < 3; i++) {
        EXPECT_NEAR(Thrown(label, i).m_fLaunchAngle, kAngles[i], 1e-6f);
        EXPECT_EQ(Thrown(label, i).m_fLaunchSpeed, 13.0f);
        EXPECT_EQ(Thrown(label, i).m_vPos.x, 300.0f);
        EXPECT_EQ(Thrown(label, i).m_fScroll, 4.0f);
    }
    EXPECT_EQ(Thrown(label, 0).m_nKind, 5);
    EXPECT_EQ(Thrown(label, 2).m_nKind, 3);
    ASSERT_NE(label.m_pStarCir, nullptr);
    EXPECT_EQ(CFakeLabelEffects::Of(label.m_pStarCir)->m_nStarts, 1);
    EXPECT_EQ(CFakeLabelEffects::Of(label.m_pStarCir)->m_vPoint.x, 300.0f);
    EXPECT_EQ(CFakeLabelEffects::Of(label.m_pStarCir)->m_vPoint.y, -384.0f);
    EXPECT_EQ(label.m_vTextPos.x, 300.0f);

    // It flies up and right, spinning ever slower, and leaves once off screen with its text risen.
    label.Update();
    EXPECT_EQ(label.m_vPos.x, 312.0f);
    EXPECT_EQ(label.m_vPos.y, 372.0f);
    EXPECT_FLOAT_EQ(label.m_fSpinAngle, -1.0f);
    EXPECT_FLOAT_EQ(label.m_Spin.fValue, 0.98f);
    EXPECT_FLOAT_EQ(label.m_vTextPos.y, 380.0f);
    int nTicks = 1;
    while (!label.IsFinished() && nTicks < 1000) {
        label.Update();
        nTicks++;
    }
    EXPECT_TRUE(label.IsFinished());
    EXPECT_EQ(nTicks, 76);  // the rise runs out after 75 steps; it is long off screen by then
    EXPECT_EQ(label.m_nIndex, -1);
}

TEST(PeopleLabelSingleTest, OneItemIsThrownAtTheMiddleOfTheArc)
{
    ItemFactoryScope factory;
    CCrushableSet::Clear();
    Kind kind("Q2", "Food", 32, 48);
    CPeopleLabel label;
    label.SetPeople(&kind);
    D3DVECTOR p = Pt(300.0f, 384.0f);
    label.SetPos(&p);
    label.Setup(nullptr, "");
    label.Spawn();
    Heroine h(300.0f, 390.0f);
    ASSERT_EQ(label.HitByPlayer(nullptr, &h), 1);
    EXPECT_NEAR(Thrown(label, 0).m_fLaunchAngle, -1.0466667f, 1e-6f);
    label.Stop();
    CCrushableSet::Clear();
}

TEST_F(PeopleLabelTest, UntouchedPasserByLeavesPastTheLeftEdge)
{
    Kind kind("Q1", "", 32, 48);
    CPeopleLabel label;
    Place(label, &kind, -90.0f, 384.0f, 10.0f);
    label.Update();  // x = -100, past -64 - 32
    EXPECT_TRUE(label.IsFinished());
}

TEST_F(PeopleLabelTest, WithoutAnItemFactoryItIsKnockedOverAndThrowsNothing)
{
    STAGEHOOKS hooks = CStage::GetHooks();
    hooks.CreateItem = nullptr;
    CStage::SetHooks(hooks);
    Kind kind("Q2", "Food, 100", 32, 48);
    CPeopleLabel label;
    Place(label, &kind, 300.0f, 384.0f, 4.0f);
    EXPECT_EQ(label.m_nItemCount, 2);
    EXPECT_EQ(label.m_pItems[0], nullptr);
    Heroine h(300.0f, 390.0f);
    EXPECT_EQ(label.HitByPlayer(nullptr, &h), 1);
    EXPECT_EQ(CFakeLabelEffects::Of(label.m_pStarCir)->m_nStarts, 1);
}
