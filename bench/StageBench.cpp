// A stage of the generated data run through the whole program on the headless host (update and
// render passes, software device, present), pinned to one core:
// - BM_StageTicks/N: stage N, the shot key held; stage ticks per second of wall time, that figure
//   as a multiple of real time (60 ticks per second), and the median and 99th-percentile tick
//   time;
// - BM_BossFightTicks: the same figures for the first boss's fight, on stage 1 laid out short, her
//   gun held up and firing at a boss too tough to fall within the timed ticks;
// - BM_BossNMFightTicks: the same for the last boss's fight, the busiest (pods, beams, missiles,
//   rings and familiars), on stage 5 cut down to its arena, her gun firing at a boss too tough to
//   fall, and she unable to (PLAY_OUT 0);
// - BM_StageLoad: stage 1, from the first loading frame to the first stage frame (the frame loop waits for
//   the loader on its first loading frame, as the headless runner does).
// Pin the run to a chosen core with taskset; the benchmark keeps to the first core it is given.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "OneCore.h"
#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "scene/Game.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kWarmTicks = 120;    // the ride-in and the first screen's spawning
const int kTimedTicks = 3000;  // fifty seconds of play
const int kBossWarmTicks = 300;   // the ride to the arena and the boss's entry
const int kBossTimedTicks = 1800; // its mines, its exit and return, its volleys and vulcan
const int kNMWarmTicks = 100;     // the last boss glides in at once
const int kNMTimedTicks = 2400;   // its circle, laser and beams, twice over, and the recall
const int kLoadRuns = 7;
const int kMaxLoadWaitMs = 60000;

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

class CTimedGame : public CLoadWaitingGame {
public:
    explicit CTimedGame(CHostHeadless& host, int nWarmTicks = kWarmTicks, int nTimedTicks = kTimedTicks,
                        bool bAimUp = false)
        : CLoadWaitingGame(host, false), m_nWarmTicks(nWarmTicks), m_nTimedTicks(nTimedTicks), m_bAimUp(bAimUp)
    {
        m_tickMs.reserve(nTimedTicks);
    }

    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        CLoadWaitingGame::Render(lpDest, lpDevice);
        if (m_bDone)
            return;
        const uint32_t nTick = m_Host.GetFrameTicks();
        const Clock::time_point now = Clock::now();
        const bool bPlaying = GetState() == STATE_STAGE && GetStage().GetState() == STAGE_STATE_PLAY;
        if (!bPlaying) {
            // A stage whose play ends early (a miss on a stage she cannot ride through) counts the
            // ticks it played.
            if (m_nFirstTick != 0 && nTick - m_nFirstTick > (uint32_t)m_nWarmTicks)
                Finish(m_Last, static_cast<int>(m_nLastTick - m_nFirstTick) - m_nWarmTicks);
            return;
        }
        if (m_nFirstTick == 0) {
            m_nFirstTick = nTick;
            m_Host.PressKey('Z');
            if (m_bAimUp)
                m_Host.PressKey(VK_UP);
        }
        const int nStageTick = static_cast<int>(nTick - m_nFirstTick);
        if (nStageTick == m_nWarmTicks) {
            m_Start = now;
        } else if (nStageTick > m_nWarmTicks) {
            // A tick is everything from one render pass to the next: frame loop, update, render,
            // present.
            m_tickMs.push_back(Ms(now - m_Last) / static_cast<double>(nTick - m_nLastTick));
        }
        m_Last = now;
        m_nLastTick = nTick;
        if (nStageTick >= m_nWarmTicks + m_nTimedTicks)
            Finish(now, nStageTick - m_nWarmTicks);
    }

    double m_fSeconds = 0.0;
    int m_nTicks = 0;
    std::vector<double> m_tickMs;

private:
    void Finish(Clock::time_point now, int nTicks)
    {
        m_fSeconds = std::chrono::duration<double>(now - m_Start).count();
        m_nTicks = nTicks;
        m_bDone = true;
        Close();
    }

    const int m_nWarmTicks;
    const int m_nTimedTicks;
    const bool m_bAimUp;
    uint32_t m_nFirstTick = 0;
    uint32_t m_nLastTick = 0;
    bool m_bDone = false;
    Clock::time_point m_Start;
    Clock::time_point m_Last;
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

// A fresh folder with the generated data, current while it lives.
class CDataFolder {
public:
    explicit CDataFolder(int nStage = 1) : m_OldDir(std::filesystem::current_path())
    {
        char szTemplate[] = "/tmp/zorva-bench-XXXXXX";
        if (!mkdtemp(szTemplate))
            return;
        m_Dir = szTemplate;
        std::filesystem::current_path(m_Dir);
        const std::string strCommand = std::string(ZORVA_MAKEDATA) + " . > /dev/null";
        // The sample data starts at the logo; the benchmarks start the debug way, straight into
        // the load of the stage.
        m_bReady = std::system(strCommand.c_str()) == 0 && SetParam("STAGE_INIT_STATE", 1) &&
                   SetParam("INIT_STAGE_NUM", nStage);
    }
    ~CDataFolder()
    {
        std::error_code ec;
        std::filesystem::current_path(m_OldDir, ec);
        if (!m_Dir.empty())
            std::filesystem::remove_all(m_Dir, ec);
    }
    bool IsReady() const { return m_bReady; }

private:
    std::filesystem::path m_OldDir;
    std::filesystem::path m_Dir;
    bool m_bReady = false;
};

// Runs the timed game once per iteration and reports its figures.
void RunTicks(benchmark::State& state, int nWarmTicks, int nTimedTicks, bool bAimUp)
{
    for (auto _ : state) {
        CHostHeadless host;
        CTimedGame game(host, nWarmTicks, nTimedTicks, bAimUp);
        RunProgram(host, game);
        if (game.m_fSeconds <= 0.0) {
            state.SkipWithError("the stage did not run its ticks");
            break;
        }
        state.SetIterationTime(game.m_fSeconds);
        const double fTicksPerSecond = game.m_nTicks / game.m_fSeconds;
        state.counters["ticks_per_s"] = fTicksPerSecond;
        state.counters["x_realtime"] = fTicksPerSecond / 60.0;
        state.counters["tick_ms_median"] = Quantile(game.m_tickMs, 0.5);
        state.counters["tick_ms_p99"] = Quantile(game.m_tickMs, 0.99);
    }
}

void BM_StageTicks(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    CDataFolder folder(static_cast<int>(state.range(0)));
    if (!folder.IsReady()) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    RunTicks(state, kWarmTicks, kTimedTicks, false);
    state.counters["cpu"] = nCpu;
}

void BM_BossFightTicks(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    CDataFolder folder(1);
    const bool bReady = folder.IsReady() && ShortenStageOne() &&
                        SetParam("ENEMY_M.Zorva", std::string("100000, 0, 0, 10000, 1"));
    if (!bReady) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    RunTicks(state, kBossWarmTicks, kBossTimedTicks, true);
    state.counters["cpu"] = nCpu;
}

void BM_BossNMFightTicks(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    CDataFolder folder(5);
    const bool bReady = folder.IsReady() && SetParam("ENEMY_N.M.Zorva", "100000, 0, 0, 30000, 1") &&
                        SetParam("PLAY_OUT", "0");
    if (!bReady) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    MoveBossToStart(5);
    RunTicks(state, kNMWarmTicks, kNMTimedTicks, false);
    state.counters["cpu"] = nCpu;
}

void BM_StageLoad(benchmark::State& state)
{
    const int nCpu = PinToOneCore();
    CDataFolder folder;
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

} // namespace

// Stage 1, and stage 2, the busiest: three enemies a screen, the later kinds on its first screens.
BENCHMARK(BM_StageTicks)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond)->Arg(1)->Arg(2);
BENCHMARK(BM_BossFightTicks)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_BossNMFightTicks)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_StageLoad)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
