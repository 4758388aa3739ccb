// One entry of the in-stage menus and banners: a picture (with an optional highlighted one)
// centred on a point, opening and closing by a vertical scale, drawn dimmed while not selected.
// CMIBoss scrolls its picture endlessly across the screen like a marquee.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/SurfaceUtil.h"

class CMenuItem {
public:
    enum : DWORD {
        FLAG_NOT_SELECTED = 0x01,
        FLAG_SELECTED = 0x02,
        FLAG_FULL = 0x10,
        FLAG_OPENING = 0x20,
        FLAG_CLOSING = 0x40,
    };

    CMenuItem();
    virtual ~CMenuItem() { Release(); }
    CMenuItem(const CMenuItem&) = delete;
    CMenuItem& operator=(const CMenuItem&) = delete;

    virtual void Update();
    virtual void Hide() { m_bHidden = 1; }
    virtual BOOL Draw(IDirectDrawSurface7* lpSurface);

    BOOL LoadImage(IDirect3DDevice7* lpDevice, const IMGKEY& key);
    // The normal picture's result; a highlighted picture that fails is simply absent.
    BOOL LoadImages(IDirect3DDevice7* lpDevice, const IMGKEY& key, const IMGKEY& keyHighlight);
    BOOL LoadImageFiles(IDirect3DDevice7* lpDevice, const char* pszPath, const char* pszHighlightPath);
    BOOL CreateFromSurface(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, const RECT* prc);
    void Release();

    void Select() { m_dwFlags = (m_dwFlags | FLAG_SELECTED) & ~(DWORD)FLAG_NOT_SELECTED; }
    void Deselect() { m_dwFlags = (m_dwFlags | FLAG_NOT_SELECTED) & ~(DWORD)FLAG_SELECTED; }
    void StartPopIn();
    void StartPopOut();
    void ShowNow();

    DWORD GetFlags() const { return m_dwFlags; }
    int IsHidden() const { return m_bHidden; }
    const ACCINFO& GetScale() const { return m_Scale; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;
    float m_fZ = 0.0f;
    // 0: every draw squeezes the whole picture into what is on screen; 1: clipped pictures are cut.
    int m_bClipSource = 0;

protected:
    int DrawnHeight() const { return (int)(m_Scale.fValue * (float)m_nHeight); }
    void SetPicture(IDirectDrawSurface7* lpSurface);

    DWORD m_dwFlags = FLAG_NOT_SELECTED;
    IDirectDrawSurface7* m_lpNormal = nullptr;
    IDirectDrawSurface7* m_lpHighlight = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    ACCINFO m_Scale;
    int m_bHidden = 1;
};

class CMIBoss : public CMenuItem {
public:
    void Update() override;
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;

    float GetOffset() const { return m_fOffset; }
    void SetOffset(float f) { m_fOffset = f; }

    float m_fScrollSpeed = 0.0f;

private:
    float m_fOffset = 0.0f;
};
