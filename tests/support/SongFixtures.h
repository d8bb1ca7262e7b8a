#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <optional>

// Songs made at test time: ffmpeg encodes a short tone once per run, TagLib (or a few
// lines of byte writing, for ID3v2.2 which TagLib cannot write) adds the tags.
class SongFixtures
{
public:
    SongFixtures() = delete;

    enum class Tagging { Id3v22, Id3v23, Id3v24, Id3v1, None };
    enum class Text { Latin1, Utf16, Utf8 };

    // Text for Latin-1 frames is given as the characters of the bytes to store
    // (QString::fromLatin1 of the legacy bytes).
    struct Tags
    {
        std::optional<QString> title;
        std::optional<QString> album;
        std::optional<QString> artist;
        Text encoding = Text::Latin1;
        QByteArray picture; // stored as is
        QByteArray pictureMime = "image/jpeg";
        std::optional<QString> lyrics;
    };

    // The tagless audio of an MP3 or an M4A file.
    static QByteArray mp3Audio();
    static QByteArray m4aAudio();

    static bool writeMp3(const QString &path, Tagging tagging, const Tags &tags);
    // Tags an MP3 that is there already (ID3v2.3, 2.4 or ID3v1).
    static bool tagMp3(const QString &path, Tagging tagging, const Tags &tags);
    static bool writeM4a(const QString &path, const Tags &tags);
    // FLAC, Ogg Vorbis and Opus with Vorbis comments (text as UTF-8) and a front cover.
    enum class Xiph { Flac, Vorbis, Opus };
    static bool writeXiph(const QString &path, Xiph format, const Tags &tags);
    // An untagged 16-bit PCM WAV.
    static bool writeWav(const QString &path);
    // An M4A whose AAC audio is encrypted (common encryption, AES-CTR), as ffmpeg writes it.
    static bool writeEncryptedM4a(const QString &path);

    // Two-colour pictures: left half one colour, right half the other.
    static QByteArray jpeg(int width, int height, QColor left = Qt::red, QColor right = Qt::blue);
    static QByteArray png(int width, int height, QColor left = Qt::red, QColor right = Qt::blue);
    // A real small picture whose header claims width x height.
    static QByteArray jpegClaiming(int width, int height, bool progressive = false);
    static QByteArray pngClaiming(int width, int height);

    static bool writeBytes(const QString &path, const QByteArray &bytes);

    // Encodes a generated sound with ffmpeg: `expression` in the syntax of its aevalsrc
    // source (one expression per channel, separated by '|', of the time t in seconds),
    // at 44.1 kHz, with the codec arguments (for example {"-c:a", "libmp3lame", "-b:a", "128k"}).
    static bool encodeAudio(const QString &path, const QString &expression, double seconds, const QStringList &codec);
    // Overwrites the bytes from `from` to `to` (fractions of the file's length) with
    // noise that is the same on every run.
    static bool damage(const QString &path, double from, double to);
};
