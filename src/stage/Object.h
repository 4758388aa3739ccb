// A stage object type: what may stand in the stage map under a two-character code. It owns the
// picture (a surface, a tiled big image, or a texture for blended types), the flash copy of
// destroyable types, the attribute word that the terrain, hit and draw code read, and the frame
// cycle of animated types.
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/BigSurface.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/WinTypes.h"

// Attribute words of the stage file.
#define OBJATTR_TOUCH 0x1u
#define OBJATTR_NOTOUCH 0x2u
#define OBJATTR_RIDEON 0x4u
#define OBJATTR_RUNUP1 0x8u
#define OBJATTR_RUNUP2 0x10u
#define OBJATTR_RUNUP3 0x20u
#define OBJATTR_RUNDOWN1 0x40u
#define OBJATTR_RUNDOWN2 0x80u
#define OBJATTR_RUNDOWN3 0x100u
#define OBJATTR_MOVEUP 0x200u
#define OBJATTR_MOVEDOWN 0x400u
#define OBJATTR_ADDBLT 0x800u
#define OBJATTR_50BLT 0x1000u
#define OBJATTR_CRUSH16 0x2000u
#define OBJATTR_CRUSH32 0x4000u
#define OBJATTR_CRUSH48 0x8000u
#define OBJATTR_CRUSH64 0x10000u
#define OBJATTR_CRUSH00 0x20000u
#define OBJATTR_DAMAGE 0x40000u
#define OBJATTR_NOTRANCE 0x10000000u

#define OBJATTR_RUNUP (OBJATTR_RUNUP1 | OBJATTR_RUNUP2 | OBJATTR_RUNUP3)
#define OBJATTR_RUNDOWN (OBJATTR_RUNDOWN1 | OBJATTR_RUNDOWN2 | OBJATTR_RUNDOWN3)
#define OBJATTR_SLOPE (OBJATTR_RUNUP | OBJATTR_RUNDOWN)
#define OBJATTR_BLEND (OBJATTR_ADDBLT | OBJATTR_50BLT)
#define OBJATTR_CRUSH 0x3E000u

class CObject;

// One frame of an animated type; deleting a node deletes the rest of the chain.
struct ANIMFRAME {
    CObject* obj = nullptr;
    DWORD dwTime = 0;
    ANIMFRAME* next = nullptr;
    ~ANIMFRAME() { delete next; }
};

class CObject {
public:
    explicit CObject(const char* pszName);
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    virtual int UpdateAnimation();
    // The picture of a plain or blended type; null when it must be tiled or cannot be made.
    virtual IDirectDrawSurface7* Create(IDirect3DDevice7* lpDevice, const char* pszFolder, const char* pszFile);
    virtual ~CObject();
    virtual DWORD SetAttribute(DWORD dwAttr);
    virtual DWORD GetAttribute();
    // The stage-file words of the set bits, each followed by ", "; one static buffer.
    virtual const char* AttributeToText();
    virtual void SetImageFile(const char* pszFile);
    virtual const char* GetImageFile();
    // The region as the stage file gives it: one-based, inclusive (l, t, r, b); empty = the whole file.
    virtual void SetRect(const RECT* prc);
    virtual const char* GetRectKey();
    virtual const char* GetName();
    virtual int GetCrushLife();
    virtual void GetSize(int* pnWidth, int* pnHeight);
    virtual void AddAnimFrame(CObject* pObj, DWORD dwTime);
    virtual BOOL IsAnimate();
    virtual BOOL IsBlend();
    virtual DWORD GetCrushBits();
    virtual void AddNoTouch();
    virtual BOOL CheckAttribute();
    virtual int Load(IDirect3DDevice7* lpDevice, const char* pszFolder);
    virtual void ClearAnimation();
    virtual void StartAnimationClock();
    virtual void Advance(float fSpeed, float* pfCoord);
    // Positions in stage pixels: the picture's top-left corner, blitted 16 pixels higher.
    virtual int Draw2D(IDirectDrawSurface7* lpTarget, const D3DVECTOR* pPos);
    virtual int DrawFlash2D(IDirectDrawSurface7* lpTarget, const D3DVECTOR* pPos);
    virtual int Draw3D(IDirect3DDevice7* lpDevice, const D3DVECTOR* pPos);

    ANIMFRAME* m_pAnim = nullptr;
    ANIMFRAME* m_pFirstAnim = nullptr;
    char m_szName[3] = {0, 0, 0};
    rvm::string m_strImageFile;
    IDirectDrawSurface7* m_lpPicture = nullptr;
    IDirectDrawSurface7* m_lpFlash = nullptr;
    BOOL m_bBigImage = 0;
    CBigSurface m_BigPicture;
    CBigSurface m_BigFlash;
    int m_nWidth = 0;
    int m_nHeight = 0;
    RECT m_rcRegion = {0, 0, 0, 0};
    DWORD m_dwAttribute = 0;
    int m_nCrushLife = -1;
    // 1 additive, 2 half-additive, 0 plain: the 2D blit the blend attribute selects.
    int m_nBlendBlt = 0;
    DWORD m_dwFrameClock = 0;
    D3DLVERTEX m_Vertices[4] = {};

private:
    int DrawPicture2D(IDirectDrawSurface7* lpTarget, const D3DVECTOR* pPos, BOOL bFlash);
};

// A colour-keyed blit of a w x h picture to screen point (x, y), clipped to the screen; 1 when
// nothing is visible or nothing to draw, else whether the blit succeeded.
int BltStagePicture(IDirectDrawSurface7* lpTarget, IDirectDrawSurface7* lpSrc, int x, int y, int w, int h);
// The zero-based rectangle (right and bottom exclusive) of a one-based inclusive region.
RECT AdjustObjectRegion(const RECT& rcRegion);
// Whether a one-based inclusive region is usable (1 <= l <= r, 1 <= t <= b).
BOOL IsValidObjectRegion(int l, int t, int r, int b);
