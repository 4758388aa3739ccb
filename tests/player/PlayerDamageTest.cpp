// What changes the heroine's standing, tick by tick: the level a hit costs and the progress it gives
// back, half damage, the blink, the miss and its effect, PLAY_OUT, the hit handlers, the aerial
// mode's phases and the hit effects' placement.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"
#include "engine/WinMain.h"
#include "platform/win/Win.h"
#include "player/FakeEffects.h"
#include "player/OptionIcon.h"
#include "player/PlayerFixture.h"
#include "stage/Neighbours.h"

namespace {

const float kGravity = 16.333333f * 0.1f;

class PlayerDamage : public CPlayerFixture {
protected:
    void SetUp() override
    {
        CPlayerFixture::SetUp();
        m_pPlayer->SetEffects(&m_Effects);
        // The shield, once charged, would take the hits these tests count.
        m_pPlayer->SetSubWeapon(SUBWEAPON_HAWK_WIND);
    }
    void TearDown() override
    {
        m_pPlayer->SetEffects(nullptr);
        CPlayerFixture::TearDown();
    }

    // Experience given at once, and the cockpit left to settle on its level.
    void GiveExp(int nExp)
    {
        m_pPlayer->AddExp(nExp, 0, 0);
        Ticks(2);
        ASSERT_EQ(m_pPlayer->GetCockpit().GetLevel(), m_pPlayer->GetCockpit().GetPendingLevel());
    }
    // Past the blink of the last hit.
    void WaitOutBlink() { Ticks(61); }

    CFakeEffects m_Effects;
};

// An enemy shot with a box of its own.
class Shot : public IEnemyBullet {
public:
    Shot(float x, float y, float w, float h)
    {
        m_Quad[0] = D3DVECTOR{x, y, 0.0f};
        m_Quad[1] = D3DVECTOR{x + w, y, 0.0f};
        m_Quad[2] = D3DVECTOR{x + w, y + h, 0.0f};
        m_Quad[3] = D3DVECTOR{x, y + h, 0.0f};
    }
    void GetHitQuad(D3DVECTOR* pOut) override
    {
        for (int i = 0; i < 4; i++)
            pOut[i] = m_Quad[i];
    }
    D3DVECTOR m_Quad[4];
};

class Part : public IEnemyPart {
public:
    Part(float x, float y, float w, float h) : m_Box(x, y, w, h) {}
    void GetHitQuad(D3DVECTOR* pOut) override { m_Box.GetHitQuad(pOut); }
    D3DVECTOR* GetPos(D3DVECTOR* pOut) override
    {
        *pOut = D3DVECTOR{};
        return pOut;
    }
    BOOL IsDead() override { return m_bInactive; }
    Shot m_Box;
    BOOL m_bInactive = 0;
};

} // namespace

TEST_F(PlayerDamage, AHitCostsALevelAndGivesBackTheProgressInsideIt)
{
    struct CASE {
        int nExp, nLevelBefore, nLevelAfter, nExpAfter;
    };
    const CASE cases[] = {{75, 6, 5, 43}, {200, 8, 7, 96}, {20, 4, 4, 0}, {40, 5, 4, 8}};
    for (const CASE& c : cases) {
        StartStanding();
        CPlayer& p = *m_pPlayer;
        GiveExp(c.nExp);
        ASSERT_EQ(p.GetCockpit().GetLevel(), c.nLevelBefore) << c.nExp;
        p.Damage(5);
        EXPECT_EQ(p.GetLife(), 90);
        EXPECT_EQ(p.GetCockpit().GetPendingLevel(), c.nLevelAfter) << c.nExp;
        EXPECT_EQ(p.GetCockpit().GetLevel(), c.nLevelAfter) << c.nExp;
        EXPECT_EQ(p.GetExp(), c.nExpAfter) << c.nExp;
        EXPECT_EQ(p.GetGunLevel(), c.nLevelAfter);
        Tick();
        EXPECT_EQ(p.GetGun().GetLevel(), c.nLevelAfter);
        // The experience gauge shows what is left inside the new level.
        const float fShown = c.nLevelAfter == 8 ? 32.0f : (float)(c.nExpAfter - (c.nLevelAfter - 4) * 32);
        EXPECT_FLOAT_EQ(p.GetCockpit().GetExpGauge().GetValue(), fShown) << c.nExp;
    }
}

TEST_F(PlayerDamage, HalfDamageCostsFiveLifeAndNoLevel)
{
    g_nOptionFlags[OPTION_HALF_DAMAGE] = 1;
    StartStanding();
    CPlayer& p = *m_pPlayer;
    GiveExp(75);
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), 95);
    EXPECT_EQ(p.GetCockpit().GetPendingLevel(), 6);
    EXPECT_EQ(p.GetExp(), 75);
    // Twenty hits from full life to the miss.
    int nHits = 1;
    while (!(p.GetState() & PLAYER_STATE_MISS) && nHits < 50) {
        WaitOutBlink();
        p.Damage(5);
        nHits++;
    }
    EXPECT_EQ(nHits, 20);
    EXPECT_EQ(p.GetLife(), 0);
}

TEST_F(PlayerDamage, TheBlinkShieldsHerAndTheVoicesTakeTurns)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    p.Damage(5);
    EXPECT_EQ(p.GetVoiceCount(), 1);
    EXPECT_EQ(m_Effects.m_nDamageStarts, 1);
    EXPECT_EQ(p.GetCockpit().GetFace().GetFace(), FACE_DAMAGE);
    EXPECT_FALSE(p.GetDamagedPop().IsFinished());
    // A second hit within GLIM_TIME costs nothing at all.
    Ticks(30);
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), 90);
    EXPECT_EQ(p.GetVoiceCount(), 1);
    EXPECT_EQ(m_Effects.m_nDamageStarts, 1);
    for (int i = 0; i < 8; i++) {
        WaitOutBlink();
        p.Damage(5);
    }
    EXPECT_EQ(p.GetLife(), 10);
    EXPECT_EQ(p.GetVoiceCount(), 0);  // nine voices, round again
}

TEST_F(PlayerDamage, TheLastHitPutsHerOutAndStartsTheMissOnce)
{
    StartStanding(250.0f);
    CPlayer& p = *m_pPlayer;
    for (int i = 0; i < 9; i++) {
        p.Damage(5);
        WaitOutBlink();
    }
    ASSERT_EQ(p.GetLife(), 10);
    EXPECT_EQ(m_Effects.m_nMissStarts, 0);
    const D3DVECTOR at = Pos();
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), 0);
    EXPECT_TRUE(p.IsOut());
    EXPECT_NE(p.GetState() & PLAYER_STATE_MISS, 0u);
    ASSERT_EQ(m_Effects.m_nMissStarts, 1);
    EXPECT_EQ(m_Effects.m_fMissX, at.x);
    EXPECT_EQ(m_Effects.m_fMissY, at.y);
    EXPECT_EQ(p.GetCockpit().GetFace().GetFace(), FACE_DAMAGE);
    // The stage puts her out again when it sees the miss: nothing starts twice.
    p.Miss();
    EXPECT_EQ(m_Effects.m_nMissStarts, 1);
    // Her picture flies up at 15 and falls back by 0.9 a tick, away from where she stood.
    float y = at.y, v = -15.0f;
    for (int i = 0; i < 40; i++) {
        Tick();
        y += v;
        v += 0.9f;
        ASSERT_EQ(p.GetMissPosition().y, y) << i;
    }
    EXPECT_EQ(p.GetMissPosition().x, at.x);
    EXPECT_FLOAT_EQ(Pos().x, at.x);
    EXPECT_EQ(m_Effects.m_nMissUpdates, m_Effects.m_nPlaced);
    // Nothing hurts her while she is out; the face stays hurt for good.
    WaitOutBlink();
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), 0);
    EXPECT_EQ(p.GetCockpit().GetFace().GetFace(), FACE_DAMAGE);
    // A restart stops both effects and gives her everything back.
    const int nStops = m_Effects.m_nMissStops;
    p.Start(0, 1);
    EXPECT_EQ(m_Effects.m_nMissStops, nStops + 1);
    EXPECT_GE(m_Effects.m_nDamageStops, 1);
    EXPECT_FALSE(p.IsOut());
    EXPECT_EQ(p.GetLife(), 100);
    EXPECT_EQ(p.GetCockpit().GetFace().GetFace(), FACE_NORMAL);
    EXPECT_EQ(p.GetCockpit().IsDanger(), 0);
}

TEST_F(PlayerDamage, AFallOutIsAMissWithTheSameSequence)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    p.SetPosition(D3DVECTOR{300.0f, 700.0f, 0.0f});
    p.Miss();
    EXPECT_EQ(m_Effects.m_nMissStarts, 1);
    EXPECT_EQ(m_Effects.m_fMissY, 700.0f);
    EXPECT_EQ(p.GetMissSpeed().fValue, -15.0f);
    EXPECT_EQ(p.GetLife(), 100);  // out, not hurt
}

TEST_F(PlayerDamage, WithPlayOutZeroLifeRunsBelowZeroAndPlayGoesOn)
{
    UseParams({"#PLAY_OUT 0"});
    m_pPlayer->SetEffects(&m_Effects);
    m_pPlayer->SetSubWeapon(SUBWEAPON_HAWK_WIND);
    StartStanding();
    CPlayer& p = *m_pPlayer;
    for (int i = 0; i < 10; i++) {
        p.Damage(5);
        WaitOutBlink();
    }
    EXPECT_EQ(p.GetLife(), 0);
    EXPECT_FALSE(p.IsOut());
    // Out of life there is no blink to shield her: the next hit lands at once.
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), -10);
    EXPECT_EQ(p.GetState() & PLAYER_STATE_BLINKS, 0u);
    EXPECT_EQ(p.GetLifeRatio(), 0.0f);
    EXPECT_EQ(m_Effects.m_nMissStarts, 0);
    EXPECT_EQ(p.GetCockpit().GetLifeGauge(0).GetValue(), 0.0f);
    p.AddLife(0.6f);
    EXPECT_EQ(p.GetLife(), 50);
    EXPECT_EQ(p.GetLifeRatio(), 0.5f);
}

TEST_F(PlayerDamage, ShotsAndPartsHitHerDamageBoxOnly)
{
    StartStanding(200.0f);
    CPlayer& p = *m_pPlayer;
    RECT rc;
    p.GetDamageRect(&rc);  // 184..216 x 248..272
    Shot far((float)rc.right + 2.0f, (float)rc.top, 8.0f, 8.0f);
    EXPECT_EQ(p.HitByEnemyBullet(nullptr, &far), 0);
    Shot gone(0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(p.HitByEnemyBullet(nullptr, &gone), 0);
    Part dead((float)rc.left, (float)rc.top, 8.0f, 8.0f);
    dead.m_bInactive = 1;
    EXPECT_EQ(p.HitByEnemyPart(nullptr, &dead), 0);
    EXPECT_EQ(p.GetLife(), 100);
    Shot touching((float)rc.right - 2.0f, (float)rc.bottom - 2.0f, 8.0f, 8.0f);
    EXPECT_EQ(p.HitByEnemyBullet(nullptr, &touching), 1);
    EXPECT_EQ(p.GetLife(), 90);
    // A part in the blink still touches her, but costs nothing.
    Part live((float)rc.left, (float)rc.top, 8.0f, 8.0f);
    EXPECT_EQ(p.HitByEnemyPart(nullptr, &live), 1);
    EXPECT_EQ(p.GetLife(), 90);
    WaitOutBlink();
    EXPECT_EQ(p.HitByEnemyPart(nullptr, &live), 1);
    EXPECT_EQ(p.GetLife(), 80);
}

TEST_F(PlayerDamage, TheHitEffectsFollowHerPointEveryTick)
{
    StartStanding(200.0f);
    CPlayer& p = *m_pPlayer;
    const int nPlaced = m_Effects.m_nPlaced;
    Tick();
    const D3DVECTOR v = Pos();
    EXPECT_EQ(m_Effects.m_nPlaced, nPlaced + 1);
    // Placed before her move of the tick, from where Update saw her.
    EXPECT_EQ(m_Effects.m_vDamage.x, v.x + 40.0f);
    EXPECT_EQ(m_Effects.m_vDamage.y, -(v.y - 60.0f));
    EXPECT_EQ(m_Effects.m_fFlashAngle, 3.14f);
    EXPECT_EQ(m_Effects.m_vFlash.x, v.x + 60.0f);
    EXPECT_EQ(m_Effects.m_vFlash.y, -(v.y - 100.0f));
    EXPECT_EQ(m_Effects.m_nDamageUpdates, m_Effects.m_nPlaced);
    EXPECT_EQ(p.RenderWeapons(g_lpD3DDevice), 1);
    EXPECT_EQ(m_Effects.m_nDamageRenders, 1);
    EXPECT_EQ(p.DrawEffects(g_lpDDSBack), 1);
    EXPECT_EQ(m_Effects.m_nMissRenders, 1);
    // Out, her weapons and hit effects are not drawn.
    p.Miss();
    EXPECT_EQ(p.RenderWeapons(g_lpD3DDevice), 1);
    EXPECT_EQ(m_Effects.m_nDamageRenders, 1);
}

TEST_F(PlayerDamage, WithTheIonShieldChargedAHitStillCostsALevelAndSpendsTheCharge)
{
    m_pPlayer->SetSubWeapon(SUBWEAPON_ION_SHIELD);
    StartStanding();
    CPlayer& p = *m_pPlayer;
    GiveExp(40);
    int n = 0;
    while (!p.GetCockpit().IsCharged() && n < 1000) {
        Tick();
        n++;
    }
    ASSERT_TRUE(p.GetCockpit().IsCharged());
    p.Damage(5);
    EXPECT_EQ(p.GetCockpit().GetPendingLevel(), 4);
    EXPECT_FALSE(p.GetCockpit().IsCharged());
    // The shield takes the life.
    EXPECT_EQ(p.GetLife(), 100);
    EXPECT_FALSE(p.GetIonShield().IsFinished());
}

TEST_F(PlayerDamage, TheAerialModeRidesThenLaunchesHoversAndFliesFree)
{
    StartStanding(200.0f);
    CPlayer& p = *m_pPlayer;
    const DWORD dwStart = CAppTimer::GetElapsed(0);
    p.StartAerialMode();
    EXPECT_NE(p.GetState() & PLAYER_STATE_AERIAL_WAIT, 0u);
    EXPECT_EQ(p.IsLaunched(), 0);
    p.StartAerialMode();  // ignored while it runs
    // She rides on the ground, keys and gravity as ever, until more than 2000 ms have passed.
    int nTicks = 0;
    while (!p.IsLaunched() && nTicks < 300) {
        Tick();
        nTicks++;
        if (!p.IsLaunched()) {
            ASSERT_LE(CAppTimer::GetElapsed(0) - dwStart, 2000u);
            ASSERT_FLOAT_EQ(Pos().y, kGroundY);
        }
    }
    ASSERT_TRUE(p.IsLaunched());
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwStart, 2000u);
    EXPECT_NE(p.GetState() & PLAYER_STATE_JUMP, 0u);
    EXPECT_EQ(p.GetAerialDrift().fValue, 3.0f);
    // The rise runs out by one gravity step a tick while the drift carries her on and decays.
    float v = p.GetVerticalSpeed();
    EXPECT_EQ(v, 16.0f);
    Tick();
    EXPECT_FLOAT_EQ(p.GetVerticalSpeed(), 16.0f - kGravity);
    EXPECT_EQ(p.GetAerialDrift().fValue, 3.0f - 0.09f);
    EXPECT_NE(p.GetState() & PLAYER_STATE_EMBEDDED, 0u);
    // A tick's move lands with the next tick's Move.
    const float x0 = Pos().x;
    Tick();
    EXPECT_FLOAT_EQ(Pos().x, x0 + 3.0f);
    // Keys do not move her yet.
    Press(VK_RIGHT);
    nTicks = 0;
    while (!(p.GetState() & PLAYER_STATE_AERIAL_HOVER) && nTicks < 100) {
        Tick();
        nTicks++;
    }
    ASSERT_NE(p.GetState() & PLAYER_STATE_AERIAL_HOVER, 0u);
    EXPECT_EQ(p.GetVerticalSpeed(), 0.0f);
    const D3DVECTOR hover = Pos();
    Ticks(10);
    EXPECT_FLOAT_EQ(Pos().y, hover.y);
    // After the hover she flies free: Right moves her by SPEED.
    nTicks = 0;
    while (!(p.GetState() & PLAYER_STATE_AERIAL_FREE) && nTicks < 200) {
        Tick();
        nTicks++;
    }
    ASSERT_NE(p.GetState() & PLAYER_STATE_AERIAL_FREE, 0u);
    EXPECT_GT(nTicks, 100);
    Tick();
    const float x1 = Pos().x;
    Tick();
    EXPECT_FLOAT_EQ(Pos().x, x1 + 2.0f);
    Release(VK_RIGHT);
    Press(VK_UP);
    Ticks(2);
    const float y1 = Pos().y;
    Tick();
    EXPECT_FLOAT_EQ(Pos().y, y1 - 2.0f);
    Release(VK_UP);
    // It lasts until she starts again.
    p.Start(0, 1);
    EXPECT_EQ(p.GetState() & PLAYER_STATE_AERIAL, 0u);
}

TEST_F(PlayerDamage, AnAerialLaunchAboveTheViewComesBackDownToTheHoverHeight)
{
    StartStanding(200.0f);
    CPlayer& p = *m_pPlayer;
    p.StartAerialMode();
    while (!p.IsLaunched())
        Tick();
    p.SetPosition(D3DVECTOR{200.0f, -40.0f, 0.0f});
    int n = 0;
    float y = Pos().y;
    while (p.GetVerticalSpeed() > 0.0f && n < 100) {
        y = Pos().y;  // where the tick's Update sees her
        Tick();
        n++;
    }
    // At the top of the rise, above the view: down at the speed that runs out 100 px below the top.
    ASSERT_LT(y, 0.0f);
    EXPECT_FLOAT_EQ(p.GetVerticalSpeed(), -sqrtf(2.0f * (100.0f - y) * kGravity));
    EXPECT_EQ(p.GetState() & PLAYER_STATE_AERIAL_HOVER, 0u);
    while (!(p.GetState() & PLAYER_STATE_AERIAL_HOVER) && n < 200) {
        Tick();
        n++;
    }
    ASSERT_NE(p.GetState() & PLAYER_STATE_AERIAL_HOVER, 0u);
    EXPECT_GT(Pos().y, 90.0f);
    EXPECT_LT(Pos().y, 115.0f);
}

// Launched near the right edge, the drift carries her past the flight box: the box draws her back
// in at SPEED a tick, and then Left and Right move her as anywhere else.
TEST_F(PlayerDamage, AFlightStartedPastTheBoxComesBackInAndKeepsLeftAndRight)
{
    StartStanding(605.0f);
    CPlayer& p = *m_pPlayer;
    p.StartAerialMode();
    int n = 0;
    while (!(p.GetState() & PLAYER_STATE_AERIAL_FREE) && n < 400) {
        Tick();
        n++;
    }
    ASSERT_NE(p.GetState() & PLAYER_STATE_AERIAL_FREE, 0u);
    const D3DVECTOR start = Pos();
    ASSERT_GT(start.x, 620.0f);
    n = 0;
    while (Pos().x > 608.0f && n < 60) {
        Tick();
        n++;
    }
    EXPECT_LE(Pos().x, 608.0f);
    EXPECT_LE(n, (int)((start.x - 608.0f) / 2.0f) + 3);
    EXPECT_FLOAT_EQ(Pos().y, start.y);
    Press(VK_LEFT);
    Ticks(2);
    const float x1 = Pos().x;
    Tick();
    EXPECT_FLOAT_EQ(Pos().x, x1 - 2.0f);
    Ticks(5);
    Release(VK_LEFT);
    Press(VK_RIGHT);
    Ticks(2);
    const float x2 = Pos().x;
    Tick();
    EXPECT_FLOAT_EQ(Pos().x, x2 + 2.0f);
    Release(VK_RIGHT);
}

TEST_F(PlayerDamage, AReplayWithAnUnknownSubWeaponOrGunLevelKeepsToWhatExists)
{
    StartStanding();
    Ticks(5);
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    pRec->CloseTrack();
    REPLAYIMAGE image = pRec->Snapshot(0);
    image.header.nPlayerValue = 7;
    for (KEYRECINFO& rec : image.tracks[0])
        rec.bonus = 12;
    pRec->Restore(image);
    CPlayer& p = *m_pPlayer;
    p.Start(1, 1);
    EXPECT_EQ(p.GetSubWeapon(), SUBWEAPON_ION_SHIELD);
    EXPECT_EQ(p.GetCockpit().GetSubWeapon(), SUBWEAPON_ION_SHIELD);
    Ticks(3);
    EXPECT_EQ(p.GetGun().GetLevel(), 4);
}
