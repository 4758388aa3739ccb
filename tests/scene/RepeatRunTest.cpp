// Headless runs must repeat exactly: the loader works in real time on a thread of its own, yet two
// runs of the same program through a load must read the same clock and present the same frames at
// every tick, or the frame checks and replays of one machine would not hold on another.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scene/ProgramRun.h"

namespace {

struct TICKNOTE {
    uint32_t nTick;
    uint32_t dwClock;
    uint64_t nFrame;  // the hash of the frame presented last; 0 at an update pass

    bool operator==(const TICKNOTE&) const = default;
};

void PrintTo(const TICKNOTE& note, std::ostream* pOut)
{
    *pOut << "tick " << note.nTick << " clock " << note.dwClock << " frame " << std::hex << note.nFrame << std::dec;
}

// Notes the tick and the clock at every update pass, and the frame too after every render pass.
class CNotingGame : public CObservedGame {
public:
    explicit CNotingGame(CHostHeadless& host) : CObservedGame(host), m_Host(host) {}

    void Update() override
    {
        m_Notes.push_back({m_Host.GetFrameTicks(), m_Host.NowMs(), 0});
        CObservedGame::Update();
    }

    std::vector<TICKNOTE> m_Notes;

private:
    CHostHeadless& m_Host;
};

class RepeatRun : public CProgramRun {
protected:
    // The generated data in a fresh folder (a run writes its settings and replay there), straight
    // into the load of stage 1, then nStageTicks of the stage riding and shooting.
    static std::vector<TICKNOTE> RunThroughALoad(uint32_t nStageTicks)
    {
        CTempFolder folder;
        MakeStageData();
        CHostHeadless host;
        CNotingGame game(host);
        game.m_bWaitForLoads = true;
        std::string strError;
        EXPECT_TRUE(host.AddScript("1 down Right\n1 down Z\n", &strError)) << strError;
        uint32_t nStageStart = 0;
        game.m_OnRender = [&](CObservedGame& g) {
            game.m_Notes.push_back({host.GetFrameTicks(), host.NowMs(), HashFrame(host.GetLastFrame())});
            if (g.GetState() != CGame::STATE_STAGE || !g.m_bNoting)
                return;
            if (!nStageStart)
                nStageStart = host.GetFrameTicks();
            if (host.GetFrameTicks() - nStageStart == nStageTicks)
                CloseSoonOn(host, g);
        };
        EXPECT_EQ(RunOn(host, game, kLongRun), 0);
        EXPECT_NE(nStageStart, 0u) << "the stage never ran";
        EXPECT_EQ(game.States(), (std::vector<int>{CGame::STATE_LOADING, CGame::STATE_LOADING_FADE, CGame::STATE_STAGE}));
        return game.m_Notes;
    }

    static constexpr uint32_t kLongRun = 20000;
};

TEST_F(RepeatRun, TwoRunsThroughALoadReadTheSameClockAndShowTheSameFramesAtEveryTick)
{
    // Past the first frame-rate counts, which read the clock.
    const uint32_t kStageTicks = 200;
    const std::vector<TICKNOTE> first = RunThroughALoad(kStageTicks);
    const std::vector<TICKNOTE> second = RunThroughALoad(kStageTicks);
    ASSERT_GT(first.size(), static_cast<size_t>(2 * kStageTicks));
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); i++)
        ASSERT_EQ(first[i], second[i]) << "the first note that differs, at " << i;
}

} // namespace
