// Four pods that fly a fixed round of three waypoints each across the screen. At every waypoint the
// four wait for the last to arrive, fire their beams together, are kicked back along their beams,
// and leave one after another for the next waypoint, turning as they go.
#pragma once
#include "bullet/EBFunnelFormation.h"
#include "engine/Geometry.h"

#define EBFUNNEL2_UNITS 4
#define EBFUNNEL2_WAYPOINTS 3

// Screen coordinates (y down) of each unit's three waypoints.
extern const D3DVECTOR FunnelWaypoints[EBFUNNEL2_UNITS][EBFUNNEL2_WAYPOINTS];
// How long each unit waits after its beam before it moves on (ms).
extern const int FunnelAfterBeamWait[EBFUNNEL2_UNITS];

struct FunnelUnit2 {
    enum { PHASE_COME_IN = 0, PHASE_TO_0 = 1, PHASE_TO_1 = 2, PHASE_TO_2 = 3, PHASE_FIRING = 4 };
    enum { FIRE_ARRIVING = 0, FIRE_BEAM = 1, FIRE_WAIT = 2, FIRE_DONE = 3 };

    FunnelUnit2() { Bounce.fRest = -1.0f; }

    int nPhase = PHASE_COME_IN;
    int nNextPhase = PHASE_TO_1;
    int nFireState = FIRE_ARRIVING;
    int nAfterWait = FIRE_ARRIVING;
    int nIndex = 0;
    D3DVECTOR vPos{};
    D3DVECTOR vTarget{};
    float fScale = 0.2f;
    float fHeading = 0.0f;
    float fPathLength = 0.0f;
    float fTravelled = 0.0f;
    float fTargetAngle = 0.0f;
    float fStartAngle = 0.0f;
    ACCINFO Speed{};
    ACCBOUNCE Bounce{};
    int nWait = 0;
    DWORD dwWaitStart = 0;
    BOOL bWaitBusy = 0;
    CEBLaserDx Beam;
    CEBFunnel Pod;
};

class CEBFunnelType2b : public CEBFunnelFormation {
public:
    CEBFunnelType2b();
    ~CEBFunnelType2b() override;

    int Load(IDirect3DDevice7* lpDevice, CSprite* pNormal /*[3]*/, CSprite* pFlash /*[3]*/);
    // The four come in from the position the owner has set.
    int Fire() override;
    void Move() override;
    void SetPhase(FunnelUnit2& unit, int nPhase);

    FunnelUnit2 m_Units[EBFUNNEL2_UNITS];

protected:
    int GetUnitCount() const override { return EBFUNNEL2_UNITS; }
    CEBFunnel& GetPod(int i) override { return m_Units[i].Pod; }
    CEBLaserEx& GetBeam(int i) override { return m_Units[i].Beam; }

private:
    void ResetUnits(const D3DVECTOR& vFrom);
    void Travel(FunnelUnit2& unit, int nWaypoint, float fTargetAngle);
    void MoveUnit(FunnelUnit2& unit);
    void StepUnit(FunnelUnit2& unit);
    void StepFiring(FunnelUnit2& unit);
    void StartWait(FunnelUnit2& unit, int nWait, int nAfter);
};
