// Makes playlist changes in a home folder, says so, then waits in the event loop until
// it is killed:  playlist_writer HOME NAME ENTRY...
// The crash-safety test kills it the moment it has spoken; only a change that was
// flushed at once can be in the settings file then.
#include "library/PlaylistStore.h"
#include "platform/Sandbox.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: playlist_writer HOME NAME ENTRY...\n");
        return 2;
    }
    Sandbox::setHome(QString::fromLocal8Bit(argv[1]));
    Sandbox::createFolders();
    const QString name = QString::fromLocal8Bit(argv[2]);
    QStringList entries;
    for (int i = 3; i < argc; ++i)
        entries << QString::fromLocal8Bit(argv[i]);
    PlaylistStore store = PlaylistStore::load();
    if (!store.addPlaylist(name) || !store.appendEntries(name, entries))
        return 1;
    std::printf("changed\n");
    std::fflush(stdout);
    return app.exec();
}
