// The whole program played on the headless host from the logo to the ending on the generated data,
// pinned to one core: past the caution screen and the opening, GAME START, the five stages in a row
// ridden by the stage rider who kills every boss, the ending, the run saved into a slot and the
// title again. BM_FullRunPeakRss reports the peak resident set of the run ("peak_rss_mb", the
// high-water mark set back at its start where the system allows it, else that of the process so
// far), its ticks and the ticks per second as a multiple of real time. Run it alone
// (--benchmark_filter=FullRun) so that no other benchmark of the process has raised the mark.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "DataFolder.h"
#include "OneCore.h"
#include "Playthrough.h"
#include "headless/AttractGame.h"
#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "stage/Stage.h"

namespace {

// Long enough for the whole game at the stage rider's pace, with room to spare.
const uint32_t kMaxTicks = 60000;

// Sets the high-water mark back to what the process holds now; false where the system does not
// let it (the mark then covers the process so far).
bool ResetPeakRss()
{
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return out.good();
}

void BM_FullRunPeakRss(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    CDataFolder folder(0);
    if (!folder.IsReady()) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    for (auto _ : state) {
        const bool bReset = ResetPeakRss();
        CHostHeadless host;
        host.SetQuiet(true);
        CPlaythrough game(host);
        game.m_bHighJump = true;
        game.m_bWatchReplay = false;
        int nStagesCleared = 0;
        bool bOut = false, bEnding = false;
        game.m_OnUpdate = [&](CPlaythrough& g) {
            if (g.GetState() == CGame::STATE_STAGE && g.GetStage().GetState() == STAGE_STATE_CLEARED)
                nStagesCleared = g.GetStageNumber();
            bOut = bOut || (g.GetState() == CGame::STATE_STAGE && g.GetStage().GetState() == STAGE_STATE_GAMEOVER);
            bEnding = bEnding || g.GetState() == CGame::STATE_ENDING;
            if (bOut)
                game.m_OnUpdate = nullptr;
        };
        const auto start = std::chrono::steady_clock::now();
        RunOnHost(host, game, kMaxTicks);
        const double fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (bOut || !bEnding || game.GetPhase() != CPlaythrough::PHASE_DONE) {
            state.SkipWithError("the run did not reach the ending and the title");
            break;
        }
        state.SetIterationTime(fSeconds);
        state.counters["peak_rss_mb"] = (double)ReadPeakResidentKiB() / 1024.0;
        state.counters["peak_reset"] = bReset ? 1 : 0;
        state.counters["stages"] = nStagesCleared;
        state.counters["ticks"] = host.GetFrameTicks();
        state.counters["x_realtime"] = host.GetFrameTicks() / fSeconds / 60.0;
    }
    state.counters["cpu"] = nCpu;
}

} // namespace

BENCHMARK(BM_FullRunPeakRss)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
