#include "TestHome.h"
#include "support/SongFixtures.h"

#include "library/FolderCacheBuilder.h"
#include "library/ProgressOverlayHost.h"
#include "library/SongCache.h"
#include "library/TagReader.h"
#include "library/ZivoModel.h"
#include "platform/FileManager.h"

#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include <sys/stat.h>

namespace {

class CountingOverlay : public ProgressOverlayHost
{
public:
    void viewMessageProgress(const Notification &) override { ++shown; }
    void setMessageProgress(float) override {}
    int shown = 0;
};

SongFixtures::Tags titled(const QString &title)
{
    SongFixtures::Tags tags;
    tags.title = title;
    return tags;
}

TEST(SongCacheNames, ASongIsCachedWheneverItsTagFileNameFits)
{
    TestHome home;
    ZivoModel::appInit();
    ASSERT_TRUE(SongCache::ensureFolder());
    // "Rock_" + name + ".plist" takes 11 bytes besides the name: 244 bytes is the longest
    // name whose tag file fits in 255, and every length up to it must be cacheable.
    for (const int length : {200, 226, 227, 240, 244}) {
        const QString name = QString(length - 4, QLatin1Char('a')) + ".mp3";
        EXPECT_TRUE(SongCache::store("Rock", name, {{"title", QString::number(length)}})) << length;
        EXPECT_TRUE(SongCache::hasTagFile("Rock", name)) << length;
        EXPECT_EQ(SongCache::readTagFile("Rock", name).value("title").toString(), QString::number(length));
        EXPECT_EQ(SongCache::tagFilePath("Rock", name), SongCache::cacheImagePath() + "Rock_" + name + ".plist")
            << "a name that fits is used as it is";
    }
    // Korean names take three bytes a syllable.
    QString korean;
    for (int i = 0; i < 80; ++i)
        korean += QChar(0xAC00 + i);
    korean += ".mp3";
    ASSERT_EQ(korean.toUtf8().size(), 244);
    EXPECT_TRUE(SongCache::store("Rock", korean, {{"title", "K"}}));
    EXPECT_TRUE(SongCache::hasTagFile("Rock", korean));
    EXPECT_EQ(FileManager::contentsOfDirectory(SongCache::cacheImagePath()).filter(".part-"), QStringList())
        << "no scratch file is left behind";
}

TEST(SongCacheNames, ALongNamedSongIsBuiltOnceAndNotAgainAtTheNextVisit)
{
    TestHome home;
    ZivoModel::appInit();
    const QString name = QString(236, QLatin1Char('b')) + ".mp3"; // 240 bytes
    home.makeFolder("Rock");
    ASSERT_TRUE(
        SongFixtures::writeMp3(home.documents() + "/Rock/" + name, SongFixtures::Tagging::Id3v23, titled("Long")));
    CountingOverlay overlay;
    FolderCacheBuilder builder(&overlay);
    const QUrl url = QUrl::fromLocalFile(home.documents() + "/Rock/" + name);
    builder.optimizeList({name}, url, nullptr);
    builder.waitForIdle();
    EXPECT_EQ(SongCache::readTagFile("Rock", name).value("title").toString(), QStringLiteral("Long"));
    builder.optimizeList({name}, url, nullptr);
    builder.waitForIdle();
    EXPECT_EQ(overlay.shown, 1) << "the progress overlay does not come back";
}

TEST(SpecialFiles, APipeNamedLikeASongIsNeverOpened)
{
    TestHome home;
    ZivoModel::appInit();
    home.makeFolder("Rock");
    ASSERT_TRUE(SongFixtures::writeMp3(home.documents() + "/Rock/a.mp3", SongFixtures::Tagging::Id3v23, titled("A")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(home.documents() + "/Rock/b.mp3").constData(), 0644), 0);
    ASSERT_TRUE(SongFixtures::writeMp3(home.documents() + "/Rock/c.mp3", SongFixtures::Tagging::Id3v23, titled("C")));
    home.makeFolder("Rock/d.mp3");

    // Bounded: a reader stuck on the pipe would keep its thread for good, not the test.
    auto done = std::make_shared<std::atomic<bool>>(false);
    const QUrl pipe = QUrl::fromLocalFile(home.documents() + "/Rock/b.mp3");
    std::thread([pipe, done] {
        ZivoModel::getFileInfoDicWithURL(pipe);
        TagReader::readLyrics(pipe.toLocalFile(), TagReader::Kind::Mp3);
        done->store(true);
    }).detach();
    ASSERT_TRUE(waitUntil([&] { return done->load(); }, 5000)) << "reading a pipe blocked";
    EXPECT_TRUE(ZivoModel::getFileInfoDicWithURL(pipe).isEmpty());

    CountingOverlay overlay;
    FolderCacheBuilder builder(&overlay);
    const QStringList list = ZivoModel::getFileListAtFolder("Rock");
    ASSERT_EQ(list.size(), 4);
    builder.optimizeList(list, QUrl::fromLocalFile(home.documents() + "/Rock/a.mp3"), nullptr);
    ASSERT_TRUE(waitUntil([&] { return !builder.isOptimizing(); }, 10000));
    EXPECT_EQ(SongCache::readTagFile("Rock", "a.mp3").value("title").toString(), QStringLiteral("A"));
    EXPECT_EQ(SongCache::readTagFile("Rock", "c.mp3").value("title").toString(), QStringLiteral("C"));
    EXPECT_TRUE(SongCache::hasTagFile("Rock", "b.mp3")) << "skipped like any file that is not a song";
    EXPECT_TRUE(SongCache::readTagFile("Rock", "b.mp3").isEmpty());
    EXPECT_TRUE(SongCache::hasTagFile("Rock", "d.mp3"));
}

} // namespace
