#include "enemy/EnemyJ.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "enemy/EnemyLabel.h"

namespace {

const ENEMYSLOT kSlots[] = {
    {"EnemyJ1.bmp", "ENEMY_J1-4"},
    {"EnemyJ2.bmp", "ENEMY_J5-8"},
};
const float kSlideSpeed = 8.0f;
const DWORD kHoverHeavyMs = 1500;
const DWORD kHoverLightMs = 1000;
const DWORD kShotMs = 50;
const DWORD kFirstShotMs = 500;

} // namespace

CEnemyJ::CEnemyJ(int nVariant) : CEnemy(nVariant)
{
    m_nFamily = ENEMY_FAMILY_J;
}

int CEnemyJ::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    LoadSlots(lpDevice, pszFolder, kSlots, 2);
    return 1;
}

int CEnemyJ::CreateParts(int, CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartJ>(ENEMY_FAMILY_J, PARTS);
}

CEnemyPartJ* CEnemyJ::GetUnit(CEnemyLabel* pLabel)
{
    CEnemyPartJ* pParts = pLabel->GetParts<CEnemyPartJ>(ENEMY_FAMILY_J);
    return pParts ? &pParts[IsSecondSet() ? 1 : 0] : nullptr;
}

int CEnemyJ::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char*)
{
    CEnemyPartJ* pPart = GetUnit(pLabel);
    if (!pPart)
        return 0;
    pPart->LoadEffects(lpDevice);
    if (IsSecondSet()) {
        for (CEBHiSpeed& shot : pPart->m_HiSpeed)
            shot.Setup(lpDevice, 0);
    }
    return 1;
}

void CEnemyJ::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartJ* pPart = GetUnit(pLabel);
    if (!pPart)
        return;
    CEnemyPartJ& part = *pPart;
    int nRow = 0;
    pLabel->GetCell(nullptr, &nRow);
    const int nBlock = IsSecondSet() ? 1 : 0;
    const int w = m_nWidths[nBlock], h = m_nHeights[nBlock];
    const float vo = pLabel->GetOffsetY();
    part.m_vPos.x = IsRightward() ? ENEMY_FIRE_LINE_RIGHT : ENEMY_FIRE_LINE_LEFT;
    part.SetFacing(IsRightward() ? 0 : 1);
    part.m_vPos.y = IsFromTop() ? 16.0f - vo - (float)(h / 2) : 16.0f - vo + (float)(h / 2) + 480.0f;
    part.m_vPos.z = 0.0f;
    // A picture 320 px wide or wider would leave no room to slide: it slides one pixel.
    const float t = std::max((float)(160 - w / 2), 1.0f);
    const float d = std::fabs((float)(nRow * 64) - part.m_vPos.y);
    part.m_X.Set(kSlideSpeed, -32.0f / t, 0.0f, kSlideSpeed, 1);
    part.m_Y.Set(4.0f * d / t, 0.0f, 0.0f, 4.0f * d / t, 1);
    part.m_dwHoverMs = IsSecondSet() ? kHoverHeavyMs : kHoverLightMs;
    part.m_dwShotMs = kShotMs;
    part.m_nShots = 0;
    part.m_nState = CEnemyPartJ::STATE_ENTER;
    for (CEBHiSpeed& shot : part.m_HiSpeed)
        shot.Stop();
    part.Begin(nBlock, m_Params[nBlock], w, h, IsSecondSet() ? 1 : 0);
    pLabel->m_bFinished = 0;
}

void CEnemyJ::Fire(CEnemyLabel* pLabel, CEnemyPartJ& part)
{
    const D3DVECTOR& p = part.m_vPos;
    const float vo = pLabel->GetOffsetY();
    // The target carries the view offset; the unit's own row does not.
    D3DVECTOR t;
    pLabel->GetTargetPos(&t);
    CEBHiSpeed& shot = part.m_HiSpeed[part.m_nShots];
    shot.SetAngle(std::atan2(-((t.y - p.y) - vo), t.x - p.x));
    shot.SetPosition(D3DVECTOR{{p.x}, {-(vo + p.y)}, {0.0f}});
    shot.SetPlayerScroll((int)pLabel->GetPlayerScroll());
    shot.Fire();
    part.m_nShots++;
    part.m_dwLastShot = Now();
}

void CEnemyJ::Update(CEnemyLabel* pLabel)
{
    CEnemyPartJ* pPart = GetUnit(pLabel);
    if (pLabel->m_bFinished || !pPart)
        return;
    CEnemyPartJ& part = *pPart;
    part.UpdateFlash();
    part.SetViewOffset(pLabel->GetOffsetY());
    const BOOL bRight = IsRightward();
    D3DVECTOR& p = part.m_vPos;
    p.x += bRight ? -part.m_X.fValue : part.m_X.fValue;
    p.y += IsFromTop() ? part.m_Y.fValue : -part.m_Y.fValue;
    part.m_X.Step();
    part.m_Y.Step();
    if (part.m_nState == CEnemyPartJ::STATE_ENTER && part.m_X.nReached) {
        int nRow = 0;
        pLabel->GetCell(nullptr, &nRow);
        part.m_Y.SetConstant(0.0f);
        p.y = (float)(nRow * 64);
        part.m_nState = CEnemyPartJ::STATE_HOVER;
        part.m_dwStateTime = Now();
        part.m_dwLastShot = part.m_dwStateTime;
    } else if (part.m_nState == CEnemyPartJ::STATE_HOVER) {
        const DWORD dwIn = Now() - part.m_dwStateTime;
        if (dwIn > part.m_dwHoverMs) {
            part.m_nState = CEnemyPartJ::STATE_LEAVE;
            part.m_X.Set(0.0f, -0.6f, -100.0f, 0.0f, 1);
        } else if (IsSecondSet() && !part.m_bDead && dwIn > kFirstShotMs && part.m_nShots < CEnemyPartJ::SHOTS &&
                   Now() - part.m_dwLastShot > part.m_dwShotMs) {
            Fire(pLabel, part);
        }
    }
    const float w = (float)part.m_nWidth;
    if ((bRight && p.x > 640.0f + w) || (!bRight && p.x < -2.0f * w) || part.m_nLife <= 0) {
        part.Remove();
        Stop(pLabel);
    }
}

int CEnemyJ::Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float)
{
    CEnemyPartJ* pPart = GetUnit(pLabel);
    if (pLabel->m_bFinished || !pPart || !lpTarget)
        return 0;
    DrawPart(lpTarget, pPart);
    return 1;
}
