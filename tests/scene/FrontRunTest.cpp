// The program from its logo on, headless, as a player meets it: the title's demo play of the
// generated demos checked frame by frame against their recording; a run started with the start
// menu's choices through a miss, the game-over screen and a retry; a run saved into a slot beside a
// damaged replay and played back frame by frame.
#include <gtest/gtest.h>

#include <filesystem>

#include "demo/DemoRecorder.h"
#include "engine/KeyRecorder.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"

namespace {

using FrontRun = CProgramRun;
using States = std::vector<int>;

const uint32_t kLongRun = 200000;

// A key pressed at one pass and let go at another, counted from the first pass of a state.
struct STATEKEY {
    int nState;
    uint32_t nPass;
    int nKey;
    bool bDown;
};

// Presses and lets go the keys due in the current state.
void PlayStateKeys(CHostHeadless& host, CObservedGame& game, const std::vector<STATEKEY>& keys)
{
    for (const STATEKEY& k : keys) {
        if (k.nState != game.GetState() || host.GetFrameTicks() - game.FirstTick(k.nState) != k.nPass)
            continue;
        if (k.bDown)
            host.PressKey(k.nKey);
        else
            host.ReleaseKey(k.nKey);
    }
}

// The stage runs (and its fade) from a replay.
bool IsPlayingBack(CObservedGame& game)
{
    return CDemoRecorder::IsStageRunning(game) && CKeyRecorder::GetInstance()->GetMode() == KEYREC_MODE_PLAY;
}

// The frames both runs had are the same frames.
void ExpectSameFrames(const std::vector<DEMOSAMPLE>& played, const std::vector<DEMOSAMPLE>& recorded)
{
    for (size_t i = 0; i < played.size() && i < recorded.size(); i++) {
        ASSERT_EQ(played[i], recorded[i]) << "frame " << played[i].nFrame << " (sample " << i << "): played ("
                                          << played[i].fX << ", " << played[i].fY << "), recorded ("
                                          << recorded[i].fX << ", " << recorded[i].fY << ")";
    }
}

} // namespace

TEST_F(FrontRun, TheCountDownPlaysTheGeneratedDemoInSyncToItsEndThenTheLogoBarAndTheOpeningLeadBack)
{
    MakeData();
    // The generator's recording of this data set, made again here with the heroine frame by frame.
    std::vector<DEMOSAMPLE> recorded;
    std::string strError;
    UnseedEffectRandoms();
    const std::vector<uint8_t> replay = CDemoRecorder(".").Record(1, &recorded, &strError);
    ASSERT_FALSE(replay.empty()) << strError;
    EXPECT_EQ(replay, CTempFolder::Get("GameData/Title/ReplayDemo01.dat"));
    std::filesystem::remove_all("Replay");
    SetParam("DEMO_COUNT", "1000, 500");

    std::vector<DEMOSAMPLE> played;
    m_Game.m_OnUpdate = [&](CObservedGame& game) {
        if (game.IsDemo() && IsPlayingBack(game))
            played.push_back(CDemoRecorder::SampleOf(game));
    };
    // Z held through each opening skips it.
    bool bZ = false;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        const bool bOpening = game.GetState() == CGame::STATE_OPENING;
        if (bOpening != bZ) {
            bOpening ? m_Host.PressKey('Z') : m_Host.ReleaseKey('Z');
            bZ = bOpening;
        }
        if (game.GetState() == CGame::STATE_TITLE && game.Visits(CGame::STATE_TITLE) == 2) {
            game.m_OnRender = nullptr;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{1, 9, 10, 13, 14, 3, 4, 15, 16, 2, 9, 10, 13}));
    EXPECT_EQ(m_Game.GetNextDemo(), 2);
    // The demo ran its DEMOPLAY01 time, the recording a second more; every frame it played is the
    // recorded frame.
    ASSERT_FALSE(played.empty());
    EXPECT_LT(played.size(), recorded.size() - 50);
    EXPECT_GT(played.size(), recorded.size() - 75);
    ExpectSameFrames(played, recorded);
    // She rode on and was not out.
    EXPECT_GT(played.back().fX, played.front().fX);
    EXPECT_GT(played.back().nLife, 0);
}

TEST_F(FrontRun, TheStartMenusChoicesRideIntoStageOneWhereAMissEndsInGameOverAndARetry)
{
    MakeData();
    SetParam("PLAY_OPENING", "0");
    m_Game.m_bStartFromTitle = true;
    m_Game.m_bConfirmStartMenu = false;
    // Hard (Right, Z), then the next sub-weapon (Right, Z).
    const std::vector<STATEKEY> keys = {
        {CGame::STATE_START_MENU, 10, VK_RIGHT, true}, {CGame::STATE_START_MENU, 12, VK_RIGHT, false},
        {CGame::STATE_START_MENU, 14, 'Z', true},      {CGame::STATE_START_MENU, 16, 'Z', false},
        {CGame::STATE_START_MENU, 30, VK_RIGHT, true}, {CGame::STATE_START_MENU, 32, VK_RIGHT, false},
        {CGame::STATE_START_MENU, 34, 'Z', true},      {CGame::STATE_START_MENU, 36, 'Z', false},
    };
    g_nOptionFlags[0] = 1;
    int nFirstWeapon = -1, nChosenWeapon = -1, nRidingWeapon = -1, nRetryWeapon = -1;
    bool bMiss = false, bRetried = false;
    int nMenuTicks = -1;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        PlayStateKeys(m_Host, game, keys);
        CStart& start = game.GetStartMenu();
        const int nTick = static_cast<int>(m_Host.GetFrameTicks());
        switch (game.GetState()) {
        case CGame::STATE_START_MENU:
            if (nFirstWeapon < 0)
                nFirstWeapon = start.GetSubWeapon();
            nChosenWeapon = start.GetSubWeapon();
            break;
        case CGame::STATE_STAGE: {
            CStage& stage = game.GetStage();
            CGameOver& over = game.GetGameOver();
            if (nRidingWeapon < 0)
                nRidingWeapon = game.GetPlayer().GetSubWeapon();
            bMiss = bMiss || stage.GetState() == STAGE_STATE_GAMEOVER;
            // Retry is the game-over menu's first item.
            if (nMenuTicks < 0 && over.GetState() == CGameOver::STATE_MENU && !over.IsHidden()) {
                nMenuTicks = nTick;
                m_Host.PressKey('Z');
            } else if (nMenuTicks >= 0 && nTick == nMenuTicks + 3) {
                m_Host.ReleaseKey('Z');
            }
            if (nMenuTicks >= 0 && !bRetried && stage.GetState() == STAGE_STATE_PLAY) {
                bRetried = true;
                nRetryWeapon = game.GetPlayer().GetSubWeapon();
                EXPECT_TRUE(game.GetPlayer().GetState() & PLAYER_STATE_ENTERING);
                game.m_OnRender = nullptr;
                CloseSoon();
            }
            break;
        }
        default:
            break;
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{1, 13, 14, 11, 12, 3, 4, 15}));
    // Hard: no half damage.
    EXPECT_EQ(g_nOptionFlags[0], 0);
    EXPECT_NE(nChosenWeapon, nFirstWeapon);
    EXPECT_EQ(nRidingWeapon, nChosenWeapon);
    EXPECT_TRUE(bMiss);
    EXPECT_TRUE(bRetried);
    EXPECT_EQ(nRetryWeapon, nChosenWeapon);
}

TEST_F(FrontRun, ARunSavedIntoSlotTwoBesideADamagedReplayPlaysBackInSyncFrameByFrame)
{
    MakeStageData();
    m_Game.m_bLeaveReplaySelect = false;
    // Slot 1 holds a replay cut short: shown as empty, never chosen, never written over.
    REPLAYIMAGE image;
    image.header.nYear = 2026;
    image.header.nMonth = 2;
    image.header.nDay = 3;
    image.header.nScore = 100;
    rvm::vector<uint8_t> damaged = EncodeReplay(image);
    damaged.resize(30);
    CTempFolder::Put("Replay/Replay01.dat", damaged);

    // A ride by frames of the recording: forward, shots, a jump.
    const int kRunFrames = 300;
    std::vector<KEYEVENT> track = {{20, VK_RIGHT, true}, {70, VK_RIGHT, false}, {150, 'X', true}, {164, 'X', false}};
    for (int f = 40; f < kRunFrames; f += 18) {
        track.push_back({f, 'Z', true});
        track.push_back({f + 9, 'Z', false});
    }
    std::vector<DEMOSAMPLE> recorded, played;
    m_Game.m_OnUpdate = [&](CObservedGame& game) {
        if (!CDemoRecorder::IsStageRunning(game))
            return;
        CKeyRecorder* pRec = CKeyRecorder::GetInstance();
        if (pRec->GetMode() == KEYREC_MODE_RECORD) {
            recorded.push_back(CDemoRecorder::SampleOf(game));
            for (const KEYEVENT& k : track) {
                if (k.nTick == pRec->GetFrame())
                    k.bDown ? m_Host.PressKey(k.nKey) : m_Host.ReleaseKey(k.nKey);
            }
            if (pRec->GetFrame() == kRunFrames) {
                for (int nKey : {int(VK_RIGHT), int('Z'), int('X'), int('C')})
                    m_Host.ReleaseKey(nKey);
                game.GetStage().SetState(STAGE_STATE_LEAVE);
            }
        } else if (IsPlayingBack(game)) {
            played.push_back(CDemoRecorder::SampleOf(game));
        }
    };
    int nSavedShown = 0;
    int nLoadCursor = -1, nCursorAfterUp = -1;
    bool bSlotOneShown = true;
    int nStep = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        CReplaySel& sel = game.GetReplaySel();
        switch (game.GetState()) {
        case CGame::STATE_REPLAY_SELECT:
            if (sel.GetResult() == CReplaySel::RESULT_SAVED) {
                nSavedShown += sel.GetSlot(1).bValid;
            }
            if (sel.GetResult() != CReplaySel::RESULT_NONE) {
                break;
            }
            nStep++;
            if (sel.IsSaveMode()) {
                // Down to slot 2, then shot.
                const int nKey = sel.GetCursor() == 0 ? VK_DOWN : 'Z';
                if (nStep % 4 == 1)
                    m_Host.PressKey(nKey);
                else if (nStep % 4 == 3)
                    m_Host.ReleaseKey(nKey);
                break;
            }
            // Load mode: the cursor found slot 2; Up finds no other; then shot.
            bSlotOneShown = bSlotOneShown && sel.GetSlot(0).bValid;
            if (nLoadCursor < 0)
                nLoadCursor = sel.GetCursor();
            if (nStep % 8 == 1)
                m_Host.PressKey(nCursorAfterUp < 0 ? VK_UP : 'Z');
            else if (nStep % 8 == 3) {
                m_Host.ReleaseKey(nCursorAfterUp < 0 ? VK_UP : 'Z');
                if (nCursorAfterUp < 0)
                    nCursorAfterUp = sel.GetCursor();
            }
            break;
        case CGame::STATE_TITLE:
            m_Host.ReleaseKey('Z');
            if (game.Visits(CGame::STATE_TITLE) == 2) {
                game.m_OnRender = nullptr;
                CloseSoon();
            } else if (game.GetTitle().GetResult() == CTitle::RESULT_MENU) {
                game.GetTitle().SetResult(CTitle::RESULT_REPLAY);
            }
            break;
        default:
            break;
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    // The chosen replay ends where its record ends, at the title.
    EXPECT_EQ(m_Game.States(), (States{3, 4, 15, 16, 7, 8, 13, 14, 7, 8, 3, 4, 15, 16, 13}));
    EXPECT_EQ(CTempFolder::Get<rvm::vector<uint8_t>>("Replay/Replay01.dat"), damaged);
    EXPECT_TRUE(std::filesystem::exists("Replay/Replay02.dat"));
    // The new header was read again: the slot showed as valid during the confirmation.
    EXPECT_GT(nSavedShown, 50);
    EXPECT_FALSE(bSlotOneShown);
    EXPECT_EQ(nLoadCursor, 1);
    EXPECT_EQ(nCursorAfterUp, 1);
    EXPECT_EQ(m_Game.GetStageNumber(), 1);
    // Frame by frame the same ride, to the end of the record.
    ASSERT_GE(recorded.size(), static_cast<size_t>(kRunFrames));
    EXPECT_GE(played.size(), static_cast<size_t>(kRunFrames));
    ExpectSameFrames(played, recorded);
}
