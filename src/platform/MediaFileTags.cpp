#include "MediaFileTags.h"

#include <QFile>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <mutex>

namespace {

class QuietListener : public TagLib::DebugListener
{
public:
    void printMessage(const TagLib::String &) override {}
};

std::optional<QString> text(const TagLib::String &value)
{
    if (value.isEmpty())
        return std::nullopt;
    return QString::fromStdWString(value.toWString());
}

QByteArray bytes(const TagLib::ByteVector &data)
{
    return QByteArray(data.data(), qsizetype(data.size()));
}

QByteArray id3Picture(TagLib::ID3v2::Tag *tag)
{
    if (!tag)
        return {};
    QByteArray first;
    for (TagLib::ID3v2::Frame *frame : tag->frameList("APIC")) {
        auto *picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame *>(frame);
        if (!picture || picture->picture().isEmpty())
            continue;
        if (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            return bytes(picture->picture());
        if (first.isEmpty())
            first = bytes(picture->picture());
    }
    return first;
}

QByteArray flacPicture(const TagLib::List<TagLib::FLAC::Picture *> &pictures)
{
    QByteArray first;
    for (const TagLib::FLAC::Picture *picture : pictures) {
        if (picture->data().isEmpty())
            continue;
        if (picture->type() == TagLib::FLAC::Picture::FrontCover)
            return bytes(picture->data());
        if (first.isEmpty())
            first = bytes(picture->data());
    }
    return first;
}

QByteArray pictureOf(TagLib::File *file)
{
    if (auto *mpeg = dynamic_cast<TagLib::MPEG::File *>(file))
        return id3Picture(mpeg->hasID3v2Tag() ? mpeg->ID3v2Tag() : nullptr);
    if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(file))
        return id3Picture(wav->hasID3v2Tag() ? wav->ID3v2Tag() : nullptr);
    if (auto *mp4 = dynamic_cast<TagLib::MP4::File *>(file)) {
        TagLib::MP4::Tag *tag = mp4->tag();
        if (!tag || !tag->contains("covr"))
            return {};
        for (const TagLib::MP4::CoverArt &cover : tag->item("covr").toCoverArtList())
            if (!cover.data().isEmpty())
                return bytes(cover.data());
        return {};
    }
    if (auto *flac = dynamic_cast<TagLib::FLAC::File *>(file)) {
        const QByteArray found = flacPicture(flac->pictureList());
        if (!found.isEmpty() || !flac->hasXiphComment())
            return found;
        return flacPicture(flac->xiphComment()->pictureList());
    }
    if (auto *vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File *>(file))
        return vorbis->tag() ? flacPicture(vorbis->tag()->pictureList()) : QByteArray();
    if (auto *opus = dynamic_cast<TagLib::Ogg::Opus::File *>(file))
        return opus->tag() ? flacPicture(opus->tag()->pictureList()) : QByteArray();
    return {};
}

// Unsynchronised lyrics (ID3 USLT, the M4A lyrics atom, a Vorbis LYRICS field), with or
// without a description.
std::optional<QString> lyricsOf(TagLib::File *file)
{
    const TagLib::PropertyMap properties = file->properties();
    for (const auto &[key, values] : properties) {
        if (key != "LYRICS" && !key.startsWith("LYRICS:"))
            continue;
        if (auto found = text(values.toString("\n")))
            return found;
    }
    return std::nullopt;
}

} // namespace

void MediaFileTags::silenceTagLib()
{
    static std::once_flag once;
    static QuietListener listener;
    std::call_once(once, [] { TagLib::setDebugListener(&listener); });
}

MediaFileTags MediaFileTags::read(const QString &path, Scope scope)
{
    silenceTagLib();
    MediaFileTags tags;
    const QByteArray name = QFile::encodeName(path);
    TagLib::FileRef ref(name.constData(), false);
    if (ref.isNull() || !ref.file()->isValid())
        return tags;
    if (TagLib::Tag *tag = ref.tag()) {
        tags.title = text(tag->title());
        tags.artist = text(tag->artist());
        tags.album = text(tag->album());
    }
    if (scope == WithDetails) {
        tags.lyrics = lyricsOf(ref.file());
        tags.picture = pictureOf(ref.file());
    }
    return tags;
}
