#include "NewcomerRider.h"

#include <cmath>

#include "enemy/EnemyBoss.h"
#include "scene/Game.h"
#include "stage/CrushableSet.h"
#include "stage/Neighbours.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"
#include "stage/Stage.h"

namespace {

const float kScreenRight = 640.0f;
// She looks this far ahead, never past the screen's edge.
const float kLookAhead = 420.0f;
// Her damage box's centre is this far above her point; she rides with her wheels at her point.
const float kHeartRise = 40.0f;
// A block stands in her way when it covers this band above her point; ground up to a step higher
// than her wheels carries her on (a slope, a landing).
const float kBandTop = 55.0f, kBandBottom = 6.0f;
const float kStepUp = 24.0f;
// Where a newcomer keeps on the road: somewhere left of the middle.
const float kKeepFrom = 190.0f, kKeepSpan = 120.0f, kKeepSlack = 18.0f;
// A boss further right than the screen's edge has not come yet.
const float kBossInView = 660.0f;

bool IsGone(CObjectLabel* pLabel, HITQUAD* pQuad)
{
    if (pLabel->IsFinished())
        return true;
    pLabel->GetQuad(pQuad);
    return pQuad->v[1].x - pQuad->v[0].x < 1.0f;
}

// Some ground, a platform or a slope under the point's column, no lower than the screen shows;
// something higher than a step over her wheels (a platform a cell up) is no ground to ride on.
bool HasGroundBelow(CGame& game, float x, float y)
{
    for (CObjectLabel* pLabel : game.GetStage().GetLayerList(STAGE_MAIN_LAYER)) {
        HITQUAD q;
        if (IsGone(pLabel, &q) || (pLabel->GetAttribute() & OBJATTR_NOTOUCH))
            continue;
        if (x < q.v[0].x || x > q.v[1].x || q.v[0].x >= kScreenRight)
            continue;
        if (pLabel->TopYAtX(x) >= y - kStepUp)
            return true;
    }
    return false;
}

} // namespace

CNewcomerRider::CNewcomerRider(uint32_t nSeed) : m_nRandom(nSeed * 2654435761u + 12345u)
{
    m_fKeepX = kKeepFrom + (float)Random((int)kKeepSpan);
    m_nWallTicks = 7 + Random(6);
    m_nGapTicks = 3 + Random(5);
}

int CNewcomerRider::Random(int n)
{
    m_nRandom = m_nRandom * 1103515245u + 12345u;
    return n > 0 ? (int)((m_nRandom >> 16) % (uint32_t)n) : 0;
}

CNewcomerRider::SIGHT CNewcomerRider::Look(CGame& game, float x, float y) const
{
    SIGHT s;
    for (CObjectLabel* pLabel : game.GetStage().GetLayerList(STAGE_MAIN_LAYER)) {
        HITQUAD q;
        if (IsGone(pLabel, &q))
            continue;
        const float fLeft = q.v[0].x;
        const float fAhead = fLeft - x;
        if (fLeft >= kScreenRight || q.v[1].x < x || fAhead > kLookAhead)
            continue;
        const DWORD dwAttr = pLabel->GetAttribute();
        if (dwAttr & OBJATTR_NOTOUCH) {
            HITQUAD box;
            pLabel->GetBoxQuad(&box);
            const float fHeart = y - kHeartRise;
            if ((dwAttr & OBJATTR_DAMAGE) && fAhead > 0.0f && box.v[0].y <= fHeart && box.v[2].y >= fHeart &&
                (s.fHazard == 0.0f || fAhead < s.fHazard))
                s.fHazard = fAhead;
            continue;
        }
        if (dwAttr & (OBJATTR_RIDEON | OBJATTR_SLOPE))
            continue;
        const float fTop = q.v[0].y, fBottom = q.v[2].y;
        if (fAhead > -2.0f && fTop < y - kBandBottom && fBottom > y - kBandTop && (s.fWall == 0.0f || fAhead < s.fWall)) {
            s.fWall = std::fmax(fAhead, 0.01f);
            s.fWallTop = y + 5.0f - fTop;
        }
    }
    for (float fAhead = 4.0f; fAhead <= kLookAhead && x + fAhead < kScreenRight - 4.0f; fAhead += 4.0f) {
        if (!HasGroundBelow(game, x + fAhead, y)) {
            s.fGap = fAhead;
            break;
        }
    }
    for (int i = 0; i < CRUSHABLE_MAX; i++) {
        CCrushable* pObj = CCrushableSet::GetAt(CRUSH_ENEMY_PART, i);
        IEnemyPart* pPart = pObj ? pObj->GetEnemyPart() : nullptr;
        if (!pPart || pPart->IsDead())
            continue;
        D3DVECTOR p = {};
        pPart->GetPos(&p);
        if (p.x < 0.0f || p.x > kScreenRight)
            continue;
        const float dx = p.x - x, dy = y - 50.0f - p.y;
        if (dx > 0.0f && dx < kLookAhead && p.y > y - 70.0f && p.y < y + 10.0f && (s.fCrawler == 0.0f || dx < s.fCrawler))
            s.fCrawler = dx;
        s.bEnemyAbove = s.bEnemyAbove || (dx > 0.0f && dx < 450.0f && dy > 80.0f && dy > dx * 0.5f);
    }
    for (int i = 0; i < CRUSHABLE_MAX; i++) {
        auto* pShot = static_cast<IEnemyBullet*>(CCrushableSet::GetAt(CRUSH_ENEMY_BULLET, i));
        if (!pShot)
            continue;
        D3DVECTOR q[4];
        pShot->GetHitQuad(q);
        const float cx = (q[0].x + q[2].x) * 0.5f, cy = (q[0].y + q[2].y) * 0.5f;
        const float dx = cx - x;
        s.bShot = s.bShot || (std::fabs(cy - (y - kHeartRise)) < 36.0f && dx > -50.0f && dx < 100.0f);
    }
    return s;
}

// A jump that is not for an edge would come down in the gap or the spikes ahead.
bool CNewcomerRider::IsEdgeInReach(const SIGHT& s, float fSpeed)
{
    const float fReach = 24.0f * (fSpeed + 2.0f) + 64.0f;
    return (s.fGap > 0.0f && s.fGap < fReach) || (s.fHazard > 0.0f && s.fHazard < fReach);
}

void CNewcomerRider::Jump(int nFrame, int nHold, bool bReach)
{
    // The key goes down at once when it was up on the pass before, else a pass later.
    m_nJumpFrom = nFrame > m_nJumpUntil ? nFrame : nFrame + 1;
    m_nJumpUntil = m_nJumpFrom + nHold;
    m_bReach = bReach;
    m_nWallTicks = 7 + Random(6);
    m_nGapTicks = 3 + Random(5);
}

RIDERKEYS CNewcomerRider::Steer(CGame& game, int nFrame)
{
    RIDERKEYS keys;
    D3DVECTOR v = {};
    game.GetPlayer().GetPosition(&v);
    CEnemyPartBoss* pBoss = CStageRider::FindBoss(game);
    const bool bAerial = (game.GetPlayer().GetState() & PLAYER_STATE_AERIAL) != 0;
    const bool bFight = pBoss && !pBoss->m_bDead && pBoss->m_vPos.x < kBossInView;
    if (bFight && bAerial)
        CStageRider::FightInFlight(*pBoss, v, &keys);
    else if (bFight)
        CStageRider::FightOnGround(*pBoss, v, &keys);
    Ride(game, nFrame, bFight, &keys);
    return keys;
}

void CNewcomerRider::Ride(CGame& game, int nFrame, bool bFight, RIDERKEYS* pKeys)
{
    D3DVECTOR v = {};
    game.GetPlayer().GetPosition(&v);
    const DWORD dwState = game.GetPlayer().GetState();
    pKeys->bShot = true;
    const SIGHT s = Look(game, v.x, v.y);
    if (!bFight) {
        pKeys->bRight = v.x < m_fKeepX - kKeepSlack;
        pKeys->bLeft = v.x > m_fKeepX + kKeepSlack;
        pKeys->bUp = s.bEnemyAbove;
    }
    const bool bOnGround = !(dwState & PLAYER_STATE_JUMP);
    const bool bHeld = nFrame >= m_nJumpFrom && nFrame < m_nJumpUntil;
    if (!bOnGround && m_bReach) {
        pKeys->bRight = true;
        pKeys->bLeft = false;
    }
    if (bOnGround && !bHeld)
        m_bReach = false;

    // Held back against something while she rides on.
    m_nStuckTicks = bOnGround && v.x < m_fLastX - 0.5f ? m_nStuckTicks + 1 : 0;
    m_fLastX = v.x;
    if (m_nDodgeCooldown > 0)
        m_nDodgeCooldown--;

    const float fSpeed = std::fmax(game.GetStage().GetStep(STAGE_MAIN_LAYER), 1.0f);
    if (bOnGround && !(dwState & PLAYER_STATE_AERIAL) && nFrame > m_nJumpUntil) {
        if (s.fGap > 0.0f && s.fGap / fSpeed <= (float)m_nGapTicks)
            Jump(nFrame, 18, true);
        else if (s.fHazard > 0.0f && s.fHazard / fSpeed <= (float)(m_nGapTicks + 1))
            Jump(nFrame, 18, true);
        else if (s.fWall > 0.0f && s.fWall / fSpeed <= (float)m_nWallTicks)
            Jump(nFrame, 16, false);
        else if (s.fCrawler > 0.0f && s.fCrawler / (fSpeed + 1.5f) <= (float)m_nWallTicks)
            Jump(nFrame, 16, false);
        else if (m_nStuckTicks >= 3)
            Jump(nFrame, 16, false);
        else if (s.bShot && m_nDodgeCooldown == 0 && !IsEdgeInReach(s, fSpeed)) {
            m_nDodgeCooldown = 40;
            if (Random(100) < 40)
                Jump(nFrame, 10 + Random(8), false);
        }
    }
    pKeys->bJump = nFrame >= m_nJumpFrom && nFrame < m_nJumpUntil;

    // The sub-weapon, a moment after the cockpit shows it ready.
    if (game.GetPlayer().GetCockpit().IsCharged()) {
        if (m_nSubAt < 0)
            m_nSubAt = nFrame + 10 + Random(50);
    } else {
        m_nSubAt = -1;
    }
    pKeys->bSub = m_nSubAt >= 0 && nFrame >= m_nSubAt && nFrame < m_nSubAt + 4;
}
