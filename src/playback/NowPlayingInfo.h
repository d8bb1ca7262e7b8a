#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// What the desktop is told about the song that plays (the media remote's metadata): the
// tag texts as the user's encoding shows them, the length, and the cover as a PNG file in
// the caches folder. One per song, made when the song starts.
class NowPlayingInfo
{
public:
    NowPlayingInfo() = default;
    // trackNumber tells the songs apart (the remote's track id); the texts are shown as
    // given (already converted); artworkPng: the cover, or empty for the default picture.
    NowPlayingInfo(quint64 trackNumber, const QString &title, const QString &artist, const QString &album,
                   double durationSeconds, const QByteArray &artworkPng);

    bool isEmpty() const { return m_trackNumber == 0; }
    quint64 trackNumber() const { return m_trackNumber; }
    QString trackId() const;
    QString title() const { return m_title; }
    QString artist() const { return m_artist; }
    QString album() const { return m_album; }
    double duration() const { return m_duration; }
    // file:// address of the cover PNG (written by writeArtwork), or empty.
    QString artUrl() const { return m_artUrl; }

    // Writes the cover into the caches folder ("nowPlaying/<digest>.png", replacing the
    // previous song's) and remembers its address. False when it cannot be written.
    bool writeArtwork(const QString &previousArtUrl);

    // The MPRIS metadata map (mpris:trackid, mpris:length, xesam:title, xesam:artist,
    // xesam:album, mpris:artUrl).
    QVariantMap mprisMetadata() const;

private:
    quint64 m_trackNumber = 0;
    QString m_title;
    QString m_artist;
    QString m_album;
    double m_duration = 0;
    QByteArray m_artworkPng;
    QString m_artUrl;
};
