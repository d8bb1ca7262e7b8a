#pragma once

#include <QString>

// The code a transfer server can ask for: six decimal digits from the system's random
// source, new at every start.
class AccessCode
{
public:
    AccessCode() = delete;

    static constexpr int digits = 6;
    static QString generate();
};
