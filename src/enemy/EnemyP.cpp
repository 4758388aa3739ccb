#include "enemy/EnemyP.h"

#include "enemy/EnemyLabel.h"

namespace {

const ENEMYSLOT kSlots[] = {
    {"P1.bmp", "ENEMY_P1"},
    {"P2.bmp", "ENEMY_P2"},
};
const float kCrawlSpeed = -1.5f;
const int kPowerKinds[] = {2, 4};

} // namespace

void CEnemyPartP::DropItem()
{
    m_Power.Start();
    m_Power.SetPosition(D3DVECTOR{{m_vPos.x}, {m_vPos.y + m_fViewOffset}, {0.0f}});
}

CEnemyP::CEnemyP(int nVariant) : CEnemy(nVariant)
{
    m_nFamily = ENEMY_FAMILY_P;
}

int CEnemyP::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    LoadSlots(lpDevice, pszFolder, kSlots, 2);
    return 1;
}

int CEnemyP::CreateParts(int, CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartP>(ENEMY_FAMILY_P, 1);
}

CEnemyPartP* CEnemyP::GetUnit(CEnemyLabel* pLabel)
{
    return pLabel->GetParts<CEnemyPartP>(ENEMY_FAMILY_P);
}

int CEnemyP::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char*)
{
    CEnemyPartP* pPart = GetUnit(pLabel);
    if (!pPart)
        return 0;
    pPart->LoadEffects(lpDevice);
    pPart->m_Power.Load(lpDevice);
    return 1;
}

void CEnemyP::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartP* pPart = GetUnit(pLabel);
    if (!pPart)
        return;
    const int nBlock = m_nVariant == 2 ? 1 : 0;
    int nRow = 0;
    pLabel->GetCell(nullptr, &nRow);
    const int w = m_nWidths[nBlock];
    pPart->m_vPos = D3DVECTOR{{(float)(w / 2 + 640)}, {(float)(nRow * 64)}, {0.0f}};
    pPart->SetFacing(1);
    pPart->m_X.SetConstant(kCrawlSpeed);
    pPart->m_Power.SetKind(kPowerKinds[nBlock]);
    pPart->Begin(nBlock, m_Params[nBlock], w, m_nHeights[nBlock], 0);
    pLabel->m_bFinished = 0;
}

void CEnemyP::Update(CEnemyLabel* pLabel)
{
    CEnemyPartP* pPart = GetUnit(pLabel);
    if (pLabel->m_bFinished || !pPart)
        return;
    pPart->UpdateFlash();
    pPart->SetViewOffset(pLabel->GetOffsetY());
    pPart->m_vPos.x += pPart->m_X.fValue;
    pPart->m_X.Step();
    if (pPart->m_vPos.x < -2.0f * (float)pPart->m_nWidth || pPart->m_nLife < 1) {
        pPart->Remove();
        Stop(pLabel);
    }
}
