// The part every kind is made of and the label that holds the parts: parameter blocks, the hit
// box, damage and score, the two deaths, the dropped item, the enemy heap, and that nothing here
// draws a random number.
#include <climits>
#include <filesystem>
#include <fstream>

#include "EnemyFixture.h"
#include "bullet/SubtractiveRandom.h"
#include "platform/win/Win.h"
#include "rvm/Heap.h"

namespace {

class EnemyPart : public CEnemyTest {
protected:
    // Param.txt replaced by the given lines.
    static void WriteParams(const char* pszText)
    {
        std::ofstream("Param.txt", std::ios::binary) << pszText;
        ClearParams();
        ASSERT_EQ(LoadParamFile("Param.txt"), 1);
    }
};

} // namespace

TEST_F(EnemyPart, ParamBlocksReadFourValuesAsTheyStandAndTheDeathFlagOnlyWhenOne)
{
    WriteParams("#ENEMY_A0 2, 7, 9, 50, 2\r\n#ENEMY_A5-8 8, 0, 0, 300, 1\r\n#ENEMY_B1-4 4\r\n");
    ENEMYPARAM block{};
    CEnemy::ReadParamBlock("ENEMY_A0", &block);
    EXPECT_EQ(block.nLife, 2);
    EXPECT_EQ(block.nValue1, 7);
    EXPECT_EQ(block.nValue2, 9);
    EXPECT_EQ(block.nScore, 50);
    EXPECT_EQ(block.nBigDeath, 0);
    CEnemy::ReadParamBlock("ENEMY_A5-8", &block);
    EXPECT_EQ(block.nBigDeath, 1);
    // Missing values are the largest int; a missing flag is a small death.
    CEnemy::ReadParamBlock("ENEMY_B1-4", &block);
    EXPECT_EQ(block.nLife, 4);
    EXPECT_EQ(block.nScore, INT_MAX);
    EXPECT_EQ(block.nBigDeath, 0);
    CEnemy::ReadParamBlock("ENEMY_NOTHING", nullptr);
    std::remove("Param.txt");
}

TEST_F(EnemyPart, KindsWithoutAPictureKeepZeroSizesAndBlocksAndBKeepsItsRadius)
{
    std::filesystem::remove("GameData");
    std::filesystem::create_directories("Empty");
    CEnemyB b(6);
    EXPECT_EQ(b.Load(g_lpD3DDevice, "Empty/"), 1);
    EXPECT_EQ(b.m_fRadius, 96.0f);
    EXPECT_EQ(b.m_nWidths[10], 0);
    EXPECT_EQ(b.m_Params[1].nLife, 0);
    CEnemyA a(1);
    EXPECT_EQ(a.Load(g_lpD3DDevice, "Empty/"), 1);
    EXPECT_EQ(a.m_nWidths[0], 0);
    std::filesystem::remove_all("Empty");
    LinkGeneratedData();
}

TEST_F(EnemyPart, TheHitBoxIsCentredSixteenBelowThePictureAndScalesAboutItsCentre)
{
    CEnemyPart part;
    part.m_vPos = D3DVECTOR{{100.5f}, {200.25f}, {0.0f}};
    part.m_nWidth = 48;
    part.m_nHeight = 32;
    part.m_fViewOffset = 10.0f;
    D3DVECTOR d;
    part.GetDrawPos(&d);
    EXPECT_EQ(d.x, 76.5f);
    EXPECT_EQ(d.y, 178.25f);
    RECT rc;
    part.GetHitRect(&rc);
    EXPECT_EQ(rc.left, 76);
    EXPECT_EQ(rc.top, 194);
    EXPECT_EQ(rc.right, 124);
    EXPECT_EQ(rc.bottom, 226);
    part.m_fScaleX = 0.5f;
    part.m_fScaleY = 0.5f;
    part.GetHitRect(&rc);
    EXPECT_EQ(rc.left, 88);
    EXPECT_EQ(rc.top, 202);
    EXPECT_EQ(rc.right, 112);
    EXPECT_EQ(rc.bottom, 218);
    // Odd sizes halve by integer division.
    part.m_nWidth = 33;
    part.m_fScaleX = 1.0f;
    part.GetDrawPos(&d);
    EXPECT_EQ(d.x, 84.5f);
}

TEST_F(EnemyPart, DamageScoresTenPerLifeTakenThenTheScoreValueAndASmallDeathShowsItsNumberAtOnce)
{
    CEnemyA* pKind = MakeKind<CEnemyA>(1);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartA* pPart = pKind->GetUsedPart(pLabel);
    pPart->m_nLife = 20;
    pPart->m_vPos.x = 700.0f;
    CTestGun gun(30);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(m_Player.m_nPoint, 200 + 100);
    EXPECT_EQ(pPart->m_nLife, -10);
    EXPECT_TRUE(pPart->m_bDead);
    EXPECT_TRUE(pPart->m_Flash.IsFlashing());
    EXPECT_EQ(CCrushableSet::GetAt(CRUSH_ENEMY_PART, 0), nullptr);
    // The item leaves from inside the screen.
    CItemGun* pItem = pPart->m_Item.Get();
    ASSERT_NE(pItem, nullptr);
    D3DVECTOR vItem;
    pItem->GetPosition(&vItem);
    EXPECT_EQ(vItem.x, 639.0f);
    EXPECT_EQ(vItem.y, 192.0f);
    EXPECT_EQ(pItem->GetKind(), 0);
    EXPECT_FALSE(pItem->IsFinished());
    EXPECT_FALSE(pPart->m_Score.IsStopped());
    EXPECT_EQ(pPart->m_Score.GetNumber(), 100);
    EXPECT_EQ(pPart->m_Score.m_fY, 192.0f + 60.0f);
    // A dead part refuses hits: no sound, no score.
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 0);
    EXPECT_EQ(m_Player.m_nPoint, 300);
    // One explosion; the dying part leaves the registries on its first scroll tick.
    EXPECT_TRUE(pPart->IsDying());
    Step(pLabel);
    EXPECT_FALSE(pPart->IsDying());
    EXPECT_TRUE(pLabel->IsFinished());
}

TEST_F(EnemyPart, ABigDeathBurstsFiveTimes125MsApartAndShowsItsScoreOnlyAfterTheLast)
{
    CEnemyA* pKind = MakeKind<CEnemyA>(5);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartA* pPart = pKind->GetUsedPart(pLabel);
    Step(pLabel, 5);
    CTestGun gun(3);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(m_Player.m_nPoint, 30);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(m_Player.m_nPoint, 30 + 30 + 20 + 300);
    EXPECT_EQ(pPart->m_nItemKind, 1);
    int nWaiting = 0;
    for (int i = 0; i < EXPBOMB_POOL_SIZE; i++) {
        const CExpBombScroll& e = GetExpBombScrollPool()[i];
        if (!e.m_bFinished) {
            EXPECT_EQ(e.m_dwDelay, 125u * (DWORD)nWaiting);
            nWaiting++;
        }
    }
    EXPECT_EQ(nWaiting, 5);
    EXPECT_TRUE(pPart->m_Score.IsStopped());
    // The kind takes the destroyed part out of play but the burst goes on.
    int nTicks = 0;
    const DWORD dwKill = CAppTimer::GetElapsed(0);
    while (pPart->IsDying() && nTicks < 600) {
        Step(pLabel);
        nTicks++;
        if (pPart->IsDying()) {
            ASSERT_TRUE(pPart->m_Score.IsStopped()) << nTicks;
        }
    }
    EXPECT_TRUE(pLabel->IsFinished());
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwKill, 500u);
    EXPECT_FALSE(pPart->m_Score.IsStopped());
    EXPECT_EQ(pPart->m_Score.GetNumber(), 300);
}

TEST_F(EnemyPart, PartsComeFromTheEnemyHeapAndALabelReleasedBeforeAnySpawnLeavesNothing)
{
    CEnemyB* pKind = MakeKind<CEnemyB>(8);
    auto pLabel = std::make_unique<CEnemyLabel>();
    pLabel->m_pEnemy = pKind;
    pLabel->SetCell(3, 4);
    pLabel->CreateParts(0);
    ASSERT_NE(pLabel->m_Parts[ENEMY_FAMILY_B].pBlock, nullptr);
    EXPECT_TRUE(HeapOwns(GetEnemyHeap(), pLabel->m_Parts[ENEMY_FAMILY_B].pBlock));
    EXPECT_EQ(pLabel->m_Parts[ENEMY_FAMILY_B].nCount, 5);
    for (int i = 0; i < ENEMY_FAMILY_NUM; i++) {
        if (i != ENEMY_FAMILY_B) {
            EXPECT_EQ(pLabel->m_Parts[i].pBlock, nullptr) << i;
        }
    }
    EXPECT_TRUE(pLabel->IsFinished());
    pLabel->Release();
    EXPECT_EQ(pLabel->m_Parts[ENEMY_FAMILY_B].pBlock, nullptr);
    pLabel.reset();
    for (int i = 0; i < CRUSHABLE_MAX; i++)
        EXPECT_EQ(CCrushableSet::GetAt(CRUSH_ENEMY_PART, i), nullptr);

    // A label destroyed in flight takes its parts out of the registry.
    CEnemyLabel* pFlying = Place(pKind, 4);
    pFlying->Spawn();
    EXPECT_NE(CCrushableSet::GetAt(CRUSH_ENEMY_PART, 0), nullptr);
    m_Labels.clear();
    for (int i = 0; i < CRUSHABLE_MAX; i++)
        EXPECT_EQ(CCrushableSet::GetAt(CRUSH_ENEMY_PART, i), nullptr);
}

TEST_F(EnemyPart, FlightAndFireOfEveryKindDrawNoRandomNumber)
{
    GetLookRandom().Srand(77);
    GetExplosionRandom().Srand(78);
    CrtSrand(79);
    const int nLook = GetLookRandom().Rand(), nExplosion = GetExplosionRandom().Rand(), nCrt = CrtRand();
    GetLookRandom().Srand(77);
    GetExplosionRandom().Srand(78);
    CrtSrand(79);
    std::vector<CEnemyLabel*> labels;
    labels.push_back(Place(MakeKind<CEnemyA>(1), 3));
    labels.push_back(Place(MakeKind<CEnemyA>(7), 4));
    labels.push_back(Place(MakeKind<CEnemyB>(8), 3));
    labels.push_back(Place(MakeKind<CEnemyF>(0), 2));
    labels.push_back(Place(MakeKind<CEnemyF>(6), 2));
    labels.push_back(Place(MakeKind<CEnemyG>(7), 2));
    labels.push_back(Place(MakeKind<CEnemyG>(0), 2));
    for (CEnemyLabel* p : labels)
        p->Spawn();
    for (int n = 0; n < 300; n++) {
        for (CEnemyLabel* p : labels)
            Step(p);
    }
    EXPECT_EQ(GetLookRandom().Rand(), nLook);
    EXPECT_EQ(GetExplosionRandom().Rand(), nExplosion);
    EXPECT_EQ(CrtRand(), nCrt);
}
