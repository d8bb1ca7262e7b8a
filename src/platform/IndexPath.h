#pragma once

#include <QHashFunctions>

// A row of a table list: its section and its row within the section.
struct IndexPath
{
    int section = 0;
    int row = 0;

    friend bool operator==(const IndexPath &a, const IndexPath &b) { return a.section == b.section && a.row == b.row; }
    friend bool operator!=(const IndexPath &a, const IndexPath &b) { return !(a == b); }
    friend bool operator<(const IndexPath &a, const IndexPath &b)
    {
        return a.section != b.section ? a.section < b.section : a.row < b.row;
    }
    friend size_t qHash(const IndexPath &p, size_t seed = 0) { return qHashMulti(seed, p.section, p.row); }
};
