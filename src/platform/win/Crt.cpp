// The C runtime's random numbers and the processor and system queries.
#include <malloc.h>
#include <sys/utsname.h>

#include <cstring>

#include "platform/win/Win.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {
thread_local uint32_t t_nRandState = 1;

void CopyText(char* pszOut, size_t cbOut, const char* pszText) {
    if (!pszOut || cbOut == 0) return;
    size_t len = strnlen(pszText, cbOut - 1);
    memcpy(pszOut, pszText, len);
    pszOut[len] = '\0';
}
}  // namespace

int CrtRand() {
    t_nRandState = t_nRandState * 214013u + 2531011u;
    return static_cast<int>((t_nRandState >> 16) & 0x7FFF);
}

void CrtSrand(unsigned int nSeed) { t_nRandState = nSeed; }

bool CpuId(uint32_t leaf, uint32_t regs[4]) {
    regs[0] = regs[1] = regs[2] = regs[3] = 0;
#if defined(__x86_64__) || defined(__i386__)
    unsigned int a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(leaf, &a, &b, &c, &d)) return false;
    regs[0] = a;
    regs[1] = b;
    regs[2] = c;
    regs[3] = d;
    return true;
#else
    (void)leaf;
    return false;
#endif
}

bool GetHostSystemName(char* pszName, size_t cbName, char* pszVersion, size_t cbVersion) {
    utsname info{};
    bool bOk = uname(&info) == 0;
    CopyText(pszName, cbName, bOk ? info.sysname : "");
    CopyText(pszVersion, cbVersion, bOk ? info.release : "");
    return bOk;
}

bool CrtMemCheckpoint(CRTMEMSTATE* pState) {
    if (!pState) return false;
    const struct mallinfo2 info = mallinfo2();
    pState->cbInUse = info.uordblks + info.hblkhd;
    pState->cbFromSystem = info.arena + info.hblkhd;
    return pState->cbFromSystem != 0;
}
