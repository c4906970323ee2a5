#pragma once

// A small timing harness for the benchmarks: runs a piece of work several times and reports
// the median, which a stray slow run (a page-cache miss, another process) does not move.

#include <algorithm>
#include <chrono>
#include <vector>

namespace kivo::bench {

// Milliseconds taken by each of `runs` calls of `work`, after one call that is not counted
// (it warms the caches that every later call finds warm in the program too).
template <typename Work> std::vector<double> TimeRuns(int runs, Work&& work)
{
    work();
    std::vector<double> times;
    times.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return times;
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline double Minimum(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

inline double Maximum(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

} // namespace kivo::bench
