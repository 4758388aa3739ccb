// What the boss's two funnel formations share: units of one pod and one beam each, and the way
// out: once told to stop their beams, the pods fly off to the right, faster every update, and the
// weapon stops itself when the last one is past x = 960. The weapon itself has no picture and is
// never hit: only its pods and beams touch the heroine.
#pragma once
#include "bullet/EBFunnel.h"
#include "bullet/EBLaserEx.h"

#define EBFUNNEL_BEAM_WAVE ".\\GameData\\System\\BeamRifle.wav"
#define EBFUNNEL_LEAVE_X 960.0f

class CEBFunnelFormation : public CEBulletPart {
public:
    int Render3D(IDirect3DDevice7*) override { return 1; }
    // Cuts the beams and sends the pods away; nothing while idle.
    void StopBeams();
    void Stop() override;

    BOOL m_bLeaving = 0;
    ACCINFO m_Leave{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0, 1, 0, 0};

protected:
    virtual int GetUnitCount() const = 0;
    virtual CEBFunnel& GetPod(int i) = 0;
    virtual CEBLaserEx& GetBeam(int i) = 0;
    // Sets the beam up as the formation fires it: narrow, fast, toward -x, narrowing a fixed time
    // after it fires. 0 when the beam or the pod cannot load.
    static void SetUpBeam(CEBLaserEx& beam, DWORD dwHold);
    int LoadUnit(IDirect3DDevice7* lpDevice, int i, CSprite* pNormal, CSprite* pFlash, DWORD dwHold);
    // One update of the way out.
    void Leave();
};
