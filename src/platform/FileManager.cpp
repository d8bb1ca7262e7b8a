#include "FileManager.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

// The characters that stand for the bytes 0x80..0xFF of names that are not UTF-8.
constexpr char16_t kFirstByteEscape = 0xEF80;
constexpr char16_t kLastByteEscape = 0xEFFF;

bool isByteEscape(char32_t c)
{
    return c >= kFirstByteEscape && c <= kLastByteEscape;
}

// Length of the well-formed UTF-8 sequence at p (shortest form, no surrogates, at most
// U+10FFFF), or 0 when there is none.
int utf8Sequence(const uchar *p, qsizetype available, char32_t *codePoint)
{
    const uchar lead = p[0];
    int length = 0;
    uchar low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || p[1] < low || p[1] > high)
        return 0;
    char32_t c = lead & (0xFF >> (length + 1));
    c = (c << 6) | (p[1] & 0x3F);
    for (int i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (p[i] & 0x3F);
    }
    *codePoint = c;
    return length;
}

void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

fs::path toPath(const QString &path)
{
    return fs::path(FileManager::fileSystemRepresentation(path).toStdString());
}

bool entryExists(const QByteArray &path)
{
    struct stat info
    {};
    return ::lstat(path.constData(), &info) == 0;
}

// rename() that never replaces an existing target.
int renameNoReplace(const char *from, const char *to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // File systems without RENAME_NOREPLACE: check first (a narrow race, same user only).
    if (entryExists(to)) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

std::atomic<FileManager::RenameCall> renameCall{nullptr};

QByteArray directoryOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

void syncDirectory(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool copyDescriptor(int in, int out)
{
    char buffer[128 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer + done, size_t(got - done));
            if (put < 0 && errno != EINTR)
                return false;
            if (put > 0)
                done += put;
        }
    }
}

// A file moved to another file system: copied beside its target under a hidden name,
// flushed, put in place without replacing anything, and only then removed from its old
// place. A crash on the way leaves both copies, never neither.
bool moveFileAcross(const QByteArray &source, const QByteArray &target)
{
    struct stat info
    {};
    if (::lstat(source.constData(), &info) != 0)
        return false;
    // Folders and links stay where they are: a move of those is one rename or nothing.
    if (!S_ISREG(info.st_mode) || entryExists(target))
        return false;
    const int in = ::open(source.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    QByteArray scratch = directoryOf(target) + "/.orbo-move-XXXXXX";
    const int out = ::mkostemp(scratch.data(), O_CLOEXEC);
    if (out < 0) {
        ::close(in);
        return false;
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    bool ok = copyDescriptor(in, out) && ::fchmod(out, info.st_mode & 07777) == 0 && ::futimens(out, times) == 0
        && ::fsync(out) == 0;
    ::close(in);
    ok = ::close(out) == 0 && ok;
    if (!ok || renameNoReplace(scratch.constData(), target.constData()) != 0) {
        ::unlink(scratch.constData());
        return false;
    }
    syncDirectory(directoryOf(target));
    if (::unlink(source.constData()) != 0) {
        // The source cannot go (a read-only place): take the copy back, the move did not happen.
        ::unlink(target.constData());
        return false;
    }
    syncDirectory(directoryOf(source));
    return true;
}
} // namespace

QByteArray FileManager::fileSystemRepresentation(const QString &path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path.at(i).unicode();
        if (isByteEscape(unit)) {
            bytes.append(char(unit - kFirstByteEscape + 0x80));
        } else if (QChar::isHighSurrogate(unit) && i + 1 < path.size() && path.at(i + 1).isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(unit, path.at(i + 1).unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            appendUtf8(bytes, QChar::ReplacementCharacter); // as QString::toUtf8 writes it
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

QString FileManager::stringWithFileSystemRepresentation(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t c = p[i];
        const int length = c < 0x80 ? 1 : utf8Sequence(p + i, bytes.size() - i, &c);
        if (length > 0 && !isByteEscape(c)) {
            text.append(QStringView(QChar::fromUcs4(c)));
            i += length;
        } else {
            text.append(QChar(char16_t(kFirstByteEscape + p[i] - 0x80)));
            ++i;
        }
    }
    return text;
}

QStringList FileManager::contentsOfDirectory(const QString &path)
{
    QStringList names;
    std::error_code error;
    fs::directory_iterator it(toPath(path), error);
    for (const fs::directory_iterator end; !error && it != end; it.increment(error))
        names.append(stringWithFileSystemRepresentation(QByteArray::fromStdString(it->path().filename().native())));
    return error ? QStringList() : names;
}

bool FileManager::isDirectory(const QString &path)
{
    struct stat info
    {};
    return ::stat(fileSystemRepresentation(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileManager::isRegularFile(const QString &path)
{
    struct stat info
    {};
    return ::stat(fileSystemRepresentation(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FileManager::fileExists(const QString &path)
{
    return entryExists(fileSystemRepresentation(path));
}

std::optional<Date> FileManager::modificationDate(const QString &path)
{
    struct stat info
    {};
    if (::stat(fileSystemRepresentation(path).constData(), &info) != 0)
        return std::nullopt;
    return Date::fromSeconds(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
}

QString FileManager::canonicalPath(const QString &path)
{
    char *resolved = ::realpath(fileSystemRepresentation(path).constData(), nullptr);
    if (!resolved)
        return {};
    const QString canonical = stringWithFileSystemRepresentation(QByteArray(resolved));
    std::free(resolved);
    return canonical;
}

bool FileManager::openFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    int flags = O_CLOEXEC;
    if (mode.testFlag(QIODevice::ReadOnly) && mode.testFlag(QIODevice::WriteOnly))
        flags |= O_RDWR;
    else if (mode.testFlag(QIODevice::WriteOnly))
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (mode.testFlag(QIODevice::WriteOnly)) {
        flags |= O_CREAT;
        // As QFile does: writing alone starts the file afresh.
        if (mode.testFlag(QIODevice::Truncate)
            || !(mode & (QIODevice::ReadOnly | QIODevice::Append | QIODevice::NewOnly)))
            flags |= O_TRUNC;
        if (mode.testFlag(QIODevice::Append))
            flags |= O_APPEND;
        if (mode.testFlag(QIODevice::NewOnly))
            flags |= O_EXCL;
    }
    const int fd = ::open(fileSystemRepresentation(path).constData(), flags, 0666);
    if (fd < 0)
        return false;
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool FileManager::moveItem(const QString &from, const QString &to)
{
    const QByteArray source = fileSystemRepresentation(from);
    const QByteArray target = fileSystemRepresentation(to);
    const RenameCall call = renameCall.load();
    if ((call ? call : renameNoReplace)(source.constData(), target.constData()) == 0)
        return true;
    return errno == EXDEV && moveFileAcross(source, target);
}

void FileManager::setRenameCall(RenameCall call)
{
    renameCall.store(call);
}

bool FileManager::copyItem(const QString &from, const QString &to)
{
    const fs::path source = toPath(from);
    const fs::path target = toPath(to);
    std::error_code error;
    if (entryExists(fileSystemRepresentation(to)) || !entryExists(fileSystemRepresentation(from)))
        return false;
    fs::copy(source, target, fs::copy_options::recursive, error);
    // A target that appeared meanwhile is someone else's: it stays.
    if (error && error != std::errc::file_exists) {
        std::error_code ignored;
        fs::remove_all(target, ignored);
    }
    return !error;
}

bool FileManager::removeItem(const QString &path)
{
    std::error_code error;
    fs::remove_all(toPath(path), error);
    return !error;
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
    if (const int folder = ::open(fileSystemRepresentation(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}
