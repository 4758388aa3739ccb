// The bar of the cockpits and the boss's life: a picture cut to value / maximum of its width,
// growing rightwards or leftwards, optionally slanted, whose shown value glides to a new value with
// a braking motion, and which can blink between two further pictures. A plain object: its owner
// updates and draws it.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/SurfaceUtil.h"

class CGauge {
public:
    enum { BLINK_PERIOD_MS = 30, MIN_GLIDE_SPEED = 3 };

    CGauge();
    virtual ~CGauge() { Release(); }
    CGauge(const CGauge&) = delete;
    CGauge& operator=(const CGauge&) = delete;

    // nBlinkMode 0: the whole source is the picture. Otherwise the source holds three strips one
    // above the other: the picture and the two blink pictures.
    BOOL Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nBlinkMode);
    BOOL LoadFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, int nBlinkMode);
    BOOL LoadFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, int nBlinkMode);
    void Release();

    void SetMax(float fMax) { m_fMax = fMax; }
    float GetMax() const { return m_fMax; }
    float GetValue() const { return m_fTarget; }
    float GetShownValue() const { return m_fValue; }
    const ACCINFO& GetGlide() const { return m_Speed; }
    int IsFull() const;
    // At once, held to the maximum; the glide ends.
    void SetValue(float fValue);
    void AddValue(float fDelta) { SetValue(m_fTarget + fDelta); }
    // Glides to the value (which may lie beyond the maximum).
    void MoveTo(float fValue);
    void AddValueEased(float fDelta) { MoveTo(m_fTarget + fDelta); }
    void Reset();
    void Show();
    void Hide();
    void StartBlink();
    void StopBlink();
    void UpdateBlink();
    void Update();
    BOOL Draw(IDirectDrawSurface7* lpSurface);

    int GetStrip() const { return m_nStrip; }
    int IsHidden() const { return m_bHidden; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }

    // 1 grows rightwards, negative leftwards.
    int m_nDirection = 1;
    float m_fX = 0.0f;
    float m_fY = 0.0f;
    int m_bSlant = 0;

private:
    void ClearGlide();

    IDirectDrawSurface7* m_lpStrip[3] = {};
    int m_nWidth = 0;
    int m_nHeight = 0;
    float m_fMax = 0.0f;
    float m_fTarget = 0.0f;
    float m_fValue = 0.0f;
    ACCINFO m_Speed;
    int m_bHidden = 1;
    int m_bBlinkMode = 0;
    int m_nStrip = 0;
    DWORD m_dwBlinkPeriod = BLINK_PERIOD_MS;
    DWORD m_dwBlinkStamp = 0;
    int m_bBlinkOff = 1;
};
