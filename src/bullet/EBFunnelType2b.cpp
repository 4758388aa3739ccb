#include "bullet/EBFunnelType2b.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"

namespace {

const float kColumn0 = 220.0f;
const float kColumn1 = 120.0f + 250.0f;
const float kColumn2 = 2.0f * 120.0f + 220.0f;
const float kColumn3 = 3.0f * 120.0f + 250.0f;
const float kComeInSpeed = 10.0f;
const float kMinScale = 0.2f;
const float kGrowth = 0.1f;
const float kTravelSteps = 0.07692308f;
const float kNoPath = 0.01f;
const float kAngleTo1 = 1.0519768f;
const float kAngleTo2 = -1.0466667f;
const DWORD kBeamHold = 300;
const int kArrivalWait = 500;

// The waypoint with its y turned up.
D3DVECTOR Waypoint(int nUnit, int k)
{
    const D3DVECTOR& w = FunnelWaypoints[nUnit][k];
    return D3DVECTOR{{w.x}, {-w.y}, {w.z}};
}

float Distance(const D3DVECTOR& a, const D3DVECTOR& b)
{
    const float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Already there: nothing to brake for.
void Arrive(FunnelUnit2& unit, const D3DVECTOR& vAt)
{
    unit.vPos = vAt;
    unit.Speed = ACCINFO{};
    unit.Speed.nReached = 1;
}

} // namespace

const D3DVECTOR FunnelWaypoints[EBFUNNEL2_UNITS][EBFUNNEL2_WAYPOINTS] = {
    {{{540.0f}, {80.0f}, {0.0f}}, {{kColumn3}, {40.0f}, {0.0f}}, {{kColumn0}, {420.0f}, {0.0f}}},
    {{{kColumn2}, {160.0f}, {0.0f}}, {{kColumn2}, {100.0f}, {0.0f}}, {{kColumn1}, {480.0f}, {0.0f}}},
    {{{kColumn2}, {320.0f}, {0.0f}}, {{kColumn1}, {40.0f}, {0.0f}}, {{kColumn2}, {420.0f}, {0.0f}}},
    {{{540.0f}, {400.0f}, {0.0f}}, {{kColumn0}, {100.0f}, {0.0f}}, {{kColumn3}, {480.0f}, {0.0f}}},
};

const int FunnelAfterBeamWait[EBFUNNEL2_UNITS] = {500, 600, 700, 800};

CEBFunnelType2b::CEBFunnelType2b()
{
    ResetUnits(D3DVECTOR{});
    for (int i = 0; i < EBFUNNEL2_UNITS; i++)
        SetUpBeam(GetBeam(i), kBeamHold);
    m_bIdle = 1;
}

CEBFunnelType2b::~CEBFunnelType2b()
{
    Stop();
}

int CEBFunnelType2b::Load(IDirect3DDevice7* lpDevice, CSprite* pNormal, CSprite* pFlash)
{
    for (int i = 0; i < EBFUNNEL2_UNITS; i++) {
        if (!LoadUnit(lpDevice, i, pNormal, pFlash, kBeamHold))
            return 0;
    }
    return 1;
}

void CEBFunnelType2b::ResetUnits(const D3DVECTOR& vFrom)
{
    for (int i = 0; i < EBFUNNEL2_UNITS; i++) {
        FunnelUnit2& unit = m_Units[i];
        unit.nIndex = i;
        unit.vPos = vFrom;
        unit.fScale = kMinScale;
        unit.fHeading = unit.fPathLength = unit.fTravelled = 0.0f;
        unit.fTargetAngle = unit.fStartAngle = 0.0f;
        unit.Speed = ACCINFO{};
        unit.Bounce.Detach();
        unit.Beam.Stop();
        unit.Pod.m_vPos = vFrom;
        unit.Pod.m_fScale = kMinScale;
        unit.Pod.m_fAngle = 0.0f;
        unit.Pod.Stop();
        unit.nFireState = FunnelUnit2::FIRE_ARRIVING;
        SetPhase(unit, FunnelUnit2::PHASE_COME_IN);
    }
}

int CEBFunnelType2b::Fire()
{
    Stop();
    m_bLeaving = 0;
    ResetUnits(m_vPos);
    for (FunnelUnit2& unit : m_Units)
        unit.Pod.Fire();
    m_bIdle = 0;
    const int nSlot = CEBulletPart::Fire();
    if (nSlot < 0)
        Stop();
    return nSlot;
}

// Speeds up to d / 13, turns at the top and brakes to rest on the target; the pod turns on the way.
void CEBFunnelType2b::Travel(FunnelUnit2& unit, int nWaypoint, float fTargetAngle)
{
    unit.vTarget = Waypoint(unit.nIndex, nWaypoint);
    unit.fTargetAngle = fTargetAngle;
    unit.fStartAngle = unit.Pod.m_fAngle;
    unit.fHeading = std::atan2(unit.vTarget.y - unit.vPos.y, unit.vTarget.x - unit.vPos.x);
    const float d = Distance(unit.vPos, unit.vTarget);
    unit.fPathLength = d;
    unit.fTravelled = 0.0f;
    if (d < kNoPath) {
        Arrive(unit, unit.vTarget);
        return;
    }
    const float v = d * kTravelSteps;
    unit.Speed.Set(0.0f, v * v / d, 0.0f, v, 1, 1, 0);
}

void CEBFunnelType2b::SetPhase(FunnelUnit2& unit, int nPhase)
{
    unit.nPhase = nPhase;
    switch (nPhase) {
    case FunnelUnit2::PHASE_COME_IN: {
        unit.fScale = kMinScale;
        const D3DVECTOR w = Waypoint(unit.nIndex, 0);
        unit.fHeading = std::atan2(w.y - unit.vPos.y, w.x - unit.vPos.x);
        const float d = Distance(unit.vPos, w);
        if (d < kNoPath)
            Arrive(unit, w);
        else
            unit.Speed.Set(kComeInSpeed, -(kComeInSpeed * kComeInSpeed) / (2.0f * d), 0.0f, kComeInSpeed, 1);
        unit.nNextPhase = FunnelUnit2::PHASE_TO_1;
        break;
    }
    case FunnelUnit2::PHASE_TO_0:
        Travel(unit, 0, 0.0f);
        unit.nNextPhase = FunnelUnit2::PHASE_TO_1;
        break;
    case FunnelUnit2::PHASE_TO_1:
        Travel(unit, 1, kAngleTo1);
        unit.nNextPhase = FunnelUnit2::PHASE_TO_2;
        break;
    case FunnelUnit2::PHASE_TO_2:
        Travel(unit, 2, kAngleTo2);
        unit.nNextPhase = FunnelUnit2::PHASE_TO_0;
        break;
    case FunnelUnit2::PHASE_FIRING:
        unit.Pod.m_fAngle = unit.fTargetAngle;
        unit.nFireState = FunnelUnit2::FIRE_ARRIVING;
        break;
    default:
        break;
    }
}

void CEBFunnelType2b::MoveUnit(FunnelUnit2& unit)
{
    if (unit.Speed.nReached)
        return;
    const float fSpeed = unit.Speed.fValue;
    unit.vPos.x += fSpeed * std::cos(unit.fHeading);
    unit.vPos.y += fSpeed * std::sin(unit.fHeading);
    unit.Speed.Step();
    if (std::fabs(unit.fPathLength) <= kNoPath)
        return;
    unit.fTravelled += fSpeed;
    if (unit.fTravelled >= unit.fPathLength)
        unit.vPos = unit.vTarget;
    const float f = std::clamp(unit.fTravelled / unit.fPathLength, 0.0f, 1.0f);
    unit.Pod.m_fAngle = (1.0f - f) * unit.fStartAngle + f * unit.fTargetAngle;
}

void CEBFunnelType2b::StartWait(FunnelUnit2& unit, int nWait, int nAfter)
{
    unit.nWait = nWait;
    unit.dwWaitStart = CAppTimer::GetElapsed(0);
    unit.bWaitBusy = 0;
    unit.nAfterWait = nAfter;
    unit.nFireState = FunnelUnit2::FIRE_WAIT;
}

void CEBFunnelType2b::StepFiring(FunnelUnit2& unit)
{
    switch (unit.nFireState) {
    case FunnelUnit2::FIRE_ARRIVING:
        if (unit.Speed.nReached)
            StartWait(unit, kArrivalWait, FunnelUnit2::FIRE_BEAM);
        break;
    case FunnelUnit2::FIRE_WAIT:
        if (!unit.bWaitBusy && CAppTimer::GetElapsed(0) - unit.dwWaitStart > (DWORD)unit.nWait) {
            unit.bWaitBusy = 1;
            if (unit.nAfterWait == FunnelUnit2::FIRE_BEAM) {
                unit.Speed = ACCINFO{};
                unit.Bounce.Attach(&unit.Speed);
                unit.Bounce.Start();
                unit.fPathLength = 0.0f;
                unit.fHeading = unit.Pod.m_fAngle;
                unit.Beam.SetPosition(unit.vPos);
                unit.Beam.m_fAngle = unit.fHeading;
                unit.Beam.Fire();
                // One sound for the four beams.
                if (unit.nIndex == 0)
                    g_PCMManagerTask.Play(EBFUNNEL_BEAM_WAVE);
            }
            unit.nFireState = unit.nAfterWait;
        }
        break;
    case FunnelUnit2::FIRE_BEAM:
        unit.Beam.SetPosition(unit.vPos);
        unit.Bounce.Update();
        MoveUnit(unit);
        if (unit.Bounce.pAcc && unit.Bounce.nState == ACCBOUNCE::STATE_WAIT)
            unit.Bounce.Detach();
        if (unit.Beam.IsIdle()) {
            unit.Bounce.Detach();
            StartWait(unit, FunnelAfterBeamWait[unit.nIndex], FunnelUnit2::FIRE_DONE);
        }
        break;
    default:
        break;
    }
}

void CEBFunnelType2b::StepUnit(FunnelUnit2& unit)
{
    switch (unit.nPhase) {
    case FunnelUnit2::PHASE_COME_IN:
        unit.fScale = std::clamp(unit.fScale + kGrowth, kMinScale, 1.0f);
        MoveUnit(unit);
        break;
    case FunnelUnit2::PHASE_FIRING:
        StepFiring(unit);
        if (unit.nFireState == FunnelUnit2::FIRE_DONE)
            SetPhase(unit, unit.nNextPhase);
        break;
    default:
        MoveUnit(unit);
        break;
    }
}

void CEBFunnelType2b::Move()
{
    if (m_bIdle)
        return;
    if (m_bLeaving) {
        Leave();
        return;
    }
    for (FunnelUnit2& unit : m_Units) {
        unit.Pod.m_vPos = unit.vPos;
        unit.Pod.m_fScale = unit.fScale;
    }
    bool bAllThere = true;
    for (FunnelUnit2& unit : m_Units) {
        StepUnit(unit);
        bAllThere = bAllThere && unit.Speed.nReached;
    }
    // The first to arrive waits for the last: then all fire together.
    if (!bAllThere)
        return;
    for (FunnelUnit2& unit : m_Units) {
        if (unit.nPhase != FunnelUnit2::PHASE_FIRING)
            SetPhase(unit, FunnelUnit2::PHASE_FIRING);
    }
}
