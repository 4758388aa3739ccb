#include "platform/host/VirtKey.h"

#include <strings.h>

#include <cstring>

#include "platform/win/Win.h"

namespace {
struct KeyName {
    const char* pszName;
    int nVirtKey;
};

const KeyName kKeyNames[] = {
    {"Left", VK_LEFT},   {"Right", VK_RIGHT}, {"Up", VK_UP},      {"Down", VK_DOWN},   {"Esc", VK_ESCAPE},
    {"Enter", VK_RETURN}, {"Tab", VK_TAB},    {"Shift", VK_SHIFT}, {"Ctrl", VK_CONTROL}, {"Alt", VK_MENU},
    {"Space", VK_SPACE}, {"End", VK_END},     {"Home", VK_HOME},  {"Back", VK_BACK},
};
}  // namespace

int VirtKeyFromName(const char* pszName) {
    if (!pszName) return 0;
    if (strlen(pszName) == 1) {
        char c = pszName[0];
        if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    for (const KeyName& k : kKeyNames)
        if (strcasecmp(k.pszName, pszName) == 0) return k.nVirtKey;
    return 0;
}

int VirtKeyToChar(int nVirtKey, bool bShift) {
    if (nVirtKey >= 'A' && nVirtKey <= 'Z') return bShift ? nVirtKey : nVirtKey - 'A' + 'a';
    if (nVirtKey >= '0' && nVirtKey <= '9') return bShift ? ")!@#$%^&*("[nVirtKey - '0'] : nVirtKey;
    switch (nVirtKey) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_BACK: return 0x08;
    default: return 0;
    }
}
