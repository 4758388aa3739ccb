// The boss's remote-gun pods. CEBFunnel is a pod of a funnel formation: it has no motion of its
// own, its owner places, turns and scales it every update. CEBFunnelTri is the free triangular pod
// the boss sends out itself: it comes in from where it is put, then either drifts off to the left or
// holds its place spinning. Both hurt the heroine on contact and score when shot, but have no hit
// points: no shot ever destroys a pod.
#pragma once
#include "bullet/EBulletPart.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"
#include "engine/Sprite.h"

#define EBFUNNEL_FRAMES 3
#define EBFUNNELTRI_FRAMES 2
#define EBFUNNEL_FRAME_MS 30
#define EBFUNNEL_DAMAGE_WAVE ".\\GameData\\System\\EnemyDamage.wav"

// Where the triangle's picture and boxes sit relative to its position (y up).
extern D3DVECTOR TriPodOffset;

// What both pods share: the frame animation, the contact, the points a shot gives and the view offset.
class CEBFunnelPod : public CEBulletPart, public CScrollable {
public:
    ~CEBFunnelPod() override;

    int Collide(CStage* pStage, CCrushable* pOther) override;
    // 10 points a power and a flash; the pod keeps flying.
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    void GetHitQuad(D3DVECTOR* pOut) override;
    void SetPlayerScroll(int) override {}
    void Stop() override;

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float) override {}

    int m_nFramePeriod = EBFUNNEL_FRAME_MS;
    DWORD m_dwFrameStart = 0;
    BOOL m_bFrameBusy = 0;
    int m_nFrameCount = 1;
    int m_nFrame = 0;
    float m_fAngle = 0.0f;
    float m_fViewOffset = 0.0f;
    CSprite* m_pNormal = nullptr;
    CSprite* m_pFlash = nullptr;

protected:
    // Stores the frames; 0 (nothing stored) without both arrays.
    int StoreSprites(IDirect3DDevice7* lpDevice, CSprite* pNormal, CSprite* pFlash, int nFrames);
    // Flash off, animation from its first frame, into the registries: the render slot, or -1.
    int StartFlying(int nFrames);
    void StepFrame();
    // The frame to draw: the flash's while flashing (and the clock runs), else the normal one.
    CSprite* CurrentSprite();
};

class CEBFunnel : public CEBFunnelPod {
public:
    CEBFunnel();

    // Three frames each; both arrays belong to the caller.
    int SetSprites(IDirect3DDevice7* lpDevice, CSprite* pNormal /*[3]*/, CSprite* pFlash /*[3]*/);
    void GetQuad(D3DVECTOR* pOut) override;
    int Fire() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    float m_fScale = 1.0f;

private:
    float GetRow() const;
};

class CEBFunnelTri : public CEBFunnelPod {
public:
    enum { MODE_DRIFT = 0, MODE_LAUNCHED = 1, MODE_WITHDRAWN = 2 };

    CEBFunnelTri();

    // Two frames each; both arrays belong to the caller.
    int SetSprites(IDirect3DDevice7* lpDevice, CSprite* pBody /*[2]*/, CSprite* pFlash /*[2]*/);
    void GetQuad(D3DVECTOR* pOut) override;
    void GetHitQuad(D3DVECTOR* pOut) override { GetQuad(pOut); }
    // Comes in at 8 px an update, then drifts off to the left; the owner places it first.
    int Fire() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    // Comes in at 20 px an update, then holds its place.
    void Launch();
    // Gone at once.
    void Withdraw();
    // The angle turns only while active.
    void SetActive(int bActive) { m_bSpin = bActive; }

    int m_nMode = MODE_DRIFT;
    ACCINFO m_Drift;
    ACCINFO m_Spin;
    BOOL m_bSpin = 0;
    float m_fAppear = 0.2f;
    float m_fEntrySpeed = 8.0f;
};
