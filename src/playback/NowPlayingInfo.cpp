#include "NowPlayingInfo.h"

#include "platform/ImageView.h"
#include "platform/Sandbox.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QUrl>

#include <cmath>

NowPlayingInfo::NowPlayingInfo(quint64 trackNumber, const QString &title, const QString &artist, const QString &album,
                               double durationSeconds, const QByteArray &artworkPng)
    : m_trackNumber(trackNumber),
      m_title(title),
      m_artist(artist),
      m_album(album),
      m_duration(durationSeconds),
      m_artworkPng(artworkPng)
{}

QString NowPlayingInfo::trackId() const
{
    return QStringLiteral("/org/orbo/Orbo/track/%1").arg(m_trackNumber);
}

namespace {
// The default picture as PNG bytes, encoded once: songs without a cover are common.
QByteArray defaultArtwork()
{
    static const QByteArray bytes = [] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        const QPixmap picture = ImageView::imageNamed(QStringLiteral("noAlbumImageBig"));
        return !picture.isNull() && picture.save(&buffer, "PNG") ? png : QByteArray();
    }();
    return bytes;
}
} // namespace

bool NowPlayingInfo::writeArtwork(const QString &previousArtUrl)
{
    const QByteArray png = m_artworkPng.isEmpty() ? defaultArtwork() : m_artworkPng;
    if (png.isEmpty())
        return false;
    // Named by its contents: a desktop that keeps pictures by address never shows an old one.
    const QString folder = Sandbox::cachesPath() + QStringLiteral("/nowPlaying");
    const QString path = folder + QLatin1Char('/')
        + QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha1).toHex()) + QStringLiteral(".png");
    if (!QDir().mkpath(folder))
        return false;
    if (!QFile::exists(path)) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit())
            return false;
    }
    m_artUrl = QUrl::fromLocalFile(path).toString();
    const QString previous = QUrl(previousArtUrl).toLocalFile();
    if (!previous.isEmpty() && previous != path && previous.startsWith(folder + QLatin1Char('/')))
        QFile::remove(previous);
    return true;
}

QVariantMap NowPlayingInfo::mprisMetadata() const
{
    if (isEmpty())
        return {};
    QVariantMap map{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId()))},
        {QStringLiteral("mpris:length"), qlonglong(std::llround(m_duration * 1e6))},
        {QStringLiteral("xesam:title"), m_title},
    };
    if (!m_artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{m_artist});
    if (!m_album.isEmpty())
        map.insert(QStringLiteral("xesam:album"), m_album);
    if (!m_artUrl.isEmpty())
        map.insert(QStringLiteral("mpris:artUrl"), m_artUrl);
    return map;
}
