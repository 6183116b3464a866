#pragma once

// The median of a benchmark's rounds: one slow round (another process, a cold cache) moves it
// less than it moves the mean.

#include <algorithm>
#include <vector>

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
