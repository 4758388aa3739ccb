// The input layer: the keyboard and up to two joysticks merged into one 7-bit mask per call,
// sampled at the moment of the call (no queue, no edge detection: screens keep their own latches).
#pragma once
#include <cstdint>

#include "platform/win/Joystick.h"

#define INPUT_UP 1
#define INPUT_DOWN 2
#define INPUT_LEFT 4
#define INPUT_RIGHT 8
#define INPUT_SHOT 16
#define INPUT_JUMP 32
#define INPUT_SUB 64
#define INPUT_DIRECTIONS (INPUT_UP | INPUT_DOWN | INPUT_LEFT | INPUT_RIGHT)
#define INPUT_BUTTONS (INPUT_SHOT | INPUT_JUMP | INPUT_SUB)

// 1: every device serves every player; 2: each player has their own devices.
#define INPUT_MODE_MERGED 1
#define INPUT_MODE_SPLIT 2

#define INPUT_JOYSTICK_MAX 2
// Only the first ten buttons count.
#define INPUT_JOY_BUTTON_RANGE 1024

class CInputState {
public:
    virtual ~CInputState() {}

    // Joystick set-up, once at start-up: 1 when every joystick found also answered a first read.
    static int Init();
    static int GetInput(int nPlayer);
    static int GetInputInMode(int nMode, int nPlayer);
    static int GetInputOf(uint32_t nCount, int nMode, int nPlayer);
    static int Keyboard(int nPlayer);
    // 1 with the extended position record of joystick n (buttons cut to the first ten) in *pOut.
    static int ReadJoystick(int n, JOYINFOEX* pOut);
    static int Joystick(int n);
    static int IsAnyInput();
    static int IsAnyButton();
    static int IsAnyJoyButton();

    static void SetMode(int nMode) { s_nMode = nMode; }
    static int GetMode() { return s_nMode; }
    static uint32_t GetJoystickCount() { return s_nJoyCount; }
    // The thresholds: X low, X high, Y low, Y high.
    static void GetThresholds(uint32_t* pValues);
    // Back to the state before Init (no joysticks, mode 1).
    static void Reset();

private:
    static uint32_t s_nJoyCount;
    static int s_nMode;
    static uint32_t s_dwXLow, s_dwXHigh, s_dwYLow, s_dwYHigh;
};
