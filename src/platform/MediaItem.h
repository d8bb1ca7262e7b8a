#pragma once

#include <QFileInfo>
#include <QString>
#include <QUrl>

#include <optional>

// One song of the desktop's music collection, as the music library lists it: the text of
// its tags (each may be missing) and the file it was read from. Copy-protected songs have
// no asset URL: their audio cannot be read.
struct MediaItem
{
    QString path;
    std::optional<QString> title;
    std::optional<QString> artist;
    std::optional<QString> albumTitle;
    bool isProtected = false;
    // What the file was when it was read; a later change means reading it again.
    qint64 fileSize = 0;
    qint64 modifiedNs = 0;

    // The file to export, or an empty URL for a copy-protected song.
    QUrl assetURL() const { return isProtected ? QUrl() : QUrl::fromLocalFile(path); }
    // The title, or the file name when the song has none (or TagLib could not read it).
    QString displayTitle() const { return title.value_or(QFileInfo(path).fileName()); }

    bool operator==(const MediaItem &other) const = default;
};
