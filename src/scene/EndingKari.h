// The provisional ending shown when the full ending is switched off. Until its picture exists it
// ends as soon as it starts and draws nothing.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CEndingKari {
public:
    enum { STATE_SHOWING = 0, STATE_ENDED = 2 };

    CEndingKari() = default;
    virtual ~CEndingKari() = default;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Reset();
    void Start();
    void Stop();
    int GetState() const { return m_nState; }
    int IsStopped() const { return m_bStopped; }
    void Update();
    void Draw(IDirectDrawSurface7* lpDest);

private:
    int m_nState = STATE_SHOWING;
    int m_bStopped = 1;
};
