#include "BenchSide.h"

#include <chrono>
#include <string>

namespace {

double TimedRun(CBenchSide& side, bool bReset)
{
    if (bReset) {
        side.Reset();
    }
    const auto t0 = std::chrono::steady_clock::now();
    side.Run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

void TimeSidesInTurn(benchmark::State& state, const std::vector<std::pair<const char*, CBenchSide*>>& sides,
                     bool bReset)
{
    std::vector<double> totals(sides.size(), 0.0);
    for (auto _ : state) {
        double fAll = 0.0;
        for (size_t i = 0; i < sides.size(); i++) {
            const double f = TimedRun(*sides[i].second, bReset);
            totals[i] += f;
            fAll += f;
        }
        state.SetIterationTime(fAll);
    }
    const double fRuns = (double)state.iterations();
    for (size_t i = 0; i < sides.size(); i++) {
        const std::string strName = sides[i].first;
        state.counters[strName + "_us"] = fRuns > 0.0 ? totals[i] / fRuns * 1e6 : 0.0;
        if (i > 0) {
            state.counters["ratio_" + strName] = totals[0] > 0.0 ? totals[i] / totals[0] : 0.0;
        }
    }
}
