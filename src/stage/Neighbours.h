// What the stage needs of the player, enemy and explosion classes, which live in their own
// libraries. Until those are built, the classes below are the least the stage calls on them: the
// names, fields and calls the stage uses, with no behaviour of their own beyond storing what they
// are given. The player, enemy and bullet libraries replace them.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/win/WinTypes.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"
#include "stage/StagePlayer.h"

class CStage;

// A live, hittable piece of a placed enemy.
class CEnemyPart : public CCrushable {
public:
    CEnemyPart() : CCrushable(CRUSH_ENEMY_PART) {}
    CEnemyPart* GetEnemyPart() override { return this; }
    D3DVECTOR* GetPos(D3DVECTOR* pOut) const
    {
        *pOut = m_vPos;
        return pOut;
    }

    // The four corners of its hit box in screen pixels (top-left, top-right, bottom-right,
    // bottom-left); the stand-in has none.
    virtual void GetHitQuad(D3DVECTOR* pOut /*[4]*/)
    {
        for (int i = 0; i < 4; i++)
            pOut[i] = D3DVECTOR{};
    }

    // Non-zero while the part is not in play.
    BOOL m_bInactive = 1;
    D3DVECTOR m_vPos{};
};

// What a player bullet asks of an enemy bullet that it meets: the enemy-bullet base implements it.
class IEnemyBullet : public CCrushable {
public:
    IEnemyBullet() : CCrushable(CRUSH_ENEMY_BULLET) {}
    // The four corners of its hit box in screen pixels, as GetHitQuad of the parts.
    virtual void GetHitQuad(D3DVECTOR* pOut /*[4]*/) = 0;
};

// What a label asks of a player bullet that hits it: the player library's guns implement it.
class IPlayerBullet : public CCrushable {
public:
    IPlayerBullet() : CCrushable(CRUSH_PLAYER_BULLET) {}
    // The power of one bullet, taken off a label's durability.
    virtual int GetPower() = 0;
};

// The explosion that scrolls with the stage. Stand-in: it records what the label asks of it; it
// neither plays nor runs out by itself.
class CExpBombScroll {
public:
    virtual ~CExpBombScroll() = default;
    // The per-instance load; nothing to load.
    int Load(IDirect3DDevice7*) { return 1; }
    void Start(DWORD dwDelay)
    {
        m_dwDelay = dwDelay;
        m_bFinished = 0;
        m_bIdle = 0;
    }
    // Explosion coordinates: y upward.
    void SetPosition(float x, float y)
    {
        m_vPos.x = x;
        m_vPos.y = y;
        m_vPos.z = 0.0f;
    }

    D3DVECTOR m_vDrift{};
    D3DVECTOR m_vPos{};
    int m_nStyle = 0;
    DWORD m_dwDelay = 0;
    BOOL m_bIdle = 1;
    BOOL m_bFinished = 0;
};

// The large explosion style (style 2).
inline void SetExpBombStyle2(CExpBombScroll* pExp)
{
    pExp->m_nStyle = 2;
}

// Offsets of the five-explosion burst, shared by the explosion classes.
inline constexpr float g_vExpBurstOffset[5][3] = {
    {0.0f, 0.0f, 0.0f}, {40.0f, 0.0f, 0.0f}, {-40.0f, -40.0f, 0.0f}, {0.0f, 40.0f, 0.0f}, {0.0f, -40.0f, 0.0f},
};

// A circle-of-stars burst. Stand-in: it records where and that it was started.
class CExpStarCir {
public:
    virtual ~CExpStarCir() = default;
    virtual void Start() { m_nStarts++; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;
    int m_nStarts = 0;
};
