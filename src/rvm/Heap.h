// The three private heaps (general, enemy, sound), each an rvm_mem arena created on its first
// allocation, guarded by its own lock, and closed at shutdown: a closing heap returns its arena as
// soon as no block of it is live.
#pragma once
#include <cstddef>
#include <mutex>
#include <new>

#include "rvm/rvm_mem.h"

#define GENERAL_HEAP_SIZE 0x1000000u
#define ENEMY_HEAP_SIZE 0x1000000u
#define SOUND_HEAP_SIZE 0x800000u

class CHeap {
public:
    explicit CHeap(unsigned int nArenaSize);

    int m_bCreated;
    int m_bClosing;
    int m_nLive;
    unsigned int m_nArenaSize;
    rvm_mem m_Mem;
    std::mutex m_Lock;
};

// Null when the arena cannot be made or has no room. Only successful allocations and accepted
// frees move the live count.
void* AllocFromHeap(CHeap* pHeap, size_t n);
void FreeToHeap(CHeap* pHeap, void* p);
void CloseHeap(CHeap* pHeap);
// The bytes the heap's blocks in use were asked for (under its lock); 0 before its arena is made.
size_t HeapBytesInUse(CHeap* pHeap);
// Whether p lies in the heap's arena (under its lock).
bool HeapOwns(CHeap* pHeap, const void* p);
// Frees p when it lies in the heap's arena, under one hold of the lock; false when it does not.
bool FreeToHeapIfOwned(CHeap* pHeap, void* p);

// The process-wide heaps; they outlive every static object.
CHeap* GetGeneralHeap();
CHeap* GetEnemyHeap();
CHeap* GetSoundHeap();

void* GeneralHeapAlloc(size_t n);
void GeneralHeapFree(void* p);
void* EnemyHeapAlloc(size_t n);
void EnemyHeapFree(void* p);
void* SoundHeapAlloc(size_t n);
void SoundHeapFree(void* p);

// Blocks of the standard containers: over 128 bytes from the general heap, smaller ones (and any
// block the exhausted heap cannot give) from operator new. A small block goes straight back to the
// system; a larger one is routed by address, as it may have come from either.
void* ContainerAlloc(size_t nBytes);
void ContainerFree(void* p, size_t nBytes);

#define CONTAINER_SMALL_BLOCK 128

template <class T>
struct rvm_allocator {
    // Arena blocks are aligned to their 16-byte units and no further.
    static_assert(alignof(T) <= 16, "over-aligned types need an allocator of their own");
    typedef T value_type;
    rvm_allocator() noexcept {}
    template <class U>
    rvm_allocator(const rvm_allocator<U>&) noexcept
    {
    }
    T* allocate(size_t n)
    {
        if (n > (size_t)-1 / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T*>(ContainerAlloc(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept { ContainerFree(p, n * sizeof(T)); }
};

template <class T, class U>
bool operator==(const rvm_allocator<T>&, const rvm_allocator<U>&) noexcept
{
    return true;
}
template <class T, class U>
bool operator!=(const rvm_allocator<T>&, const rvm_allocator<U>&) noexcept
{
    return false;
}
