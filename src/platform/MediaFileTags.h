#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a song file's tags say, read with TagLib from any format it knows (MP3, M4A,
// FLAC, Ogg Vorbis, Opus, WAV and more), as Unicode text; nothing for a file TagLib
// cannot read. Safe to call from any thread.
struct MediaFileTags
{
    std::optional<QString> title;
    std::optional<QString> artist;
    std::optional<QString> album;
    // Read only with details: the lyrics and the front cover as stored (JPEG, PNG...).
    std::optional<QString> lyrics;
    QByteArray picture;

    enum Scope { TextOnly, WithDetails };
    static MediaFileTags read(const QString &path, Scope scope = TextOnly);

    // TagLib reports every damaged file on standard error; a music collection full of odd
    // files would flood it.
    static void silenceTagLib();
};
