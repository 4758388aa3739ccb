// The runtime's random numbers and the process and processor queries.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <thread>

#include "platform/win/Win.h"

namespace {

TEST(CrtRandTest, SequenceFromSeedOneAndReseeding) {
    // A fresh thread starts from seed 1, as the program does.
    std::vector<int> first;
    std::thread([&] {
        for (int i = 0; i < 5; ++i) first.push_back(CrtRand());
    }).join();
    EXPECT_EQ(first, (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    CrtSrand(1);
    EXPECT_EQ(CrtRand(), 41);
    CrtSrand(0);
    EXPECT_EQ(CrtRand(), 38);  // (2531011 >> 16) & 0x7FFF
    CrtSrand(12345);
    int a = CrtRand();
    CrtSrand(12345);
    EXPECT_EQ(CrtRand(), a);
    for (int i = 0; i < 10000; ++i) {
        int v = CrtRand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, CRT_RAND_MAX);
    }
}

TEST(CrtRandTest, ThreadsKeepTheirOwnSeed) {
    CrtSrand(99);
    int nOther = 0;
    std::thread([&] { nOther = CrtRand(); }).join();
    EXPECT_EQ(nOther, 41);
    CrtSrand(99);
    int nMine = CrtRand();
    CrtSrand(99);
    std::thread([] { CrtRand(); }).join();
    EXPECT_EQ(CrtRand(), nMine);
}

TEST(ProcessTest, CpuIdLeafZeroGivesVendorWhereAvailable) {
    uint32_t regs[4] = {1, 2, 3, 4};
#if defined(__x86_64__) || defined(__i386__)
    ASSERT_TRUE(CpuId(0, regs));
    EXPECT_GE(regs[0], 1u);
    char vendor[13] = {};
    memcpy(vendor, &regs[1], 4);
    memcpy(vendor + 4, &regs[3], 4);
    memcpy(vendor + 8, &regs[2], 4);
    EXPECT_EQ(strlen(vendor), 12u);
    EXPECT_FALSE(CpuId(0x7FFFFFF0u, regs));  // beyond any maximum standard leaf
    EXPECT_EQ(regs[0] | regs[1] | regs[2] | regs[3], 0u);
#else
    EXPECT_FALSE(CpuId(0, regs));
    EXPECT_EQ(regs[0], 0u);
#endif
}

TEST(ProcessTest, SystemNameFromUnameTruncatesToBuffer) {
    char name[64], version[64];
    ASSERT_TRUE(GetHostSystemName(name, sizeof name, version, sizeof version));
    EXPECT_STREQ(name, "Linux");
    EXPECT_GT(strlen(version), 0u);
    char shortName[3];
    GetHostSystemName(shortName, sizeof shortName, version, sizeof version);
    EXPECT_STREQ(shortName, "Li");
}

TEST(ProcessTest, ModuleFileNameIsTheExecutablePathTruncatedLikeWin32) {
    char path[PATH_MAX];
    ASSERT_NE(realpath("/proc/self/exe", path), nullptr);
    char buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    EXPECT_EQ(n, strlen(path));
    EXPECT_STREQ(buffer, path);

    char small[6];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 6u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small), std::string(path, 5));
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, 0), 0u);
    EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
}

TEST(ProcessTest, TimeWithoutHostIsMonotonic) {
    DWORD t0 = timeGetTime();
    Sleep(2);
    EXPECT_GE(timeGetTime() - t0, 2u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(MessageBoxA(nullptr, "no host: stderr", "Zorva", MB_OK), IDOK);
}

}  // namespace
