#pragma once

#include <QtGlobal>

#include <algorithm>

// A byte range: first position and length.
struct DDRange
{
    quint64 location = 0;
    quint64 length = 0;

    quint64 end() const { return location + length; }
    bool operator==(const DDRange &) const = default;

    // From the larger start to the smaller end; disjoint ranges give (0, 0).
    static DDRange intersection(const DDRange &a, const DDRange &b)
    {
        const quint64 start = std::max(a.location, b.location);
        const quint64 end = std::min(a.end(), b.end());
        return end > start ? DDRange{start, end - start} : DDRange{};
    }
};
