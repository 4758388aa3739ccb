// The first boss's chained hammer: a head on five chain links round an anchor that its owner moves
// every update. It swings round the anchor on a tilted ellipse with a swish that quickens with the
// swing, is thrown straight to the left and comes back by itself, rests in the hand, and bursts
// when its owner dies. The heroine's gun scores on it and makes it flash; it cannot be destroyed in
// play. Positions are y-up; the anchor is the shot's position.
#pragma once
#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"
#include "engine/Sprite.h"

#define EBHAMMER_HEAD_FILE "BossHammer.bmp"
#define EBHAMMER_CHAIN_FILE "BossChain.bmp"
#define EBHAMMER_SWING_WAVE ".\\GameData\\System\\EnemySwing.wav"
#define EBHAMMER_LINKS 5
#define EBHAMMER_HIT_POINTS 2147483647
#define EBHAMMER_BREAK_BONUS 200

class CEBHammer : public CEBulletPart, public CScrollable {
public:
    enum { STATE_SWING = 0, STATE_THROWN = 1, STATE_HELD = 2, STATE_EXPLODED = 3 };

    CEBHammer();
    ~CEBHammer() override;

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

    // The head, its flash copy and a link from the owner's pictures; 0 at the first failure.
    int Load(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpHead, IDirectDrawSurface7* lpChain);
    // The same from the two files in a folder (the folder ends in a separator).
    virtual int LoadFiles(IDirect3DDevice7* lpDevice, const char* pszDir);
    virtual void SetPosition(const D3DVECTOR& v) { m_vPos = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    virtual void Release();

    void StartSwing();
    void StartThrow();
    void StartHold();
    // Bursts at the head and is gone for good.
    void Explode();
    int GetState() const { return m_nState; }
    // Where the head is (y up).
    void GetHeadPos(float* pX, float* pY) const;

    int m_nState = STATE_SWING;
    int m_nHitPoints = 0;
    CExpBombScrollRef m_Explosion;
    float m_fScale = 1.0f;
    float m_fAngle = 0.0f;
    ACCINFO m_Swing;
    ACCINFO m_SwingPreset;
    int m_nSwishInterval = 0;
    DWORD m_dwSwishStart = 0;
    BOOL m_bSwishBusy = 0;
    float m_fTilt = 0.5235988f;
    float m_fEllipseX = 1.0f;
    float m_fEllipseY = 0.5f;
    float m_fChainLength = 150.0f;
    D3DVECTOR m_vHead{};
    ACCINFO m_Throw;
    float m_fThrowSpeed = 20.0f;
    float m_fViewOffset = 0.0f;
    CSprite m_HeadSprite;
    CSprite m_HeadFlash;
    CSprite m_ChainSprite;

private:
    int FinishLoad(IDirect3DDevice7* lpDevice);
    // The head offset as drawn: turned by the tilt while swinging.
    void GetTurnedOffset(float fShare, float* pX, float* pY) const;
    void MoveSwing();
    void MoveThrown();
};
