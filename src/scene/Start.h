// The start menu (mode and sub-weapon). Until its pictures exist it starts at once with the
// sub-weapon INIT_SUB_WEAPON of Param.txt names (the shield without it) and draws nothing.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CStart {
public:
    enum { RESULT_NONE = 0, RESULT_START = 3, RESULT_BACK = 4 };

    CStart() = default;
    virtual ~CStart() = default;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Enter();
    void Update();
    void Draw(IDirectDrawSurface7* lpDest);
    void Stop();
    int GetResult() const { return m_nResult; }
    int GetSubWeapon() const { return m_nSubWeapon; }

private:
    int m_nResult = RESULT_NONE;
    int m_nSubWeapon = 0;
};
