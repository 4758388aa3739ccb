#include <gtest/gtest.h>

#include <climits>

#include "engine/KeyRecorder.h"
#include "platform/host/Host.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "StageHarness.h"

namespace {

const std::initializer_list<const char*> kFlat = {"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1G1G1G1G1G1G1G1G1G1"};

class StageRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pOldHost = GetHost();
        SetHost(&m_Host);
    }
    void TearDown() override
    {
        m_Host.ReleaseKey(VK_TAB);
        SetHost(m_pOldHost);
        CAppTimer::Resume(0);
    }
    // Ticks until the frame clock has moved more than dwMs from now.
    int TicksPast(DWORD dwMs)
    {
        const DWORD dwStart = CAppTimer::GetElapsed(0);
        int n = 0;
        while (CAppTimer::GetElapsed(0) - dwStart <= dwMs) {
            h.Tick();
            n++;
        }
        return n;
    }

    CHostHeadless m_Host;
    IHost* m_pOldHost = nullptr;
    CStageHarness h;
    CStage& s = h.m_Stage;
    CStubPlayer& p = h.m_Player;
};

} // namespace

TEST_F(StageRun, AnUpdateRunsTheWorldAndAdvancesTheRecorder)
{
    h.Load(kFlat);
    const float fPos = s.GetLayerPos(3);
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    EXPECT_EQ(p.m_nUpdates, 1);
    EXPECT_EQ(p.m_nMoves, 1);
    EXPECT_EQ(p.m_nKeyRecords, 1);
    EXPECT_FLOAT_EQ(s.GetLayerPos(3), fPos + 10.0f);
}

TEST_F(StageRun, TabPausesOnceUntilReleased)
{
    h.PlugScreens();
    h.Load(kFlat);
    m_Host.PressKey(VK_TAB);
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PAUSE);
    EXPECT_EQ(h.m_Pause.m_nStarts, 1);
    EXPECT_EQ(CAppTimer::IsPaused(0), 1);
    // Nothing runs while paused, not even the recorder.
    const int nRecords = p.m_nKeyRecords;
    h.Tick(3);
    EXPECT_EQ(p.m_nKeyRecords, nRecords);
    EXPECT_EQ(h.m_Pause.m_nUpdates, 4);
    // Back to the game with Tab still held: no new pause.
    h.m_Pause.m_bDecided = 1;
    h.m_Pause.m_nChoice = PAUSE_CHOICE_GAME;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    EXPECT_EQ(CAppTimer::IsPaused(0), 0);
    EXPECT_EQ(p.m_nKeyRecords, nRecords + 1);
    h.Tick(2);
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    m_Host.ReleaseKey(VK_TAB);
    h.Tick();
    m_Host.PressKey(VK_TAB);
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PAUSE);
    EXPECT_EQ(h.m_Pause.m_nStarts, 2);
}

TEST_F(StageRun, ThePauseMenuCanQuitToTheTitle)
{
    h.PlugScreens();
    h.Load(kFlat);
    m_Host.PressKey(VK_TAB);
    h.Tick();
    h.m_Pause.m_bDecided = 1;
    h.m_Pause.m_nChoice = PAUSE_CHOICE_TITLE;
    const int nRecords = p.m_nKeyRecords;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_QUIT);
    EXPECT_EQ(s.IsQuitByPause(), 1);
    EXPECT_EQ(s.IsLeaving(), 1);
    EXPECT_EQ(p.m_nKeyRecords, nRecords);
}

TEST_F(StageRun, WithoutAPauseMenuThePauseEndsAtTheNextUpdate)
{
    h.Load(kFlat);
    m_Host.PressKey(VK_TAB);
    s.CheckPauseKey();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PAUSE);
    EXPECT_EQ(CAppTimer::IsPaused(0), 1);
    const int nRecords = p.m_nKeyRecords;
    s.Update();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    EXPECT_EQ(CAppTimer::IsPaused(0), 0);
    // Back in play, the rest of the update runs.
    EXPECT_EQ(p.m_nKeyRecords, nRecords + 1);
    s.CheckPauseKey();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
}

TEST_F(StageRun, TheMissTestBounds)
{
    h.LoadStill(kFlat);
    p.m_vPos = D3DVECTOR{{640.0f}, {100.0f}, {0.0f}};
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    p.m_vPos.x = 0.0f;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    p.m_vPos.x = 640.01f;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_GAMEOVER);
    EXPECT_EQ(p.m_nMisses, 1);
}

// At the left edge the scroll carry and the free move cancel out, so a heroine pushed there by a
// wall falls through the ground without leaving 0..640: below the map she is out.
TEST_F(StageRun, AHeroineFallenBelowTheMapIsOut)
{
    h.LoadStill(kFlat);
    p.m_vPos = D3DVECTOR{{3.0f}, {STAGE_FALL_OUT_Y}, {0.0f}};
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    p.m_vPos = D3DVECTOR{{3.0f}, {STAGE_FALL_OUT_Y + 0.5f}, {0.0f}};
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_GAMEOVER);
    EXPECT_EQ(p.m_nMisses, 1);
}

// Her entry lasts until she lands: with no ground to land on she is out once below the map, not
// left falling unseen while the stage runs on.
TEST_F(StageRun, AHeroineWhoFallsWhileEnteringIsOut)
{
    h.LoadStill(kFlat);
    p.m_vPos = D3DVECTOR{{-5.0f}, {STAGE_FALL_OUT_Y}, {0.0f}};
    p.m_dwState = PLAYER_STATE_ENTERING;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    p.m_vPos.y = STAGE_FALL_OUT_Y + 0.5f;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_GAMEOVER);
    EXPECT_EQ(p.m_nMisses, 1);
}

TEST_F(StageRun, TheMissBitPutsHerOutOnScreenAndTheEnteringBitShieldsHer)
{
    h.LoadStill(kFlat);
    p.m_vPos = D3DVECTOR{{-5.0f}, {100.0f}, {0.0f}};
    p.m_dwState = PLAYER_STATE_ENTERING;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    p.m_vPos.x = 300.0f;
    p.m_dwState = PLAYER_STATE_MISS | PLAYER_STATE_JUMP;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_GAMEOVER);
}

TEST_F(StageRun, GameOverWaitsForTheMissDelayThenContinues)
{
    h.PlugScreens();
    h.Load(kFlat);
    h.m_Cockpit.m_bHidden = 0;
    p.m_vPos.x = 700.0f;
    h.Tick();
    ASSERT_EQ(s.GetState(), STAGE_STATE_GAMEOVER);
    EXPECT_EQ(h.m_Cockpit.m_nStops, 1);
    // The screen comes more than 100 ms after the miss.
    const int nTicks = TicksPast(100);
    EXPECT_EQ(nTicks, 7);
    EXPECT_EQ(h.m_GameOver.m_nStarts, 1);
    EXPECT_EQ(h.m_GameOver.m_bInteractive, 1);
    EXPECT_EQ(h.m_GameOver.m_bRunning, 1);
    EXPECT_EQ(s.GetStep(3), 0.0f);
    // Once it covers the stage only the recorder advances.
    h.m_GameOver.m_nState = 1;
    const int nUpdates = p.m_nUpdates;
    const int nRecords = p.m_nKeyRecords;
    h.Tick(3);
    EXPECT_EQ(p.m_nUpdates, nUpdates);
    EXPECT_EQ(p.m_nKeyRecords, nRecords + 3);
    // Continue: the same stage from its first screen.
    h.m_GameOver.m_nChoice = GAMEOVER_CHOICE_CONTINUE;
    p.m_vPos.x = 100.0f;
    p.m_dwState = PLAYER_STATE_FLAT;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    EXPECT_EQ(p.m_nStarts, 2);
    EXPECT_EQ(h.m_GameOver.IsHidden(), 1);
    EXPECT_EQ(s.GetStep(3), 10.0f);
    EXPECT_EQ(s.GetScreen(), 1);
}

TEST_F(StageRun, GameOverCanReturnToTheTitleAndAReplayLeavesWhenItsScreenEnds)
{
    h.PlugScreens();
    h.Load(kFlat);
    p.m_vPos.x = 700.0f;
    h.Tick();
    TicksPast(100);
    h.m_GameOver.m_nChoice = GAMEOVER_CHOICE_TITLE;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_LEAVE);
    // Still out of the screen, she does not turn the leaving stage back into a game over.
    h.Tick(2);
    EXPECT_EQ(s.GetState(), STAGE_STATE_LEAVE);
    EXPECT_EQ(p.m_nMisses, 1);

    s.Reset();
    s.Start(0, 1);
    p.m_dwState = PLAYER_STATE_PLAYBACK;
    p.m_vPos.x = 700.0f;
    h.Tick();
    TicksPast(100);
    EXPECT_EQ(h.m_GameOver.m_bInteractive, 0);
    EXPECT_EQ(s.GetState(), STAGE_STATE_GAMEOVER);
    h.m_GameOver.m_bFinished = 1;
    h.Tick();
    EXPECT_EQ(s.GetState(), STAGE_STATE_LEAVE);
}

TEST_F(StageRun, WithoutAGameOverScreenTheMissContinues)
{
    h.Load(kFlat);
    p.m_vPos.x = 700.0f;
    h.Tick();
    ASSERT_EQ(s.GetState(), STAGE_STATE_GAMEOVER);
    p.m_vPos.x = 100.0f;
    p.m_dwState = PLAYER_STATE_FLAT;
    TicksPast(100);
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    EXPECT_EQ(p.m_nStarts, 2);
}

TEST_F(StageRun, TheClearTallyStartsAfterASecondAddsItsTotalOnceAndLeaves)
{
    h.PlugScreens();
    h.Load(kFlat);
    p.m_nPoint = 100;
    s.RequestStageClear();
    EXPECT_EQ(TicksPast(1000), 61);
    EXPECT_EQ(h.m_Clear.m_nStarts, 1);
    EXPECT_EQ(s.IsClearIdle(), 1);
    h.m_Clear.m_nTotal = 5000;
    h.m_Clear.m_nState = STAGECLEAR_STATE_DONE;
    h.Tick();
    EXPECT_EQ(p.m_nPoint, 5100);
    EXPECT_EQ(TicksPast(1500) > 0, true);
    EXPECT_EQ(p.m_nPoint, 5100);
    EXPECT_EQ(s.GetState(), STAGE_STATE_CLEARED);
}

TEST_F(StageRun, NoClearWithoutLifeAndNoTallyMeansATotalOfNothing)
{
    h.Load(kFlat);
    p.m_fLifeRatio = 0.005f;
    s.RequestStageClear();
    TicksPast(3000);
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    p.m_fLifeRatio = 0.5f;
    p.m_nPoint = 7;
    s.RequestStageClear();
    TicksPast(2600);
    EXPECT_EQ(s.GetState(), STAGE_STATE_CLEARED);
    EXPECT_EQ(p.m_nPoint, 7);
}

TEST_F(StageRun, ClearBonuses)
{
    h.PlugScreens();
    h.Load(kFlat);
    int nLife = -1, nTime = -1, nTarget = -1;
    h.m_Cockpit.m_nSeconds = 42;
    p.m_fLifeRatio = 1.0f;
    s.GetClearBonus(&nLife, &nTime, &nTarget);
    EXPECT_EQ(nLife, 300000);
    EXPECT_EQ(nTime, 42000);
    EXPECT_EQ(nTarget, 100000);
    p.m_fLifeRatio = 0.99f;
    s.GetClearBonus(&nLife, nullptr, nullptr);
    EXPECT_EQ(nLife, 198000);
    h.m_Cockpit.m_nSeconds = 0;
    s.GetClearBonus(nullptr, &nTime, &nTarget);
    EXPECT_EQ(nTime, 0);
    EXPECT_EQ(nTarget, 0);
    h.m_Cockpit.m_nSeconds = 1;
    s.GetClearBonus(nullptr, &nTime, &nTarget);
    EXPECT_EQ(nTime, 1000);
    EXPECT_EQ(nTarget, 100000);
    EXPECT_EQ(CStage::GetStageBonus(5), 500000);
    EXPECT_EQ(CStage::GetStageBonus(0), 0);
    EXPECT_EQ(CStage::GetStageBonus(6), 0);
}

TEST_F(StageRun, ClearResultsAndTheLastStageFlag)
{
    h.PlugScreens();
    h.Load(kFlat);
    // Stage 1 of 5: never the last stage.
    h.m_Cockpit.m_nSeconds = 5;
    p.m_fLifeRatio = 0.5f;
    s.EndBossBattle();
    EXPECT_EQ(s.m_nLifePercent, 50);
    EXPECT_EQ(s.m_nTimeLeft, 5);
    EXPECT_EQ(s.m_nTargetBonus, 100000);
    EXPECT_EQ(h.m_Clear.m_bLast, 0);
    EXPECT_EQ(h.m_Clear.m_nLife, 50);
    s.GetStageData().m_nStageNo = 5;
    s.ComputeClearResults();
    EXPECT_EQ(h.m_Clear.m_bLast, 1);
    EXPECT_EQ(s.m_nTargetBonus, 500000);
    h.m_Cockpit.m_nSeconds = 11;
    s.ComputeClearResults();
    EXPECT_EQ(h.m_Clear.m_bLast, 0);
    // No life: the results stay.
    p.m_fLifeRatio = 0.0f;
    h.m_Cockpit.m_nSeconds = 0;
    s.ComputeClearResults();
    EXPECT_EQ(s.m_nTimeLeft, 11);
}

TEST_F(StageRun, DangerBeaconsStackAroundTheHeight)
{
    h.PlugScreens();
    h.Load(kFlat);
    h.m_Beacon[1].m_bFinished = 0;
    s.StartDanger(100, 400, 3, 1);
    // Height 40: the first at 400 - 20 * 2, then 40 apart, skipping the busy beacon 1.
    EXPECT_EQ(h.m_Beacon[0].m_nStarts, 1);
    EXPECT_FLOAT_EQ(h.m_Beacon[0].m_fY, 360.0f);
    EXPECT_EQ(h.m_Beacon[0].m_bChat, 1);
    EXPECT_EQ(h.m_Beacon[1].m_nStarts, 0);
    EXPECT_FLOAT_EQ(h.m_Beacon[2].m_fY, 400.0f);
    EXPECT_EQ(h.m_Beacon[2].m_bChat, 0);
    EXPECT_FLOAT_EQ(h.m_Beacon[3].m_fY, 440.0f);
    EXPECT_FLOAT_EQ(h.m_Beacon[3].m_fX, 100.0f);
    EXPECT_EQ(h.m_Beacon[4].m_nStarts, 0);
    // More than are idle: only the idle ones start.
    s.StartDanger(0, 0, 9, 0);
    EXPECT_EQ(h.m_Beacon[6].m_nStarts, 1);
    EXPECT_EQ(h.m_Beacon[7].m_nStarts, 0);
    EXPECT_EQ(h.m_Beacon[8].m_nStarts, 0);
    s.StartBossWarning();
    EXPECT_EQ(h.m_Beacon[8].m_nStarts, 1);
}

TEST_F(StageRun, AHugeDangerCountStacksWithoutOverflow)
{
    h.PlugScreens();
    h.Load(kFlat);
    s.StartDanger(100, 400, INT_MAX, 0);
    // 20 * (INT_MAX - 1) above 400; all seven danger beacons, 40 apart.
    const double dFirst = 400.0 - 20.0 * (double)(INT_MAX - 1);
    EXPECT_FLOAT_EQ(h.m_Beacon[0].m_fY, (float)dFirst);
    EXPECT_FLOAT_EQ(h.m_Beacon[6].m_fY, (float)(dFirst + 6 * 40.0));
    EXPECT_EQ(h.m_Beacon[6].m_nStarts, 1);
    EXPECT_EQ(h.m_Beacon[7].m_nStarts, 0);
    // The last beacon of a low stack stays put at the top of the range.
    s.Reset();
    s.StartDanger(0, INT_MAX, 1, 0);
    EXPECT_FLOAT_EQ(h.m_Beacon[0].m_fY, (float)INT_MAX);
}

TEST_F(StageRun, BossEventsAndConstructive)
{
    h.PlugScreens();
    h.Load(kFlat);
    CObjectLabel* pLabel = h.Listed(3, 0, 4, 7);
    EXPECT_EQ(s.IsBossBattle(), 0);
    s.StartBoss(pLabel, 2);
    EXPECT_EQ(s.IsBossBattle(), 1);
    EXPECT_EQ(h.m_Cockpit.m_nBoss, 2);
    EXPECT_EQ(s.m_pBoss, pLabel);
    EXPECT_EQ(s.GetLayerList(6).front(), pLabel);
    s.SetConstructive(1);
    EXPECT_EQ(h.m_Constructive.m_nStarts, 1);
    g_nOptionFlags[0] = 1;
    s.SetConstructive(1);
    g_nOptionFlags[0] = 0;
    EXPECT_EQ(h.m_Constructive.m_nStarts, 1);
    EXPECT_EQ(h.m_Constructive.m_nPopOuts, 1);
}

TEST_F(StageRun, TheCameraFollowsHerHeightWithinSixteen)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#BGSPEED1 0.5:0.5", "#000C01:G1"});
    p.m_vPos.y = 240.0f;
    s.UpdateCamera();
    for (int i = 0; i < BG_NUM; i++)
        EXPECT_EQ(s.GetOffsetY(i), 0.0f);
    p.m_vPos.y = 360.0f;
    s.UpdateCamera();
    EXPECT_EQ(s.GetOffsetY(3), -16.0f);
    EXPECT_FLOAT_EQ(s.GetOffsetY(1), -8.0f);
    p.m_vPos.y = 120.0f;
    s.UpdateCamera();
    EXPECT_EQ(s.GetOffsetY(3), 16.0f);
    p.m_vPos.y = 1000.0f;
    s.UpdateCamera();
    EXPECT_EQ(s.GetOffsetY(1), -16.0f);
}

TEST_F(StageRun, UnloadForgetsEveryLabel)
{
    h.Load(kFlat);
    ASSERT_FALSE(s.GetLayerList(3).empty());
    s.UnloadStage();
    for (int i = 0; i < BG_NUM; i++)
        EXPECT_TRUE(s.GetLayerList(i).empty());
    EXPECT_EQ(s.m_pBgCur, nullptr);
}

TEST_F(StageRun, AFailedLoadIsReported)
{
    EXPECT_EQ(s.LoadStage(nullptr, 3, 0), 0);
}

namespace {

// A far-background picture record; the surface is only carried through, never drawn here.
BG0RECORD* Picture(int nWidth, int nHeight, IDirectDrawSurface7* lpSurface)
{
    BG0RECORD* p = new BG0RECORD;
    p->lpSurface = lpSurface;
    p->nWidth = nWidth;
    p->nHeight = nHeight;
    return p;
}

// Takes the stand-in surfaces off the records before the stage data releases them.
struct CFakeSurfaces {
    std::vector<BG0RECORD*> records;
    ~CFakeSurfaces()
    {
        for (BG0RECORD* p : records)
            p->lpSurface = nullptr;
    }
};

void ExpectRect(const RECT& rc, LONG l, LONG t, LONG r, LONG b)
{
    EXPECT_EQ(rc.left, l);
    EXPECT_EQ(rc.top, t);
    EXPECT_EQ(rc.right, r);
    EXPECT_EQ(rc.bottom, b);
}

} // namespace

TEST_F(StageRun, TheFarBackgroundEntersFromTheRightAndRepeats)
{
    h.Load(kFlat, false);
    // Any non-null surface: the rectangles are checked, nothing is blitted.
    IDirectDrawSurface7* lpFake = reinterpret_cast<IDirectDrawSurface7*>(&h);
    BG0RECORD* pSky = Picture(800, 480, lpFake);
    CFakeSurfaces fakes{{pSky}};
    s.GetStageData().m_BG0List.Set(0, pSky);
    s.Reset();
    s.Start(1, 0);
    // Start: 160 still to come, less the first tick's 10.
    EXPECT_FLOAT_EQ(s.m_fBgRemain, 150.0f);
    FARBLIT blits[2];
    ASSERT_EQ(s.GetFarBackgroundBlits(0.0f, blits), 1);
    ExpectRect(blits[0].rcSrc, 10, 0, 650, 480);
    ExpectRect(blits[0].rcDst, 0, 0, 640, 480);
    // The camera moves the band; the screen clips it and the source with it.
    ASSERT_EQ(s.GetFarBackgroundBlits(16.0f, blits), 1);
    ExpectRect(blits[0].rcDst, 0, 16, 640, 480);
    ExpectRect(blits[0].rcSrc, 10, 0, 650, 464);

    // Once the whole picture has entered it enters again behind itself.
    for (int i = 0; i < 16; i++)
        s.UpdateFarBackground();
    EXPECT_EQ(s.m_pBgPrev, pSky);
    EXPECT_EQ(s.m_pBgCur, pSky);
    EXPECT_FLOAT_EQ(s.m_fBgRemain, 800.0f);
    ASSERT_EQ(s.GetFarBackgroundBlits(0.0f, blits), 1);
    ExpectRect(blits[0].rcSrc, 160, 0, 800, 480);
    ExpectRect(blits[0].rcDst, 0, 0, 640, 480);
    for (int i = 0; i < 20; i++)
        s.UpdateFarBackground();
    ASSERT_EQ(s.GetFarBackgroundBlits(0.0f, blits), 2);
    ExpectRect(blits[0].rcSrc, 0, 0, 200, 480);
    ExpectRect(blits[0].rcDst, 440, 0, 640, 480);
    ExpectRect(blits[1].rcSrc, 360, 0, 800, 480);
    ExpectRect(blits[1].rcDst, 0, 0, 440, 480);
}

TEST_F(StageRun, AnOffRecordShowsAGapAndTheOldTail)
{
    h.Load(kFlat);
    IDirectDrawSurface7* lpFake = reinterpret_cast<IDirectDrawSurface7*>(&h);
    BG0RECORD* pSky = Picture(640, 400, lpFake);
    BG0RECORD* pOff = Picture(0, 0, nullptr);
    CFakeSurfaces fakes{{pSky}};
    s.GetStageData().m_BG0List.Set(0, pSky);
    s.GetStageData().m_BG0List.Set(1, pOff);
    s.m_pBgPrev = pSky;
    s.m_pBgCur = pOff;
    s.m_fBgNextGap = 100.0f;
    s.m_fBgRemain = 70.0f;
    s.m_fBgGap = 0.0f;
    FARBLIT blits[2];
    // 30 of the gap are on screen; the old picture's tail fills the rest, centred on 240 - 16.
    ASSERT_EQ(s.GetFarBackgroundBlits(-16.0f, blits), 1);
    ExpectRect(blits[0].rcDst, 0, 24, 610, 424);
    ExpectRect(blits[0].rcSrc, 30, 0, 640, 400);
    // A record without a picture never leaves one behind to draw.
    s.m_pBgPrev = pOff;
    EXPECT_EQ(s.GetFarBackgroundBlits(0.0f, blits), 0);
    // A still far layer takes the record of the current screen every tick.
    s.GetStageData().m_vVelocity[0].x = 0.0f;
    s.m_nScreen = 5;
    s.UpdateFarBackground();
    EXPECT_EQ(s.m_pBgCur, pOff);
    s.m_nScreen = 0;
    s.UpdateFarBackground();
    EXPECT_EQ(s.m_pBgCur, pSky);
}
