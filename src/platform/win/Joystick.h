// The multimedia joystick calls the input layer makes, served by the host's joysticks: two
// devices at most, axes 0..65535, up to 32 buttons (bit k of the word is button k + 1).
#pragma once
#include <cstdint>

#include "platform/win/WinTypes.h"

#ifndef MMSYSERR_NOERROR
#define MMSYSERR_NOERROR 0
#endif
#ifndef MMSYSERR_NODRIVER
#define MMSYSERR_NODRIVER 6
#endif
#ifndef MMSYSERR_INVALPARAM
#define MMSYSERR_INVALPARAM 11
#endif
#define JOYERR_NOERROR 0
#define JOYERR_BASE 160
#define JOYERR_PARMS (JOYERR_BASE + 5)
#define JOYERR_NOCANDO (JOYERR_BASE + 6)
#define JOYERR_UNPLUGGED (JOYERR_BASE + 7)

#define JOYSTICKID1 0
#define JOYSTICKID2 1
// Devices the driver serves, plugged in or not (what joyGetNumDevs reports when there is one).
#define JOY_DRIVER_DEVICES 16

#define JOY_RETURNX 0x00000001u
#define JOY_RETURNY 0x00000002u
#define JOY_RETURNZ 0x00000004u
#define JOY_RETURNR 0x00000008u
#define JOY_RETURNU 0x00000010u
#define JOY_RETURNV 0x00000020u
#define JOY_RETURNPOV 0x00000040u
#define JOY_RETURNBUTTONS 0x00000080u
#define JOY_RETURNALL 0x000000FFu
#define JOY_POVCENTERED 0xFFFFu

#define MAXPNAMELEN 32

struct JOYCAPSA {
    WORD wMid;
    WORD wPid;
    char szPname[MAXPNAMELEN];
    UINT wXmin;
    UINT wXmax;
    UINT wYmin;
    UINT wYmax;
    UINT wZmin;
    UINT wZmax;
    UINT wNumButtons;
    UINT wPeriodMin;
    UINT wPeriodMax;
};
typedef JOYCAPSA* LPJOYCAPSA;

struct JOYINFO {
    UINT wXpos;
    UINT wYpos;
    UINT wZpos;
    UINT wButtons;
};
typedef JOYINFO* LPJOYINFO;

struct JOYINFOEX {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwXpos;
    DWORD dwYpos;
    DWORD dwZpos;
    DWORD dwRpos;
    DWORD dwUpos;
    DWORD dwVpos;
    DWORD dwButtons;
    DWORD dwButtonNumber;
    DWORD dwPOV;
    DWORD dwReserved1;
    DWORD dwReserved2;
};
typedef JOYINFOEX* LPJOYINFOEX;

typedef UINT MMRESULT;

// JOY_DRIVER_DEVICES when the host has joysticks at all, 0 when it has none.
UINT joyGetNumDevs();
// JOYERR_PARMS for a device that is not plugged in (or a bad id or size).
MMRESULT joyGetDevCapsA(uintptr_t uJoyID, LPJOYCAPSA pjc, UINT cbjc);
MMRESULT joyGetPos(UINT uJoyID, LPJOYINFO pji);
// JOYERR_UNPLUGGED for a device that is not plugged in; the fields dwFlags asks for are filled.
MMRESULT joyGetPosEx(UINT uJoyID, LPJOYINFOEX pji);
