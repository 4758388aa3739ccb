// A heroine for stage tests: a body with a fixed damage box and counters of what the stage asked
// of her; no pictures, no keys.
#pragma once
#include <functional>

#include "stage/StagePlayer.h"

class CStubPlayer : public IStagePlayer {
public:
    CStubPlayer() = default;
    CStubPlayer(float x, float y) { PlaceDamageBox(x, y, 32.0f, 48.0f); }

    // The damage box: w x h with its top-left corner at (x, y).
    void PlaceDamageBox(float x, float y, float w, float h)
    {
        m_vPos = D3DVECTOR{{x}, {y}, {0.0f}};
        m_rcDamage = RECT{(LONG)x, (LONG)y, (LONG)(x + w), (LONG)(y + h)};
        m_vQuad[0] = D3DVECTOR{{x}, {y}, {0.0f}};
        m_vQuad[1] = D3DVECTOR{{x + w}, {y}, {0.0f}};
        m_vQuad[2] = D3DVECTOR{{x + w}, {y + h}, {0.0f}};
        m_vQuad[3] = D3DVECTOR{{x}, {y + h}, {0.0f}};
    }

    void SetState(DWORD dwState) override { m_dwState = dwState; }
    DWORD GetState() override { return m_dwState; }
    void SetPosition(const D3DVECTOR& v) override { m_vPos = v; }
    D3DVECTOR* GetPosition(D3DVECTOR* pOut) override
    {
        *pOut = m_vPos;
        return pOut;
    }
    void Move() override
    {
        m_vPos.x += m_vC.x;
        m_vPos.y += m_vC.y;
        m_vPos.z += m_vC.z;
        m_nMoves++;
    }
    void SetGroundY(float y) override
    {
        m_vPos.y = y;
        m_fGroundY = y;
    }
    void Land(float y) override
    {
        SetGroundY(y);
        m_dwState &= ~(DWORD)PLAYER_STATE_JUMP;
        m_nLands++;
    }
    void Update() override { m_nUpdates++; }

    int Load(IDirect3DDevice7*) override { return 1; }
    void Start(int bPlayback, int bResetScore) override
    {
        m_nStarts++;
        m_bPlayback = bPlayback;
        if (bResetScore)
            m_nPoint = 0;
    }
    void Miss() override
    {
        m_dwState |= PLAYER_STATE_MISS;
        m_nMisses++;
    }
    void Damage(int nDamage) override { m_nDamage += nDamage; }
    D3DVECTOR* GetDamageCenter(D3DVECTOR* pOut) override
    {
        pOut->x = (m_vQuad[0].x + m_vQuad[2].x) * 0.5f;
        pOut->y = (m_vQuad[0].y + m_vQuad[2].y) * 0.5f;
        pOut->z = 0.0f;
        return pOut;
    }
    void GetDamageRect(RECT* pOut) override { *pOut = m_rcDamage; }
    void GetDamageQuad(D3DVECTOR* pOut) override
    {
        for (int i = 0; i < 4; i++)
            pOut[i] = m_vQuad[i];
    }
    float GetLifeRatio() override { return m_fLifeRatio; }
    void AddPoint(int nPoint, int) override { m_nPoint += nPoint; }
    void SetPoint(int, int nPoint) override { m_nPoint = nPoint; }
    int GetPoint() override { return m_nPoint; }
    void AddExp(int nExp, int, int) override { m_nExp += nExp; }
    void StartAerialMode() override { m_nAerialStarts++; }
    void UpdateKeyRecord() override { m_nKeyRecords++; }
    int IsDropDown() override { return m_bDropDown; }
    void SetStageFinished(int bFinished) override { m_bStageFinished = bFinished; }
    int IsStageFinished() override { return m_bStageFinished; }
    void SetSubWeapon(int nWeapon) override { m_nSubWeapon = nWeapon; }
    int GetSubWeapon() override { return m_nSubWeapon; }
    int Draw(IDirectDrawSurface7*, float) override { return 1; }
    int DrawEffects(IDirectDrawSurface7*) override { return 1; }
    int RenderWeapons(IDirect3DDevice7*) override { return 1; }
    int DrawCockpit(IDirectDrawSurface7*) override { return 1; }
    // Enemy bullets hit her only through a handler a test gives.
    int HitByEnemyBullet(CStage* pStage, CCrushable* pBullet) override
    {
        return m_fnHitByEnemyBullet ? m_fnHitByEnemyBullet(pStage, pBullet) : 0;
    }

    std::function<int(CStage*, CCrushable*)> m_fnHitByEnemyBullet;

    DWORD m_dwState = PLAYER_STATE_FLAT;
    D3DVECTOR m_vPos{};
    RECT m_rcDamage{};
    D3DVECTOR m_vQuad[4]{};
    float m_fGroundY = 0.0f;
    float m_fLifeRatio = 1.0f;
    int m_nPoint = 0;
    int m_nExp = 0;
    int m_nDamage = 0;
    int m_nSubWeapon = 0;
    int m_bDropDown = 0;
    int m_bPlayback = 0;
    int m_bStageFinished = 0;
    int m_nStarts = 0;
    int m_nMisses = 0;
    int m_nLands = 0;
    int m_nMoves = 0;
    int m_nUpdates = 0;
    int m_nKeyRecords = 0;
    int m_nAerialStarts = 0;
};
