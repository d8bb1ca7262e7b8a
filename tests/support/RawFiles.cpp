#include "RawFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool RawFiles::write(const QByteArray &path, const QByteArray &contents)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, contents.constData(), size_t(contents.size())) == contents.size();
    return ::close(fd) == 0 && ok;
}

QByteArray RawFiles::read(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "<missing>";
    QByteArray contents;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        contents.append(buffer, got);
    ::close(fd);
    return contents;
}

bool RawFiles::exists(const QByteArray &path)
{
    struct stat info
    {};
    return ::lstat(path.constData(), &info) == 0;
}
