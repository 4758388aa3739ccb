// A drum of up to ten equally high frames seen through a window one frame high: changing the
// frame rolls the strip through the window, and a frame boundary inside the window squeezes the two
// neighbouring frames into their share of it.
#pragma once
#include "engine/SurfaceUtil.h"

#define SLIDE_FRAME_MAX 10

class CSlideSurfBase {
public:
    CSlideSurfBase() { Init(); }
    virtual ~CSlideSurfBase() = default;

    void Init();
    void Setup(IDirectDrawSurface7* lpStrip, int nWindowWidth, int nFrameHeight, int nFrameCount);
    void SetFrame(int i);
    void SetFrameIndex(int i) { SetFrame(i); }
    void ResetFrame() { SetFrame(0); }
    int GetFrame() const { return m_nTarget; }
    // bDirect 0 always rolls forwards (round through the strip's end); otherwise the shorter way.
    void SlideTo(int i, int bDirect);
    void Move();
    BOOL Draw(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpStrip, float x, float y);

    float GetPosition() const { return m_fPosition; }
    float GetSpeed() const { return m_fSpeed; }
    float GetRemaining() const { return m_fRemaining; }
    int GetFrameCount() const { return m_nFrameCount; }
    void SetSlideSpeed(float f) { m_fSlideSpeed = f; }
    void SetDeceleration(float f) { m_fDeceleration = f; }

private:
    float FrameTop(int i) const { return m_fFrameTop[i]; }

    int m_nStripWidth = 0;
    int m_nStripHeight = 0;
    int m_nWindowWidth = 0;
    int m_nFrameHeight = 0;
    int m_nTarget = 0;
    int m_nFrameCount = 0;
    float m_fPosition = 0.0f;
    float m_fSpeed = 0.0f;
    float m_fSlideSpeed = 8.0f;
    float m_fDeceleration = 0.0f;
    float m_fRemaining = 0.0f;
    float m_fFrameTop[SLIDE_FRAME_MAX] = {};
};

// Makes the strip from a source picture: (device, source, window width, frame height, frame count).
typedef IDirectDrawSurface7* (*PFNSTRIPBUILDER)(IDirect3DDevice7*, IDirectDrawSurface7*, int, int, int);

class CSlideSurface {
public:
    CSlideSurface() = default;
    virtual ~CSlideSurface() { Release(); }
    CSlideSurface(const CSlideSurface&) = delete;
    CSlideSurface& operator=(const CSlideSurface&) = delete;

    // 0 for more than ten frames or when the strip cannot be made.
    BOOL CreateStrip(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nWindowWidth, int nFrameHeight,
                     int nFrameCount, PFNSTRIPBUILDER pfnBuilder);
    BOOL LoadFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, int nWindowWidth, int nFrameHeight,
                       int nFrameCount, PFNSTRIPBUILDER pfnBuilder);
    BOOL LoadFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, int nWindowWidth, int nFrameHeight,
                      int nFrameCount, PFNSTRIPBUILDER pfnBuilder);
    void Release();
    void Reset() { m_Roller.SetFrame(0); }
    void SetFrame(int i) { m_Roller.SetFrame(i); }
    void SlideTo(int i, int bDirect) { m_Roller.SlideTo(i, bDirect); }
    void Show();
    void Hide() { m_bHidden = 1; }
    void Update();
    BOOL Draw(IDirectDrawSurface7* lpDest);

    const CSlideSurfBase& GetRoller() const { return m_Roller; }
    int IsHidden() const { return m_bHidden; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;

private:
    BOOL TakeSource(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nWindowWidth, int nFrameHeight,
                    int nFrameCount, PFNSTRIPBUILDER pfnBuilder);

    CSlideSurfBase m_Roller;
    IDirectDrawSurface7* m_lpStrip = nullptr;
    int m_bHidden = 1;
};
