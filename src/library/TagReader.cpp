#include "TagReader.h"

#include "platform/FileManager.h"
#include "platform/ImageCodec.h"
#include "platform/MediaFileTags.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString toQString(const TagLib::String &text)
{
    return QString::fromStdWString(text.toWString());
}

void putText(QVariantMap &record, const QString &key, const TagLib::String &text)
{
    if (!text.isEmpty())
        record.insert(key, toQString(text));
}

QByteArray toQByteArray(const TagLib::ByteVector &bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// The later of several pictures wins, as long as it decodes.
void putArtwork(QVariantMap &record, const QList<QByteArray> &pictures)
{
    for (auto it = pictures.crbegin(); it != pictures.crend(); ++it) {
        const QByteArray png = TagReader::artworkPng(*it);
        if (!png.isEmpty()) {
            record.insert(QStringLiteral("artwork"), png);
            return;
        }
    }
}

// A song opened for TagLib, only when it is a regular file (or a link to one): a pipe
// or device named like a song would block the reader, and with it every later cache run,
// for good. TagLib reads the same file again through the descriptor's /proc name, which
// also spares it the song's own name, not always UTF-8.
class SongFile
{
public:
    explicit SongFile(const QString &path)
    {
        const QByteArray name = FileManager::fileSystemRepresentation(path);
        struct stat info
        {};
        if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return;
        // Not blocking, should a pipe take the name between the look and the opening.
        m_fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd >= 0 && (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~SongFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SongFile(const SongFile &) = delete;
    SongFile &operator=(const SongFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    QByteArray name() const { return QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(m_fd); }

private:
    int m_fd = -1;
};

QList<QByteArray> mp3Pictures(TagLib::ID3v2::Tag &tag)
{
    QList<QByteArray> pictures;
    for (TagLib::ID3v2::Frame *frame : tag.frameList("APIC"))
        if (auto *picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame *>(frame))
            pictures.append(toQByteArray(picture->picture()));
    return pictures;
}

QList<QByteArray> m4aPictures(TagLib::MP4::Tag &tag)
{
    QList<QByteArray> pictures;
    if (tag.contains("covr"))
        for (const TagLib::MP4::CoverArt &cover : tag.item("covr").toCoverArtList())
            pictures.append(toQByteArray(cover.data()));
    return pictures;
}

QVariantMap readMp3(const QByteArray &fileName)
{
    QVariantMap record;
    TagLib::MPEG::File file(fileName.constData(), false);
    if (!file.isValid())
        return record;
    TagLib::ID3v2::Tag *v2 = file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr;
    TagLib::ID3v1::Tag *v1 = file.hasID3v1Tag() ? file.ID3v1Tag() : nullptr;
    auto pick = [&](auto getter) {
        TagLib::String text = v2 ? (v2->*getter)() : TagLib::String();
        if (text.isEmpty() && v1)
            text = (v1->*getter)();
        return text;
    };
    putText(record, QStringLiteral("title"), pick(&TagLib::Tag::title));
    putText(record, QStringLiteral("albumName"), pick(&TagLib::Tag::album));
    putText(record, QStringLiteral("artist"), pick(&TagLib::Tag::artist));
    if (v2)
        putArtwork(record, mp3Pictures(*v2));
    return record;
}

QVariantMap readM4a(const QByteArray &fileName)
{
    QVariantMap record;
    TagLib::MP4::File file(fileName.constData(), false);
    TagLib::MP4::Tag *tag = file.isValid() ? file.tag() : nullptr;
    if (!tag)
        return record;
    putText(record, QStringLiteral("title"), tag->title());
    putText(record, QStringLiteral("albumName"), tag->album());
    putText(record, QStringLiteral("artist"), tag->artist());
    putArtwork(record, m4aPictures(*tag));
    return record;
}

} // namespace

QVariantMap TagReader::read(const QString &path, Kind kind)
{
    MediaFileTags::silenceTagLib();
    const SongFile song(path);
    if (!song.isOpen())
        return {};
    return kind == Kind::Mp3 ? readMp3(song.name()) : readM4a(song.name());
}

QString TagReader::readLyrics(const QString &path, Kind kind)
{
    MediaFileTags::silenceTagLib();
    const SongFile song(path);
    if (!song.isOpen())
        return {};
    const QByteArray fileName = song.name();
    if (kind == Kind::Mp3) {
        TagLib::MPEG::File file(fileName.constData(), false);
        if (!file.isValid() || !file.hasID3v2Tag())
            return {};
        for (TagLib::ID3v2::Frame *frame : file.ID3v2Tag()->frameList("USLT"))
            if (auto *lyrics = dynamic_cast<TagLib::ID3v2::UnsynchronizedLyricsFrame *>(frame))
                if (!lyrics->text().isEmpty())
                    return toQString(lyrics->text());
        return {};
    }
    TagLib::MP4::File file(fileName.constData(), false);
    TagLib::MP4::Tag *tag = file.isValid() ? file.tag() : nullptr;
    if (!tag || !tag->contains("\251lyr"))
        return {};
    return toQString(tag->item("\251lyr").toStringList().toString("\n"));
}

QList<QByteArray> TagReader::readPictures(const QString &path, Kind kind)
{
    MediaFileTags::silenceTagLib();
    const SongFile song(path);
    if (!song.isOpen())
        return {};
    const QByteArray fileName = song.name();
    if (kind == Kind::Mp3) {
        TagLib::MPEG::File file(fileName.constData(), false);
        return file.isValid() && file.hasID3v2Tag() ? mp3Pictures(*file.ID3v2Tag()) : QList<QByteArray>();
    }
    TagLib::MP4::File file(fileName.constData(), false);
    TagLib::MP4::Tag *tag = file.isValid() ? file.tag() : nullptr;
    return tag ? m4aPictures(*tag) : QList<QByteArray>();
}

QByteArray TagReader::artworkPng(const QByteArray &pictureBytes)
{
    const QSize target(kArtworkSize, kArtworkSize);
    const QImage image = ImageCodec::decode(pictureBytes, target);
    if (image.isNull())
        return {};
    QImage artwork = ImageCodec::stretched(image, kArtworkSize, kArtworkSize);
    // An opaque cover makes a smaller PNG, and faster, without the alpha channel.
    if (!image.hasAlphaChannel())
        artwork.convertTo(QImage::Format_RGB32);
    return ImageCodec::pngData(artwork);
}
