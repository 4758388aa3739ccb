#include "StageRider.h"

#include <cmath>

#include "enemy/EnemyBoss.h"
#include "enemy/EnemyLabel.h"
#include "scene/Game.h"
#include "stage/Stage.h"

namespace {

// Where she keeps on the road: far enough from the left edge to have room to fall back, far
// enough from the right to see what comes.
const float kRideLeft = 280.0f, kRideRight = 360.0f, kDriftBack = 40.0f;
// Her gun's muzzle from her position: its height level, and where it is turned fully up (45
// degrees).
const float kLevelDy = -50.0f;
const float kUpDx = 42.0f, kUpDy = -76.0f;
// A boss further right than this is still coming in: she rides on until it is in reach.
const float kBossInReach = 700.0f;
// How near the boss's centre a level shot must pass to be worth it.
const float kLevelSlack = 18.0f;
// In the air she keeps this far to the left of the boss.
const float kFlightGap = 260.0f;
const float kFlightLeft = 60.0f;
const float kSlack = 3.0f;
enum { JUMP_FRAMES = 22, HELD_BACK_PASSES = 3 };
// A wall's top a cell over her wheels; she stands this far off what she touches.
const float kWallRise = 64.0f, kStandOff = 5.0f;

} // namespace

void CStageRider::Reset()
{
    *this = CStageRider();
}

RIDEOUT CStageRider::OutOf(CGame& game)
{
    if (game.GetStage().GetState() != STAGE_STATE_GAMEOVER)
        return RIDEOUT_NONE;
    D3DVECTOR v = {};
    game.GetPlayer().GetPosition(&v);
    if (game.GetPlayer().GetLife() <= 0)
        return RIDEOUT_SHOT;
    // Below the screen's foot she is falling, wherever across it she is.
    return v.y > STAGE_FALL_OUT_Y - 1.0f || v.y > 480.0f ? RIDEOUT_FELL : RIDEOUT_PUSHED;
}

const char* CStageRider::OutName(RIDEOUT eOut)
{
    static const char* const kNames[RIDEOUT_KINDS] = {"-", "pushed off", "fell", "shot down"};
    return eOut >= 0 && eOut < RIDEOUT_KINDS ? kNames[eOut] : "?";
}

CEnemyPartBoss* CStageRider::FindBoss(CGame& game)
{
    for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
        auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
        auto* pKind = pLabel ? dynamic_cast<CEnemyBoss*>(pLabel->m_pEnemy) : nullptr;
        if (pKind && !pLabel->IsFinished())
            return pKind->GetBody(pLabel);
    }
    return nullptr;
}

RIDERKEYS CStageRider::Steer(CGame& game, int nFrame)
{
    RIDERKEYS keys;
    D3DVECTOR v = {};
    game.GetPlayer().GetPosition(&v);
    CEnemyPartBoss* pBoss = FindBoss(game);
    if (pBoss && !pBoss->m_bDead && pBoss->m_vPos.x < kBossInReach) {
        if (game.GetPlayer().GetState() & PLAYER_STATE_AERIAL)
            FightInFlight(*pBoss, v, &keys);
        else
            FightOnGround(*pBoss, v, &keys);
        JumpWhenHeldUp(game, v, nFrame, &keys);
        keys.bSub = true;
        return keys;
    }
    Ride(game, v, nFrame, &keys);
    return keys;
}

void CStageRider::Ride(CGame& game, const D3DVECTOR& v, int nFrame, RIDERKEYS* pKeys)
{
    if (v.x < kRideLeft)
        m_bHeldRight = true;
    else if (v.x > kRideRight)
        m_bHeldRight = false;
    pKeys->bRight = m_bHeldRight;
    // Carried right by jumps over gaps, she drops back to her place.
    pKeys->bLeft = v.x > kRideRight + kDriftBack;
    pKeys->bShot = true;
    // Crates in her way come first: they push her off the screen.
    pKeys->bUp = !IsBlockedAhead(game, v) && IsEnemyAbove(game, v);
    pKeys->bSub = true;
    JumpWhenHeldUp(game, v, nFrame, pKeys);
}

void CStageRider::FightOnGround(CEnemyPartBoss& boss, const D3DVECTOR& v, RIDERKEYS* pKeys)
{
    pKeys->bShot = true;
    const float bx = boss.m_vPos.x, by = boss.m_vPos.y;
    const float fLevelY = v.y + kLevelDy;
    if (std::fabs(by - fLevelY) < kLevelSlack + (float)boss.m_nHeight * 0.15f) {
        // Straight at it, from a distance.
        MoveTowards(v.x, std::fmax(kFlightLeft, bx - kFlightGap), pKeys);
        return;
    }
    if (by < fLevelY) {
        // At 45 degrees: the muzzle as far left of it as it is below it.
        pKeys->bUp = true;
        const float fMuzzleY = v.y + kUpDy;
        MoveTowards(v.x, bx - kUpDx - (fMuzzleY - by), pKeys);
        return;
    }
    MoveTowards(v.x, std::fmax(kFlightLeft, bx - kFlightGap), pKeys);
}

void CStageRider::FightInFlight(CEnemyPartBoss& boss, const D3DVECTOR& v, RIDERKEYS* pKeys)
{
    pKeys->bShot = true;
    const float fMuzzleY = v.y + kLevelDy;
    if (boss.m_vPos.y < fMuzzleY - kSlack)
        pKeys->bUp = true;
    else if (boss.m_vPos.y > fMuzzleY + kSlack)
        pKeys->bDown = true;
    MoveTowards(v.x, std::fmax(kFlightLeft, boss.m_vPos.x - kFlightGap), pKeys);
}

void CStageRider::MoveTowards(float fFrom, float fTo, RIDERKEYS* pKeys)
{
    pKeys->bLeft = fFrom > fTo + kSlack;
    pKeys->bRight = fFrom < fTo - kSlack;
}

float CStageRider::WallTakeoff(float fSpeed, float fJump, float fGravity)
{
    // Her rise tick by tick, as the player moves: gravity first, then the move.
    float fRise = 0.0f, fUp = fJump;
    int nFirst = -1, nLast = -1;
    for (int t = 1; t < 200 && (fUp > 0.0f || fRise > 0.0f); t++) {
        fUp -= fGravity;
        fRise += fUp;
        if (fRise >= kWallRise) {
            nFirst = nFirst < 0 ? t : nFirst;
            nLast = t;
        }
    }
    const float fTicks = nFirst < 0 ? 0.0f : 0.5f * (float)(nFirst + nLast);
    // The key goes down a pass after she decides; she sees the wall up to a probe's step late.
    return fSpeed * (fTicks + 1.0f) + kStandOff + 4.0f;
}

void CStageRider::JumpWhenHeldUp(CGame& game, const D3DVECTOR& v, int nFrame, RIDERKEYS* pKeys)
{
    const DWORD dwState = game.GetPlayer().GetState();
    const bool bOnGround = !(dwState & PLAYER_STATE_JUMP);
    // Carried back on the ground while she does not steer back: something holds her.
    m_nHeldBack = bOnGround && !(dwState & PLAYER_STATE_AERIAL) && !pKeys->bLeft && v.x < m_fLastX - 0.5f
                      ? m_nHeldBack + 1
                      : 0;
    m_fLastX = v.x;
    if (dwState & PLAYER_STATE_AERIAL)
        return;
    const float fSpeed = std::fabs(game.GetStage().GetStep(STAGE_MAIN_LAYER));
    const CPlayer& player = game.GetPlayer();
    const float fLead = WallTakeoff(fSpeed, player.GetJumpSpeed(), player.GetGravity());
    const bool bGap = EdgeAhead(game.GetStage(), v, fLead) <= GapTakeoff(fSpeed);
    const bool bWall = ObstacleAhead(game, v) <= fLead;
    // A jump needs the key let go first: it goes down on the pass after.
    if ((bWall || bGap || m_nHeldBack >= HELD_BACK_PASSES) && bOnGround && nFrame >= m_nJumpUntil) {
        m_nJumpFrom = nFrame + 1;
        m_nJumpUntil = m_nJumpFrom + JUMP_FRAMES;
        m_bReach = bGap;
        m_bAtWall = bWall && !bGap;
        m_nHeldBack = 0;
    }
    pKeys->bJump = nFrame >= m_nJumpFrom && nFrame < m_nJumpUntil;
    // Over a gap she rides on as far as the jump carries.
    m_bReach = m_bReach && (!bOnGround || nFrame <= m_nJumpFrom);
    if (m_bReach) {
        pKeys->bRight = true;
        pKeys->bLeft = false;
    }
    // At a wall she does not fall back while she jumps: she would come down in front of it.
    m_bAtWall = m_bAtWall && nFrame < m_nJumpUntil;
    pKeys->bLeft = pKeys->bLeft && !m_bAtWall;
}

float CStageRider::ObstacleAhead(CGame& game, const D3DVECTOR& v)
{
    for (float fAhead = 16.0f; fAhead <= 320.0f; fAhead += 8.0f) {
        for (float fUp : {12.0f, 44.0f}) {
            CObjectLabel* pLabel = game.GetStage().GetMainLabelAt(D3DVECTOR{v.x + fAhead, v.y - fUp, 0.0f});
            if (pLabel && !pLabel->IsFinished() && (pLabel->GetAttribute() & OBJATTR_TOUCH))
                return fAhead;
        }
    }
    return 1000.0f;
}

bool CStageRider::IsEnemyAbove(CGame& game, const D3DVECTOR& v)
{
    for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
        auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
        for (int f = 0; pLabel && !pLabel->IsFinished() && f < ENEMY_FAMILY_NUM; f++) {
            for (int i = 0; i < pLabel->m_Parts[f].nCount; i++) {
                const CEnemyPart* pPart = pLabel->m_Parts[f].At(i);
                const float dx = pPart->m_vPos.x - v.x, dy = v.y + kLevelDy - pPart->m_vPos.y;
                if (!pPart->m_bDead && dx > 0.0f && dx < 500.0f && dy > 60.0f && dy > dx * 0.5f)
                    return true;
            }
        }
    }
    return false;
}

float CStageRider::EdgeAhead(CStage& stage, const D3DVECTOR& v, float fMax)
{
    for (float fAhead = 8.0f; fAhead <= fMax; fAhead += 8.0f) {
        // Water, signs and the like are no ground.
        CObjectLabel* pLabel = stage.GetMainLabelAt(D3DVECTOR{v.x + fAhead, v.y + 24.0f, 0.0f});
        if (!pLabel || pLabel->IsFinished() || (pLabel->GetAttribute() & OBJATTR_NOTOUCH))
            return fAhead;
    }
    return 1000.0f;
}

// Something solid in her line of fire not far ahead.
bool CStageRider::IsBlockedAhead(CGame& game, const D3DVECTOR& v)
{
    for (float fAhead = 60.0f; fAhead <= 360.0f; fAhead += 30.0f) {
        CObjectLabel* pLabel = game.GetStage().GetMainLabelAt(D3DVECTOR{v.x + fAhead, v.y + kLevelDy, 0.0f});
        if (pLabel && !pLabel->IsFinished() && (pLabel->GetAttribute() & OBJATTR_TOUCH))
            return true;
    }
    return false;
}
