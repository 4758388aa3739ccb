#include "rvm/Heap.h"

CHeap::CHeap(unsigned int nArenaSize) : m_bCreated(0), m_bClosing(0), m_nLive(0), m_nArenaSize(nArenaSize)
{
}

namespace {

// Returns the arena once the heap is closing and nothing of it is live. Called under the lock.
void ReleaseIfClosed(CHeap* pHeap)
{
    if (pHeap->m_nLive == 0 && pHeap->m_bClosing && pHeap->m_bCreated) {
        rvm_mem_destroy_exe(&pHeap->m_Mem);
        pHeap->m_bCreated = 0;
    }
}

} // namespace

void* AllocFromHeap(CHeap* pHeap, size_t n)
{
    std::lock_guard<std::mutex> lock(pHeap->m_Lock);
    if (!pHeap->m_bCreated) {
        if (!pHeap->m_Mem.Create(pHeap->m_nArenaSize))
            return nullptr;
        pHeap->m_bCreated = 1;
        pHeap->m_bClosing = 0;
        pHeap->m_nLive = 0;
    }
    void* p = pHeap->m_Mem.Alloc(n);
    if (p)
        pHeap->m_nLive++;
    return p;
}

namespace {

// Called under the lock.
void FreeLocked(CHeap* pHeap, void* p)
{
    if (p && pHeap->m_nLive > 0 && pHeap->m_Mem.Free(p))
        pHeap->m_nLive--;
    ReleaseIfClosed(pHeap);
}

} // namespace

void FreeToHeap(CHeap* pHeap, void* p)
{
    std::lock_guard<std::mutex> lock(pHeap->m_Lock);
    FreeLocked(pHeap, p);
}

bool FreeToHeapIfOwned(CHeap* pHeap, void* p)
{
    std::lock_guard<std::mutex> lock(pHeap->m_Lock);
    if (!pHeap->m_Mem.Contains(p))
        return false;
    FreeLocked(pHeap, p);
    return true;
}

void CloseHeap(CHeap* pHeap)
{
    std::lock_guard<std::mutex> lock(pHeap->m_Lock);
    pHeap->m_bClosing = 1;
    ReleaseIfClosed(pHeap);
}

size_t HeapBytesInUse(CHeap* pHeap)
{
    std::lock_guard<std::mutex> lock(pHeap->m_Lock);
    return pHeap->m_bCreated ? pHeap->m_Mem.UsedBytes() : 0;
}

bool HeapOwns(CHeap* pHeap, const void* p)
{
    std::lock_guard<std::mutex> lock(pHeap->m_Lock);
    return pHeap->m_Mem.Contains(p);
}

CHeap* GetGeneralHeap()
{
    static CHeap* s_pHeap = new CHeap(GENERAL_HEAP_SIZE);
    return s_pHeap;
}

CHeap* GetEnemyHeap()
{
    static CHeap* s_pHeap = new CHeap(ENEMY_HEAP_SIZE);
    return s_pHeap;
}

CHeap* GetSoundHeap()
{
    static CHeap* s_pHeap = new CHeap(SOUND_HEAP_SIZE);
    return s_pHeap;
}

void* GeneralHeapAlloc(size_t n)
{
    return AllocFromHeap(GetGeneralHeap(), n);
}

void GeneralHeapFree(void* p)
{
    FreeToHeap(GetGeneralHeap(), p);
}

void* EnemyHeapAlloc(size_t n)
{
    return AllocFromHeap(GetEnemyHeap(), n);
}

void EnemyHeapFree(void* p)
{
    FreeToHeap(GetEnemyHeap(), p);
}

void* SoundHeapAlloc(size_t n)
{
    return AllocFromHeap(GetSoundHeap(), n);
}

void SoundHeapFree(void* p)
{
    FreeToHeap(GetSoundHeap(), p);
}

void* ContainerAlloc(size_t nBytes)
{
    if (nBytes > CONTAINER_SMALL_BLOCK) {
        void* p = GeneralHeapAlloc(nBytes);
        if (p)
            return p;
    }
    // A container must never see null: an exhausted heap hands over to the system.
    return ::operator new(nBytes);
}

void ContainerFree(void* p, size_t nBytes)
{
    if (!p)
        return;
    if (nBytes > CONTAINER_SMALL_BLOCK && FreeToHeapIfOwned(GetGeneralHeap(), p))
        return;
    ::operator delete(p);
}
