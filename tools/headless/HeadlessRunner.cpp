// Runs the game without a window for a number of ticks, with a scripted key track, and writes
// screenshots. Tests and checks use it; it is not an option of the game itself. The usage text
// below says how to call it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/GameFrame.h"
#include "engine/Mutex.h"
#include "engine/WinMain.h"
#include "headless/HeadlessGame.h"
#include "playthrough/Playthrough.h"
#include "platform/host/HostHeadless.h"
#include "scene/ScrDialog.h"

namespace {

CHeadlessGame g_Game;
CScrDialog g_ScrDialog;

enum DIALOGANSWER { ANSWER_WINDOW, ANSWER_FULLSCREEN, ANSWER_CANCEL };

struct RUNOPTIONS {
    uint32_t nTicks = 600;
    uint32_t nShotEvery = 0;
    std::vector<uint32_t> shotTicks;
    std::string strKeys;
    std::string strOut = ".";
    DIALOGANSWER eDialog = ANSWER_WINDOW;
    std::string strDialogShot;
    bool bRealClock = false;
    bool bVerbose = false;
    bool bPlay = false;
    bool bHelp = false;
};

const char kUsage[] =
    "usage: zorva-headless [--ticks N] [--keys SCRIPT] [--shot-every K] [--shot-at T]... [--out DIR]\n"
    "                      [--dialog full|window|cancel] [--dialog-shot FILE] [--real-clock] [--verbose]\n"
    "                      [--help]\n"
    "Runs the game without a window in the current folder, which holds GameData/, then closes it\n"
    "as the close box would.\n"
    "  --ticks N       ticks to run (default 600)\n"
    "  --keys SCRIPT   play the key script SCRIPT (format below)\n"
    "  --shot-every K  a screenshot every K ticks, DIR/tickNNNNN.png\n"
    "  --shot-at T     a screenshot at tick T; may be given again\n"
    "  --out DIR       folder of the screenshots and of last.png, the last frame (default .)\n"
    "  --dialog ANSWER what the screen-mode dialog (asked when SCREEN_SETTING is not 0) is answered\n"
    "                  with: full (full screen), window (the default) or cancel (the program ends)\n"
    "  --dialog-shot FILE  the dialog's last picture (the button as pressed), written as FILE\n"
    "  --real-clock    run on the real clock: loads take the ticks they take, runs do not repeat\n"
    "  --verbose       copy the game's debug output to stderr (its data errors go there always)\n"
    "  --play          a player at the keys instead of a script: past the caution and the opening,\n"
    "                  a second's look at the title, GAME START, each stage ridden to its boss and\n"
    "                  fought (stage 1's boss comes after some 9800 ticks); a game over ends the\n"
    "                  run, exit status 1\n"
    "  --help          this text\n"
    "Key script: one command a line, \"<tick> <command> [arguments]\"; '#' starts a comment.\n"
    "  <tick> down KEY | up KEY   press or release KEY: a letter or digit, or Left, Right, Up, Down,\n"
    "                             Esc, Enter, Tab, Shift, Ctrl, Alt, Space, End, Home, Back\n"
    "  <tick> close | deactivate | activate | minimize\n"
    "  <tick> move X Y            move the window\n"
    "  <tick> shot FILE.png       a screenshot\n"
    "  <tick> joy N X Y BUTTONS   joystick N (0 or 1) from this tick: axes 0..65535, buttons a bit\n"
    "                             each (bit k is button k + 1; decimal or 0x hex)\n"
    "  <tick> unplug N            joystick N removed\n"
    "  Example: \"30 down Right\", \"60 down X\", \"64 up X\" (Z shoots, X jumps, Shift or C sub-weapon).\n"
    "Exit status: the game's; 1 when the game could not run; 2 for a bad option or key script.\n";

// Digits only: "-1", " 5" and "5x" are no counts.
bool ReadCount(const char* pszText, uint32_t* pnOut)
{
    if (!*pszText || strspn(pszText, "0123456789") != strlen(pszText) || strlen(pszText) > 9)
        return false;
    const unsigned long n = strtoul(pszText, nullptr, 10);
    if (n > 100000000UL)
        return false;
    *pnOut = static_cast<uint32_t>(n);
    return true;
}

// The value of the option at argv[*pI], moving on past it; null (with the reason) when missing.
const char* OptionValue(int argc, char** argv, int* pI, std::string* pError)
{
    if (*pI + 1 >= argc) {
        *pError = std::string(argv[*pI]) + " needs a value";
        return nullptr;
    }
    return argv[++*pI];
}

bool ReadCountOption(int argc, char** argv, int* pI, uint32_t* pnOut, std::string* pError)
{
    const char* pszOption = argv[*pI];
    const char* pszValue = OptionValue(argc, argv, pI, pError);
    if (!pszValue)
        return false;
    if (!ReadCount(pszValue, pnOut)) {
        *pError = std::string(pszOption) + ": \"" + pszValue + "\" is not a count (0 to 100000000)";
        return false;
    }
    return true;
}

bool ReadDialogAnswer(const char* pszValue, DIALOGANSWER* pOut)
{
    if (!strcmp(pszValue, "full")) {
        *pOut = ANSWER_FULLSCREEN;
    } else if (!strcmp(pszValue, "window")) {
        *pOut = ANSWER_WINDOW;
    } else if (!strcmp(pszValue, "cancel")) {
        *pOut = ANSWER_CANCEL;
    } else {
        return false;
    }
    return true;
}

// The dialog is answered as a user would: a click on the button, or Escape.
void ScheduleDialogAnswer(CHostHeadless* pHost, DIALOGANSWER eAnswer)
{
    if (eAnswer == ANSWER_CANCEL) {
        HOSTEVENT ev{};
        ev.type = HOSTEV_KEYDOWN;
        ev.nVirtKey = VK_ESCAPE;
        pHost->PushDialogEvent(ev);
        return;
    }
    const RECT rc = CScrDialog::HitRect(eAnswer == ANSWER_FULLSCREEN ? CScrDialog::BUTTON_FULLSCREEN
                                                                      : CScrDialog::BUTTON_WINDOW);
    pHost->PushDialogClick((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

bool ParseArgs(int argc, char** argv, RUNOPTIONS* pOpt, std::string* pError)
{
    for (int i = 1; i < argc; i++) {
        const char* pszArg = argv[i];
        const char* pszValue = nullptr;
        uint32_t nTick = 0;
        if (!strcmp(pszArg, "--help") || !strcmp(pszArg, "-h")) {
            pOpt->bHelp = true;
        } else if (!strcmp(pszArg, "--real-clock")) {
            pOpt->bRealClock = true;
        } else if (!strcmp(pszArg, "--verbose")) {
            pOpt->bVerbose = true;
        } else if (!strcmp(pszArg, "--play")) {
            pOpt->bPlay = true;
        } else if (!strcmp(pszArg, "--ticks")) {
            if (!ReadCountOption(argc, argv, &i, &pOpt->nTicks, pError)) return false;
        } else if (!strcmp(pszArg, "--shot-every")) {
            if (!ReadCountOption(argc, argv, &i, &pOpt->nShotEvery, pError)) return false;
        } else if (!strcmp(pszArg, "--shot-at")) {
            if (!ReadCountOption(argc, argv, &i, &nTick, pError)) return false;
            pOpt->shotTicks.push_back(nTick);
        } else if (!strcmp(pszArg, "--keys")) {
            if (!(pszValue = OptionValue(argc, argv, &i, pError))) return false;
            pOpt->strKeys = pszValue;
        } else if (!strcmp(pszArg, "--dialog")) {
            if (!(pszValue = OptionValue(argc, argv, &i, pError))) return false;
            if (!ReadDialogAnswer(pszValue, &pOpt->eDialog)) {
                *pError = std::string("--dialog: \"") + pszValue + "\" is not full, window or cancel";
                return false;
            }
        } else if (!strcmp(pszArg, "--dialog-shot")) {
            if (!(pszValue = OptionValue(argc, argv, &i, pError))) return false;
            pOpt->strDialogShot = pszValue;
        } else if (!strcmp(pszArg, "--out")) {
            if (!(pszValue = OptionValue(argc, argv, &i, pError))) return false;
            pOpt->strOut = pszValue;
        } else {
            *pError = std::string("unknown option ") + pszArg;
            return false;
        }
    }
    return true;
}

// Two runs in one folder would write the same settings, replays and debug report, so a run holds
// a lock named after its folder. The game's own guard is named after the program file: it would
// stop every second run on the machine, and a stopped run would look like a finished one.
bool TakeFolderLock(CMutex* pMutex, std::string* pFolder)
{
    std::error_code ec;
    *pFolder = std::filesystem::current_path(ec).string();
    const std::string key = *pFolder + "/zorva-headless";
    std::vector<char> name(key.size() + 1);
    MakeInstanceMutexName(key.c_str(), name.data(), name.size());
    return pMutex->Open(name.data()) == 0;
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
    std::string strError;
    if (!ParseArgs(argc, argv, &opt, &strError)) {
        fprintf(stderr, "zorva-headless: %s\n%s", strError.c_str(), kUsage);
        return 2;
    }
    if (opt.bHelp) {
        fputs(kUsage, stdout);
        return 0;
    }
    CHostHeadless host(opt.bRealClock ? CHostHeadless::CLOCK_REAL : CHostHeadless::CLOCK_FAKE);
    host.SetEchoDebug(opt.bVerbose);
    if (!opt.strKeys.empty() && !host.LoadScript(opt.strKeys.c_str(), &strError)) {
        fprintf(stderr, "zorva-headless: %s: %s\n", opt.strKeys.c_str(), strError.c_str());
        return 2;
    }
    CMutex folderLock;
    std::string strFolder;
    if (!TakeFolderLock(&folderLock, &strFolder)) {
        fprintf(stderr, "zorva-headless: another headless run is using %s; not started\n", strFolder.c_str());
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(opt.strOut, ec);
    // The player is made only when asked for: it holds on to the host.
    CHeadlessGame* pGame = &g_Game;
    std::unique_ptr<CPlaythrough> pPlayer;
    if (opt.bPlay) {
        pPlayer = std::make_unique<CPlaythrough>(host);
        pPlayer->m_bWatchReplay = false;
        // A second on the title, so that its screenshots show it.
        pPlayer->m_nTitleLook = 60;
        pGame = pPlayer.get();
    }
    // On the real clock the load takes the ticks it takes, as in the window.
    pGame->m_bWaitForLoads = !opt.bRealClock;
    ScheduleRun(&host, opt);
    ScheduleDialogAnswer(&host, opt.eDialog);
    SetHost(&host);
    SetGameFrame(pGame);
    SetScreenDialog(&g_ScrDialog);
    const int nResult = RunApplication(nullptr, SW_SHOWNORMAL);
    SetScreenDialog(nullptr);
    SetGameFrame(nullptr);
    SetHost(nullptr);
    folderLock.Release();
    if (!opt.strDialogShot.empty() && !host.WriteDialogFrame(opt.strDialogShot.c_str()))
        fprintf(stderr, "zorva-headless: no dialog picture to write to %s\n", opt.strDialogShot.c_str());
    if (host.GetFrameTicks() == 0 && !(host.GetDialogCount() > 0 && opt.eDialog == ANSWER_CANCEL)) {
        fprintf(stderr, "zorva-headless: the game did not start in %s (no tick ran)\n", strFolder.c_str());
        return 1;
    }
    const std::string strLast = opt.strOut + "/last.png";
    host.WriteLastFrame(strLast.c_str());
    printf("zorva-headless: %u ticks, %d frames presented, exit %d; shots in %s\n",
           static_cast<unsigned>(host.GetFrameTicks()), host.GetPresentCount(), nResult, opt.strOut.c_str());
    if (pPlayer && !pPlayer->GetFailure().empty()) {
        fprintf(stderr, "zorva-headless: the player's run ended: %s\n", pPlayer->GetFailure().c_str());
        return 1;
    }
    return nResult;
}
