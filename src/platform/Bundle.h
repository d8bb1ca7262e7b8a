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

    // A folder of resources installed as files beside the program rather than compiled in
    // (the upload page's assets, the demo songs), by name ("___Uploader", "sampleMp3"),
    // canonical; empty when there is none. Looked up in $ORBO_RESOURCES_DIR, then beside an
    // installed program (<prefix>/share/orbo, from <prefix>/bin/orbo), then in the build
    // tree and the source tree, where the program runs from before it is installed.
    static QString installedResourceFolder(const QString &name);
    // The same lookup with the environment's folder given (empty: none).
    static QString findInstalledResourceFolder(const QString &name, const QString &fromEnvironment);
};
