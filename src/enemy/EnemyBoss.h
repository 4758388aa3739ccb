// What the five bosses share: the kind (CEnemyBoss) with its body pictures and life block, and the
// body (CEnemyPartBoss) with its four-state machine, tick loop, phase check, exit and re-entry,
// death, explosion and fall.
//
// How a boss fills it in:
// - The kind derives from CEnemyBoss, passes its BOSSINFO (boss number, part family, ENEMY_ key
//   name, index file, the region names of body images 0 to 3 (null where a boss has fewer), the
//   body's own image region and the BOSS_HRR_ key) to the constructor and overrides
//     int CreateBody(CEnemyLabel* pLabel)    -> return pLabel->MakeParts<CMyBody>(family, 1);
//   and, when it draws anything in the 3D pass, DrawExtra. The kind's m_Index stays loaded after
//   SetupWeapons, so the body's LoadWeapons can cut its weapon pictures from it.
// - The body derives from CEnemyPartBoss and overrides:
//     void Place(CEnemyLabel*)            the placement routine, run at spawn and at re-entry: call
//                                         PlaceAtStart (940, 256, image 0, tick 0, both ACCINFOs
//                                         cleared), stop what its own placement stops (the base
//                                         stops every weapon), then set the entry motion;
//     void OnSpawn(CEnemyLabel*)          optional: what its spawn does after the shared one;
//     void OnTick(int nState, CEnemyLabel*)     one tick of state 0, 1 or 2; m_nTick has already
//                                         been incremented; runs n times per pass (n = 1 live);
//     void OnPassEnd(int nState, CEnemyLabel*)  optional: what follows the ticks of a pass;
//     void RunState(int nState, CEnemyLabel*)   optional: a whole handler of its own (the default
//                                         runs the tick loop for states 0 to 2 and the exit for 3);
//     void PositionWeapons(CEnemyLabel*)  optional: attached weapons follow the body each update;
//     int  LoadWeapons(IDirect3DDevice7*, CEnemyLabel*)   load every weapon pool (from the kind's
//                                         index); the result is SetupWeapons' result;
//     void StopWeapons()                  every weapon idle;
//     void FinishWeapons(CStage*)         what its weapons do when it dies (before EndBossBattle);
//     void OnPhaseQueued(int nNext)       optional: a phase was queued (before the exit starts);
//     void StartExit(CEnemyLabel*)        optional: its own way of leaving (the default sets the
//                                         x ACCINFO to accelerate off the nearer side).
//   At the end of each attack cycle the body calls CheckPhase(pLabel), which answers 1 when it has
//   queued the next phase and entered state 3. SelectBodyImage(n) picks image n and its size.
#pragma once
#include "bullet/ExpBoss.h"
#include "engine/AccAdjust.h"
#include "engine/BmpIndex.h"
#include "engine/Geometry.h"
#include "enemy/Enemy.h"

class CEnemyBoss;
class CEnemyLabel;

#define BOSS_IMAGE_NUM 4
#define BOSS_START_X 940.0f
#define BOSS_START_Y 256.0f
#define BOSS_FALL_ACCELERATION 1.7f
#define BOSS_EXIT_ACCELERATION 0.5f
#define BOSS_REPLAY_TICKS_MAX 8

// What tells one boss from another in the shared code.
struct BOSSINFO {
    int nBoss;                                // 0 MM ... 4 NM: the HUD's boss number
    int nFamily;                              // the label's part family of the body
    const char* pszName;                      // the label name; its Param block is "ENEMY_" + name
    const char* pszIndexFile;                 // the region index of its pictures, in the stage folder
    const char* pszImages[BOSS_IMAGE_NUM];    // regions of body images 0 to 3; null: none
    const char* pszOwnImage;                  // the body's own picture region
    const char* pszHitRatioKey;               // "BOSS_HRR_xx": width and height ratio of the hit box
};

class CEnemyPartBoss : public CEnemyPart {
public:
    enum { STATE_PHASE0 = 0, STATE_PHASE1 = 1, STATE_PHASE2 = 2, STATE_EXIT = 3 };

    CEnemyPartBoss();
    ~CEnemyPartBoss() override;

    // ---- Hooks a boss fills ----
    virtual void Place(CEnemyLabel* pLabel);
    virtual void OnSpawn(CEnemyLabel*) {}
    virtual void OnTick(int nState, CEnemyLabel* pLabel) = 0;
    virtual void OnPassEnd(int, CEnemyLabel*) {}
    virtual void RunState(int nState, CEnemyLabel* pLabel);
    virtual void PositionWeapons(CEnemyLabel*) {}
    virtual int LoadWeapons(IDirect3DDevice7*, CEnemyLabel*) { return 1; }
    virtual void StopWeapons() {}
    virtual void FinishWeapons(CStage*) {}
    virtual void OnPhaseQueued(int) {}
    virtual void StartExit(CEnemyLabel* pLabel);

    // ---- What the shared code gives a boss ----
    // At the start point, image 0, tick 0, both motion records cleared; no weapon is touched.
    void PlaceAtStart();
    // The opening of the state handlers 0 to 2: the number of ticks this pass runs (1 live, the
    // recorded number in a replay).
    int RunTickLoop();
    // The phase check at the end of an attack cycle; 1 when it queued a phase and left for state 3.
    int CheckPhase(CEnemyLabel* pLabel);
    // State 3: off the nearer side, and in again at the placement once it has been away a second.
    void UpdateExit(CEnemyLabel* pLabel);
    // Image n of the kind (0 to 3) and its size.
    void SelectBodyImage(int n);
    // The kind's index file (its pictures stay there while the stage is loaded).
    CBmpIndex* GetIndex();

    // ---- The death path ----
    int HitByPlayerBullet(CStage* pStage, CCrushable* pAttacker) override;
    // The explosion starts at the body and the fall is armed.
    void Explode() override;
    // Every frame while dead: the destruction, then the fall, then the stage clear.
    int Die() override;
    BOOL IsLastExplosionDone() override { return m_ExpBoss.IsFinished(); }
    void Tick() override { Die(); }
    // The stage clear once the destruction is over and the body has fallen below the screen; once.
    void CheckFallen(CStage* pStage);

    // ---- Dashes: m_Adjust's speed along m_fDashAngle ----
    // One tick of the dash, whether it has reached its end or not.
    void AdvanceDash();
    // One tick of the dash until it reaches its end.
    void StepDash();
    // m_Adjust rising to fTop (or to r, if nearer) and falling to fLeast over the distance r (r > 0).
    void SetDashSpeed(float r, float fTop, float fLeast);
    // A dash by (dx, dy) as SetDashSpeed gives it; one of no length would divide by it, so it ends at
    // once, m_Adjust at rest with the clamp flag nRestClamp.
    void StartDash(float dx, float dy, float fTop, float fLeast, int nRestClamp);

    CEnemyBoss* m_pKind = nullptr;
    int m_nState = STATE_PHASE0;
    int m_nNextState = STATE_PHASE0;
    int m_nMaxLife = 0;
    int m_nImage = 0;
    int m_nTick = 0;
    int m_nTickAcc = 0;
    DWORD m_dwLastUpdate = 0;
    ACCINFO m_AccX;
    ACCINFO m_AccY;
    CAccAdjust m_Adjust;
    CExpBoss m_ExpBoss;
    ACCINFO m_Fall;
    DWORD m_dwFallDelay = 0;
    DWORD m_dwFallStart = 0;
    int m_bFallFirst = 0;
    CDSurfaceEx m_OwnImage;
    OFFSCREENTIMER m_OffScreen{0, 0, 1};
    // The stage that last tested the body (every update while a player bullet is registered).
    CStage* m_pStage = nullptr;
    int m_bClearRequested = 0;
    float m_fDashAngle = 0.0f;
};

class CEnemyBoss : public CEnemy {
public:
    explicit CEnemyBoss(const BOSSINFO& info);
    ~CEnemyBoss() override;

    // The body of this boss made in the label's family.
    virtual int CreateBody(CEnemyLabel* pLabel) = 0;

    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    void Release() override;
    void OnTimeOut(CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszFolder) override;
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
    void Stop(CEnemyLabel* pLabel) override;
    int Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY) override;

    CEnemyPartBoss* GetBody(CEnemyLabel* pLabel);
    const BOSSINFO& GetInfo() const { return m_Info; }
    // "ENEMY_" + the label name.
    const char* GetParamKey() const { return m_szParamKey; }

    CBmpIndex m_Index;
    // The block: life from the HUD's table, the score value from value 3.
    ENEMYPARAM m_Block{};
    // Recoil moves: detached while none runs; after the kick it keeps moving at its rest value.
    ACCBOUNCE m_Recoil{};

protected:
    BOSSINFO m_Info;
    char m_szParamKey[64] = {};
    char m_szFolder[MAX_PATH] = {};
};
