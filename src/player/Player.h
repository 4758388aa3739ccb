// The heroine on her bike: the one object the user steers. The running stage owns her through
// IStagePlayer and drives her each tick: Update (keys, aim, gun, gravity), Move after its terrain
// work, the pair tests, UpdateKeyRecord. Every input that steers her goes through the key record,
// so a replay repeats her run bit for bit; all her motion is f32 with the literal constants.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/KeyRecorder.h"
#include "engine/PopSurface.h"
#include "player/BackFire.h"
#include "player/Cockpit.h"
#include "player/PBullet.h"
#include "player/PlayerEffects.h"
#include "player/SWeapon1b.h"
#include "player/SWeapon2.h"
#include "player/SWeapon3.h"
#include "player/SWeapon4.h"
#include "stage/StagePlayer.h"

// Her state word, beyond the terrain bits of StagePlayer.h.
#define PLAYER_STATE_AIM_LEVEL 0x10
#define PLAYER_STATE_AIM_UP 0x20
#define PLAYER_STATE_TURNING_UP 0x40
#define PLAYER_STATE_TURNING_BACK 0x80
#define PLAYER_STATE_UPAIM_BITS 0xF0
#define PLAYER_STATE_DAMAGE_BLINK 0x100
#define PLAYER_STATE_SHIELD_BLINK 0x200
#define PLAYER_STATE_BLINKS 0x300
#define PLAYER_STATE_LANDED 0x400
#define PLAYER_STATE_DAIM_LEVEL 0x1000
#define PLAYER_STATE_AIM_DOWN 0x2000
#define PLAYER_STATE_TURNING_DOWN 0x4000
#define PLAYER_STATE_TURNING_DBACK 0x8000
#define PLAYER_STATE_DOWNAIM_BITS 0xF000
#define PLAYER_STATE_AERIAL_WAIT 0x100000
#define PLAYER_STATE_AERIAL_HOVER 0x200000
#define PLAYER_STATE_AERIAL_FREE 0x400000
#define PLAYER_STATE_AERIAL 0x700000
#define PLAYER_STATE_NO_GRAVITY 0x2700000

// Poses of the bike, the heroine and the muzzle table.
enum { PLAYER_POSE_JUMP = 0, PLAYER_POSE_FLAT = 1, PLAYER_POSE_UP = 2, PLAYER_POSE_DOWN = 3, PLAYER_POSES = 4 };
// Aim poses: 0 up, 1 level, 2 down.
enum { PLAYER_AIM_UP = 0, PLAYER_AIM_LEVEL = 1, PLAYER_AIM_DOWN = 2, PLAYER_AIMS = 3 };
#define PLAYER_ANIM_FRAMES 6
#define PLAYER_BIKES 3
#define GUNPOS_POINTS 7

#define PLAYER_INDEX_DIR ".\\GameData\\System\\"
#define PLAYER_INDEX_FILE "ZorvaIndex.txt"

// The muzzle points per pose (JUMP, FLAT, UP, DOWN), filled by CPlayer::Load.
extern D3DVECTOR GUNPOS[PLAYER_POSES][GUNPOS_POINTS];
// Set by CPlayer::Start while a replay plays: the option icons move aside for the replay marks.
extern int g_bPlayerReplaying;

class CPlayer : public IStagePlayer {
public:
    // One frame of a pose's animation ring.
    struct ANIMDESC {
        IDirectDrawSurface7* lpImage;
        IDirectDrawSurface7* lpFlash;  // the red-blended copy
        ANIMDESC* pNext;
    };

    CPlayer();
    ~CPlayer() override;

    // IStagePlayer
    int Load(IDirect3DDevice7* lpDevice) override;
    void Start(int bPlayback, int bResetScore) override;
    void Miss() override;
    void Damage(int nDamage) override;
    D3DVECTOR* GetDamageCenter(D3DVECTOR* pOut) override;
    void GetDamageRect(RECT* pOut) override;
    void GetDamageQuad(D3DVECTOR* pOut /*[4]*/) override;
    float GetLifeRatio() override;
    void AddPoint(int nPoint, int nMode) override;
    void SetPoint(int nShown, int nPoint) override;
    int GetPoint() override { return m_nPoint; }
    void AddExp(int nExp, int bAnimate, int bSound) override;
    void StartAerialMode() override;
    void UpdateKeyRecord() override;
    int IsDropDown() override;
    void SetStageFinished(int bFinished) override { m_bStageFinished = bFinished; }
    int IsStageFinished() override { return m_bStageFinished; }
    void SetSubWeapon(int nWeapon) override { m_nSubWeapon = nWeapon; }
    int GetSubWeapon() override { return m_nSubWeapon; }
    int Draw(IDirectDrawSurface7* lpSurface, float fOffsetY) override;
    int DrawEffects(IDirectDrawSurface7* lpSurface) override;
    int RenderWeapons(IDirect3DDevice7* lpDevice) override;
    int DrawCockpit(IDirectDrawSurface7* lpSurface) override;

    // CBoundable
    void SetState(DWORD dwState) override { m_dwState = dwState; }
    DWORD GetState() override { return m_dwState; }
    void SetPosition(const D3DVECTOR& v) override { m_vPos = v; }
    D3DVECTOR* GetPosition(D3DVECTOR* pOut) override;
    void Move() override;
    void SetGroundY(float y) override;
    void Land(float y) override;
    RECT GetBoundRect() override;
    void Update() override;

    // CCrushable: every enemy shot or part that touches her deals 5.
    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByEnemyBullet(CStage* pStage, CCrushable* pBullet) override;
    int HitByEnemyPart(CStage* pStage, CCrushable* pPart) override;

    // The hit and miss effects, which live above this library; null draws none.
    void SetEffects(IPlayerEffects* pEffects) { m_pEffects = pEffects; }
    IPlayerEffects* GetEffects() const { return m_pEffects; }

    // Life and level for the items and the stage.
    void AddLife(float fRatio);
    int IsLifeFull() const { return m_nLife >= LIFE_MAX; }
    // The gun's power less 3, its doubling taken back: 1 at level 4, 5 at the top level.
    int GetGunBaseLevel();

    // Out of the registries when the game lets its stage go: a heroine left in them would take
    // the hits and the items meant for the next one.
    void LeaveStage();

    void SetGunLevel(int nLevel);
    int GetGunLevel() const { return m_nGunLevel; }
    int GetLife() const { return m_nLife; }
    // Her jump's upward speed and gravity's pull, in pixels a tick.
    float GetJumpSpeed() const { return m_fJump; }
    float GetGravity() const { return m_fGravity; }
    int GetExp() const { return m_nExp; }
    int IsOut() const { return m_bOut; }
    int GetVoiceCount() const { return m_nVoice; }
    const D3DVECTOR& GetMissPosition() const { return m_vMissPos; }
    const ACCINFO& GetMissSpeed() const { return m_MissSpeed; }
    const ACCINFO& GetAerialDrift() const { return m_AerialDrift; }
    int IsLaunched() const { return m_bLaunched; }
    CCockpit& GetCockpit() { return m_Cockpit; }
    const CPopSurface& GetLevelUpPop() const { return m_LvUpPop; }
    const CPopSurface& GetDamagedPop() const { return m_DamagedPop; }
    int IsVisible() const { return m_bVisible; }
    float GetVerticalSpeed() const { return m_fVSpeed; }
    float GetAimAngle() const { return m_fAimAngle; }
    float GetShotAngle() const { return m_PBullet.m_fShotAngle; }
    float GetSink() const { return m_fSink; }
    int GetAimPose() const { return m_nAimPose; }
    int GetFrameKeyCode() const { return m_nKeyCode; }
    int GetFrameShot() const { return m_nShot; }
    int GetDoubleTapPhase() const { return m_nTapPhase; }
    CPBullet& GetGun() { return m_PBullet; }
    CSWeapon1b& GetIonShield() { return m_SWeapon1b; }
    CSWeapon2& GetHawkWind() { return m_SWeapon2; }
    CSWeapon3& GetFireStorm() { return m_SWeapon3; }
    CSWeapon4& GetGroundWiper() { return m_SWeapon4; }
    CBackFire& GetBackFire() { return m_BackFire; }
    CLandSmokeSW& GetLandSmoke() { return m_LandSmoke; }
    // The heroine's level for an experience value: 4..8, 32 points each.
    static int LevelOfExp(int nExp);
    // The muzzle point index for a pose's aim state and angle.
    static int SelectGunPoint(DWORD dwState, float fAngle);

private:
    void Release();
    void LoadParams();
    int LoadPictures(IDirect3DDevice7* lpDevice);
    void StartKeyRecord(int bPlayback);
    void UpdateKeys(DWORD s);
    void UpdateMovement(DWORD s);
    void UpdateFreeFlight();
    void UpdateUpAim();
    void UpdateDownAim();
    void AdvanceAim();
    void ClipMove(D3DVECTOR* pMove);
    void Shoot(DWORD s);
    void UpdateDoubleTap();
    void FireSubWeapon(int bManual);
    void FireWeapon(int nWeapon);
    void StartShield();
    int LoadWeapons(IDirect3DDevice7* lpDevice);
    void StopWeapons();
    void UpdateWeapons();
    int IsSubWeaponCharged() const;
    void Jump();
    void CapRise();
    void UpdateAerial();
    void UpdateLaunched();
    void UpdateMiss();
    void UpdateEffects();
    void UpdatePops(DWORD dwNow);
    // The miss sequence from where she is: out, the picture flying off, the miss effect.
    void StartMissSequence();
    // A level lost to a hit: the experience of the level below, the progress inside the old level
    // given back where the Part keeps it.
    void LoseLevel();
    void ShowPop(CPopSurface& pop, DWORD* pdwShown, int* pbLeft);
    int LoadPops(IDirect3DDevice7* lpDevice);
    void UpdateBlink(DWORD dwNow);
    void UpdateDebugKeys();
    void RecordFrameKeys();
    int IsKey(int nVirtKey) const;
    int GetPose() const;
    // Picture rows of a pose (PLAYER_POSE_*): the rider's pose index and the bike's.
    static int HeroinePose(int nPose);
    static int BikePose(int nPose);
    // The damage-box parameter row for the present pose.
    const int* DamageBox() const;

    // Terrain-side velocity lives in the CBoundable vectors: A (horizontal), B (vertical), C (final).
    int m_nWidth = 0, m_nHeight = 0;
    int m_nBikeWidth = 0, m_nBikeHeight = 0;
    DWORD m_dwState;
    D3DVECTOR m_vPos{};
    float m_fGroundY = 0.0f;

    IDirectDrawSurface7* m_lpBike[PLAYER_BIKES][2] = {};  // normal, red-blended
    ANIMDESC m_Anim[PLAYER_POSES][PLAYER_AIMS][PLAYER_ANIM_FRAMES];
    ANIMDESC* m_pAnim[PLAYER_POSES][PLAYER_AIMS];
    CDSurface m_MissImage;
    D3DVECTOR m_vMissPos{};
    ACCINFO m_MissSpeed;
    D3DVECTOR m_vMissStart{};

    int m_nSubWeapon = SUBWEAPON_ION_SHIELD;
    DWORD m_dwTapWindow = 200;
    DWORD m_dwTapStamp = 0;
    int m_nTapPhase = 0;

    ACCINFO m_AerialDrift;
    DWORD m_dwAerialWait = 2000;
    DWORD m_dwAerialHover = 2000;
    DWORD m_dwAerialStamp = 0;
    BOOL m_bLaunched = 1;
    float m_fAerialPrevSpeed = 0.0f;

    float m_fSpeed;
    float m_fVSpeed = 0.0f;  // upwards positive

    CCockpit m_Cockpit;
    int m_nLife = 100;
    int m_nPoint = 0;
    int m_nExp = 0;
    int m_nGunLevel = PBULLET_LEVEL_MIN;  // the pending level the gun follows
    // The level-up and damaged pictures that pop up over her and burst after their delay.
    CPopSurface m_LvUpPop;
    CPopSurface m_DamagedPop;
    DWORD m_dwPopDelay = 1000;
    DWORD m_dwLvUpShown = 0;
    DWORD m_dwDamagedShown = 0;
    int m_bLvUpLeft = 1;
    int m_bDamagedLeft = 1;
    int m_bLvUpLoaded = 0;
    int m_bDamagedLoaded = 0;

    float m_fJump;
    float m_fGravity;
    DWORD m_dwShotInterval;
    DWORD m_dwShotBlank;

    DWORD m_dwSinkTime;
    float m_fSinkAmount;
    float m_fSink = 0.0f;

    BOOL m_bVisible = 1;
    DWORD m_dwGlimTime;
    DWORD m_dwBlinkInterval = 0;
    DWORD m_dwDamageBlink;
    DWORD m_dwShieldBlink;
    int m_nVoice = 0;

    CPBullet m_PBullet;
    CSWeapon3 m_SWeapon3;   // Fire Storm
    CSWeapon1b m_SWeapon1b; // Ion Shield
    CSWeapon2 m_SWeapon2;   // Hawk Wind
    CSWeapon4 m_SWeapon4;   // Ground Wiper
    int m_bShieldLoaded = 0;
    CBackFire m_BackFire;
    CLandSmokeSW m_LandSmoke;
    IPlayerEffects* m_pEffects = nullptr;

    int m_nHawkVoice = 0;
    float m_fAimAngle = 0.0f;
    int m_nAimPose = PLAYER_AIM_LEVEL;
    DWORD m_dwFrameTime;
    DWORD m_dwAnimStamp = 0;
    DWORD m_dwLandStamp = 0;
    DWORD m_dwLastShot = 0;
    DWORD m_dwBlinkToggle = 0;
    DWORD m_dwBlinkStart = 0;
    BOOL m_bOut = 0;
    BOOL m_bJumpLatch = 0;
    int m_nKeyCode = 0;
    int m_nShot = 0;

    BOOL m_bStageFinished = 0;
    BOOL m_bLoaded = 0;
    // DAMAGE_JUMP, DAMAGE_FLAT, DAMAGE_UP, DAMAGE_DOWN: x, y, w, h (the file never changes in a run).
    int m_nDamageBox[PLAYER_POSES][4];
};
