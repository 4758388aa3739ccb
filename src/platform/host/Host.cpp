#include "platform/host/Host.h"

#include <atomic>

namespace {
std::atomic<IHost*> g_pHost{nullptr};
}

IHost* GetHost() { return g_pHost.load(std::memory_order_acquire); }

void SetHost(IHost* pHost) { g_pHost.store(pHost, std::memory_order_release); }

HOSTRECT FitKeepingAspect(int srcW, int srcH, int outW, int outH) {
    if (srcW <= 0 || srcH <= 0 || outW <= 0 || outH <= 0) return HOSTRECT{0, 0, 0, 0};
    // Compared as products so that no rounding decides which side gets the bars.
    const int64_t nWide = static_cast<int64_t>(outW) * srcH;
    const int64_t nTall = static_cast<int64_t>(outH) * srcW;
    HOSTRECT rc{0, 0, outW, outH};
    if (nWide > nTall) {
        rc.w = static_cast<int>(nTall / srcH);
        rc.x = (outW - rc.w) / 2;
    } else if (nWide < nTall) {
        rc.h = static_cast<int>(nWide / srcW);
        rc.y = (outH - rc.h) / 2;
    }
    return rc;
}
