#include "TestHome.h"

#include "app/Util.h"
#include "library/LibraryErrorReporter.h"
#include "library/SongCache.h"
#include "library/ZivoModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/xattr.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class FileOperations : public ::testing::Test, public LibraryErrorReporter
{
protected:
    void SetUp() override
    {
        ZivoModel::appInit();
        ZivoModel::setErrorReporter(this);
    }
    void TearDown() override { ZivoModel::setErrorReporter(nullptr); }
    void reportError(const QString &t, const QString &m, const QString &b) override { alerts << t + "|" + m + "|" + b; }
    QString doc(const QString &relative) const { return home.documents() + "/" + relative; }

    TestHome home;
    QStringList alerts;
};

TEST_F(FileOperations, CreateDirMakesFoldersAndReportsOnlyRealFailures)
{
    ZivoModel::createDir(doc("New/Inner"));
    EXPECT_TRUE(QFileInfo(doc("New/Inner")).isDir());
    ZivoModel::createDir(doc("New"));
    EXPECT_TRUE(ZivoModel::createDir(home.documents() + "/"));
    EXPECT_TRUE(alerts.isEmpty()) << "an existing folder is not an error";

    home.writeFile("plain.txt");
    ZivoModel::createDir(doc("plain.txt/sub"));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith("Error|"));
    EXPECT_TRUE(alerts.first().endsWith("|OK"));
    EXPECT_GT(alerts.first().size(), QStringLiteral("Error||OK").size()) << "the system's description is shown";

    ZivoModel::createDir(home.path() + "/outside");
    ZivoModel::createDir(doc("../escape"));
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/outside"));
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/escape"));
    EXPECT_EQ(alerts.size(), 3);
}

TEST_F(FileOperations, DeletingTheRootRemovesOnlyItsSongs)
{
    home.writeFile("a.mp3");
    home.writeFile("B.M4A");
    home.writeFile("notes.txt");
    home.writeFile("Rock/c.mp3");
    home.writeFile("___Uploader/index.html");
    ZivoModel::deleteDir(home.documents() + "/");
    EXPECT_FALSE(QFile::exists(doc("a.mp3")));
    EXPECT_FALSE(QFile::exists(doc("B.M4A")));
    EXPECT_TRUE(QFile::exists(doc("notes.txt")));
    EXPECT_TRUE(QFile::exists(doc("Rock/c.mp3")));
    EXPECT_TRUE(QFile::exists(doc("___Uploader/index.html")));
    EXPECT_TRUE(QFileInfo(home.documents()).isDir());

    ZivoModel::deleteDir(doc("Rock"));
    EXPECT_FALSE(QFileInfo::exists(doc("Rock")));
}

TEST_F(FileOperations, NothingOutsideTheLibraryIsEverRemoved)
{
    const QString outside = home.path() + "/Preferences/keep.txt";
    QFile file(outside);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    home.writeFile("Rock/song.mp3");
    ZivoModel::deleteDir(doc("Rock/../../Preferences"));
    ZivoModel::deleteDir(doc(".."));
    ZivoModel::deleteFile("Rock", "../../Preferences/keep.txt");
    ZivoModel::deleteFile("..", "Preferences");
    ZivoModel::deleteFile("Rock", "");
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_TRUE(QFile::exists(doc("Rock/song.mp3")));

    ZivoModel::deleteFile("Rock", "song.mp3");
    EXPECT_FALSE(QFile::exists(doc("Rock/song.mp3")));
    ZivoModel::deleteFile("Documents", "missing.mp3"); // silently nothing
}

TEST_F(FileOperations, NothingBehindALinkToOutsideTheLibraryIsTouched)
{
    const QString outside = home.path() + "/Outside";
    for (const QString name : {"keep.mp3", "Inner/deep.mp3"}) {
        QDir().mkpath(QFileInfo(outside + "/" + name).path());
        QFile file(outside + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("outside");
    }
    ASSERT_TRUE(QFile::link(outside, doc("Link")));
    home.writeFile("a.mp3", "inside");

    // Inside Documents by its name, outside once the link is followed.
    ZivoModel::deleteFile("Link", "keep.mp3");
    ZivoModel::deleteFile("Link", "Inner");
    ZivoModel::deleteFile("Documents", "Link/keep.mp3");
    ZivoModel::deleteDir(doc("Link/Inner"));
    ZivoModel::copyFileFrom(doc("a.mp3"), doc("Link/copy.mp3"));
    ZivoModel::moveFileFrom("Documents", "Link", "a.mp3");
    ZivoModel::moveFileFrom("Link", "Documents", "keep.mp3");
    ZivoModel::createDir(doc("Link/New"));

    EXPECT_EQ(contents(outside + "/keep.mp3"), QByteArray("outside"));
    EXPECT_EQ(contents(outside + "/Inner/deep.mp3"), QByteArray("outside"));
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"Inner", "keep.mp3"}));
    EXPECT_EQ(contents(doc("a.mp3")), QByteArray("inside"));
    EXPECT_FALSE(QFile::exists(doc("keep.mp3")));
    EXPECT_EQ(alerts.size(), 1) << "the refused folder is reported";
}

TEST_F(FileOperations, DeleteFileKeepsTheCacheForALaterSongOfTheSameName)
{
    home.writeFile("Rock/song.mp3");
    SongCache::ensureFolder();
    SongCache::store("Rock", "song.mp3", {{"title", "T"}});
    ZivoModel::deleteFile("Rock", "song.mp3");
    EXPECT_TRUE(SongCache::hasTagFile("Rock", "song.mp3"));
}

TEST_F(FileOperations, CopyNeverOverwrites)
{
    home.writeFile("Rock/a.mp3", "new");
    home.writeFile("Pop/a.mp3", "old");
    ZivoModel::copyFileFrom(doc("Rock/a.mp3"), doc("Pop/a.mp3"));
    EXPECT_EQ(contents(doc("Pop/a.mp3")), QByteArray("old"));
    ZivoModel::copyFileFrom(doc("Rock/a.mp3"), doc("Pop/b.mp3"));
    EXPECT_EQ(contents(doc("Pop/b.mp3")), QByteArray("new"));
    ZivoModel::copyFileFrom(doc("Rock"), doc("Rock copy"));
    EXPECT_EQ(contents(doc("Rock copy/a.mp3")), QByteArray("new"));
    ZivoModel::copyFileFrom(doc("Rock/a.mp3"), home.path() + "/outside.mp3");
    EXPECT_FALSE(QFile::exists(home.path() + "/outside.mp3"));
}

TEST_F(FileOperations, MovingTakesTheCachedArtworkAndCopiesTheTagFile)
{
    home.writeFile("Rock/a.mp3", "song");
    home.makeFolder("Pop");
    home.makeFolder("Jazz");
    SongCache::ensureFolder();
    SongCache::store("Rock", "a.mp3", {{"title", "T"}, {"artwork", QByteArray("png")}});
    QFile full(SongCache::fullArtworkFilePath("Rock", "a.mp3"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    full.close();
    EXPECT_TRUE(SongCache::fullArtworkFilePath("Rock", "a.mp3").endsWith("/Rock_Fulla.mp3@2x.png"));

    ZivoModel::moveFileFrom("Rock", "Pop", "a.mp3");
    EXPECT_FALSE(QFile::exists(doc("Rock/a.mp3")));
    EXPECT_EQ(contents(doc("Pop/a.mp3")), QByteArray("song"));
    EXPECT_FALSE(QFile::exists(SongCache::artworkFilePath("Rock", "a.mp3")));
    EXPECT_EQ(contents(SongCache::artworkFilePath("Pop", "a.mp3")), QByteArray("png"));
    EXPECT_TRUE(QFile::exists(SongCache::fullArtworkFilePath("Pop", "a.mp3")));
    EXPECT_TRUE(SongCache::hasTagFile("Rock", "a.mp3")) << "the source's tag file stays";
    EXPECT_EQ(SongCache::readTagFile("Pop", "a.mp3"), (QVariantMap{{"title", "T"}}));
    // The two tag files are two files: rewriting one leaves the other as it was.
    SongCache::store("Pop", "a.mp3", {{"title", "Re-read"}});
    EXPECT_EQ(SongCache::readTagFile("Rock", "a.mp3"), (QVariantMap{{"title", "T"}}));
    EXPECT_EQ(SongCache::readTagFile("Pop", "a.mp3"), (QVariantMap{{"title", "Re-read"}}));
    ZivoModel::moveFileFrom("Pop", "Jazz", "a.mp3");
    ASSERT_TRUE(QFile::remove(SongCache::tagFilePath("Pop", "a.mp3")));
    EXPECT_EQ(SongCache::readTagFile("Jazz", "a.mp3"), (QVariantMap{{"title", "Re-read"}}))
        << "a copy outlives its source";
}

TEST_F(FileOperations, MovingOntoAnExistingNameLeavesBothSongs)
{
    home.writeFile("a.mp3", "root");
    home.writeFile("Pop/a.mp3", "pop");
    SongCache::ensureFolder();
    SongCache::store("Documents", "a.mp3", {{"title", "Root"}});
    EXPECT_FALSE(ZivoModel::moveFileFrom("Documents", "Pop", "a.mp3"));
    EXPECT_EQ(contents(doc("a.mp3")), QByteArray("root"));
    EXPECT_EQ(contents(doc("Pop/a.mp3")), QByteArray("pop"));
    // The song that stayed keeps its cache, and the other song is not given its tags.
    EXPECT_EQ(SongCache::readTagFile("Documents", "a.mp3"), (QVariantMap{{"title", "Root"}}));
    EXPECT_TRUE(SongCache::readTagFile("Pop", "a.mp3").isEmpty());
    EXPECT_FALSE(QFile::exists(SongCache::artworkFilePath("Pop", "a.mp3")));

    // Names that leave their folder move nothing, and copy no cache file out of the cache.
    EXPECT_FALSE(ZivoModel::moveFileFrom("Pop", "Pop/../..", "a.mp3"));
    EXPECT_FALSE(ZivoModel::moveFileFrom("Pop", "../../Preferences/x", "a.mp3"));
    EXPECT_EQ(contents(doc("Pop/a.mp3")), QByteArray("pop"));
    EXPECT_FALSE(QFile::exists(home.path() + "/Preferences/x_a.mp3.plist"));
    EXPECT_FALSE(QFile::exists(home.path() + "/x_a.mp3.plist"));
}

TEST_F(FileOperations, SkipBackupAttributeIsSetWhereTheFileSystemAllowsIt)
{
    const QString path = home.writeFile("demo.mp3");
    const bool set = Util::addSkipBackupAttributeToItemAtURL(QUrl::fromLocalFile(path));
    char value = 0;
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), "user.com.apple.MobileBackup", &value, 1);
    EXPECT_EQ(set, size == 1);
    if (set) {
        EXPECT_EQ(value, 1);
    }
    EXPECT_FALSE(Util::addSkipBackupAttributeToItemAtURL(QUrl::fromLocalFile(home.path() + "/missing")));
}

} // namespace
