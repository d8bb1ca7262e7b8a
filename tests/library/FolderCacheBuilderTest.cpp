#include "TestHome.h"
#include "library/NotificationNames.h"
#include "support/SongFixtures.h"

#include "library/FolderCacheBuilder.h"
#include "library/ProgressOverlayHost.h"
#include "library/ReloadableList.h"
#include "library/SongCache.h"
#include "library/ZivoModel.h"
#include "platform/NotificationCenter.h"

#include <QFile>
#include <QImage>
#include <QObject>

#include <gtest/gtest.h>

#include <memory>

namespace {
using Tagging = SongFixtures::Tagging;

// Records what the builder asks of the overlay, the list and the bus, in order, and
// whether each call came on the main thread.
class Recorder : public ProgressOverlayHost, public ReloadableList
{
public:
    Recorder()
    {
        NotificationCenter::defaultCenter().addObserver(&owner, Notify::closeMessageProgress,
                                                        [this](const Notification &) { note("close"); });
    }
    void viewMessageProgress(const Notification &n) override
    {
        const QVariantList object = n.object.toList();
        note(QStringLiteral("show %1 %2 %3").arg(n.name, object.value(0).toString(), object.value(1).toString()));
    }
    void setMessageProgress(float progress) override { note(QStringLiteral("bar %1").arg(progress, 0, 'f', 2)); }
    void reloadData() override { note("reload"); }

    QStringList calls;
    bool offMainThread = false;

private:
    void note(const QString &call)
    {
        calls << call;
        if (!DispatchQueue::isMainThread())
            offMainThread = true;
    }
    QObject owner;
};

class CacheBuilding : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ZivoModel::appInit();
        SongFixtures::Tags tags;
        tags.album = QStringLiteral("Album");
        tags.artist = QStringLiteral("Artist");
        tags.picture = SongFixtures::jpeg(120, 120);
        ASSERT_TRUE(SongFixtures::writeMp3(song("a.mp3"), Tagging::Id3v23, tags));
        ASSERT_TRUE(SongFixtures::writeMp3(song("b.mp3"), Tagging::None, tags));
        SongFixtures::writeBytes(song("cover.jpg"), SongFixtures::jpeg(10, 10));
    }
    void TearDown() override { EXPECT_TRUE(finish(std::move(owned))); }
    QString song(const QString &name) const { return home.documents() + "/Rock/" + name; }
    QUrl url(const QString &name) const { return QUrl::fromLocalFile(song(name)); }

    // Waits for the builder with a bound. A builder that never comes back is left alone
    // (and leaked), so that a broken queue fails the test instead of hanging in a destructor.
    static bool finish(std::unique_ptr<FolderCacheBuilder> builder)
    {
        if (!builder || builder->waitForIdle(kBoundMs))
            return true;
        (void)builder.release();
        return false;
    }
    static constexpr int kBoundMs = 5000;

    TestHome home;
    Recorder recorder;
    std::unique_ptr<FolderCacheBuilder> owned = std::make_unique<FolderCacheBuilder>(&recorder);
    FolderCacheBuilder &builder = *owned;
    const QStringList list{"a.mp3", "b.mp3", "cover.jpg"};
};

TEST_F(CacheBuilding, UncachedFolderIsBuiltBehindTheProgressOverlay)
{
    builder.optimizeList(list, url("a.mp3"), &recorder);
    EXPECT_TRUE(builder.isOptimizing());
    ASSERT_TRUE(builder.waitForIdle(kBoundMs));
    EXPECT_FALSE(builder.isOptimizing());
    EXPECT_EQ(recorder.calls,
              (QStringList{"show progressNofi optimizing list... 0", "bar 0.00", "bar 0.33", "bar 0.67", "reload",
                           "close"}));
    EXPECT_FALSE(recorder.offMainThread) << "overlay and list are touched on the main thread only";

    EXPECT_EQ(SongCache::readTagFile("Rock", "a.mp3"), (QVariantMap{{"albumName", "Album"}, {"artist", "Artist"}}));
    EXPECT_EQ(QImage::fromData(SongCache::readArtwork("Rock", "a.mp3"), "PNG").size(), QSize(92, 92));
    EXPECT_TRUE(SongCache::hasTagFile("Rock", "b.mp3"));
    EXPECT_TRUE(SongCache::readTagFile("Rock", "b.mp3").isEmpty());
    EXPECT_FALSE(QFile::exists(SongCache::artworkFilePath("Rock", "b.mp3")));
    EXPECT_TRUE(SongCache::hasTagFile("Rock", "cover.jpg")) << "non-songs get an empty tag file too";
    EXPECT_TRUE(QFile::exists(SongCache::cacheImagePath() + "Rock_a.mp3.plist"));
    EXPECT_TRUE(QFile::exists(SongCache::cacheImagePath() + "Rock_a.mp3@2x.png"));
}

TEST_F(CacheBuilding, CallsDuringARunAreDroppedAndACachedSongEndsAtOnce)
{
    builder.optimizeList(list, url("a.mp3"), &recorder);
    builder.optimizeList(list, url("b.mp3"), &recorder); // dropped
    ASSERT_TRUE(builder.waitForIdle(kBoundMs));
    EXPECT_EQ(recorder.calls.count("reload"), 1);

    recorder.calls.clear();
    builder.optimizeList(list, url("b.mp3"), &recorder);
    ASSERT_TRUE(builder.waitForIdle(kBoundMs));
    EXPECT_FALSE(builder.isOptimizing());
    EXPECT_TRUE(recorder.calls.isEmpty()) << "a cached song starts no run";
}

TEST_F(CacheBuilding, OnlyTheGivenSongDecidesAndExistingTagFilesAreNeverRewritten)
{
    SongCache::ensureFolder();
    SongCache::store("Rock", "a.mp3", {{"title", "Old title"}});
    builder.optimizeList(list, url("a.mp3"), &recorder);
    ASSERT_TRUE(builder.waitForIdle(kBoundMs));
    EXPECT_FALSE(SongCache::hasTagFile("Rock", "b.mp3")) << "the folder counts as cached";

    builder.optimizeList(list, url("b.mp3"), &recorder);
    ASSERT_TRUE(builder.waitForIdle(kBoundMs));
    EXPECT_TRUE(SongCache::hasTagFile("Rock", "b.mp3"));
    EXPECT_EQ(SongCache::readTagFile("Rock", "a.mp3"), (QVariantMap{{"title", "Old title"}}));
}

TEST_F(CacheBuilding, RowsShowTheCachedAlbumAndArtistOrTheFileName)
{
    builder.optimizeList(list, url("a.mp3"), &recorder);
    ASSERT_TRUE(builder.waitForIdle(kBoundMs));
    const SongCache::Row tagged = SongCache::row("Rock", "a.mp3");
    EXPECT_EQ(tagged.title, QStringLiteral("a.mp3"));
    EXPECT_EQ(tagged.detail, QStringLiteral("Album Artist"));
    EXPECT_EQ(tagged.artwork.size(), QSize(92, 92));

    const SongCache::Row plain = SongCache::row("Rock", "b.mp3");
    EXPECT_EQ(plain.detail, QStringLiteral("b.mp3"));
    EXPECT_TRUE(plain.artwork.isNull()) << "the default picture is shown";
    EXPECT_EQ(SongCache::row("Rock", "never-seen.mp3").detail, QStringLiteral("never-seen.mp3"));
}

TEST_F(CacheBuilding, DestroyingTheBuilderMidRunStopsCleanly)
{
    auto early = std::make_unique<FolderCacheBuilder>(&recorder);
    QStringList many;
    for (int i = 0; i < 50; ++i)
        many << "a.mp3";
    early->optimizeList(many, url("b.mp3"), &recorder);
    // What its destructor does, with a bound.
    ASSERT_TRUE(finish(std::move(early)));
    EXPECT_TRUE(recorder.calls.isEmpty() || recorder.calls.last() == "close");
}

} // namespace
