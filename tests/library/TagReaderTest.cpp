#include "TestHome.h"
#include "support/SongFixtures.h"

#include "library/TagReader.h"
#include "library/ZivoModel.h"
#include "platform/ImageCodec.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace {
using Tagging = SongFixtures::Tagging;
using Text = SongFixtures::Text;

QImage artworkOf(const QVariantMap &record)
{
    return QImage::fromData(record.value("artwork").toByteArray(), "PNG");
}

QVariantMap readSong(const QString &path)
{
    return ZivoModel::getFileInfoDicWithURL(QUrl::fromLocalFile(path));
}

// Legacy bytes (here EUC-KR for "노래") stored in a frame marked ISO Latin-1.
const QByteArray kEucKrBytes("\xB3\xEB\xB7\xA1");

class TagReading : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return home.documents() + "/" + name; }
    TestHome home;
};

TEST_F(TagReading, Id3v2FramesGiveTextArtworkAndLyricsForEveryVersion)
{
    for (Tagging tagging : {Tagging::Id3v22, Tagging::Id3v23, Tagging::Id3v24}) {
        SCOPED_TRACE(int(tagging));
        SongFixtures::Tags tags;
        tags.title = QString::fromLatin1(kEucKrBytes);
        tags.album = QStringLiteral("Album");
        tags.artist = QStringLiteral("Artist");
        tags.picture = SongFixtures::jpeg(500, 300);
        tags.lyrics = QStringLiteral("la la la");
        const QString song = path("v2.mp3");
        ASSERT_TRUE(SongFixtures::writeMp3(song, tagging, tags));

        const QVariantMap record = readSong(song);
        EXPECT_EQ(record.value("title").toString(), QString::fromLatin1(kEucKrBytes))
            << "Latin-1 frames arrive one character per stored byte";
        EXPECT_EQ(record.value("albumName").toString(), QStringLiteral("Album"));
        EXPECT_EQ(record.value("artist").toString(), QStringLiteral("Artist"));
        const QImage artwork = artworkOf(record);
        ASSERT_FALSE(artwork.isNull());
        EXPECT_EQ(artwork.size(), QSize(92, 92));
        EXPECT_EQ(record.size(), 4) << "a song record holds only the four tag keys";
        EXPECT_EQ(TagReader::readLyrics(song, TagReader::Kind::Mp3), QStringLiteral("la la la"));
    }
}

TEST_F(TagReading, UnicodeFramesArriveDecoded)
{
    for (Text encoding : {Text::Utf16, Text::Utf8}) {
        SongFixtures::Tags tags;
        tags.title = QString::fromUtf8("노래 \xF0\x9F\x8E\xB5");
        tags.artist = QString::fromUtf8("Ёлка");
        tags.encoding = encoding;
        const QString song = path("unicode.mp3");
        ASSERT_TRUE(SongFixtures::writeMp3(song, Tagging::Id3v24, tags));
        const QVariantMap record = readSong(song);
        EXPECT_EQ(record.value("title").toString(), *tags.title);
        EXPECT_EQ(record.value("artist").toString(), *tags.artist);
        EXPECT_FALSE(record.contains("albumName"));
    }
}

TEST_F(TagReading, Id3v1TextIsBytesAndFillsWhatId3v2Lacks)
{
    SongFixtures::Tags tags;
    tags.title = QString::fromLatin1(kEucKrBytes);
    tags.artist = QString::fromLatin1("Caf\xE9");
    const QString song = path("v1.mp3");
    ASSERT_TRUE(SongFixtures::writeMp3(song, Tagging::Id3v1, tags));
    QVariantMap record = readSong(song);
    EXPECT_EQ(record.value("title").toString(), QString::fromLatin1(kEucKrBytes));
    EXPECT_EQ(record.value("artist").toString(), QString::fromLatin1("Caf\xE9"));

    // Add an ID3v2 tag with only a title: the artist still comes from ID3v1.
    SongFixtures::Tags v2;
    v2.title = QStringLiteral("New title");
    const QByteArray v1Bytes = [&] {
        QFile file(song);
        file.open(QIODevice::ReadOnly);
        return file.readAll().right(128);
    }();
    ASSERT_TRUE(SongFixtures::writeMp3(song, Tagging::Id3v23, v2));
    QFile file(song);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(v1Bytes);
    file.close();
    record = readSong(song);
    EXPECT_EQ(record.value("title").toString(), QStringLiteral("New title"));
    EXPECT_EQ(record.value("artist").toString(), QString::fromLatin1("Caf\xE9"));
}

TEST_F(TagReading, M4aAtomsGiveTextCoverAndLyrics)
{
    SongFixtures::Tags tags;
    tags.title = QString::fromUtf8("東京");
    tags.album = QStringLiteral("Album");
    tags.artist = QStringLiteral("Artist");
    tags.picture = SongFixtures::png(40, 40);
    tags.pictureMime = "image/png";
    tags.lyrics = QStringLiteral("first line\nsecond line");
    const QString song = path("song.M4A");
    ASSERT_TRUE(SongFixtures::writeM4a(song, tags));
    const QVariantMap record = readSong(song);
    EXPECT_EQ(record.value("title").toString(), *tags.title);
    EXPECT_EQ(record.value("albumName").toString(), QStringLiteral("Album"));
    EXPECT_EQ(record.value("artist").toString(), QStringLiteral("Artist"));
    EXPECT_EQ(artworkOf(record).size(), QSize(92, 92));
    EXPECT_EQ(TagReader::readLyrics(song, TagReader::Kind::M4a), *tags.lyrics);
}

TEST_F(TagReading, ArtworkIsStretchedNotCropped)
{
    SongFixtures::Tags tags;
    tags.picture = SongFixtures::png(500, 300, Qt::red, Qt::blue);
    tags.pictureMime = "image/png";
    const QString song = path("wide.mp3");
    ASSERT_TRUE(SongFixtures::writeMp3(song, Tagging::Id3v24, tags));
    const QImage artwork = artworkOf(readSong(song));
    ASSERT_EQ(artwork.size(), QSize(92, 92));
    // Left half red, right half blue, top to bottom: the whole picture, squeezed.
    for (int y : {1, 46, 90}) {
        EXPECT_GT(qRed(artwork.pixel(10, y)), 200);
        EXPECT_GT(qBlue(artwork.pixel(81, y)), 200);
    }
}

TEST_F(TagReading, OnlyMp3AndM4aNamesAreRead)
{
    SongFixtures::Tags tags;
    tags.title = QStringLiteral("Tagged");
    ASSERT_TRUE(SongFixtures::writeMp3(path("song.MP3"), Tagging::Id3v23, tags));
    ASSERT_TRUE(SongFixtures::writeMp3(path("song.wav"), Tagging::Id3v23, tags));
    ASSERT_TRUE(SongFixtures::writeMp3(path("plain.mp3"), Tagging::None, tags));
    EXPECT_EQ(readSong(path("song.MP3")).value("title").toString(), QStringLiteral("Tagged"));
    EXPECT_TRUE(readSong(path("song.wav")).isEmpty());
    EXPECT_TRUE(readSong(path("plain.mp3")).isEmpty());
    EXPECT_TRUE(readSong(path("missing.mp3")).isEmpty());
}

TEST_F(TagReading, HostileFilesGiveEmptyOrPartialRecords)
{
    SongFixtures::Tags good;
    good.title = QStringLiteral("Still here");
    good.picture = SongFixtures::jpeg(100, 100);
    const QString tagged = path("tagged.mp3");
    ASSERT_TRUE(SongFixtures::writeMp3(tagged, Tagging::Id3v24, good));
    QFile whole(tagged);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();

    // Cut off inside the tag, garbage under song names, absurd sizes.
    SongFixtures::writeBytes(path("truncated.mp3"), bytes.left(200));
    QByteArray garbage(64 * 1024, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) ^ (i >> 3));
    SongFixtures::writeBytes(path("garbage.mp3"), garbage);
    SongFixtures::writeBytes(path("garbage.m4a"), garbage);
    SongFixtures::writeBytes(path("empty.m4a"), QByteArray());
    SongFixtures::writeBytes(path("hugeTag.mp3"),
                             QByteArray("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10)
                                 + QByteArray("TIT2\x7F\xFF\xFF\xFF\x00\x00\x00title", 15) + SongFixtures::mp3Audio());
    QByteArray fakeAtom = SongFixtures::m4aAudio();
    fakeAtom.insert(0, QByteArray("\x7F\xFF\xFF\xF0moov", 8));
    SongFixtures::writeBytes(path("hugeAtom.m4a"), fakeAtom);
    for (const char *name :
         {"truncated.mp3", "garbage.mp3", "garbage.m4a", "empty.m4a", "hugeTag.mp3", "hugeAtom.m4a"}) {
        SCOPED_TRACE(name);
        const QVariantMap record = readSong(path(name));
        EXPECT_FALSE(record.contains("artwork"));
        EXPECT_TRUE(TagReader::readLyrics(path(name), TagReader::Kind::Mp3).isEmpty());
    }

    // Pictures that do not decode, or claim a huge size, are skipped; the text stays.
    for (const QByteArray &picture :
         {QByteArray("\xFF\xD8\xFF\xE0 not really a jpeg"), SongFixtures::jpegClaiming(20000, 20000),
          SongFixtures::jpegClaiming(20000, 20000, true), SongFixtures::pngClaiming(20000, 20000)}) {
        SongFixtures::Tags tags = good;
        tags.picture = picture;
        const QString song = path("badcover.mp3");
        ASSERT_TRUE(SongFixtures::writeMp3(song, Tagging::Id3v23, tags));
        const QVariantMap record = readSong(song);
        EXPECT_EQ(record.value("title").toString(), QStringLiteral("Still here"));
        if (record.contains("artwork")) {
            EXPECT_EQ(artworkOf(record).size(), QSize(92, 92));
        }
    }
}

TEST(TagReader, AHugeProgressiveCoverIsRefusedBeforeDecoding)
{
    // Progressive pictures are decoded through a buffer of the whole picture, however
    // small the target: 20,000 x 20,000 would take over a gigabyte.
    const QByteArray progressive = SongFixtures::jpegClaiming(20000, 20000, true);
    ASSERT_FALSE(progressive.isEmpty());
    EXPECT_TRUE(ImageCodec::jpegNeedsWholeImageBuffer(progressive));
    EXPECT_FALSE(ImageCodec::jpegNeedsWholeImageBuffer(SongFixtures::jpegClaiming(20000, 20000)));
    EXPECT_TRUE(ImageCodec::decode(progressive, QSize(92, 92)).isNull());

    // Headers alone decide, as the decoder reads them: the first frame header and the
    // components of the first scan.
    const auto frame = [](uchar marker) {
        return QByteArray("\xFF") + char(marker) + QByteArray::fromHex("0011 08 4e20 4e20 03 011100 021101 031101");
    };
    const auto scan = [](int components) {
        return QByteArray::fromHex("ffda") + char(0) + char(6 + 2 * components) + char(components)
            + QByteArray(2 * components + 3, '\0') + QByteArray::fromHex("1234 ffd9");
    };
    const QByteArray start = QByteArray::fromHex("ffd8");
    EXPECT_FALSE(ImageCodec::jpegNeedsWholeImageBuffer(start + frame(0xC0) + scan(3)));
    EXPECT_TRUE(ImageCodec::jpegNeedsWholeImageBuffer(start + frame(0xC0) + scan(1))) << "one component per scan";
    EXPECT_TRUE(ImageCodec::jpegNeedsWholeImageBuffer(start + frame(0xC2) + frame(0xC0) + scan(3)))
        << "a later sequential header does not hide a progressive one";
    EXPECT_TRUE(ImageCodec::jpegNeedsWholeImageBuffer(start + frame(0xC0))) << "no scan at all";
    // A sequential picture of that size is decoded straight to the small size.
    EXPECT_EQ(ImageCodec::decode(SongFixtures::jpeg(4000, 2500), QSize(92, 92)).size(), QSize(92, 92));
}

TEST(Formatting, MusicDurationShowsMinutesAndSecondsOnly)
{
    EXPECT_EQ(ZivoModel::getMusicDuration(0), QStringLiteral("00:00"));
    EXPECT_EQ(ZivoModel::getMusicDuration(59.9f), QStringLiteral("00:59"));
    EXPECT_EQ(ZivoModel::getMusicDuration(600), QStringLiteral("10:00"));
    EXPECT_EQ(ZivoModel::getMusicDuration(187), QStringLiteral("03:07"));
    EXPECT_EQ(ZivoModel::getMusicDuration(3725), QStringLiteral("02:05"));
    EXPECT_EQ(ZivoModel::getMusicDuration(qQNaN()), QStringLiteral("00:00"));
    EXPECT_FALSE(ZivoModel::getMusicDuration(1e30f).isEmpty());
}

TEST(Formatting, BitRateInKilobits)
{
    auto settings = [](QVariant rate) { return QVariant(QVariantMap{{ZivoModel::encoderBitRateKey, rate}}); };
    EXPECT_EQ(ZivoModel::getBitRateStr(settings(128000)), QStringLiteral("128kbps"));
    EXPECT_EQ(ZivoModel::getBitRateStr(settings(320)), QStringLiteral("320kbps"));
    EXPECT_EQ(ZivoModel::getBitRateStr(settings(999.9)), QStringLiteral("999kbps"));
    EXPECT_EQ(ZivoModel::getBitRateStr(settings(1000)), QStringLiteral("1kbps"));
    EXPECT_EQ(ZivoModel::getBitRateStr(QVariant(QVariantMap{})), QStringLiteral("NoInfo"));
    EXPECT_EQ(ZivoModel::getBitRateStr(QVariant()), QStringLiteral("NoInfo"));
}

} // namespace
