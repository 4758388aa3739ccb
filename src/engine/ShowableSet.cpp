#include "engine/ShowableSet.h"

#include "engine/Log.h"

namespace {

// "スクロールリストのインデックスが不正です。\n" in code page 932.
const char kBadIndexMessage[] =
    "\x83\x58\x83\x4e\x83\x8d\x81\x5b\x83\x8b\x83\x8a\x83\x58\x83\x67\x82\xcc\x83\x43\x83\x93\x83\x66\x83\x62"
    "\x83\x4e\x83\x58\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\x81\x42\n";

CScrollable* g_pScrollables[SCROLLABLE_MAX];
// Interleaved by slot: layer L of slot s at 2 * s + L.
CShowable* g_pShowables[SHOWABLE_MAX * SHOWABLE_LAYERS];

CShowable*& ShowEntry(int nSlot, int nLayer)
{
    return g_pShowables[nSlot * SHOWABLE_LAYERS + nLayer];
}

bool IsLayer(int nLayer)
{
    return nLayer >= 0 && nLayer < SHOWABLE_LAYERS;
}

// Clears the object's slot; a stored index that does not name it is reported and the table is
// searched. An object found nowhere is marked unregistered, so that it can join again, unless
// another table still holds it: its index is that table's, and marking it out would leave the
// entry there to dangle once the object is gone.
template <typename T, typename SlotOf, typename HeldElsewhere>
void RemoveEntry(T* pObj, int nCount, SlotOf slotOf, HeldElsewhere heldElsewhere)
{
    const int nIndex = pObj->m_nIndex;
    if (nIndex < 0) {
        return;
    }
    if (nIndex < nCount && slotOf(nIndex) == pObj) {
        slotOf(nIndex) = nullptr;
        pObj->m_nIndex = -1;
        return;
    }
    DebugPrintf("%s", kBadIndexMessage);
    for (int i = 0; i < nCount; i++) {
        if (slotOf(i) == pObj) {
            slotOf(i) = nullptr;
            pObj->m_nIndex = -1;
            return;
        }
    }
    if (!heldElsewhere()) {
        pObj->m_nIndex = -1;
    }
}

bool InLayer(const CShowable* pObj, int nLayer)
{
    for (int i = 0; i < SHOWABLE_MAX; i++) {
        if (ShowEntry(i, nLayer) == pObj) {
            return true;
        }
    }
    return false;
}

} // namespace

// ---- Scroll registry ------------------------------------------------------------------------------

CScrollable::~CScrollable()
{
    CScrollableSet::Unregister(this);
}

void CScrollableSet::Register(CScrollable* pObj)
{
    if (!pObj || pObj->m_nIndex >= 0) {
        return;
    }
    for (int i = 0; i < SCROLLABLE_MAX; i++) {
        if (!g_pScrollables[i]) {
            g_pScrollables[i] = pObj;
            pObj->m_nIndex = i;
            return;
        }
    }
}

void CScrollableSet::Unregister(CScrollable* pObj)
{
    if (pObj) {
        RemoveEntry(pObj, SCROLLABLE_MAX, [](int i) -> CScrollable*& { return g_pScrollables[i]; },
                    [] { return false; });
    }
}

void CScrollableSet::SetScrollSpeed(float fOffset)
{
    for (CScrollable* p : g_pScrollables) {
        if (p) {
            p->SetScrollSpeed(fOffset);
        }
    }
}

void CScrollableSet::SetScrollPos(float fStep)
{
    for (CScrollable* p : g_pScrollables) {
        if (p) {
            p->SetScrollPos(fStep);
        }
    }
}

void CScrollableSet::Tick()
{
    for (CScrollable* p : g_pScrollables) {
        if (p) {
            p->Tick();
        }
    }
}

void CScrollableSet::Clear()
{
    for (CScrollable*& p : g_pScrollables) {
        if (p) {
            p->m_nIndex = -1;
            p = nullptr;
        }
    }
}

CScrollable* CScrollableSet::GetAt(int nSlot)
{
    return nSlot >= 0 && nSlot < SCROLLABLE_MAX ? g_pScrollables[nSlot] : nullptr;
}

int CScrollableSet::Count()
{
    int n = 0;
    for (CScrollable* p : g_pScrollables) {
        n += p ? 1 : 0;
    }
    return n;
}

// ---- Show registry --------------------------------------------------------------------------------

CShowable::~CShowable()
{
    CShowableSet::Unregister(this, m_nLayer);
}

BOOL CShowable::Draw(IDirectDrawSurface7*)
{
    return 0;
}

BOOL CShowable::Draw3D(IDirect3DDevice7*)
{
    return 0;
}

int CShowableSet::Register(CShowable* pObj, int nLayer)
{
    if (!pObj || !IsLayer(nLayer)) {
        return SHOWABLE_MAX;
    }
    if (pObj->m_nIndex >= 0) {
        return pObj->m_nIndex;
    }
    for (int i = 0; i < SHOWABLE_MAX; i++) {
        CShowable*& entry = ShowEntry(i, nLayer);
        if (!entry) {
            entry = pObj;
            pObj->m_nIndex = i;
            pObj->m_nLayer = nLayer;
            return i;
        }
    }
    return SHOWABLE_MAX;
}

void CShowableSet::Unregister(CShowable* pObj, int nLayer)
{
    if (pObj && IsLayer(nLayer)) {
        RemoveEntry(pObj, SHOWABLE_MAX, [nLayer](int i) -> CShowable*& { return ShowEntry(i, nLayer); },
                    [pObj, nLayer] { return InLayer(pObj, 1 - nLayer); });
    }
}

void CShowableSet::UpdateAll()
{
    for (int nLayer = 0; nLayer < SHOWABLE_LAYERS; nLayer++) {
        for (int i = 0; i < SHOWABLE_MAX; i++) {
            if (CShowable* p = ShowEntry(i, nLayer)) {
                p->Update();
            }
        }
    }
}

namespace {

// Calls the draw on every drawable of the layer; false when any of them failed.
template <typename DrawFn> bool DrawLayer(int nLayer, DrawFn draw)
{
    bool bOk = true;
    for (int i = 0; i < SHOWABLE_MAX; i++) {
        if (CShowable* p = ShowEntry(i, nLayer)) {
            bOk = draw(p) && bOk;
        }
    }
    return bOk;
}

} // namespace

BOOL CShowableSet::DrawAll(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice)
{
    auto draw2D = [lpSurface](CShowable* p) { return p->Draw(lpSurface) != 0; };
    auto draw3D = [lpDevice](CShowable* p) { return p->Draw3D(lpDevice) != 0; };
    bool bOk = DrawLayer(1, draw2D);
    if (lpDevice && SUCCEEDED(lpDevice->BeginScene())) {
        bOk = DrawLayer(0, draw3D) && bOk;
        bOk = DrawLayer(1, draw3D) && bOk;
        lpDevice->EndScene();
    }
    bOk = DrawLayer(0, draw2D) && bOk;
    return bOk ? 1 : 0;
}

void CShowableSet::Clear()
{
    for (CShowable*& p : g_pShowables) {
        if (p) {
            p->m_nIndex = -1;
            p = nullptr;
        }
    }
}

CShowable* CShowableSet::GetAt(int nSlot, int nLayer)
{
    return nSlot >= 0 && nSlot < SHOWABLE_MAX && IsLayer(nLayer) ? ShowEntry(nSlot, nLayer) : nullptr;
}

int CShowableSet::Count(int nLayer)
{
    int n = 0;
    for (int i = 0; i < SHOWABLE_MAX && IsLayer(nLayer); i++) {
        n += ShowEntry(i, nLayer) ? 1 : 0;
    }
    return n;
}
