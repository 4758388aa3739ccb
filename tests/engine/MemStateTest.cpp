#include <gtest/gtest.h>

#include <memory>

#include "engine/MemState.h"
#include "platform/host/Host.h"
#include "platform/host/HostHeadless.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZORVA_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ZORVA_OWN_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define ZORVA_OWN_ALLOCATOR 1
#endif

namespace {

// The sanitizers bring an allocator of their own, which the C runtime's statistics do not see.
bool RuntimeKeepsStatistics()
{
#ifdef ZORVA_OWN_ALLOCATOR
    return false;
#else
    return true;
#endif
}

}  // namespace

TEST(MemState, CheckpointsSeeABlockTakenAndGivenBack)
{
    if (!RuntimeKeepsStatistics()) {
        GTEST_SKIP() << "the sanitizer's allocator keeps the heap";
    }
    const size_t cbBlock = 3u << 20;
    CMemState before, during, after, diff;
    before.Checkpoint();
    ASSERT_TRUE(before.IsValid());
    EXPECT_GT(before.GetBytesInUse(), 0);
    std::unique_ptr<char[]> pBlock(new char[cbBlock]);
    pBlock[0] = 1;
    pBlock[cbBlock - 1] = 2;
    // The block must really be taken: the compiler may not drop an allocation it sees escape.
    asm volatile("" : : "r"(pBlock.get()) : "memory");
    during.Checkpoint();
    EXPECT_TRUE(diff.Difference(before, during));
    EXPECT_TRUE(diff.IsValid());
    EXPECT_GE(diff.GetBytesInUse(), (long long)cbBlock);
    pBlock.reset();
    after.Checkpoint();
    EXPECT_TRUE(diff.Difference(during, after));
    EXPECT_LE(diff.GetBytesInUse(), -(long long)cbBlock);
    // Nothing taken between two checkpoints: no difference, and the result says so.
    CMemState again;
    again.Checkpoint();
    EXPECT_FALSE(diff.Difference(again, again));
    EXPECT_EQ(diff.GetBytesInUse(), 0);
}

TEST(MemState, StatisticsGoToTheDebugOutput)
{
    CHostHeadless host;
    host.SetQuiet(true);
    SetHost(&host);
    CMemState older, newer, diff;
    older.Checkpoint();
    newer.Checkpoint();
    diff.Difference(older, newer);
    diff.DumpStatistics();
    diff.DumpAllObjectsSince();
    SetHost(nullptr);
    const std::vector<std::string> lines = host.GetDebugLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(" bytes in use, "), std::string::npos);
    EXPECT_NE(lines[0].find(" bytes from the system\n"), std::string::npos);
    EXPECT_EQ(lines[1], lines[0]);
}
