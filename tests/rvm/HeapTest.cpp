#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "rvm/Heap.h"
#include "rvm/rvm_poison.h"
#include "rvm/rvm_stl.h"
#include "support/ArenaPoke.h"

namespace {

std::string g_Reports;

void CaptureReport(const char* pszText)
{
    g_Reports += pszText;
}

const RVMHDR* Header(const void* p)
{
    return reinterpret_cast<const RVMHDR*>(static_cast<const uint8_t*>(p) - RVM_UNIT);
}

uint32_t UnitOf(const rvm_mem& mem, const void* p)
{
    return (uint32_t)((static_cast<const uint8_t*>(p) - mem.GetArena()) / RVM_UNIT) - 1;
}

class HeapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_Reports.clear();
        rvm_set_debug_out(CaptureReport);
    }
    void TearDown() override { rvm_set_debug_out(nullptr); }
};

} // namespace

TEST_F(HeapTest, BlockLayoutUnitsSlackGuardsAndFill)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(4096));
    EXPECT_EQ(mem.GetArenaUnits(), (4096u + 32) / 16);
    struct {
        size_t n;
        uint32_t nUnits;
        uint8_t nSlack;
    } cases[] = {{0, 2, 0}, {1, 3, 15}, {16, 3, 0}, {17, 4, 15}, {100, 9, 12}};
    int nSerial = 0;
    for (const auto& c : cases) {
        uint8_t* p = static_cast<uint8_t*>(mem.Alloc(c.n));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ((uintptr_t)p % 16, 0u);
        const RVMHDR* h = Header(p);
        EXPECT_EQ(h->nUnits, c.nUnits) << c.n;
        EXPECT_EQ(h->nSlack, c.nSlack) << c.n;
        EXPECT_EQ(h->wTag, RVM_TAG);
        EXPECT_EQ(h->bUsed, 1);
        EXPECT_EQ(h->nSerial, nSerial++);
        // The slack and guard are read past what the sanitizer build leaves open.
        uint8_t data[(9 - 1) * 16];   // the largest case's data and guard
        rvm_peek(data, p, (c.nUnits - 1) * 16u);
        for (size_t i = 0; i < (c.nUnits - 2) * 16u; i++)
            ASSERT_EQ(data[i], RVM_FILL);
        uint32_t guard;
        memcpy(&guard, data + (c.nUnits - 2) * 16 + 4, 4);
        EXPECT_EQ(guard, RVM_GUARD);
        EXPECT_EQ(rvm_mem::BlockEnd(p), p + c.n);
    }
    EXPECT_EQ(mem.CountUsed(), 5);
    EXPECT_EQ(mem.UsedBytes(), 0u + 1 + 16 + 17 + 100);
    EXPECT_EQ(mem.Check(), 1);
}

TEST_F(HeapTest, TailPlacementAndCoalescing)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(4096));
    const uint32_t nAll = mem.GetArenaUnits();
    void* a = mem.Alloc(16);   // 3 units at the very end of the arena
    void* b = mem.Alloc(16);   // directly below it
    void* c = mem.Alloc(16);
    EXPECT_EQ(UnitOf(mem, a), nAll - 3);
    EXPECT_EQ(UnitOf(mem, b), nAll - 6);
    EXPECT_EQ(UnitOf(mem, c), nAll - 9);
    uint32_t off[8], units[8];
    EXPECT_EQ(mem.Free(b), 1);
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 8), 2);
    EXPECT_EQ(units[0], nAll - 9);
    EXPECT_EQ(units[1], 3u);
    // Freeing a neighbour merges with both sides into one block.
    EXPECT_EQ(mem.Free(a), 1);
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 8), 2);
    EXPECT_EQ(off[1], nAll - 6);
    EXPECT_EQ(units[1], 6u);
    EXPECT_EQ(mem.Free(c), 1);
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 8), 1);
    EXPECT_EQ(off[0], 0u);
    EXPECT_EQ(units[0], nAll);
}

TEST_F(HeapTest, ForeignDoubleAndDamagedFreesAreRefused)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(4096));
    uint8_t* p = static_cast<uint8_t*>(mem.Alloc(40));
    int nLocal = 0;
    EXPECT_EQ(mem.Free(&nLocal), 0);       // never read: outside the arena
    EXPECT_EQ(mem.Free(p + 8), 0);         // inside, not a block start
    EXPECT_EQ(mem.Free(p + 16), 0);        // a unit boundary inside the block
    EXPECT_EQ(mem.Free(nullptr), 0);
    EXPECT_EQ(mem.Free(p), 1);
    EXPECT_EQ(mem.Free(p), 0);             // double free
    EXPECT_EQ(mem.Check(), 1);

    // Writing past the end of a block breaks its tail guard: the free reports it and the block
    // never returns to the free list.
    uint8_t* q = static_cast<uint8_t*>(mem.Alloc(40));
    uint32_t off[8], units[8];
    int nFreeBefore = mem.GetFreeBlocks(off, units, 8);
    uint32_t nFreeUnits = units[0];
    PokeArena(q + 48, 0);
    EXPECT_EQ(mem.Check(), 0);
    EXPECT_NE(g_Reports.find("broken term"), std::string::npos);
    g_Reports.clear();
    EXPECT_EQ(mem.Free(q), 1);
    EXPECT_NE(g_Reports.find("broken term"), std::string::npos);
    EXPECT_EQ(mem.GetFreeBlocks(off, units, 8), nFreeBefore);
    EXPECT_EQ(units[0], nFreeUnits);
    EXPECT_EQ(mem.CountUsed(), 0);

    // A damaged header is reported the same way.
    uint8_t* r = static_cast<uint8_t*>(mem.Alloc(8));
    const_cast<RVMHDR*>(Header(r))->wTag = 0;
    g_Reports.clear();
    EXPECT_EQ(mem.Check(), 0);
    EXPECT_NE(g_Reports.find("broken header"), std::string::npos);
}

TEST_F(HeapTest, OverwrittenInUseByteNeverFeedsTheFreeList)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(4096));
    void* keep = mem.Alloc(32);
    uint8_t* p = static_cast<uint8_t*>(mem.Alloc(32));
    uint32_t off[8], units[8];
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 8), 1);
    const uint32_t nFreeUnits = units[0];
    // A stray write clears the in-use byte and the size but leaves the tag: the header lies.
    RVMHDR* h = const_cast<RVMHDR*>(Header(p));
    h->bUsed = 0;
    h->nUnits = 0;
    g_Reports.clear();
    EXPECT_EQ(mem.Check(), 0);
    EXPECT_NE(g_Reports.find("broken header"), std::string::npos);
    g_Reports.clear();
    EXPECT_EQ(mem.Free(p), 1);
    EXPECT_NE(g_Reports.find("broken header"), std::string::npos);
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 8), 1);
    EXPECT_EQ(units[0], nFreeUnits);
    EXPECT_EQ(mem.CountUsed(), 1);
    // The heap stays usable.
    EXPECT_NE(mem.Alloc(64), nullptr);
    EXPECT_EQ(mem.Free(keep), 1);
    EXPECT_EQ(mem.Check(), 1);
}

TEST_F(HeapTest, ExhaustionAndHugeRequests)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(1024));
    EXPECT_EQ(mem.Alloc((size_t)-1), nullptr);   // the unit count would overflow
    EXPECT_EQ(mem.Alloc(2000), nullptr);
    std::vector<void*> blocks;
    while (void* p = mem.Alloc(100))
        blocks.push_back(p);
    EXPECT_EQ(blocks.size(), (size_t)((1024 + 32) / 16 / 9));
    EXPECT_NE(g_Reports.find("メモリの空き領域がありません"), std::string::npos);
    EXPECT_EQ(mem.Free(blocks[0]), 1);
    EXPECT_NE(mem.Alloc(100), nullptr);   // usable again
}

namespace {

// The reference: first fit over an address-ordered ring of free extents that starts with an empty
// head, searched from the block after the rover, taking the tail of the block found; a release
// merges with both neighbours and leaves the rover on the block before it.
class CFirstFitModel {
public:
    explicit CFirstFitModel(uint32_t nUnits) : m_Free{{0, nUnits}}, m_nRover(-1) {}

    // The unit offset of the new block, or -1.
    int64_t Alloc(uint32_t nUnits)
    {
        size_t nRing = m_Free.size() + 1;   // position 0 is the head
        size_t nStart = RoverIndex();
        size_t nPrev = nStart;
        for (size_t k = 1; k <= nRing; k++) {
            size_t i = (nStart + k) % nRing;
            if (i != 0 && m_Free[i - 1].second >= nUnits) {
                auto& blk = m_Free[i - 1];
                int64_t nOff;
                int64_t nRover = nPrev == 0 ? -1 : (int64_t)m_Free[nPrev - 1].first;
                if (blk.second == nUnits) {
                    nOff = blk.first;
                    m_Free.erase(m_Free.begin() + (long)(i - 1));
                } else {
                    blk.second -= nUnits;
                    nOff = blk.first + blk.second;
                }
                m_nRover = nRover;
                return nOff;
            }
            if (i == nStart)
                break;
            nPrev = i;
        }
        return -1;
    }

    void Free(uint32_t nOff, uint32_t nUnits)
    {
        size_t i = 0;
        while (i < m_Free.size() && m_Free[i].first < nOff)
            i++;
        m_Free.insert(m_Free.begin() + (long)i, {nOff, nUnits});
        if (i + 1 < m_Free.size() && nOff + nUnits == m_Free[i + 1].first) {
            m_Free[i].second += m_Free[i + 1].second;
            m_Free.erase(m_Free.begin() + (long)(i + 1));
        }
        if (i > 0 && m_Free[i - 1].first + m_Free[i - 1].second == nOff) {
            m_Free[i - 1].second += m_Free[i].second;
            m_Free.erase(m_Free.begin() + (long)i);
        }
        m_nRover = i > 0 ? (int64_t)m_Free[i - 1].first : -1;
    }

    const std::vector<std::pair<uint32_t, uint32_t>>& FreeList() const { return m_Free; }

private:
    size_t RoverIndex() const
    {
        if (m_nRover < 0)
            return 0;
        for (size_t i = 0; i < m_Free.size(); i++)
            if (m_Free[i].first == (uint32_t)m_nRover)
                return i + 1;
        return 0;
    }

    std::vector<std::pair<uint32_t, uint32_t>> m_Free;
    int64_t m_nRover;
};

} // namespace

TEST_F(HeapTest, SeededPatternsMatchAReferenceModel)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(64 * 1024));
    CFirstFitModel model(mem.GetArenaUnits());
    std::mt19937 rng(12345);
    struct LIVE {
        size_t n;
        uint8_t fill;
        uint32_t nUnits;
    };
    std::map<void*, LIVE> live;
    for (int step = 0; step < 20000; step++) {
        bool bAlloc = live.empty() || (rng() % 100) < 55;
        if (bAlloc) {
            size_t n = rng() % 3 == 0 ? rng() % 2000 : rng() % 64;
            uint32_t nUnits = (uint32_t)((n + 15) / 16 + 2);
            int64_t nExpected = model.Alloc(nUnits);
            void* p = mem.Alloc(n);
            if (nExpected < 0) {
                ASSERT_EQ(p, nullptr) << step;
                continue;
            }
            ASSERT_NE(p, nullptr) << step;
            ASSERT_EQ(UnitOf(mem, p), (uint32_t)nExpected) << step;
            uint8_t fill = (uint8_t)rng();
            memset(p, fill, n);
            live[p] = LIVE{n, fill, nUnits};
        } else {
            auto it = live.begin();
            std::advance(it, rng() % live.size());
            const uint8_t* b = static_cast<const uint8_t*>(it->first);
            for (size_t i = 0; i < it->second.n; i++)
                ASSERT_EQ(b[i], it->second.fill) << "block contents disturbed";
            model.Free(UnitOf(mem, it->first), it->second.nUnits);
            ASSERT_EQ(mem.Free(it->first), 1);
            live.erase(it);
        }
        if (step % 997 == 0) {
            ASSERT_EQ(mem.Check(), 1);
            ASSERT_EQ(mem.CountUsed(), (int)live.size());
            uint32_t off[4096], units[4096];
            int nFree = mem.GetFreeBlocks(off, units, 4096);
            ASSERT_EQ((size_t)nFree, model.FreeList().size());
            for (int i = 0; i < nFree; i++) {
                ASSERT_EQ(off[i], model.FreeList()[i].first);
                ASSERT_EQ(units[i], model.FreeList()[i].second);
            }
        }
    }
    for (auto& [p, info] : live)
        ASSERT_EQ(mem.Free(p), 1);
    uint32_t off[4], units[4];
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 4), 1);
    EXPECT_EQ(units[0], mem.GetArenaUnits());
}

TEST_F(HeapTest, HeapsCountLiveBlocksAndCloseLate)
{
    CHeap heap(4096);
    void* a = AllocFromHeap(&heap, 10);
    void* b = AllocFromHeap(&heap, 10);
    EXPECT_EQ(AllocFromHeap(&heap, 100000), nullptr);
    EXPECT_EQ(heap.m_nLive, 2);   // a failed allocation is not counted
    int nLocal = 0;
    FreeToHeap(&heap, &nLocal);
    FreeToHeap(&heap, a);
    FreeToHeap(&heap, a);
    EXPECT_EQ(heap.m_nLive, 1);   // refused frees are not counted either
    CloseHeap(&heap);
    EXPECT_EQ(heap.m_bCreated, 1);   // a block is still live
    EXPECT_TRUE(heap.m_Mem.IsReady());
    FreeToHeap(&heap, b);
    EXPECT_EQ(heap.m_bCreated, 0);
    EXPECT_FALSE(heap.m_Mem.IsReady());
    EXPECT_NE(g_Reports.find("rvm_mem_destroy_exe()"), std::string::npos);
    // The next allocation makes a fresh arena.
    void* c = AllocFromHeap(&heap, 10);
    EXPECT_NE(c, nullptr);
    EXPECT_EQ(heap.m_bClosing, 0);
    FreeToHeap(&heap, c);
}

TEST_F(HeapTest, SoundHeapExhaustionLeavesOthersAlone)
{
    std::vector<void*> blocks;
    while (void* p = SoundHeapAlloc(1024 * 1024))
        blocks.push_back(p);
    EXPECT_EQ(blocks.size(), 7u);   // 8 MB arena, 1 MB + 32 bytes per block
    void* e = EnemyHeapAlloc(1024 * 1024);
    EXPECT_NE(e, nullptr);
    EnemyHeapFree(e);
    for (void* p : blocks)
        SoundHeapFree(p);
}

TEST_F(HeapTest, ContainerAllocatorFallsBackWhenTheHeapIsFull)
{
    std::vector<int, rvm_allocator<int>> small(4, 7);            // 16 bytes: the system's
    EXPECT_FALSE(HeapOwns(GetGeneralHeap(), small.data()));
    std::vector<int, rvm_allocator<int>> big(1000, 3);           // 4000 bytes: the general heap
    EXPECT_TRUE(HeapOwns(GetGeneralHeap(), big.data()));
    // A block the 16 MB heap cannot give comes from the system instead of being null.
    std::vector<char, rvm_allocator<char>> huge(20 * 1024 * 1024, 'x');
    EXPECT_FALSE(HeapOwns(GetGeneralHeap(), huge.data()));
    EXPECT_EQ(huge[20 * 1024 * 1024 - 1], 'x');
    big.clear();
    big.shrink_to_fit();
}

TEST_F(HeapTest, GameContainersTakeBlocksOver128BytesFromTheGeneralHeap)
{
    CHeap* pHeap = GetGeneralHeap();
    const int nLive = pHeap->m_nLive;
    {
        rvm::vector<char> atLimit;
        atLimit.reserve(CONTAINER_SMALL_BLOCK);
        EXPECT_FALSE(HeapOwns(pHeap, atLimit.data()));
        rvm::vector<char> overLimit;
        overLimit.reserve(CONTAINER_SMALL_BLOCK + 1);
        EXPECT_TRUE(HeapOwns(pHeap, overLimit.data()));
        EXPECT_EQ(pHeap->m_nLive, nLive + 1);

        rvm::string shortText(20, 'a');
        EXPECT_FALSE(HeapOwns(pHeap, shortText.data()));
        rvm::string longText(300, 'b');
        EXPECT_TRUE(HeapOwns(pHeap, longText.data()));
        // A deque's chunks and a big hash table's buckets are blocks over the limit too; a map's
        // nodes are small and stay with the system.
        rvm::deque<int> queue(10, 1);
        rvm::unordered_map<rvm::string, int> table;
        for (int i = 0; i < 100; i++)
            table[rvm::string(200, (char)('0' + i % 10)) + std::to_string(i).c_str()] = i;
        EXPECT_EQ(table[rvm::string(200, '7') + "17"], 17);
        rvm::map<int, int> tree{{1, 2}};
        EXPECT_GE(pHeap->m_nLive, nLive + 4 + 100);   // the table's long keys are blocks of their own
        EXPECT_EQ(pHeap->m_Mem.Check(), 1);
    }
    EXPECT_EQ(pHeap->m_nLive, nLive);
}

// The loading thread fills containers while the frame runs: the heap's lock keeps both sides whole.
TEST_F(HeapTest, TwoThreadsShareTheGeneralHeap)
{
    CHeap* pHeap = GetGeneralHeap();
    const int nLive = pHeap->m_nLive;
    auto work = [](int nSeed) {
        std::mt19937 rng(nSeed);
        rvm::vector<rvm::vector<int>> kept(16);
        for (int i = 0; i < 4000; i++) {
            rvm::vector<int>& v = kept[rng() % kept.size()];
            v.assign(40 + rng() % 400, i);
            if (v.front() != i || v.back() != i)
                return false;
            if (rng() % 3 == 0)
                rvm::vector<int>().swap(v);
        }
        return true;
    };
    bool bOtherOk = false;
    std::thread other([&] { bOtherOk = work(2); });
    const bool bOk = work(1);
    other.join();
    EXPECT_TRUE(bOk);
    EXPECT_TRUE(bOtherOk);
    EXPECT_EQ(pHeap->m_nLive, nLive);
    EXPECT_EQ(pHeap->m_Mem.Check(), 1);
}
