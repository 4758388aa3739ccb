// The busiest stretch played in a real window at the speed of play, to see what the whole process
// costs there: the steady rider of the stage benchmarks (tests/scene/BusyRide.h) on its stage,
// through the SDL host as the game uses it (window, present, audio device), her keys given by the
// host itself. The stretch lasts five seconds, so it is ridden four times in one process, each ride
// from the stage's start in a window of its own: the process's share of one core (user and system
// time of all its threads over the wall time) is taken over the four stretches, twenty seconds of
// the busiest play, and given per ride as well, with the resident set and its peak and the threads
// by name at the end of the last. bench/window-share.sh runs it under Xvfb; the usage text says how
// to run it by hand.
#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <string>

#include "DataFolder.h"
#include "engine/GameFrame.h"
#include "engine/WinMain.h"
#include "headless/AttractGame.h"
#include "platform/host/HostSdl.h"
#include "platform/host/VirtKey.h"
#include "scene/BusyRide.h"
#include "scene/Game.h"
#include "stage/Stage.h"

namespace {

const char kUsage[] =
    "usage: zorva-window-run\n"
    "Plays the busiest stretch of ordinary play four times in a window of the current display (SDL's\n"
    "video driver picks it) at the speed of play, in a fresh folder of generated data, and prints the\n"
    "process's share of one core over the four stretches (20 seconds) and over each, its resident set\n"
    "and peak, and its threads. Set SDL_AUDIODRIVER=dummy on a machine without an audio device, or the\n"
    "game waits in its no-sound box. Exit status 1 when a ride did not get that far.\n";

using Clock = std::chrono::steady_clock;

const int kRides = 4;  // of five seconds each
const int kMeasureEnd = kBusiestSectionFrom + kSectionTicks;  // the stretch's end
const int kGiveUpSeconds = 300;

// The real host with the rider's keys pressed on it, as if on the keyboard, and its ticks counted.
class CRiddenHost : public CHostSdl {
public:
    void PressKey(int nVirtKey) { KeyEvent(nVirtKey, true); }
    void ReleaseKey(int nVirtKey) { KeyEvent(nVirtKey, false); }
    void Close()
    {
        HOSTEVENT ev = {};
        ev.type = HOSTEV_CLOSE;
        m_events.push_back(ev);
    }
    uint32_t GetFrameTicks() const { return m_nFrameTicks; }

    bool IsKeyDown(int nVirtKey) override
    {
        return (nVirtKey >= 0 && nVirtKey < 256 && m_bDown[nVirtKey]) || CHostSdl::IsKeyDown(nVirtKey);
    }
    bool PollEvent(HOSTEVENT* pEvent) override
    {
        if (m_events.empty())
            return CHostSdl::PollEvent(pEvent);
        *pEvent = m_events.front();
        m_events.pop_front();
        return true;
    }
    void FrameTick() override { m_nFrameTicks++; }

private:
    void KeyEvent(int nVirtKey, bool bDown)
    {
        HOSTEVENT ev = {};
        ev.type = bDown ? HOSTEV_KEYDOWN : HOSTEV_KEYUP;
        ev.nVirtKey = nVirtKey;
        ev.bRepeat = bDown && m_bDown[nVirtKey] ? 1 : 0;
        ev.nChar = bDown ? VirtKeyToChar(nVirtKey, false) : 0;
        m_bDown[nVirtKey] = bDown;
        m_events.push_back(ev);
    }

    bool m_bDown[256] = {};
    std::deque<HOSTEVENT> m_events;
    uint32_t m_nFrameTicks = 0;
};

// The process's CPU time (all threads, user and system) and the wall clock at a moment.
struct MARK {
    double fCpuS = 0.0;
    Clock::time_point wall;
};

MARK Mark()
{
    rusage ru = {};
    getrusage(RUSAGE_SELF, &ru);
    const double fCpu = (double)ru.ru_utime.tv_sec + (double)ru.ru_stime.tv_sec +
                        ((double)ru.ru_utime.tv_usec + (double)ru.ru_stime.tv_usec) / 1e6;
    return MARK{fCpu, Clock::now()};
}

double SharePercent(const MARK& a, const MARK& b)
{
    const double fWall = std::chrono::duration<double>(b.wall - a.wall).count();
    return fWall > 0.0 ? 100.0 * (b.fCpuS - a.fCpuS) / fWall : 0.0;
}

// The process's threads by name ("zorva-window-r" and the like for the main thread).
std::map<std::string, int> ThreadNames()
{
    std::map<std::string, int> names;
    DIR* pDir = opendir("/proc/self/task");
    if (!pDir)
        return names;
    while (const dirent* pEnt = readdir(pDir)) {
        if (pEnt->d_name[0] == '.')
            continue;
        std::ifstream in(std::string("/proc/self/task/") + pEnt->d_name + "/comm");
        std::string strName;
        std::getline(in, strName);
        names[strName]++;
    }
    closedir(pDir);
    return names;
}

// The steady rider through the stage; marks the measured ticks and closes the program after them.
class CWindowRider : public CGame {
public:
    explicit CWindowRider(CRiddenHost& host) : m_Host(host) {}

    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        CGame::Render(lpDest, lpDevice);
        if (m_bDone)
            return;
        if (std::chrono::duration<double>(Clock::now() - m_Start).count() > kGiveUpSeconds) {
            Finish();
            return;
        }
        const bool bPlaying = GetState() == STATE_STAGE && GetStage().GetState() == STAGE_STATE_PLAY;
        if (!bPlaying) {
            if (m_nLast >= 0)
                Finish();  // play ended early
            return;
        }
        const uint32_t nTick = m_Host.GetFrameTicks();
        if (m_nLast < 0)
            m_nFirstTick = nTick;
        const int t = static_cast<int>(nTick - m_nFirstTick);
        for (int u = m_nLast + 1; u <= t; u++)
            m_Ride.Keys(m_Host, u, *this);
        if (m_nLast < kBusiestSectionFrom && t >= kBusiestSectionFrom)
            m_Stretch = Mark();
        m_nLast = t;
        if (t >= kMeasureEnd) {
            m_End = Mark();
            m_bReached = true;
            m_nResidentKiB = ReadResidentKiB();
            m_threads = ThreadNames();
            m_strPresent = m_Host.DescribePresent();
            Finish();
        }
    }

    bool m_bReached = false;
    MARK m_Stretch, m_End;
    long m_nResidentKiB = 0;
    std::map<std::string, int> m_threads;
    std::string m_strPresent;

private:
    void Finish()
    {
        m_bDone = true;
        m_Host.Close();
    }

    CRiddenHost& m_Host;
    CSteadyRide m_Ride;
    const Clock::time_point m_Start = Clock::now();
    bool m_bDone = false;
    int m_nLast = -1;
    uint32_t m_nFirstTick = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        fputs(kUsage, strcmp(argv[1], "--help") == 0 ? stdout : stderr);
        return strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    CDataFolder folder(kBusiestStage);
    if (!folder.IsReady() || !StartBusiestStretch()) {
        fprintf(stderr, "zorva-window-run: cannot generate the data set\n");
        return 1;
    }
    CRiddenHost host;
    std::string strError;
    if (!host.Init(&strError)) {
        fprintf(stderr, "zorva-window-run: no display (%s)\n", strError.c_str());
        return 1;
    }
    double fCpuS = 0.0, fWallS = 0.0;
    std::string strShares, strPresent;
    long nResidentKiB = 0;
    std::map<std::string, int> threads;
    for (int nRide = 0; nRide < kRides; nRide++) {
        CWindowRider game(host);
        SetHost(&host);
        ResetWindowSystem();
        SetGameFrame(&game);
        char szCmdLine[] = "";
        WinMain(nullptr, nullptr, szCmdLine, SW_SHOWNORMAL);
        SetGameFrame(nullptr);
        SetHost(nullptr);
        if (!game.m_bReached) {
            fprintf(stderr, "zorva-window-run: ride %d did not reach stage tick %d\n", nRide + 1, kMeasureEnd);
            return 1;
        }
        fCpuS += game.m_End.fCpuS - game.m_Stretch.fCpuS;
        fWallS += std::chrono::duration<double>(game.m_End.wall - game.m_Stretch.wall).count();
        char szShare[32];
        snprintf(szShare, sizeof(szShare), "%s%.1f%%", nRide ? ", " : "", SharePercent(game.m_Stretch, game.m_End));
        strShares += szShare;
        strPresent = game.m_strPresent;
        nResidentKiB = game.m_nResidentKiB;
        threads = game.m_threads;
    }
    printf("stage %d, ticks %d to %d in a window, at the speed of play, %d times; frames shown through %s\n",
           kBusiestStage, kBusiestSectionFrom, kMeasureEnd, kRides, strPresent.c_str());
    printf("CPU share of one core: %.1f%% over %.0f s of the stretch (each ride: %s)\n",
           fWallS > 0.0 ? 100.0 * fCpuS / fWallS : 0.0, fWallS, strShares.c_str());
    printf("resident set: %ld KiB, peak %ld KiB\n", nResidentKiB, std::max(nResidentKiB, ReadPeakResidentKiB()));
    int nThreads = 0;
    std::string strThreads;
    for (const auto& [strName, n] : threads) {
        nThreads += n;
        strThreads += " " + strName + (n > 1 ? " x" + std::to_string(n) : "");
    }
    printf("threads: %d:%s\n", nThreads, strThreads.c_str());
    return 0;
}
