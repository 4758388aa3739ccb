// The bosses' shared skeleton with a small test boss: the tick loop and its replay value, the phase
// thresholds, the exit and re-entry, the death path in its order, the explosion, the fall and the
// stage clear, and the time-out that ends the same way.
#include <fstream>
#include <string>
#include <vector>

#include "EnemyFixture.h"
#include "enemy/EnemyBoss.h"
#include "engine/KeyRecorder.h"
#include "stage/StageScreens.h"

namespace {

std::vector<std::string>* g_pLog = nullptr;

void Log(const std::string& s)
{
    if (g_pLog)
        g_pLog->push_back(s);
}

// A boss whose attack cycle is ten ticks with a phase check at its end.
class CTestBossBody : public CEnemyPartBoss {
public:
    void OnTick(int nState, CEnemyLabel* pLabel) override
    {
        m_nTicksRun++;
        m_nLastTickState = nState;
        if (m_nTick == m_nCycle) {
            m_nCycles[nState]++;
            CheckPhase(pLabel);
            m_nTick = 0;
        }
    }
    void OnPassEnd(int, CEnemyLabel*) override { m_nPassEnds++; }
    int LoadWeapons(IDirect3DDevice7*, CEnemyLabel*) override
    {
        m_nLoads++;
        return 1;
    }
    void StopWeapons() override { m_nStops++; }
    void FinishWeapons(CStage* pStage) override
    {
        Log("finish life=" + std::to_string(m_nLife) + " score=" + std::to_string(pStage->GetScore()));
    }
    void OnPhaseQueued(int nNext) override { Log("queued " + std::to_string(nNext)); }

    int m_nCycle = 10;
    int m_nTicksRun = 0;
    int m_nLastTickState = -1;
    int m_nCycles[3] = {};
    int m_nPassEnds = 0;
    int m_nLoads = 0;
    int m_nStops = 0;
};

const BOSSINFO kTestBoss = {
    0,
    ENEMY_FAMILY_MM,
    "M.Zorva",
    "BossIndex.txt",
    {"BossWarning1.bmp", "BossWarning2.bmp", "TimeLimit.bmp", nullptr},
    "BossLife1.bmp",
    "BOSS_HRR_MM",
};

class CTestBoss : public CEnemyBoss {
public:
    CTestBoss() : CEnemyBoss(kTestBoss) {}
    int CreateBody(CEnemyLabel* pLabel) override { return pLabel->MakeParts<CTestBossBody>(ENEMY_FAMILY_MM, 1); }
};

// The HUD as the stage sees it, writing down what it is told.
class CLogCockpit : public IBossCockpit {
public:
    int Load(IDirect3DDevice7*) override { return 1; }
    void Start() override { m_bHidden = 0; }
    void SetBoss(int) override {}
    void SetLifeMax(int) override {}
    void SetLife(int nLife) override { Log("life " + std::to_string(nLife)); }
    void Update() override {}
    void Hide() override
    {
        m_bHidden = 1;
        Log("hud hidden");
    }
    int Draw(IDirectDrawSurface7*) override { return 1; }
    int IsHidden() override { return m_bHidden; }
    int GetSecondsLeft() override { return 100; }
    void StopTime() override {}
    int m_bHidden = 1;
};

class CLogTally : public IStageClear {
public:
    int Load(IDirect3DDevice7*) override { return 1; }
    void Start() override {}
    void Update() override {}
    void Hide() override { Log("clear requested"); }
    int Draw(IDirectDrawSurface7*) override { return 1; }
    int IsHidden() override { return 1; }
    int GetState() override { return 0; }
    int GetTotal() override { return 0; }
    void SetLastStage(int) override {}
    void SetResults(int, int, int) override {}
};

class BossFramework : public CEnemyTest {
protected:
    void SetUp() override
    {
        CEnemyTest::SetUp();
        g_pLog = &m_Log;
        WriteParams("#ENEMY_M.Zorva 300, 0, 0, 5000, 0\r\n#BOSS_HRR_MM 0.6, 0.7\r\n");
        STAGESCREENS screens;
        screens.pBossCockpit = &m_Cockpit;
        screens.pStageClear = &m_Tally;
        m_Stage.SetScreens(screens);
        m_pKind = new CTestBoss;
        m_Kinds.emplace_back(m_pKind);
        ASSERT_EQ(m_pKind->Load(g_lpD3DDevice, SYSTEM_INDEX_DIR), 1);
        m_pLabel = Place(m_pKind, 4);
        m_pBody = static_cast<CTestBossBody*>(m_pKind->GetBody(m_pLabel));
        ASSERT_NE(m_pBody, nullptr);
    }
    void TearDown() override
    {
        CCrushableSet::Unregister(&m_Gun);
        CKeyRecorder::GetInstance()->StopRec();
        CKeyRecorder::GetInstance()->StopPlay();
        g_pLog = nullptr;
        CEnemyTest::TearDown();
    }
    static void WriteParams(const char* pszText)
    {
        std::ofstream("Param.txt", std::ios::binary) << pszText;
        ClearParams();
        ASSERT_EQ(LoadParamFile("Param.txt"), 1);
    }
    // A stage update as the stage runs it, with the hit registry's pair tests.
    void Frame(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            Step(m_pLabel);
            CCrushableSet::CollideAll(&m_Stage);
        }
    }
    static DWORD Now() { return CAppTimer::GetElapsed(0); }
    int HitSlot() const { return static_cast<CCrushable*>(m_pBody)->m_nIndex; }
    bool OffScreen() const
    {
        const float h = (float)m_pBody->m_nWidth / 2.0f;
        return m_pBody->m_vPos.x + h < 0.0f || m_pBody->m_vPos.x - h > 640.0f;
    }
    // Runs the body in its state until the phase check queues the next one; the passes taken.
    int RunToCycleEnd()
    {
        const int nState = m_pBody->m_nState;
        for (int n = 1; n <= 100; n++) {
            Frame();
            if (m_pBody->m_nTick == 0 || m_pBody->m_nState != nState)
                return n;
        }
        return -1;
    }
    // Runs the exit until the body is back; the ms it spent wholly off the screen before the
    // re-entry pass, and before the pass ahead of it.
    void RunExit(DWORD* pdwOff, DWORD* pdwOffBefore)
    {
        DWORD dwOffSince = 0;
        bool bOff = false;
        for (int n = 0; n < 2000 && m_pBody->m_nState == CEnemyPartBoss::STATE_EXIT; n++) {
            const DWORD dwBefore = Now();
            Frame();
            if (m_pBody->m_nState != CEnemyPartBoss::STATE_EXIT) {
                *pdwOff = Now() - dwOffSince;
                *pdwOffBefore = dwBefore - dwOffSince;
                return;
            }
            if (!bOff && OffScreen()) {
                bOff = true;
                dwOffSince = Now();
            }
        }
        ADD_FAILURE() << "the body never came back";
    }

    std::vector<std::string> m_Log;
    CLogCockpit m_Cockpit;
    CLogTally m_Tally;
    CTestBoss* m_pKind = nullptr;
    CEnemyLabel* m_pLabel = nullptr;
    CTestBossBody* m_pBody = nullptr;
    CTestGun m_Gun{1};
};

} // namespace

TEST_F(BossFramework, LoadCutsTheBodyImagesFromTheIndexAtTheirRealSizesAndReadsTheBlocks)
{
    int w = 0, h = 0;
    CBmpIndex index;
    ASSERT_EQ(index.LoadIndex(g_lpD3DDevice, SYSTEM_INDEX_DIR, "BossIndex.txt"), 1);
    index.GetRegionSize("BossWarning1.bmp", &w, &h);
    EXPECT_GT(w, 100);
    EXPECT_EQ(m_pKind->m_nWidths[0], w);
    EXPECT_EQ(m_pKind->m_nHeights[0], h);
    EXPECT_NE(m_pKind->m_Pictures[0].GetImage(CDSurfaceEx::IMAGE_FLASH), nullptr);
    EXPECT_EQ(m_pKind->m_Pictures[3].GetSurface(), nullptr);
    EXPECT_EQ(m_pKind->m_Block.nLife, 300);
    EXPECT_EQ(m_pKind->m_Block.nScore, 5000);
    EXPECT_EQ(m_pBody->m_pKind, m_pKind);
    EXPECT_EQ(m_pBody->m_nLoads, 1);
    EXPECT_EQ(m_pBody->m_fScaleX, 0.6f);
    EXPECT_EQ(m_pBody->m_fScaleY, 0.7f);
    EXPECT_NE(m_pBody->m_OwnImage.GetSurface(), nullptr);
    EXPECT_EQ(m_pKind->m_Recoil.fRest, -1.0f);

    m_pLabel->Spawn();
    EXPECT_FALSE(m_pLabel->IsFinished());
    EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
    EXPECT_EQ(m_pBody->m_vPos.y, 256.0f);
    EXPECT_EQ(m_pBody->m_nWidth, w);
    EXPECT_EQ(m_pBody->m_nLife, 300);
    EXPECT_EQ(m_pBody->m_nMaxLife, 300);
    EXPECT_EQ(m_pBody->m_nState, 0);
    EXPECT_FALSE(m_pBody->m_bDead);
    EXPECT_GE(HitSlot(), 0);
    EXPECT_GE(m_pBody->m_nStops, 1);
}

TEST_F(BossFramework, MissingHitRatiosAreHalfAndAMissingIndexLeavesTheImagesOut)
{
    WriteParams("#ENEMY_M.Zorva 300\r\n");
    BOSSINFO info = kTestBoss;
    info.pszIndexFile = "NoSuchIndex.txt";
    class CNoIndexBoss : public CEnemyBoss {
    public:
        explicit CNoIndexBoss(const BOSSINFO& i) : CEnemyBoss(i) {}
        int CreateBody(CEnemyLabel* pLabel) override { return pLabel->MakeParts<CTestBossBody>(ENEMY_FAMILY_MM, 1); }
    };
    CNoIndexBoss* pKind = new CNoIndexBoss(info);
    m_Kinds.emplace_back(pKind);
    EXPECT_EQ(pKind->Load(g_lpD3DDevice, SYSTEM_INDEX_DIR), 1);
    EXPECT_EQ(pKind->m_nWidths[0], 0);
    CEnemyLabel* pLabel = Place(pKind, 4);
    CTestBossBody* pBody = static_cast<CTestBossBody*>(pKind->GetBody(pLabel));
    EXPECT_EQ(pBody->m_OwnImage.GetSurface(), nullptr);
    EXPECT_EQ(pBody->m_nLoads, 1);
    EXPECT_EQ(pBody->m_fScaleX, 0.5f);
    EXPECT_EQ(pBody->m_fScaleY, 0.5f);
    EXPECT_EQ(pKind->m_Block.nScore, INT_MAX);
}

TEST_F(BossFramework, EveryOrdinaryPassRunsOneTickWhateverTheAccumulatorHolds)
{
    m_pLabel->Spawn();
    EXPECT_EQ(m_pBody->m_nTickAcc, 0);
    int nLong = 0;
    for (int n = 1; n <= 300; n++) {
        const DWORD dwBefore = Now();
        Frame();
        // The frame clock's 17-ms passes add one each; 17 of them make a tick's worth, which is
        // dropped at once (17 - 16.6 leaves no whole millisecond).
        nLong += (Now() - dwBefore) == 17;
        ASSERT_EQ(m_pBody->m_nTickAcc, nLong % 17) << n;
        ASSERT_EQ(m_pBody->m_nTicksRun, n);
        ASSERT_EQ(m_pBody->m_nPassEnds, n);
    }
    EXPECT_EQ(m_pBody->m_nCycles[0], 30);
}

TEST_F(BossFramework, TheTickLoopCountsTheTimeOfAPassItsAccumulatorAndNeverLessThanOne)
{
    m_pLabel->Spawn();
    Frame();
    // 50 ms: three whole ticks and 2 ms more, which the 15 already held make a fourth.
    m_pBody->m_dwLastUpdate = Now() - 50;
    m_pBody->m_nTickAcc = 15;
    EXPECT_EQ(m_pBody->RunTickLoop(), 4);
    EXPECT_EQ(m_pBody->m_nTickAcc, 0);
    m_pBody->m_dwLastUpdate = Now() - 50;
    m_pBody->m_nTickAcc = 0;
    EXPECT_EQ(m_pBody->RunTickLoop(), 3);
    EXPECT_EQ(m_pBody->m_nTickAcc, 2);
    // No time at all still runs one.
    EXPECT_EQ(m_pBody->RunTickLoop(), 1);
}

TEST_F(BossFramework, TheTickCountIsRecordedEachPassAndAReplaysCountReplacesItUpToAReasonableNumber)
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    m_pLabel->Spawn();
    pRec->StartRec();
    for (int i = 0; i < 5; i++) {
        Frame();
        pRec->NextFrame();
    }
    REPLAYIMAGE image = pRec->Snapshot(0);
    pRec->StopRec();
    const rvm::vector<KEYRECINFO>& track = image.tracks[pRec->GetCurrentTrack()];
    ASSERT_FALSE(track.empty());
    for (const KEYRECINFO& r : track)
        EXPECT_EQ(r.step, 1);

    // A slow machine's recording: three ticks in the second frame, then an absurd count.
    rvm::vector<KEYRECINFO> replay;
    const int kSteps[4] = {1, 3, 1000000, 1};
    for (int f = 0; f < 4; f++) {
        KEYRECINFO r{};
        r.frame = f;
        r.step = kSteps[f];
        replay.push_back(r);
    }
    for (rvm::vector<KEYRECINFO>& t : image.tracks)
        t = replay;
    pRec->Restore(image);
    m_pLabel->Spawn();
    pRec->StartPlay();
    const int kRun[4] = {1, 3, 1, 1};
    for (int f = 0; f < 4; f++) {
        pRec->GetPlayKeyCode();
        const int nBefore = m_pBody->m_nTicksRun;
        Frame();
        EXPECT_EQ(m_pBody->m_nTicksRun - nBefore, kRun[f]) << f;
        pRec->NextFrame();
    }
}

TEST_F(BossFramework, ExactlyTwoThirdsStaysInTheFirstPhaseAndOneLessQueuesTheSecond)
{
    m_pLabel->Spawn();
    m_pBody->m_nLife = 200;
    EXPECT_EQ(RunToCycleEnd(), 10);
    EXPECT_EQ(m_pBody->m_nState, 0);
    m_pBody->m_nLife = 199;
    EXPECT_EQ(RunToCycleEnd(), 10);
    EXPECT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
    EXPECT_EQ(m_pBody->m_nNextState, 1);
    EXPECT_EQ(m_Log, std::vector<std::string>{"queued 1"});
}

TEST_F(BossFramework, CrossingBothThresholdsInOneCycleStillGoesThroughTheSecondPhase)
{
    m_pLabel->Spawn();
    m_pBody->m_nLife = 50;
    RunToCycleEnd();
    ASSERT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
    DWORD dwOff = 0, dwOffBefore = 0;
    RunExit(&dwOff, &dwOffBefore);
    EXPECT_EQ(m_pBody->m_nState, 1);
    EXPECT_EQ(m_pBody->m_nTick, 0);
    // A whole state-1 cycle runs before the last phase is queued.
    for (int n = 1; n < 10; n++) {
        Frame();
        ASSERT_EQ(m_pBody->m_nState, 1) << n;
    }
    Frame();
    EXPECT_EQ(m_pBody->m_nCycles[1], 1);
    EXPECT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
    EXPECT_EQ(m_pBody->m_nNextState, 2);
    RunExit(&dwOff, &dwOffBefore);
    EXPECT_EQ(m_pBody->m_nState, 2);
    // The last phase stays, however low the life.
    m_pBody->m_nLife = 1;
    Frame(30);
    EXPECT_EQ(m_pBody->m_nState, 2);
    EXPECT_EQ(m_pBody->m_nCycles[2], 3);
    EXPECT_EQ(m_Log, (std::vector<std::string>{"queued 1", "queued 2"}));
}

TEST_F(BossFramework, TheExitLeavesByTheNearerSideAndReentersAtTheStartAfterMoreThanASecondAway)
{
    m_pLabel->Spawn();
    for (float x : {320.0f, 100.0f, 320.5f, 600.0f}) {
        m_pBody->m_nState = 0;
        m_pBody->m_nLife = 199;
        m_pBody->m_vPos.x = x;
        m_pBody->m_nTick = 9;
        Frame();
        ASSERT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
        EXPECT_EQ(m_pBody->m_AccX.fStep, x <= 320.0f ? -0.5f : 0.5f) << x;
        EXPECT_EQ(m_pBody->m_AccX.nClamp, 0);
        const float x0 = m_pBody->m_vPos.x;
        Frame();
        Frame();
        // Off by the value first, then the step: 0, then 0.5.
        EXPECT_EQ(m_pBody->m_vPos.x, x0 + m_pBody->m_AccX.fStep) << x;
        const int nStops = m_pBody->m_nStops;
        DWORD dwOff = 0, dwOffBefore = 0;
        RunExit(&dwOff, &dwOffBefore);
        EXPECT_GT(dwOff, 1000u) << x;
        EXPECT_LE(dwOffBefore, 1000u + 17u) << x;
        EXPECT_EQ(m_pBody->m_nState, 1);
        EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
        EXPECT_EQ(m_pBody->m_vPos.y, 256.0f);
        EXPECT_EQ(m_pBody->m_nStops, nStops + 1);
    }
}

TEST_F(BossFramework, ALethalHitScoresSetsTheGaugeFinishesTheWeaponsAndEndsTheBattleInThatOrder)
{
    m_Stage.StartBoss(m_pLabel, 0);
    m_pLabel->Spawn();
    Frame();
    m_Log.clear();
    CTestGun weak(40);
    EXPECT_EQ(m_pBody->HitByPlayerBullet(&m_Stage, &weak), 1);
    EXPECT_EQ(m_Log, std::vector<std::string>{"life 260"});
    EXPECT_EQ(m_Player.m_nPoint, 400);
    CTestGun strong(1000);
    EXPECT_EQ(m_pBody->HitByPlayerBullet(&m_Stage, &strong), 1);
    EXPECT_EQ(m_Log, (std::vector<std::string>{"life 260", "life -740", "finish life=-740 score=8000", "hud hidden"}));
    EXPECT_EQ(m_Player.m_nPoint, 400 + 2600 + 5000);
    EXPECT_TRUE(m_pBody->m_bDead);
    EXPECT_EQ(m_Player.m_bStageFinished, 1);
    // Dead: no more damage, no score.
    EXPECT_EQ(m_pBody->HitByPlayerBullet(&m_Stage, &strong), 0);
    EXPECT_EQ(m_Player.m_nPoint, 8000);
    EXPECT_FALSE(m_pBody->m_ExpBoss.IsFinished());
    D3DVECTOR v;
    m_pBody->m_ExpBoss.GetPosition(&v);
    EXPECT_EQ(v.x, m_pBody->m_vPos.x);
    EXPECT_EQ(v.y, -m_pBody->m_vPos.y);
}

TEST_F(BossFramework, TheDeadBodyExplodesThenFallsAndAsksForTheClearOnceBelowTheScreen)
{
    m_pLabel->Spawn();
    m_pBody->m_vPos.x = 400.0f;
    Frame();
    CTestGun strong(1000);
    m_pBody->HitByPlayerBullet(&m_Stage, &strong);
    ASSERT_TRUE(m_pBody->m_bDead);
    m_Log.clear();
    CCrushableSet::Register(&m_Gun);
    const DWORD dwDeath = Now();
    const float y0 = m_pBody->m_vPos.y;
    int nFinished = 0;
    for (int n = 1; n < 400 && !nFinished; n++) {
        Frame();
        if (m_pBody->m_ExpBoss.IsFinished())
            nFinished = n;
        else
            ASSERT_EQ(m_pBody->m_vPos.y, y0) << n;
    }
    ASSERT_GT(nFinished, 0);
    EXPECT_GT(Now() - dwDeath, 3200u);
    EXPECT_LT(Now() - dwDeath, 3300u);
    // The first fading frame already let the body fall by the first value (0).
    EXPECT_EQ(m_pBody->m_vPos.y, y0);
    EXPECT_EQ(m_pBody->m_Fall.fValue, 1.7f);
    float fPrev = m_pBody->m_vPos.y;
    const float fBottom = 480.0f + (float)m_pBody->m_nHeight;
    int nClear = 0;
    for (int n = 1; n < 200 && !nClear; n++) {
        Frame();
        if (!m_Log.empty()) {
            nClear = n;
            EXPECT_GT(m_pBody->m_vPos.y, fBottom);
            EXPECT_LE(fPrev, fBottom);
        }
        fPrev = m_pBody->m_vPos.y;
    }
    ASSERT_GT(nClear, 0);
    EXPECT_EQ(m_Log, std::vector<std::string>{"clear requested"});
    EXPECT_LT(HitSlot(), 0);
    Frame(20);
    EXPECT_EQ(m_Log.size(), 1u);
}

TEST_F(BossFramework, WithNoPlayerBulletRegisteredTheFallStillAsksForTheClear)
{
    m_pLabel->Spawn();
    Frame();
    CTestGun strong(1000);
    m_pBody->HitByPlayerBullet(&m_Stage, &strong);
    m_Log.clear();
    Frame(600);
    EXPECT_EQ(m_Log, std::vector<std::string>{"clear requested"});
}

TEST_F(BossFramework, ATimeOutStopsTheBossAndGivesTheSameExplosionFallAndClear)
{
    m_Stage.StartBoss(m_pLabel, 0);
    m_pLabel->Spawn();
    Frame(5);
    const int nStops = m_pBody->m_nStops;
    m_Log.clear();
    m_pLabel->OnTimeOut();
    m_Stage.EndBossBattle();
    EXPECT_TRUE(m_pLabel->IsFinished());
    EXPECT_TRUE(m_pBody->m_bDead);
    EXPECT_EQ(m_pBody->m_nStops, nStops + 1);
    EXPECT_GE(HitSlot(), 0);
    EXPECT_FALSE(m_pBody->m_ExpBoss.IsFinished());
    EXPECT_EQ(m_Log, std::vector<std::string>{"hud hidden"});
    // Hits after the time-out neither hurt nor score.
    const int nLife = m_pBody->m_nLife;
    CCrushableSet::Register(&m_Gun);
    m_Gun.m_nPower = 50;
    Frame();
    EXPECT_EQ(m_pBody->m_nLife, nLife);
    EXPECT_EQ(m_Player.m_nPoint, 0);
    int nClear = 0;
    for (int n = 1; n < 600 && !nClear; n++) {
        Frame();
        if (m_Log.size() > 1)
            nClear = n;
    }
    ASSERT_GT(nClear, 0);
    EXPECT_EQ(m_Log.back(), "clear requested");
    EXPECT_GT(m_pBody->m_vPos.y, 480.0f + (float)m_pBody->m_nHeight);
}

TEST_F(BossFramework, TheBodyIsDrawnAtItsPlaceFlashesWhenHitAndIsLeftToTheDeathDrawOnceDead)
{
    m_pLabel->Spawn();
    Frame();
    m_pBody->m_vPos.x = 320.0f;
    m_pBody->m_vPos.y = 240.0f;
    const int w = m_pBody->m_nWidth, h = m_pBody->m_nHeight;
    const int x0 = 320 - w / 2, y0 = 240 - h / 2 - 16;
    auto lit = [&](int xa, int ya, int xb, int yb) {
        int n = 0;
        for (int y = ya; y < yb; y++)
            for (int x = xa; x < xb; x++)
                n += BackPixel(x, y) != 0;
        return n;
    };
    FillBack(0);
    EXPECT_EQ(m_pLabel->Draw2D(g_lpDDSBack), 1);
    EXPECT_GT(lit(x0, y0, x0 + w, y0 + h), w * h / 2);
    EXPECT_EQ(lit(0, 0, 640, y0) + lit(0, y0 + h, 640, 480), 0);
    const WORD wPlain = BackPixel(320, y0 + h / 2);
    CTestGun weak(1);
    m_pBody->HitByPlayerBullet(&m_Stage, &weak);
    FillBack(0);
    m_pLabel->Draw2D(g_lpDDSBack);
    EXPECT_NE(BackPixel(320, y0 + h / 2), wPlain);
    // The death draw keeps the unflashed picture.
    EXPECT_EQ(m_pBody->m_lpRemembered, m_pKind->m_Pictures[0].GetImage(CDSurfaceEx::IMAGE_NORMAL));
    CTestGun strong(1000);
    m_pBody->HitByPlayerBullet(&m_Stage, &strong);
    FillBack(0);
    m_pLabel->Draw2D(g_lpDDSBack);
    EXPECT_EQ(lit(0, 0, 640, 480), 0);
}
