// The benchmarks that run the program measure it on one core.
#pragma once
#include <sched.h>

// Keeps this thread, and the threads the game starts from it, on the first core it may use; that
// core, or -1 when it cannot.
inline int PinToOneCore()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return -1;
    for (int nCpu = 0; nCpu < CPU_SETSIZE; nCpu++) {
        if (CPU_ISSET(nCpu, &set)) {
            cpu_set_t one;
            CPU_ZERO(&one);
            CPU_SET(nCpu, &one);
            return sched_setaffinity(0, sizeof one, &one) == 0 ? nCpu : -1;
        }
    }
    return -1;
}
