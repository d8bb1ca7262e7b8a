// File management figures, each in a home folder of its own:
//
//   file_manager_bench prepare <home> <n>   n songs in Documents/Rock, each with its cached
//                                           tag file and artwork, and an empty Documents/Jazz
//   file_manager_bench move <home>          every song of Rock moved into Jazz the way the
//                                           move picker moves them (cache files following)
//   file_manager_bench delete <home>        the folder Rock deleted the way the folder
//                                           manager deletes it
//
// move and delete print one line "<mode> <milliseconds> <files>"; bench/filemanager runs
// the same work with mv and rm -r on an identical tree and prints the ratios.
#include "library/SongCache.h"
#include "library/ZivoModel.h"
#include "platform/FileManager.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace {

const QString source = QStringLiteral("Rock");
const QString destination = QStringLiteral("Jazz");

bool writeFile(const QString &path, qsizetype size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray(size, 'x')) == size;
}

int prepare(int count)
{
    const QDir documents(Sandbox::documentsPath());
    if (!documents.mkpath(source) || !documents.mkpath(destination))
        return 1;
    QDir().mkpath(SongCache::cacheImagePath());
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("Song number %1.mp3").arg(i, 4, 10, QLatin1Char('0'));
        if (!writeFile(documents.filePath(source + QLatin1Char('/') + name), 64 * 1024)
            || !writeFile(SongCache::tagFilePath(source, name), 600)
            || !writeFile(SongCache::artworkFilePath(source, name), 12 * 1024))
            return 1;
    }
    return 0;
}

int move()
{
    QElapsedTimer clock;
    clock.start();
    const QStringList names = ZivoModel::getFileListAtFolder(source);
    int moved = 0;
    for (const QString &name : names)
        moved += ZivoModel::moveFileFrom(source, destination, name) ? 1 : 0;
    std::printf("move %.3f %d\n", clock.nsecsElapsed() / 1e6, moved);
    return moved == names.size() && !names.isEmpty() ? 0 : 1;
}

int remove()
{
    const QString folder = ZivoModel::getPathWithFolderName(source);
    const int files = int(QDir(folder).entryList(QDir::Files).size());
    QElapsedTimer clock;
    clock.start();
    ZivoModel::deleteDir(folder);
    std::printf("delete %.3f %d\n", clock.nsecsElapsed() / 1e6, files);
    return QFileInfo::exists(folder) ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool prepareMode = argc == 4 && std::strcmp(argv[1], "prepare") == 0;
    if (argc != 3 && !prepareMode) {
        std::fprintf(stderr, "usage: file_manager_bench prepare <home> <n> | move <home> | delete <home>\n");
        return 2;
    }
    Sandbox::setHome(QString::fromLocal8Bit(argv[2]));
    Sandbox::createFolders();
    const char *mode = argv[1];
    int status = 2;
    if (prepareMode)
        status = prepare(std::atoi(argv[3]));
    else if (std::strcmp(mode, "move") == 0)
        status = move();
    else if (std::strcmp(mode, "delete") == 0)
        status = remove();
    UserDefaults::resetStandard();
    return status;
}
