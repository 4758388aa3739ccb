// The blinking demo-play caption over the stage while the title's demo replay runs: two frames of
// one picture, stacked, shown in turn on game timer 0.
#pragma once
#include "engine/DSurface.h"

#define DEMOPLAY_LOGO_FILE ".\\GameData\\System\\DemoPlay.bmp"
#define DEMOPLAY_LOGO_X 330
#define DEMOPLAY_LOGO_Y 395

class CDemoPlayLogo {
public:
    enum { FRAME_PERIOD_MS = 30, FRAME_COUNT = 2 };

    CDemoPlayLogo() = default;
    virtual ~CDemoPlayLogo() = default;
    CDemoPlayLogo(const CDemoPlayLogo&) = delete;
    CDemoPlayLogo& operator=(const CDemoPlayLogo&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    void Release() { m_Picture.Release(); }
    void Start();
    void Update();
    void Hide() { m_bHidden = 1; }
    void Draw(IDirectDrawSurface7* lpDest);

    int IsHidden() const { return m_bHidden; }
    int GetFrame() const { return m_nFrame; }

private:
    CDSurface m_Picture;
    DWORD m_dwPeriod = FRAME_PERIOD_MS;
    DWORD m_dwFrameTime = 0;
    int m_bLocked = 0;
    int m_nFrameCount = FRAME_COUNT;
    int m_nFrame = 0;
    int m_bHidden = 1;
};
