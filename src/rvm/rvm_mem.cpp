#include "rvm/rvm_mem.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win/Win.h"
#include "rvm/rvm_poison.h"

namespace {

RVMDEBUGOUT g_pfnDebugOut = nullptr;

void DebugOutF(const char* pszFormat, ...)
{
    char szText[512];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    rvm_debug_out(szText);
}

void WriteGuard(uint8_t* pUnit)
{
    const uint32_t guard = RVM_GUARD;
    for (int i = 0; i < 4; i++)
        memcpy(pUnit + 4 * i, &guard, 4);
}

bool GuardIntact(const uint8_t* pUnit)
{
    uint8_t expected[RVM_UNIT], found[RVM_UNIT];
    WriteGuard(expected);
    rvm_peek(found, pUnit, RVM_UNIT);
    return memcmp(found, expected, RVM_UNIT) == 0;
}

// A free block's data area, everything after its header, is closed to every access.
void PoisonFreeData(const RVMHDR* h)
{
    rvm_poison(h + 1, (size_t)(h->nUnits - 1) * RVM_UNIT);
}

// The system gets its memory back as it gave it, without the arena's closed bytes.
void FreeArena(uint8_t* pArena, uint32_t nUnits)
{
    rvm_unpoison(pArena, (size_t)nUnits * RVM_UNIT);
    std::free(pArena);
}

// Position of a free-list link for the address-order comparisons: the head block stands first.
int64_t Pos(uint32_t nOff)
{
    return nOff == RVM_LINK_BASE ? -1 : (int64_t)nOff;
}

unsigned long long Addr(const void* p)
{
    return (unsigned long long)(uintptr_t)p;
}

} // namespace

void rvm_set_debug_out(RVMDEBUGOUT pfnOut)
{
    g_pfnDebugOut = pfnOut;
}

void rvm_debug_out(const char* pszText)
{
    if (g_pfnDebugOut)
        g_pfnDebugOut(pszText);
    else
        OutputDebugStringA(pszText);
}

rvm_mem::rvm_mem()
    : m_nMaxUnits(0), m_Base{}, m_nRover(RVM_LINK_BASE), m_nUsedHead(RVM_LINK_NONE), m_pArena(nullptr),
      m_nArenaUnits(0), m_nSerial(0), m_nBreakSerial(-1), m_bReady(0)
{
    m_Base.nNext = RVM_LINK_BASE;
}

rvm_mem::~rvm_mem()
{
    FreeArena(m_pArena, m_nArenaUnits);
}

RVMHDR* rvm_mem::At(uint32_t nOff)
{
    if (nOff == RVM_LINK_BASE)
        return &m_Base;
    return reinterpret_cast<RVMHDR*>(m_pArena + (size_t)nOff * RVM_UNIT);
}

const RVMHDR* rvm_mem::At(uint32_t nOff) const
{
    if (nOff == RVM_LINK_BASE)
        return &m_Base;
    return reinterpret_cast<const RVMHDR*>(m_pArena + (size_t)nOff * RVM_UNIT);
}

uint32_t rvm_mem::OffsetOf(const RVMHDR* h) const
{
    return (uint32_t)((reinterpret_cast<const uint8_t*>(h) - m_pArena) / RVM_UNIT);
}

bool rvm_mem::Create(uint32_t nArenaSize)
{
    Destroy();
    size_t nBytes = ((size_t)nArenaSize + 32) / RVM_UNIT * RVM_UNIT;
    m_pArena = static_cast<uint8_t*>(std::aligned_alloc(RVM_UNIT, nBytes));
    if (!m_pArena)
        return false;
    m_nArenaUnits = (uint32_t)(nBytes / RVM_UNIT);
    Format();
    return true;
}

void rvm_mem::Format()
{
    m_nMaxUnits = 0;
    m_nSerial = 0;
    m_nBreakSerial = -1;
    m_nUsedHead = RVM_LINK_NONE;
    RVMHDR* pFirst = At(0);
    rvm_unpoison(pFirst, RVM_UNIT);
    pFirst->nUnits = m_nArenaUnits;
    pFirst->nSerial = -1;
    pFirst->bUsed = 0;
    pFirst->nSlack = 0;
    pFirst->wTag = RVM_TAG;
    pFirst->nNext = RVM_LINK_BASE;
    m_Base.nNext = 0;
    m_Base.nUnits = 0;
    m_nRover = RVM_LINK_BASE;
    m_bReady = 1;
    PoisonFreeData(pFirst);
}

void rvm_mem::Destroy()
{
    FreeArena(m_pArena, m_nArenaUnits);
    m_pArena = nullptr;
    m_nArenaUnits = 0;
    m_nSerial = 0;
    m_bReady = 0;
    m_nUsedHead = RVM_LINK_NONE;
    m_Base.nNext = RVM_LINK_BASE;
    m_nRover = RVM_LINK_BASE;
}

void rvm_mem::Rebuild(uint32_t nArenaSize)
{
    DebugOutF("rebuild max alloc(%d)  all(%d)\n", (int)(m_nMaxUnits * RVM_UNIT), (int)UsedBytes());
    if (!m_pArena)
        Create(nArenaSize);
    else
        Format();
    rvm_debug_out("rvm_mem_rebuild()\n");
}

bool rvm_mem::Contains(const void* p) const
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return m_pArena && b >= m_pArena && b < m_pArena + (size_t)m_nArenaUnits * RVM_UNIT;
}

bool rvm_mem::IsIntact(const RVMHDR* h) const
{
    if (h->wTag != RVM_TAG)
        return false;
    if (!h->bUsed)
        return true;
    uint32_t nOff = OffsetOf(h);
    if (h->nUnits < 2 || h->nUnits > m_nArenaUnits - nOff)
        return false;
    return GuardIntact(reinterpret_cast<const uint8_t*>(h) + (size_t)(h->nUnits - 1) * RVM_UNIT);
}

void* rvm_mem::Alloc(size_t n)
{
    if (!m_pArena)
        return nullptr;
    // A request beyond the arena can never fit, and its unit count would overflow.
    if (n > (size_t)m_nArenaUnits * RVM_UNIT) {
        DebugOutF("メモリの空き領域がありません : cnt{%d} %d bytes\n", m_nSerial, (int)n);
        return nullptr;
    }
    uint32_t nUnits = (uint32_t)((n + 15) / RVM_UNIT + 2);
    if (nUnits > m_nMaxUnits)
        m_nMaxUnits = nUnits;
    if (m_nBreakSerial >= 0 && m_nSerial == m_nBreakSerial)
        rvm_debug_out("rvm_mem: break serial reached\n");

    uint32_t nPrev = m_nRover;
    uint32_t nCur = At(nPrev)->nNext;
    // A damaged free list could loop for ever: no walk takes more steps than the arena has units.
    for (uint32_t nSteps = 0; nSteps <= m_nArenaUnits + 1; nSteps++) {
        if (nCur != RVM_LINK_BASE) {
            if (nCur >= m_nArenaUnits || At(nCur)->wTag != RVM_TAG || At(nCur)->bUsed ||
                At(nCur)->nUnits == 0 || At(nCur)->nUnits > m_nArenaUnits - nCur) {
                DebugOutF("broken free block at unit %u\n", nCur);
                return nullptr;
            }
            RVMHDR* p = At(nCur);
            if (p->nUnits >= nUnits) {
                if (p->nUnits == nUnits) {
                    At(nPrev)->nNext = p->nNext;
                } else {
                    // The tail of the free block is handed out; the free block only shrinks.
                    p->nUnits -= nUnits;
                    nCur += p->nUnits;
                    p = At(nCur);
                    rvm_unpoison(p, RVM_UNIT);
                    p->nUnits = nUnits;
                }
                m_nRover = nPrev;
                p->nSerial = m_nSerial++;
                p->bUsed = 1;
                p->nSlack = (uint8_t)((nUnits - 2) * RVM_UNIT - n);
                p->wTag = RVM_TAG;
                uint8_t* pData = reinterpret_cast<uint8_t*>(p) + RVM_UNIT;
                uint8_t* pGuard = pData + (size_t)(nUnits - 2) * RVM_UNIT;
                rvm_unpoison(pData, (size_t)(nUnits - 1) * RVM_UNIT);
                memset(pData, RVM_FILL, (size_t)(pGuard - pData));
                WriteGuard(pGuard);
                // Only the requested bytes stay open: an overrun into the slack or guard is caught
                // where it happens, not at the next check.
                rvm_poison(pData + n, (size_t)(nUnits - 1) * RVM_UNIT - n);
                InsertUsed(nCur);
                return pData;
            }
        }
        if (nCur == m_nRover)
            break;
        nPrev = nCur;
        nCur = At(nCur)->nNext;
    }
    DebugOutF("メモリの空き領域がありません : cnt{%d} %d bytes\n", m_nSerial, (int)n);
    return nullptr;
}

void rvm_mem::InsertUsed(uint32_t nOff)
{
    uint32_t* pLink = &m_nUsedHead;
    while (*pLink != RVM_LINK_NONE && *pLink < nOff)
        pLink = &At(*pLink)->nNext;
    At(nOff)->nNext = *pLink;
    *pLink = nOff;
}

// Walks the address-ordered in-use list to the block and unlinks it. Links that leave the arena
// or do not rise are a damaged list: the walk stops there.
bool rvm_mem::UnlinkUsed(uint32_t nOff)
{
    uint32_t* pLink = &m_nUsedHead;
    uint32_t nLast = 0;
    bool bFirst = true;
    while (*pLink != RVM_LINK_NONE) {
        uint32_t nCur = *pLink;
        if (nCur >= m_nArenaUnits || (!bFirst && nCur <= nLast)) {
            DebugOutF("broken in-use list at unit %u\n", nCur);
            return false;
        }
        if (nCur == nOff) {
            *pLink = At(nCur)->nNext;
            return true;
        }
        if (nCur > nOff)
            return false;
        bFirst = false;
        nLast = nCur;
        pLink = &At(nCur)->nNext;
    }
    return false;
}

uint32_t rvm_mem::InsertFree(uint32_t nOff)
{
    RVMHDR* h = At(nOff);
    int64_t nPos = nOff;
    uint32_t f = m_nRover;
    for (uint32_t nSteps = 0; nSteps <= m_nArenaUnits + 1; nSteps++) {
        uint32_t nNext = At(f)->nNext;
        if (nPos > Pos(f) && nPos < Pos(nNext))
            break;
        if (Pos(f) >= Pos(nNext) && (nPos > Pos(f) || nPos < Pos(nNext)))
            break;
        f = nNext;
    }
    RVMHDR* pF = At(f);
    uint32_t nNext = pF->nNext;
    if (nNext != RVM_LINK_BASE && nOff + h->nUnits == nNext) {
        h->nUnits += At(nNext)->nUnits;
        h->nNext = At(nNext)->nNext;
    } else {
        h->nNext = nNext;
    }
    m_nRover = f;
    if (f != RVM_LINK_BASE && f + pF->nUnits == nOff) {
        pF->nUnits += h->nUnits;
        pF->nNext = h->nNext;
        return f;
    }
    pF->nNext = nOff;
    return nOff;
}

int rvm_mem::Free(void* p)
{
    if (!m_pArena || !p)
        return 0;
    // Only pointers that can be a data area of this arena are looked at, so a foreign pointer is
    // never read.
    const uint8_t* b = static_cast<const uint8_t*>(p);
    if (!Contains(b) || b == m_pArena || (size_t)(b - m_pArena) % RVM_UNIT != 0)
        return 0;
    uint32_t nOff = (uint32_t)((b - m_pArena) / RVM_UNIT) - 1;
    if (!UnlinkUsed(nOff))
        return 0;
    RVMHDR* h = At(nOff);
    // A block of the in-use list whose in-use byte was overwritten is as damaged as a broken
    // guard: its size cannot be trusted to go back into the free list.
    if (!h->bUsed || !IsIntact(h) || h->nUnits > m_nMaxUnits) {
        rvm_debug_out(h->wTag != RVM_TAG || !h->bUsed ? "broken header" : "broken term");
        rvm_debug_out("\n--------------------------------------------------------------------------------\n");
        DumpBlock(h);
        // Damaged: it leaves the in-use list but never returns to the free list.
        return 1;
    }
    h->bUsed = 0;
    const uint32_t nUnits = h->nUnits;
    const uint32_t nHolder = InsertFree(nOff);
    PoisonFreed(nOff, nUnits, nHolder);
    return 1;
}

// Closes only what the free opened to nobody: the block's data and any header merged away. The
// rest of the free run is closed already, and a run can be megabytes.
void rvm_mem::PoisonFreed(uint32_t nOff, uint32_t nUnits, uint32_t nHolder)
{
    const RVMHDR* pHolder = At(nHolder);
    const uint32_t nFirst = nHolder == nOff ? nOff + 1 : nOff;
    const bool bTookNext = nHolder + pHolder->nUnits > nOff + nUnits;
    const uint32_t nEnd = nOff + nUnits + (bTookNext ? 1 : 0);
    rvm_poison(At(nFirst), (size_t)(nEnd - nFirst) * RVM_UNIT);
}

int rvm_mem::CountUsed() const
{
    int nCount = 0;
    for (uint32_t n = m_nUsedHead; n != RVM_LINK_NONE && n < m_nArenaUnits; n = At(n)->nNext)
        nCount++;
    return nCount;
}

size_t rvm_mem::UsedBytes() const
{
    size_t nBytes = 0;
    for (uint32_t n = m_nUsedHead; n != RVM_LINK_NONE && n < m_nArenaUnits; n = At(n)->nNext) {
        const RVMHDR* h = At(n);
        nBytes += (size_t)(h->nUnits - 2) * RVM_UNIT - h->nSlack;
    }
    return nBytes;
}

void* rvm_mem::BlockEnd(void* p)
{
    const RVMHDR* h = reinterpret_cast<const RVMHDR*>(static_cast<uint8_t*>(p) - RVM_UNIT);
    return static_cast<uint8_t*>(p) + (size_t)(h->nUnits - 2) * RVM_UNIT - h->nSlack;
}

void rvm_mem::DumpBlock(const RVMHDR* h) const
{
    const uint8_t* pData = reinterpret_cast<const uint8_t*>(h) + RVM_UNIT;
    DebugOutF("adr = 0x%08llx, ptr_ = 0x%08llx, size_ = %8d, cnt_ = %4d, act_ = %d, bef_ = %s\n", Addr(h),
              Addr(pData), (int)(h->nUnits * RVM_UNIT), h->nSerial, h->bUsed,
              h->wTag == RVM_TAG ? "o.k." : "broken!!");
    if (!Contains(pData + RVM_UNIT - 1))
        return;
    uint8_t b[RVM_UNIT];   // may reach past the block's requested bytes, which are closed
    rvm_peek(b, pData, RVM_UNIT);
    char szChars[17];
    for (int i = 0; i < 16; i++) {
        uint8_t c = b[i];
        szChars[i] = c == 0 ? ' ' : (c >= 0x20 && c < 0x7F ? (char)c : '.');
    }
    szChars[16] = 0;
    DebugOutF("0x%08llx=<%s> %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x\n",
              Addr(pData), szChars, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11],
              b[12], b[13], b[14], b[15]);
}

void rvm_mem::Dump() const
{
    rvm_debug_out("dump memory ================================================================================\n");
    int nCount = 0;
    for (uint32_t n = m_nUsedHead; n != RVM_LINK_NONE && n < m_nArenaUnits; n = At(n)->nNext) {
        DumpBlock(At(n));
        nCount++;
    }
    DebugOutF("dump %8d mem block ====================================================================\n", nCount);
}

int rvm_mem::Check() const
{
    for (uint32_t n = m_nUsedHead; n != RVM_LINK_NONE; n = At(n)->nNext) {
        if (n >= m_nArenaUnits) {
            DebugOutF("broken in-use list at unit %u\n", n);
            return 0;
        }
        const RVMHDR* h = At(n);
        if (h->bUsed && IsIntact(h))
            continue;
        rvm_debug_out("broken");
        if (h->wTag != RVM_TAG || !h->bUsed)
            rvm_debug_out(" header");
        else
            rvm_debug_out(" term");
        rvm_debug_out("\n--------------------------------------------------------------------------------\n");
        DumpBlock(h);
        return 0;
    }
    return 1;
}

int rvm_mem::GetFreeBlocks(uint32_t* pOffsets, uint32_t* pUnits, int nMax) const
{
    int nCount = 0;
    for (uint32_t n = m_Base.nNext; n != RVM_LINK_BASE && nCount < nMax && n < m_nArenaUnits; n = At(n)->nNext) {
        pOffsets[nCount] = n;
        pUnits[nCount] = At(n)->nUnits;
        nCount++;
    }
    return nCount;
}

void rvm_mem_rebuild(rvm_mem* pRecord, uint32_t nArenaSize)
{
    pRecord->Rebuild(nArenaSize);
}

void rvm_mem_destroy_exe(rvm_mem* pRecord)
{
    pRecord->Destroy();
    rvm_debug_out("rvm_mem_destroy_exe()\n");
}
