// Stage 1 of the test course, played headless with a fixed key track (the gun held, jumps onto
// the block and the platform), must present exactly the frames it presented when the hashes in
// StageFrameHashes.txt were recorded: speed-ups may not change a pixel.
//
// The hashes depend on the generated pictures. After a change that redraws them on purpose,
// record them again and commit the file:
//   ZORVA_RECORD_FRAME_HASHES=1 build/tests/test_scene --gtest_filter='StageFrames.*'
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/FakeEffects.h"
#include "scene/FrameHashFile.h"
#include "scene/ProgramRun.h"
#include "TestCourse.h"

namespace {

struct KEYEVENT {
    int nTick;  // stage ticks since the stage started
    int nKey;
    bool bDown;
};

// The gun held from the end of the ride-in; jumps onto the block, onto the platform, down through
// it, and a few more on the way.
const KEYEVENT kTrack[] = {
    {24, 'Z', true},
    {404, 'X', true}, {425, 'X', false},
    {468, 'X', true}, {490, 'X', false},
    {494, VK_DOWN, true}, {495, 'X', true}, {505, 'X', false}, {505, VK_DOWN, false},
    {600, 'X', true}, {640, 'X', false},
    {700, 'X', true}, {706, 'X', false},
    {760, 'X', true}, {790, 'X', false},
};
const int kTrackEnd = 900;

const char* const kHashFile = ZORVA_TEST_SOURCE_DIR "/scene/StageFrameHashes.txt";

// The load waits on its first frame, as in the headless runner, so the stage starts at the same
// tick and clock on every machine.
class StageFrames : public CProgramRun {
protected:
    void SetUp() override { m_Game.m_bWaitForLoads = true; }
};

TEST_F(StageFrames, EveryFrameOfAFixedStageRunIsThePictureRecordedBefore)
{
    MakeStageData();
    UseTestCourse();
    std::vector<std::string> lines;
    uint32_t nBase = 0;
    int nPresentsAtStart = 0;
    int nPresents = 0;
    static CFakeEffects effects;  // the game may reach it until the fixture ends
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
            return;
        if (!nBase) {
            nBase = m_Host.GetFrameTicks();
            nPresentsAtStart = m_Host.GetPresentCount();
            // Her hit effects take the wall time for their looks, so enemies that hit her would
            // make every run's pictures differ: her effects are stand-ins that draw nothing.
            game.GetPlayer().SetEffects(&effects);
        }
        const int t = static_cast<int>(m_Host.GetFrameTicks() - nBase);
        for (const KEYEVENT& e : kTrack) {
            if (e.nTick == t) {
                if (e.bDown)
                    m_Host.PressKey(e.nKey);
                else
                    m_Host.ReleaseKey(e.nKey);
            }
        }
        // Rendering has not been presented yet: the host holds the previous tick's frame.
        char szLine[64];
        std::snprintf(szLine, sizeof szLine, "%d %016llx", t, (unsigned long long)HashFrame(m_Host.GetLastFrame()));
        lines.push_back(szLine);
        if (t == kTrackEnd) {
            nPresents = m_Host.GetPresentCount() - nPresentsAtStart;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(200000), 0);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kTrackEnd + 1));
    // One present per stage tick.
    EXPECT_EQ(nPresents, kTrackEnd);

    if (std::getenv("ZORVA_RECORD_FRAME_HASHES")) {
        const char* pszHeader = "Frame hashes of the stage 1 run in StageFramesTest.cpp (its header says how to record them).";
        ASSERT_TRUE(WriteHashLines(kHashFile, pszHeader, lines)) << kHashFile;
        GTEST_SKIP() << "recorded " << lines.size() << " frame hashes in " << kHashFile;
    }
    const std::vector<std::string> expected = ReadHashLines(kHashFile);
    ASSERT_EQ(expected.size(), lines.size()) << kHashFile;
    for (size_t i = 0; i < lines.size(); i++)
        ASSERT_EQ(lines[i], expected[i]) << "the first frame that differs (stage tick, hash)";
}

} // namespace
