// The ring of 16 rotating stars that bursts out of a knocked-over passer-by, slows to a stop on a
// circle and fades. Its distances and times come from Param.txt's DEBUG_EXP_CRUSH at every start.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"
#include "platform/d3d/D3D.h"
#include "stage/LabelEffects.h"

#define EXPSTARCIR_STARS 16

struct CIRCLESTAR {
    BOOL bDead;
    ACCINFO Speed;
    float fAngle;
    float x, y, z;  // offset from the point
    int nColor;     // 0..9: the star picture's column
};

class CExpStarCir : public CShowable, public IStarCircle {
public:
    CExpStarCir();
    ~CExpStarCir() override { Stop(); }

    // From the draw registry.
    void Update() override;
    BOOL Draw(IDirectDrawSurface7*) override { return 1; }
    BOOL Draw3D(IDirect3DDevice7* lpDevice) override { return Render(lpDevice); }
    virtual int Render(IDirect3DDevice7* lpDevice);
    // A start while the ring runs starts it over.
    void Start() override;
    virtual void Stop();

    void SetPoint(float x, float y, float z) override
    {
        m_fX = x;
        m_fY = y;
        m_fZ = z;
    }
    BOOL IsStopped() const { return m_bStopped; }

    CIRCLESTAR m_Stars[EXPSTARCIR_STARS];
    ACCINFO m_Brightness;
    D3DLVERTEX m_Quad[4];
    int m_nCount = 0;
    float m_fX = 0.0f, m_fY = 0.0f, m_fZ = 0.0f;
    BOOL m_bStopped = 1;
};
