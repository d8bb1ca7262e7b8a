#pragma once

#include <QString>

// What the installed program knows about itself.
class Bundle
{
public:
    Bundle() = delete;

    // The bundle version: the application version when one is set, else the build's version.
    static QString version();

    // The file of a resource by name and type ("Orbo_Melody_Play-01", "wav"), or an empty
    // string when the bundle has none. Resources are compiled into the program.
    static QString pathForResource(const QString &name, const QString &type);
    // Where resources are looked up (":/bundle/"); tests point it at a folder of their own.
    static QString resourceRoot();
    static void setResourceRoot(const QString &root);
};
