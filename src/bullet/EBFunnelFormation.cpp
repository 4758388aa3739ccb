#include "bullet/EBFunnelFormation.h"

int CEBFunnelFormation::LoadUnit(IDirect3DDevice7* lpDevice, int i, CSprite* pNormal, CSprite* pFlash, DWORD dwHold)
{
    if (!GetPod(i).SetSprites(lpDevice, pNormal, pFlash))
        return 0;
    CEBLaserEx& beam = GetBeam(i);
    if (!beam.Load(lpDevice))
        return 0;
    SetUpBeam(beam, dwHold);
    return 1;
}

void CEBFunnelFormation::SetUpBeam(CEBLaserEx& beam, DWORD dwHold)
{
    beam.m_dwHoldTime = dwHold;
    beam.m_fGrowth = 40.0f;
    beam.m_fScale = beam.m_fScaleStart = 0.2f;
    beam.m_nDirection = -1;
    beam.m_bTimed = 1;
}

void CEBFunnelFormation::StopBeams()
{
    if (m_bIdle)
        return;
    for (int i = 0; i < GetUnitCount(); i++)
        GetBeam(i).Stop();
    m_Leave.Set(0.0f, 1.0f, 0.0f, 0.0f, 0);
    m_bLeaving = 1;
}

void CEBFunnelFormation::Stop()
{
    for (int i = 0; i < GetUnitCount(); i++) {
        GetPod(i).Stop();
        GetBeam(i).Stop();
    }
    m_bIdle = 1;
    CEBulletPart::Stop();
}

void CEBFunnelFormation::Leave()
{
    bool bAllOut = true;
    for (int i = 0; i < GetUnitCount(); i++) {
        CEBFunnel& pod = GetPod(i);
        pod.m_vPos.x += m_Leave.fValue;
        if (pod.m_vPos.x < EBFUNNEL_LEAVE_X)
            bAllOut = false;
    }
    if (bAllOut) {
        Stop();
        return;
    }
    m_Leave.Step();
}
