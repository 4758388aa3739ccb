// The timed damage flash that hittable objects own as a member: on from Start until the flash time
// (OBJ_FLASH_TIME) has passed on the game clock.
#pragma once
#include "platform/win/WinTypes.h"

class CFlashable {
public:
    CFlashable() = default;
    virtual ~CFlashable() = default;

    // Takes the current flash time and marks the flash as run out.
    virtual void Reset();
    virtual void Stop();
    // Starting again while flashing restarts the time.
    virtual void Start();
    // Ends the flash once more than the flash time has passed; the time since the start.
    virtual DWORD Update();

    // On from Start until the time has run out. A Reset while flashing counts as run out, so the
    // flash cannot stick on until the owner stops it.
    BOOL IsFlashing() const { return m_bFlashing && !m_bExpired; }

    BOOL m_bFlashing = 0;
    DWORD m_dwDuration = 0;
    DWORD m_dwStartTime = 0;
    BOOL m_bExpired = 0;
};
