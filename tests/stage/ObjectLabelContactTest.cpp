#include <gtest/gtest.h>

#include "stage/BoundableSet.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"

namespace {

class Body : public CBoundable {
public:
    Body() : CBoundable(0) {}
    D3DVECTOR* GetPosition(D3DVECTOR* pOut) override
    {
        *pOut = m_vA;
        return pOut;
    }
    void SetState(DWORD dw) override { m_dwState = dw; }
    DWORD GetState() override { return m_dwState; }
    DWORD m_dwState = 0;
};

D3DVECTOR Pt(float x, float y)
{
    return D3DVECTOR{{x}, {y}, {0.0f}};
}

// One 64 x 64 cell of the given type, placed and live.
struct Cell {
    Cell(DWORD dwAttr, float x, float y) : obj("K1")
    {
        obj.SetAttribute(dwAttr);
        obj.m_nWidth = 64;
        obj.m_nHeight = 64;
        label.SetObject(&obj);
        D3DVECTOR p = Pt(x, y);
        label.SetPos(&p);
        label.Spawn();
    }
    int Vert(float x, float y, float dy, CONTACTINFO* pInfo)
    {
        D3DVECTOR p = Pt(x, y), m = Pt(0.0f, dy);
        return label.CheckVert(&p, &m, pInfo);
    }
    int Move(float x, float y, float dx, float dy, CONTACTINFO* pInfo)
    {
        D3DVECTOR p = Pt(x, y), m = Pt(dx, dy);
        return label.CheckMove(&p, &m, pInfo, &body);
    }
    CObject obj;
    CObjectLabel label;
    Body body;
};

} // namespace

TEST(ObjectLabelContactTest, PointClassesAndSlopeLines)
{
    Cell up(OBJATTR_RUNUP1, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(up.label.TopYAtX(30.0f), 53.0f);
    EXPECT_FLOAT_EQ(up.label.XAtTopY(53.0f), 30.0f);
    Cell down(OBJATTR_RUNDOWN3, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(down.label.TopYAtX(30.0f), 9.0f);
    EXPECT_FLOAT_EQ(down.label.XAtTopY(9.0f), 30.0f);

    Cell block(OBJATTR_TOUCH, 100.0f, 100.0f);
    EXPECT_EQ(block.label.WhichX(99.0f), -1);
    EXPECT_EQ(block.label.WhichX(99.995f), 0);
    EXPECT_EQ(block.label.WhichX(164.005f), 0);
    EXPECT_EQ(block.label.WhichX(165.0f), 1);
    D3DVECTOR above = Pt(120.0f, 99.0f), band = Pt(120.0f, 99.995f), inside = Pt(120.0f, 130.0f),
              below = Pt(120.0f, 165.0f);
    EXPECT_EQ(block.label.WhichY(&above), -1);
    EXPECT_EQ(block.label.WhichY(&band), 0);
    EXPECT_EQ(block.label.WhichY(&inside), 0);
    EXPECT_EQ(block.label.WhichY(&below), 1);
    EXPECT_TRUE(block.label.Contains(&inside));
    EXPECT_FALSE(block.label.Contains(&above));

    Cell ride(OBJATTR_RIDEON, 100.0f, 100.0f);
    D3DVECTOR onTop = Pt(120.0f, 100.0f), justBelow = Pt(120.0f, 100.005f);
    EXPECT_EQ(ride.label.WhichY(&onTop), -1);
    EXPECT_EQ(ride.label.WhichY(&justBelow), 1);
}

TEST(ObjectLabelContactTest, FallingOntoABlockLandsOnItsTop)
{
    Cell block(OBJATTR_TOUCH, 100.0f, 200.0f);
    CONTACTINFO info;
    EXPECT_EQ(block.Vert(120.0f, 190.0f, 15.0f, &info), 1);
    EXPECT_EQ(info.nKind, CONTACT_TOP);
    EXPECT_EQ(info.pos.x, 120.0f);
    EXPECT_EQ(info.pos.y, 200.0f);
    EXPECT_EQ(block.Vert(120.0f, 190.0f, 9.0f, &info), 0);   // still above the top
    EXPECT_EQ(block.Vert(120.0f, 199.995f, 9.0f, &info), 0);  // already in the band
    EXPECT_EQ(block.Vert(170.0f, 190.0f, 15.0f, &info), 0);   // beside it
}

TEST(ObjectLabelContactTest, JumpingUpPassesThroughRideOnButNotThroughABlock)
{
    Cell ride(OBJATTR_RIDEON, 100.0f, 200.0f);
    CONTACTINFO info;
    EXPECT_EQ(ride.Vert(120.0f, 210.0f, -20.0f, &info), 0);
    EXPECT_EQ(ride.Vert(120.0f, 195.0f, 10.0f, &info), 1);  // but lands on it from above
    EXPECT_EQ(info.nKind, CONTACT_TOP);
    EXPECT_EQ(info.pos.y, 200.0f);

    Cell block(OBJATTR_TOUCH, 100.0f, 200.0f);
    EXPECT_EQ(block.Vert(120.0f, 270.0f, -20.0f, &info), 1);
    EXPECT_EQ(info.nKind, CONTACT_BOTTOM);
    EXPECT_EQ(info.pos.y, 264.0f);
    EXPECT_EQ(block.Vert(120.0f, 270.0f, -5.0f, &info), 0);  // stops short
}

TEST(ObjectLabelContactTest, BlockStopsABodyFromTheSide)
{
    Cell block(OBJATTR_TOUCH, 100.0f, 200.0f);
    CONTACTINFO info;
    EXPECT_EQ(block.Move(95.0f, 230.0f, 10.0f, 0.0f, &info), 1);
    EXPECT_EQ(info.nKind, CONTACT_LEFT);
    EXPECT_EQ(info.pos.x, 100.0f);
    EXPECT_EQ(info.pos.y, 230.0f);
    EXPECT_EQ(info.pLabel, &block.label);
    EXPECT_EQ(block.Move(95.0f, 230.0f, 3.0f, 0.0f, &info), 0);  // does not reach it

    EXPECT_EQ(block.Move(170.0f, 230.0f, -10.0f, 0.0f, &info), 1);
    EXPECT_EQ(info.nKind, CONTACT_RIGHT);
    EXPECT_EQ(info.pos.x, 164.0f);
    EXPECT_EQ(block.Move(95.0f, 280.0f, 10.0f, 0.0f, &info), 0);  // passes below
}

TEST(ObjectLabelContactTest, BodyInsideABlockIsFlaggedOrNudgedOut)
{
    Cell block(OBJATTR_TOUCH, 100.0f, 200.0f);
    CONTACTINFO info;
    EXPECT_EQ(block.Move(130.0f, 230.0f, 5.0f, 0.0f, &info), 0);
    EXPECT_EQ(block.body.m_dwState & BOUND_STATE_EMBEDDED, BOUND_STATE_EMBEDDED);
    block.body.m_dwState = 0;
    // On the left edge: moved one pixel out, then meets the edge again.
    EXPECT_EQ(block.Move(100.0f, 230.0f, 5.0f, 0.0f, &info), 1);
    EXPECT_EQ(info.nKind, CONTACT_LEFT);
    EXPECT_EQ(block.body.m_dwState, 0u);
}

TEST(ObjectLabelContactTest, WalkingIntoAnUpSlopeMeetsTheSlopeLine)
{
    Cell up(OBJATTR_RUNUP1, 0.0f, 0.0f);
    CONTACTINFO info;
    // Gliding down-right from the left: stays above the line for a short step...
    EXPECT_EQ(up.Move(-5.0f, 60.0f, 10.0f, 1.0f, &info), 0);
    // ...and meets it when the step ends below the line.
    EXPECT_EQ(up.Move(-5.0f, 60.0f, 10.0f, 3.0f, &info), 1);
    EXPECT_EQ(info.nKind, CONTACT_TOP);
    EXPECT_NEAR(info.pos.y, up.label.TopYAtX(info.pos.x), 0.001f);
    EXPECT_GT(info.pos.x, 0.0f);
    EXPECT_LT(info.pos.x, 5.0f);
}

TEST(ObjectLabelContactTest, ZeroAreaAndSceneryLabelsNeverTouch)
{
    CONTACTINFO info;
    Cell scenery(OBJATTR_NOTOUCH, 100.0f, 200.0f);
    EXPECT_EQ(scenery.Vert(120.0f, 190.0f, 20.0f, &info), 0);
    EXPECT_EQ(scenery.Move(95.0f, 230.0f, 10.0f, 0.0f, &info), 0);

    Cell stopped(OBJATTR_TOUCH, 100.0f, 200.0f);
    stopped.label.Stop();
    EXPECT_EQ(stopped.Vert(120.0f, 190.0f, 20.0f, &info), 0);
    EXPECT_EQ(stopped.Move(95.0f, 230.0f, 10.0f, 0.0f, &info), 0);
    HITQUAD q;
    EXPECT_TRUE(stopped.label.GetQuad(&q)->IsEmpty());

    Cell vertical(OBJATTR_TOUCH, 100.0f, 200.0f);
    CONTACTINFO a, b;
    D3DVECTOR p = Pt(120.0f, 190.0f), m = Pt(0.0f, 20.0f);
    EXPECT_EQ(vertical.label.FindCrossings(&p, &m, &a, &b), 0);
    EXPECT_EQ(a.nKind, 0);
}
