// Numbers on screen, drawn from digit pictures: the value with its zero-padded text, the floating
// score that rises from whatever was destroyed or collected, and the base of the counters whose
// digits roll like a mechanical counter.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/ShowableSet.h"

class CNumberBase {
public:
    CNumberBase();
    virtual ~CNumberBase() = default;
    // The least number of digits of the text.
    virtual int GetDigitCount() { return 2; }
    // Stores the value and prints it zero-padded to GetDigitCount() ("%0*d": a minus sign counts).
    virtual void SetNumber(int nNumber);
    virtual int GetNumber() { return m_nNumber; }
    virtual BOOL Draw(IDirectDrawSurface7*) { return 0; }

    const char* GetText() const { return m_szText; }

protected:
    int m_nNumber = 0;
    char m_szText[32];
};

// The floating score: rises with a braking speed, holds, vanishes; a layer-0 drawable while shown.
class CPointNumber : public CNumberBase, public CShowable {
public:
    enum { LIFE_UPDATES = 300, DIGIT_WIDTH = 10, DIGIT_HEIGHT = 16, RISE_OFFSET = 60 };

    CPointNumber();
    ~CPointNumber() override;

    // The shared digits: row 2 of "LvNumbers.bmp" in "CockpitIndex.txt", cells 1..9, 0.
    static BOOL LoadImage(IDirect3DDevice7* lpDevice);
    static void ReleaseImage();
    // Another digit picture (10 x 16 cells in its second row); ownership passes.
    static void AttachImage(IDirectDrawSurface7* lpSurface);

    // Rises at fSpeed, braking to rest over fDistance pixels, then holds dwHoldMs of frame time.
    void Start(float fSpeed, float fDistance, DWORD dwHoldMs);
    void Stop();
    void Update() override;
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;
    int IsStopped() const { return m_bStopped; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;
    float m_fZ = 0.0f;

private:
    void StartHold();

    ACCINFO m_Speed;
    DWORD m_dwHoldTime = 0;
    DWORD m_dwHoldStart = 0;
    int m_bMoving = 0;
    int m_nUpdateCount = 0;
    int m_bStopped = 1;

    static CDSurface s_Digits;
};

// The base of the rolling counters: a vertical strip of the ten digit pictures, 0 at the top,
// that subclasses show through one-digit windows.
class CSlideNumber : public CNumberBase {
public:
    CSlideNumber();
    ~CSlideNumber() override;
    BOOL Draw(IDirectDrawSurface7*) override { return 0; }
    virtual void Init();
    virtual BOOL LoadFile(IDirect3DDevice7* lpDevice, const char* pszPath, int nDigitWidth, int nDigitHeight);
    virtual BOOL Load(IDirect3DDevice7* lpDevice, const IMGKEY& key, int nDigitWidth, int nDigitHeight);
    virtual void Release();
    // Always the base's SetNumber, whatever a subclass made of it.
    virtual void AddNumber(int nDelta);
    virtual void Show() { m_bHidden = 0; }
    virtual void Update() {}
    virtual void Hide() { m_bHidden = 1; }

    IDirectDrawSurface7* GetStrip() const { return m_lpStrip; }
    int GetDigitWidth() const { return m_nDigitWidth; }
    int GetDigitHeight() const { return m_nDigitHeight; }
    int IsHidden() const { return m_bHidden; }

    // The strip built from ten cells side by side in the order 1..9, 0; null when a copy fails.
    static IDirectDrawSurface7* BuildDigitStrip(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource,
                                                int nDigitWidth, int nDigitHeight);

protected:
    BOOL TakeSource(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nDigitWidth, int nDigitHeight);

    IDirectDrawSurface7* m_lpStrip = nullptr;
    int m_nDigitWidth = 0;
    int m_nDigitHeight = 0;
    int m_bHidden = 1;
};
