// What the stage moves and draws once per frame without knowing its class: an object that sits in
// the render registry of its kind while it flies. The registry of each kind is made on first use
// and never destroyed, so objects that leave it during the program's exit always find it.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "rvm/RVMArray.h"

#define RENDER_REGISTRY_WORDS 32

template <typename T> class IRender {
public:
    typedef CRVMArray<IRender<T>*, RENDER_REGISTRY_WORDS> REGISTRY;

    IRender() = default;
    IRender(const IRender&) = delete;
    IRender& operator=(const IRender&) = delete;
    virtual ~IRender() { RemoveRender(); }

    virtual int GetIndex() { return m_nRenderIndex; }
    virtual void SetIndex(int nIndex) { m_nRenderIndex = nIndex; }
    virtual void Move() = 0;
    // The default draws are never meant to be reached: nothing is drawn.
    virtual int Render2D(IDirectDrawSurface7*) { return 0; }
    virtual int Render3D(IDirect3DDevice7* lpDevice) = 0;

    static REGISTRY& GetRegistry()
    {
        static REGISTRY* s_pRegistry = new REGISTRY;
        return *s_pRegistry;
    }

    // The slot; an object already registered keeps its own. -1 when the registry is full.
    int AddRender()
    {
        if (m_nRenderIndex >= 0)
            return m_nRenderIndex;
        m_nRenderIndex = GetRegistry().Add(this);
        return m_nRenderIndex;
    }
    // Nothing when not registered, or when the slot holds another object.
    void RemoveRender()
    {
        if (m_nRenderIndex < 0)
            return;
        if (GetRegistry().Remove(m_nRenderIndex, this))
            m_nRenderIndex = -1;
    }

    // The two registered objects exchange their slots, so each is visited where the other was;
    // 0 (nothing changed) unless both hold their slots.
    static int SwapRender(IRender* pA, IRender* pB)
    {
        if (!pA || !pB || GetRegistry().Get(pA->m_nRenderIndex) != pA || GetRegistry().Get(pB->m_nRenderIndex) != pB)
            return 0;
        if (!GetRegistry().Swap(pA->m_nRenderIndex, pB->m_nRenderIndex))
            return 0;
        const int nSlot = pA->m_nRenderIndex;
        pA->m_nRenderIndex = pB->m_nRenderIndex;
        pB->m_nRenderIndex = nSlot;
        return 1;
    }

    int m_nRenderIndex = -1;
};
