// Targets for the player's weapons whose hit boxes are given screen rectangles: an enemy part, an
// enemy shot, and a label that accepts or refuses hits and counts them.
#pragma once
#include "stage/Neighbours.h"
#include "stage/ObjectLabel.h"

inline void RectQuad(const RECT& rc, D3DVECTOR* pOut)
{
    pOut[0] = D3DVECTOR{(float)rc.left, (float)rc.top, 0.0f};
    pOut[1] = D3DVECTOR{(float)rc.right, (float)rc.top, 0.0f};
    pOut[2] = D3DVECTOR{(float)rc.right, (float)rc.bottom, 0.0f};
    pOut[3] = D3DVECTOR{(float)rc.left, (float)rc.bottom, 0.0f};
}

class CBoxPart : public IEnemyPart {
public:
    D3DVECTOR* GetPos(D3DVECTOR* pOut) override
    {
        *pOut = D3DVECTOR{};
        return pOut;
    }
    BOOL IsDead() override { return 0; }
    void GetHitQuad(D3DVECTOR* pOut) override { RectQuad(m_rc, pOut); }
    RECT m_rc{};
};

class CBoxShot : public IEnemyBullet {
public:
    void GetHitQuad(D3DVECTOR* pOut) override { RectQuad(m_rc, pOut); }
    RECT m_rc{};
};

class CBoxLabel : public CObjectLabel {
public:
    HITQUAD* GetHitQuad(HITQUAD* pOut) override
    {
        pOut->SetRect(m_rc);
        return pOut;
    }
    int HitByPlayerBullet(CStage*, CCrushable* pBullet) override
    {
        m_nCalls++;
        m_pLastBullet = pBullet;
        return m_nAnswer;
    }
    RECT m_rc{};
    int m_nAnswer = 1;
    int m_nCalls = 0;
    CCrushable* m_pLastBullet = nullptr;
};
