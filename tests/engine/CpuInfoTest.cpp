#include <gtest/gtest.h>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include "engine/CpuInfo.h"

namespace {

// A scripted processor: leaves answer from a table, every call is counted.
struct FakeCpu {
    std::map<uint32_t, std::vector<uint32_t>> leaves;
    bool bHasCpuId = true;
    int nCalls = 0;
};
FakeCpu* g_pCpu = nullptr;

bool FakeCpuId(uint32_t dwLeaf, uint32_t regs[4])
{
    g_pCpu->nCalls++;
    if (!g_pCpu->bHasCpuId) {
        return false;
    }
    auto it = g_pCpu->leaves.find(dwLeaf);
    for (int i = 0; i < 4; i++) {
        regs[i] = it == g_pCpu->leaves.end() ? 0 : it->second[i];
    }
    return true;
}

// Leaf 0 for a vendor text: EAX max leaf, then EBX, EDX, ECX hold the 12 characters.
std::vector<uint32_t> VendorLeaf(uint32_t dwMax, const char* pszVendor)
{
    uint32_t b, d, c;
    memcpy(&b, pszVendor, 4);
    memcpy(&d, pszVendor + 4, 4);
    memcpy(&c, pszVendor + 8, 4);
    return {dwMax, b, c, d};
}

CPUPROBE Probe(FakeCpu& cpu, bool bSseRuns = true)
{
    g_pCpu = &cpu;
    CPUPROBE probe;
    ProbeCpu(FakeCpuId, bSseRuns, &probe);
    return probe;
}

void Collect(const char* pszLine, void* pContext)
{
    static_cast<std::vector<std::string>*>(pContext)->push_back(pszLine);
}

}  // namespace

TEST(CpuInfoTest, NoCpuIdGivesZeroWordAndEmptyVendor)
{
    FakeCpu cpu;
    cpu.bHasCpuId = false;
    CPUPROBE probe = Probe(cpu);
    EXPECT_EQ(probe.dwFeatures, 0u);
    EXPECT_STREQ(probe.szVendor, "");
    EXPECT_EQ(probe.nFamily, 0u);
    EXPECT_EQ(cpu.nCalls, 1);

    std::vector<std::string> lines;
    WriteCpuReport(probe, "Linux", "6.1.0", Collect, &lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "CPU Vendor : \n");
    EXPECT_EQ(lines[1], "Family : 0  Model : 0  Stepping : 0\n");
    EXPECT_EQ(lines[2], "Platform : Linux 6.1.0\n");
}

TEST(CpuInfoTest, IntelStandardBitsAndSignature)
{
    FakeCpu cpu;
    cpu.leaves[0] = VendorLeaf(2, "GenuineIntel");
    // Family 6, model 8, stepping 3; FPU, TSC, MTRR, CMOV, MMX, SSE.
    cpu.leaves[1] = {0x683, 0, 0, (1u << 0) | (1u << 4) | (1u << 12) | (1u << 15) | (1u << 23) | (1u << 25)};
    // 3DNow bits on a non-AMD part: only the plain 3DNow bit counts.
    cpu.leaves[0x80000000u] = {0x80000004u, 0, 0, 0};
    cpu.leaves[0x80000001u] = {0, 0, 0, (1u << 31) | (1u << 30) | (1u << 22)};
    CPUPROBE probe = Probe(cpu);
    EXPECT_STREQ(probe.szVendor, "GenuineIntel");
    EXPECT_EQ(probe.nFamily, 6u);
    EXPECT_EQ(probe.nModel, 8u);
    EXPECT_EQ(probe.nStepping, 3u);
    EXPECT_EQ(probe.dwFeatures, (DWORD)(CPU_FEATURE_CPUID | CPU_FEATURE_CPUID_STD | CPU_FEATURE_CPUID_EXT |
                                        CPU_FEATURE_FPU | CPU_FEATURE_TSC | CPU_FEATURE_MTRR | CPU_FEATURE_CMOV |
                                        CPU_FEATURE_MMX | CPU_FEATURE_SSE_MMX | CPU_FEATURE_SSE_FPU |
                                        CPU_FEATURE_3DNOW));
}

TEST(CpuInfoTest, AmdOnlyBitsNeedTheExactVendor)
{
    FakeCpu amd;
    amd.leaves[0] = VendorLeaf(1, "AuthenticAMD");
    amd.leaves[1] = {0x588, 0, 0, 0};
    amd.leaves[0x80000000u] = {0x80000001u, 0, 0, 0};
    amd.leaves[0x80000001u] = {0, 0, 0, (1u << 31) | (1u << 30) | (1u << 22)};
    CPUPROBE probe = Probe(amd);
    EXPECT_TRUE(probe.dwFeatures & CPU_FEATURE_3DNOW_EXT);
    EXPECT_TRUE(probe.dwFeatures & CPU_FEATURE_SSE_MMX);
    EXPECT_TRUE(probe.dwFeatures & CPU_FEATURE_AMD_SIG_588);
    EXPECT_FALSE(probe.dwFeatures & CPU_FEATURE_SSE_FPU);

    // The signature window is [0x588, 0x600).
    amd.leaves[1] = {0x600, 0, 0, 0};
    EXPECT_FALSE(Probe(amd).dwFeatures & CPU_FEATURE_AMD_SIG_588);
    amd.leaves[1] = {0x5FF, 0, 0, 0};
    EXPECT_TRUE(Probe(amd).dwFeatures & CPU_FEATURE_AMD_SIG_588);
    amd.leaves[1] = {0x587, 0, 0, 0};
    EXPECT_FALSE(Probe(amd).dwFeatures & CPU_FEATURE_AMD_SIG_588);

    FakeCpu lower = amd;
    lower.leaves[0] = VendorLeaf(1, "AuthenticAmd");
    lower.leaves[1] = {0x588, 0, 0, 0};
    probe = Probe(lower);
    EXPECT_FALSE(probe.dwFeatures & (CPU_FEATURE_3DNOW_EXT | CPU_FEATURE_SSE_MMX | CPU_FEATURE_AMD_SIG_588));
    EXPECT_TRUE(probe.dwFeatures & CPU_FEATURE_3DNOW);
}

TEST(CpuInfoTest, LeafLimitsGateTheLaterLeaves)
{
    FakeCpu cpu;
    cpu.leaves[0] = VendorLeaf(0, "GenuineIntel");
    cpu.leaves[1] = {0x683, 0, 0, 0xFFFFFFFFu};
    cpu.leaves[0x80000000u] = {0x80000000u, 0, 0, 0};
    cpu.leaves[0x80000001u] = {0, 0, 0, 0xFFFFFFFFu};
    CPUPROBE probe = Probe(cpu);
    EXPECT_EQ(probe.dwFeatures, (DWORD)CPU_FEATURE_CPUID);
    EXPECT_EQ(probe.nFamily, 0u);
}

TEST(CpuInfoTest, SseFpuDroppedWhenSseFaults)
{
    FakeCpu cpu;
    cpu.leaves[0] = VendorLeaf(1, "GenuineIntel");
    cpu.leaves[1] = {0, 0, 0, 1u << 25};
    CPUPROBE probe = Probe(cpu, false);
    EXPECT_TRUE(probe.dwFeatures & CPU_FEATURE_SSE_MMX);
    EXPECT_FALSE(probe.dwFeatures & CPU_FEATURE_SSE_FPU);
}

TEST(CpuInfoTest, ReportListsFeaturesInOrder)
{
    CPUPROBE probe = {};
    probe.dwFeatures = 0x3FFF;
    strcpy(probe.szVendor, "AuthenticAMD");
    probe.nFamily = 5;
    probe.nModel = 8;
    probe.nStepping = 12;
    std::vector<std::string> lines;
    WriteCpuReport(probe, "Linux", "6.1.0-18-amd64", Collect, &lines);
    const std::vector<std::string> expected = {
        "CPU Vendor : AuthenticAMD\n",
        "Family : 5  Model : 8  Stepping : 12\n",
        "CPU supports CPUID\n",
        "CPU supports CPUID STD\n",
        "CPU supports CPUID EXT\n",
        "CPU supports MMX\n",
        "CPU supports 3DNOW\n",
        "CPU supports 3DNOW_EXT\n",
        "CPU supports SSE MMX\n",
        "CPU supports SSE FPU\n",
        "CPU supports FPU\n",
        "Platform : Linux 6.1.0-18-amd64\n",
    };
    EXPECT_EQ(lines, expected);
}

TEST(CpuInfoTest, ThisMachineAnswersConsistently)
{
    // The cached probe of the real processor: stable answers, and the queries agree with the
    // report it writes.
    const DWORD dwMmx = HasMMX();
    EXPECT_EQ(HasMMX(), dwMmx);
    std::vector<std::string> lines;
    WriteCpuReport(Collect, &lines);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string("CPU Vendor : ") + GetVendor() + "\n");
    EXPECT_EQ(lines.back().rfind("Platform : ", 0), 0u);
#if defined(__x86_64__)
    EXPECT_NE(HasCPUID(), 0u);
    EXPECT_NE(HasFPU(), 0u);
    EXPECT_NE(HasSSEFPU(), 0u);
#endif
}
