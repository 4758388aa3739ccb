// Stage 1 of the generated data played through the whole program on the headless host with a
// scripted key track: she lands, climbs the hill, shoots the crates, jumps onto the block and onto
// a platform and drops through it. The same run is then recorded, saved as a replay and played back
// tick by tick.
#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "engine/KeyRecorder.h"
#include "engine/WinMain.h"
#include "platform/win/Win.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "stage/ObjectLabel.h"
#include "stage/Stage.h"

namespace {

// Her position on the ground (the ground row's top is 448; bodies stand 5 px above a top) and on
// anything one cell higher.
const float kGroundY = 443.0f;
const float kStepY = 379.0f;
const float kRideX = 121.0f;  // where her ride-in from the left ends

struct KEYEVENT {
    int nTick;  // stage ticks since the stage started
    int nKey;
    bool bDown;
};

// Z shoots the two crates of the second screen, X jumps onto the block behind them and later
// onto the first platform, Down + X drops through it.
const KEYEVENT kTrack[] = {
    {250, 'Z', true}, {330, 'Z', false}, {404, 'X', true}, {425, 'X', false}, {468, 'X', true},
    {490, 'X', false}, {494, VK_DOWN, true}, {495, 'X', true}, {505, 'X', false}, {505, VK_DOWN, false},
};
const int kTrackEnd = 560;

// What one stage tick leaves: her place and state word, the stage's state and every listed label's
// place, for comparing runs tick by tick.
struct TICKSAMPLE {
    float x, y;
    DWORD dwState;
    int nStageState;
    uint64_t nLabelHash;

    bool operator==(const TICKSAMPLE& o) const
    {
        return x == o.x && y == o.y && dwState == o.dwState && nStageState == o.nStageState &&
               nLabelHash == o.nLabelHash;
    }
};

uint64_t HashLabels(CStage& stage)
{
    uint64_t h = 1469598103934665603ULL;
    auto mix = [&h](const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; i++)
            h = (h ^ b[i]) * 1099511628211ULL;
    };
    for (int nLayer = 0; nLayer < 7; nLayer++) {
        for (CObjectLabel* pLabel : stage.GetLayerList(nLayer)) {
            mix(&pLabel->m_vPos, sizeof(pLabel->m_vPos));
            mix(&pLabel->m_nDurability, sizeof(pLabel->m_nDurability));
        }
    }
    return h;
}

// The playback bit is left out: it is all that tells a played run from the recorded one.
TICKSAMPLE Sample(CGame& game)
{
    D3DVECTOR p;
    game.GetPlayer().GetPosition(&p);
    const DWORD dwState = game.GetPlayer().GetState() & ~(DWORD)PLAYER_STATE_PLAYBACK;
    return TICKSAMPLE{p.x, p.y, dwState, game.GetStage().GetState(), HashLabels(game.GetStage())};
}

// The name of the main-layer object just under her.
std::string Underfoot(CGame& game)
{
    D3DVECTOR p;
    game.GetPlayer().GetPosition(&p);
    p.y += 6.0f;
    CObjectLabel* pLabel = game.GetStage().GetMainLabelAt(p);
    return pLabel ? pLabel->GetName() : "";
}

class StageRun : public CProgramRun {
protected:
    // Plays the key track from the stage's first tick; fnEach sees every stage tick.
    void PlayTrack(const std::function<void(CObservedGame&, int)>& fnEach)
    {
        m_Game.m_OnRender = [this, fnEach](CObservedGame& game) {
            if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
                return;
            if (!m_nBase)
                m_nBase = m_Host.GetFrameTicks();
            const int t = static_cast<int>(m_Host.GetFrameTicks() - m_nBase);
            for (const KEYEVENT& e : kTrack) {
                if (e.nTick == t) {
                    if (e.bDown)
                        m_Host.PressKey(e.nKey);
                    else
                        m_Host.ReleaseKey(e.nKey);
                }
            }
            fnEach(game, t);
            if (t == kTrackEnd)
                CloseSoon();
        };
    }

    uint32_t m_nBase = 0;
};

TEST_F(StageRun, SheLandsClimbsShootsJumpsOntoTheBlockAndDropsThroughAPlatform)
{
    MakeData();
    std::map<int, TICKSAMPLE> at;
    std::map<int, std::string> under;
    std::set<CObjectLabel*> crushed;
    bool bAlwaysPlaying = true;
    float fMinXBeforeBlock = 1000.0f;
    PlayTrack([&](CObservedGame& game, int t) {
        at[t] = Sample(game);
        under[t] = Underfoot(game);
        bAlwaysPlaying = bAlwaysPlaying && game.GetStage().GetState() == STAGE_STATE_PLAY;
        if (t >= 20 && t < 400)
            fMinXBeforeBlock = std::min(fMinXBeforeBlock, at[t].x);
        // A crushed crate leaves the stage once its explosion has burnt out.
        if (t <= 340) {
            for (CObjectLabel* pLabel : game.GetStage().GetLayerList(3)) {
                if (!strcmp(pLabel->GetName(), "K1") && pLabel->m_nDurability <= 0)
                    crushed.insert(pLabel);
            }
        }
    });
    ASSERT_EQ(Run(200000), 0);
    ASSERT_GE(at.size(), static_cast<size_t>(kTrackEnd));
    EXPECT_TRUE(bAlwaysPlaying);

    // She rides in from the left until she first lands, then stands on the ground.
    EXPECT_LT(at[0].x, 0.0f);
    EXPECT_TRUE(at[0].dwState & PLAYER_STATE_ENTERING);
    EXPECT_EQ(at[20].x, kRideX);
    EXPECT_EQ(at[20].y, kGroundY);
    EXPECT_EQ(at[20].dwState & (PLAYER_STATE_ENTERING | PLAYER_STATE_SLOPES | PLAYER_STATE_JUMP), PLAYER_STATE_FLAT);

    // The hill of the first screen: up a third of the scroll per tick, along its top, down again.
    EXPECT_TRUE(at[180].dwState & PLAYER_STATE_UP);
    EXPECT_NEAR(at[170].y - at[180].y, 10.0f * 4.0f / 3.0f, 0.01f);
    EXPECT_EQ(at[220].y, kStepY);
    EXPECT_TRUE(at[220].dwState & PLAYER_STATE_FLAT);
    EXPECT_TRUE(at[260].dwState & PLAYER_STATE_DOWN);
    EXPECT_EQ(at[300].y, kGroundY);

    // Both crates in her line of fire are shot to pieces before they reach her: nothing pushes her.
    EXPECT_EQ(crushed.size(), 2u);
    EXPECT_EQ(fMinXBeforeBlock, kRideX);

    // The jump at 404 carries her onto the block; she rides it to its end and falls to the ground.
    EXPECT_TRUE(at[410].dwState & PLAYER_STATE_JUMP);
    EXPECT_LT(at[413].y, kStepY);
    EXPECT_EQ(at[420].y, kStepY);
    EXPECT_EQ(under[420], "G2");
    EXPECT_EQ(at[441].y, kGroundY);

    // Onto the platform, and through it with Down + X.
    EXPECT_EQ(at[485].y, kStepY);
    EXPECT_EQ(under[485], "R1");
    EXPECT_TRUE(at[497].dwState & PLAYER_STATE_JUMP);
    EXPECT_GT(at[497].y, kStepY);
    EXPECT_EQ(at[503].y, kGroundY);
    EXPECT_NE(under[503], "R1");
    EXPECT_EQ(at[520].x, kRideX);
}

TEST_F(StageRun, ARecordedRunPlayedBackFromItsReplayFileRepeatsEveryTick)
{
    MakeData();
    std::filesystem::create_directory("Replay");
    std::vector<TICKSAMPLE> recorded;
    PlayTrack([&](CObservedGame& game, int t) {
        recorded.push_back(Sample(game));
        if (t == kTrackEnd) {
            CKeyRecorder* pRec = CKeyRecorder::GetInstance();
            pRec->CloseTrack();
            ASSERT_EQ(pRec->SaveReplay("Replay01.dat", game.GetStage().GetScore()), 1);
        }
    });
    ASSERT_EQ(Run(200000), 0);
    ASSERT_EQ(recorded.size(), static_cast<size_t>(kTrackEnd + 1));
    for (const KEYEVENT& e : kTrack)
        m_Host.ReleaseKey(e.nKey);

    // A fresh program that starts the saved replay instead of the debug start.
    CHostHeadless host;
    CObservedGame game(host);
    SetParam("STAGE_INIT_STATE", "0");
    std::vector<TICKSAMPLE> played;
    bool bStarted = false;
    bool bAllPlayback = true;
    game.m_OnRender = [&](CObservedGame& g) {
        if (!bStarted) {
            bStarted = true;
            ASSERT_EQ(g.StartReplay(g_lpD3DDevice, ".\\Replay\\", "Replay01.dat"), 1);
            return;
        }
        if (!g.m_bNoting)
            return;
        if (g.GetState() != CGame::STATE_STAGE) {
            // The replay ran out: the stage is being left.
            if (!played.empty())
                CloseSoonOn(host, g);
            return;
        }
        played.push_back(Sample(g));
        bAllPlayback = bAllPlayback && (g.GetPlayer().GetState() & PLAYER_STATE_PLAYBACK);
        if (played.size() == recorded.size())
            CloseSoonOn(host, g);
    };
    ASSERT_EQ(RunOn(host, game, 200000), 0);
    // The closing record ends the replay on its last tick, when the stage starts to leave.
    ASSERT_GE(played.size(), recorded.size() - 1);
    for (size_t i = 0; i < played.size(); i++) {
        ASSERT_TRUE(played[i] == recorded[i]) << "tick " << i << ": recorded (" << recorded[i].x << ", "
                                              << recorded[i].y << ", " << std::hex << recorded[i].dwState
                                              << ") played (" << played[i].x << ", " << played[i].y << ", "
                                              << played[i].dwState << ")";
    }
    // The heroine of the second run was played back, not steered.
    EXPECT_TRUE(bAllPlayback);
}

} // namespace
