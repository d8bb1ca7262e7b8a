#include "SongFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include <cstdio>

namespace {

QByteArray encodeTone(const QString &suffix, const QStringList &codec)
{
    static QTemporaryDir dir;
    const QString path = dir.path() + "/tone." + suffix;
    if (!QFileInfo::exists(path)) {
        QProcess ffmpeg;
        QStringList args{"-v",  "error", "-y",  "-f",    "lavfi",         "-i", "sine=frequency=440:duration=1",
                         "-ac", "1",     "-ar", "44100", "-map_metadata", "-1"};
        args << codec << path;
        ffmpeg.start("ffmpeg", args);
        if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) {
            std::fprintf(stderr, "ffmpeg failed: %s\n", ffmpeg.readAllStandardError().constData());
            return {};
        }
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TagLib::String tagText(const QString &text, SongFixtures::Text encoding)
{
    if (encoding == SongFixtures::Text::Latin1) {
        const QByteArray bytes = text.toLatin1();
        return TagLib::String(TagLib::ByteVector(bytes.constData(), uint(bytes.size())), TagLib::String::Latin1);
    }
    const QByteArray utf8 = text.toUtf8();
    return TagLib::String(utf8.constData(), TagLib::String::UTF8);
}

TagLib::String::Type frameEncoding(SongFixtures::Text encoding)
{
    switch (encoding) {
    case SongFixtures::Text::Latin1:
        return TagLib::String::Latin1;
    case SongFixtures::Text::Utf16:
        return TagLib::String::UTF16;
    case SongFixtures::Text::Utf8:
        return TagLib::String::UTF8;
    }
    return TagLib::String::Latin1;
}

void addTextFrame(TagLib::ID3v2::Tag *tag, const char *id, const std::optional<QString> &text,
                  SongFixtures::Text encoding)
{
    if (!text)
        return;
    auto *frame = new TagLib::ID3v2::TextIdentificationFrame(id, frameEncoding(encoding));
    frame->setText(tagText(*text, encoding));
    tag->addFrame(frame);
}

QByteArray id3v22Text(SongFixtures::Text encoding, const QString &text)
{
    if (encoding == SongFixtures::Text::Latin1)
        return QByteArray(1, '\0') + text.toLatin1();
    QByteArray bytes(1, '\1');
    bytes += "\xFF\xFE";
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray id3v22Frame(const char *id, const QByteArray &data)
{
    QByteArray frame(id, 3);
    frame.append(char((data.size() >> 16) & 0xFF));
    frame.append(char((data.size() >> 8) & 0xFF));
    frame.append(char(data.size() & 0xFF));
    return frame + data;
}

QByteArray syncsafe(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[i] = char(value & 0x7F);
        value >>= 7;
    }
    return bytes;
}

// TagLib writes ID3v2.3 and 2.4 only; 2.2 tags are put together by hand.
QByteArray id3v22Tag(const SongFixtures::Tags &tags)
{
    QByteArray frames;
    if (tags.title)
        frames += id3v22Frame("TT2", id3v22Text(tags.encoding, *tags.title));
    if (tags.album)
        frames += id3v22Frame("TAL", id3v22Text(tags.encoding, *tags.album));
    if (tags.artist)
        frames += id3v22Frame("TP1", id3v22Text(tags.encoding, *tags.artist));
    if (!tags.picture.isEmpty()) {
        const QByteArray format = tags.pictureMime.contains("png") ? "PNG" : "JPG";
        frames +=
            id3v22Frame("PIC",
                        QByteArray(1, '\0') + format + QByteArray("\x03", 1) + QByteArray(1, '\0') + tags.picture);
    }
    if (tags.lyrics)
        frames += id3v22Frame("ULT", QByteArray(1, '\0') + "eng" + QByteArray(1, '\0') + tags.lyrics->toLatin1());
    return QByteArray("ID3\x02\x00\x00", 6) + syncsafe(quint32(frames.size())) + frames;
}

QByteArray pictureBytes(int width, int height, QColor left, QColor right, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, left);
    painter.fillRect(width / 2, 0, width - width / 2, height, right);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : data) {
        crc ^= uchar(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace

QByteArray SongFixtures::mp3Audio()
{
    return encodeTone("mp3", {"-c:a", "libmp3lame", "-b:a", "64k", "-id3v2_version", "0", "-write_xing", "0"});
}

QByteArray SongFixtures::m4aAudio()
{
    return encodeTone("m4a", {"-c:a", "aac", "-b:a", "64k", "-fflags", "+bitexact"});
}

bool SongFixtures::writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool SongFixtures::encodeAudio(const QString &path, const QString &expression, double seconds, const QStringList &codec)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QProcess ffmpeg;
    QStringList args{"-v",
                     "error",
                     "-y",
                     "-f",
                     "lavfi",
                     "-i",
                     QStringLiteral("aevalsrc=%1:s=44100:d=%2").arg(expression).arg(seconds),
                     "-map_metadata",
                     "-1"};
    args << codec << path;
    ffmpeg.start("ffmpeg", args);
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", ffmpeg.readAllStandardError().constData());
        return false;
    }
    return true;
}

bool SongFixtures::damage(const QString &path, double from, double to)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const qint64 size = file.size();
    const qint64 begin = qint64(size * from), end = qint64(size * to);
    QByteArray noise(end - begin, '\0');
    quint32 state = 12345;
    for (char &byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 24);
    }
    return file.seek(begin) && file.write(noise) == noise.size();
}

bool SongFixtures::writeMp3(const QString &path, Tagging tagging, const Tags &tags)
{
    const QByteArray audio = mp3Audio();
    if (audio.isEmpty())
        return false;
    if (tagging == Tagging::Id3v22)
        return writeBytes(path, id3v22Tag(tags) + audio);
    if (!writeBytes(path, audio))
        return false;
    return tagging == Tagging::None || tagMp3(path, tagging, tags);
}

bool SongFixtures::tagMp3(const QString &path, Tagging tagging, const Tags &tags)
{
    TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
    if (tagging == Tagging::Id3v1) {
        TagLib::ID3v1::Tag *tag = file.ID3v1Tag(true);
        if (tags.title)
            tag->setTitle(tagText(*tags.title, Text::Latin1));
        if (tags.album)
            tag->setAlbum(tagText(*tags.album, Text::Latin1));
        if (tags.artist)
            tag->setArtist(tagText(*tags.artist, Text::Latin1));
        return file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripOthers, TagLib::ID3v2::v4,
                         TagLib::File::DoNotDuplicate);
    }
    TagLib::ID3v2::Tag *tag = file.ID3v2Tag(true);
    addTextFrame(tag, "TIT2", tags.title, tags.encoding);
    addTextFrame(tag, "TALB", tags.album, tags.encoding);
    addTextFrame(tag, "TPE1", tags.artist, tags.encoding);
    if (!tags.picture.isEmpty()) {
        auto *frame = new TagLib::ID3v2::AttachedPictureFrame();
        frame->setMimeType(tags.pictureMime.constData());
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        frame->setPicture(TagLib::ByteVector(tags.picture.constData(), uint(tags.picture.size())));
        tag->addFrame(frame);
    }
    if (tags.lyrics) {
        auto *frame = new TagLib::ID3v2::UnsynchronizedLyricsFrame(frameEncoding(tags.encoding));
        frame->setLanguage("eng");
        frame->setText(tagText(*tags.lyrics, tags.encoding));
        tag->addFrame(frame);
    }
    const auto version = tagging == Tagging::Id3v23 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, version, TagLib::File::DoNotDuplicate);
}

bool SongFixtures::writeM4a(const QString &path, const Tags &tags)
{
    const QByteArray audio = m4aAudio();
    if (audio.isEmpty() || !writeBytes(path, audio))
        return false;
    TagLib::MP4::File file(QFile::encodeName(path).constData(), false);
    TagLib::MP4::Tag *tag = file.tag();
    if (!file.isValid() || !tag)
        return false;
    auto text = [](const QString &value) { return TagLib::String(value.toUtf8().constData(), TagLib::String::UTF8); };
    if (tags.title)
        tag->setItem("\251nam", TagLib::StringList(text(*tags.title)));
    if (tags.album)
        tag->setItem("\251alb", TagLib::StringList(text(*tags.album)));
    if (tags.artist)
        tag->setItem("\251ART", TagLib::StringList(text(*tags.artist)));
    if (tags.lyrics)
        tag->setItem("\251lyr", TagLib::StringList(text(*tags.lyrics)));
    if (!tags.picture.isEmpty()) {
        const auto format = tags.pictureMime.contains("png") ? TagLib::MP4::CoverArt::PNG : TagLib::MP4::CoverArt::JPEG;
        TagLib::MP4::CoverArtList covers;
        covers.append(
            TagLib::MP4::CoverArt(format, TagLib::ByteVector(tags.picture.constData(), uint(tags.picture.size()))));
        tag->setItem("covr", covers);
    }
    return file.save();
}

QByteArray SongFixtures::jpeg(int width, int height, QColor left, QColor right)
{
    return pictureBytes(width, height, left, right, "JPEG");
}

QByteArray SongFixtures::png(int width, int height, QColor left, QColor right)
{
    return pictureBytes(width, height, left, right, "PNG");
}

QByteArray SongFixtures::jpegClaiming(int width, int height, bool progressive)
{
    QByteArray bytes;
    if (progressive) {
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "JPEG");
        writer.setProgressiveScanWrite(true);
        if (!writer.write(image))
            return {};
    } else {
        bytes = jpeg(64, 64);
    }
    // The frame header (SOF0 baseline, SOF2 progressive): marker, length, precision, then
    // height and width.
    const qsizetype sof = bytes.indexOf(QByteArray(progressive ? "\xFF\xC2" : "\xFF\xC0", 2));
    if (sof < 0)
        return {};
    qToBigEndian(quint16(height), bytes.data() + sof + 5);
    qToBigEndian(quint16(width), bytes.data() + sof + 7);
    return bytes;
}

QByteArray SongFixtures::pngClaiming(int width, int height)
{
    QByteArray bytes = png(64, 64);
    // IHDR follows the 8-byte signature: length, "IHDR", width, height, ..., CRC.
    qToBigEndian(quint32(width), bytes.data() + 16);
    qToBigEndian(quint32(height), bytes.data() + 20);
    qToBigEndian(crc32(bytes.mid(12, 17)), bytes.data() + 29);
    return bytes;
}

namespace {

void fillXiph(TagLib::Ogg::XiphComment *comment, const SongFixtures::Tags &tags)
{
    auto text = [](const QString &value) { return TagLib::String(value.toUtf8().constData(), TagLib::String::UTF8); };
    if (tags.title)
        comment->addField("TITLE", text(*tags.title));
    if (tags.album)
        comment->addField("ALBUM", text(*tags.album));
    if (tags.artist)
        comment->addField("ARTIST", text(*tags.artist));
    if (tags.lyrics)
        comment->addField("LYRICS", text(*tags.lyrics));
}

TagLib::FLAC::Picture *flacPicture(const SongFixtures::Tags &tags)
{
    auto *picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(tags.pictureMime.constData());
    picture->setData(TagLib::ByteVector(tags.picture.constData(), uint(tags.picture.size())));
    return picture;
}

template <typename OggFile>
bool tagOgg(const QByteArray &name, const SongFixtures::Tags &tags)
{
    OggFile file(name.constData(), false);
    if (!file.isValid())
        return false;
    fillXiph(file.tag(), tags);
    if (!tags.picture.isEmpty())
        file.tag()->addPicture(flacPicture(tags));
    return file.save();
}

} // namespace

bool SongFixtures::writeXiph(const QString &path, Xiph format, const Tags &tags)
{
    const QByteArray audio = format == Xiph::Flac ? encodeTone("flac", {"-c:a", "flac"})
        : format == Xiph::Vorbis                  ? encodeTone("ogg", {"-c:a", "libvorbis", "-q:a", "2"})
                                 : encodeTone("opus", {"-c:a", "libopus", "-b:a", "48k", "-ar", "48000"});
    if (audio.isEmpty() || !writeBytes(path, audio))
        return false;
    const QByteArray name = QFile::encodeName(path);
    if (format == Xiph::Flac) {
        TagLib::FLAC::File file(name.constData(), false);
        if (!file.isValid())
            return false;
        fillXiph(file.xiphComment(true), tags);
        if (!tags.picture.isEmpty())
            file.addPicture(flacPicture(tags));
        return file.save();
    }
    if (format == Xiph::Vorbis)
        return tagOgg<TagLib::Ogg::Vorbis::File>(name, tags);
    return tagOgg<TagLib::Ogg::Opus::File>(name, tags);
}

bool SongFixtures::writeWav(const QString &path)
{
    const QByteArray audio = encodeTone("wav", {"-c:a", "pcm_s16le"});
    return !audio.isEmpty() && writeBytes(path, audio);
}

bool SongFixtures::writeEncryptedM4a(const QString &path)
{
    const QByteArray audio =
        encodeTone("enc.m4a",
                   {"-c:a", "aac", "-b:a", "64k", "-encryption_scheme", "cenc-aes-ctr", "-encryption_key",
                    "00112233445566778899aabbccddeeff", "-encryption_kid", "0123456789abcdef0123456789abcdef"});
    return !audio.isEmpty() && writeBytes(path, audio);
}
