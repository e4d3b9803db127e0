// What the benchmarks share: their clock, the script thread's hold on the UI
// thread, the figures they print and their runs by DPI bucket.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
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

// Runs this program again as "self args" at 96 and at 192 dpi (TARVEL_DPI),
// each in a child process since the screen DPI is read once; false when a
// run failed.
inline bool RunAtEachBucket(const char* self, const std::string& args)
{
    for (const char* dpi : {"96", "192"}) {
        const std::string child = "TARVEL_DPI=" + std::string(dpi) + " '" + self + "' " + args;
        if (std::system(child.c_str()) != 0) return false;
    }
    return true;
}
