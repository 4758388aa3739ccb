#include "engine/Input.h"

#include "engine/Config.h"
#include "platform/win/Win.h"

uint32_t CInputState::s_nJoyCount = 0;
int CInputState::s_nMode = INPUT_MODE_MERGED;
uint32_t CInputState::s_dwXLow = 0;
uint32_t CInputState::s_dwXHigh = 0;
uint32_t CInputState::s_dwYLow = 0;
uint32_t CInputState::s_dwYHigh = 0;

namespace {

bool IsDown(int nVirtKey) { return (GetAsyncKeyState(nVirtKey) & 0x8000) != 0; }

}  // namespace

void CInputState::Reset() {
    s_nJoyCount = 0;
    s_nMode = INPUT_MODE_MERGED;
    s_dwXLow = s_dwXHigh = s_dwYLow = s_dwYHigh = 0;
}

void CInputState::GetThresholds(uint32_t* pValues) {
    pValues[0] = s_dwXLow;
    pValues[1] = s_dwXHigh;
    pValues[2] = s_dwYLow;
    pValues[3] = s_dwYHigh;
}

// One set of thresholds serves both joysticks: the last device set up decides it.
int CInputState::Init() {
    if (joyGetNumDevs() == 0) return 0;
    s_nJoyCount = 0;
    for (UINT id = JOYSTICKID1; id <= JOYSTICKID2; ++id) {
        JOYCAPSA caps;
        if (joyGetDevCapsA(id, &caps, sizeof(caps)) != JOYERR_NOERROR) continue;
        ++s_nJoyCount;
        s_dwXLow = (caps.wXmax + 2 * caps.wXmin) / 3;
        s_dwXHigh = (caps.wXmin + 2 * caps.wXmax) / 3;
        s_dwYLow = (caps.wYmax + 2 * caps.wYmin) / 3;
        s_dwYHigh = (caps.wYmin + 2 * caps.wYmax) / 3;
        JOYINFO info;
        if (joyGetPos(id, &info) != JOYERR_NOERROR) return 0;
    }
    s_nMode = INPUT_MODE_SPLIT;
    return 1;
}

int CInputState::GetInput(int nPlayer) { return GetInputOf(s_nJoyCount, s_nMode, nPlayer); }

int CInputState::GetInputInMode(int nMode, int nPlayer) { return GetInputOf(s_nJoyCount, nMode, nPlayer); }

int CInputState::GetInputOf(uint32_t nCount, int nMode, int nPlayer) {
    if (nCount > INPUT_JOYSTICK_MAX) return 0;
    if (nMode == INPUT_MODE_MERGED) {
        int nMask = Keyboard(0);
        for (uint32_t n = 0; n < nCount; ++n) nMask |= Joystick(static_cast<int>(n));
        return nMask;
    }
    if (nMode != INPUT_MODE_SPLIT) return 0;
    if (nPlayer == 0) return Keyboard(0) | (nCount >= 1 ? Joystick(0) : 0);
    if (nPlayer == 1) return nCount == 2 ? Joystick(1) : 0;
    return 0;
}

int CInputState::Keyboard(int nPlayer) {
    if (nPlayer != 0) return 0;
    int nMask = 0;
    if (IsDown(VK_UP)) nMask |= INPUT_UP;
    if (IsDown(VK_DOWN)) nMask |= INPUT_DOWN;
    if (IsDown(VK_LEFT)) nMask |= INPUT_LEFT;
    if (IsDown(VK_RIGHT)) nMask |= INPUT_RIGHT;
    if (IsDown('Z')) nMask |= INPUT_SHOT;
    if (IsDown('X')) nMask |= INPUT_JUMP;
    if (IsDown(VK_SHIFT) || IsDown('C')) nMask |= INPUT_SUB;
    return nMask;
}

int CInputState::ReadJoystick(int n, JOYINFOEX* pOut) {
    if (s_nJoyCount == 0 || n < 0) return 0;
    JOYINFOEX info{};
    info.dwSize = sizeof(info);
    info.dwFlags = JOY_RETURNALL;
    if (joyGetPosEx(static_cast<UINT>(n), &info) != JOYERR_NOERROR) return 0;
    info.dwButtons %= INPUT_JOY_BUTTON_RANGE;
    if (pOut) *pOut = info;
    return 1;
}

int CInputState::Joystick(int n) {
    JOYINFOEX info;
    if (!ReadJoystick(n, &info)) return 0;
    int nMask = 0;
    if (info.dwXpos < s_dwXLow) nMask |= INPUT_LEFT;
    if (info.dwXpos > s_dwXHigh) nMask |= INPUT_RIGHT;
    if (info.dwYpos < s_dwYLow) nMask |= INPUT_UP;
    if (info.dwYpos > s_dwYHigh) nMask |= INPUT_DOWN;
    return nMask | (g_Config.MapButtons(info.dwButtons) << 4);
}

int CInputState::IsAnyInput() {
    return ((GetInput(0) & INPUT_DIRECTIONS) != 0 || IsAnyButton()) ? 1 : 0;
}

int CInputState::IsAnyButton() { return (GetInput(0) & INPUT_BUTTONS) != 0 ? 1 : 0; }

int CInputState::IsAnyJoyButton() {
    JOYINFOEX info;
    return (ReadJoystick(0, &info) && info.dwButtons != 0) ? 1 : 0;
}
