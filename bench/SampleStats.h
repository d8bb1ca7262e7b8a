#pragma once

#include <algorithm>
#include <vector>

// Median, 95th percentile and largest of a benchmark's samples.
struct SampleStats
{
    double median, p95, max;

    static SampleStats of(std::vector<double> values)
    {
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        return {values[n / 2], values[std::min(n - 1, size_t(double(n) * 0.95))], values.back()};
    }
};
