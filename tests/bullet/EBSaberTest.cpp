// The beam sabers update by update: the blade's lit run and its trail, angles that light nothing,
// the fade that leaves a swing harmless but listed, the hit area on the facing side, contact and
// bullets that meet a blade, the thrown crescent's speeds, box and exits, and the glow's frames.
#include <cmath>

#include "BulletFixture.h"
#include "bullet/EBSaber.h"
#include "bullet/EBSaberLight.h"

namespace {

// The heroine's side of a contact: counts the blades that reach her.
class CContact : public CCrushable {
public:
    CContact() : CCrushable(CRUSH_PLAYER) {}
    int HitByEnemyBullet(CStage*, CCrushable*) override { return ++m_nHits; }
    int m_nHits = 0;
};

class EBSaberTest : public CBulletTest {
protected:
    static void ExpectGrey(const CEBSaber& s, int i, float f)
    {
        for (int c = 0; c < 3; c++)
            EXPECT_FLOAT_EQ(s.GetColor(i, c), f) << "vertex " << i;
    }
    static void ExpectBox(const D3DVECTOR* q, float l, float t, float r, float b)
    {
        EXPECT_EQ(q[0].x, l);
        EXPECT_EQ(q[0].y, t);
        EXPECT_EQ(q[2].x, r);
        EXPECT_EQ(q[2].y, b);
        EXPECT_EQ(q[1].x, r);
        EXPECT_EQ(q[1].y, t);
        EXPECT_EQ(q[3].x, l);
        EXPECT_EQ(q[3].y, b);
    }
};

TEST_F(EBSaberTest, TheCrescentLiesBetweenTheHalfEllipseAndTheHalfCircle)
{
    CEBSaber s;
    CEBMoveSaber m;
    for (int k = 0; k < 20; k++) {
        const float a = (float)k * 0.157f;
        EXPECT_FLOAT_EQ(s.m_Vertices[2 * k].x, 100.0f * std::cos(a));
        EXPECT_FLOAT_EQ(s.m_Vertices[2 * k].y, 50.0f * std::sin(a));
        EXPECT_FLOAT_EQ(s.m_Vertices[2 * k + 1].x, 100.0f * std::cos(a));
        EXPECT_FLOAT_EQ(s.m_Vertices[2 * k + 1].y, 100.0f * std::sin(a));
        EXPECT_EQ(s.m_Vertices[2 * k].tu, 0.0f);
        EXPECT_EQ(s.m_Vertices[2 * k + 1].tu, 0.8f);
        EXPECT_EQ(s.m_Vertices[2 * k + 1].color, 0xFF000000u);
        EXPECT_EQ(m.m_Vertices[2 * k].color, 0xFF000000u);
        EXPECT_EQ(m.m_Vertices[2 * k + 1].color, 0xFFFFFFFFu);
    }
    // Neither is in play before it is fired.
    EXPECT_TRUE(s.IsIdle());
    EXPECT_TRUE(m.IsIdle());
}

TEST_F(EBSaberTest, ABladeAtTheStartLightsVertexOneAndATrailThatDarkensByAPairAtATime)
{
    CEBSaber s;
    s.SetBlade(0.01f, 1.0f, 1.0f, 1.0f);
    ExpectGrey(s, 1, 1.0f);
    ExpectGrey(s, 0, 0.95f);
    for (int n = 1; n <= 18; n++) {
        ExpectGrey(s, 1 + 2 * n, 1.0f - 0.05f * (float)n);
        ExpectGrey(s, 2 * n, 1.0f - 0.05f * (float)(n + 1));
    }
    ExpectGrey(s, 38, 0.0f);
    ExpectGrey(s, 39, 0.0f);
    EXPECT_EQ(s.m_Vertices[1].color, 0xFFFFFFFFu);
    // 0.95 x 255 = 242.25: each component truncated.
    EXPECT_EQ(s.m_Vertices[0].color, 0xFFF2F2F2u);
    EXPECT_EQ(s.m_Vertices[38].color, 0xFF000000u);
}

TEST_F(EBSaberTest, ABladeNearTheEndTrailsBackwardsAndNothingBeyondTheBandIsWritten)
{
    CEBSaber s;
    s.SetBlade(2.97f, 1.0f, 0.5f, 0.25f);  // index 37
    EXPECT_FLOAT_EQ(s.GetColor(38, 0), 1.0f);
    EXPECT_FLOAT_EQ(s.GetColor(38, 1), 0.5f);
    EXPECT_FLOAT_EQ(s.GetColor(37, 2), 0.2f);
    for (int n = 1; n <= 18; n++) {
        EXPECT_FLOAT_EQ(s.GetColor(38 - 2 * n, 0), 1.0f - 0.05f * (float)n) << n;
        EXPECT_FLOAT_EQ(s.GetColor(37 - 2 * n, 0), 1.0f - 0.05f * (float)(n + 1)) << n;
    }
    EXPECT_EQ(s.GetColor(0, 0), 0.0f);
    EXPECT_EQ(s.GetColor(39, 0), 0.0f);
    EXPECT_EQ(s.m_Vertices[38].color, 0xFFFF7F3Fu);
    // A trail that runs below zero packs as nothing rather than into the other components.
    EXPECT_EQ(PackSaberColor(-0.5f, 1.0f, 2.0f), 0xFF00FFFFu);

    // At the very end of the range the lit pair would lie past the last vertex: the band's own
    // vertices stay whole, and the positions that follow the colours are untouched.
    CEBSaber e;
    const D3DLVERTEX before = e.m_Vertices[0];
    e.SetBlade(3.14f, 1.0f, 1.0f, 1.0f);
    EXPECT_GT(e.GetColor(39, 0), 0.0f);
    EXPECT_EQ(e.m_Vertices[0].x, before.x);
    EXPECT_EQ(e.m_Vertices[0].y, before.y);
}

TEST_F(EBSaberTest, AnglesOutsideTheBandLightNothing)
{
    for (float fAngle : {3.15f, -0.01f, std::nanf("")}) {
        CEBSaber s;
        s.SetBlade(fAngle, 1.0f, 1.0f, 1.0f);
        for (int i = 0; i < EBSABER_VERTEX_NUM; i++) {
            ExpectGrey(s, i, 0.0f);
            EXPECT_EQ(s.m_Vertices[i].color, 0xFF000000u);
        }
    }
}

TEST_F(EBSaberTest, ASwingFadesOutInFifteenUpdatesThenHurtsNoMoreButStaysListedUntilStopped)
{
    CEBSaber s;
    s.SetPosition(D3DVECTOR{{300.0f}, {-240.0f}, {0.0f}});
    s.SetBlade(0.01f, 1.0f, 1.0f, 1.0f);
    ASSERT_GE(s.Fire(), 0);
    EXPECT_FALSE(s.IsIdle());
    EXPECT_GE(s.CCrushable::m_nIndex, 0);
    EXPECT_GE(s.CScrollable::m_nIndex, 0);
    CContact her;
    EXPECT_EQ(s.Collide(nullptr, &her), 1);
    Step();
    ExpectGrey(s, 1, 1.0f - 0.07f);
    ExpectGrey(s, 0, 0.95f - 0.07f);
    ExpectGrey(s, 38, 0.0f);
    Step(13);
    EXPECT_FALSE(s.IsIdle());
    EXPECT_NE(s.m_Vertices[1].color, 0xFF000000u);
    Step();  // the fifteenth: the brightest component falls below zero
    EXPECT_TRUE(s.IsIdle());
    for (int i = 0; i < EBSABER_VERTEX_NUM; i++)
        EXPECT_EQ(s.m_Vertices[i].color, 0xFF000000u);
    EXPECT_EQ(s.Collide(nullptr, &her), 0);
    EXPECT_EQ(her.m_nHits, 1);
    EXPECT_GE(s.CCrushable::m_nIndex, 0);
    EXPECT_EQ(RegistryCount(), 1);
    s.Stop();
    EXPECT_EQ(s.CCrushable::m_nIndex, -1);
    EXPECT_EQ(s.CScrollable::m_nIndex, -1);
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBSaberTest, TheHitAreaLiesBesideTheCentreOnTheFacingSideLoweredByTheViewOffset)
{
    CEBSaber s;
    s.SetPosition(D3DVECTOR{{300.0f}, {-240.0f}, {0.0f}});
    s.Fire();
    m_fViewOffset = 8.0f;
    Step();
    D3DVECTOR q[4];
    s.m_nDirection = 1;
    s.GetHitQuad(q);
    ExpectBox(q, 120.0f, 164.0f, 300.0f, 364.0f);
    s.m_nDirection = 5;
    s.GetQuad(q);
    ExpectBox(q, 120.0f, 164.0f, 300.0f, 364.0f);
    s.m_nDirection = -1;
    s.GetHitQuad(q);
    ExpectBox(q, 300.0f, 164.0f, 480.0f, 364.0f);
    s.m_nDirection = 0;
    s.GetHitQuad(q);
    ExpectBox(q, 0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(EBSaberTest, ABulletThatMeetsABladeDecidesAloneAndNothingIsScoredOrBroken)
{
    CEBSaber s;
    CTestGun gun(50);
    EXPECT_EQ(s.HitByPlayerBullet(nullptr, &gun), 0);  // not in play: the bullet is not asked
    EXPECT_EQ(gun.m_nConfirms, 0);
    s.SetBlade(0.01f, 1.0f, 1.0f, 1.0f);
    s.Fire();
    EXPECT_EQ(s.HitByPlayerBullet(nullptr, &gun), 1);
    gun.m_nConfirm = 0;
    EXPECT_EQ(s.HitByPlayerBullet(nullptr, &gun), 0);
    EXPECT_EQ(gun.m_nConfirms, 2);
    EXPECT_FALSE(s.IsIdle());

    CEBMoveSaber m;
    m.SetPosition(D3DVECTOR{{300.0f}, {-240.0f}, {0.0f}});
    m.Fire();
    gun.m_nConfirm = 1;
    EXPECT_EQ(m.HitByPlayerBullet(nullptr, &gun), 1);
    EXPECT_FALSE(m.IsIdle());
    m.Stop();
    EXPECT_EQ(m.HitByPlayerBullet(nullptr, &gun), 0);
    EXPECT_EQ(gun.m_nConfirms, 3);
}

// The thrown crescent as the boss sets it up.
void PresetThrow(CEBMoveSaber& m, float x, float fAngle)
{
    m.m_Speed.Set(5.0f, 1.7f, 0.0f, 0.0f, 0);
    m.m_fAngle = fAngle;
    m.m_vScale = D3DVECTOR{{1.7f}, {1.0f}, {1.0f}};
    m.SetPosition(D3DVECTOR{{x}, {-276.0f}, {0.0f}});
}

TEST_F(EBSaberTest, AThrownCrescentSpeedsUpByOnePointSevenAndStopsItselfBeyondTheScreen)
{
    CEBMoveSaber m;
    PresetThrow(m, 600.0f, 3.14f);
    m.m_Speed.fValue = -3.0f;  // Fire starts from the preset's start, whatever the value was left at
    ASSERT_GE(m.Fire(), 0);
    float x = 600.0f;
    for (float fExpected : {5.0f, 6.7f, 8.4f, 10.1f}) {
        Step();
        EXPECT_NEAR(x - m.m_vPos.x, fExpected, 1e-3f);
        x = m.m_vPos.x;
    }
    int n = 4;
    while (!m.IsIdle() && n < 100) {
        x = m.m_vPos.x;
        Step(), n++;
    }
    EXPECT_TRUE(m.IsIdle());
    EXPECT_GE(x, -170.0f);
    EXPECT_LT(m.m_vPos.x, -170.0f);
    EXPECT_EQ(RegistryCount(), 0);
    EXPECT_EQ(m.CCrushable::m_nIndex, -1);

    // Rightwards it goes on to 640 + 170.
    PresetThrow(m, 300.0f, 0.0f);
    m.Fire();
    for (n = 0; !m.IsIdle() && n < 100; n++) {
        x = m.m_vPos.x;
        Step();
    }
    EXPECT_LE(x, 810.0f);
    EXPECT_GT(m.m_vPos.x, 810.0f);
}

TEST_F(EBSaberTest, AThrownCrescentsBoxLeadsOnTheSideItFlies)
{
    CEBMoveSaber m;
    PresetThrow(m, 400.0f, 3.14f);
    m.Fire();
    m_fViewOffset = 4.0f;
    Step();  // now at x 395
    D3DVECTOR q[4];
    m.GetHitQuad(q);
    // x - 170 + 10 .. x - 85, rows 276 + 4 + 16 +- 50; flying left the shift rounds to nothing
    // (the flight drifts a hair upwards at 3.14).
    const float fRow = -m.m_vPos.y + 4.0f + 16.0f;
    EXPECT_NEAR(fRow, 296.0f, 0.01f);
    ExpectBox(q, 235.0f, fRow - 50.0f, 310.0f, fRow + 50.0f);
    m.Stop();
    PresetThrow(m, 400.0f, 0.0f);
    m.Fire();
    Step();  // x 405; shifted right by trunc(2 x 0.725 x 170) = 246
    m.GetHitQuad(q);
    ExpectBox(q, 491.0f, 246.0f, 566.0f, 346.0f);
    CContact her;
    EXPECT_EQ(m.Collide(nullptr, &her), 1);
    m.Stop();
    EXPECT_EQ(m.Collide(nullptr, &her), 0);
}

TEST_F(EBSaberTest, TheGlowChangesFrameEveryThirtyMillisecondsOnlyWhileRunning)
{
    CEBSaberLight light;
    Step(5);
    light.Update();
    EXPECT_EQ(light.m_nFrame, 0);  // not started
    light.m_bBusy = 0;
    light.Update();
    EXPECT_EQ(light.m_nFrame, 0);
    light.Start();
    const DWORD dwStart = CAppTimer::GetElapsed(0);
    int nChanges = 0, nLast = 0;
    for (int i = 0; i < 12; i++) {
        Step();
        light.Update();
        if (light.m_nFrame != nLast) {
            nChanges++;
            nLast = light.m_nFrame;
        }
    }
    // 200 ms: a change every second update, each strictly more than 30 ms after the last.
    EXPECT_EQ(CAppTimer::GetElapsed(0) - dwStart, 200u);
    EXPECT_EQ(nChanges, 6);
    light.Stop();
    const int nFrame = light.m_nFrame;
    Step(3);
    light.Update();
    EXPECT_EQ(light.m_nFrame, nFrame);
    // Unloaded, it draws nothing and says so without failing.
    EXPECT_EQ(light.Render(nullptr, 0, 0, 200, 200, 0), 1);
}

TEST_F(EBSaberTest, TheGlowSitsOnTheBladeOfTheBodyPictureAndMirrorsWithIt)
{
    CEBSaberLight light;
    float x = 0.0f, y = 0.0f;
    // With no pictures the glow has no size: its corner sits on the blade's place.
    light.GetCenter(100, 50, 240, 260, 0, &x, &y);
    EXPECT_EQ(x, 239.0f);
    EXPECT_EQ(y, 242.0f);
    light.GetCenter(100, 50, 240, 260, 1, &x, &y);
    EXPECT_EQ(x, 100.0f + 240.0f - 140.0f);
    EXPECT_EQ(y, 242.0f);
}

} // namespace
