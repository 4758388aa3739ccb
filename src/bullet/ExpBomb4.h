// The explosion every destroyed enemy, destructible shot and crushed object shows: a 12-frame bomb
// picture drawn as one large additive quad and 20 coloured sparks that fly out, slow down, fade and
// drift. The explosion point is kept with y down (screen y); its 3D position is (x, -y, z).
#pragma once
#include "bullet/SubtractiveRandom.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

#define EXPBOMB_FRAMES 12
#define EXPBOMB_SPARKS 20
#define EXPBOMB_COLORS 8
#define EXPBOMB_BRIGHTNESS_ROWS 10
#define EXPBOMB_CELL 160
#define EXPBOMB_BALL_CELL 20
#define EXPBOMB_SHEET_PATH ".\\GameData\\System\\EnemyBomb.bmp"
#define EXPBOMB_BALL_PATH ".\\GameData\\System\\ColorBall.bmp"

class CExpBombScrollRef;

struct EXPSPARK {
    float x, y, z;      // offset from the explosion point, y up
    float fBrightness;  // 1.0 .. 0.0
    ACCINFO Fade;
    int nColor;         // 0..7
    ACCINFO Motion;     // speed, pixels per step
    float fAngle;
    int nLife;          // steps left
    int nStartLife;
};

class CExpBomb4 : public CShowable {
public:
    CExpBomb4();
    ~CExpBomb4() override = default;

    // The burst's step; also run directly by the scrolling explosion's update and tick.
    void Update() override;
    BOOL Draw(IDirectDrawSurface7* lpSurface) override { return Draw2D(lpSurface); }
    BOOL Draw3D(IDirect3DDevice7* lpDevice) override { return Render(lpDevice); }
    virtual int Draw2D(IDirectDrawSurface7*) { return 1; }
    // 0 when a draw failed.
    virtual int Render(IDirect3DDevice7* lpDevice);
    virtual void Begin();
    virtual void Stop();
    virtual D3DVECTOR* GetPosition(D3DVECTOR* pOut);
    virtual void MoveParticles();

    // The per-instance load: nothing to load.
    int Load(IDirect3DDevice7*) { return 1; }
    // The 12 bomb frames and the colour balls, once at start-up; 0 when the balls do not load.
    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static IDirectDrawSurface7* GetFrameTexture(int nFrame);
    static IDirectDrawSurface7* GetBallTexture(int nColor, int nRow);
    // The class's own generator, seeded on the first burst of the run.
    static CSubtractiveRandom& GetRandom();

    int m_nFrame = 0;
    BOOL m_bPicture = 1;
    D3DLVERTEX m_PictureQuad[4];
    EXPSPARK m_Sparks[EXPBOMB_SPARKS];
    D3DLVERTEX m_SparkQuad[4];
    float m_fX = 0.0f;
    float m_fY = 0.0f;  // screen y
    float m_fZ = 0.0f;
    DWORD m_dwFrameInterval = 0;
    DWORD m_dwLastFrame = 0;
    float m_fStartRadius = 1.0f;
    int m_nLongestLife = 80;
    int m_nShortestLife = 0;
    float m_fHighestSpeed = 4.0f;
    float m_fLowestSpeed = 0.0f;
    D3DVECTOR m_vDrift{};
    BOOL m_bIdle = 1;
    CExpBombScrollRef* m_pOwner = nullptr;

private:
    void StartSpark(EXPSPARK& spark);
};
