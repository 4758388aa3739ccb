// Enemy kinds without a running stage: the stage-1 kinds loaded from the shared data set on the
// software device, a label placed in a given row, and one stage update as the stage runs it, tick
// by tick on the frame clock. A stage with a stand-in heroine collects the score.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "bullet/BulletHooks.h"
#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "enemy/EnemyB.h"
#include "enemy/EnemyLabel.h"
#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/Param.h"
#include "engine/ShowableSet.h"
#include "pack/teskFile.h"
#include "stage/CrushableSet.h"
#include "stage/Stage.h"
#include "stage/StubPlayer.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"

#define ENEMY_TEST_FOLDER ".\\GameData\\Stage01\\"

// A gun bullet of a given power whose hit box always meets.
class CTestGun : public IPlayerBullet {
public:
    explicit CTestGun(int nPower) : m_nPower(nPower) {}
    int GetPower() override { return m_nPower; }
    int HitByEnemyPart(CStage*, CCrushable*) override { return 1; }
    int m_nPower;
};

class CEnemyTest : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        LinkGeneratedData();
        CFile reset(1);
        ClearParams();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetFrameClock();
        CAppTimer::ResetAll();
        Clean();
        ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
        LoadBulletImages(g_lpD3DDevice);
    }
    void TearDown() override
    {
        m_Labels.clear();
        m_Kinds.clear();
        Clean();
        ReleaseBulletImages();
        ReleaseSystemIndexes();
        ClearParams();
        CDeviceFixture::TearDown();
    }
    static void Clean()
    {
        ResetExplosions();
        ClearExpBombScrollPool();
        CCrushableSet::Clear();
        CScrollableSet::Clear();
        CShowableSet::Clear();
        CItemGun::FreeAll();
    }

    // A kind of the stage-1 folder.
    template <class T> T* MakeKind(int nVariant)
    {
        auto pKind = std::make_unique<T>(nVariant);
        EXPECT_EQ(pKind->Load(g_lpD3DDevice, ENEMY_TEST_FOLDER), 1);
        T* p = pKind.get();
        m_Kinds.push_back(std::move(pKind));
        return p;
    }

    // A label of the kind in the row, with its parts made and set up, the target set.
    CEnemyLabel* Place(CEnemy* pKind, int nRow)
    {
        auto pLabel = std::make_unique<CEnemyLabel>();
        pLabel->m_pEnemy = pKind;
        pLabel->SetObject(pKind);
        pLabel->SetCell(20, nRow);
        pLabel->CreateParts(0);
        pLabel->Setup(g_lpD3DDevice, ENEMY_TEST_FOLDER);
        pLabel->SetOffsetY(m_fViewOffset);
        pLabel->SetTarget(&m_vTarget);
        CEnemyLabel* p = pLabel.get();
        m_Labels.push_back(std::move(pLabel));
        return p;
    }

    // One stage update in the stage's order: the clock, the drawables, the shots, the scroll, the
    // labels (a shot fired in an update makes its first move in the next).
    void Step(CEnemyLabel* pLabel, int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            CShowableSet::UpdateAll();
            MoveEnemyBullets();
            CScrollableSet::SetScrollPos(0.0f);
            CScrollableSet::SetScrollSpeed(m_fViewOffset);
            CScrollableSet::Tick();
            pLabel->SetTarget(&m_vTarget);
            pLabel->SetOffsetY(m_fViewOffset);
            pLabel->Update();
        }
    }

    // Updates until the label finishes; the ticks taken (at most nMax).
    int RunOut(CEnemyLabel* pLabel, int nMax)
    {
        for (int n = 1; n <= nMax; n++) {
            Step(pLabel);
            if (pLabel->IsFinished())
                return n;
        }
        return nMax + 1;
    }

    static int ShotCount() { return IEBulletRender::GetRegistry().GetCount(); }

    CStubPlayer m_Player;
    CStage m_Stage{m_Player};
    float m_fViewOffset = 0.0f;
    D3DVECTOR m_vTarget{{121.0f}, {420.0f}, {0.0f}};
    std::vector<std::unique_ptr<CEnemy>> m_Kinds;
    std::vector<std::unique_ptr<CEnemyLabel>> m_Labels;
};
