// The Ground Wiper: a call-in picture slides across the screen, then a glowing shot comes down at
// 60 degrees six times, 110 px apart along the ground, and at each landing a column of ten puffs
// rises. Every column hurts what stands in it on every test, GROUND_WIPER_DAMAGE each. A player
// bullet of the hit registry from its start until the sixth column has faded.
#pragma once
#include "engine/DSurface.h"
#include "engine/Sprite.h"
#include "player/PBullet.h"
#include "player/SmokeSW.h"

#define WIPER_SWEEPS 10
#define WIPER_STAMPS 10
#define WIPER_COLUMNS 6
#define GROUND_WIPER_PATH ".\\GameData\\System\\GroundWiper.bmp"

// The call-in picture: it enters from the left at 60 px per update, brakes over its last 320 px,
// stops centred, waits 500 ms and leaves to the right, speeding up; its two frames blink.
class CStaffRoll {
public:
    enum { STATE_IDLE = 0, STATE_ENTER = 1, STATE_WAIT = 2, STATE_LEAVE = 3 };

    virtual ~CStaffRoll() = default;
    int Load(IDirect3DDevice7* lpDevice, const IMGKEY& first, const IMGKEY& second);
    void Release();
    void Start();
    void Update();
    int Draw(IDirectDrawSurface7* lpSurface);
    int IsFinished() const { return m_bFinished; }
    int GetWidth() const { return m_nWidth; }
    int GetState() const { return m_nState; }
    float GetX() const { return m_vPos.x; }
    float GetSpeed() const { return m_fSpeed; }

    D3DVECTOR m_vStart{};
    D3DVECTOR m_vTarget{};

private:
    int m_nState = STATE_IDLE;
    D3DVECTOR m_vPos{};
    float m_fSpeed = -60.0f;
    CDSurface m_First;
    CDSurface m_Second;
    int m_nWidth = 0;
    int m_nHeight = 0;
    DWORD m_dwWait = 500;
    DWORD m_dwWaitStart = 0;
    int m_bBlink = 0;
    DWORD m_dwBlinkTime = 0;
    DWORD m_dwFramePeriod = 30;
    DWORD m_dwFrameTime = 0;
    int m_nFrameCount = 2;
    int m_nFrame = 0;
    int m_bFinished = 1;
};

class CSWeapon4 : public CPBullet {
public:
    enum { STATE_CALL_IN = 0, STATE_SWEEP = 1 };

    struct SWEEP {
        int bFinished = 1;
        D3DVECTOR vPoint{};
        CSmokeSW Stamps[WIPER_STAMPS];
        int bStarted[WIPER_STAMPS] = {};
        DWORD dwStart = 0;
    };

    CSWeapon4() = default;
    ~CSWeapon4() override;

    // 1 when the shot's sprite was made (the main gun's pictures must be loaded).
    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Start();
    void Stop();
    void Update();
    int Draw(IDirect3DDevice7* lpDevice);
    int DrawCallIn(IDirectDrawSurface7* lpSurface);

    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByEnemyBullet(CStage* pStage, CCrushable* pBullet) override;
    int HitByEnemyPart(CStage* pStage, CCrushable* pPart) override;
    int HitByLabel(CStage* pStage, CCrushable* pLabel) override;
    int GetPower() override { return m_nDamage; }

    int IsFinished() const { return m_bFinished; }
    int GetState() const { return m_nState; }
    const SWEEP& GetSweep(int i) const { return m_Sweeps[i]; }
    int GetSweepIndex() const { return m_nSweepIndex; }
    int GetSweepCount() const { return m_nSweepCount; }
    int IsShotIdle() const { return m_bShotIdle; }
    const D3DVECTOR& GetShotPosition() const { return m_vShot; }
    const CStaffRoll& GetCallIn() const { return m_CallIn; }
    // The stamps of a sweep started so far, from the first up to the first not started.
    int CountStarted(const SWEEP& sweep) const;
    // The screen row of a column's top: the hit height grows 34 px per started stamp.
    float GetColumnTop(const SWEEP& sweep) const;

    D3DVECTOR m_vStartPoint{};  // written by the heroine before firing

private:
    void LaunchShot(const D3DVECTOR& vPoint);
    void MoveShot();
    void Land();
    void UpdateSweep(int nSweep, DWORD dwNow);
    int TestHit(CCrushable* pOther, int nFamily);

    SWEEP m_Sweeps[WIPER_SWEEPS];
    IDirectDrawSurface7* m_lpTexture = nullptr;
    int m_nTexWidth = 0;
    int m_nTexHeight = 0;
    CStaffRoll m_CallIn;
    CSprite m_Shot;
    int m_bShotIdle = 1;
    D3DVECTOR m_vShot{};
    D3DVECTOR m_vShotTarget{};
    float m_fShotAngle = 1.0466667f;
    float m_fShotSpeed = 80.0f;
    float m_fTravelLeft = 0.0f;
    float m_fTravel = 500.0f;
    DWORD m_dwStampInterval = 30;
    int m_nSweepIndex = 0;
    int m_nSweepCount = 0;
    int m_nDamage = 2;
    float m_fColumnWidth = 120.0f;
    int m_nState = STATE_CALL_IN;
    int m_bFinished = 1;
};
