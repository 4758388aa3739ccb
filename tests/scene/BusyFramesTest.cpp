// The busiest stretch of ordinary play and the busiest boss fight (scene/BusyRide.h), ridden the
// way the speed benchmarks ride them, must present exactly the frames they presented when the
// hashes in BusyFrameHashes.txt were recorded: speed-ups of what is drawn there may not change a
// pixel.
//
// The hashes depend on the generated pictures and maps. After a change that redraws them on
// purpose, or when BusyRide.h names other stretches, record them again and commit the file:
//   ZORVA_RECORD_FRAME_HASHES=1 build/tests/test_scene --gtest_filter='BusyFrames.*'
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bullet/EBCharge.h"
#include "bullet/ExpBomb4.h"
#include "bullet/ExpBoss.h"
#include "bullet/ExpDamage.h"
#include "bullet/SubtractiveRandom.h"
#include "engine/KeyRecorder.h"
#include "player/FakeEffects.h"
#include "scene/BusyRide.h"
#include "scene/FrameHashFile.h"
#include "scene/ProgramRun.h"

namespace {

const char* const kHashFile = ZORVA_TEST_SOURCE_DIR "/scene/BusyFrameHashes.txt";

// The lines "RIDE TICK HASH" of one ride.
std::vector<std::string> LinesOf(const std::vector<std::string>& lines, const std::string& strRide)
{
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        if (line.compare(0, strRide.size() + 1, strRide + " ") == 0)
            out.push_back(line);
    }
    return out;
}

// The ride's lines replace its old ones; the other rides' lines stay.
bool RecordHashes(const std::string& strRide, const std::vector<std::string>& rideLines)
{
    std::vector<std::string> lines;
    for (const std::string& line : ReadHashLines(kHashFile)) {
        if (line.compare(0, strRide.size() + 1, strRide + " ") != 0)
            lines.push_back(line);
    }
    lines.insert(lines.end(), rideLines.begin(), rideLines.end());
    return WriteHashLines(kHashFile, "Frame hashes of the rides in BusyFramesTest.cpp (its header says how to record them).",
                          lines);
}

// The load waits on its first frame, as in the headless runner and the benchmarks, so the stage
// starts at the same tick and clock on every machine. The charges' sparks and her hit stars take
// their looks from the time: here from a fixed seed. The effects' generators are seeded once a
// process, by whichever test used them first, and a demo played before leaves its options (the
// high jump) set: each ride starts them as a fresh process does.
class BusyFrames : public CProgramRun {
protected:
    void SetUp() override
    {
        m_Game.m_bWaitForLoads = true;
        FixLookSeed(1);
        GetLookRandom() = CEffectRandom();
        GetExplosionRandom() = CEffectRandom();
        for (CSubtractiveRandom* pRandom : {&CEBCharge::GetRandom(), &CExpBomb4::GetRandom(), &CExpBoss::GetRandom(),
                                            &CExpDamage::GetRandom(), &CExpDamageEx::GetRandom()})
            *pRandom = CSubtractiveRandom();
        for (int& nFlag : g_nOptionFlags)
            nFlag = 0;
    }
    void TearDown() override { FixLookSeed(0); }

    // Rides the prepared data from the start of play to stage tick nLastTick and compares the hash
    // of every frame presented with the recorded one.
    void RideAndCompare(const std::string& strRide, int nLastTick)
    {
        std::vector<std::string> lines;
        uint32_t nBase = 0;
        static CFakeEffects effects;  // the game may reach it until the fixture ends
        m_Game.m_OnRender = [&](CObservedGame& game) {
            const bool bPlaying =
                game.GetState() == CGame::STATE_STAGE && game.GetStage().GetState() == STAGE_STATE_PLAY;
            if (!bPlaying || !game.m_bNoting)
                return;
            if (!nBase) {
                nBase = m_Host.GetFrameTicks();
                // Her hit effects take the wall time for their looks: stand-ins that draw nothing.
                game.GetPlayer().SetEffects(&effects);
            }
            const int t = static_cast<int>(m_Host.GetFrameTicks() - nBase);
            RideSteadily(m_Host, t);
            // The host still holds the previous tick's frame.
            char szLine[96];
            std::snprintf(szLine, sizeof szLine, "%s %d %016llx", strRide.c_str(), t,
                          (unsigned long long)HashFrame(m_Host.GetLastFrame()));
            lines.push_back(szLine);
            if (t == nLastTick)
                CloseSoon();
        };
        ASSERT_EQ(Run(200000), 0);
        ASSERT_EQ(lines.size(), static_cast<size_t>(nLastTick + 1)) << "play ended early";
        if (std::getenv("ZORVA_RECORD_FRAME_HASHES")) {
            ASSERT_TRUE(RecordHashes(strRide, lines)) << kHashFile;
            GTEST_SKIP() << "recorded " << lines.size() << " frame hashes in " << kHashFile;
        }
        const std::vector<std::string> expected = LinesOf(ReadHashLines(kHashFile), strRide);
        ASSERT_EQ(expected.size(), lines.size()) << kHashFile;
        for (size_t i = 0; i < lines.size(); i++)
            ASSERT_EQ(lines[i], expected[i]) << "the first frame that differs (ride, stage tick, hash)";
    }
};

TEST_F(BusyFrames, TheBusiestStretchOfPlayDrawsTheFramesRecordedBefore)
{
    MakeStageData();
    ASSERT_TRUE(StartRideOn(kBusiestStage));
    RideAndCompare("section", kBusiestSectionFrom + kSectionTicks);
}

TEST_F(BusyFrames, TheBusiestBossFightDrawsTheFramesRecordedBefore)
{
    MakeStageData();
    ASSERT_TRUE(StartRideOn(kBusiestBossStage));
    ASSERT_EQ(CutToBoss(kBusiestBossStage), kBusiestBossName);
    RideAndCompare("boss", kBossWarmTicks + kBossTimedTicks);
}

} // namespace
