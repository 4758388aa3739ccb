// The maker's logo bar of the start-up sequence: it drops in from above, squashes flat on landing
// and springs back (the width growing as the height shrinks), rests a moment and rings.
#pragma once
#include "engine/DSurface.h"

#define BRISKO_BAR_PICTURE ".\\GameData\\First\\44vostil.bmp"
#define BRISKO_BAR_SOUND ".\\GameData\\First\\44vostil.wav"

class CBriskoBar {
public:
    enum { STATE_FALLING = 0, STATE_FLATTENING = 1, STATE_HOLDING = 2, STATE_DONE = 3 };
    enum { HOLD_MS = 100 };
    static constexpr float kRestX = 120.0f;
    static constexpr float kRestY = 190.0f;
    static constexpr float kStartY = -20.0f;
    static constexpr float kLandY = 300.0f;

    CBriskoBar() = default;
    virtual ~CBriskoBar() = default;
    CBriskoBar(const CBriskoBar&) = delete;
    CBriskoBar& operator=(const CBriskoBar&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // At the top, hidden, unscaled.
    void Reset();
    // Reset, then falling and shown.
    void Start();
    void Update();
    void Draw(IDirectDrawSurface7* lpDest);

    int GetState() const { return m_nState; }
    int IsHidden() const { return m_bHidden; }
    float GetX() const { return m_fX; }
    float GetY() const { return m_fY; }
    float GetScaleX() const { return m_fScaleX; }
    float GetScaleY() const { return m_fScaleY; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    // Where the picture goes on the screen and the part of it that shows, clipped to 640 x 480;
    // false when nothing shows.
    bool GetDrawRects(RECT* prcSrc, RECT* prcDest) const;

private:
    void GoToRest();

    int m_nState = STATE_FALLING;
    CDSurface m_Picture;
    int m_nWidth = 0;
    int m_nHeight = 0;
    // The bottom centre of the picture.
    float m_fX = 0.0f, m_fY = 0.0f, m_fZ = 0.0f;
    float m_fScaleX = 1.0f, m_fScaleY = 1.0f, m_fScaleZ = 1.0f;
    float m_fFallSpeed = 0.0f;
    float m_fFallAccel = 0.0f;
    float m_fFlattenSpeed = 0.0f;
    float m_fFlattenConst = 0.0f;
    int m_bHidden = 1;
    DWORD m_dwHoldTime = HOLD_MS;
    DWORD m_dwHoldStart = 0;
};
