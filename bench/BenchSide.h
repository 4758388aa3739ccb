// One side of a drawing comparison, and the timing of several sides in turn.
#pragma once
#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

class CBenchSide {
public:
    virtual ~CBenchSide() = default;
    // Puts back the picture every run starts from.
    virtual void Reset() = 0;
    virtual void Run() = 0;
};

// Each iteration runs every side once, in turn, so that all see the same machine; with bReset each
// run starts from the starting picture, restored outside the timed part. Counters: each side's
// mean time per run, "<name>_us", and every other side's total time over the first's,
// "ratio_<name>" (above 1: the first is faster).
void TimeSidesInTurn(benchmark::State& state, const std::vector<std::pair<const char*, CBenchSide*>>& sides,
                     bool bReset);
