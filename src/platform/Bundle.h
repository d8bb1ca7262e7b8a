#pragma once

#include <QString>

// What the installed program knows about itself.
class Bundle
{
public:
    Bundle() = delete;

    // The bundle version: the application version when one is set, else the build's version.
    static QString version();
};
