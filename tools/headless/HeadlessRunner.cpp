// Runs the game without a window for a number of ticks, with a scripted key track, and writes
// screenshots. Tests and checks use it; it is not an option of the game itself.
//
//   zorva-headless [--ticks N] [--keys SCRIPT] [--shot-every K] [--shot-at T]... [--out DIR]
//                  [--real-clock]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/GameFrame.h"
#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "scene/Game.h"

namespace {

// The loading thread works in real time while the fake clock runs ticks as fast as they come, so
// the ticks a load takes would depend on the machine. The runner lets the first loading frame wait
// (in real time) for the load, which makes a run's ticks, key script and shots repeat exactly.
class CHeadlessGame : public CGame {
public:
    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        if (GetState() == STATE_LOADING && m_bWaitForLoads) {
            for (int nWaited = 0; !IsLoadDone() && nWaited < kMaxLoadWaitMs; nWaited++)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        CGame::Render(lpDest, lpDevice);
    }

    bool m_bWaitForLoads = true;

private:
    static constexpr int kMaxLoadWaitMs = 60000;
};

CHeadlessGame g_Game;

struct RUNOPTIONS {
    uint32_t nTicks = 600;
    uint32_t nShotEvery = 0;
    std::vector<uint32_t> shotTicks;
    std::string strKeys;
    std::string strOut = ".";
    bool bRealClock = false;
};

void Usage()
{
    fprintf(stderr,
            "usage: zorva-headless [--ticks N] [--keys SCRIPT] [--shot-every K] [--shot-at T]... "
            "[--out DIR] [--real-clock]\n");
}

bool ReadCount(const char* pszText, uint32_t* pnOut)
{
    char* pEnd = nullptr;
    const unsigned long n = strtoul(pszText, &pEnd, 10);
    if (!*pszText || *pEnd || n > 100000000UL) {
        return false;
    }
    *pnOut = static_cast<uint32_t>(n);
    return true;
}

bool ParseArgs(int argc, char** argv, RUNOPTIONS* pOpt)
{
    for (int i = 1; i < argc; i++) {
        const char* pszArg = argv[i];
        const bool bHasValue = i + 1 < argc;
        if (!strcmp(pszArg, "--real-clock")) {
            pOpt->bRealClock = true;
        } else if (!strcmp(pszArg, "--ticks") && bHasValue) {
            if (!ReadCount(argv[++i], &pOpt->nTicks)) return false;
        } else if (!strcmp(pszArg, "--shot-every") && bHasValue) {
            if (!ReadCount(argv[++i], &pOpt->nShotEvery)) return false;
        } else if (!strcmp(pszArg, "--shot-at") && bHasValue) {
            uint32_t nTick = 0;
            if (!ReadCount(argv[++i], &nTick)) return false;
            pOpt->shotTicks.push_back(nTick);
        } else if (!strcmp(pszArg, "--keys") && bHasValue) {
            pOpt->strKeys = argv[++i];
        } else if (!strcmp(pszArg, "--out") && bHasValue) {
            pOpt->strOut = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

void ScheduleShot(CHostHeadless* pHost, const RUNOPTIONS& opt, uint32_t nTick)
{
    HOSTSCRIPTCMD cmd = {};
    cmd.nTick = nTick;
    cmd.op = HSOP_SHOT;
    char szName[64];
    snprintf(szName, sizeof(szName), "/tick%05u.png", static_cast<unsigned>(nTick));
    cmd.strFile = opt.strOut + szName;
    pHost->Schedule(cmd);
}

void ScheduleRun(CHostHeadless* pHost, const RUNOPTIONS& opt)
{
    if (opt.nShotEvery) {
        for (uint32_t t = opt.nShotEvery; t <= opt.nTicks; t += opt.nShotEvery) {
            ScheduleShot(pHost, opt, t);
        }
    }
    for (uint32_t t : opt.shotTicks) {
        ScheduleShot(pHost, opt, t);
    }
    // The run ends through the ordinary close path, as the close box would end it.
    HOSTSCRIPTCMD close = {};
    close.nTick = opt.nTicks + 1;
    close.op = HSOP_CLOSE;
    pHost->Schedule(close);
}

} // namespace

int main(int argc, char** argv)
{
    RUNOPTIONS opt;
    if (!ParseArgs(argc, argv, &opt)) {
        Usage();
        return 2;
    }
    CHostHeadless host(opt.bRealClock ? CHostHeadless::CLOCK_REAL : CHostHeadless::CLOCK_FAKE);
    if (!opt.strKeys.empty()) {
        std::string strError;
        if (!host.LoadScript(opt.strKeys.c_str(), &strError)) {
            fprintf(stderr, "zorva-headless: %s: %s\n", opt.strKeys.c_str(), strError.c_str());
            return 2;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(opt.strOut, ec);
    // On the real clock the load takes the ticks it takes, as in the window.
    g_Game.m_bWaitForLoads = !opt.bRealClock;
    ScheduleRun(&host, opt);
    SetHost(&host);
    SetGameFrame(&g_Game);
    char szCmdLine[] = "";
    const int nResult = WinMain(nullptr, nullptr, szCmdLine, SW_SHOWNORMAL);
    SetGameFrame(nullptr);
    SetHost(nullptr);
    const std::string strLast = opt.strOut + "/last.png";
    host.WriteLastFrame(strLast.c_str());
    printf("zorva-headless: %u ticks, %d frames presented, exit %d; shots in %s\n",
           static_cast<unsigned>(host.GetFrameTicks()), host.GetPresentCount(), nResult, opt.strOut.c_str());
    return nResult;
}
