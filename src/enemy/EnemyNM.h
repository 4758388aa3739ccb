// The last boss, N.M.Zorva: it commands remote weapons. First it spreads a circle of three pods
// that fire their beams in turn while it fires its own laser with a recoil, and once they are
// recalled it sends out a triangular pod; then four pods fly a round of waypoints while it launches
// homing missiles, a ring of shots and its laser; last it sends two familiars, sweeps fans of shots
// behind a long laser and circles in place in a turning ring.
#pragma once
#include "bullet/EBFamiliar.h"
#include "bullet/EBFunnel.h"
#include "bullet/EBFunnelType1.h"
#include "bullet/EBFunnelType2b.h"
#include "bullet/EBHoming.h"
#include "bullet/EBLaserEx.h"
#include "bullet/EBRoundEx.h"
#include "enemy/EnemyBoss.h"

#define ENEMYNM_HOMINGS 6
#define ENEMYNM_FAMILIARS 2
#define ENEMYNM_BEAM_WAVE ".\\GameData\\System\\BeamRifle.wav"

class CEnemyPartNM : public CEnemyPartBoss {
public:
    CEnemyPartNM();
    ~CEnemyPartNM() override;

    void Place(CEnemyLabel* pLabel) override;
    void OnSpawn(CEnemyLabel*) override { SetFacing(1); }
    void OnTick(int nState, CEnemyLabel* pLabel) override;
    int LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel) override;
    void StopWeapons() override;
    void FinishWeapons(CStage* pStage) override;
    void OnPhaseQueued(int nNext) override;
    // A replay that ends on this body's death ends on its recorded score.
    BOOL EndsOnRecordedScore() override { return 1; }

    float m_fRememberedX = 0.0f;
    BOOL m_bLaserFired = 0;
    BOOL m_bTriLaunched = 0;
    D3DVECTOR m_vOrbitCentre{};
    float m_fOrbitAngle = 0.0f;
    float m_fOrbitRadius = 0.0f;

    CEBLaserEx m_Laser;
    CEBFunnelType1 m_Funnel1;
    CEBFunnelTri m_Tri;
    CEBHoming m_Homing[ENEMYNM_HOMINGS];
    CEBFunnelType2b m_Funnel2;
    CEBRoundEx m_Ring;
    CEBFamiliar m_Familiars[ENEMYNM_FAMILIARS];

private:
    void TickPhase0(CEnemyLabel* pLabel);
    void TickPhase1(CEnemyLabel* pLabel);
    void TickPhase2(CEnemyLabel* pLabel);
    void StepPhase2Motion();

    ACCBOUNCE& Recoil();
    void SetLaser(DWORD dwHold);
    void SetUpHoming();
    void FireHomingPair(CEnemyLabel* pLabel, int a, int b);
    void FireLaserWithRecoil(int nWait);
    // 1 when the recoil has ended and the phase check queued the next phase.
    int EndRecoil(CEnemyLabel* pLabel, BOOL bMarkReached);
    void DashToPlayerHeight(CEnemyLabel* pLabel);
    // Brakes the x motion to rest at x = fTo from the speed it has.
    void GlideTo(float fTo, float fSpeed);
    // Speeds up toward fTo, turns and stops there.
    void MoveTo(float fTo, BOOL bLeft);
    void PositionLaser();
    // The laser draws over the triangular pod: their render slots are swapped when it is below.
    void DrawLaserOverPod();
    void StartOrbit(float fAngularSpeed, BOOL bNewCentre);
};

class CEnemyNM : public CEnemyBoss {
public:
    CEnemyNM();
    ~CEnemyNM() override;

    int CreateBody(CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszFolder) override;
    // The pictures the weapons share, cut from the index; 0 when one the weapons need is missing.
    int LoadWeaponPictures(IDirect3DDevice7* lpDevice);

    CSprite m_Homing[2];
    CSprite m_Funnel[EBFUNNEL_FRAMES];
    CSprite m_FunnelFlash[EBFUNNEL_FRAMES];
    CSprite m_Triangle[EBFUNNELTRI_FRAMES];
    CSprite m_TriangleFlash[EBFUNNELTRI_FRAMES];
    CDSurfaceEx m_Canon[2];
    IDirectDrawSurface7* m_lpFamiliar = nullptr;
    IDirectDrawSurface7* m_lpForce = nullptr;

private:
    void ReleaseWeaponPictures();
    int LoadSprite(IDirect3DDevice7* lpDevice, const char* pszRegion, CSprite* pSprite, CSprite* pFlash);
};
