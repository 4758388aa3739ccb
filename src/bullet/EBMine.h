// The floating mine the first boss lays: it slides out to the x its owner gives, braking to rest
// there, then sways left and right while it sinks. Shot down, it bursts into four slow shots flying
// diagonally, an explosion and a floating "200". Positions are y-up.
#pragma once
#include "bullet/EBNormal.h"
#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "engine/AccAdjust.h"
#include "engine/NumberBase.h"
#include "engine/ShowableSet.h"
#include "engine/Sprite.h"

#define EBMINE_FILE "BossMine.bmp"
#define EBMINE_SHOTS 4
#define EBMINE_HIT_POINTS 16
#define EBMINE_BURST_BONUS 200

class CEBMine : public CEBulletPart, public CScrollable {
public:
    enum { STATE_SLIDE = 0, STATE_SWAY = 1 };

    CEBMine();
    ~CEBMine() override;

    // It holds no class-wide pictures.
    static int LoadShared(IDirect3DDevice7*) { return 1; }
    static void ReleaseShared() {}

    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    void GetQuad(D3DVECTOR* pOut) override;
    void GetHitQuad(D3DVECTOR* pOut) override;
    void SetPlayerScroll(int) override {}
    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float) override {}

    // The mine and its flash copy from the owner's picture, the burst shots set up; 0 at the first
    // failure.
    int Load(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpPicture);
    // The same from the file in a folder (the folder ends in a separator).
    virtual int LoadFile(IDirect3DDevice7* lpDevice, const char* pszDir);
    virtual void SetPosition(const D3DVECTOR& v) { m_vPos = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    virtual void Release();

    void SetTargetX(float x) { m_fTargetX = x; }
    int GetState() const { return m_nState; }

    int m_nState = STATE_SLIDE;
    int m_nHitPoints = 0;
    CExpBombScrollRef m_Explosion;
    CEBHiSpeed m_Shots[EBMINE_SHOTS];
    ACCINFO m_Horz;
    ACCINFO m_Vert;
    float m_fTargetX = 0.0f;
    float m_fSwayLimit = 7.5f;
    float m_fSwayStep = 0.4f;
    float m_fViewOffset = 0.0f;
    CPointNumber m_Point;
    CSprite m_Sprite;
    CSprite m_FlashSprite;

private:
    int FinishLoad(IDirect3DDevice7* lpDevice);
    void StartSway(float fStep);
    void Burst();
};
