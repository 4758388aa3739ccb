#include "platform/host/Clock.h"

#include <cerrno>
#include <ctime>

uint32_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void SleepRealMs(uint32_t dwMs) {
    timespec req{};
    req.tv_sec = static_cast<time_t>(dwMs / 1000u);
    req.tv_nsec = static_cast<long>(dwMs % 1000u) * 1000000L;
    // A signal must not cut the pacing sleep short.
    while (nanosleep(&req, &req) != 0 && errno == EINTR) {
    }
}
