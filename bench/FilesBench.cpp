// Folder and file management figures, timed inside the program's own operations on a
// tree the bench script made: moving every file of one folder into another (with the
// cache files that follow each song) and deleting a folder. The script times `mv` and
// `rm -r` over a copy of the same tree in the same run.
#include "library/SongCache.h"
#include "library/ZivoModel.h"
#include "platform/FileManager.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>

namespace {

// Moves every file of From into To: "move <ms> <files moved> <files not moved>".
int move()
{
    ZivoModel::appInit();
    const QStringList files = ZivoModel::getFileListAtFolder(QStringLiteral("From"));
    int moved = 0;
    int refused = 0;
    QElapsedTimer clock;
    clock.start();
    for (const QString &name : files)
        (ZivoModel::moveFileFrom(QStringLiteral("From"), QStringLiteral("To"), name) ? moved : refused) += 1;
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    std::printf("move %.3f %d %d\n", ms, moved, refused);
    return refused == 0 && moved == files.size() ? 0 : 1;
}

// Deletes the folder Gone: "delete <ms> <1 when it is gone>".
int remove()
{
    ZivoModel::appInit();
    const QString path = ZivoModel::getPathWithFolderName(QStringLiteral("Gone"));
    QElapsedTimer clock;
    clock.start();
    ZivoModel::deleteDir(path);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    const bool gone = !FileManager::fileExists(path);
    std::printf("delete %.3f %d\n", ms, gone ? 1 : 0);
    return gone ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: files_bench move|delete <home>\n");
        return 2;
    }
    Sandbox::setHome(QString::fromLocal8Bit(argv[2]));
    Sandbox::createFolders();
    int status = 2;
    if (std::strcmp(argv[1], "move") == 0)
        status = move();
    else if (std::strcmp(argv[1], "delete") == 0)
        status = remove();
    UserDefaults::resetStandard();
    return status;
}
