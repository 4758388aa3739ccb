#include "platform/win/Joystick.h"

#include <cstring>

#include "platform/host/Host.h"

namespace {

// The host's state of the device; false when there is no host or nothing in that slot.
bool ReadDevice(uintptr_t uJoyID, HOSTJOYSTATE* pState) {
    IHost* pHost = GetHost();
    if (!pHost || uJoyID >= HOST_JOYSTICK_SLOTS) return false;
    return pHost->GetJoystick(static_cast<int>(uJoyID), pState);
}

}  // namespace

UINT joyGetNumDevs() {
    IHost* pHost = GetHost();
    return pHost && pHost->HasJoystickSupport() ? JOY_DRIVER_DEVICES : 0;
}

MMRESULT joyGetDevCapsA(uintptr_t uJoyID, LPJOYCAPSA pjc, UINT cbjc) {
    if (!pjc || cbjc < sizeof(JOYCAPSA)) return MMSYSERR_INVALPARAM;
    HOSTJOYSTATE state;
    if (!ReadDevice(uJoyID, &state)) return JOYERR_PARMS;
    memset(pjc, 0, sizeof(JOYCAPSA));
    strcpy(pjc->szPname, "Host joystick");
    pjc->wXmax = pjc->wYmax = pjc->wZmax = 65535;
    pjc->wNumButtons = 32;
    pjc->wPeriodMin = 10;
    pjc->wPeriodMax = 1000;
    return JOYERR_NOERROR;
}

MMRESULT joyGetPos(UINT uJoyID, LPJOYINFO pji) {
    if (!pji) return MMSYSERR_INVALPARAM;
    HOSTJOYSTATE state;
    if (!ReadDevice(uJoyID, &state)) return JOYERR_UNPLUGGED;
    pji->wXpos = state.dwX;
    pji->wYpos = state.dwY;
    pji->wZpos = 32768;
    pji->wButtons = state.dwButtons & 0xF;  // the short record has room for four buttons
    return JOYERR_NOERROR;
}

MMRESULT joyGetPosEx(UINT uJoyID, LPJOYINFOEX pji) {
    if (!pji || pji->dwSize < sizeof(JOYINFOEX)) return MMSYSERR_INVALPARAM;
    HOSTJOYSTATE state;
    if (!ReadDevice(uJoyID, &state)) return JOYERR_UNPLUGGED;
    DWORD dwFlags = pji->dwFlags;
    if (dwFlags & JOY_RETURNX) pji->dwXpos = state.dwX;
    if (dwFlags & JOY_RETURNY) pji->dwYpos = state.dwY;
    if (dwFlags & JOY_RETURNZ) pji->dwZpos = 32768;
    if (dwFlags & JOY_RETURNR) pji->dwRpos = 32768;
    if (dwFlags & JOY_RETURNU) pji->dwUpos = 32768;
    if (dwFlags & JOY_RETURNV) pji->dwVpos = 32768;
    if (dwFlags & JOY_RETURNPOV) pji->dwPOV = JOY_POVCENTERED;
    if (dwFlags & JOY_RETURNBUTTONS) {
        pji->dwButtons = state.dwButtons;
        pji->dwButtonNumber = static_cast<DWORD>(__builtin_popcount(state.dwButtons));
    }
    return JOYERR_NOERROR;
}
