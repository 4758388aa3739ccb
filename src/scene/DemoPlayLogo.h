// The caption over the stage during title demo play. Until its picture exists it keeps only its
// shown or hidden state and draws nothing.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CDemoPlayLogo {
public:
    CDemoPlayLogo() = default;
    virtual ~CDemoPlayLogo() = default;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Start() { m_bHidden = 0; }
    void Update();
    void Hide() { m_bHidden = 1; }
    void Draw(IDirectDrawSurface7* lpDest);
    int IsHidden() const { return m_bHidden; }

private:
    int m_bHidden = 1;
};
