#include "TestHome.h"
#include "support/HeldExport.h"
#include "support/SongFixtures.h"

#include "library/TagReader.h"
#include "platform/AssetExportSession.h"
#include "platform/AudioDecoder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <taglib/mp4file.h>

#include <gtest/gtest.h>

#include <atomic>

namespace {

using Result = AssetExportSession::Result;
using Status = AssetExportSession::Status;
using Failure = AssetExportSession::Failure;

// What FFmpeg itself reads from a file: the oracle for the exported audio.
struct Probe
{
    AVCodecID codec = AV_CODEC_ID_NONE;
    int channels = 0;
    int sampleRate = 0;
    double seconds = 0;
    qint64 audioBytes = 0;
    QList<QByteArray> packets;
};

std::optional<Probe> probe(const QString &path)
{
    AVFormatContext *input = nullptr;
    if (avformat_open_input(&input, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    Probe found;
    const int stream = avformat_find_stream_info(input, nullptr) >= 0
        ? av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)
        : -1;
    if (stream >= 0) {
        const AVCodecParameters *codec = input->streams[stream]->codecpar;
        found.codec = codec->codec_id;
        found.channels = codec->ch_layout.nb_channels;
        found.sampleRate = codec->sample_rate;
        found.seconds = double(input->duration) / AV_TIME_BASE;
        AVPacket *packet = av_packet_alloc();
        while (av_read_frame(input, packet) >= 0) {
            if (packet->stream_index == stream) {
                found.packets.append(QByteArray(reinterpret_cast<const char *>(packet->data), packet->size));
                found.audioBytes += packet->size;
            }
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
    }
    avformat_close_input(&input);
    return stream >= 0 ? std::optional<Probe>(found) : std::nullopt;
}

struct Outcome
{
    Result result;
    bool copied = false;
    int handlerCalls = 0;
};

Outcome runExport(const QString &source, const QString &target, const AssetExportSession::Metadata &metadata = {})
{
    auto calls = std::make_shared<std::atomic<int>>(0);
    auto result = std::make_shared<Result>();
    AssetExportSession session(QUrl::fromLocalFile(source));
    session.setOutputURL(QUrl::fromLocalFile(target));
    session.setMetadata(metadata);
    session.exportAsynchronouslyWithCompletionHandler([calls, result](const Result &r) {
        *result = r;
        ++*calls;
    });
    EXPECT_TRUE(AssetExportSession::waitForExports(20000));
    EXPECT_EQ(session.status(), result->status);
    return {*result, session.copiesStream(), calls->load()};
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

SongFixtures::Tags fullTags()
{
    SongFixtures::Tags tags;
    tags.title = QStringLiteral("Title ✓");
    tags.artist = QStringLiteral("Artist");
    tags.album = QStringLiteral("Album");
    tags.lyrics = QStringLiteral("first line\nsecond line");
    tags.picture = SongFixtures::jpeg(200, 100);
    tags.encoding = SongFixtures::Text::Utf8;
    return tags;
}

AssetExportSession::Metadata metadataOf(const SongFixtures::Tags &tags)
{
    return {tags.title, tags.artist, tags.album, tags.lyrics, tags.picture};
}

void expectTagsReadBack(const QString &path, const SongFixtures::Tags &tags, const char *what)
{
    const QVariantMap record = TagReader::read(path, TagReader::Kind::M4a);
    EXPECT_EQ(record.value("title").toString(), tags.title.value_or(QString())) << what;
    EXPECT_EQ(record.value("artist").toString(), tags.artist.value_or(QString())) << what;
    EXPECT_EQ(record.value("albumName").toString(), tags.album.value_or(QString())) << what;
    EXPECT_EQ(TagReader::readLyrics(path, TagReader::Kind::M4a), tags.lyrics.value_or(QString())) << what;
    // The cover as it was stored, and as the player's artwork: left red, right blue.
    TagLib::MP4::File file(QFile::encodeName(path).constData(), false);
    ASSERT_TRUE(file.isValid() && file.tag()->contains("covr")) << what;
    const TagLib::MP4::CoverArt cover = file.tag()->item("covr").toCoverArtList().front();
    EXPECT_EQ(cover.format(), TagLib::MP4::CoverArt::JPEG) << what;
    EXPECT_EQ(QByteArray(cover.data().data(), cover.data().size()), tags.picture) << what;
    const QImage artwork = QImage::fromData(record.value("artwork").toByteArray(), "PNG");
    ASSERT_EQ(artwork.size(), QSize(92, 92)) << what;
    EXPECT_GT(qRed(artwork.pixel(10, 46)), 200) << what;
    EXPECT_GT(qBlue(artwork.pixel(80, 46)), 200) << what;
}

TEST(AssetExport, EncodesEveryOtherFormatToStereoAacWithTagsCoverAndLyrics)
{
    TestHome home;
    const QString in = home.path() + "/in", out = home.path() + "/out";
    QDir().mkpath(out);
    const SongFixtures::Tags tags = fullTags();
    ASSERT_TRUE(SongFixtures::writeMp3(in + "/song.mp3", SongFixtures::Tagging::Id3v24, tags));
    ASSERT_TRUE(SongFixtures::writeXiph(in + "/song.flac", SongFixtures::Xiph::Flac, tags));
    ASSERT_TRUE(SongFixtures::writeXiph(in + "/song.ogg", SongFixtures::Xiph::Vorbis, tags));
    ASSERT_TRUE(SongFixtures::writeXiph(in + "/song.opus", SongFixtures::Xiph::Opus, tags));
    ASSERT_TRUE(SongFixtures::writeWav(in + "/song.wav"));
    for (const char *name : {"song.mp3", "song.flac", "song.ogg", "song.opus", "song.wav"}) {
        const QString target = out + "/" + QString::fromLatin1(name) + ".m4a";
        const Outcome outcome = runExport(in + "/" + name, target, metadataOf(tags));
        ASSERT_EQ(outcome.result.status, Status::Completed) << name << qPrintable(outcome.result.error);
        EXPECT_EQ(outcome.handlerCalls, 1) << name;
        EXPECT_FALSE(outcome.copied) << name;
        const std::optional<Probe> exported = probe(target);
        ASSERT_TRUE(exported) << name;
        EXPECT_EQ(exported->codec, AV_CODEC_ID_AAC) << name;
        EXPECT_EQ(exported->channels, 2) << name; // the sources are mono
        EXPECT_EQ(exported->sampleRate, QByteArray(name).endsWith("opus") ? 48000 : 44100) << name;
        EXPECT_NEAR(exported->seconds, 1.0, 0.1) << name;
        expectTagsReadBack(target, tags, name);
        // The player can play it.
        AudioDecoder decoder;
        EXPECT_TRUE(decoder.open(target)) << name;
    }
    // Nothing else was left in the folder.
    EXPECT_EQ(entries(out).size(), 5);
}

TEST(AssetExport, EncodesAt256kbps)
{
    TestHome home;
    // Noise fills every bit the encoder may spend.
    const QString source = home.path() + "/noise.flac";
    ASSERT_TRUE(SongFixtures::encodeAudio(source, "random(0)*2-1|random(1)*2-1", 8, {"-c:a", "flac"}));
    const Outcome outcome = runExport(source, home.path() + "/noise.m4a");
    ASSERT_EQ(outcome.result.status, Status::Completed);
    const std::optional<Probe> exported = probe(home.path() + "/noise.m4a");
    ASSERT_TRUE(exported);
    const double kbps = double(exported->audioBytes) * 8 / exported->seconds / 1000;
    // What ffmpeg's own encoder makes of noise at 256 kb/s (its default would be near 130).
    EXPECT_GT(kbps, 200);
    EXPECT_LT(kbps, 280);
}

TEST(AssetExport, CopiesAnAacStreamPacketForPacket)
{
    TestHome home;
    const SongFixtures::Tags tags = fullTags();
    const QString source = home.path() + "/song.m4a", target = home.path() + "/copy.m4a";
    ASSERT_TRUE(SongFixtures::writeM4a(source, {}));
    const Outcome outcome = runExport(source, target, metadataOf(tags));
    ASSERT_EQ(outcome.result.status, Status::Completed) << qPrintable(outcome.result.error);
    EXPECT_TRUE(outcome.copied);
    const std::optional<Probe> before = probe(source), after = probe(target);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(after->codec, AV_CODEC_ID_AAC);
    EXPECT_EQ(after->channels, before->channels); // copied, not made stereo
    EXPECT_EQ(after->packets, before->packets);
    EXPECT_NEAR(after->seconds, before->seconds, 0.03);
    expectTagsReadBack(target, tags, "copy");
}

TEST(AssetExport, ProgressOnlyGrowsAndEndsAtOne)
{
    TestHome home;
    const QString source = home.path() + "/long.mp3";
    ASSERT_TRUE(SongFixtures::encodeAudio(source, "sin(440*2*PI*t)", 20, {"-c:a", "libmp3lame", "-b:a", "96k"}));
    AssetExportSession session(QUrl::fromLocalFile(source));
    session.setOutputURL(QUrl::fromLocalFile(home.path() + "/long.m4a"));
    QMutex mutex;
    QList<float> seen;
    AssetExportSession::setPacketHook([&](const QString &) {
        QMutexLocker lock(&mutex);
        seen.append(session.progress());
    });
    EXPECT_EQ(session.progress(), 0.f);
    session.exportAsynchronouslyWithCompletionHandler(nullptr);
    ASSERT_TRUE(AssetExportSession::waitForExports(20000));
    AssetExportSession::setPacketHook(nullptr);
    ASSERT_EQ(session.status(), Status::Completed);
    ASSERT_GT(seen.size(), 100);
    for (qsizetype i = 1; i < seen.size(); ++i)
        ASSERT_GE(seen[i], seen[i - 1]) << i;
    EXPECT_GT(seen.first(), 0.f);
    EXPECT_LT(seen.first(), 0.05f);
    EXPECT_GT(seen.at(seen.size() / 2), 0.4f);
    EXPECT_LT(seen.at(seen.size() / 2), 0.6f);
    EXPECT_EQ(session.progress(), 1.f);
}

TEST(AssetExport, ACancelMidwayLeavesNothingAndKeepsTheEarlierFileOfThatName)
{
    TestHome home;
    const QString source = home.path() + "/in/song.mp3", folder = home.path() + "/out";
    ASSERT_TRUE(SongFixtures::writeMp3(source, SongFixtures::Tagging::Id3v24, fullTags()));
    ASSERT_TRUE(SongFixtures::writeBytes(folder + "/song.m4a", "the earlier import"));
    HeldExport hold;
    auto result = std::make_shared<Result>();
    {
        AssetExportSession session(QUrl::fromLocalFile(source));
        session.setOutputURL(QUrl::fromLocalFile(folder + "/song.m4a"));
        session.exportAsynchronouslyWithCompletionHandler([result](const Result &r) { *result = r; });
        ASSERT_TRUE(hold.reached.tryAcquire(1, 20000));
        EXPECT_EQ(session.status(), Status::Exporting);
        session.cancelExport();
        hold.go.release();
        ASSERT_TRUE(AssetExportSession::waitForExports(20000));
        EXPECT_EQ(session.status(), Status::Cancelled);
    }
    EXPECT_EQ(result->status, Status::Cancelled);
    EXPECT_EQ(entries(folder), QStringList({"song.m4a"}));
    QFile earlier(folder + "/song.m4a");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("the earlier import"));

    // Dropping a session cancels it too; one cancelled before it starts never writes.
    {
        AssetExportSession dropped(QUrl::fromLocalFile(source));
        dropped.setOutputURL(QUrl::fromLocalFile(folder + "/dropped.m4a"));
        dropped.cancelExport();
        dropped.exportAsynchronouslyWithCompletionHandler([result](const Result &r) { *result = r; });
    }
    ASSERT_TRUE(AssetExportSession::waitForExports(20000));
    EXPECT_EQ(result->status, Status::Cancelled);
    EXPECT_EQ(entries(folder), QStringList({"song.m4a"}));
}

TEST(AssetExport, EncryptedUnreadableAndUnwritableExportsFailAndLeaveNothing)
{
    TestHome home;
    const QString in = home.path() + "/in", folder = home.path() + "/out";
    ASSERT_TRUE(SongFixtures::writeEncryptedM4a(in + "/locked.m4a"));
    ASSERT_TRUE(SongFixtures::writeBytes(in + "/noise.mp3", QByteArray(20000, '\x5a')));
    ASSERT_TRUE(SongFixtures::writeBytes(in + "/empty.mp3", QByteArray()));
    ASSERT_TRUE(SongFixtures::writeMp3(in + "/good.mp3", SongFixtures::Tagging::Id3v24, fullTags()));
    ASSERT_TRUE(SongFixtures::writeBytes(folder + "/locked.m4a", "the earlier import"));

    struct Case
    {
        const char *source;
        QString target;
        Failure failure;
    };
    const QList<Case> cases = {
        {"locked.m4a", folder + "/locked.m4a", Failure::Protected},
        {"noise.mp3", folder + "/noise.m4a", Failure::Unreadable},
        {"empty.mp3", folder + "/empty.m4a", Failure::Unreadable},
        {"missing.mp3", folder + "/missing.m4a", Failure::Unreadable},
        {"good.mp3", home.path() + "/no such folder/good.m4a", Failure::Unwritable},
    };
    for (const Case &c : cases) {
        const Outcome outcome = runExport(in + "/" + c.source, c.target);
        EXPECT_EQ(outcome.result.status, Status::Failed) << c.source;
        EXPECT_EQ(outcome.result.failure, c.failure) << c.source << qPrintable(outcome.result.error);
        EXPECT_FALSE(outcome.result.error.isEmpty()) << c.source;
        EXPECT_EQ(outcome.handlerCalls, 1) << c.source;
    }
    EXPECT_EQ(entries(folder), QStringList({"locked.m4a"}));
    QFile earlier(folder + "/locked.m4a");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("the earlier import"));
}

} // namespace
