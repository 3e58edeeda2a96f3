#pragma once
// A small benchmark harness: times a piece of work several times, takes the
// median, and prints it beside a baseline timed in the same run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double nowMs() {
    static const double perMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return double(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / perMs;
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Milliseconds per call of `work`: the median over `runs` runs of `calls` calls.
template <class Work> double perCallMs(Work&& work, int runs = 7, int calls = 50) {
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        const double start = nowMs();
        for (int call = 0; call < calls; ++call)
            work();
        samples.push_back((nowMs() - start) / calls);
    }
    return median(samples);
}

// One line of the report; `target` 0 means the figure has no target.
inline void report(const char* figure, double value, double baseline, const char* unit,
                   double target = 0) {
    const double ratio = baseline > 0 ? value / baseline : 0;
    std::printf("%-46s %10.4f %-3s baseline %10.4f %-3s ratio %6.2fx", figure, value, unit,
                baseline, unit, ratio);
    if (target > 0) std::printf("  target <= %.1fx %s", target, ratio <= target ? "ok" : "MISSED");
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace bench
