// The beam-gun burst of the bosses: a head that flies at 30 px per update along a fixed angle and
// leaves a glowing segment every 60 px; up to 20 segments fade out behind it, and a muzzle flash
// shows for the first 50 ms. Its hit box is swept back along the head's last step.
#pragma once
#include "bullet/EBulletPart.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"

#define EBVULCAN_SEGMENTS 20
#define EBVULCAN_KIND 2
#define EBVULCAN_MUZZLE_SIZE 72
#define EBVULCAN_SOUND ".\\GameData\\System\\BeamRifle.wav"

struct VULCANSEGMENT {
    BOOL bDead;
    float x, y, z;
    float fBrightness;
    D3DLVERTEX Quad[4];
};

class CEBVulcanEx : public CEBulletPart, public CScrollable {
public:
    CEBVulcanEx();
    ~CEBVulcanEx() override;

    int Collide(CStage* pStage, CCrushable* pOther) override;
    void GetHitQuad(D3DVECTOR* pOut) override;
    void SetPlayerScroll(int) override {}
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float fStep) override { SetPlayerScroll((int)fStep); }

    virtual void SetMuzzlePoint(float x, float y, float z);
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    // The heroine's gun picture of the level as its own texture; 0 when a picture is missing.
    virtual int Load(IDirect3DDevice7* lpDevice, int nLevel);
    virtual void Release();
    // Restarts the shot from the muzzle point; silent when bPlaySound is 0.
    virtual int Fire(int bPlaySound);
    int Fire() override { return Fire(1); }

    // Each live segment turned by the angle at its place; the world transform is put back.
    int RenderSegments(IDirect3DDevice7* lpDevice, D3DMATRIX& mSaved, const D3DMATRIX& mTurn);
    int CountLiveSegments() const;

    D3DLVERTEX m_Muzzle[4];
    D3DLVERTEX m_Template[4];
    VULCANSEGMENT m_Segments[EBVULCAN_SEGMENTS];
    IDirectDrawSurface7* m_lpTexture = nullptr;
    D3DVECTOR m_vPrev{};
    float m_fAngle = 3.14f;
    ACCINFO m_Speed;
    DWORD m_dwMuzzleFrameTime = 40;
    DWORD m_dwFireTime = 0;
    BOOL m_bTimer = 0;
    D3DVECTOR m_vMuzzle{};
    int m_nMuzzleFrame = 0;
    BOOL m_bMuzzleOver = 1;
    BOOL m_bMuzzleEnabled = 1;
    int m_nNextSegment = 0;
    float m_fDistance = 0.0f;
    DWORD m_dwFadeInterval = 50;
    DWORD m_dwLastFade = 0;
    BOOL m_bFadeStep = 0;
    float m_fViewOffset = 0.0f;

private:
    void LaySegment();
};
