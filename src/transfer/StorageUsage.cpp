#include "transfer/StorageUsage.h"

#include "platform/Translations.h"

#include <QByteArray>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <vector>

StorageUsage::Figures StorageUsage::measure(const QString &homeFolder, const QString &documentsFolder)
{
    Figures figures;
    struct statvfs fs
    {};
    if (::statvfs(QFile::encodeName(homeFolder).constData(), &fs) == 0) {
        figures.free = quint64(fs.f_bavail) * fs.f_frsize;
        figures.total = quint64(fs.f_blocks) * fs.f_frsize;
    }
    figures.used = usedBytes(documentsFolder);
    return figures;
}

quint64 StorageUsage::usedBytes(const QString &folder)
{
    // One open folder at a time, however deep the tree: folders wait as paths.
    quint64 sum = 0;
    std::vector<QByteArray> pending{QFile::encodeName(folder)};
    while (!pending.empty()) {
        const QByteArray path = std::move(pending.back());
        pending.pop_back();
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        DIR *dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            continue;
        }
        while (const dirent *entry = ::readdir(dir)) {
            const char *name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            struct stat st
            {};
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            sum += quint64(st.st_size);
            if (S_ISDIR(st.st_mode))
                pending.push_back(path + '/' + name);
        }
        ::closedir(dir);
    }
    return sum;
}

float StorageUsage::gigabytes(quint64 bytes)
{
    constexpr float perKilo = 1.0f / 1024.0f;
    return float(bytes) * perKilo * perKilo * perKilo;
}

QString StorageUsage::text(const Figures &figures)
{
    return QString::asprintf("%s:%.1fGB  %s:%.1fGB  %s:%.1fGB", qUtf8Printable(Translations::text("USED")),
                             double(gigabytes(figures.used)), qUtf8Printable(Translations::text("FREE")),
                             double(gigabytes(figures.free)), qUtf8Printable(Translations::text("TOTAL")),
                             double(gigabytes(figures.total)));
}
