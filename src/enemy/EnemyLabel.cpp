#include "enemy/EnemyLabel.h"

#include "engine/Log.h"
#include "enemy/Enemy.h"
#include "rvm/Heap.h"

void* AllocEnemyPartBlock(size_t nBytes)
{
    return EnemyHeapAlloc(nBytes);
}

void FreeEnemyPartBlock(void* p)
{
    EnemyHeapFree(p);
}

CEnemyLabel::CEnemyLabel()
{
    m_bFinished = 1;
}

CEnemyLabel::~CEnemyLabel()
{
    if (m_pEnemy)
        m_pEnemy->Stop(this);
    for (int i = 0; i < ENEMY_FAMILY_NUM; i++)
        DestroyParts(i);
}

CEnemy* CEnemyLabel::GetKind()
{
    WriteAssertLog(m_pEnemy != nullptr, __LINE__, __FILE__, "m_pEnemy");
    return m_pEnemy;
}

void CEnemyLabel::DestroyParts(int nFamily)
{
    ENEMYPARTS& parts = m_Parts[nFamily];
    if (!parts.pBlock)
        return;
    parts.pfnDestroy(parts.pBlock, parts.nCount);
    FreeEnemyPartBlock(parts.pBlock);
    parts = ENEMYPARTS();
}

void CEnemyLabel::SetTarget(const D3DVECTOR* pPos)
{
    m_vTarget = *pPos;
}

D3DVECTOR* CEnemyLabel::GetTargetPos(D3DVECTOR* pOut)
{
    pOut->x = m_vTarget.x;
    pOut->y = m_vTarget.y + GetOffsetY();
    pOut->z = m_vTarget.z;
    return pOut;
}

void CEnemyLabel::CreateParts(int nValue)
{
    if (CEnemy* pKind = GetKind())
        pKind->CreateParts(nValue, this);
}

void CEnemyLabel::OnTimeOut()
{
    if (CEnemy* pKind = GetKind())
        pKind->OnTimeOut(this);
}

int CEnemyLabel::Setup(IDirect3DDevice7* lpDevice, const char* pszValue)
{
    CEnemy* pKind = GetKind();
    return pKind ? pKind->SetupWeapons(lpDevice, this, pszValue) : 0;
}

void CEnemyLabel::Release()
{
    if (CEnemy* pKind = GetKind())
        pKind->DestroyParts(this);
}

void CEnemyLabel::Spawn()
{
    if (CEnemy* pKind = GetKind())
        pKind->Spawn(this);
}

void CEnemyLabel::Update()
{
    if (CEnemy* pKind = GetKind())
        pKind->Update(this);
}

void CEnemyLabel::Stop()
{
    if (CEnemy* pKind = GetKind())
        pKind->Stop(this);
}

int CEnemyLabel::Draw2D(IDirectDrawSurface7* lpTarget)
{
    CEnemy* pKind = GetKind();
    return pKind ? pKind->Draw(lpTarget, this, GetOffsetY()) : 0;
}

int CEnemyLabel::Draw3D(IDirect3DDevice7*)
{
    CEnemy* pKind = GetKind();
    return pKind ? pKind->DrawExtra(0, this) : 0;
}
