// Enemy shots and explosions without a running stage: the registries emptied, the frame clock
// under the test's control, and one stage update as the stage runs it (show registry, shot moves,
// scroll broadcast). A stand-in gun of a given power shoots.
#pragma once
#include <gtest/gtest.h>

#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "bullet/ExpDamage.h"
#include "bullet/SubtractiveRandom.h"
#include "engine/AppTimer.h"
#include "engine/ShowableSet.h"
#include "stage/CrushableSet.h"
#include "stage/Neighbours.h"
#include "stage/ObjectLabel.h"

// A player bullet that always confirms a hit on a shot and counts the confirmations; a label it
// meets takes its power.
class CTestGun : public IPlayerBullet {
public:
    explicit CTestGun(int nPower) : m_nPower(nPower) {}
    int GetPower() override { return m_nPower; }
    int HitByEnemyBullet(CStage*, CCrushable*) override
    {
        m_nConfirms++;
        return m_nConfirm;
    }
    int HitByLabel(CStage* pStage, CCrushable* pOther) override
    {
        CObjectLabel* pLabel = pOther ? pOther->GetObjectLabel() : nullptr;
        return pLabel ? pLabel->HitByPlayerBullet(pStage, this) : 0;
    }
    int m_nPower;
    int m_nConfirm = 1;
    int m_nConfirms = 0;
};

class CBulletTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetFrameClock();
        CAppTimer::ResetAll();
        // The hit effects seed their looks with the time: a test must see the same looks every
        // run, whatever ran before it.
        FixLookSeed(kLookSeed);
        GetLookRandom().Srand(kLookSeed);
        CExpDamage::GetRandom().Seed(kLookSeed);
        CExpDamageEx::GetRandom().Seed(kLookSeed);
        Clean();
    }
    void TearDown() override
    {
        Clean();
        FixLookSeed(0);
    }

    static void Clean()
    {
        ResetExplosions();
        ClearExpBombScrollPool();
        CCrushableSet::Clear();
        CScrollableSet::Clear();
        CShowableSet::Clear();
    }

    // One stage update: the clock moves, the drawables update, the shots move, the scroll goes out.
    void Step(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            CShowableSet::UpdateAll();
            MoveEnemyBullets();
            CScrollableSet::SetScrollPos(m_fScroll);
            CScrollableSet::SetScrollSpeed(m_fViewOffset);
            CScrollableSet::Tick();
        }
    }

    static int RegistryCount() { return IEBulletRender::GetRegistry().GetCount(); }

    float m_fScroll = 0.0f;
    float m_fViewOffset = 0.0f;

    static constexpr uint32_t kLookSeed = 1234;
};
