#pragma once

#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <vector>

// CPU time of the calling thread, as Google Benchmark's CPU column counts it, so a
// figure and its bare-engine baseline compare on the same clock on a shared machine.
namespace BenchClock {

inline double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The median CPU seconds of `runs` runs of `work`.
template <typename Work>
double medianSeconds(int runs, Work&& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = threadSeconds();
        work();
        times.push_back(threadSeconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Measures the loop of a benchmark: construct before the loop, call report() after.
class Loop {
public:
    Loop() : m_start(threadSeconds()) {}

    // "bare_ms": the bare engine's median for the same work; "x_bare": ours over it.
    template <typename Bare>
    void reportAgainst(benchmark::State& state, int runs, Bare&& bare) const
    {
        const double ours = (threadSeconds() - m_start) / static_cast<double>(std::max<int64_t>(1, state.iterations()));
        const double base = medianSeconds(runs, bare);
        state.counters["bare_ms"] = base * 1e3;
        state.counters["x_bare"] = base > 0 ? ours / base : 0;
    }

private:
    double m_start;
};

} // namespace BenchClock
