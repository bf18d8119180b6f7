// The figures every benchmark prints: medians of its rounds and the
// processor time its tools used.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <vector>

// The middle of the rounds, -1 when none ran.
inline double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Seconds of processor time the finished children used so far: on a busy
// machine it tells the tools' work apart from their waiting.
inline double ChildrenCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
