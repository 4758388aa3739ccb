#include "engine/CpuInfo.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include "platform/win/Win.h"

namespace {

const char AMD_VENDOR[] = "AuthenticAMD";

bool Bit(uint32_t dwValue, int nBit)
{
    return (dwValue >> nBit) & 1u;
}

void ReadStandardLeaf(PFNCPUIDLEAF pfnCpuId, bool bAmd, CPUPROBE* pProbe)
{
    uint32_t r[4] = {};
    if (!pfnCpuId(1, r)) {
        return;
    }
    const uint32_t eax = r[0];
    const uint32_t edx = r[3];
    pProbe->nFamily = (eax >> 8) & 0xF;
    pProbe->nModel = (eax >> 4) & 0xF;
    pProbe->nStepping = eax & 0xF;
    DWORD f = 0;
    if (Bit(edx, 4)) f |= CPU_FEATURE_TSC;
    if (Bit(edx, 23)) f |= CPU_FEATURE_MMX;
    if (Bit(edx, 15)) f |= CPU_FEATURE_CMOV;
    if (Bit(edx, 25)) f |= CPU_FEATURE_SSE_MMX | CPU_FEATURE_SSE_FPU;
    if (Bit(edx, 12)) f |= CPU_FEATURE_MTRR;
    if (Bit(edx, 0)) f |= CPU_FEATURE_FPU;
    const uint32_t dwSignature = eax & 0xFFF;
    if (bAmd && dwSignature >= 0x588 && dwSignature < 0x600) f |= CPU_FEATURE_AMD_SIG_588;
    pProbe->dwFeatures |= f;
}

void ReadExtendedLeaves(PFNCPUIDLEAF pfnCpuId, bool bAmd, CPUPROBE* pProbe)
{
    uint32_t r[4] = {};
    if (!pfnCpuId(0x80000000u, r) || r[0] <= 0x80000000u) {
        return;
    }
    pProbe->dwFeatures |= CPU_FEATURE_CPUID_EXT;
    if (!pfnCpuId(0x80000001u, r)) {
        return;
    }
    const uint32_t edx = r[3];
    if (Bit(edx, 31)) pProbe->dwFeatures |= CPU_FEATURE_3DNOW;
    if (bAmd && Bit(edx, 30)) pProbe->dwFeatures |= CPU_FEATURE_3DNOW_EXT;
    if (bAmd && Bit(edx, 22)) pProbe->dwFeatures |= CPU_FEATURE_SSE_MMX;
}

const CPUPROBE& ThisCpu()
{
    // SSE is part of the x86-64 base, and the system saves its state: an SSE instruction
    // always executes here.
    static const CPUPROBE s_probe = [] {
        CPUPROBE probe;
        ProbeCpu(CpuId, true, &probe);
        return probe;
    }();
    return s_probe;
}

void WriteLine(PFNREPORTLINE pfnWrite, void* pContext, const char* pszFormat, ...)
    __attribute__((format(printf, 3, 4)));

void WriteLine(PFNREPORTLINE pfnWrite, void* pContext, const char* pszFormat, ...)
{
    char szLine[256];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szLine, sizeof(szLine), pszFormat, args);
    va_end(args);
    pfnWrite(szLine, pContext);
}

}  // namespace

void ProbeCpu(PFNCPUIDLEAF pfnCpuId, bool bSseRuns, CPUPROBE* pProbe)
{
    memset(pProbe, 0, sizeof(*pProbe));
    uint32_t r[4] = {};
    if (!pfnCpuId(0, r)) {
        return;
    }
    pProbe->dwFeatures = CPU_FEATURE_CPUID;
    memcpy(pProbe->szVendor + 0, &r[1], 4);
    memcpy(pProbe->szVendor + 4, &r[3], 4);
    memcpy(pProbe->szVendor + 8, &r[2], 4);
    pProbe->szVendor[12] = '\0';
    const bool bAmd = memcmp(pProbe->szVendor, AMD_VENDOR, sizeof(AMD_VENDOR)) == 0;
    if (r[0] > 0) {
        pProbe->dwFeatures |= CPU_FEATURE_CPUID_STD;
        ReadStandardLeaf(pfnCpuId, bAmd, pProbe);
    }
    ReadExtendedLeaves(pfnCpuId, bAmd, pProbe);
    if (!bSseRuns) {
        pProbe->dwFeatures &= ~(DWORD)CPU_FEATURE_SSE_FPU;
    }
}

DWORD HasCPUID() { return ThisCpu().dwFeatures & CPU_FEATURE_CPUID; }
DWORD HasCPUIDStd() { return ThisCpu().dwFeatures & CPU_FEATURE_CPUID_STD; }
DWORD HasCPUIDExt() { return ThisCpu().dwFeatures & CPU_FEATURE_CPUID_EXT; }
DWORD HasTSC() { return ThisCpu().dwFeatures & CPU_FEATURE_TSC; }
DWORD HasMMX() { return ThisCpu().dwFeatures & CPU_FEATURE_MMX; }
DWORD Has3DNow() { return ThisCpu().dwFeatures & CPU_FEATURE_3DNOW; }
DWORD Has3DNowExt() { return ThisCpu().dwFeatures & CPU_FEATURE_3DNOW_EXT; }
DWORD HasSSEMMX() { return ThisCpu().dwFeatures & CPU_FEATURE_SSE_MMX; }
DWORD HasSSEFPU() { return ThisCpu().dwFeatures & CPU_FEATURE_SSE_FPU; }
DWORD HasFPU() { return ThisCpu().dwFeatures & CPU_FEATURE_FPU; }
const char* GetVendor() { return ThisCpu().szVendor; }
unsigned GetFamily() { return ThisCpu().nFamily; }
unsigned GetModel() { return ThisCpu().nModel; }
unsigned GetStepping() { return ThisCpu().nStepping; }

void WriteCpuReport(const CPUPROBE& probe, const char* pszSystem, const char* pszVersion, PFNREPORTLINE pfnWrite,
                    void* pContext)
{
    static const struct {
        DWORD dwBit;
        const char* pszLine;
    } s_lines[] = {
        {CPU_FEATURE_CPUID, "CPU supports CPUID\n"},     {CPU_FEATURE_CPUID_STD, "CPU supports CPUID STD\n"},
        {CPU_FEATURE_CPUID_EXT, "CPU supports CPUID EXT\n"}, {CPU_FEATURE_MMX, "CPU supports MMX\n"},
        {CPU_FEATURE_3DNOW, "CPU supports 3DNOW\n"},     {CPU_FEATURE_3DNOW_EXT, "CPU supports 3DNOW_EXT\n"},
        {CPU_FEATURE_SSE_MMX, "CPU supports SSE MMX\n"}, {CPU_FEATURE_SSE_FPU, "CPU supports SSE FPU\n"},
        {CPU_FEATURE_FPU, "CPU supports FPU\n"},
    };
    WriteLine(pfnWrite, pContext, "CPU Vendor : %s\n", probe.szVendor);
    WriteLine(pfnWrite, pContext, "Family : %u  Model : %u  Stepping : %u\n", probe.nFamily, probe.nModel,
              probe.nStepping);
    for (const auto& line : s_lines) {
        if (probe.dwFeatures & line.dwBit) {
            pfnWrite(line.pszLine, pContext);
        }
    }
    WriteLine(pfnWrite, pContext, "Platform : %s %s\n", pszSystem, pszVersion);
}

void WriteCpuReport(PFNREPORTLINE pfnWrite, void* pContext)
{
    // The system in place of the Windows version: its name and release as the host reports them.
    char szSystem[128];
    char szVersion[128];
    if (!GetHostSystemName(szSystem, sizeof(szSystem), szVersion, sizeof(szVersion))) {
        snprintf(szSystem, sizeof(szSystem), "%s", "(Unknown System)");
        szVersion[0] = '\0';
    }
    WriteCpuReport(ThisCpu(), szSystem, szVersion, pfnWrite, pContext);
}
