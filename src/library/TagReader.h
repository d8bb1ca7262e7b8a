#pragma once

#include <QString>
#include <QByteArray>
#include <QList>
#include <QVariantMap>

// Reads a song's tags with TagLib: ID3v2 (2.2, 2.3, 2.4) with ID3v1 as the fallback for
// text in MP3 files, iTunes-style atoms in M4A files. Text that a frame stores as
// ISO Latin-1 (and all ID3v1 text) comes back as one character per stored byte, so
// the user's tag encoding can reinterpret it later. Safe to call from any thread.
class TagReader
{
public:
    TagReader() = delete;

    static constexpr int kArtworkSize = 92;

    enum class Kind { Mp3, M4a };

    // The song record: any of "title", "albumName", "artist" (strings) and "artwork"
    // (a 92 x 92 PNG of the cover, stretched). Empty when the file cannot be read.
    static QVariantMap read(const QString &path, Kind kind);
    // The embedded lyrics (ID3 USLT, the M4A lyrics atom); empty when there are none.
    static QString readLyrics(const QString &path, Kind kind);
    // The cover pictures as stored (APIC frames, the M4A cover atom), in tag order, for a
    // view that shows the cover large. Empty when there are none.
    static QList<QByteArray> readPictures(const QString &path, Kind kind);

    // The artwork bytes as stored: a 92 x 92 PNG, or nothing when the picture does not decode.
    static QByteArray artworkPng(const QByteArray &pictureBytes);
};
