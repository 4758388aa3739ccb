#include "enemy/EnemyL.h"

#include "engine/AppTimer.h"
#include "engine/Sound.h"
#include "enemy/EnemyLabel.h"

namespace {

const DWORD kChargeMs = 1000;
const DWORD kLeaveMs = 2500;
const DWORD kChargeShowMs = 800;
const float kLaserGrowth = 40.0f;
const DWORD kLaserHoldMs = 1000;
const float kLaserScale = 0.2f;
const float kChargeAhead = 45.0f;
const float kLaserBehind = 20.0f;

} // namespace

CEnemyL::CEnemyL(int nVariant) : CEnemyStation(nVariant, ENEMY_FAMILY_L, "EnemyL1.bmp", "ENEMY_L1-4") {}

int CEnemyL::CreateParts(int, CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartL>(ENEMY_FAMILY_L, 1);
}

int CEnemyL::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char*)
{
    CEnemyPartL* pPart = GetUnitL(pLabel);
    if (!pPart)
        return 0;
    pPart->LoadEffects(lpDevice);
    pPart->m_Laser.Load(lpDevice);
    CEBLaserEx& laser = pPart->m_Laser;
    laser.m_fGrowth = kLaserGrowth;
    laser.m_dwHoldTime = kLaserHoldMs;
    laser.m_fScale = kLaserScale;
    laser.m_fScaleStart = kLaserScale;
    laser.m_nDirection = -1;
    laser.m_bTimed = 1;
    pPart->m_Charge.m_dwDuration = kChargeShowMs;
    pPart->m_Charge.m_bEnded = 1;
    return 1;
}

void CEnemyL::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartL* pPart = GetUnitL(pLabel);
    if (!pPart)
        return;
    pPart->m_Bounce.Detach();
    pPart->m_dwLeaveMs = kLeaveMs;
    pPart->m_bLaserFired = 0;
    pPart->m_Charge.Stop();
    pPart->m_Laser.Stop();
    Enter(pLabel, *pPart);
    PlaceWeapons(*pPart);
}

void CEnemyL::Stop(CEnemyLabel* pLabel)
{
    CEnemyPartL* pPart = GetUnitL(pLabel);
    if (!pPart)
        return;
    pPart->m_Laser.Stop();
    pPart->m_Charge.Stop();
    CEnemyStation::Stop(pLabel);
}

void CEnemyL::PlaceWeapons(CEnemyPartL& part)
{
    const BOOL bLeft = !IsRightward();
    const float x = part.m_vPos.x, fRow = 16.0f - part.m_vPos.y;
    part.m_Charge.SetPosition(D3DVECTOR{{bLeft ? x - kChargeAhead : x + kChargeAhead}, {fRow}, {0.0f}});
    part.m_Laser.SetPosition(D3DVECTOR{{bLeft ? x + kLaserBehind : x - kLaserBehind}, {fRow}, {0.0f}});
}

void CEnemyL::UpdateStay(CEnemyPartL& part)
{
    const DWORD dwIn = Now() - part.m_dwStateTime;
    if (dwIn > kChargeMs && !part.m_bLaserFired) {
        part.m_Charge.Stop();
        part.m_Laser.m_nDirection = IsRightward() ? 1 : -1;
        PlaceWeapons(part);
        part.m_Laser.Fire();
        part.m_Bounce.Attach(&part.m_X);
        part.m_Bounce.Start();
        part.m_bLaserFired = 1;
        PlaySoundFile(ENEMYL_FIRE_WAVE);
    }
    // The recoil pushes it backwards.
    part.m_vPos.x += IsRightward() ? -part.m_X.fValue : part.m_X.fValue;
    part.m_Bounce.Update();
    if (part.m_Bounce.pAcc && part.m_Bounce.nState == ACCBOUNCE::STATE_DONE) {
        part.m_Bounce.Detach();
        part.m_X.SetConstant(0.0f);
    }
    if (dwIn > part.m_dwLeaveMs) {
        part.m_Bounce.Detach();
        StartLeaving(part);
    }
}

void CEnemyL::Update(CEnemyLabel* pLabel)
{
    CEnemyPartL* pPart = GetUnitL(pLabel);
    if (pLabel->m_bFinished || !pPart)
        return;
    CEnemyPartL& part = *pPart;
    part.UpdateFlash();
    part.SetViewOffset(pLabel->GetOffsetY());
    // Destroyed while charging, it never fires.
    if (RemoveIfGone(pLabel, part))
        return;
    switch (part.m_nState) {
    case CEnemyPartStation::STATE_ENTER:
        if (Fly(part)) {
            part.m_vPos.x = IsRightward() ? ENEMY_FIRE_LINE_RIGHT : ENEMY_FIRE_LINE_LEFT;
            part.m_X.SetConstant(0.0f);
            PlaceWeapons(part);
            part.m_Charge.Fire();
            part.m_nState = CEnemyPartStation::STATE_STAY;
            part.m_dwStateTime = Now();
            PlaySoundFile(ENEMYL_CHARGE_WAVE);
        }
        break;
    case CEnemyPartStation::STATE_STAY:
        UpdateStay(part);
        break;
    default:
        Fly(part);
        break;
    }
    PlaceWeapons(part);
}
