// One textured, colour-fading puff: the stuff of the Hawk Wind's trails, the Ground Wiper's columns
// and the landing smoke. It fades by a colour step each update, grows from half size (or not: a
// coin toss at reset) and finishes once every channel has reached its end colour. It owns nothing:
// its user hands it the texture.
#pragma once
#include <cstdint>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CSmokeSW {
public:
    CSmokeSW();
    virtual ~CSmokeSW() = default;

    // Starts the puffs' looks over (every stage start), so a run shows the same puffs each time.
    static void SeedLooks(uint32_t nSeed);

    // 0 (and nothing) for a null texture; else the puff stops and keeps it.
    int SetTexture(IDirectDrawSurface7* lpTexture);
    void Reset();
    // The texture coordinates of a w x h picture in its power-of-two texture; the corners stay at
    // the half size.
    void SetQuadSize(int nWidth, int nHeight);
    // 1 when the puff is done (and so finished).
    int Update();
    int Draw(IDirect3DDevice7* lpDevice);
    void Stop() { m_bFinished = 1; }

    int IsFinished() const { return m_bFinished; }
    void SetPosition(float x, float y, float z) { m_vPos = D3DVECTOR{x, y, z}; }
    const D3DVECTOR& GetPosition() const { return m_vPos; }
    // The puff's own transform (a rotation about z for the missiles' heads), before its position.
    void SetMatrix(const D3DMATRIX& m) { m_Matrix = m; }
    void SetColorStep(float f) { m_fStepSetting = f; }
    void SetHalfSize(float f) { m_fHalf = f; }
    void SetColorJitter(int b) { m_bJitter = b; }
    void SetStartColor(float r, float g, float b);
    void SetEndColor(float r, float g, float b);
    float GetScale() const { return m_fScale; }
    const float* GetColor() const { return m_fColor; }
    const D3DLVERTEX* GetVertices() const { return m_Vertices; }

private:
    void SetCorners();
    void ColorVertices();

    int m_bFinished = 1;
    D3DMATRIX m_Matrix;
    float m_fColor[3] = {1.0f, 0.6f, 0.6f};
    float m_fStep = -0.01f;
    float m_fScale = 0.5f;
    float m_fGrowth = 0.01f;
    int m_bGrowing = 0;
    float m_fMaxScale = 1.0f;
    D3DLVERTEX m_Vertices[4];
    D3DVECTOR m_vPos{};
    float m_fStepSetting = -0.01f;
    float m_fHalf = 20.0f;
    int m_bJitter = 1;
    float m_fStart[3] = {1.0f, 0.6f, 0.6f};
    float m_fEnd[3] = {0.0f, 0.0f, 0.0f};
    IDirectDrawSurface7* m_lpTexture = nullptr;
};
