// The soak: the program left at its attract loop for an hour of game time on the headless host,
// in a folder of freshly generated data with the game's logging on. It prints what it saw and
// exits non-zero unless memory stayed flat and nothing went wrong. The usage text says how.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/Log.h"
#include "headless/AttractGame.h"
#include "scene/RunDataEdit.h"

namespace {

const char kUsage[] =
    "usage: zorva-soak [--minutes N] [--look DIR] [--keep]\n"
    "Runs the game's attract loop (caution, logo, opening, title, demo, logo bar, ...) headless for\n"
    "N minutes of game time (default 60) and to the end of the pass then under way, in a fresh folder\n"
    "of generated data, then prints the passes seen, the memory and the errors. Exit status 0 when\n"
    "the resident set at the end (read as the last pass ends, as after every pass) is within\n"
    "2 MB of the resident set after the first full round of the demos, the bytes in use at the end\n"
    "(the system allocator's and the game heaps') within 64 KiB of those after the same demo's pass\n"
    "at the end of the first round or right after it, no more files are open and no more threads\n"
    "run than then, no error was seen and every pass went through the same states; 1 when not; 2\n"
    "for a bad option.\n"
    "  --minutes N  game time to run\n"
    "  --look DIR   screenshots of each pass's title and demo frame in DIR\n"
    "  --keep       keep the run's folder (its logs) and say where it is\n";

// RSS may grow this much from the first full round to the end.
const long kAllowedGrowthKiB = 2 * 1024;
// The bytes in use at the end may differ from those after the first round by this much, and a leak
// inside a game heap counts as any other. The run's own bookkeeping climbs some 560 bytes a pass
// (22 to 24 KB an hour) and never comes back: each pass's notes and reading, and every line of the
// game's debug output, which the headless host keeps for the error check at the end (with logging
// on, the stage loader's timing report, about 180 bytes, each time a demo loads). What the game
// itself holds comes back to the same bytes round after round.
const long long kAllowedHeapChange = 64 * 1024;

struct SOAKOPTIONS {
    uint32_t nMinutes = 60;
    std::string strLook;
    bool bKeep = false;
};

bool ParseArgs(int argc, char** argv, SOAKOPTIONS* pOpt)
{
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--minutes") && i + 1 < argc) {
            const int n = atoi(argv[++i]);
            if (n <= 0 || n > 24 * 60)
                return false;
            pOpt->nMinutes = static_cast<uint32_t>(n);
        } else if (!strcmp(argv[i], "--look") && i + 1 < argc) {
            pOpt->strLook = std::filesystem::absolute(argv[++i]).string();
        } else if (!strcmp(argv[i], "--keep")) {
            pOpt->bKeep = true;
        } else {
            return false;
        }
    }
    return true;
}

// What the process holds at a moment.
struct HOLDINGS {
    long nKiB = 0;  // resident set
    long nFiles = 0;
    long nThreads = 0;
    size_t nHeap = 0;  // bytes handed out and not had back, the game heaps' included
};

HOLDINGS ReadHoldings()
{
    return {ReadResidentKiB(), ReadOpenFiles(), ReadThreads(), ReadHeapInUse()};
}

// The attract loop until the game clock passes the limit, with what it holds after each pass.
class CSoakGame : public CAttractGame {
public:
    CSoakGame(CHostHeadless& host, uint32_t nLimitMs) : CAttractGame(host), m_Host(host), m_nLimitMs(nLimitMs) {}

    std::vector<HOLDINGS> m_Passes;
    HOLDINGS m_End;

protected:
    // The end is read where every other reading is, as a pass ends (the game in its logo bar, the
    // last demo's stage gone): read in the middle of a demo it would weigh a loaded stage against
    // none. Then the close box, as a user would end it.
    void OnLoopEnd(const ATTRACTLOOP&) override
    {
        m_Passes.push_back(ReadHoldings());
        if (m_bClosing || m_Host.NowMs() < m_nLimitMs)
            return;
        m_bClosing = true;
        m_End = m_Passes.back();
        HOSTSCRIPTCMD close = {};
        close.nTick = m_Host.GetTick() + 1;
        close.op = HSOP_CLOSE;
        m_Host.Schedule(close);
    }

private:
    CHostHeadless& m_Host;
    uint32_t m_nLimitMs;
    bool m_bClosing = false;
};

// A fresh folder with the generated data and the game's logs on, current while it lives.
class CSoakFolder {
public:
    explicit CSoakFolder(bool bKeep) : m_OldDir(std::filesystem::current_path()), m_bKeep(bKeep)
    {
        char szTemplate[] = "/tmp/zorva-soak-XXXXXX";
        if (!mkdtemp(szTemplate))
            return;
        m_Dir = szTemplate;
        std::filesystem::current_path(m_Dir);
        const std::string strCommand = std::string(ZORVA_MAKEDATA) + " . > /dev/null";
        m_bReady = std::system(strCommand.c_str()) == 0 && SetParam("DEBUG_PRIM", 1);
    }
    ~CSoakFolder()
    {
        std::error_code ec;
        std::filesystem::current_path(m_OldDir, ec);
        if (m_bKeep && !m_Dir.empty())
            printf("the run's folder: %s\n", m_Dir.c_str());
        else if (!m_Dir.empty())
            std::filesystem::remove_all(m_Dir, ec);
    }
    bool IsReady() const { return m_bReady; }

private:
    std::filesystem::path m_OldDir;
    std::filesystem::path m_Dir;
    bool m_bKeep;
    bool m_bReady = false;
};

// Every error the run left: in the debug output, the logs, message boxes and the passes' faults.
std::vector<std::string> CollectErrors(const CHostHeadless& host, const CSoakGame& game, int nExit)
{
    std::vector<std::string> errors = FindRunErrors(host);
    for (const std::string& fault : FindLoopFaults(game.GetLoops()))
        errors.push_back(fault);
    if (nExit != 0)
        errors.push_back("the game exited with " + std::to_string(nExit));
    return errors;
}

// The first full round: one pass per demo (the demos take turns).
size_t FirstRoundPasses(const std::vector<ATTRACTLOOP>& loops)
{
    for (size_t i = 1; i < loops.size(); i++) {
        if (loops[i].nDemo == loops[0].nDemo)
            return i;
    }
    return loops.size();
}

// "state:ticks" for each state of a pass.
std::string DescribePass(const ATTRACTLOOP& loop)
{
    std::string text;
    for (size_t i = 0; i < loop.states.size(); i++) {
        const uint32_t nEnd = i + 1 < loop.entryTicks.size() ? loop.entryTicks[i + 1] : loop.nEndTick;
        text += (i ? " " : "") + std::to_string(loop.states[i]) + ":" + std::to_string(nEnd - loop.entryTicks[i]);
    }
    return text;
}

double Mib(long nKiB)
{
    return nKiB / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    SOAKOPTIONS opt;
    if (!ParseArgs(argc, argv, &opt)) {
        fputs(kUsage, stderr);
        return 2;
    }
    if (!opt.strLook.empty())
        std::filesystem::create_directories(opt.strLook);
    CSoakFolder folder(opt.bKeep);
    if (!folder.IsReady()) {
        fprintf(stderr, "zorva-soak: the data set could not be generated\n");
        return 1;
    }
    CHostHeadless host;
    host.SetQuiet(true);
    CSoakGame game(host, opt.nMinutes * 60u * 1000u);
    game.SetLookFolder(opt.strLook);
    const auto start = std::chrono::steady_clock::now();
    // The close comes from the game clock; this is only a backstop of twice the ticks.
    const int nExit = RunOnHost(host, game, opt.nMinutes * 60u * 61u * 2u);
    const double dWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::vector<ATTRACTLOOP>& loops = game.GetLoops();
    const std::vector<std::string> errors = CollectErrors(host, game, nExit);
    const size_t nRound = FirstRoundPasses(loops);
    const HOLDINGS first = game.m_Passes.empty() ? HOLDINGS() : game.m_Passes.front();
    const HOLDINGS round = nRound >= 1 && nRound <= game.m_Passes.size() ? game.m_Passes[nRound - 1] : HOLDINGS();
    const HOLDINGS& end = game.m_End;
    // The kernel updates the peak lazily: the samples may have seen more.
    long nPeakKiB = std::max(ReadPeakResidentKiB(), end.nKiB);
    for (const HOLDINGS& h : game.m_Passes)
        nPeakKiB = std::max(nPeakKiB, h.nKiB);
    const long nGrowth = end.nKiB - round.nKiB;
    printf("game time:             %.1f min (%u ticks)\n", host.NowMs() / 60000.0, host.GetFrameTicks());
    printf("passes of the loop:    %zu (a round of the demos is %zu passes)\n", loops.size(), nRound);
    if (loops.size() > 1)
        printf("pass 2 (state:ticks):  %s\n", DescribePass(loops[1]).c_str());
    printf("RSS after pass 1:      %.2f MiB\n", Mib(first.nKiB));
    printf("RSS after the round:   %.2f MiB\n", Mib(round.nKiB));
    printf("RSS at the end:        %.2f MiB (%+.2f MiB since the round)\n", Mib(end.nKiB), Mib(nGrowth));
    printf("peak RSS:              %.2f MiB\n", Mib(nPeakKiB));
    printf("RSS after each pass:  ");
    for (const HOLDINGS& h : game.m_Passes)
        printf(" %.1f", Mib(h.nKiB));
    printf("\nheap after each pass:  ");
    for (const HOLDINGS& h : game.m_Passes)
        printf(" %zu", h.nHeap);
    // Caches of the run fill as each demo's stage is first seen, and what a pass leaves depends on
    // its demo: the end is weighed against the pass of the same demo from the end of the first
    // whole round on.
    const size_t nLast = game.m_Passes.empty() ? 0 : game.m_Passes.size() - 1;
    const size_t nSame = nRound && nLast + 1 >= nRound ? nRound - 1 + (nLast + 1 - nRound) % nRound : 0;
    const size_t nBase = nSame < game.m_Passes.size() ? game.m_Passes[nSame].nHeap : 0;
    const long long nHeapChange = static_cast<long long>(end.nHeap) - static_cast<long long>(nBase);
    printf("\nheap at the end:       %+lld bytes since pass %zu (the same demo, after the first round)\n",
           nHeapChange, nSame + 1);
    printf("open files, threads:   %ld, %ld after the round; %ld, %ld at the end\n", round.nFiles, round.nThreads,
           end.nFiles, end.nThreads);
    printf("demo frames' sparks:  ");
    for (const ATTRACTLOOP& loop : loops)
        printf(" %d", loop.nDemoShotDiffs);
    printf(" (pixels unlike the demo's first pass)\n");
    printf("debug output lines:    %zu\n", host.GetDebugLines().size());
    std::error_code ec;
    printf("OpenLog.txt:           %ju bytes\n", static_cast<uintmax_t>(std::filesystem::file_size(OPEN_LOG_FILE, ec)));
    printf("errors seen:           %zu\n", errors.size());
    for (size_t i = 0; i < errors.size() && i < 20; i++)
        printf("  %s\n", errors[i].c_str());
    printf("wall time:             %.1f s\n", dWall);
    std::vector<std::string> broken;
    if (loops.size() < 2 * nRound)
        broken.push_back("too short: no second round to compare with the first");
    if (round.nKiB <= 0 || end.nKiB <= 0 || nGrowth > kAllowedGrowthKiB)
        broken.push_back("the resident set grew more than 2 MB");
    if (nHeapChange > kAllowedHeapChange || nHeapChange < -kAllowedHeapChange)
        broken.push_back("the bytes in use moved more than 64 KiB");
    if (end.nFiles > round.nFiles || end.nThreads > round.nThreads)
        broken.push_back("more files open or more threads than after the round");
    if (!errors.empty())
        broken.push_back("errors seen");
    for (const std::string& strWhy : broken)
        printf("%s\n", strWhy.c_str());
    const bool bPass = broken.empty();
    printf("%s\n", bPass ? "soak passed" : "soak FAILED");
    return bPass ? 0 : 1;
}
