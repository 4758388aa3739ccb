// A picture (or two that blink in turn) that pops in: it grows past full size, settles, pops a
// second, smaller time and rests; later it is flattened away or stretched upwards in a burst. A
// plain object: its owner updates and draws it.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"

class CPopSurface {
public:
    enum { MODE_POP = 0, MODE_STRETCH = 1 };

    CPopSurface();
    virtual ~CPopSurface() { Release(); }
    CPopSurface(const CPopSurface&) = delete;
    CPopSurface& operator=(const CPopSurface&) = delete;

    BOOL LoadImage(IDirect3DDevice7* lpDevice, const IMGKEY& key);
    // The second picture only when its key names one; 0 when either named picture fails.
    BOOL LoadImages(IDirect3DDevice7* lpDevice, const IMGKEY& key0, const IMGKEY& key1);
    // Both pictures cut from one surface (the second when prc1 is given).
    BOOL LoadImageFiles(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, const RECT* prc0,
                        const RECT* prc1);
    BOOL LoadFiles(IDirect3DDevice7* lpDevice, const char* pszPath0, const char* pszPath1);
    void Release();

    void SetBlink(int bOn);
    // Motion back to the start of a pop; the finished flag is left as it is.
    void Reset();
    void Start();
    void StartPopOut();
    void StartBurst();
    void Update();
    void Stop() { m_bFinished = 1; }
    BOOL Draw(IDirectDrawSurface7* lpSurface);

    int IsFinished() const { return m_bFinished; }
    int GetMode() const { return m_nMode; }
    int GetImageIndex() const { return m_nImage; }
    const ACCINFO& GetPopScale() const { return m_Pop; }
    const ACCINFO& GetHeightScale() const { return m_Height; }
    const ACCINFO& GetWidthScale() const { return m_Width; }
    void SetBlinkPeriod(DWORD dwMs) { m_dwBlinkSetting = dwMs; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;

private:
    BOOL KeyPicture(int i, BOOL bLoaded);
    void UpdatePop();
    void UpdateBlink();

    CDSurface m_Image[2];
    ACCINFO m_Pop;
    ACCINFO m_Height;
    ACCINFO m_Width;
    float m_fPopSpeed = 0.4f;
    float m_fDrift = 0.0f;
    int m_nPopCount = 0;
    int m_nImage = 0;
    DWORD m_dwBlinkPeriod = 0;
    DWORD m_dwBlinkStamp = 0;
    int m_bBlinkBusy = 0;
    DWORD m_dwBlinkSetting = 20;
    int m_bBlink = 1;
    int m_nMode = MODE_POP;
    int m_bFinished = 1;
};
