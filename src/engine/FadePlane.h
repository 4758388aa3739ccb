// A whole-screen fade to or from white or black: one full-screen quad in a flat colour whose
// alpha rises or falls by a fixed step in every update pass.
#pragma once
#include "platform/d3d/D3D.h"

class CFadePlane {
public:
    enum { KIND_OUT_WHITE = 0, KIND_IN_WHITE = 1, KIND_OUT_BLACK = 2, KIND_IN_BLACK = 3 };

    CFadePlane() = default;
    virtual ~CFadePlane() = default;

    int Init();
    void SetKind(int nKind) { m_nKind = nKind; }
    void SetSpeed(float fSpeed) { m_fSpeed = fSpeed; }
    void Start();
    void Update();
    void Stop()
    {
        m_bDone = 1;
        m_bHeld = 0;
    }
    void Release() {}
    // Steps the fade in the update pass, draws it in the render pass.
    int Draw(IDirect3DDevice7* lpDevice);

    int IsDone() const { return m_bDone; }
    float GetAlpha() const { return m_fAlpha; }

    int m_nKind = KIND_OUT_BLACK;
    int m_bDone = 1;
    float m_fAlpha = 1.0f;
    float m_fStep = 0.0f;
    float m_fColor[3] = {1.0f, 1.0f, 1.0f};
    D3DVERTEX m_Vertex[4] = {};
    float m_fSpeed = 0.01f;
    // Started with an unknown kind: nothing moves until Stop.
    int m_bHeld = 0;
};
