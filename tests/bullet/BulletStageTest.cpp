// Enemy shots and explosions in a running stage (loaded without a device, the stage still): the
// stage moves the shots and pairs them with the heroine, her gun and the labels in its own order,
// and the labels' explosions are the real ones the factory hooks make.
#include <cstring>

#include "BulletFixture.h"
#include "bullet/BulletHooks.h"
#include "bullet/EBNormal.h"
#include "bullet/ExpBombScroll.h"
#include "stage/StageHarness.h"

namespace {

const std::initializer_list<const char*> kCrateStage = {"#OBJECTG1 Ground.bmp, TOUCH", "#OBJECTK1 Crate.bmp, TOUCH, CRUSH16",
                                                        "#000C01:G1G1K1G1G1G1G1G1G1G1"};

// The heroine's hit handler as her damage rules give it: an idle shot is ignored; the cell masks
// first, then the bounding rectangle of the shot's hit box against her damage box; a hit deals 5.
int HitHer(CStubPlayer& her, CCrushable* pOther)
{
    if (!pOther || pOther->m_nCategory != CRUSH_ENEMY_BULLET)
        return 0;
    CEBulletPart* pShot = static_cast<CEBulletPart*>(static_cast<IEnemyBullet*>(pOther));
    if (pShot->IsIdle())
        return 0;
    RECT rcHer;
    her.GetDamageRect(&rcHer);
    CELLMASK maskHer, maskShot;
    GetRectCellMask(&maskHer, rcHer);
    pShot->GetRect(&maskShot);
    if (!IsCellMaskOverlap(maskHer, maskShot))
        return 0;
    D3DVECTOR q[4];
    pShot->GetHitQuad(q);
    RECT rcShot;
    GetQuadRect(&rcShot, q);
    if (!IsRectOverlap(rcShot, rcHer))
        return 0;
    her.Damage(5);
    return 1;
}

class BulletStage : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Saved = CStage::GetHooks();
        STAGEHOOKS hooks = m_Saved;
        FillBulletHooks(&hooks);
        CStage::SetHooks(hooks);
        ResetExplosions();
        ClearExpBombScrollPool();
        p.m_fnHitByEnemyBullet = [this](CStage*, CCrushable* pOther) { return HitHer(p, pOther); };
        CCrushableSet::Register(&p);
    }
    void TearDown() override
    {
        CCrushableSet::Unregister(&m_Gun);
        ResetExplosions();
        CStage::SetHooks(m_Saved);
    }
    CObjectLabel* Crate()
    {
        for (CObjectLabel* pLabel : s.GetLayerList(3)) {
            if (!strcmp(pLabel->GetName(), "K1"))
                return pLabel;
        }
        return nullptr;
    }
    // A shot of the first picture's size flying left along her damage box's middle row.
    void FireAtHer(CEBNormal& shot, float x)
    {
        shot.m_nWidth = shot.m_nHeight = 12;
        shot.m_Explosion.m_nStyle = 4;
        shot.SetPosition(D3DVECTOR{{x}, {-224.0f}, {0.0f}});
        shot.SetAngle(3.14159265f);
        shot.SetSpeed(10.0f);
        ASSERT_GE(shot.Fire(), 0);
    }

    STAGEHOOKS m_Saved;
    CStageHarness h;
    CStage& s = h.m_Stage;
    CStubPlayer& p = h.m_Player;  // damage box (300, 200) - (332, 248)
    CTestGun m_Gun{2};
};

TEST_F(BulletStage, AShotHitsHerOnEveryUpdateItOverlapsHerAndFliesOn)
{
    h.LoadStill(kCrateStage);
    CEBNormal shot;
    FireAtHer(shot, 500.0f);
    std::vector<int> hits;
    for (int t = 1; t <= 24; t++) {
        const int nBefore = p.m_nDamage;
        h.Tick();
        if (p.m_nDamage > nBefore)
            hits.push_back(t);
    }
    // After the move of update t it is at x = 500 - 10 t; its box, swept back 10 px, meets hers
    // from x = 330 to x = 300.
    EXPECT_EQ(hits, (std::vector<int>{17, 18, 19, 20}));
    EXPECT_EQ(p.m_nDamage, 20);
    EXPECT_FALSE(shot.IsIdle());
    EXPECT_EQ(shot.m_vPos.x, 260.0f);
    // The crate it passed is not touched by enemy shots.
    ASSERT_NE(Crate(), nullptr);
    EXPECT_EQ(Crate()->m_nDurability, 16);
}

TEST_F(BulletStage, HerGunShootsTheShotDownForTenAPointAndItsExplosionComesAndGoes)
{
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1G1G1G1G1G1G1G1G1G1"});
    CEBNormal shot;
    FireAtHer(shot, 600.0f);
    h.Tick();
    CCrushableSet::Register(&m_Gun);
    h.Tick();  // 2 of 4 points
    EXPECT_EQ(p.m_nPoint, 20);
    EXPECT_EQ(shot.m_nHitPoints, 2);
    h.Tick();  // the other 2: down, its explosion waits for the next update
    EXPECT_EQ(p.m_nPoint, 40);
    CExpBombScroll* pExp = shot.m_Explosion.m_pElement;
    ASSERT_NE(pExp, nullptr);
    EXPECT_FALSE(shot.IsIdle());
    h.Tick();
    EXPECT_TRUE(shot.IsIdle());
    EXPECT_FALSE(pExp->m_bIdle);
    EXPECT_EQ(pExp->m_fX, 570.0f);  // where the third move took it
    EXPECT_EQ(p.m_nPoint, 40);  // no more hits on a shot that is out of play
    int n = 0;
    while (!pExp->m_bFinished && n < 30) {
        h.Tick();
        n++;
    }
    // Sparks of 5 to 7 steps at two steps an update.
    EXPECT_LE(n, 4);
    EXPECT_TRUE(pExp->m_bIdle);
    EXPECT_EQ(CShowableSet::Count(0), 0);
}

TEST_F(BulletStage, ACrushedCratesFiveExplosionsAndItsOwnGoOffInTurnAndTheCrateLeavesAfterTheLast)
{
    h.LoadStill(kCrateStage);
    h.Tick();
    CObjectLabel* pCrate = Crate();
    ASSERT_NE(pCrate, nullptr);
    auto* pOwn = dynamic_cast<CExpBombScroll*>(pCrate->m_pExplosion);
    ASSERT_NE(pOwn, nullptr);
    EXPECT_EQ(pOwn->m_nShortestLife, 30);  // the large style
    m_Gun.m_nPower = 20;
    CCrushableSet::Register(&m_Gun);
    h.Tick();
    CCrushableSet::Unregister(&m_Gun);
    ASSERT_TRUE(pCrate->m_bCrushed);
    // Explosion i waits 125 i ms (the crate's own one 625 ms) on the frame clock from the crush:
    // it begins on the first update at which that much has passed.
    IScrollExplosion* pAll[6] = {pCrate->m_pExplosions[0], pCrate->m_pExplosions[1], pCrate->m_pExplosions[2],
                                 pCrate->m_pExplosions[3], pCrate->m_pExplosions[4], pOwn};
    DWORD dwBegun[6] = {}, dwBefore[6] = {};
    int nOwnBegins = 0, nLeaves = 0;
    for (int t = 1; t <= 80 && !nLeaves; t++) {
        DWORD dwWaited[6];
        for (int i = 0; i < 6; i++)
            dwWaited[i] = CAppTimer::GetElapsed(0) - static_cast<CExpBombScroll*>(pAll[i])->m_dwStart;
        h.Tick();
        for (int i = 0; i < 6; i++) {
            if (!dwBegun[i] && !pAll[i]->IsIdle()) {
                dwBegun[i] = CAppTimer::GetElapsed(0) - static_cast<CExpBombScroll*>(pAll[i])->m_dwStart;
                dwBefore[i] = dwWaited[i];
            }
        }
        if (!nOwnBegins && !pOwn->m_bIdle)
            nOwnBegins = t;
        if (pCrate->IsFinished())
            nLeaves = t;
    }
    for (int i = 0; i < 6; i++) {
        if (i > 0) {
            EXPECT_LT(dwBefore[i], 125u * i) << i;
        }
        EXPECT_GE(dwBegun[i], 125u * i) << i;
        EXPECT_LE(dwBegun[i], 125u * i + 17u) << i;
    }
    EXPECT_EQ(nOwnBegins, 38);
    EXPECT_GT(nLeaves, nOwnBegins + 10);
    EXPECT_LE(nLeaves, nOwnBegins + 21);
    EXPECT_TRUE(pOwn->m_bFinished);
}

TEST_F(BulletStage, ARestartEndsTheOldAttemptsExplosionsAndTheSameAttemptRepeatsExactly)
{
    h.LoadStill(kCrateStage);
    auto attempt = [&](int* pnLeaves, int* pnLife) {
        h.Tick();
        m_Gun.m_nPower = 20;
        CCrushableSet::Register(&m_Gun);
        h.Tick();
        CCrushableSet::Unregister(&m_Gun);
        CObjectLabel* pCrate = Crate();
        *pnLeaves = 0;
        for (int t = 1; t <= 80 && !*pnLeaves; t++) {
            h.Tick();
            if (t == 40)
                *pnLife = static_cast<CExpBombScroll*>(pCrate->m_pExplosion)->m_Sparks[3].nStartLife;
            if (pCrate->IsFinished())
                *pnLeaves = t;
        }
    };
    int nLeaves1 = 0, nLife1 = 0, nLeaves2 = 0, nLife2 = 0;
    attempt(&nLeaves1, &nLife1);
    // A restart while an explosion still waits ends it with the old attempt.
    h.Tick();
    m_Gun.m_nPower = 20;
    h.m_Stage.Reset();
    h.m_Stage.Start(1, 0);
    h.Tick();
    CCrushableSet::Register(&m_Gun);
    h.Tick();
    CCrushableSet::Unregister(&m_Gun);
    CObjectLabel* pCrate = Crate();
    ASSERT_TRUE(pCrate && pCrate->m_bCrushed);
    h.Tick(5);
    h.m_Stage.Reset();
    EXPECT_TRUE(pCrate->m_pExplosion->IsFinished());
    EXPECT_TRUE(pCrate->m_pExplosions[4]->IsFinished());
    h.m_Stage.Start(1, 0);
    h.Tick();
    EXPECT_EQ(CShowableSet::Count(0), 0);
    // The next attempt from the restart goes exactly as the first went from its start.
    h.m_Stage.Reset();
    h.m_Stage.Start(1, 0);
    attempt(&nLeaves2, &nLife2);
    EXPECT_EQ(nLeaves2, nLeaves1);
    EXPECT_EQ(nLife2, nLife1);
}

} // namespace
