// The menus' keys act when they go down: each keeps the state it had at the last read, and that
// state is taken on entering the menu, so a key held on entry does nothing until pressed again.
// Keys of the key map (arrows, Z, X, C, Shift) are read through player 0's input, so the joystick's
// directions and buttons count too; other keys (Enter, digits) are read live.
#pragma once

class CMenuEdge {
public:
    // Takes the present state without acting on it.
    void Latch(int bDown) { m_bLast = bDown ? 1 : 0; }
    // 1 when the key has gone down since the last read.
    int Press(int bDown)
    {
        const int bPress = bDown && !m_bLast;
        m_bLast = bDown ? 1 : 0;
        return bPress;
    }
    int IsLatched() const { return m_bLast; }

private:
    int m_bLast = 0;
};

// Player 0's input mask (keyboard and joysticks) and whether a key is down in it.
int MenuInput();
int IsMenuKeyDown(int nInput, int nVirtKey);
// The menus' sounds: moving, deciding, and an unlock or a debug choice.
void PlayMenuMove();
void PlayMenuDecide();
void PlayMenuPowerUp();
