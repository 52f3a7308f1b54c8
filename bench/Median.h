#pragma once
#include <algorithm>
#include <vector>

// The middle of a run's timings: one slow round on a busy machine moves it
// less than it moves a mean.
inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
