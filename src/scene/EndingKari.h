// The stand-by ending after the last stage when the full ending is switched off: one picture for
// ten seconds, then it waits for a button; the game then fades to white and offers saving.
#pragma once
#include "engine/DSurface.h"

#define ENDING_KARI_PICTURE ".\\GameData\\System\\TestEnding.bmp"

class CEndingKari {
public:
    enum { STATE_SHOWING = 0, STATE_WAITING = 1, STATE_ENDED = 2 };
    enum { SHOW_MS = 10000 };

    CEndingKari() = default;
    virtual ~CEndingKari() = default;
    CEndingKari(const CEndingKari&) = delete;
    CEndingKari& operator=(const CEndingKari&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Reset();
    void Start();
    void Stop() { m_bStopped = 1; }
    int GetState() const { return m_nState; }
    int IsStopped() const { return m_bStopped; }
    void Update();
    void Draw(IDirectDrawSurface7* lpDest);

private:
    int m_nState = STATE_SHOWING;
    CDSurface m_Picture;
    DWORD m_dwShowTime = SHOW_MS;
    DWORD m_dwStart = 0;
    int m_bTimerDone = 1;
    int m_bStopped = 1;
};
