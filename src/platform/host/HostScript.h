// The headless host's input script: one command per line, "<tick> <command> [arguments]".
//   <tick> down KEY | up KEY | close | deactivate | activate | minimize | move X Y | shot FILE.png
// Keys are named as VirtKeyFromName reads them; '#' starts a comment; blank lines are skipped.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum HOSTSCRIPTOP {
    HSOP_KEYDOWN,
    HSOP_KEYUP,
    HSOP_CLOSE,
    HSOP_DEACTIVATE,
    HSOP_ACTIVATE,
    HSOP_MINIMIZE,
    HSOP_MOVE,
    HSOP_SHOT,
};

struct HOSTSCRIPTCMD {
    uint32_t nTick;
    HOSTSCRIPTOP op;
    int nVirtKey;  // KEYDOWN, KEYUP
    int x, y;      // MOVE
    std::string strFile;  // SHOT
};

// Appends the commands of pszText to pCommands. On a bad line nothing is appended and pError
// receives "line N: reason".
bool ParseHostScript(const char* pszText, std::vector<HOSTSCRIPTCMD>* pCommands, std::string* pError);
