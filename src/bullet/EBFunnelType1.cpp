#include "bullet/EBFunnelType1.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"

namespace {

const float kUnitAngle = 2.0933335f;
const float kOpposite = 3.14f;
const float kTurn = 6.28f;
const float kDeploySpeed = 10.0f;
const float kSpinRate = -0.03f;
const float kRecallSpin = -0.01f;
const float kRecallSpeed = -4.0f;
const float kGrowth = 0.05f;
const float kMinScale = 0.2f;
const float kRest = -1.5f;
const DWORD kBeamHold = 200;
const int kPauseMs = 500;
const int kBeamDelays[EBFUNNEL1_UNITS] = {300, 500, 700};

void ZeroSpeed(ACCINFO& a)
{
    a = ACCINFO{};
}

BOOL DelayPassed(const FunnelUnit1& unit)
{
    return !unit.bDelayBusy && CAppTimer::GetElapsed(0) - unit.dwDelayStart > (DWORD)unit.nDelay;
}

} // namespace

CEBFunnelType1::CEBFunnelType1()
{
    ResetUnits();
    for (int i = 0; i < EBFUNNEL1_UNITS; i++)
        SetUpBeam(GetBeam(i), kBeamHold);
    m_bIdle = 1;
}

CEBFunnelType1::~CEBFunnelType1()
{
    Stop();
}

int CEBFunnelType1::Load(IDirect3DDevice7* lpDevice, CSprite* pNormal, CSprite* pFlash)
{
    for (int i = 0; i < EBFUNNEL1_UNITS; i++) {
        if (!LoadUnit(lpDevice, i, pNormal, pFlash, kBeamHold))
            return 0;
    }
    return 1;
}

void CEBFunnelType1::ResetUnits()
{
    for (FunnelUnit1& unit : m_Units) {
        unit.fScale = 0.0f;
        ZeroSpeed(unit.Speed);
        unit.nState = FunnelUnit1::STATE_FORMATION;
        unit.Pod.m_vPos = D3DVECTOR{};
        unit.Pod.m_fScale = 0.0f;
        unit.Pod.Stop();
        unit.Bounce.fRest = kRest;
        unit.Bounce.Detach();
    }
    m_fBaseAngle = 0.0f;
    m_fRadius = 0.0f;
    ZeroSpeed(m_Radial);
}

int CEBFunnelType1::Fire()
{
    Stop();
    ResetUnits();
    m_bLeaving = 0;
    SetState(STATE_DEPLOY);
    m_bIdle = 0;
    const int nSlot = CEBulletPart::Fire();
    if (nSlot < 0)
        Stop();
    return nSlot;
}

D3DVECTOR CEBFunnelType1::GetFormationOffset(int i) const
{
    const float a = (float)i * kUnitAngle + m_fBaseAngle + kOpposite;
    return D3DVECTOR{{std::cos(a) * m_fRadius}, {std::sin(a) * m_fRadius}, {0.0f}};
}

D3DVECTOR CEBFunnelType1::GetUnitPos(const FunnelUnit1& unit) const
{
    return D3DVECTOR{{m_vPos.x + unit.vOffset.x}, {m_vPos.y + unit.vOffset.y}, {m_vPos.z + unit.vOffset.z}};
}

void CEBFunnelType1::SetState(int nState)
{
    m_nState = nState;
    switch (nState) {
    case STATE_DEPLOY:
        for (int i = 0; i < EBFUNNEL1_UNITS; i++) {
            ZeroSpeed(m_Units[i].Speed);
            m_Units[i].Pod.Fire();
            TakeFormation(i);
        }
        m_fBaseAngle = 0.0f;
        m_fRadius = 0.0f;
        // Braking so that the radius comes to rest at 130.
        m_Radial.Set(kDeploySpeed, -(kDeploySpeed * kDeploySpeed) / (2.0f * EBFUNNEL1_RADIUS), 0.0f, kDeploySpeed, 1);
        m_Spin.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
        break;
    case STATE_ROTATE:
        m_Spin.Set(kSpinRate, 0.0f, 0.0f, 0.0f, 0);
        break;
    case STATE_RECALL:
        m_Spin.fStep = kRecallSpin;
        m_Radial.Set(kRecallSpeed, 0.0f, 0.0f, 0.0f, 0);
        break;
    case STATE_STOP:
        for (FunnelUnit1& unit : m_Units)
            unit.Pod.Stop();
        break;
    default:
        break;
    }
}

void CEBFunnelType1::StartDelay(FunnelUnit1& unit, int nDelay)
{
    unit.nDelay = nDelay;
    unit.dwDelayStart = CAppTimer::GetElapsed(0);
    unit.bDelayBusy = 0;
}

void CEBFunnelType1::FireBeams()
{
    for (int i = 0; i < EBFUNNEL1_UNITS; i++) {
        m_Units[i].nState = FunnelUnit1::STATE_ARMED;
        m_Units[i].fHomeX = m_Units[i].vOffset.x;
        StartDelay(m_Units[i], kBeamDelays[i]);
    }
}

// One unit's part of the firing cycle.
void CEBFunnelType1::StepUnit(int i)
{
    FunnelUnit1& unit = m_Units[i];
    switch (unit.nState) {
    case FunnelUnit1::STATE_FORMATION:
        ZeroSpeed(unit.Speed);
        unit.Speed.nReached = 1;
        TakeFormation(i);
        break;
    case FunnelUnit1::STATE_ARMED:
        if (DelayPassed(unit)) {
            unit.bDelayBusy = 1;
            unit.nState = FunnelUnit1::STATE_FIRING;
            ZeroSpeed(unit.Speed);
            unit.fRecoilDir = 0.0f;
            unit.Bounce.Attach(&unit.Speed);
            unit.Bounce.Start();
            unit.Beam.SetPosition(GetUnitPos(unit));
            unit.Beam.Fire();
            g_PCMManagerTask.Play(EBFUNNEL_BEAM_WAVE);
        }
        break;
    case FunnelUnit1::STATE_FIRING:
        if (unit.Bounce.pAcc && unit.vOffset.x >= unit.fHomeX) {
            unit.Bounce.Update();
            unit.Beam.SetPosition(GetUnitPos(unit));
        } else {
            unit.vOffset.x = unit.fHomeX;
            unit.Bounce.Detach();
            ZeroSpeed(unit.Speed);
            unit.Speed.nReached = 1;
            unit.nState = FunnelUnit1::STATE_PAUSE;
            TakeFormation(i);
            StartDelay(unit, kPauseMs);
        }
        break;
    case FunnelUnit1::STATE_PAUSE:
        if (DelayPassed(unit)) {
            unit.nState = FunnelUnit1::STATE_FORMATION;
            TakeFormation(i);
        }
        break;
    default:
        break;
    }
}

void CEBFunnelType1::Move()
{
    if (m_bIdle)
        return;
    if (m_bLeaving) {
        Leave();
        return;
    }
    bool bAnyBusy = false;
    for (FunnelUnit1& unit : m_Units) {
        unit.Pod.m_fScale = unit.fScale;
        unit.Pod.m_vPos = GetUnitPos(unit);
        bAnyBusy = bAnyBusy || unit.nState != FunnelUnit1::STATE_FORMATION;
    }
    // The circle holds still while a pod is busy with its beam.
    if (m_nState != STATE_ROTATE || !bAnyBusy) {
        m_fBaseAngle += m_Spin.fValue;
        if (m_fBaseAngle >= kTurn)
            m_fBaseAngle -= kTurn;
        if (m_fBaseAngle < 0.0f)
            m_fBaseAngle += kTurn;
        m_Spin.Step();
    }
    switch (m_nState) {
    case STATE_DEPLOY:
        for (int i = 0; i < EBFUNNEL1_UNITS; i++) {
            m_Units[i].fScale = std::clamp(m_Units[i].fScale + kGrowth, kMinScale, 1.0f);
            TakeFormation(i);
        }
        if (m_Radial.nReached)
            SetState(STATE_ROTATE);
        break;
    case STATE_ROTATE:
        for (int i = 0; i < EBFUNNEL1_UNITS; i++)
            StepUnit(i);
        break;
    case STATE_RECALL:
        for (int i = 0; i < EBFUNNEL1_UNITS; i++)
            TakeFormation(i);
        if (m_fRadius < 1.0f)
            SetState(STATE_STOP);
        break;
    case STATE_STOP:
        Stop();
        return;
    default:
        break;
    }
    m_fRadius = std::clamp(m_fRadius + m_Radial.fValue, 0.0f, EBFUNNEL1_RADIUS);
    m_Radial.Step();
    for (FunnelUnit1& unit : m_Units) {
        if (!unit.Speed.nReached) {
            unit.vOffset.x += unit.Speed.fValue * std::cos(unit.fRecoilDir);
            unit.vOffset.y += unit.Speed.fValue * std::sin(unit.fRecoilDir);
            unit.Speed.Step();
        }
    }
}
