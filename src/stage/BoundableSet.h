// The terrain registry: objects that fall, land and are stopped by stage objects. The flying items
// stand in one global table so that the running stage can update, terrain-test and move them all
// without knowing their classes. The heroine is a CBoundable too, but the stage calls her directly.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/WinTypes.h"

class CStage;

#define BOUNDABLE_MAX 256

class CBoundable {
public:
    explicit CBoundable(int nKind) : m_nKind(nKind) {}
    CBoundable(const CBoundable&) = delete;
    CBoundable& operator=(const CBoundable&) = delete;
    // Leaves the registry.
    virtual ~CBoundable();

    virtual void SetVectorA(const D3DVECTOR& v) { m_vA = v; }
    virtual const D3DVECTOR& GetVectorA() const { return m_vA; }
    virtual void SetVectorB(const D3DVECTOR& v) { m_vB = v; }
    virtual const D3DVECTOR& GetVectorB() const { return m_vB; }
    virtual void SetVectorC(const D3DVECTOR& v) { m_vC = v; }
    virtual const D3DVECTOR& GetVectorC() const { return m_vC; }
    virtual void SetState(DWORD) {}
    virtual DWORD GetState() { return 0; }
    virtual void SetPosition(const D3DVECTOR&) {}
    virtual D3DVECTOR* GetPosition(D3DVECTOR* pOut) = 0;
    virtual void Move() {}
    virtual void SetGroundY(float) {}
    virtual void Land(float) {}
    // The rectangle the terrain test uses; empty by default.
    virtual RECT GetBoundRect() { return RECT{0, 0, 0, 0}; }
    virtual void Update() {}
    // The registry's draw pass in the stage's render: the flying items draw themselves here.
    virtual int DrawDebug(IDirectDrawSurface7*) { return 0; }

    int m_nIndex = -1;
    int m_nKind;
    D3DVECTOR m_vA{};
    D3DVECTOR m_vB{};
    D3DVECTOR m_vC{};
};

// The running stage's terrain test of one object.
using BOUNDCOLLIDEPROC = void (*)(CStage* pStage, CBoundable* pObj);

class CBoundableSet {
public:
    virtual ~CBoundableSet() = default;
    // Nothing for an object already registered or when the table is full.
    static void Register(CBoundable* pObj);
    static void Unregister(CBoundable* pObj);
    static void UpdateAll();
    static void MoveAll();
    // Hands every registered object, in slot order, to the stage's terrain test.
    static void CollideTerrainAll(CStage* pStage, BOUNDCOLLIDEPROC pfnCollide);
    static int DrawDebugAll(IDirectDrawSurface7* lpSurface);
    static void Clear();
    static CBoundable* GetAt(int nSlot);
};
