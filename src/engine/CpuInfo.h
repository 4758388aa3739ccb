// The processor's vendor, signature and instruction-set features, probed once on the first query
// and kept. The device report lists them; the MMX answer picks a blit variant.
#pragma once
#include <cstdint>
#include "platform/win/WinTypes.h"

enum {
    CPU_FEATURE_CPUID = 0x1,
    CPU_FEATURE_CPUID_STD = 0x2,
    CPU_FEATURE_CPUID_EXT = 0x4,
    CPU_FEATURE_TSC = 0x10,
    CPU_FEATURE_MMX = 0x20,
    CPU_FEATURE_CMOV = 0x40,
    CPU_FEATURE_3DNOW = 0x80,
    CPU_FEATURE_3DNOW_EXT = 0x100,
    CPU_FEATURE_SSE_MMX = 0x200,
    CPU_FEATURE_SSE_FPU = 0x400,
    CPU_FEATURE_AMD_SIG_588 = 0x800,
    CPU_FEATURE_MTRR = 0x1000,
    CPU_FEATURE_FPU = 0x2000,
};

struct CPUPROBE {
    DWORD dwFeatures;
    char szVendor[13];
    unsigned nFamily;
    unsigned nModel;
    unsigned nStepping;
};

// One CPUID leaf into regs (EAX, EBX, ECX, EDX); false when the instruction is not there.
typedef bool (*PFNCPUIDLEAF)(uint32_t dwLeaf, uint32_t regs[4]);

// The probe itself, on any CPUID source; bSseRuns tells whether an SSE instruction executes.
void ProbeCpu(PFNCPUIDLEAF pfnCpuId, bool bSseRuns, CPUPROBE* pProbe);

// Queries on this machine's processor (probed on the first call).
DWORD HasCPUID();
DWORD HasCPUIDStd();
DWORD HasCPUIDExt();
DWORD HasTSC();
DWORD HasMMX();
DWORD Has3DNow();
DWORD Has3DNowExt();
DWORD HasSSEMMX();
DWORD HasSSEFPU();
DWORD HasFPU();
const char* GetVendor();
unsigned GetFamily();
unsigned GetModel();
unsigned GetStepping();

// The processor and platform lines of the device report, each ending in "\n", handed one by one
// to pfnWrite.
typedef void (*PFNREPORTLINE)(const char* pszLine, void* pContext);
void WriteCpuReport(const CPUPROBE& probe, const char* pszSystem, const char* pszVersion, PFNREPORTLINE pfnWrite,
                    void* pContext);
// The same for this machine: its probe and the host's system name and release.
void WriteCpuReport(PFNREPORTLINE pfnWrite, void* pContext);
