// The in-house first-fit allocator: one arena taken from the system once, carved in 16-byte units.
// Every block starts with a 16-byte header; a block in use ends with a 16-byte tail guard and its
// data is filled with 0xCD when handed out. Links are 32-bit unit offsets from the arena base so
// the header stays 16 bytes on 64-bit.
#pragma once
#include <cstddef>
#include <cstdint>

#define RVM_UNIT 16
#define RVM_TAG 0xEFBE
#define RVM_GUARD 0xAFAAAABAu
#define RVM_FILL 0xCD
#define RVM_LINK_BASE 0xFFFFFFFFu   // the free list's head block, which lives in the record
#define RVM_LINK_NONE 0xFFFFFFFEu   // end of the in-use list

struct RVMHDR {
    uint32_t nNext;    // next block of its list (unit offset)
    uint32_t nUnits;   // whole block in units, header and tail guard included
    int32_t nSerial;   // -1 for the arena's initial block
    uint8_t bUsed;
    uint8_t nSlack;    // bytes between the requested size and the end of the data area
    uint16_t wTag;
};
static_assert(sizeof(RVMHDR) == RVM_UNIT, "block header must be one unit");

class rvm_mem {
public:
    rvm_mem();
    ~rvm_mem();

    // Takes an arena of nArenaSize + 32 bytes and formats it as one free block. False when the
    // system gives no memory.
    bool Create(uint32_t nArenaSize);
    void* Alloc(size_t n);
    // 1 when the block was returned; 0 when the pointer was ignored (not a live block of this
    // arena). A live block with a damaged header or tail guard is reported, taken out of the
    // in-use list and kept out of circulation (1: the caller gave it back, it is never reused).
    int Free(void* p);
    void Destroy();
    // Forgets every block and formats the arena again as one free block.
    void Rebuild(uint32_t nArenaSize);

    bool IsReady() const { return m_bReady != 0; }
    bool Contains(const void* p) const;

    // Debug helpers.
    void SetBreakSerial(int nSerial) { m_nBreakSerial = nSerial; }
    int CountUsed() const;
    size_t UsedBytes() const;
    static void* BlockEnd(void* p);      // data pointer + requested bytes
    void Dump() const;
    // 1 when every block in use has an intact tag and tail guard; else reports the first broken
    // one and returns 0.
    int Check() const;
    uint32_t GetMaxUnits() const { return m_nMaxUnits; }
    uint32_t GetArenaUnits() const { return m_nArenaUnits; }
    const uint8_t* GetArena() const { return m_pArena; }
    // The free blocks as (unit offset, units) pairs in list order; returns the count written.
    int GetFreeBlocks(uint32_t* pOffsets, uint32_t* pUnits, int nMax) const;

private:
    RVMHDR* At(uint32_t nOff);
    const RVMHDR* At(uint32_t nOff) const;
    uint32_t OffsetOf(const RVMHDR* h) const;
    void Format();
    bool IsIntact(const RVMHDR* h) const;
    void InsertUsed(uint32_t nOff);
    bool UnlinkUsed(uint32_t nOff);
    // Returns the free block that now holds the block: the one before it when they merged.
    uint32_t InsertFree(uint32_t nOff);
    void PoisonFreed(uint32_t nOff, uint32_t nUnits, uint32_t nHolder);
    void DumpBlock(const RVMHDR* h) const;

    uint32_t m_nMaxUnits;
    RVMHDR m_Base;
    uint32_t m_nRover;
    uint32_t m_nUsedHead;
    uint8_t* m_pArena;
    uint32_t m_nArenaUnits;
    int32_t m_nSerial;
    int32_t m_nBreakSerial;
    int m_bReady;
};

void rvm_mem_rebuild(rvm_mem* pRecord, uint32_t nArenaSize);
void rvm_mem_destroy_exe(rvm_mem* pRecord);

// Where the allocator's reports go (default: the debugger output). Tests capture them.
typedef void (*RVMDEBUGOUT)(const char* pszText);
void rvm_set_debug_out(RVMDEBUGOUT pfnOut);
void rvm_debug_out(const char* pszText);
