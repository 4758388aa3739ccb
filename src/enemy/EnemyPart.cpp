#include "enemy/EnemyPart.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "engine/AppTimer.h"
#include "engine/DebugOut.h"
#include "engine/KeyRecorder.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "stage/Stage.h"

const float g_fBurstOffset[ENEMYPART_EXPLOSIONS][2] = {
    {0.0f, 0.0f}, {40.0f, 0.0f}, {-40.0f, -40.0f}, {0.0f, 40.0f}, {0.0f, -40.0f},
};

namespace {

const float kItemLaunchSpeed = -2.5f;
const float kScoreRiseSpeed = 6.0f;
const float kScoreRiseDistance = 50.0f;
const DWORD kScoreHoldMs = 500;
const int kExplosionStyle = 2;

} // namespace

int SaturateScore(long long nPoints)
{
    return (int)std::clamp<long long>(nPoints, INT_MIN, INT_MAX);
}

CEnemyPart::CEnemyPart() = default;

CEnemyPart::~CEnemyPart()
{
    Hide();
    m_Score.Stop();
    ReleaseExplosions();
}

int CEnemyPart::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyPart(pStage, this) : 0;
}

int CEnemyPart::HitByPlayerBullet(CStage* pStage, CCrushable* pAttacker)
{
    if (m_bDead || !pAttacker || pAttacker->m_nCategory != CRUSH_PLAYER_BULLET)
        return 0;
    const int nResult = pAttacker->HitByEnemyPart(pStage, this);
    if (!nResult)
        return 0;
    PlaySoundFile(ENEMY_DAMAGE_WAVE);
    StartFlash();
    int nDamage = static_cast<IPlayerBullet*>(pAttacker)->GetPower();
    FilterDamage(&nDamage);
    if (pStage)
        pStage->AddScore(SaturateScore(10LL * std::min(nDamage, m_nLife)), 0);
    m_nLife = SaturateScore((long long)m_nLife - nDamage);
    if (m_nLife > 0)
        return nResult;
    if (pStage && pStage->IsReplay() && EndsOnRecordedScore())
        SetRecordedScore(pStage);
    else if (pStage)
        pStage->AddScore(m_Param.nScore, 0);
    Kill();
    return nResult;
}

// The replay's recorded total less the bonuses the tally is about to add, so the replay ends on
// what it recorded. Never below zero; a score that differs from the one played up to here means the
// replay has drifted, which is worth a line in the log.
void CEnemyPart::SetRecordedScore(CStage* pStage)
{
    int nLife = 0, nTime = 0, nTarget = 0;
    pStage->GetClearBonus(&nLife, &nTime, &nTarget);
    const long long nRecorded = CKeyRecorder::GetInstance()->GetScore();
    const int nScore = SaturateScore(std::max(0LL, nRecorded - nLife - nTime - nTarget));
    const long long nLive = (long long)pStage->GetScore() + m_Param.nScore;
    if (nLive != nScore) {
        char szText[128];
        snprintf(szText, sizeof(szText), "replay score %d differs from the played %lld\n", nScore, nLive);
        DebugOut(szText);
    }
    pStage->SetScore(m_Param.nScore, nScore);
}

D3DVECTOR* CEnemyPart::GetPos(D3DVECTOR* pOut)
{
    *pOut = m_vPos;
    return pOut;
}

D3DVECTOR* CEnemyPart::GetDrawPos(D3DVECTOR* pOut)
{
    D3DVECTOR v;
    GetPos(&v);
    pOut->x = v.x - (float)(m_nWidth / 2);
    pOut->y = v.y - (float)(m_nHeight / 2) - 16.0f + m_fViewOffset;
    pOut->z = 0.0f;
    return pOut;
}

// A boss's ratios come from Param.txt, which may make the box as wide as any number it holds.
void CEnemyPart::GetHitQuad(D3DVECTOR* pOut)
{
    const int sw = FloatToInt((float)m_nWidth * m_fScaleX);
    const int sh = FloatToInt((float)m_nHeight * m_fScaleY);
    D3DVECTOR d;
    GetDrawPos(&d);
    const int nLeft = FloatToInt(d.x + (float)(m_nWidth / 2) - (float)(sw / 2));
    const int nTop = FloatToInt(d.y + (float)(m_nHeight / 2) - (float)(sh / 2) + 16.0f);
    const float l = (float)nLeft, t = (float)nTop, r = (float)(nLeft + sw), b = (float)(nTop + sh);
    pOut[0] = D3DVECTOR{{l}, {t}, {0.0f}};
    pOut[1] = D3DVECTOR{{r}, {t}, {0.0f}};
    pOut[2] = D3DVECTOR{{r}, {b}, {0.0f}};
    pOut[3] = D3DVECTOR{{l}, {b}, {0.0f}};
}

RECT* CEnemyPart::GetHitRect(RECT* pOut)
{
    D3DVECTOR q[4];
    GetHitQuad(q);
    pOut->left = (LONG)q[0].x;
    pOut->top = (LONG)q[0].y;
    pOut->right = (LONG)q[2].x;
    pOut->bottom = (LONG)q[2].y;
    return pOut;
}

// An explosion the pool could not give counts as done, so a dying part never waits forever.
BOOL CEnemyPart::IsLastExplosionDone()
{
    return !m_pLastBurst || (m_pLastBurst->m_bIdle && m_pLastBurst->m_bFinished);
}

int CEnemyPart::Die()
{
    if (!m_bDead)
        return 0;
    for (CExpBombScrollRef& ref : m_Explosions) {
        if (ref.m_pElement)
            ref.m_pElement->SetScrollPos(m_fScrollSpeed);
    }
    if (IsLastExplosionDone()) {
        ShowScore();
        Hide();
    }
    return 1;
}

void CEnemyPart::OnScrollTick()
{
    if (m_Param.nBigDeath)
        Die();
    else
        Hide();
}

void CEnemyPart::Show()
{
    CScrollableSet::Register(this);
    CShowableSet::Register(this, 1);
}

void CEnemyPart::Hide()
{
    CScrollableSet::Unregister(this);
    CShowableSet::Unregister(this, 1);
}

void CEnemyPart::Explode()
{
    const int n = m_Param.nBigDeath ? ENEMYPART_EXPLOSIONS : 1;
    D3DVECTOR v;
    GetPos(&v);
    m_pLastBurst = nullptr;
    for (int i = 0; i < n; i++) {
        CExpBombScroll* p = m_Explosions[i].Get();
        if (!p)
            continue;
        m_Explosions[i].Explode(v.x + g_fBurstOffset[i][0], -v.y - m_fViewOffset - g_fBurstOffset[i][1],
                                (DWORD)(ENEMYPART_BURST_DELAY * i));
        if (i == n - 1)
            m_pLastBurst = p;
    }
    DropItem();
    if (!m_Param.nBigDeath)
        ShowScore();
    CCrushableSet::Unregister(this);
}

void CEnemyPart::Kill()
{
    Explode();
    Show();
    m_bDead = 1;
}

void CEnemyPart::ShowScore()
{
    D3DVECTOR v;
    GetPos(&v);
    m_Score.m_fX = v.x;
    m_Score.m_fY = v.y + m_fViewOffset + 60.0f;
    m_Score.m_fZ = v.z;
    m_Score.SetNumber(m_Param.nScore);
    m_Score.Start(kScoreRiseSpeed, kScoreRiseDistance, kScoreHoldMs);
}

void CEnemyPart::DropItem()
{
    D3DVECTOR v;
    GetPos(&v);
    CItemGun* pItem = m_Item.Alloc();
    if (!pItem)
        return;
    pItem->SetKind(m_nItemKind);
    pItem->SetPosition(D3DVECTOR{{v.x > 640.0f ? 639.0f : v.x}, {v.y + m_fViewOffset}, {0.0f}});
    pItem->Start(kItemLaunchSpeed, 0.0f);
}

BOOL CEnemyPart::Draw(IDirectDrawSurface7* lpSurface)
{
    if (!m_lpRemembered || !lpSurface)
        return 1;
    D3DVECTOR d;
    GetDrawPos(&d);
    const int x = (int)d.x, y = (int)d.y;
    if (x + m_nWidth <= -1 || x >= 640 || y + m_nHeight <= -1 || y >= 480)
        return 1;
    RECT rcSrc, rcDst;
    GetClippedBltRects(x, y, m_nWidth, m_nHeight, &rcSrc, &rcDst);
    return BltOk(lpSurface, &rcDst, m_lpRemembered, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

void CEnemyPart::LoadEffects(IDirect3DDevice7*)
{
    const int n = m_Param.nBigDeath ? ENEMYPART_EXPLOSIONS : 1;
    for (int i = 0; i < n; i++)
        m_Explosions[i].m_nStyle = kExplosionStyle;
}

void CEnemyPart::ReleaseExplosions()
{
    for (CExpBombScrollRef& ref : m_Explosions)
        ref.Release();
}

void CEnemyPart::SetFacing(int nDirection)
{
    if (nDirection == 0)
        m_dwDrawFlags |= 1u;
    else
        m_dwDrawFlags &= ~1u;
}

int CEnemyPart::GetImageKind()
{
    int nKind = (int)m_dwDrawFlags;
    if (m_Flash.IsFlashing() && !CAppTimer::IsPaused(0))
        nKind += CDSurfaceEx::IMAGE_FLASH;
    return nKind;
}

IDirectDrawSurface7* CEnemyPart::SelectImage(const CDSurfaceEx& slot)
{
    m_lpRemembered = slot.GetImage(GetImageKind() & ~CDSurfaceEx::IMAGE_FLASH);
    return m_lpRemembered;
}

void CEnemyPart::Begin(int nBlock, const ENEMYPARAM& param, int nWidth, int nHeight, int nItemKind)
{
    // A part still bursting from its last appearance lets that go first.
    if (IsDying()) {
        Hide();
        ReleaseExplosions();
    }
    m_nBlock = nBlock;
    m_Param = param;
    // The styles follow the block, which the part only learns here.
    LoadEffects(nullptr);
    m_nLife = param.nLife;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nItemKind = nItemKind;
    m_pLastBurst = nullptr;
    m_bDead = 0;
    CCrushableSet::Register(this);
}

void CEnemyPart::Remove()
{
    m_bDead = 1;
    CCrushableSet::Unregister(this);
    if (m_nLife > 0)
        ReleaseExplosions();
}
