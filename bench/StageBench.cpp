// Stage 1 of the generated data run through the whole program on the headless host (update and
// render passes, software device, present), the shot key held: stage ticks per second of wall
// time on this thread, and that figure as a multiple of real time (60 ticks per second).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "scene/Game.h"

namespace {

const int kWarmTicks = 120;   // the ride-in and the first screen's spawning
const int kTimedTicks = 3000; // fifty seconds of play

class CTimedGame : public CGame {
public:
    explicit CTimedGame(CHostHeadless& host) : m_Host(host) {}

    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        CGame::Render(lpDest, lpDevice);
        if (GetState() != STATE_STAGE || m_nTicks > kWarmTicks + kTimedTicks)
            return;
        if (m_nTicks == 0)
            m_Host.PressKey('Z');
        if (m_nTicks == kWarmTicks)
            m_Start = std::chrono::steady_clock::now();
        if (m_nTicks == kWarmTicks + kTimedTicks) {
            m_fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_Start).count();
            HOSTSCRIPTCMD close = {};
            close.nTick = m_Host.GetTick() + 1;
            close.op = HSOP_CLOSE;
            m_Host.Schedule(close);
        }
        m_nTicks++;
    }

    double m_fSeconds = 0.0;
    int m_nTicks = 0;

private:
    CHostHeadless& m_Host;
    std::chrono::steady_clock::time_point m_Start;
};

// A fresh folder with the generated data, made current.
bool EnterDataFolder()
{
    char szTemplate[] = "/tmp/zorva-bench-XXXXXX";
    if (!mkdtemp(szTemplate) || chdir(szTemplate) != 0)
        return false;
    const std::string strCommand = std::string(ZORVA_MAKEDATA) + " . > /dev/null";
    return std::system(strCommand.c_str()) == 0;
}

void BM_StageOneTicks(benchmark::State& state)
{
    const std::filesystem::path oldDir = std::filesystem::current_path();
    if (!EnterDataFolder()) {
        state.SkipWithError("cannot generate the data set");
        return;
    }
    const std::filesystem::path dataDir = std::filesystem::current_path();
    double fTicksPerSecond = 0.0;
    for (auto _ : state) {
        CHostHeadless host;
        host.SetQuiet(true);
        CTimedGame game(host);
        SetHost(&host);
        ResetWindowSystem();
        SetGameFrame(&game);
        RunApplication(nullptr, SW_SHOWNORMAL);
        SetGameFrame(nullptr);
        ResetWindowSystem();
        SetHost(nullptr);
        if (game.m_fSeconds <= 0.0) {
            state.SkipWithError("the stage did not run its ticks");
            break;
        }
        fTicksPerSecond = kTimedTicks / game.m_fSeconds;
        state.SetIterationTime(game.m_fSeconds);
    }
    state.counters["ticks_per_s"] = fTicksPerSecond;
    state.counters["x_realtime"] = fTicksPerSecond / 60.0;
    std::filesystem::current_path(oldDir);
    std::filesystem::remove_all(dataDir);
}

} // namespace

BENCHMARK(BM_StageOneTicks)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
