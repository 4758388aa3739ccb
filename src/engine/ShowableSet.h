// The two process-wide registries through which the running stage drives objects it does not know
// the class of: scroll-aware objects receive the stage's scroll each tick, drawables are updated
// and drawn in a fixed layer order. Plain global tables of pointers; each object keeps its own
// slot and removes itself.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

#define SCROLLABLE_MAX 256
#define SHOWABLE_MAX 256
#define SHOWABLE_LAYERS 2

class CScrollable {
public:
    CScrollable() = default;
    CScrollable(const CScrollable&) = delete;
    CScrollable& operator=(const CScrollable&) = delete;
    virtual ~CScrollable();
    // The main layer's vertical camera offset (pixels).
    virtual void SetScrollSpeed(float fOffset) = 0;
    // The x of the main layer's scroll step (pixels per tick).
    virtual void SetScrollPos(float fStep) = 0;
    virtual void Tick() {}

    int m_nIndex = -1;
};

class CShowable {
public:
    CShowable() = default;
    CShowable(const CShowable&) = delete;
    CShowable& operator=(const CShowable&) = delete;
    // Leaves whichever layer the object joined.
    virtual ~CShowable();
    virtual void Update() {}
    virtual BOOL Draw(IDirectDrawSurface7* lpSurface);
    virtual BOOL Draw3D(IDirect3DDevice7* lpDevice);

    int m_nIndex = -1;
    // The layer of the slot in m_nIndex; meaningful only while registered.
    int m_nLayer = 0;
};

class CScrollableSet {
public:
    virtual ~CScrollableSet() = default;
    // Nothing for an object already registered, or when every slot is taken.
    static void Register(CScrollable* pObj);
    static void Unregister(CScrollable* pObj);
    static void SetScrollSpeed(float fOffset);
    static void SetScrollPos(float fStep);
    static void Tick();
    // Empties the table; every listed object is told it is no longer registered.
    static void Clear();
    static CScrollable* GetAt(int nSlot);
    static int Count();
};

class CShowableSet {
public:
    virtual ~CShowableSet() = default;
    // The object's slot; an object already registered keeps its layer and slot. SHOWABLE_MAX when
    // the layer is full (the object stays unregistered).
    static int Register(CShowable* pObj, int nLayer);
    static void Unregister(CShowable* pObj, int nLayer);
    // Layer 0, then layer 1, each in slot order.
    static void UpdateAll();
    // Layer 1 in 2D, then inside one scene the 3D of layer 0 and of layer 1, then layer 0 in 2D.
    // 1 when every draw called succeeded.
    static BOOL DrawAll(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice);
    static void Clear();
    static CShowable* GetAt(int nSlot, int nLayer);
    static int Count(int nLayer);
};
