// The Fire Storm: a fire ball flies at 60 degrees to the cloud line, bursts into a spinning cloud of
// four flames, and the cloud rains rows of fire drops for FIRE_RAIN_TIME; then the flames fade.
// The cloud and every falling drop hurt what they touch on every test, FIRE_STORM_DAMAGE each; a
// drop that meets a label is spent. A player bullet of the hit registry from the rain's set-up
// until it ends; it works in the 3D pass's y-up space.
#pragma once
#include "player/PBullet.h"
#include "player/WeaponDraw.h"

#define FIRE_FLAMES 4
#define FIRE_ROWS 5
#define FIRE_DROPS 6
#define MAX_STAMP_NUM 256
#define FIRE_SPARKLES 3
#define FIRE_SPARKLE_PATH ".\\GameData\\System\\FireSparkle32.bmp"
#define FIRE_FLAME_PATH ".\\GameData\\System\\FlashLightR.bmp"
#define FIRE_DROP_PATH ".\\GameData\\System\\FireStorm32.bmp"

class CSWeapon3 : public CPBullet {
public:
    enum { STATE_BALL = 0, STATE_CLOUD = 1, STATE_RAIN = 2, STATE_FADE = 3 };

    // One drop of the rain.
    class FIRERAINPART {
    public:
        virtual ~FIRERAINPART() = default;
        virtual int Test() { return 0; }
        virtual int TestLabel(const WEAPONTARGET& target) { return TestTarget(target); }
        virtual int TestEnemyBullet(const WEAPONTARGET& target) { return TestTarget(target); }
        virtual int TestEnemyPart(const WEAPONTARGET& target) { return TestTarget(target); }
        // The box in screen pixels: left, top, right, bottom.
        void GetBox(float* pBox /*[4]*/) const;

        D3DVECTOR vPos{};
        D3DVECTOR vStart{};
        DWORD dwDelay = 0;
        int bWaiting = 1;
        int bHit = 0;
        int nHitWidth = 32;
        int nHitHeight = 32;
        D3DLVERTEX Quad[4];

    private:
        int TestTarget(const WEAPONTARGET& target) const;
    };

    struct FLAME {
        float fSpin;
        float fColor[3];
        float fAlpha;
        D3DVECTOR vPos;
        D3DVECTOR vVel;
        float fTravelled;
        float fTarget;
        D3DLVERTEX Quad[4];
    };

    struct RAINROW {
        int bFinished = 1;
        DWORD dwStart = 0;
        FIRERAINPART Drops[FIRE_DROPS];
    };

    CSWeapon3();
    ~CSWeapon3() override;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // With bVoice the voice and the launch sound play.
    void Start(int bVoice = 1);
    void Stop();
    void Update();
    int Draw(IDirect3DDevice7* lpDevice);

    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByEnemyBullet(CStage* pStage, CCrushable* pBullet) override;
    int HitByEnemyPart(CStage* pStage, CCrushable* pPart) override;
    int HitByLabel(CStage* pStage, CCrushable* pLabel) override;
    int GetPower() override { return m_nDamage; }

    int IsFinished() const { return m_bFinished; }
    int GetState() const { return m_nState; }
    D3DVECTOR GetBallPosition() const;
    const D3DVECTOR& GetCloudPosition() const { return m_vCloud; }
    const FLAME& GetFlame(int i) const { return m_Flames[i]; }
    const RAINROW& GetRow(int i) const { return m_Rows[i]; }
    // The cloud's box in screen pixels (left, top, right, bottom), lowered by 16 as the enemies'
    // boxes are.
    void GetCloudBox(float* pBox /*[4]*/) const;

    D3DVECTOR m_vOrigin{};  // written by the heroine before each firing

private:
    void SetUpBall();
    void SetUpCloud();
    void SetUpRain();
    void SpawnRow();
    void UpdateBall();
    void UpdateFlames();
    void UpdateRows(DWORD dwNow);
    void FadeFlames();
    // 1 for a cloud hit, 2 + the drop's index for a drop's; 0 for none.
    int TestHit(CCrushable* pOther, int nFamily, FIRERAINPART** ppDrop);
    int DrawSparkles(IDirect3DDevice7* lpDevice);

    int m_nState = STATE_BALL;
    int m_bFinished = 1;
    D3DVECTOR m_vOffset{};
    D3DVECTOR m_vVelocity{};
    D3DVECTOR m_Stamps[MAX_STAMP_NUM];
    int m_nHead = 0;
    D3DLVERTEX m_Sparkle[FIRE_SPARKLES][4];
    D3DVECTOR m_vCloud{};
    FLAME m_Flames[FIRE_FLAMES];
    RAINROW m_Rows[FIRE_ROWS];
    int m_nNextRow = 0;
    DWORD m_dwRowTimer = 0;
    DWORD m_dwRainStart = 0;

    float m_fBallSpeed = 30.0f;
    float m_fCloudSpeed = 2.0f;
    float m_fCloudSpeedStep = 2.0f;
    int m_nCloudHeight = 480;
    float m_fRainSpeed = 30.0f;
    DWORD m_dwRainTime = 2000;
    DWORD m_dwRainBlank = 125;
    int m_nDamage = 1;

    IDirectDrawSurface7* m_lpSparkle = nullptr;
    IDirectDrawSurface7* m_lpFlame = nullptr;
    IDirectDrawSurface7* m_lpDrop = nullptr;
    int m_nSparkleSize[2] = {32, 32};
    int m_nFlameSize[2] = {32, 32};
    int m_nDropSize[2] = {32, 32};
};
