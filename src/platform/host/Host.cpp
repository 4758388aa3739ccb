#include "platform/host/Host.h"

#include <atomic>

namespace {
std::atomic<IHost*> g_pHost{nullptr};
}

IHost* GetHost() { return g_pHost.load(std::memory_order_acquire); }

void SetHost(IHost* pHost) { g_pHost.store(pHost, std::memory_order_release); }
