// Three pods on a circle that turns around the weapon: they spread out to a radius of 130, turn,
// fire their beams one after another when told to (each pod kicked back by its own shot), and
// come back in when recalled, after which the weapon stops itself.
#pragma once
#include "bullet/EBFunnelFormation.h"
#include "engine/Geometry.h"

#define EBFUNNEL1_UNITS 3
#define EBFUNNEL1_RADIUS 130.0f

struct FunnelUnit1 {
    enum { STATE_FORMATION = 0, STATE_ARMED = 1, STATE_FIRING = 2, STATE_PAUSE = 3 };

    D3DVECTOR vOffset{};
    float fScale = 0.0f;
    float fRecoilDir = 0.0f;
    ACCINFO Speed{};
    int nDelay = 0;
    DWORD dwDelayStart = 0;
    BOOL bDelayBusy = 0;
    int nState = STATE_FORMATION;
    CEBFunnel Pod;
    CEBLaserEx Beam;
    ACCBOUNCE Bounce{};
    float fHomeX = 0.0f;
};

class CEBFunnelType1 : public CEBFunnelFormation {
public:
    enum { STATE_DEPLOY = 0, STATE_ROTATE = 1, STATE_RECALL = 2, STATE_STOP = 3 };

    CEBFunnelType1();
    ~CEBFunnelType1() override;

    // The pods' three frames and their flash copies, and the beams; 0 at the first failure.
    int Load(IDirect3DDevice7* lpDevice, CSprite* pNormal /*[3]*/, CSprite* pFlash /*[3]*/);
    // Deploys around the position the owner has set.
    int Fire() override;
    void Move() override;
    // Arms the three beams to fire 300, 500 and 700 ms from now.
    void FireBeams();
    void Recall() { SetState(STATE_RECALL); }
    void SetState(int nState);
    // Where unit i sits on the circle now, as an offset from the weapon.
    D3DVECTOR GetFormationOffset(int i) const;

    int m_nState = STATE_DEPLOY;
    FunnelUnit1 m_Units[EBFUNNEL1_UNITS];
    ACCINFO m_Spin{};
    float m_fBaseAngle = 0.0f;
    float m_fRadius = 0.0f;
    ACCINFO m_Radial{};

protected:
    int GetUnitCount() const override { return EBFUNNEL1_UNITS; }
    CEBFunnel& GetPod(int i) override { return m_Units[i].Pod; }
    CEBLaserEx& GetBeam(int i) override { return m_Units[i].Beam; }

private:
    void ResetUnits();
    void TakeFormation(int i) { m_Units[i].vOffset = GetFormationOffset(i); }
    void StepUnit(int i);
    void StartDelay(FunnelUnit1& unit, int nDelay);
    D3DVECTOR GetUnitPos(const FunnelUnit1& unit) const;
};
