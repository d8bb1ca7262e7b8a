#include "SongCache.h"

#include "ZivoModel.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"
#include "platform/Sandbox.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr qsizetype kMaxFileNameBytes = 255;

// Names are used as they are. Only a name too long for the file system (which could
// never be written, so the song would be rebuilt forever) is shortened, with a digest
// of the full name keeping it unique.
QString cacheFile(const QString &name)
{
    const QByteArray bytes = FileManager::fileSystemRepresentation(name);
    if (bytes.size() <= kMaxFileNameBytes)
        return SongCache::cacheImagePath() + name;
    const QString digest = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    QString head = name.left(100);
    while (FileManager::fileSystemRepresentation(head).size() > 150)
        head.chop(1);
    return SongCache::cacheImagePath() + head + QLatin1Char('~') + digest;
}

QByteArray readAll(const QString &path)
{
    QFile file;
    return FileManager::openFile(file, path, QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

QString SongCache::cacheImagePath()
{
    return Sandbox::cachesPath() + QStringLiteral("/cacheImages/");
}

bool SongCache::ensureFolder()
{
    return QDir().mkpath(cacheImagePath());
}

QString SongCache::tagFilePath(const QString &folder, const QString &fileName)
{
    return cacheFile(QStringLiteral("%1_%2.plist").arg(folder, fileName));
}

QString SongCache::artworkFilePath(const QString &folder, const QString &fileName)
{
    return cacheFile(QStringLiteral("%1_%2@2x.png").arg(folder, fileName));
}

QString SongCache::fullArtworkFilePath(const QString &folder, const QString &fileName)
{
    return cacheFile(QStringLiteral("%1_Full%2@2x.png").arg(folder, fileName));
}

QString SongCache::folderOfSong(const QUrl &songUrl)
{
    return QFileInfo(QFileInfo(songUrl.toLocalFile()).path()).fileName();
}

bool SongCache::hasTagFile(const QString &folder, const QString &fileName)
{
    return FileManager::fileExists(tagFilePath(folder, fileName));
}

QVariantMap SongCache::readTagFile(const QString &folder, const QString &fileName)
{
    const QByteArray xml = readAll(tagFilePath(folder, fileName));
    if (xml.isEmpty())
        return {};
    return PropertyList::fromXml(xml).value_or(QVariant()).toMap();
}

QByteArray SongCache::readArtwork(const QString &folder, const QString &fileName)
{
    return readAll(artworkFilePath(folder, fileName));
}

QByteArray SongCache::readFullArtwork(const QString &folder, const QString &fileName)
{
    return readAll(fullArtworkFilePath(folder, fileName));
}

namespace {
// Pictures are written in place: a torn one only shows the default picture until rewritten.
bool writePicture(const QString &path, const QByteArray &png)
{
    // Through the file manager: the name may carry bytes that are not UTF-8.
    QFile file;
    return FileManager::openFile(file, path, QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(png) == png.size();
}
} // namespace

bool SongCache::storeFullArtwork(const QString &folder, const QString &fileName, const QByteArray &png)
{
    return writePicture(fullArtworkFilePath(folder, fileName), png);
}

bool SongCache::store(const QString &folder, const QString &fileName, const QVariantMap &record)
{
    QVariantMap tags = record;
    const QByteArray artwork = tags.take(QStringLiteral("artwork")).toByteArray();
    if (!artwork.isEmpty())
        writePicture(artworkFilePath(folder, fileName), artwork);
    const std::optional<QByteArray> xml = PropertyList::toXml(tags);
    if (!xml)
        return false;
    // Written beside the target and renamed over it: a crash never leaves a torn tag
    // file. No flush to disk, as for any cache: losing the newest files in a power
    // cut only means reading those songs again.
    const QByteArray target = FileManager::fileSystemRepresentation(tagFilePath(folder, fileName));
    // A short scratch name of its own for every write, so that it fits wherever the tag
    // file's name fits, and the builder's queue and the main thread's row loader may
    // write the same song at once without mixing their bytes.
    QByteArray scratch = FileManager::fileSystemRepresentation(cacheImagePath()) + ".part-XXXXXX";
    const int fd = ::mkostemp(scratch.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    QFile file;
    bool written = file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    if (!written)
        ::close(fd);
    written = written && file.write(*xml) == xml->size() && file.flush();
    file.close();
    if (written && ::rename(scratch.constData(), target.constData()) == 0)
        return true;
    ::unlink(scratch.constData());
    return false;
}

QString SongCache::detailText(const QVariantMap &record)
{
    QString detail;
    const QString album = record.value(QStringLiteral("albumName")).toString();
    const QString artist = record.value(QStringLiteral("artist")).toString();
    if (record.contains(QStringLiteral("albumName")))
        detail += QStringLiteral("%1 ").arg(ZivoModel::convertEncodeWithString(album));
    if (record.contains(QStringLiteral("artist")))
        detail += ZivoModel::convertEncodeWithString(artist);
    return detail;
}

SongCache::Row SongCache::row(const QString &folder, const QString &fileName)
{
    Row row{fileName, fileName, QImage()};
    const QString detail = detailText(readTagFile(folder, fileName));
    if (!detail.isEmpty())
        row.detail = detail;
    const QByteArray artwork = readArtwork(folder, fileName);
    if (!artwork.isEmpty())
        row.artwork = QImage::fromData(artwork, "PNG");
    return row;
}
