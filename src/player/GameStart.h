// The stage-start banner: "Ready" opens vertically, holds a second and closes while "Go" flies in
// from the left, pinches, holds and flies out to the right. Both run on game timer 0 and the
// per-update steps of their motion records.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "stage/StageScreens.h"

#define GAMESTART_READY_FILE ".\\GameData\\System\\Ready.bmp"
#define GAMESTART_GO_FILE ".\\GameData\\System\\Go.bmp"
#define GAMESTART_VOICE ".\\GameData\\System\\CvStageStart.wav"

class CGo {
public:
    enum { STATE_FLY_IN = 0, STATE_PINCH = 1, STATE_HOLD = 2, STATE_PINCH_OUT = 3, STATE_FLY_OUT = 4 };
    enum { HOLD_MS = 1000 };

    CGo();
    virtual ~CGo() = default;
    CGo(const CGo&) = delete;
    CGo& operator=(const CGo&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    void SetCentre(float x, float y)
    {
        m_fCentreX = x;
        m_fCentreY = y;
    }
    void Start();
    void Update();
    void Hide() { m_bFinished = 1; }
    int Draw(IDirectDrawSurface7* lpSurface);
    // The rectangle Draw fills (empty when finished).
    RECT GetDrawRect() const;

    int IsFinished() const { return m_bFinished; }
    int GetState() const { return m_nState; }
    float GetX() const { return m_fX; }
    float GetStretch() const { return m_fStretch; }

private:
    void StartPinch();
    // One pinch step; 1 when the picture is back at full width.
    int StepPinch();

    int m_nState = STATE_FLY_IN;
    CDSurface m_Picture;
    int m_nWidth = 0;
    int m_nHeight = 0;
    ACCINFO m_Pinch;   // its value is the pinch velocity
    float m_fStretch = 1.0f;
    ACCINFO m_Slide;   // its value is the flight speed
    float m_fX = 0.0f;
    float m_fY = 0.0f;
    float m_fCentreX = 320.0f;
    float m_fCentreY = 240.0f;
    DWORD m_dwHoldStart = 0;
    int m_bFinished = 1;
};

class CGameStart : public IGameStart {
public:
    enum { STATE_OPENING = 0, STATE_CLOSING = 1, STATE_HOLDING = 2 };
    enum { HOLD_MS = 1000 };

    CGameStart();
    ~CGameStart() override = default;

    int Load(IDirect3DDevice7* lpDevice) override;
    // The banner's centre from the next Start on.
    void SetPoint(const D3DVECTOR& vPoint) override;
    void Start() override;
    void Update() override;
    void Hide() override;
    int Draw(IDirectDrawSurface7* lpSurface) override;
    // The rectangle the Ready picture fills (empty when it has no height).
    RECT GetReadyRect() const;

    int IsHidden() const { return m_bHidden; }
    int GetState() const { return m_nState; }
    float GetScale() const { return m_Scale.fValue; }
    const CGo& GetGo() const { return m_Go; }

private:
    int m_nState = STATE_OPENING;
    CDSurface m_Ready;
    int m_nWidth = 0;
    int m_nHeight = 0;
    ACCINFO m_Scale;
    D3DVECTOR m_vCentre{{320.0f}, {240.0f}, {0.0f}};
    D3DVECTOR m_vStart{{320.0f}, {240.0f}, {0.0f}};
    DWORD m_dwHoldStart = 0;
    int m_bHidden = 1;
    CGo m_Go;
};
