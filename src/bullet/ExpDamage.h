// The heroine's hit effects: a spray of 25 rotating stars released in bursts, and a fountain of
// flash-light particles whose shape Param.txt's DEBUG_DAMAGE tunes (or, for the miss, a ring of 16
// that lasts five seconds). Both draw additively in the 3D pass's y-up space.
#pragma once
#include "bullet/SubtractiveRandom.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

#define EXPDAMAGE_STARS 25
#define EXPDAMAGE_STAR_KINDS 10
#define EXPDAMAGE_STAR_FRAMES 10
#define EXPDAMAGE_STAR_CELL 32
#define EXPDAMAGE_STAR_PATH ".\\GameData\\System\\RotateStar.bmp"
#define EXPDAMAGEEX_PARTICLES 64
#define EXPDAMAGEEX_RING 16
#define EXPDAMAGEEX_FLASH_PATH ".\\GameData\\System\\FlashLightR.bmp"

struct DAMAGESTAR {
    float x, y, z;  // y up
    int nFrame;     // rotation frame 0..9
    int nKind;      // 0..9
    ACCINFO VSpeed;
    ACCINFO HSpeed;
    int nLife;
    int nStartLife;
    BOOL bWaiting;  // not yet released, or dead
};

class CExpDamage {
public:
    enum { STATE_PAUSE = 0, STATE_FIRST = 1, STATE_SECOND = 2, STATE_LAST = 3, STATE_DONE = 4 };

    CExpDamage();
    virtual ~CExpDamage() { Stop(); }
    CExpDamage(const CExpDamage&) = delete;
    CExpDamage& operator=(const CExpDamage&) = delete;

    virtual int Draw2D(IDirectDrawSurface7*) { return 1; }
    virtual int Render(IDirect3DDevice7* lpDevice);
    virtual void Start();
    virtual void Stop() { m_bStopped = 1; }
    virtual void Update();

    // The 100 star cells (kind k, frame f), once at start-up; 0 when the picture does not load.
    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static IDirectDrawSurface7* GetStarTexture(int nKind, int nFrame);
    static CSubtractiveRandom& GetRandom();

    void SetOrigin(float x, float y, float z)
    {
        m_fOriginX = x;
        m_fOriginY = y;
        m_fOriginZ = z;
    }
    BOOL IsStopped() const { return m_bStopped; }
    int CountLive() const;

    DAMAGESTAR m_Stars[EXPDAMAGE_STARS];
    D3DLVERTEX m_Quad[4];
    float m_fOriginX = 0.0f, m_fOriginY = 0.0f, m_fOriginZ = 0.0f;
    int m_nLongestLife = 18;
    int m_nShortestLife = 8;
    float m_fHighestVSpeed = 10.0f;
    float m_fLowestVSpeed = -5.0f;
    int m_nState = STATE_PAUSE;
    int m_nStateAfterPause = STATE_PAUSE;
    DWORD m_dwPause = 80;
    DWORD m_dwPauseStart = 0;
    DWORD m_dwReleaseInterval = 5;
    DWORD m_dwLastRelease = 0;
    int m_nPerRelease = 8;
    int m_nReleaseLimit = 10;
    int m_nNextStar = 0;
    float m_fStartRadius = 40.0f;
    DWORD m_dwRotationInterval = 30;
    DWORD m_dwLastRotation = 0;
    BOOL m_bStopped = 1;

private:
    void ReleaseStars();
};

struct FLASHPARTICLE {
    BOOL bDead;
    ACCINFO XSpeed;  // along the pattern's x axis
    float fYSpeed;
    float x, y, z;
    ACCINFO Brightness;
};

class CExpDamageEx : public CShowable {
public:
    typedef int (CExpDamageEx::*PFNEMIT)();

    CExpDamageEx();
    ~CExpDamageEx() override { Stop(); }

    // From the draw registry.
    void Update() override;
    BOOL Draw(IDirectDrawSurface7*) override { return 1; }
    BOOL Draw3D(IDirect3DDevice7* lpDevice) override { return Render(lpDevice); }
    virtual int Render(IDirect3DDevice7* lpDevice);
    virtual void Start();
    virtual void Stop();

    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static IDirectDrawSurface7* GetFlashTexture();
    static CSubtractiveRandom& GetRandom();

    // The emission steps: the number of particles in a burst this update; 0 stops the effect.
    int EmitDefault();
    int EmitRing();
    void SetEmit(PFNEMIT pfnEmit) { m_pfnEmit = pfnEmit; }
    void SetBrightness(float fBrightness);
    void SetAngle(float fAngle) { m_fAngle = fAngle; }
    void SetPoint(float x, float y, float z)
    {
        m_fX = x;
        m_fY = y;
        m_fZ = z;
    }
    BOOL IsStopped() const { return m_bStopped; }
    int CountLive() const;

    FLASHPARTICLE m_Particles[EXPDAMAGEEX_PARTICLES];
    D3DLVERTEX m_Quad[4];
    float m_fQuadBrightness = 1.0f;
    int m_nNext = 0;
    float m_fAngle = 0.0f;
    float m_fX = 0.0f, m_fY = 0.0f, m_fZ = 0.0f;
    DWORD m_dwBurstInterval = 0;
    DWORD m_dwLastBurst = 0;
    ACCINFO m_BurstCount;
    BOOL m_bStopped = 1;
    PFNEMIT m_pfnEmit = &CExpDamageEx::EmitDefault;

private:
    FLASHPARTICLE& NextParticle();
};
