#include "FileManager.h"

#include <QFile>

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QStringList FileManager::contentsOfDirectory(const QString &path)
{
    QStringList names;
    std::error_code error;
    std::filesystem::directory_iterator it(QFile::encodeName(path).toStdString(), error);
    for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error))
        names.append(QFile::decodeName(it->path().filename().c_str()));
    return error ? QStringList() : names;
}

bool FileManager::isDirectory(const QString &path)
{
    std::error_code error;
    return std::filesystem::is_directory(QFile::encodeName(path).toStdString(), error);
}

std::optional<Date> FileManager::modificationDate(const QString &path)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return Date::fromSeconds(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
}

QString FileManager::appendingPathComponent(const QString &path, const QString &component)
{
    qsizetype skip = 0;
    while (skip < component.size() && component.at(skip) == QLatin1Char('/'))
        ++skip;
    const QString name = component.mid(skip);
    if (path.isEmpty())
        return name;
    return path.endsWith(QLatin1Char('/')) ? path + name : path + QLatin1Char('/') + name;
}

mode_t FileManager::processUmask()
{
    static const mode_t mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray &line : status.readAll().split('\n'))
                if (line.startsWith("Umask:"))
                    return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        return mode_t(022);
    }();
    return mask;
}

void FileManager::flushFolder(const QString &path)
{
    if (const int folder = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY); folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}
