// The machine's own clock, for the hosts that run in real time and for calls made without a host.
#pragma once
#include <cstdint>

// CLOCK_MONOTONIC in milliseconds, truncated to 32 bits (wraps like timeGetTime).
uint32_t MonotonicMs();
void SleepRealMs(uint32_t dwMs);
