// Stand-ins for the labels' explosions and star circles, which live in a library above the
// stage: they write down what the label asks of them. Installed through the stage's factory
// hooks for the life of the object.
#pragma once
#include "stage/LabelEffects.h"
#include "stage/Stage.h"

class CFakeExplosion : public IScrollExplosion {
public:
    void SetStyle(int nStyle) override { m_nStyle = nStyle; }
    int Load(IDirect3DDevice7*) override
    {
        m_nLoads++;
        return 1;
    }
    void Start(DWORD dwDelay) override
    {
        m_dwDelay = dwDelay;
        m_bFinished = 0;
        m_nStarts++;
    }
    void SetPosition(float x, float y) override { m_vPos = D3DVECTOR{{x}, {y}, {0.0f}}; }
    void SetDrift(const D3DVECTOR& v) override { m_vDrift = v; }
    void Stop() override
    {
        m_bIdle = 1;
        m_bFinished = 1;
        m_nStops++;
    }
    BOOL IsIdle() override { return m_bIdle; }
    BOOL IsFinished() override { return m_bFinished; }

    int m_nStyle = 0;
    int m_nLoads = 0;
    int m_nStarts = 0;
    int m_nStops = 0;
    DWORD m_dwDelay = 0;
    D3DVECTOR m_vPos{};
    D3DVECTOR m_vDrift{};
    BOOL m_bIdle = 1;
    BOOL m_bFinished = 1;
};

class CFakeStarCircle : public IStarCircle {
public:
    void SetPoint(float x, float y, float z) override { m_vPoint = D3DVECTOR{{x}, {y}, {z}}; }
    void Start() override { m_nStarts++; }

    D3DVECTOR m_vPoint{};
    int m_nStarts = 0;
};

class CFakeLabelEffects {
public:
    CFakeLabelEffects()
    {
        m_Saved = CStage::GetHooks();
        STAGEHOOKS hooks = m_Saved;
        hooks.CreateExplosion = []() -> IScrollExplosion* { return new CFakeExplosion; };
        hooks.CreateStarCircle = []() -> IStarCircle* { return new CFakeStarCircle; };
        CStage::SetHooks(hooks);
    }
    ~CFakeLabelEffects() { CStage::SetHooks(m_Saved); }
    CFakeLabelEffects(const CFakeLabelEffects&) = delete;
    CFakeLabelEffects& operator=(const CFakeLabelEffects&) = delete;

    static CFakeExplosion* Of(IScrollExplosion* p) { return static_cast<CFakeExplosion*>(p); }
    static CFakeStarCircle* Of(IStarCircle* p) { return static_cast<CFakeStarCircle*>(p); }

private:
    STAGEHOOKS m_Saved;
};
