#include "TestHome.h"
#include "support/SongFixtures.h"

#include "library/AsyncAndCacheImageOperator.h"
#include "library/AsyncAndCacheImageOperatorManager.h"
#include "library/ImageSink.h"
#include "library/SongCache.h"
#include "library/TextSink.h"
#include "library/ZivoModel.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

struct Row : ImageSink, TextSink
{
    explicit Row(QStringList *logTo, QString rowName) : log(logTo), name(std::move(rowName)) {}
    void setImage(const QImage &image) override { *log << name + QStringLiteral(" image %1").arg(image.width()); }
    void setText(const QString &text) override { *log << name + " text " + text; }
    QStringList *log;
    QString name;
};

class ImageLoading : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ZivoModel::appInit();
        for (const char *name : {"one.mp3", "two.mp3", "three.mp3"}) {
            SongFixtures::Tags tags;
            tags.album = QString::fromLatin1(name).section('.', 0, 0);
            tags.artist = QStringLiteral("Band");
            tags.picture = SongFixtures::jpeg(64, 64);
            ASSERT_TRUE(SongFixtures::writeMp3(home.documents() + "/Pop/" + name, SongFixtures::Tagging::Id3v24, tags));
        }
        manager.setMaxAsyncCount(2);
    }
    void TearDown() override { manager.setMaxAsyncCount(2); }
    QUrl url(const char *name) const { return QUrl::fromLocalFile(home.documents() + "/Pop/" + name); }

    TestHome home;
    AsyncAndCacheImageOperatorManager &manager = AsyncAndCacheImageOperatorManager::shared();
    QStringList log;
    Row first{&log, "first"};
    Row second{&log, "second"};
};

TEST_F(ImageLoading, LoadsFromTheSongOnceThenFromTheCache)
{
    AsyncAndCacheImageOperatorManager::setAsyncImageURL(&first, url("one.mp3"), &first);
    EXPECT_EQ(log, (QStringList{"first image 92", "first text one Band"}));
    EXPECT_TRUE(SongCache::hasTagFile("Pop", "one.mp3")) << "the loader caches what it read";
    EXPECT_EQ(manager.currentAsyncCount(), 0);
    EXPECT_EQ(manager.runningCount(), 0);

    // A song replaced under the same name keeps showing its cached tags.
    SongFixtures::Tags other;
    other.album = QStringLiteral("Changed");
    ASSERT_TRUE(SongFixtures::writeMp3(home.documents() + "/Pop/one.mp3", SongFixtures::Tagging::Id3v24, other));
    log.clear();
    AsyncAndCacheImageOperatorManager::setAsyncImageURL(&second, url("one.mp3"), &second);
    EXPECT_EQ(log, (QStringList{"second image 92", "second text one Band"}));

    log.clear();
    AsyncAndCacheImageOperatorManager::setAsyncImageURL(&first, QUrl(), &first);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(ImageLoading, ANewRequestForARowDropsItsWaitingOne)
{
    manager.setMaxAsyncCount(0); // hold everything in the waiting list
    AsyncAndCacheImageOperatorManager::setAsyncImageURL(&first, url("one.mp3"), &first);
    AsyncAndCacheImageOperatorManager::setAsyncImageURL(&second, url("two.mp3"), &second);
    AsyncAndCacheImageOperatorManager::setAsyncImageURL(&first, url("three.mp3"), &first);
    EXPECT_EQ(manager.waitingCount(), 2);
    EXPECT_TRUE(log.isEmpty());

    manager.setMaxAsyncCount(1);
    Row third(&log, "third");
    AsyncAndCacheImageOperatorManager::setAsyncImageURL(&third, url("one.mp3"), &third);
    EXPECT_EQ(log,
              (QStringList{"second image 92", "second text two Band", "first image 92", "first text three Band",
                           "third image 92", "third text one Band"}));
    EXPECT_EQ(manager.waitingCount(), 0);
    EXPECT_EQ(manager.currentAsyncCount(), 0);
}

TEST_F(ImageLoading, ACancelledOperatorDeliversNothingButStillCompletes)
{
    AsyncAndCacheImageOperator op(url("two.mp3"), &first, &first);
    bool completed = false;
    op.setLoadCompleteWithTarget([&](AsyncAndCacheImageOperator *done) { completed = done == &op; });
    op.cancel();
    op.main();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(completed);
    EXPECT_TRUE(AsyncAndCacheImageOperator::_cacheImagePath().endsWith("/cacheImages/"));
}

} // namespace
