#include "enemy/EnemyB.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "enemy/EnemyLabel.h"

namespace {

const float kRingRadiusNear = 48.0f;
const float kRingRadiusFar = 96.0f;
const float kRingStartStep = 1.57f;
const float kRingTurn = -0.05f;
const float kEnterLeftX = 740.0f;
const float kEnterRightX = -100.0f;
const DWORD kRingStopMs = 2000;
const DWORD kRingFireMs = 1000;
const DWORD kDiverStopMs = 500;
const DWORD kDiverFireAfterMs = 250;
const float kDiveStartAngle = -3.14f;
const float kFallAngle = -1.57f;
const float kDiagonalAngle = 0.785f;

const ENEMYSLOT kSlotsF[] = {
    {"EnemyF1a.bmp", "ENEMY_F1_F3"}, {"EnemyF1b.bmp", "ENEMY_F2_F4"}, {"EnemyF2a.bmp", "ENEMY_F5_F7"},
    {"EnemyF2b.bmp", "ENEMY_F6_F8"}, {"EnemyF0.bmp", "ENEMY_F0"},
};
const ENEMYSLOT kSlotsG[] = {
    {"EnemyG1.bmp", "ENEMY_G1-6"},
    {"EnemyG2.bmp", "ENEMY_G7-8"},
    {"EnemyG0.bmp", "ENEMY_G0"},
};

} // namespace

// ---- What the formations share --------------------------------------------------------------------

CEnemyFormation::CEnemyFormation(int nVariant, int nParts) : CEnemy(nVariant), m_nParts(nParts)
{
    m_nFamily = ENEMY_FAMILY_B;
}

int CEnemyFormation::CreateParts(int, CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartB>(ENEMY_FAMILY_B, m_nParts);
}

CEnemyPartB* CEnemyFormation::GetParts(CEnemyLabel* pLabel)
{
    return pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B);
}

int CEnemyFormation::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char*)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (!pParts)
        return 0;
    for (int i = 0; i < m_nParts; i++) {
        pParts[i].LoadEffects(lpDevice);
        if (!m_bWeapons)
            continue;
        pParts[i].m_Big.Load(lpDevice);
        pParts[i].m_Normal.SetGraphic(lpDevice, 0);
    }
    return 1;
}

BOOL CEnemyFormation::IsStoppedLonger(const CEnemyPartB& part, DWORD dwMs)
{
    return Now() - part.m_dwStopTime > dwMs;
}

// ---- Kind B ---------------------------------------------------------------------------------------

CEnemyB::CEnemyB(int nVariant) : CEnemyFormation(nVariant, PARTS) {}

// The radius does not wait for the centre's picture: the ring flies without it.
int CEnemyB::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    Release();
    m_fRadius = m_nVariant >= 5 ? kRingRadiusFar : kRingRadiusNear;
    const ENEMYSLOT ring = {"EnemyB1.bmp", nullptr};
    for (int i = 0; i < RING_SLOTS; i++)
        LoadSlot(lpDevice, pszFolder, i, ring);
    ReadParamBlock("ENEMY_B1-4", &m_Params[0]);
    const ENEMYSLOT centre = {"EnemyB2.bmp", nullptr};
    if (!LoadSlot(lpDevice, pszFolder, RING_SLOTS, centre))
        return 1;
    ReadParamBlock("ENEMY_B5-8", &m_Params[1]);
    return 1;
}

BOOL CEnemyB::IsActive(int k) const
{
    switch (m_nVariant) {
    case 1:
    case 3:
        return k == 1 || k == 3;
    case 2:
    case 4:
        return k < CENTRE;
    case 5:
    case 7:
        return k == 1 || k == 3 || k == CENTRE;
    case 6:
    case 8:
        return 1;
    default:
        return 0;
    }
}

void CEnemyB::PlaceOrbit(CEnemyPartB& part)
{
    const float a = part.m_Angle.fValue;
    part.m_vOrbit.x = part.m_vPos.x + std::cos(a) * m_fRadius;
    part.m_vOrbit.y = part.m_vPos.y + std::sin(a) * m_fRadius;
    part.m_vOrbit.z = part.m_vPos.z;
}

void CEnemyB::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (!pParts)
        return;
    int nRow = 0;
    pLabel->GetCell(nullptr, &nRow);
    for (int k = 0; k < PARTS; k++) {
        CEnemyPartB& part = pParts[k];
        part.m_vPos = D3DVECTOR{{IsRightward() ? kEnterRightX : kEnterLeftX}, {(float)(nRow * 64)}, {0.0f}};
        part.SetFacing(IsRightward() ? 0 : 1);
        part.m_X.Set(-7.5f, 0.1f, -15.0f, 0.0f, 1);
        const BOOL bCentre = k == CENTRE;
        const int nSlot = bCentre ? RING_SLOTS : k;
        const ENEMYPARAM& param = m_Params[bCentre ? 1 : 0];
        part.m_bFired = 0;
        part.m_nState = CEnemyPartB::STATE_ENTER;
        part.m_dwStopDuration = kRingStopMs;
        part.m_bGone = 0;
        part.m_Normal.Stop();
        part.m_Big.Stop();
        part.m_Angle.Set(bCentre ? 0.0f : (float)k * kRingStartStep, bCentre ? 0.0f : kRingTurn, 0.0f, 0.0f, 0);
        if (IsActive(k)) {
            part.Begin(nSlot, param, m_nWidths[nSlot], m_nHeights[nSlot], bCentre ? 1 : 0);
        } else {
            // Flies with the others to gate the label's end, never drawn nor hit.
            part.m_nBlock = nSlot;
            part.m_Param = param;
            part.m_nLife = param.nLife;
            part.m_nWidth = m_nWidths[nSlot];
            part.m_nHeight = m_nHeights[nSlot];
            part.m_bDead = 1;
        }
        if (bCentre)
            part.m_vOrbit = part.m_vPos;
        else
            PlaceOrbit(part);
    }
    pLabel->m_bFinished = 0;
}

void CEnemyB::Update(CEnemyLabel* pLabel)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (pLabel->m_bFinished || !pParts)
        return;
    const BOOL bRight = IsRightward();
    for (int k = 0; k < PARTS; k++) {
        CEnemyPartB& part = pParts[k];
        part.UpdateFlash();
        part.SetViewOffset(pLabel->GetOffsetY());
        if (part.m_bGone)
            continue;
        if (part.m_nState == CEnemyPartB::STATE_STOP && IsStoppedLonger(part, part.m_dwStopDuration))
            part.m_nState = CEnemyPartB::STATE_LEAVE;
        float& x = part.m_vPos.x;
        if (part.m_nState != CEnemyPartB::STATE_STOP) {
            if (bRight)
                x -= part.m_X.fValue;
            else
                x += part.m_X.fValue;
            part.m_X.Step();
        }
        part.m_Angle.Step();
        if (part.m_nState == CEnemyPartB::STATE_ENTER &&
            ((!bRight && x < ENEMY_FIRE_LINE_LEFT) || (bRight && x > ENEMY_FIRE_LINE_RIGHT))) {
            x = bRight ? ENEMY_FIRE_LINE_RIGHT : ENEMY_FIRE_LINE_LEFT;
            part.m_X.Set(0.0f, -0.2f, -100.0f, 0.0f, 1);
            part.m_nState = CEnemyPartB::STATE_STOP;
            part.m_dwStopTime = Now();
        }
        if ((bRight && (x > kEnterLeftX || part.m_nLife < 1)) ||
            (!bRight && (x < -(float)part.m_nWidth || part.m_nLife < 1))) {
            part.Remove();
            part.m_bGone = 1;
        }
    }
    for (int k = 0; k < PARTS; k++) {
        CEnemyPartB& part = pParts[k];
        if (part.m_bDead)
            continue;
        const BOOL bCentre = k == CENTRE;
        if (bCentre)
            part.m_vOrbit = part.m_vPos;
        else
            PlaceOrbit(part);
        if (part.m_nState != CEnemyPartB::STATE_STOP || part.m_bFired || !IsStoppedLonger(part, kRingFireMs))
            continue;
        part.m_bFired = 1;
        if (bCentre)
            FireBigAt(part.m_Big, pLabel, part.m_vOrbit.x, part.m_vOrbit.y, part.m_vOrbit.z, part.m_fViewOffset);
        else
            FireNormalAt(part.m_Normal, pLabel, part.m_vOrbit.x, part.m_vOrbit.y);
    }
    if (std::all_of(pParts, pParts + PARTS, [](const CEnemyPartB& p) { return p.m_bGone != 0; }))
        Stop(pLabel);
}

void CEnemyB::Stop(CEnemyLabel* pLabel)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (!pParts)
        return;
    CEnemy::Stop(pLabel);
    for (int k = 0; k < PARTS; k++)
        pParts[k].m_bDead = 1;
}

// ---- Kind F ---------------------------------------------------------------------------------------

CEnemyF::CEnemyF(int nVariant) : CEnemyFormation(nVariant, PARTS) {}

int CEnemyF::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    LoadSlots(lpDevice, pszFolder, kSlotsF, 5);
    return 1;
}

int CEnemyF::GetBlock() const
{
    switch (m_nVariant) {
    case 1:
    case 3:
        return 0;
    case 2:
    case 4:
        return 1;
    case 5:
    case 7:
        return 2;
    case 6:
    case 8:
        return 3;
    default:
        return 4;
    }
}

void CEnemyF::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (!pParts)
        return;
    CEnemyPartB& part = pParts[UNIT];
    int nRow = 0;
    pLabel->GetCell(nullptr, &nRow);
    part.m_X.Set(-15.0f, 0.3f, -15.0f, 0.0f, 1);
    part.m_Angle.Set(kDiveStartAngle, 0.0f, 0.0f, 0.0f, 0);
    const int nBlock = GetBlock();
    const int w = m_nWidths[nBlock];
    if (IsRightward()) {
        part.m_vPos.x = -(float)(w / 2);
        part.SetFacing(0);
    } else {
        part.m_vPos.x = (float)(w / 2 + 640);
        part.SetFacing(1);
    }
    part.m_vPos.y = (float)(nRow * 64);
    part.m_vPos.z = 0.0f;
    part.m_vOrbit = part.m_vPos;
    part.m_bFired = 0;
    part.m_nState = CEnemyPartB::STATE_ENTER;
    part.m_dwStopDuration = kDiverStopMs;
    part.m_bGone = 0;
    part.m_Normal.Stop();
    part.m_Big.Stop();
    part.Begin(nBlock, m_Params[nBlock], w, m_nHeights[nBlock], 0);
    pLabel->m_bFinished = 0;
}

void CEnemyF::Update(CEnemyLabel* pLabel)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (pLabel->m_bFinished || !pParts)
        return;
    CEnemyPartB& part = pParts[UNIT];
    part.UpdateFlash();
    part.SetViewOffset(pLabel->GetOffsetY());
    D3DVECTOR& p = part.m_vPos;
    const BOOL bRight = IsRightward();
    const BOOL bDiver = m_nVariant == 0;
    // A destroyed unit still has to pass the removal test, or its label would never finish.
    if (!part.m_bDead) {
        if (part.m_nState == CEnemyPartB::STATE_STOP && (IsStoppedLonger(part, kDiverStopMs) || bDiver)) {
            if (bDiver) {
                D3DVECTOR t;
                pLabel->GetTargetPos(&t);
                part.m_Angle.fValue = std::atan2(-(t.y - p.y), t.x - p.x);
            }
            part.m_nState = CEnemyPartB::STATE_LEAVE;
        }
        if (part.m_nState != CEnemyPartB::STATE_STOP) {
            const float v = part.m_X.fValue;
            if (bDiver) {
                p.x -= std::cos(part.m_Angle.fValue) * v;
                p.y += std::sin(part.m_Angle.fValue) * v;
            } else if (bRight) {
                p.x -= v;
            } else {
                p.x += v;
            }
            part.m_X.Step();
        }
        if (part.m_nState == CEnemyPartB::STATE_ENTER) {
            BOOL bStop = 1;
            if (bDiver && p.x > 640.0f)
                p.x = (float)(part.m_nWidth / 2 + 640);
            else if (!bDiver && !bRight && p.x < ENEMY_FIRE_LINE_LEFT)
                p.x = ENEMY_FIRE_LINE_LEFT;
            else if (!bDiver && bRight && p.x > ENEMY_FIRE_LINE_RIGHT)
                p.x = ENEMY_FIRE_LINE_RIGHT;
            else
                bStop = 0;
            if (bStop) {
                part.m_X.Set(0.0f, -0.6f, -100.0f, 0.0f, 1);
                part.m_nState = CEnemyPartB::STATE_STOP;
                part.m_dwStopTime = Now();
            }
        }
        part.m_vOrbit = p;
    }
    const float w = (float)part.m_nWidth;
    if ((bRight && (p.x > 640.0f + w || part.m_nLife < 1)) || (!bRight && (p.x < -w || part.m_nLife < 1))) {
        part.Remove();
        part.m_bGone = 1;
        Stop(pLabel);
        return;
    }
    if (part.m_nState == CEnemyPartB::STATE_STOP && !part.m_bFired && IsStoppedLonger(part, kDiverFireAfterMs)) {
        if (m_nVariant == 2 || m_nVariant == 4) {
            part.m_bFired = 1;
            FireNormalAt(part.m_Normal, pLabel, p.x, p.y);
        } else if (m_nVariant == 6 || m_nVariant == 8) {
            part.m_bFired = 1;
            FireBigAt(part.m_Big, pLabel, p.x, p.y, p.z, part.m_fViewOffset);
        }
    }
}

// ---- Kind G ---------------------------------------------------------------------------------------

CEnemyG::CEnemyG(int nVariant) : CEnemyFormation(nVariant, PARTS)
{
    m_bWeapons = 0;
}

int CEnemyG::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    LoadSlots(lpDevice, pszFolder, kSlotsG, 3);
    return 1;
}

void CEnemyG::Drop(CEnemyLabel* pLabel, int i, float x, float y)
{
    CEnemyPartB& part = GetParts(pLabel)[i];
    part.m_vPos = D3DVECTOR{{x}, {y}, {0.0f}};
    part.m_vOrbit = part.m_vPos;
    part.m_X.Set(0.0f, 0.2f, 0.0f, 100.0f, 1);
    part.m_Angle.Set(kFallAngle, 0.0f, 0.0f, 0.0f, 0);
    part.SetFacing(m_nVariant == 7 ? 1 : 0);
    part.m_bDropped = 1;
    part.Begin(0, m_Params[0], m_nWidths[0], m_nHeights[0], 0);
}

void CEnemyG::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (!pParts)
        return;
    Stop(pLabel);
    int nRow = 0;
    pLabel->GetCell(nullptr, &nRow);
    if (m_nVariant >= 1 && m_nVariant <= 6) {
        const float y = 16.0f - (float)(m_nHeights[0] / 2) - pLabel->GetOffsetY();
        Drop(pLabel, m_nVariant - 1, 80.0f + 96.0f * (float)(m_nVariant - 1), y);
    } else if (m_nVariant == 7 || m_nVariant == 8) {
        for (int i = 0; i < FALLERS; i++)
            pParts[i].m_bDropped = 0;
        CEnemyPartB& carrier = pParts[CARRIER];
        carrier.m_X.Set(-7.0f, 0.0f, 0.0f, 0.0f, 0);
        const int w = m_nWidths[1];
        if (m_nVariant == 7) {
            carrier.m_vPos.x = (float)(w / 2 + 640);
            carrier.SetFacing(1);
        } else {
            carrier.m_vPos.x = -(float)(w / 2);
            carrier.SetFacing(0);
        }
        carrier.m_vPos.y = (float)(nRow * 64);
        carrier.m_vPos.z = 0.0f;
        carrier.m_vOrbit = carrier.m_vPos;
        carrier.Begin(1, m_Params[1], w, m_nHeights[1], 1);
    } else {
        CEnemyPartB& unit = pParts[CARRIER];
        unit.m_X.Set(-3.0f, 0.0f, 0.0f, 0.0f, 0);
        const float m = (float)std::max(m_nWidths[2], m_nHeights[2]);
        unit.m_vPos = D3DVECTOR{{m * 0.5f + 640.0f}, {-m * 0.5f}, {0.0f}};
        unit.m_vOrbit = unit.m_vPos;
        unit.SetFacing(1);
        unit.Begin(2, m_Params[2], m_nWidths[2], m_nHeights[2], 1);
    }
    pLabel->m_bFinished = 0;
}

void CEnemyG::UpdateFaller(CEnemyPartB& part)
{
    const float v = part.m_X.fValue;
    part.m_vPos.x += std::cos(part.m_Angle.fValue) * v;
    part.m_vPos.y -= std::sin(part.m_Angle.fValue) * v;
    part.m_X.Step();
    part.m_vOrbit = part.m_vPos;
    if (part.m_vPos.y > (float)(part.m_nHeight + 480) || part.m_nLife <= 0)
        part.Remove();
}

void CEnemyG::UpdateCarrier(CEnemyLabel* pLabel, CEnemyPartB& part)
{
    const BOOL bLeft = m_nVariant == 7;
    float& x = part.m_vPos.x;
    if (bLeft)
        x += part.m_X.fValue;
    else
        x -= part.m_X.fValue;
    part.m_X.Step();
    part.m_vOrbit = part.m_vPos;
    CEnemyPartB* pParts = GetParts(pLabel);
    for (int i = FALLERS - 1; i >= 0; i--) {
        const float fColumn = 80.0f + 96.0f * (float)i;
        if (pParts[i].m_bDropped)
            continue;
        if ((bLeft && x < fColumn) || (!bLeft && x >= fColumn))
            Drop(pLabel, i, fColumn, part.m_vPos.y);
    }
    const float w = (float)part.m_nWidth;
    if ((!bLeft && x > 640.0f + w) || (bLeft && x < -2.0f * w) || part.m_nLife <= 0)
        part.Remove();
}

void CEnemyG::UpdateDiagonal(CEnemyPartB& part)
{
    const float v = part.m_X.fValue;
    part.m_vPos.x += std::cos(kDiagonalAngle) * v;
    part.m_vPos.y -= std::sin(kDiagonalAngle) * v;
    part.m_vOrbit = part.m_vPos;
    if (part.m_vPos.x < -2.0f * (float)part.m_nWidth || part.m_nLife <= 0)
        part.Remove();
}

void CEnemyG::Update(CEnemyLabel* pLabel)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (pLabel->m_bFinished || !pParts)
        return;
    if (m_nVariant == 0) {
        if (!pParts[CARRIER].m_bDead)
            UpdateDiagonal(pParts[CARRIER]);
    } else {
        for (int i = 0; i < FALLERS; i++) {
            if (!pParts[i].m_bDead)
                UpdateFaller(pParts[i]);
        }
        if ((m_nVariant == 7 || m_nVariant == 8) && !pParts[CARRIER].m_bDead)
            UpdateCarrier(pLabel, pParts[CARRIER]);
    }
    BOOL bAlive = 0;
    for (int i = 0; i < PARTS; i++) {
        pParts[i].UpdateFlash();
        pParts[i].SetViewOffset(pLabel->GetOffsetY());
        bAlive = bAlive || !pParts[i].m_bDead;
    }
    if (!bAlive)
        Stop(pLabel);
}

void CEnemyG::Stop(CEnemyLabel* pLabel)
{
    CEnemyPartB* pParts = GetParts(pLabel);
    if (!pParts)
        return;
    CEnemy::Stop(pLabel);
    for (int i = 0; i < PARTS; i++)
        pParts[i].m_bDead = 1;
}
