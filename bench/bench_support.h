// What the benchmarks share: their clock, the script thread's hold on the UI
// thread, and the figures they print.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

#include "tests/app/ui_thread.h"

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline double Worst(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
