#include <gtest/gtest.h>

#include "engine/AppTimer.h"
#include "engine/Geometry.h"
#include "stage/CrushableSet.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"
#include "FakeLabelEffects.h"

namespace {

// A 64 x 64 type (or w x h) without a picture; its draws report where they were asked to draw.
class SizedObject : public CObject {
public:
    SizedObject(DWORD dwAttr, int w = 64, int h = 64) : CObject("K1")
    {
        SetAttribute(dwAttr);
        m_nWidth = w;
        m_nHeight = h;
        if (dwAttr & OBJATTR_CRUSH16)
            m_nCrushLife = 16;
        if (dwAttr & OBJATTR_CRUSH00)
            m_nCrushLife = 0x7FFFFFFF;
    }
    int Draw2D(IDirectDrawSurface7*, const D3DVECTOR* p) override
    {
        m_vDrawn = *p;
        m_nDraws++;
        return 1;
    }
    int DrawFlash2D(IDirectDrawSurface7*, const D3DVECTOR* p) override
    {
        m_vDrawn = *p;
        m_nFlashDraws++;
        return 1;
    }
    int Draw3D(IDirect3DDevice7*, const D3DVECTOR* p) override
    {
        m_vDrawn = *p;
        return 1;
    }
    D3DVECTOR m_vDrawn{};
    int m_nDraws = 0;
    int m_nFlashDraws = 0;
};

class Bullets : public IPlayerBullet {
public:
    explicit Bullets(int nPower) : m_nPower(nPower) {}
    int GetPower() override { return m_nPower; }
    int m_nPower;
};

D3DVECTOR Pt(float x, float y)
{
    return D3DVECTOR{{x}, {y}, {0.0f}};
}

class ObjectLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CCrushableSet::Clear();
        CAppTimer::ResetFrameClock();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::Reset(0);
        CAppTimer::FrameTick();
    }
    void TearDown() override { CCrushableSet::Clear(); }

    CFakeLabelEffects m_Effects;

    static CFakeExplosion* Own(CObjectLabel& label) { return CFakeLabelEffects::Of(label.m_pExplosion); }
    static CFakeExplosion* Burst(CObjectLabel& label, int i) { return CFakeLabelEffects::Of(label.m_pExplosions[i]); }

    static void Place(CObjectLabel& label, CObject& obj, float x, float y, float fSpeed = 0.0f)
    {
        label.SetObject(&obj);
        D3DVECTOR p = Pt(x, y);
        label.SetPos(&p);
        label.SetSpeed(fSpeed);
        label.Setup(nullptr, "");
        label.Spawn();
    }
};

} // namespace

TEST_F(ObjectLabelTest, ShapedQuadsFollowTheAttribute)
{
    struct {
        DWORD dwAttr;
        float yTL, yTR, yBR, yBL;
    } kCases[] = {
        {OBJATTR_RUNUP1, 63.0f, 64 * 0.6666667f - 1, 65.0f, 65.0f},
        {OBJATTR_RUNUP2, 64 * 0.6666667f - 1, 64 * 0.33333334f - 1, 64.0f, 64.0f},
        {OBJATTR_RUNUP3, 64 * 0.33333334f - 1, -1.0f, 64.0f, 64.0f},
        {OBJATTR_RUNDOWN1, 64 * 0.6666667f - 1, 63.0f, 65.0f, 65.0f},
        {OBJATTR_RUNDOWN2, 64 * 0.33333334f - 1, 64 * 0.6666667f - 1, 64.0f, 64.0f},
        {OBJATTR_RUNDOWN3, -1.0f, 64 * 0.33333334f - 1, 64.0f, 64.0f},
        {OBJATTR_RIDEON, 0.0f, 0.0f, 0.0f, 0.0f},
        {OBJATTR_TOUCH, 0.0f, 0.0f, 64.0f, 64.0f},
    };
    for (const auto& c : kCases) {
        SizedObject obj(c.dwAttr);
        CObjectLabel label;
        Place(label, obj, 0.0f, 0.0f);
        HITQUAD q;
        label.GetQuad(&q);
        EXPECT_EQ(q.v[0].y, c.yTL) << c.dwAttr;
        EXPECT_EQ(q.v[1].y, c.yTR) << c.dwAttr;
        EXPECT_EQ(q.v[2].y, c.yBR) << c.dwAttr;
        EXPECT_EQ(q.v[3].y, c.yBL) << c.dwAttr;
        EXPECT_EQ(q.v[0].x, 0.0f);
        EXPECT_EQ(q.v[1].x, 64.0f);
        HITQUAD box;
        label.GetBoxQuad(&box);
        EXPECT_EQ(box.v[0].y, 0.0f);
        EXPECT_EQ(box.v[2].y, 64.0f);
    }
}

TEST_F(ObjectLabelTest, HitQuadAddsTheOffsetAndFinishedLabelsHaveNoArea)
{
    SizedObject obj(OBJATTR_TOUCH);
    CObjectLabel label;
    HITQUAD q;
    label.SetObject(&obj);
    EXPECT_TRUE(label.GetQuad(&q)->IsEmpty());  // not spawned yet
    Place(label, obj, 100.0f, 200.0f);
    label.SetOffsetY(-8.0f);
    label.GetHitQuad(&q);
    EXPECT_EQ(q.v[0].y, 192.0f);
    EXPECT_EQ(q.v[2].y, 256.0f);
    CELLMASK mask;
    label.GetHitCellMask(&mask);
    CELLMASK expected;
    GetRectCellMask(&expected, RECT{100, 192, 164, 256});
    EXPECT_EQ(mask.dwCols[0], expected.dwCols[0]);
    EXPECT_EQ(mask.dwRows[0], expected.dwRows[0]);
    label.Stop();
    EXPECT_TRUE(label.GetQuad(&q)->IsEmpty());
    EXPECT_TRUE(label.GetDamageQuad(&q)->IsEmpty());
}

TEST_F(ObjectLabelTest, OnlyDestroyableLabelsRegisterAndTakeDamage)
{
    SizedObject solid(OBJATTR_TOUCH);
    CObjectLabel label;
    Place(label, solid, 100.0f, 100.0f);
    EXPECT_EQ(label.m_nIndex, -1);
    EXPECT_EQ(label.m_pExplosion, nullptr);
    EXPECT_EQ(label.m_pExplosions[0], nullptr);
    Bullets b(10);
    EXPECT_EQ(label.HitByPlayerBullet(nullptr, &b), 0);
}

TEST_F(ObjectLabelTest, Crush16FlashesOnTheFirstHitAndBlowsUpOnTheSecond)
{
    SizedObject crate(OBJATTR_TOUCH | OBJATTR_CRUSH16);
    CObjectLabel label;
    Place(label, crate, 100.0f, 100.0f, 4.0f);
    EXPECT_EQ(label.m_nIndex, 0);
    EXPECT_EQ(label.m_nDurability, 16);
    ASSERT_NE(label.m_pExplosion, nullptr);
    EXPECT_EQ(Own(label)->m_nStyle, EXPBOMB_STYLE_LARGE);
    EXPECT_EQ(Own(label)->m_vDrift.x, -0.01f * 16.0f);
    for (int i = 0; i < 5; i++) {
        ASSERT_NE(label.m_pExplosions[i], nullptr);
        EXPECT_EQ(Burst(label, i)->m_nStyle, EXPBOMB_STYLE_LARGE);
        EXPECT_EQ(Burst(label, i)->m_nLoads, 1);
        EXPECT_EQ(Burst(label, i)->m_vDrift.y, -1.0f);
    }
    Bullets b(10);
    EXPECT_EQ(label.HitByPlayerBullet(nullptr, &b), 1);
    EXPECT_EQ(label.m_nDurability, 6);
    EXPECT_TRUE(label.m_Flash.IsFlashing());
    EXPECT_FALSE(label.m_bCrushed);
    label.Draw2D(nullptr);
    EXPECT_EQ(crate.m_nFlashDraws, 1);

    EXPECT_EQ(label.HitByPlayerBullet(nullptr, &b), 1);
    EXPECT_TRUE(label.m_bCrushed);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(Burst(label, i)->m_dwDelay, 125u * i);
    EXPECT_EQ(Own(label)->m_dwDelay, 625u);
    EXPECT_EQ(label.HitByPlayerBullet(nullptr, &b), 0);
    HITQUAD q;
    EXPECT_TRUE(label.GetQuad(&q)->IsEmpty());

    // Not drawn once its own explosion runs; stops when that explosion has finished.
    const int nDraws = crate.m_nDraws;
    Own(label)->m_bIdle = 0;
    EXPECT_EQ(label.Draw2D(nullptr), 1);
    EXPECT_EQ(crate.m_nDraws, nDraws);
    label.Update();
    EXPECT_EQ(Own(label)->m_vPos.x, 96.0f + 32.0f);
    EXPECT_EQ(Own(label)->m_vPos.y, 16.0f - 132.0f);
    EXPECT_EQ(Burst(label, 2)->m_vPos.x, 128.0f - 40.0f);
    EXPECT_EQ(Burst(label, 2)->m_vPos.y, 16.0f - 132.0f + 40.0f);
    EXPECT_FALSE(label.IsFinished());
    Own(label)->m_bFinished = 1;
    label.Update();
    EXPECT_TRUE(label.IsFinished());
    EXPECT_EQ(label.m_nIndex, -1);
}

TEST_F(ObjectLabelTest, WithoutExplosionsACrushedLabelLeavesAtOnceAndARestartEndsWaitingOnes)
{
    SizedObject crate(OBJATTR_TOUCH | OBJATTR_CRUSH16);
    Bullets b(20);
    {
        STAGEHOOKS none;
        const STAGEHOOKS saved = CStage::GetHooks();
        CStage::SetHooks(none);
        CObjectLabel bare;
        Place(bare, crate, 100.0f, 100.0f);
        CStage::SetHooks(saved);
        EXPECT_EQ(bare.m_pExplosion, nullptr);
        EXPECT_EQ(bare.HitByPlayerBullet(nullptr, &b), 1);
        EXPECT_TRUE(bare.m_bCrushed);
        bare.Update();
        EXPECT_TRUE(bare.IsFinished());
    }
    CObjectLabel label;
    Place(label, crate, 100.0f, 100.0f);
    EXPECT_EQ(label.HitByPlayerBullet(nullptr, &b), 1);
    EXPECT_EQ(Own(label)->m_nStarts, 1);
    label.StopExplosions();
    EXPECT_EQ(Own(label)->m_nStops, 1);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(Burst(label, i)->m_nStops, 1);
    // Release takes the burst; the own explosion stays with the label.
    label.Release();
    EXPECT_EQ(label.m_pExplosions[0], nullptr);
    EXPECT_NE(label.m_pExplosion, nullptr);
}

TEST_F(ObjectLabelTest, Crush00OutlastsOrdinaryDamageAndOtherCategoriesAreRefused)
{
    SizedObject wall(OBJATTR_TOUCH | OBJATTR_CRUSH00);
    CObjectLabel label;
    Place(label, wall, 100.0f, 100.0f);
    EXPECT_EQ(label.m_nDurability, 0x7FFFFFFF);
    Bullets b(1000);
    EXPECT_EQ(label.HitByPlayerBullet(nullptr, &b), 1);
    EXPECT_FALSE(label.m_bCrushed);
    CObjectLabel other;
    EXPECT_EQ(label.HitByPlayerBullet(nullptr, &other), 0);
}

TEST_F(ObjectLabelTest, LabelStopsOnlyPastTheLeftMargin)
{
    SizedObject obj(OBJATTR_TOUCH, 96, 64);
    CObjectLabel label;
    Place(label, obj, -150.0f, 0.0f, 10.0f);
    label.Update();  // x = -160 = -64 - w
    EXPECT_EQ(label.m_vPos.x, -160.0f);
    EXPECT_FALSE(label.IsFinished());
    label.SetSpeed(0.01f);
    label.Update();
    EXPECT_TRUE(label.IsFinished());
    float x = label.m_vPos.x;
    label.Update();  // a finished label does not move
    EXPECT_EQ(label.m_vPos.x, x);
}

TEST_F(ObjectLabelTest, NegativeOffsetIsRoundedOnlyIn2D)
{
    SizedObject obj(OBJATTR_TOUCH);
    CObjectLabel label;
    Place(label, obj, 10.0f, 100.0f);
    label.SetOffsetY(-2.46f);
    label.Draw2D(nullptr);
    EXPECT_FLOAT_EQ(obj.m_vDrawn.y, 100.0f - 2.5f);
    label.Draw3D(nullptr);
    EXPECT_FLOAT_EQ(obj.m_vDrawn.y, 100.0f - 2.46f);
    CObjectLabel empty;
    empty.m_bFinished = 0;
    EXPECT_EQ(empty.Draw2D(nullptr), 0);
    EXPECT_EQ(empty.GetName(), nullptr);
}

TEST_F(ObjectLabelTest, PointTestsAgreeInsideAndOutside)
{
    SizedObject obj(OBJATTR_TOUCH);
    CObjectLabel label;
    Place(label, obj, 0.0f, 0.0f);
    D3DVECTOR in = Pt(20.0f, 30.0f), out = Pt(80.0f, 30.0f);
    float fSum = 0.0f;
    EXPECT_TRUE(label.IsInsideByAngles(&in, &fSum));
    EXPECT_NEAR(fSum, 6.2831853f, 0.01f);
    EXPECT_FALSE(label.IsInsideByAngles(&out, &fSum));
    EXPECT_TRUE(label.IsPointInside(&in));
    EXPECT_FALSE(label.IsPointInside(&out));
    label.SetNumber(7);
    label.SetLayer('C');
    label.SetCell(3, 4);
    EXPECT_STREQ(label.GetDebugText(), "K1 007C:( 3  4) (000.00 000.00 000.00) speed = 0.000000");
}
