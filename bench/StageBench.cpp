// The stages of the generated data run through the whole program on the headless host (update and
// render passes, software device, present), pinned to one core, with a steady rider (right, the
// gun held, regular jumps; tests/scene/SteadyRider.h):
// - BM_BusiestSection: the busiest stretch of ordinary play over the five stages, found with
//   BM_SectionScan; stage ticks per second of wall time as a multiple of real time (60 ticks per
//   second), the median over several rides, and the median and 99th-percentile tick time;
// - BM_BusiestBossFight: the same figures for the busiest of the five boss fights, found with
//   BM_BossFightScan, the boss too tough to fall and she unable to (PLAY_OUT 0);
// - BM_StageLoad/N: stage N, from the first loading frame to the first stage frame (the frame loop
//   waits for the loader on its first loading frame, as the headless runner does);
// - BM_SectionScan/N: stage N ridden from its start to its boss warning; the busiest window of
//   kSectionTicks ticks (the least of a few rides per tick, so a stray stall elsewhere on the
//   machine does not pick it);
// - BM_BossFightScan/N: the fight of stage N's boss, the stage cut to its arena.
// To profile only the timed ticks: mkfifo ctl; ZORVA_PERF_CONTROL=ctl perf record --delay=-1
// --control=fifo:ctl zorva-bench --benchmark_filter=BM_BusiestSection; or count their instructions
// with ZORVA_PERF_CONTROL=callgrind valgrind --tool=callgrind --instr-atstart=no zorva-bench ...
// Pin the run to a chosen core with taskset; the benchmark keeps to the first core it is given.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#endif

#include "DataFolder.h"
#include "OneCore.h"
#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "scene/Game.h"
#include "scene/RunDataEdit.h"
#include "scene/BusyRide.h"
#include "stage/Stage.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kSectionRides = 7;
const int kScanRides = 3;
const int kScanMaxTicks = 20000;  // a stage whose warning never comes ends here
const int kBossRides = 3;
const int kLoadRuns = 7;
const int kMaxLoadWaitMs = 60000;
const int kStages = 5;

// The CPU time the process has used, in ms: on a machine busy with other work it shows what the
// wall time would be on an idle one better than the wall time does.
double ProcessCpuMs()
{
    timespec ts = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The q-quantile of the values (nearest rank); the values are sorted in place.
double Quantile(std::vector<double>& values, double q)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t nRank = static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(nRank, values.size() - 1)];
}

// Waits for the loader on the first loading frame and notes when the first loading frame and the
// first stage frame begin; closes the program there when asked to.
class CLoadWaitingGame : public CGame {
public:
    CLoadWaitingGame(CHostHeadless& host, bool bCloseAtStage) : m_Host(host), m_bCloseAtStage(bCloseAtStage) {}

    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        if (GetState() == STATE_LOADING && !m_bLoadSeen) {
            m_bLoadSeen = true;
            m_LoadStart = Clock::now();
            for (int nWaited = 0; !IsLoadDone() && nWaited < kMaxLoadWaitMs * 10; nWaited++)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        if (GetState() == STATE_STAGE && !m_bStageSeen) {
            m_bStageSeen = true;
            m_StageStart = Clock::now();
            if (m_bCloseAtStage)
                Close();
        }
        CGame::Render(lpDest, lpDevice);
    }

    bool m_bLoadSeen = false;
    bool m_bStageSeen = false;
    Clock::time_point m_LoadStart;
    Clock::time_point m_StageStart;

protected:
    void Close()
    {
        HOSTSCRIPTCMD close = {};
        close.nTick = m_Host.GetTick() + 1;
        close.op = HSOP_CLOSE;
        m_Host.Schedule(close);
    }

    CHostHeadless& m_Host;

private:
    const bool m_bCloseAtStage;
};

// The steady rider on a stage: notes when each render pass of the stage's play begins, by stage
// tick, up to a tick or the boss warning.
class CRiderGame : public CLoadWaitingGame {
public:
    CRiderGame(CHostHeadless& host, int nLastTick, bool bStopAtWarning, int nTimedFrom)
        : CLoadWaitingGame(host, false), m_nLastTick(nLastTick), m_nTimedFrom(nTimedFrom),
          m_bStopAtWarning(bStopAtWarning)
    {
        m_At.reserve(nLastTick + 1);
    }

    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        CLoadWaitingGame::Render(lpDest, lpDevice);
        if (m_bDone)
            return;
        const Clock::time_point now = Clock::now();
        const uint32_t nTick = m_Host.GetFrameTicks();
        const bool bPlaying = GetState() == STATE_STAGE && GetStage().GetState() == STAGE_STATE_PLAY;
        if (!bPlaying) {
            // Play that ends early counts the ticks it played.
            if (m_bStarted)
                Finish();
            return;
        }
        if (!m_bStarted) {
            m_bStarted = true;
            m_nFirstTick = nTick;
        }
        const int t = static_cast<int>(nTick - m_nFirstTick);
        // A pass that stands for several ticks shares its time among them.
        const double fCpuMs = ProcessCpuMs();
        while (static_cast<int>(m_At.size()) <= t) {
            m_At.push_back(now);
            m_CpuMs.push_back(fCpuMs);
            m_Screens.push_back(GetStage().GetLayerScreen(STAGE_MAIN_LAYER));
        }
        m_Ride.Keys(m_Host, t, *this);
        TellProfiler(t);
        if (t >= m_nLastTick || (m_bStopAtWarning && IsBossWarningOn(GetStage()))) {
            m_bWarned = IsBossWarningOn(GetStage());
            Finish();
        }
    }

    // When each stage tick's render pass began; a tick is everything from one render pass to the
    // next (frame loop, update, render, present).
    std::vector<Clock::time_point> m_At;
    std::vector<double> m_CpuMs;  // the process's CPU time then
    std::vector<int> m_Screens;   // the main layer's screen then
    bool m_bWarned = false;

private:
    // With ZORVA_PERF_CONTROL naming perf record's control fifo (--control=fifo:...), samples are
    // taken only over the timed ticks; with "callgrind", instructions are counted only over them.
    void TellProfiler(int t)
    {
        if (!m_pszPerfFifo || (t != m_nTimedFrom && t != m_nLastTick))
            return;
#ifdef CALLGRIND_START_INSTRUMENTATION
        if (std::string(m_pszPerfFifo) == "callgrind") {
            if (t == m_nLastTick)
                CALLGRIND_STOP_INSTRUMENTATION;
            else
                CALLGRIND_START_INSTRUMENTATION;
            return;
        }
#endif
        std::ofstream fifo(m_pszPerfFifo);
        fifo << (t == m_nLastTick ? "disable\n" : "enable\n");
    }

    void Finish()
    {
        m_bDone = true;
        Close();
    }

    const int m_nLastTick;
    const int m_nTimedFrom;
    const bool m_bStopAtWarning;
    const char* const m_pszPerfFifo = std::getenv("ZORVA_PERF_CONTROL");
    bool m_bStarted = false;
    bool m_bDone = false;
    uint32_t m_nFirstTick = 0;
    CSteadyRide m_Ride;
};

// The program on a host until it closes (or gives up after a long while).
void RunProgram(CHostHeadless& host, CGame& game)
{
    HOSTSCRIPTCMD close = {};
    close.nTick = 200000;
    close.op = HSOP_CLOSE;
    host.Schedule(close);
    host.SetQuiet(true);
    SetHost(&host);
    ResetWindowSystem();
    SetGameFrame(&game);
    RunApplication(nullptr, SW_SHOWNORMAL);
    SetGameFrame(nullptr);
    ResetWindowSystem();
    SetHost(nullptr);
}

// One ride; the times of its ticks 1 to the last it reached, in ms (element t - 1 is tick t), and
// the CPU time of the ticks from nCpuFrom to the last.
std::vector<double> Ride(int nLastTick, bool bStopAtWarning, bool* pbWarned = nullptr, int nCpuFrom = 0,
                         double* pfCpuMs = nullptr, std::vector<int>* pScreens = nullptr)
{
    CHostHeadless host;
    CRiderGame game(host, nLastTick, bStopAtWarning, nCpuFrom);
    RunProgram(host, game);
    if (pbWarned)
        *pbWarned = game.m_bWarned;
    if (pScreens)
        *pScreens = game.m_Screens;
    std::vector<double> tickMs;
    for (size_t t = 1; t < game.m_At.size(); t++)
        tickMs.push_back(Ms(game.m_At[t] - game.m_At[t - 1]));
    if (pfCpuMs && static_cast<int>(game.m_CpuMs.size()) > nCpuFrom)
        *pfCpuMs = game.m_CpuMs.back() - game.m_CpuMs[nCpuFrom];
    return tickMs;
}

double Sum(const std::vector<double>& tickMs, int nFrom, int nTicks)
{
    double fMs = 0.0;
    for (int t = nFrom; t < nFrom + nTicks; t++)
        fMs += tickMs[t];
    return fMs;
}

// The figures of timed ticks: the median of the rides' multiples of real time and the tick times
// of all rides.
void Report(benchmark::State& state, std::vector<double>& rideX, std::vector<double>& rideCpuX,
            std::vector<double>& tickMs, double fSeconds)
{
    state.SetIterationTime(fSeconds);
    state.counters["x_realtime"] = Quantile(rideX, 0.5);
    state.counters["x_realtime_cpu"] = Quantile(rideCpuX, 0.5);
    state.counters["x_realtime_worst"] = rideX.front();
    state.counters["tick_ms_median"] = Quantile(tickMs, 0.5);
    state.counters["tick_ms_p99"] = Quantile(tickMs, 0.99);
}

// Times the ticks from nFrom to nFrom + nTicks of nRides rides.
void TimeRides(benchmark::State& state, int nFrom, int nTicks, int nRides)
{
    for (auto _ : state) {
        std::vector<double> rideX, rideCpuX, allMs;
        double fSeconds = 0.0;
        for (int i = 0; i < nRides; i++) {
            double fCpuMs = 0.0;
            std::vector<double> tickMs = Ride(nFrom + nTicks, false, nullptr, nFrom, &fCpuMs);
            if (static_cast<int>(tickMs.size()) < nFrom + nTicks) {
                state.SkipWithError("the stage did not run its ticks");
                return;
            }
            tickMs.erase(tickMs.begin(), tickMs.begin() + nFrom);
            const double fMs = Sum(tickMs, 0, nTicks);
            fSeconds += fMs / 1000.0;
            rideX.push_back(nTicks * 1000.0 / fMs / 60.0);
            rideCpuX.push_back(nTicks * 1000.0 / fCpuMs / 60.0);
            allMs.insert(allMs.end(), tickMs.begin(), tickMs.end());
        }
        Report(state, rideX, rideCpuX, allMs, fSeconds / nRides);
    }
}

void BM_BusiestSection(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    CDataFolder folder(kBusiestStage);
    if (!folder.IsReady() || !StartBusiestStretch()) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    state.SetLabel("stage " + std::to_string(kBusiestStage) + " from screen " + std::to_string(kBusiestFirstScreen) +
                   ", ticks " + std::to_string(kBusiestSectionFrom) +
                   " to " + std::to_string(kBusiestSectionFrom + kSectionTicks));
    TimeRides(state, kBusiestSectionFrom, kSectionTicks, kSectionRides);
    state.counters["cpu"] = nCpu;
}

void BM_BusiestBossFight(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    CDataFolder folder(kBusiestBossStage);
    if (!folder.IsReady() || CutToBoss(kBusiestBossStage) != kBusiestBossName) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    state.SetLabel(std::string("boss ") + kBusiestBossName + " of stage " + std::to_string(kBusiestBossStage));
    TimeRides(state, kBossWarmTicks, kBossTimedTicks, kBossRides);
    state.counters["cpu"] = nCpu;
}

void BM_StageLoad(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    CDataFolder folder(static_cast<int>(state.range(0)));
    if (!folder.IsReady()) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    for (auto _ : state) {
        std::vector<double> loadMs;
        for (int i = 0; i < kLoadRuns; i++) {
            CHostHeadless host;
            CLoadWaitingGame game(host, true);
            RunProgram(host, game);
            if (!game.m_bLoadSeen || !game.m_bStageSeen) {
                state.SkipWithError("the stage did not start");
                return;
            }
            loadMs.push_back(Ms(game.m_StageStart - game.m_LoadStart));
        }
        // The first load of the process also pays for what is made once per process (tables,
        // fonts) and for cold file caches.
        const double fFirst = loadMs.front();
        const double fMax = *std::max_element(loadMs.begin(), loadMs.end());
        const double fMedian = Quantile(loadMs, 0.5);
        state.SetIterationTime(fMedian / 1000.0);
        state.counters["load_ms_first"] = fFirst;
        state.counters["load_ms_median"] = fMedian;
        state.counters["load_ms_max"] = fMax;
    }
    state.counters["cpu"] = nCpu;
}

void BM_SectionScan(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    const int nStage = static_cast<int>(state.range(0));
    CDataFolder folder(nStage);
    if (!folder.IsReady()) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    for (auto _ : state) {
        std::vector<double> leastMs;
        std::vector<int> screens;
        bool bWarned = true;
        for (int i = 0; i < kScanRides; i++) {
            bool bRideWarned = false;
            const std::vector<double> tickMs = Ride(kScanMaxTicks, true, &bRideWarned, 0, nullptr, &screens);
            bWarned = bWarned && bRideWarned;
            if (i == 0)
                leastMs = tickMs;
            leastMs.resize(std::min(leastMs.size(), tickMs.size()));
            for (size_t t = 0; t < leastMs.size(); t++)
                leastMs[t] = std::min(leastMs[t], tickMs[t]);
        }
        const int nTicks = static_cast<int>(leastMs.size());
        if (!bWarned) {
            state.SkipWithError("she did not reach the boss warning");
            return;
        }
        if (nTicks < kSectionTicks) {
            state.SkipWithError("the stage did not run its ticks");
            return;
        }
        int nBusiest = 0;
        double fBusiestMs = 0.0;
        for (int nFrom = 0; nFrom + kSectionTicks <= nTicks; nFrom += 10) {
            const double fMs = Sum(leastMs, nFrom, kSectionTicks);
            if (fMs > fBusiestMs) {
                fBusiestMs = fMs;
                nBusiest = nFrom;
            }
        }
        const double fAllMs = Sum(leastMs, 0, nTicks);
        state.SetIterationTime(fAllMs / 1000.0);
        state.counters["warning_tick"] = nTicks;
        // Where a ride cut to start a screen before the stretch finds it: the screen, and the ticks
        // from the moment that screen came in.
        const int nScreen = screens[std::min((size_t)nBusiest, screens.size() - 1)];
        int nCameIn = nBusiest;
        while (nCameIn > 0 && screens[nCameIn - 1] >= nScreen - 1)
            nCameIn--;
        state.counters["busiest_screen"] = nScreen;
        state.counters["busiest_after_screen_before"] = nBusiest - nCameIn;
        state.counters["x_realtime_ride"] = nTicks * 1000.0 / fAllMs / 60.0;
        state.counters["busiest_from"] = nBusiest;
        state.counters["x_realtime_busiest"] = kSectionTicks * 1000.0 / fBusiestMs / 60.0;
    }
    state.counters["cpu"] = nCpu;
}

void BM_BossFightScan(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    const int nStage = static_cast<int>(state.range(0));
    CDataFolder folder(nStage);
    const std::string strBoss = folder.IsReady() ? CutToBoss(nStage) : "";
    if (strBoss.empty()) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    state.SetLabel("boss " + strBoss);
    TimeRides(state, kBossWarmTicks, kBossTimedTicks, 1);
    state.counters["cpu"] = nCpu;
}

} // namespace

BENCHMARK(BM_BusiestSection)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusiestBossFight)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StageLoad)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond)->DenseRange(1, kStages);
BENCHMARK(BM_SectionScan)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond)->DenseRange(1, kStages);
BENCHMARK(BM_BossFightScan)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond)->DenseRange(1, kStages);
