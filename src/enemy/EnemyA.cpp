#include "enemy/EnemyA.h"

#include "enemy/EnemyLabel.h"

namespace {

const ENEMYSLOT kSlots[] = {
    {"EnemyA1.bmp", "ENEMY_A1-4"},
    {"EnemyA2.bmp", "ENEMY_A5-8"},
    {"EnemyA0.bmp", "ENEMY_A0"},
};

} // namespace

void FireNormalAt(CEBNormal& shot, CEnemyLabel* pLabel, float px, float py)
{
    shot.SetAngle(AimAngle(pLabel, px, py));
    shot.SetPosition(D3DVECTOR{{px}, {-py}, {0.0f}});
    shot.SetPlayerScroll((int)pLabel->GetPlayerScroll());
    shot.Fire();
}

void FireBigAt(CEBBigBullet& big, CEnemyLabel* pLabel, float px, float py, float pz, float fViewOffset)
{
    big.SetAngle(AimAngle(pLabel, px, py));
    big.SetPosition(D3DVECTOR{{px}, {fViewOffset - py + 16.0f}, {pz}});
    big.SetPlayerScroll((int)pLabel->GetPlayerScroll());
    big.Fire();
}

CEnemyA::CEnemyA(int nVariant) : CEnemy(nVariant)
{
    m_nFamily = ENEMY_FAMILY_A;
}

int CEnemyA::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    LoadSlots(lpDevice, pszFolder, kSlots, 3);
    return 1;
}

CEnemyPartA* CEnemyA::GetUsedPart(CEnemyLabel* pLabel)
{
    CEnemyPartA* pParts = pLabel->GetParts<CEnemyPartA>(ENEMY_FAMILY_A);
    return pParts ? &pParts[IsSecondSet() ? 1 : 0] : nullptr;
}

int CEnemyA::CreateParts(int, CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartA>(ENEMY_FAMILY_A, PARTS);
}

int CEnemyA::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char*)
{
    CEnemyPartA* pPart = GetUsedPart(pLabel);
    if (!pPart)
        return 0;
    pPart->LoadEffects(lpDevice);
    pPart->m_Big.Load(lpDevice);
    pPart->m_Normal.SetGraphic(lpDevice, 0);
    return 1;
}

void CEnemyA::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartA* pPart = GetUsedPart(pLabel);
    if (!pPart)
        return;
    int nRow = 0;
    pLabel->GetCell(nullptr, &nRow);
    pPart->m_Y.Set(-2.5f, 0.2f, -2.5f, 2.5f, 1);
    pPart->m_X.Set(-5.25f, 0.0f, 0.0f, 0.0f, 0);
    const int nBlock = IsSecondSet() ? 1 : (m_nVariant == 0 ? 2 : 0);
    const int w = m_nWidths[nBlock];
    if (IsRightward()) {
        pPart->m_vPos.x = -(float)(w / 2);
        pPart->SetFacing(0);
    } else {
        pPart->m_vPos.x = (float)(w / 2 + 640);
        pPart->SetFacing(1);
    }
    pPart->m_vPos.y = (float)(nRow * 64);
    pPart->m_vPos.z = 0.0f;
    pPart->m_bFired = 0;
    pPart->m_Normal.Stop();
    pPart->m_Big.Stop();
    pPart->Begin(nBlock, m_Params[nBlock], w, m_nHeights[nBlock], IsSecondSet() ? 1 : 0);
    pLabel->m_bFinished = 0;
}

void CEnemyA::Update(CEnemyLabel* pLabel)
{
    CEnemyPartA* pPart = GetUsedPart(pLabel);
    if (pLabel->m_bFinished || !pPart)
        return;
    pPart->UpdateFlash();
    pPart->SetViewOffset(pLabel->GetOffsetY());
    D3DVECTOR& p = pPart->m_vPos;
    if (IsRightward())
        p.x -= pPart->m_X.fValue;
    else
        p.x += pPart->m_X.fValue;
    if (IsUpward())
        p.y -= pPart->m_Y.fValue;
    else
        p.y += pPart->m_Y.fValue;
    pPart->m_X.Step();
    pPart->m_Y.Step();
    if (pPart->m_Y.nReached) {
        pPart->m_Y.fStep = -pPart->m_Y.fStep;
        pPart->m_Y.nReached = 0;
    }
    const BOOL bRight = IsRightward();
    if (!pPart->m_bDead && !pPart->m_bFired &&
        ((!bRight && p.x < ENEMY_FIRE_LINE_LEFT) || (bRight && p.x > ENEMY_FIRE_LINE_RIGHT))) {
        pPart->m_bFired = 1;
        if (IsSecondSet())
            FireBigAt(pPart->m_Big, pLabel, p.x, p.y, p.z, pPart->m_fViewOffset);
        else if (m_nVariant != 0)
            FireNormalAt(pPart->m_Normal, pLabel, p.x, p.y);
    }
    const float w = (float)pPart->m_nWidth;
    if ((bRight && p.x > 640.0f + w) || (!bRight && p.x < -2.0f * w) || pPart->m_nLife <= 0) {
        pPart->Remove();
        Stop(pLabel);
    }
}

void CEnemyA::Stop(CEnemyLabel* pLabel)
{
    CEnemyPartA* pPart = GetUsedPart(pLabel);
    if (!pPart)
        return;
    CCrushableSet::Unregister(pPart);
    if (pPart->m_nLife > 0)
        pPart->ReleaseExplosions();
    pLabel->m_bFinished = 1;
}

int CEnemyA::Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float)
{
    CEnemyPartA* pPart = GetUsedPart(pLabel);
    if (pLabel->m_bFinished || !pPart || !lpTarget)
        return 0;
    DrawPart(lpTarget, pPart);
    return 1;
}
