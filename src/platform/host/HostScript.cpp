#include "platform/host/HostScript.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/host/Host.h"
#include "platform/host/VirtKey.h"

namespace {

struct Op {
    const char* pszName;
    HOSTSCRIPTOP op;
    int nArgs;
};

const Op kOps[] = {
    {"down", HSOP_KEYDOWN, 1},      {"up", HSOP_KEYUP, 1},        {"close", HSOP_CLOSE, 0},
    {"deactivate", HSOP_DEACTIVATE, 0}, {"activate", HSOP_ACTIVATE, 0}, {"minimize", HSOP_MINIMIZE, 0},
    {"move", HSOP_MOVE, 2},         {"shot", HSOP_SHOT, 1},       {"joy", HSOP_JOY, 4},
    {"unplug", HSOP_UNPLUG, 1},
};

bool ParseLong(const std::string& text, long nMin, long nMax, long* pValue, int nBase = 10) {
    if (text.empty()) return false;
    errno = 0;
    char* pEnd = nullptr;
    long v = strtol(text.c_str(), &pEnd, nBase);
    if (errno != 0 || *pEnd != '\0' || v < nMin || v > nMax) return false;
    *pValue = v;
    return true;
}

// "joy N X Y BUTTONS" or "unplug N" (words[0] is the tick, words[1] the command).
bool ParseJoystick(const std::vector<std::string>& words, HOSTSCRIPTCMD* pCmd, std::string* pReason) {
    long n, x = 0, y = 0, buttons = 0;
    if (words[2][0] == '-' || words[2][0] == '+' || !ParseLong(words[2], 0, HOST_JOYSTICK_SLOTS - 1, &n)) {
        *pReason = "bad joystick number \"" + words[2] + "\"";
        return false;
    }
    pCmd->nJoy = static_cast<int>(n);
    if (pCmd->op == HSOP_UNPLUG) return true;
    if (!ParseLong(words[3], 0, 65535, &x) || !ParseLong(words[4], 0, 65535, &y)) {
        *pReason = "bad joystick position";
        return false;
    }
    bool bHex = words[5].size() > 2 && words[5][0] == '0' && (words[5][1] == 'x' || words[5][1] == 'X');
    std::string digits = bHex ? words[5].substr(2) : words[5];
    if (digits[0] == '-' || digits[0] == '+' || !ParseLong(digits, 0, UINT32_MAX, &buttons, bHex ? 16 : 10)) {
        *pReason = "bad button word \"" + words[5] + "\"";
        return false;
    }
    pCmd->dwJoyX = static_cast<uint32_t>(x);
    pCmd->dwJoyY = static_cast<uint32_t>(y);
    pCmd->dwButtons = static_cast<uint32_t>(buttons);
    return true;
}

// One non-empty, comment-free line into a command; the reason on failure.
bool ParseLine(const std::string& line, HOSTSCRIPTCMD* pCmd, std::string* pReason) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    long tick;
    if (words[0][0] == '-' || words[0][0] == '+' || !ParseLong(words[0], 0, UINT32_MAX, &tick)) {
        *pReason = "bad tick \"" + words[0] + "\"";
        return false;
    }
    if (words.size() < 2) {
        *pReason = "missing command";
        return false;
    }
    const Op* pOp = nullptr;
    for (const Op& op : kOps)
        if (words[1] == op.pszName) pOp = &op;
    if (!pOp) {
        *pReason = "unknown command \"" + words[1] + "\"";
        return false;
    }
    if (static_cast<int>(words.size()) - 2 != pOp->nArgs) {
        *pReason = "\"" + words[1] + "\" takes " + std::to_string(pOp->nArgs) + " argument(s)";
        return false;
    }
    *pCmd = HOSTSCRIPTCMD{static_cast<uint32_t>(tick), pOp->op, 0, 0, 0, {}};
    if (pOp->op == HSOP_KEYDOWN || pOp->op == HSOP_KEYUP) {
        pCmd->nVirtKey = VirtKeyFromName(words[2].c_str());
        if (pCmd->nVirtKey == 0) {
            *pReason = "unknown key \"" + words[2] + "\"";
            return false;
        }
    } else if (pOp->op == HSOP_MOVE) {
        long x, y;
        if (!ParseLong(words[2], -32768, 32767, &x) || !ParseLong(words[3], -32768, 32767, &y)) {
            *pReason = "bad position";
            return false;
        }
        pCmd->x = static_cast<int>(x);
        pCmd->y = static_cast<int>(y);
    } else if (pOp->op == HSOP_SHOT) {
        pCmd->strFile = words[2];
    } else if (pOp->op == HSOP_JOY || pOp->op == HSOP_UNPLUG) {
        return ParseJoystick(words, pCmd, pReason);
    }
    return true;
}

}  // namespace

bool ParseHostScript(const char* pszText, std::vector<HOSTSCRIPTCMD>* pCommands, std::string* pError) {
    std::vector<HOSTSCRIPTCMD> parsed;
    std::istringstream in(pszText ? pszText : "");
    int nLine = 0;
    for (std::string line; std::getline(in, line);) {
        ++nLine;
        line = line.substr(0, line.find('#'));
        // Blank by the same rule the words are split by, so a line is never an empty command.
        if (line.find_first_not_of(" \t\r\n\v\f") == std::string::npos) continue;
        HOSTSCRIPTCMD cmd;
        std::string reason;
        if (!ParseLine(line, &cmd, &reason)) {
            if (pError) *pError = "line " + std::to_string(nLine) + ": " + reason;
            return false;
        }
        parsed.push_back(std::move(cmd));
    }
    pCommands->insert(pCommands->end(), parsed.begin(), parsed.end());
    return true;
}
