// The attract loop left alone, the short form of the soak (bench/soak): three passes of logo bar,
// opening, title and demo, each the same as the one before, with nothing in the logs, no file
// left open and no memory kept from pass to pass.
#include <gtest/gtest.h>

#include "headless/AttractGame.h"
#include "scene/ProgramRun.h"

namespace {

// Sanitizers bring their own allocator: its figures say nothing of the game's.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
const bool kMeasuresMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
const bool kMeasuresMemory = false;
#else
const bool kMeasuresMemory = true;
#endif
#else
const bool kMeasuresMemory = true;
#endif

const size_t kPasses = 3;
// What the third pass may hold beyond the first: the watcher's own notes and the debug output's
// few lines a pass, with room to spare; a stage or a picture kept per pass is far more.
const long long kAllowedHeapGrowth = 64 * 1024;

// Closes the program once the passes are done; notes what the process holds after each.
class CPassCounter : public CAttractGame {
public:
    explicit CPassCounter(CHostHeadless& host) : CAttractGame(host), m_Host(host) {}

    std::vector<size_t> m_PassHeap;
    std::vector<long> m_PassFiles;

protected:
    void OnLoopEnd(const ATTRACTLOOP&) override
    {
        m_PassHeap.push_back(ReadHeapInUse());
        m_PassFiles.push_back(ReadOpenFiles());
        if (GetLoops().size() != kPasses)
            return;
        HOSTSCRIPTCMD close = {};
        close.nTick = m_Host.GetTick() + 2;
        close.op = HSOP_CLOSE;
        m_Host.Schedule(close);
    }

private:
    CHostHeadless& m_Host;
};

} // namespace

class AttractLoop : public CProgramRun {};

TEST_F(AttractLoop, ThreePassesGoTheSameWayWithoutAnErrorAndHoldNoMoreMemory)
{
    MakeData();
    // Every pass plays the first demo, so a pass can go wrong only for what an earlier one left;
    // short waits and a hurried opening keep the passes short.
    SetParam("DEBUG_PRIM", "1");
    SetParam("DEMO_COUNT", "1000, 500");
    SetParam("DEMOPLAY01", "8000");
    DropParam("DEMOPLAY02");
    DropParam("DEMOPLAY03");
    CPassCounter game(m_Host);
    game.SetLooks(20, 60, 90);
    game.SetHurryOpening(true);
    if (const char* pszLook = std::getenv("ZORVA_LOOK_DIR"))
        game.SetLookFolder(pszLook);
    ASSERT_EQ(RunOn(m_Host, game, 20000), 0);

    const std::vector<ATTRACTLOOP>& loops = game.GetLoops();
    ASSERT_EQ(loops.size(), kPasses);
    const std::vector<int> expected = {CGame::STATE_LOGO_BAR, CGame::STATE_OPENING, CGame::STATE_OPENING_FADE,
                                       CGame::STATE_TITLE,    CGame::STATE_TITLE_FADE, CGame::STATE_LOADING,
                                       CGame::STATE_LOADING_FADE, CGame::STATE_STAGE,  CGame::STATE_STAGE_FADE};
    EXPECT_EQ(loops[1].states, expected);
    EXPECT_EQ(loops[0].states.front(), CGame::STATE_LOGO);
    for (const ATTRACTLOOP& loop : loops) {
        EXPECT_EQ(loop.nDemo, 1);
        // The demo ran its eight seconds, give or take the fade.
        EXPECT_GT(loop.nDemoFrames, 480);
        EXPECT_LT(loop.nDemoFrames, 560);
    }
    // The same demo played again: the same run, and the same picture before her first hit strews
    // its stars.
    EXPECT_EQ(loops[1].nDemoShotDiffs, 0);
    EXPECT_EQ(loops[2].nDemoShotDiffs, 0);
    for (const std::string& strFault : FindLoopFaults(loops))
        ADD_FAILURE() << strFault;
    for (const std::string& strError : FindRunErrors(m_Host))
        ADD_FAILURE() << strError;
    EXPECT_EQ(game.m_PassFiles.back(), game.m_PassFiles.front());
    // The resident set takes a few passes to settle (the allocator keeps what the loads free, see
    // the soak's numbers); the bytes in use show a leak at once.
    if (kMeasuresMemory) {
        EXPECT_LE(static_cast<long long>(game.m_PassHeap.back()) - static_cast<long long>(game.m_PassHeap.front()),
                  kAllowedHeapGrowth);
    }
}
