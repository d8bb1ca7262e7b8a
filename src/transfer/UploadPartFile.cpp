#include "transfer/UploadPartFile.h"

#include "platform/FileManager.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray temporaryName()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = UploadPartFile::kPrefix;
    for (int i = 0; i < 10; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return name;
}
} // namespace

UploadPartFile::UploadPartFile(QByteArray directory, QByteArray path, int descriptor)
    : m_directory(std::move(directory)), m_path(std::move(path)), m_descriptor(descriptor)
{}

std::unique_ptr<UploadPartFile> UploadPartFile::create(const QString &directory)
{
    const QByteArray folder = QFile::encodeName(directory);
    const int unnamed = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0)
        return std::unique_ptr<UploadPartFile>(new UploadPartFile(folder, {}, unnamed));
    // FAT, exFAT, NFS and others have no unnamed files: a hidden name from the start.
    QByteArray path = folder + '/' + kPrefix + "XXXXXX";
    const int named = ::mkostemp(path.data(), O_CLOEXEC);
    if (named < 0)
        return nullptr;
    return std::unique_ptr<UploadPartFile>(new UploadPartFile(folder, path, named));
}

UploadPartFile::~UploadPartFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    if (!m_committed && !m_path.isEmpty())
        ::unlink(m_path.constData());
}

bool UploadPartFile::write(const char *data, qsizetype size)
{
    if (m_descriptor < 0) {
        errno = EBADF;
        return false;
    }
    while (size > 0) {
        const ssize_t written = ::write(m_descriptor, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written < size) {
            errno = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool UploadPartFile::giveName()
{
    if (!m_path.isEmpty())
        return true;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_descriptor);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = m_directory + '/' + temporaryName();
        if (::linkat(m_descriptor, "", AT_FDCWD, path.constData(), AT_EMPTY_PATH) == 0
            || ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, path.constData(), AT_SYMLINK_FOLLOW) == 0) {
            m_path = path;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool UploadPartFile::park()
{
    if (m_descriptor < 0)
        return true;
    if (!giveName())
        return false;
    ::close(m_descriptor);
    m_descriptor = -1;
    return true;
}

bool UploadPartFile::sync()
{
    const bool parked = m_descriptor < 0;
    const int descriptor = parked ? ::open(m_path.constData(), O_RDONLY | O_CLOEXEC) : m_descriptor;
    if (descriptor < 0)
        return false;
    // Temporary files are private; the stored song gets the usual permissions.
    ::fchmod(descriptor, 0666 & ~FileManager::processUmask());
    const bool synced = ::fsync(descriptor) == 0;
    const int error = errno;
    if (parked)
        ::close(descriptor);
    errno = error;
    return synced;
}

bool UploadPartFile::commit(const QString &target)
{
    if (!giveName())
        return false;
    if (std::rename(m_path.constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    m_committed = true;
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    return true;
}

bool UploadPartFile::isTemporaryName(const QString &fileName)
{
    return UploadPartName::matches(fileName);
}

void UploadPartFile::removeStale(const QString &root)
{
    const QString filter = QLatin1String(kPrefix) + QLatin1Char('*');
    QStringList folders{root};
    for (const QString &folder :
         QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks))
        folders.append(root + QLatin1Char('/') + folder);
    for (const QString &folder : std::as_const(folders)) {
        const QDir directory(folder);
        for (const QString &name : directory.entryList({filter}, QDir::Files | QDir::Hidden | QDir::System))
            QFile::remove(directory.filePath(name));
    }
}

bool UploadPartFile::isNoSpace(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}
