// The headless host's input script: one command per line, "<tick> <command> [arguments]".
//   <tick> down KEY | up KEY | close | deactivate | activate | minimize | move X Y | shot FILE.png
//        | joy N X Y BUTTONS | unplug N
// A joystick (N 0 or 1) named anywhere in a script is plugged in from the start, centred with no
// button down; "joy" sets its axes (0..65535) and buttons (bit k = button k + 1, decimal or 0x hex)
// from that tick on; "unplug" removes it (a later "joy" plugs it in again).
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
    HSOP_JOY,
    HSOP_UNPLUG,
};

struct HOSTSCRIPTCMD {
    uint32_t nTick;
    HOSTSCRIPTOP op;
    int nVirtKey;  // KEYDOWN, KEYUP
    int x, y;      // MOVE
    std::string strFile;  // SHOT
    int nJoy = 0;             // JOY, UNPLUG
    uint32_t dwJoyX = 0;      // JOY
    uint32_t dwJoyY = 0;
    uint32_t dwButtons = 0;
};

// Appends the commands of pszText to pCommands. On a bad line nothing is appended and pError
// receives "line N: reason".
bool ParseHostScript(const char* pszText, std::vector<HOSTSCRIPTCMD>* pCommands, std::string* pError);
