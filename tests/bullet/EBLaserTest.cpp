// The laser and the charge glow tick by tick: the flaring strip and its head, growth, hold and
// narrowing, the three colours in turn, the hit bands along the beam (and nothing beside it), the
// turned beam's inside test, and a charge whose time-seeded looks leave the game's random numbers
// alone.
#include <cmath>
#include <set>

#include "BulletFixture.h"
#include "bullet/EBCharge.h"
#include "bullet/EBLaserEx.h"
#include "bullet/SubtractiveRandom.h"
#include "platform/win/Win.h"
#include "stage/Stage.h"
#include "stage/StubPlayer.h"

namespace {

class EBLaserTest : public CBulletTest {
protected:
    static void Aim(CEBLaserEx& laser, float x, float y, int nDirection)
    {
        laser.m_fHeadLength = 64.0f;
        laser.m_fWidth = 128.0f;
        laser.SetPosition(D3DVECTOR{{x}, {y}, {0.0f}});
        laser.m_nDirection = nDirection;
    }
    // Runs until the beam holds at the screen edge.
    void GrowToTheEdge(CEBLaserEx& laser)
    {
        for (int i = 0; i < 200 && laser.m_nState != CEBLaserEx::STATE_HOLDING; i++)
            Step();
        ASSERT_EQ(laser.m_nState, CEBLaserEx::STATE_HOLDING);
    }
    // Whether a heroine with the damage box (left, top, w, h) is hit once; the damage is taken off.
    static bool Hits(CEBLaserEx& laser, float x, float y, float w, float h)
    {
        CStubPlayer heroine;
        heroine.PlaceDamageBox(x, y, w, h);
        const int nHit = laser.HitByPlayer(nullptr, &heroine);
        EXPECT_EQ(heroine.m_nDamage, nHit ? 5 : 0);
        return nHit == 1;
    }
};

TEST_F(EBLaserTest, TheStripFlaresFromAPointWithItsTextureMirroredEveryFivePixels)
{
    CEBLaserEx laser;
    Aim(laser, 300.0f, -240.0f, -1);
    ASSERT_GE(laser.Fire(), 0);
    EXPECT_EQ(laser.m_fEndX, 236.0f);
    Step();
    // Pairs at 236 and 231, then the end pair at 231: six vertices.
    EXPECT_EQ(laser.m_fEndX, 231.0f);
    ASSERT_EQ(laser.m_nCount, 6);
    const float h1 = 0.45f * std::log(5.0f) * 128.0f * 0.5f;
    EXPECT_EQ(laser.m_Body[0].y, -240.0f);  // ln 1 = 0: the beam starts from a point
    EXPECT_EQ(laser.m_Body[0].x, 236.0f);
    EXPECT_FLOAT_EQ(laser.m_Body[2].y, -240.0f + h1);
    EXPECT_FLOAT_EQ(laser.m_Body[3].y, -240.0f - h1);
    EXPECT_EQ(laser.m_Body[2].tv, 0.0f);
    EXPECT_EQ(laser.m_Body[3].tv, 1.0f);
    // Leftward: u is 1 for even pairs and 0 for odd ones.
    EXPECT_EQ(laser.m_Body[0].tu, 1.0f);
    EXPECT_EQ(laser.m_Body[2].tu, 0.0f);
    EXPECT_EQ(laser.m_Body[4].tu, 1.0f);
    EXPECT_EQ(laser.m_Body[4].x, 231.0f);
    // The head: from the end to 64 px beyond, as high as the last pair, u from 1 to 0.
    EXPECT_EQ(laser.m_Head[0].x, 231.0f);
    EXPECT_EQ(laser.m_Head[1].x, 167.0f);
    EXPECT_FLOAT_EQ(laser.m_Head[0].y, -240.0f + h1);
    EXPECT_FLOAT_EQ(laser.m_Head[2].y, -240.0f - h1);
    EXPECT_EQ(laser.m_Head[0].tu, 1.0f);
    EXPECT_EQ(laser.m_Head[1].tu, 0.0f);
    EXPECT_EQ(laser.m_Head[2].tv, 1.0f);
    EXPECT_EQ(laser.m_Head[0].color, 0xFFFFFFFFu);
    EXPECT_EQ(laser.m_Head[0].specular, 1u);

    CEBLaserEx right;
    Aim(right, 100.0f, -240.0f, 1);
    right.Fire();
    Step();
    EXPECT_EQ(right.m_Body[0].tu, 0.0f);
    EXPECT_EQ(right.m_Body[2].tu, 1.0f);
    EXPECT_EQ(right.m_Head[0].tu, 0.0f);
    EXPECT_EQ(right.m_Head[1].tu, 1.0f);
    EXPECT_EQ(right.m_Head[1].x, right.m_fEndX + 64.0f);
}

TEST_F(EBLaserTest, ABeamAcrossTheWholeScreenKeepsItsStripWithinTheVertexArray)
{
    CEBLaserEx laser;
    Aim(laser, -200.0f, -240.0f, 1);
    laser.Fire();
    GrowToTheEdge(laser);
    EXPECT_EQ(laser.m_nCount, EBLASER_MAX_VERTEX_NUM);
    // The last pair still closes the strip at the end.
    EXPECT_EQ(laser.m_Body[EBLASER_MAX_VERTEX_NUM - 1].x, laser.m_fEndX);
    EXPECT_EQ(laser.m_Body[EBLASER_MAX_VERTEX_NUM - 3].x, laser.m_Body[EBLASER_MAX_VERTEX_NUM - 4].x);
}

TEST_F(EBLaserTest, ItGrowsToTheEdgeHoldsASecondThenNarrowsAwayCyclingItsColours)
{
    CEBLaserEx laser;
    Aim(laser, 300.0f, -240.0f, -1);
    laser.Fire();
    std::vector<int> colours;
    int nGrowing = 0;
    while (laser.m_nState == CEBLaserEx::STATE_GROWING && nGrowing < 100) {
        Step();
        nGrowing++;
        colours.push_back(laser.m_nColor);
    }
    // 236 - 5n passes 0 at n = 48.
    EXPECT_EQ(nGrowing, 48);
    EXPECT_EQ(laser.m_fEndX, -4.0f);
    // Every 20 ms (about every second update at 60 Hz) the next colour, 2 wrapping to 0.
    std::set<int> seen(colours.begin(), colours.end());
    EXPECT_EQ(seen.size(), 3u);
    for (size_t i = 1; i < colours.size(); i++)
        EXPECT_TRUE(colours[i] == colours[i - 1] || colours[i] == (colours[i - 1] + 1) % 3) << i;
    const DWORD dwHeld = CAppTimer::GetElapsed(0);
    while (laser.m_nState == CEBLaserEx::STATE_HOLDING)
        Step();
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwHeld, 1000u);
    EXPECT_LE(CAppTimer::GetElapsed(0) - dwHeld, 1017u);
    EXPECT_EQ(laser.m_fScale, 1.0f);
    Step();
    EXPECT_FLOAT_EQ(laser.m_fScale, 0.8f);
    int n = 1;
    while (!laser.IsIdle() && n < 10) {
        Step();
        n++;
    }
    EXPECT_TRUE(laser.IsIdle());
    EXPECT_GE(n, 5);
    EXPECT_LE(n, 6);
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBLaserTest, ABeamStartingBeyondTheEdgeHoldsAtOnceAndATimedOneNarrowsAfterItsHoldTime)
{
    CEBLaserEx near;
    Aim(near, 600.0f, -240.0f, 1);
    near.Fire();
    Step();
    EXPECT_EQ(near.m_nState, CEBLaserEx::STATE_HOLDING);

    CEBLaserEx timed;
    Aim(timed, 600.0f, -240.0f, -1);
    timed.m_bTimed = 1;
    timed.m_fGrowth = 40.0f;
    timed.m_fScaleStart = 0.2f;
    timed.m_dwHoldTime = 200;
    timed.Fire();
    EXPECT_FLOAT_EQ(timed.m_fScale, 0.2f);
    const DWORD dwFired = CAppTimer::GetElapsed(0);
    while (timed.m_nState == CEBLaserEx::STATE_GROWING)
        Step();
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwFired, 200u);
    EXPECT_EQ(timed.m_nState, CEBLaserEx::STATE_NARROWING);
    // Narrowing began in the same update: 0.2 - 0.1, and the rate slows by 0.01 / (2 x 0.2).
    EXPECT_FLOAT_EQ(timed.m_fScale, 0.1f);
    EXPECT_FLOAT_EQ(timed.m_Narrowing.fValue, 0.1f - 0.025f);

    // Without width a timed beam has nothing to narrow: it stops instead of dividing by zero.
    CEBLaserEx flat;
    Aim(flat, 600.0f, -240.0f, -1);
    flat.m_bTimed = 1;
    flat.m_fScaleStart = 0.0f;
    flat.m_dwHoldTime = 50;
    flat.Fire();
    Step(4);
    EXPECT_TRUE(flat.IsIdle());
}

TEST_F(EBLaserTest, TheHeroineIsHitAlongTheBandsAndNotBesideThem)
{
    CEBLaserEx laser;
    Aim(laser, 100.0f, -240.0f, 1);  // the beam's row is 240 + 16
    laser.Fire();
    GrowToTheEdge(laser);
    // Nothing within the first 94 px beyond the origin.
    EXPECT_FALSE(Hits(laser, 150.0f, 246.0f, 43.0f, 20.0f));
    EXPECT_TRUE(Hits(laser, 150.0f, 246.0f, 44.0f, 20.0f));
    // Near band (194..294): half height 80 about row 256.
    EXPECT_TRUE(Hits(laser, 200.0f, 156.0f, 20.0f, 20.0f));
    EXPECT_FALSE(Hits(laser, 200.0f, 155.0f, 20.0f, 20.0f));
    EXPECT_TRUE(Hits(laser, 200.0f, 335.0f, 20.0f, 20.0f));
    EXPECT_FALSE(Hits(laser, 200.0f, 336.0f, 20.0f, 20.0f));
    // Middle band (294..394): 90.
    EXPECT_TRUE(Hits(laser, 320.0f, 146.0f, 20.0f, 20.0f));
    EXPECT_FALSE(Hits(laser, 320.0f, 145.0f, 20.0f, 20.0f));
    // Far band: 110, out to the head's far end.
    EXPECT_TRUE(Hits(laser, 500.0f, 126.0f, 20.0f, 20.0f));
    EXPECT_FALSE(Hits(laser, 500.0f, 125.0f, 20.0f, 20.0f));
    EXPECT_TRUE(Hits(laser, 600.0f, 365.0f, 20.0f, 20.0f));
    EXPECT_FALSE(Hits(laser, 600.0f, 366.0f, 20.0f, 20.0f));
    EXPECT_TRUE(Hits(laser, laser.m_fEndX + 64.0f, 250.0f, 20.0f, 20.0f));
    EXPECT_FALSE(Hits(laser, laser.m_fEndX + 65.0f, 250.0f, 20.0f, 20.0f));
    // Behind the origin, nothing.
    EXPECT_FALSE(Hits(laser, 40.0f, 246.0f, 20.0f, 20.0f));
    // The view offset moves her box and the beam alike.
    laser.SetScrollSpeed(12.0f);
    EXPECT_TRUE(Hits(laser, 200.0f, 156.0f, 20.0f, 20.0f));
    EXPECT_FALSE(Hits(laser, 200.0f, 155.0f, 20.0f, 20.0f));
    // At half width the bands are half as high.
    laser.SetScrollSpeed(0.0f);
    laser.m_fScale = 0.5f;
    EXPECT_TRUE(Hits(laser, 200.0f, 196.0f, 20.0f, 20.0f));
    EXPECT_FALSE(Hits(laser, 200.0f, 195.0f, 20.0f, 20.0f));
    // A heroine out of play has no box; an idle beam hurts nobody.
    EXPECT_FALSE(Hits(laser, 0.0f, 0.0f, 0.0f, 0.0f));
    laser.Stop();
    EXPECT_FALSE(Hits(laser, 320.0f, 246.0f, 20.0f, 20.0f));
}

TEST_F(EBLaserTest, TheStageHurtsHerThroughTheBeamOnEveryPairTestWhileSheStaysInIt)
{
    CStubPlayer heroine(300.0f, 230.0f);
    CStage stage(heroine);
    CCrushableSet::Register(&heroine);
    CEBLaserEx laser;
    Aim(laser, 100.0f, -240.0f, 1);
    laser.Fire();
    GrowToTheEdge(laser);
    D3DVECTOR q[4];
    laser.GetHitQuad(q);
    EXPECT_EQ(q[0].x + q[2].y, 0.0f);  // no box of its own
    CCrushableSet::CollideAll(&stage);
    CCrushableSet::CollideAll(&stage);
    EXPECT_EQ(heroine.m_nDamage, 10);
    heroine.PlaceDamageBox(300.0f, 40.0f, 32.0f, 48.0f);
    CCrushableSet::CollideAll(&stage);
    EXPECT_EQ(heroine.m_nDamage, 10);
    CCrushableSet::Unregister(&heroine);
}

TEST_F(EBLaserTest, TheTurnedBeamHitsThePointsInsideItWhateverItsAngle)
{
    CEBLaserDx beam;
    Aim(beam, 300.0f, -300.0f, 1);  // origin row 316
    beam.m_fAngle = 1.5707964f;       // straight up the screen
    beam.Fire();
    Step(20);
    const float fLength = beam.m_fEndX - 300.0f;
    ASSERT_GT(fLength, 100.0f);
    EXPECT_TRUE(beam.HitsPoint(300.0f, 316.0f - 50.0f));
    EXPECT_TRUE(beam.HitsPoint(300.0f + 63.0f, 316.0f - 50.0f));
    EXPECT_FALSE(beam.HitsPoint(300.0f + 65.0f, 316.0f - 50.0f));
    EXPECT_FALSE(beam.HitsPoint(300.0f, 316.0f + 10.0f));
    EXPECT_FALSE(beam.HitsPoint(300.0f, 316.0f - fLength - 2.0f));
    beam.m_fAngle = 0.7853982f;  // up and to the right
    EXPECT_TRUE(beam.HitsPoint(300.0f + 70.0f, 316.0f - 70.0f));
    EXPECT_FALSE(beam.HitsPoint(300.0f + 70.0f, 316.0f + 70.0f));
    CStubPlayer heroine;
    heroine.PlaceDamageBox(354.0f, 222.0f, 32.0f, 48.0f);  // centre (370, 246)
    EXPECT_EQ(beam.HitByPlayer(nullptr, &heroine), 1);
    EXPECT_EQ(heroine.m_nDamage, 5);
}

TEST_F(EBLaserTest, AChargeFallsIntoItsCoreFadesAndLeavesTheGamesRandomNumbersAlone)
{
    CEBCharge charge;
    charge.SetPosition(D3DVECTOR{{300.0f}, {-200.0f}, {0.0f}});
    CrtSrand(7);
    const int nExpected = CrtRand();
    CEffectRandom explosions = GetExplosionRandom();
    CrtSrand(7);
    ASSERT_GE(charge.Fire(), 0);
    // Neither the game's rand nor the explosions' generator moved.
    EXPECT_EQ(CrtRand(), nExpected);
    EXPECT_EQ(GetExplosionRandom().Rand(), explosions.Rand());
    float fFirst[EBCHARGE_PARTICLES];
    for (int i = 0; i < EBCHARGE_PARTICLES; i++) {
        const CHARGEPARTICLE& p = charge.m_Particles[i];
        EXPECT_GE(p.fDistance, 50.0f);
        EXPECT_LT(p.fDistance, 100.0f);
        EXPECT_NEAR(std::hypot(p.x, p.y), p.fDistance, 1e-3f);
        EXPECT_EQ(p.fSize, 0.0f);
        fFirst[i] = p.fDistance;
    }
    Step();  // the inward speed is still 0
    EXPECT_FLOAT_EQ(charge.m_fCoreSize, 1.0f / 30.0f);
    EXPECT_FLOAT_EQ(charge.m_Particles[0].fSize, 0.1f);
    EXPECT_EQ(charge.m_Particles[0].fDistance, fFirst[0]);
    Step();
    EXPECT_EQ(charge.m_Particles[0].fDistance, fFirst[0] - 1.0f);
    // A particle that reaches the core starts again on the ring at size 0, and where it starts is
    // the looks' generator's, seeded by the time: this one is kept far out so that it only grows.
    charge.m_Particles[0].fDistance = 1.0e6f;
    Step(20);
    EXPECT_FLOAT_EQ(charge.m_Particles[0].fSize, 0.7f);  // held at the maximum less 0.3
    charge.m_dwDuration = 800;
    const DWORD dwStart = charge.m_dwStart;
    while (charge.m_nState == CEBCharge::STATE_CHARGING)
        Step();
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwStart, 800u);
    EXPECT_EQ(charge.m_bEnded, 1);
    int n = 0;
    while (!charge.IsIdle() && n < 20) {
        Step();
        n++;
    }
    EXPECT_TRUE(charge.IsIdle());
    EXPECT_LE(n, 4);  // the core, at 1.0 or less, falls by 0.3 an update
    // Fired again, all six start on the ring anew.
    charge.Fire();
    int nMoved = 0;
    for (int i = 0; i < EBCHARGE_PARTICLES; i++)
        nMoved += charge.m_Particles[i].fDistance != fFirst[i] ? 1 : 0;
    EXPECT_EQ(nMoved, EBCHARGE_PARTICLES);
    EXPECT_EQ(charge.m_fCoreSize, 0.0f);
    charge.Stop();
}

} // namespace
