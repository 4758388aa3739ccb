// The pick-ups: what each kind pays, the pool of 128 and its handles, a thrown item's flight,
// bounces, draw-in and fade tick by tick, the bobbing power item, and what gets drawn.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/ShowableSet.h"
#include "engine/WinMain.h"
#include "player/Item.h"
#include "player/PlayerFixture.h"
#include "stage/BoundableSet.h"

namespace {

class ItemRun : public CPlayerFixture {
protected:
    void SetUp() override
    {
        CPlayerFixture::SetUp();
        ASSERT_EQ(CItem::LoadImages(g_lpD3DDevice), 1);
        CBoundableSet::Clear();
    }
    void TearDown() override
    {
        CItemGun::FreeAll();
        CItem::ReleaseImages();
        CBoundableSet::Clear();
        CShowableSet::Clear();
        CPlayerFixture::TearDown();
    }

    // An item thrown from (x, y) as the stage would throw it, scrolled back by fBase a tick.
    static void Throw(CItemGun& item, int nKind, float x, float y, float fSpeed, float fAngle, float fBase = 4.0f)
    {
        item.Load(nullptr);
        item.SetKind(nKind);
        item.SetPosition(D3DVECTOR{x, y, 0.0f});
        item.SetScroll(fBase);
        item.Start(fSpeed, fAngle);
    }
    // One item tick with no terrain: its update, its own move, the frame clock.
    static void Fly(CItemGun& item)
    {
        CAppTimer::FrameTick();
        item.Update();
        const D3DVECTOR a = item.GetVectorA(), b = item.GetVectorB();
        item.SetVectorC(D3DVECTOR{a.x + b.x, a.y + b.y, 0.0f});
        item.Move();
    }
    static D3DVECTOR At(CItemGun& item)
    {
        D3DVECTOR v;
        item.GetPosition(&v);
        return v;
    }
};

// Collects one item of each kind from a heroine standing at 200, 300.
class ItemPayout : public ItemRun {
protected:
    int CollectKind(int nKind)
    {
        CItemGun item;
        item.SetKind(nKind);
        return item.Collect(nKind, m_pPlayer.get());
    }
};

} // namespace

TEST_F(ItemPayout, MoneyKindsPayTheirPointsAndShowThem)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    const int kPoints[5] = {100, 500, 1000, 5000, 10000};
    int nTotal = 0;
    for (int k = 5; k <= 9; k++) {
        CItemGun item;
        EXPECT_EQ(item.Collect(k, &p), COLLECT_POINTS);
        nTotal += kPoints[k - 5];
        EXPECT_EQ(p.GetPoint(), nTotal);
        EXPECT_EQ(item.GetNumber().GetNumber(), kPoints[k - 5]);
        EXPECT_FALSE(item.GetNumber().IsStopped());
        EXPECT_EQ(item.GetNumber().m_fX, 200.0f);
    }
    EXPECT_EQ(CollectKind(10), COLLECT_NOTHING);
    EXPECT_EQ(CollectKind(-1), COLLECT_INVALID);
    EXPECT_EQ(CollectKind(11), COLLECT_INVALID);
    EXPECT_EQ(p.GetPoint(), nTotal);
    EXPECT_EQ(p.GetExp(), 0);
}

TEST_F(ItemPayout, CrystalsGiveExperienceBelowTheTopGunLevelAndPointsAtIt)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    EXPECT_EQ(CollectKind(0), COLLECT_EXP);
    EXPECT_EQ(CollectKind(1), COLLECT_EXP);
    EXPECT_EQ(CollectKind(2), COLLECT_EXP);
    EXPECT_EQ(p.GetExp(), 11);
    EXPECT_EQ(p.GetPoint(), 0);
    p.AddExp(117, 0, 0);
    Tick();  // the gun takes level 8 after the pair tests
    ASSERT_EQ(p.GetGunBaseLevel(), 5);
    CItemGun item;
    EXPECT_EQ(item.Collect(2, &p), COLLECT_FULL);
    EXPECT_EQ(p.GetPoint(), 1000);
    EXPECT_EQ(item.GetNumber().GetNumber(), 1000);
    EXPECT_EQ(CollectKind(0), COLLECT_FULL);
    EXPECT_EQ(CollectKind(1), COLLECT_FULL);
    EXPECT_EQ(p.GetPoint(), 1300);
    EXPECT_EQ(p.GetExp(), 128);
}

TEST_F(ItemPayout, DoublePowerStillReachesTheTopGunLevelAtEight)
{
    g_nOptionFlags[2] = 1;
    StartStanding();
    CPlayer& p = *m_pPlayer;
    p.AddExp(128, 0, 0);
    Tick();
    EXPECT_EQ(p.GetGun().GetPower(), 16);
    EXPECT_EQ(p.GetGunBaseLevel(), 5);
    EXPECT_EQ(CollectKind(1), COLLECT_FULL);
}

TEST_F(ItemPayout, CapsulesHealUpToFullAndPayPointsWhenFull)
{
    StartStanding();
    CPlayer& p = *m_pPlayer;
    EXPECT_EQ(CollectKind(4), COLLECT_FULL);
    EXPECT_EQ(p.GetPoint(), 2000);
    EXPECT_EQ(CollectKind(3), COLLECT_FULL);
    EXPECT_EQ(p.GetPoint(), 3000);
    for (int i = 0; i < 3; i++) {
        p.Damage(5);
        Ticks(61);
    }
    ASSERT_EQ(p.GetLife(), 70);
    EXPECT_EQ(CollectKind(4), COLLECT_LIFE);
    EXPECT_EQ(p.GetLife(), 100);
    p.Damage(5);
    Ticks(61);
    p.Damage(5);
    ASSERT_EQ(p.GetLife(), 80);
    EXPECT_EQ(CollectKind(3), COLLECT_LIFE);
    EXPECT_EQ(p.GetLife(), 90);
    EXPECT_EQ(p.GetPoint(), 3000);
}

TEST_F(ItemRun, ThePoolHasOneHundredTwentyEightAndHandlesLetGo)
{
    CItemGunRef refs[ITEM_POOL_SIZE];
    for (CItemGunRef& ref : refs)
        ASSERT_NE(ref.Alloc(), nullptr);
    CItemGunRef extra;
    EXPECT_EQ(extra.Alloc(), nullptr);
    EXPECT_EQ(CItemGun::Alloc(), nullptr);
    // A handle that lets go frees its entry for the next owner.
    CItemGun* pFreed = refs[5].Get();
    refs[5].Release();
    EXPECT_EQ(refs[5].Get(), nullptr);
    EXPECT_EQ(extra.Alloc(), pFreed);
    EXPECT_EQ(extra.GetIndex(), 5);
    // A flying item is not handed out even when its entry is free.
    CItemGun* pFlying = refs[7].Get();
    Throw(*pFlying, 5, 300.0f, 200.0f, 1.0f, 0.0f);
    refs[7].Release();
    CItemGunRef next;
    EXPECT_EQ(next.Alloc(), nullptr);
    // The stage load finishes every item and every handle lets go: a stale handle frees nothing.
    CItemGun::FreeAll();
    EXPECT_TRUE(pFlying->IsFinished());
    for (const CItemGunRef& ref : refs)
        EXPECT_EQ(ref.Get(), nullptr);
    for (int i = 0; i < ITEM_POOL_SIZE; i++)
        EXPECT_EQ(CItemGun::IsReserved(i), 0);
    ASSERT_NE(next.Alloc(), nullptr);
    refs[0].Release();
    EXPECT_EQ(CItemGun::IsReserved(next.GetIndex()), 1);
}

TEST_F(ItemRun, AnItemThatFinishesLetsGoOfItsHandle)
{
    CItemGunRef ref;
    CItemGun* pItem = ref.Alloc();
    ASSERT_NE(pItem, nullptr);
    const int nIndex = ref.GetIndex();
    // Thrown while held: the handle stays; once it leaves the view it is given up.
    Throw(*pItem, 5, 10.0f, 100.0f, 0.0f, 0.0f, 40.0f);
    EXPECT_EQ(ref.Get(), pItem);
    for (int i = 0; i < 5 && !pItem->IsFinished(); i++)
        Fly(*pItem);
    EXPECT_TRUE(pItem->IsFinished());
    EXPECT_EQ(ref.Get(), nullptr);
    EXPECT_EQ(CItemGun::IsReserved(nIndex), 0);
}

TEST_F(ItemRun, AThrownItemRisesThroughEverythingThenFallsAndCanBeTaken)
{
    CItemGun item;
    Throw(item, 0, 300.0f, 400.0f, 13.0f, -1.0466667f);
    EXPECT_EQ(item.CCrushable::m_nIndex >= 0, true);
    EXPECT_EQ(item.CBoundable::m_nIndex >= 0, true);
    EXPECT_EQ(item.CScrollable::m_nIndex >= 0, true);
    const float h = cosf(-1.0466667f) * 13.0f + 4.0f, v0 = sinf(-1.0466667f) * 13.0f;
    float v = v0;
    bool bFell = false;
    D3DVECTOR p = At(item);
    for (int i = 0; i < 40; i++) {
        Fly(item);
        // The forward speed less the scroll; gravity 0.5 a tick.
        p.x += h - 4.0f;
        p.y += v;
        ASSERT_EQ(At(item).x, p.x) << i;
        ASSERT_EQ(At(item).y, p.y) << i;
        // Rising or at the top it passes through everything; once it has fallen faster than 1 it
        // can be taken.
        const bool bRising = v <= 1.0f;
        bFell = bFell || !bRising;
        ASSERT_EQ((item.GetState() & ITEM_STATE_NO_TERRAIN) != 0, bRising) << i;
        ASSERT_EQ(item.IsCollectable() != 0, bFell) << i;
        v += 0.5f;
        item.SetState(0);  // the terrain clears the exemption each tick
    }
    EXPECT_TRUE(item.IsCollectable());
}

TEST_F(ItemRun, ItBouncesBackOnceThenHopsAtItemSpeedAndHardFallsSpringBack)
{
    CItemGun item;
    Throw(item, 5, 300.0f, 300.0f, 3.0f, 1.5707964f);  // straight down at 3
    Fly(item);
    item.Land(300.0f);
    EXPECT_EQ(item.GetBounces(), 1);
    EXPECT_FLOAT_EQ(item.GetVertical().fValue, -3.0f * 0.8f);
    // Falling slower than ITEM_SPEED on a later landing: it hops up at 6.
    while (item.GetVertical().fValue <= 2.0f)
        Fly(item);
    Fly(item);
    item.Land(300.0f);
    EXPECT_EQ(item.GetVertical().fValue, -6.0f);
    // Falling at 6 or faster: back at four fifths.
    while (item.GetVertical().fValue < 6.0f)
        Fly(item);
    Fly(item);
    const float fFall = item.GetVectorC().y;
    ASSERT_GE(fFall, 6.0f);
    item.Land(300.0f);
    EXPECT_FLOAT_EQ(item.GetVertical().fValue, -fFall * 0.8f);
    EXPECT_EQ(item.GetBounces(), 3);
}

TEST_F(ItemRun, ItIsDrawnInWithinTwoHundredPixelsAndGivesUpAfterAHundredTicks)
{
    StartStanding(200.0f);
    CPlayer& p = *m_pPlayer;
    CItemGun far, near;
    // Her attraction point is 16 px above her position: (200, 284).
    Throw(far, 5, 200.0f + 200.0f, 284.0f, 0.0f, 0.0f, 0.0f);
    Throw(near, 5, 200.0f + 199.0f, 284.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(far.HitByPlayer(nullptr, &p), 0);
    EXPECT_EQ(near.HitByPlayer(nullptr, &p), 0);
    EXPECT_EQ(far.IsAttracted(), 0);
    ASSERT_EQ(near.IsAttracted(), 1);
    EXPECT_EQ(near.GetTarget().x, 200.0f);
    EXPECT_EQ(near.GetTarget().y, 250.0f);
    // It heads for the point 50 px above her, faster each tick.
    Fly(near);
    D3DVECTOR a = At(near);
    EXPECT_LT(a.x, 399.0f);
    EXPECT_LT(a.y, 284.0f);
    // Never touched, it gives up after more than 100 ticks of being drawn in.
    for (int i = 1; i < 100; i++)
        Fly(near);
    EXPECT_FALSE(near.IsFinished());
    Fly(near);
    EXPECT_TRUE(near.IsFinished());
    // Moving away again stops the draw.
    CItemGun back;
    Throw(back, 5, 300.0f, 284.0f, 0.0f, 0.0f, 0.0f);
    back.HitByPlayer(nullptr, &p);
    ASSERT_EQ(back.IsAttracted(), 1);
    back.SetPosition(D3DVECTOR{500.0f, 284.0f, 0.0f});
    back.HitByPlayer(nullptr, &p);
    EXPECT_EQ(back.IsAttracted(), 0);
}

TEST_F(ItemRun, ATakenItemBlinksOutOverTheFadeTime)
{
    StartStanding(200.0f);
    CPlayer& p = *m_pPlayer;
    CItemGun item;
    // Falling onto her damage box (184..216 x 248..272).
    Throw(item, 6, 200.0f, 250.0f, 2.0f, 1.5707964f, 0.0f);
    Fly(item);
    ASSERT_TRUE(item.IsCollectable());
    ASSERT_EQ(item.HitByPlayer(nullptr, &p), 1);
    EXPECT_EQ(p.GetPoint(), 500);
    EXPECT_TRUE(item.IsCollected());
    EXPECT_EQ(item.CCrushable::m_nIndex, -1);  // out of the hit registry: taken once
    EXPECT_EQ(item.HitByPlayer(nullptr, &p), 0);
    const DWORD dwTaken = CAppTimer::GetElapsed(0);
    int nToggles = 0;
    int bOff = item.IsBlinkOff();
    DWORD dwLastToggle = dwTaken;
    while (!item.IsFinished()) {
        Fly(item);
        const DWORD dwNow = CAppTimer::GetElapsed(0);
        if (item.IsFinished())
            break;
        ASSERT_LE(dwNow - dwTaken, 1000u);
        if (item.IsBlinkOff() != bOff) {
            EXPECT_GT(dwNow - dwLastToggle, 20u);
            bOff = item.IsBlinkOff();
            dwLastToggle = dwNow;
            nToggles++;
        }
    }
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwTaken, 1000u);
    EXPECT_GE(nToggles, 30);
}

TEST_F(ItemRun, ItIsDrawnCentredSixteenPixelsHigherAndNotInItsBlinkOffPhase)
{
    CItemGun item;
    Throw(item, 7, 300.0f, 200.0f, 0.0f, 0.0f, 0.0f);
    FillBack(0);
    ASSERT_EQ(item.DrawDebug(g_lpDDSBack), 1);
    // A 60 x 40 picture around (300, 184).
    EXPECT_NE(BackPixel(300, 184), 0);
    EXPECT_EQ(BackPixel(300, 184 + 21), 0);
    EXPECT_EQ(BackPixel(300 + 31, 184), 0);
    item.SetScrollSpeed(10.0f);  // the main layer's offset moves the picture down
    FillBack(0);
    item.Draw(g_lpDDSBack);
    EXPECT_NE(BackPixel(300, 194), 0);
    item.Finish();
    FillBack(0);
    item.Draw(g_lpDDSBack);
    EXPECT_EQ(BackPixel(300, 194), 0);
}

TEST_F(ItemRun, ThePowerItemDriftsLeftAndBobs)
{
    CItemPower item;
    item.SetKind(1);
    item.SetPosition(D3DVECTOR{400.0f, 200.0f, 0.0f});
    item.Start();
    float v = -1.5f, a = 0.025f;
    int nFlips = 0;
    for (int i = 0; i < 300; i++) {
        CAppTimer::FrameTick();
        item.Update();
        ASSERT_NE(item.GetState() & ITEM_STATE_NO_TERRAIN, 0u);
        ASSERT_EQ(item.GetVectorA().x, -1.5f);
        ASSERT_EQ(item.GetVectorB().y, v) << i;
        v += a;
        if (v > 1.5f) {
            v = 1.5f;
            a = -a;
            nFlips++;
        } else if (v < -1.5f) {
            v = -1.5f;
            a = -a;
            nFlips++;
        }
    }
    EXPECT_EQ(nFlips, 2);
}
