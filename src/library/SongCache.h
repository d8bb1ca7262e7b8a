#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QUrl>
#include <QVariantMap>

// The per-song cache in the caches folder's "cacheImages": a tag file "<f>_<n>.plist"
// (the song record without its artwork, as an XML property list), a small artwork
// "<f>_<n>@2x.png" (92 x 92) and, for imported songs, a full-size artwork
// "<f>_Full<n>@2x.png". f is the name of the folder holding the song ("Documents" for
// the root) and n the song's file name. The tag file's existence marks a song as cached.
class SongCache
{
public:
    SongCache() = delete;

    // The cache folder's path with a trailing "/".
    static QString cacheImagePath();
    // Creates the cache folder, with any missing parent. False if it cannot be made.
    static bool ensureFolder();

    static QString tagFilePath(const QString &folder, const QString &fileName);
    static QString artworkFilePath(const QString &folder, const QString &fileName);
    static QString fullArtworkFilePath(const QString &folder, const QString &fileName);

    // The folder part of a song's cache key: the name of the directory holding it.
    static QString folderOfSong(const QUrl &songUrl);

    static bool hasTagFile(const QString &folder, const QString &fileName);
    // The stored record (empty when the tag file is missing or unreadable).
    static QVariantMap readTagFile(const QString &folder, const QString &fileName);
    static QByteArray readArtwork(const QString &folder, const QString &fileName);
    // The full-size artwork an import stored beside the tag file (empty when there is none).
    static QByteArray readFullArtwork(const QString &folder, const QString &fileName);
    // Writes the record's "artwork" (if any) to the small artwork, then the rest of the
    // record to the tag file. The tag file is written last and replaced atomically, so a
    // crash never leaves a song marked as cached with a torn tag file.
    static bool store(const QString &folder, const QString &fileName, const QVariantMap &record);
    // Writes the full-size artwork of an imported song (PNG bytes), replacing an older one.
    static bool storeFullArtwork(const QString &folder, const QString &fileName, const QByteArray &png);

    // What a list row shows for a song: the file name, a second line made of the
    // encoding-converted album and artist (or the file name again), and the small
    // artwork (null: the default picture).
    struct Row
    {
        QString title;
        QString detail;
        QImage artwork;
    };
    static Row row(const QString &folder, const QString &fileName);
    // The second line from a record: "<album> <artist>", each converted, or empty.
    static QString detailText(const QVariantMap &record);

    static constexpr const char *kDefaultArtworkName = "noAlbumImage.png";
};
