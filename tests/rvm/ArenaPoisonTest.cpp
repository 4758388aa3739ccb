#include <gtest/gtest.h>

#include <cstring>

#include "rvm/Heap.h"
#include "rvm/rvm_poison.h"
#include "rvm/rvm_stl.h"

// In the sanitizer build every arena byte a block's owner must not touch is poisoned; elsewhere
// nothing is, and the same cases check what the allocator wrote into those bytes instead.
namespace {

#ifdef RVM_ASAN
constexpr bool kPoisoned = true;
#else
constexpr bool kPoisoned = false;
#endif

const uint8_t* Bytes(const void* p)
{
    return static_cast<const uint8_t*>(p);
}

// The first byte of [p, p + n) whose poisoning differs from bClosed, or n.
size_t FirstOtherwise(const void* p, size_t n, bool bClosed)
{
    for (size_t i = 0; i < n; i++)
        if (rvm_is_poisoned(Bytes(p) + i) != bClosed)
            return i;
    return n;
}

void ExpectOpen(const void* p, size_t n)
{
    EXPECT_EQ(FirstOtherwise(p, n, false), n);
}

void ExpectClosed(const void* p, size_t n)
{
    EXPECT_EQ(FirstOtherwise(p, n, kPoisoned), n);
}

size_t DataBytes(const void* p)
{
    return (reinterpret_cast<const RVMHDR*>(Bytes(p) - RVM_UNIT)->nUnits - 2) * (size_t)RVM_UNIT;
}

class ArenaPoison : public ::testing::Test {
protected:
    void SetUp() override { rvm_set_debug_out([](const char*) {}); }
    void TearDown() override { rvm_set_debug_out(nullptr); }
};

} // namespace

TEST_F(ArenaPoison, ABlockInUseOpensOnlyItsRequestedBytes)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(4096));
    for (size_t n : {0, 1, 15, 16, 17, 40, 100}) {
        uint8_t* p = static_cast<uint8_t*>(mem.Alloc(n));
        ASSERT_NE(p, nullptr);
        const size_t nData = DataBytes(p);
        ExpectOpen(p - RVM_UNIT, RVM_UNIT);   // the header
        ExpectOpen(p, n);
        ExpectClosed(p + n, nData + RVM_UNIT - n);   // slack and tail guard
        // What lies behind the closed bytes is the fill and the guard, read without tripping.
        uint8_t rest[(9 - 1) * 16];
        rvm_peek(rest, p, nData + RVM_UNIT);
        for (size_t i = 0; i < nData; i++)
            ASSERT_EQ(rest[i], RVM_FILL) << n;
        uint32_t guard;
        memcpy(&guard, rest + nData + 8, 4);
        EXPECT_EQ(guard, RVM_GUARD) << n;
    }
    EXPECT_EQ(mem.Check(), 1);
    mem.Dump();   // reads the first 16 data bytes of blocks with fewer open ones
}

TEST_F(ArenaPoison, AFreedBlockClosesAndReopensWhenHandedOutAgain)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(4096));
    const uint8_t* pArena = mem.GetArena();
    uint8_t* a = static_cast<uint8_t*>(mem.Alloc(40));   // 5 units at the arena's end
    uint8_t* b = static_cast<uint8_t*>(mem.Alloc(40));   // just below a
    uint8_t* c = static_cast<uint8_t*>(mem.Alloc(40));   // keeps b from merging downwards
    memset(b, 0x11, 40);
    ASSERT_EQ(mem.Free(b), 1);
    ExpectOpen(b - RVM_UNIT, RVM_UNIT);   // a free block's header stays readable
    ExpectClosed(b, 5 * 16 - RVM_UNIT);
    // a merges into b's free block: its header is free space now and closes with its data.
    ASSERT_EQ(mem.Free(a), 1);
    ExpectOpen(b - RVM_UNIT, RVM_UNIT);
    ExpectClosed(b, 10 * 16 - RVM_UNIT);
    uint32_t off[4], units[4];
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 4), 2);
    EXPECT_EQ(units[1], 10u);
    // c merges into the arena's first block, which takes in b's block too.
    ASSERT_EQ(mem.Free(c), 1);
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 4), 1);
    ExpectOpen(pArena, RVM_UNIT);
    ExpectClosed(pArena + RVM_UNIT, (size_t)mem.GetArenaUnits() * RVM_UNIT - RVM_UNIT);

    // Handed out again, the same bytes open with the fill, not with what was there before.
    uint8_t* again = static_cast<uint8_t*>(mem.Alloc(40));
    ASSERT_EQ(again, a);
    ExpectOpen(again, 40);
    ExpectClosed(again + 40, 8 + RVM_UNIT);
    for (int i = 0; i < 40; i++)
        ASSERT_EQ(again[i], RVM_FILL);
    // The split left a free block below it whose data stays closed.
    ExpectClosed(pArena + RVM_UNIT, (size_t)(again - pArena) - 2 * RVM_UNIT);
    EXPECT_EQ(mem.Free(again), 1);
}

TEST_F(ArenaPoison, FormattingClosesAllButTheFirstHeader)
{
    rvm_mem mem;
    ASSERT_TRUE(mem.Create(1024));
    const size_t nArena = (size_t)mem.GetArenaUnits() * RVM_UNIT;
    ExpectOpen(mem.GetArena(), RVM_UNIT);
    ExpectClosed(mem.GetArena() + RVM_UNIT, nArena - RVM_UNIT);
    uint8_t* p = static_cast<uint8_t*>(mem.Alloc(64));
    uint8_t* q = static_cast<uint8_t*>(mem.Alloc(64));
    memset(p, 0x22, 64);
    ExpectOpen(p, 64);
    // A rebuild forgets every block: their bytes close with the rest.
    rvm_mem_rebuild(&mem, 1024);
    EXPECT_EQ(mem.CountUsed(), 0);
    ExpectOpen(mem.GetArena(), RVM_UNIT);
    ExpectClosed(mem.GetArena() + RVM_UNIT, nArena - RVM_UNIT);
    uint32_t off[2], units[2];
    ASSERT_EQ(mem.GetFreeBlocks(off, units, 2), 1);
    EXPECT_EQ(units[0], mem.GetArenaUnits());
    // The first block after the rebuild lands where p was, freshly filled.
    uint8_t* r = static_cast<uint8_t*>(mem.Alloc(64));
    EXPECT_EQ(r, p);
    ExpectOpen(r, 64);
    ExpectClosed(q, 64);
    EXPECT_EQ(r[0], RVM_FILL);
    // A destroyed arena made afresh starts formatted the same way.
    rvm_mem_destroy_exe(&mem);
    ASSERT_TRUE(mem.Create(1024));
    ExpectOpen(mem.GetArena(), RVM_UNIT);
    ExpectClosed(mem.GetArena() + RVM_UNIT, nArena - RVM_UNIT);
}

#ifdef RVM_ASAN
// The point of it all: a game container running past its block stops at the faulty write.
TEST(ArenaPoisonDeathTest, AContainerOverrunIsCaughtWhereItHappens)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    rvm::vector<char> v(200, 'x');
    ASSERT_TRUE(HeapOwns(GetGeneralHeap(), v.data()));
    volatile char* p = v.data();
    EXPECT_DEATH(p[200] = 'y', "use-after-poison");
    char* pFreed = v.data();
    rvm::vector<char>().swap(v);
    volatile char* q = pFreed;
    EXPECT_DEATH((void)q[0], "use-after-poison");
}
#endif
