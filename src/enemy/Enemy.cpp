#include "enemy/Enemy.h"

#include <cmath>
#include <cstdio>

#include "engine/Param.h"
#include "engine/SurfaceUtil.h"
#include "enemy/EnemyLabel.h"

CEnemy::CEnemy(int nVariant) : CObject("00"), m_nVariant(nVariant) {}

CEnemy::~CEnemy()
{
    CEnemy::Release();
}

void CEnemy::Release()
{
    for (CDSurfaceEx& picture : m_Pictures)
        picture.Release();
}

int CEnemy::Load(IDirect3DDevice7*, const char*)
{
    return 0;
}

void CEnemy::ReadParamBlock(const char* pszKey, ENEMYPARAM* pBlock)
{
    if (!pBlock)
        return;
    pBlock->nLife = GetParamIntOrMax(pszKey, 0);
    pBlock->nValue1 = GetParamIntOrMax(pszKey, 1);
    pBlock->nValue2 = GetParamIntOrMax(pszKey, 2);
    pBlock->nScore = GetParamIntOrMax(pszKey, 3);
    pBlock->nBigDeath = GetParamIntOrMax(pszKey, 4) == 1 ? 1 : 0;
}

int CEnemy::LoadSlot(IDirect3DDevice7* lpDevice, const char* pszFolder, int nSlot, const ENEMYSLOT& slot)
{
    char szPath[MAX_PATH];
    snprintf(szPath, sizeof(szPath), "%s%s", pszFolder, slot.pszBitmap);
    CDSurfaceEx& picture = m_Pictures[nSlot];
    if (!picture.LoadFromFile(lpDevice, szPath, nullptr, 0))
        return 0;
    picture.SetColorKeyGreen();
    picture.GetSize(&m_nWidths[nSlot], &m_nHeights[nSlot]);
    if (slot.pszKey)
        ReadParamBlock(slot.pszKey, &m_Params[nSlot]);
    return 1;
}

void CEnemy::LoadSlots(IDirect3DDevice7* lpDevice, const char* pszFolder, const ENEMYSLOT* pSlots, int nCount)
{
    Release();
    for (int i = 0; i < nCount; i++)
        LoadSlot(lpDevice, pszFolder, i, pSlots[i]);
}

CEnemyPart* CEnemy::GetPart(CEnemyLabel* pLabel, int i)
{
    const ENEMYPARTS& parts = pLabel->m_Parts[m_nFamily];
    return parts.pFirst && i < parts.nCount ? parts.At(i) : nullptr;
}

int CEnemy::GetPartCount(CEnemyLabel* pLabel)
{
    return pLabel->m_Parts[m_nFamily].nCount;
}

void CEnemy::DestroyParts(CEnemyLabel* pLabel)
{
    pLabel->DestroyParts(m_nFamily);
}

void CEnemy::Stop(CEnemyLabel* pLabel)
{
    const int n = GetPartCount(pLabel);
    if (n == 0)
        return;
    for (int i = 0; i < n; i++) {
        CEnemyPart* pPart = GetPart(pLabel, i);
        CCrushableSet::Unregister(pPart);
        // A destroyed part's burst runs on: its explosions may still wait for their delays.
        if (pPart->m_nLife > 0)
            pPart->ReleaseExplosions();
    }
    pLabel->m_bFinished = 1;
}

int CEnemy::DrawPart(IDirectDrawSurface7* lpTarget, CEnemyPart* pPart)
{
    if (pPart->m_bDead || (unsigned)pPart->m_nBlock >= ENEMY_SLOT_MAX)
        return 1;
    const int w = m_nWidths[pPart->m_nBlock], h = m_nHeights[pPart->m_nBlock];
    D3DVECTOR d;
    pPart->GetDrawPos(&d);
    const int x = (int)d.x, y = (int)d.y;
    if (x + w <= -1 || x >= 640 || y + h <= -1 || y >= 480)
        return 1;
    const CDSurfaceEx& slot = m_Pictures[pPart->m_nBlock];
    IDirectDrawSurface7* lpImage = slot.GetImage(pPart->GetImageKind());
    pPart->SelectImage(slot);
    if (!lpImage)
        return 1;
    RECT rcSrc, rcDst;
    GetClippedBltRects(x, y, w, h, &rcSrc, &rcDst);
    return BltOk(lpTarget, &rcDst, lpImage, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

int CEnemy::Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float)
{
    if (pLabel->m_bFinished || !lpTarget)
        return 0;
    const int n = GetPartCount(pLabel);
    for (int i = 0; i < n; i++)
        DrawPart(lpTarget, GetPart(pLabel, i));
    return 1;
}

float AimAngle(CEnemyLabel* pLabel, float px, float py)
{
    D3DVECTOR t;
    pLabel->GetTargetPos(&t);
    return std::atan2(-(t.y - py), t.x - px);
}
