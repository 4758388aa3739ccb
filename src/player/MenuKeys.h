// Menu keys act on presses, not on held keys: each key keeps the state it had at the last read and
// counts only when it goes down. Keys are read through the key recorder's map, so the joystick
// buttons mapped to them count as well; keys outside the map (Enter, Tab) are read live.
#pragma once

// Whether the key is down now.
int IsMenuKeyDown(int nVirtKey);
// The jump key (bit 32 of the key mask).
int IsMenuJumpDown();

class CKeyEdge {
public:
    // Takes the present state without acting on it (a key held on entry does not count).
    void Latch(int bDown) { m_bLast = bDown ? 1 : 0; }
    void Clear() { m_bLast = 0; }
    // 1 when the key has gone down since the last read.
    int Rise(int bDown)
    {
        const int bRise = bDown && !m_bLast;
        m_bLast = bDown ? 1 : 0;
        return bRise;
    }

private:
    int m_bLast = 0;
};

// The menus' sounds: moving the selection, and deciding.
void PlayMenuMove();
void PlayMenuDecide();
