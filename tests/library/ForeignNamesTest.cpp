#include "TestHome.h"
#include "support/RawFiles.h"
#include "support/SongFixtures.h"

#include "library/FolderCacheBuilder.h"
#include "library/ProgressOverlayHost.h"
#include "library/SongCache.h"
#include "library/ZivoModel.h"
#include "platform/AudioPlayer.h"
#include "platform/FileManager.h"
#include "platform/UserDefaults.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/stat.h>

namespace {

// An old Korean collection copied onto Linux: a folder and a song named in EUC-KR, and a
// Japanese song in Shift_JIS in the root, all made with raw system calls.
const QByteArray kKoreanFolder = "\xB0\xA1\xBF\xE4"; // 가요
const QByteArray kKoreanSong = "\xB3\xEB\xB7\xA1.mp3"; // 노래.mp3
const QByteArray kJapaneseSong = "\x89\xB9\x8A\x79.mp3"; // 音楽.mp3

class NoOverlay : public ProgressOverlayHost
{
public:
    void viewMessageProgress(const Notification &) override {}
    void setMessageProgress(float) override {}
};

QString named(const QByteArray &raw)
{
    return FileManager::stringWithFileSystemRepresentation(raw);
}

class ForeignNames : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ZivoModel::appInit();
        documents = FileManager::fileSystemRepresentation(home.documents());
        ASSERT_EQ(::mkdir((documents + "/" + kKoreanFolder).constData(), 0755), 0);
        ASSERT_TRUE(song(documents + "/" + kKoreanFolder + "/" + kKoreanSong, "Korean title"));
        ASSERT_TRUE(song(documents + "/" + kJapaneseSong, "Japanese title"));
    }

    // A tagged song written under a plain name, then renamed to the raw bytes.
    bool song(const QByteArray &rawPath, const QString &title)
    {
        const QString plain = home.path() + "/staging.mp3";
        SongFixtures::Tags tags;
        tags.title = title;
        tags.picture = SongFixtures::jpeg(100, 100);
        return SongFixtures::writeMp3(plain, SongFixtures::Tagging::Id3v23, tags)
            && ::rename(QFile::encodeName(plain).constData(), rawPath.constData()) == 0;
    }

    TestHome home;
    QByteArray documents;
};

TEST_F(ForeignNames, AreListedUnderNamesThatLeadBackToTheirFiles)
{
    const QStringList folders = ZivoModel::getFolderList();
    ASSERT_EQ(folders, (QStringList{"Documents", named(kKoreanFolder)}));
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Documents"), QStringList{named(kJapaneseSong)});
    EXPECT_EQ(ZivoModel::getFileListAtFolder(named(kKoreanFolder)), QStringList{named(kKoreanSong)});
    EXPECT_EQ(ZivoModel::listDirOnlyDir(home.documents()), QStringList{named(kKoreanFolder)});
    for (const QString &name : {named(kKoreanFolder), named(kKoreanSong), named(kJapaneseSong)})
        EXPECT_FALSE(name.contains(QChar::ReplacementCharacter));

    // The cached lists come back the same from the settings file.
    home.restart();
    EXPECT_EQ(ZivoModel::getFolderList(), folders);
    EXPECT_EQ(ZivoModel::getFileListAtFolder(named(kKoreanFolder)), QStringList{named(kKoreanSong)});
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Documents"), QStringList{named(kJapaneseSong)});
}

TEST_F(ForeignNames, AreReadAndPlayedThroughTheirSongUrls)
{
    const QString folder = named(kKoreanFolder);
    const QList<QUrl> urls = ZivoModel::makeURLArrayWithFileNames(ZivoModel::getFileListAtFolder(folder),
                                                                  ZivoModel::getPathWithFolderName(folder));
    ASSERT_EQ(urls.size(), 1);
    // What the player opens: the URL's path, in the file system's bytes.
    EXPECT_EQ(FileManager::fileSystemRepresentation(urls[0].toLocalFile()),
              documents + "/" + kKoreanFolder + "/" + kKoreanSong);
    EXPECT_GT(AudioPlayer(urls[0]).duration(), 0.5) << "the player opens the song by its own bytes";
    const QVariantMap record = ZivoModel::getFileInfoDicWithURL(urls[0]);
    EXPECT_EQ(record.value("title").toString(), QStringLiteral("Korean title"));
    EXPECT_TRUE(record.contains("artwork"));
    EXPECT_EQ(SongCache::folderOfSong(urls[0]), folder);

    const QList<QUrl> root = ZivoModel::makeURLArrayWithFileNames(ZivoModel::getFileListAtFolder("Documents"),
                                                                  ZivoModel::getPathWithFolderName("Documents"));
    ASSERT_EQ(root.size(), 1);
    EXPECT_EQ(ZivoModel::getFileInfoDicWithURL(root[0]).value("title").toString(), QStringLiteral("Japanese title"));
}

TEST_F(ForeignNames, AreCachedUnderTheirOwnBytes)
{
    NoOverlay overlay;
    FolderCacheBuilder builder(&overlay);
    const QString folder = named(kKoreanFolder);
    const QStringList list = ZivoModel::getFileListAtFolder(folder);
    ASSERT_EQ(list.size(), 1);
    const QList<QUrl> urls = ZivoModel::makeURLArrayWithFileNames(list, ZivoModel::getPathWithFolderName(folder));
    builder.optimizeList(list, urls[0], nullptr);
    builder.waitForIdle();

    const QByteArray cache = FileManager::fileSystemRepresentation(SongCache::cacheImagePath());
    EXPECT_TRUE(RawFiles::exists(cache + kKoreanFolder + "_" + kKoreanSong + ".plist"));
    EXPECT_TRUE(RawFiles::exists(cache + kKoreanFolder + "_" + kKoreanSong + "@2x.png"));
    EXPECT_EQ(SongCache::readTagFile(folder, list[0]).value("title").toString(), QStringLiteral("Korean title"));
    EXPECT_EQ(SongCache::row(folder, list[0]).artwork.size(), QSize(92, 92));
    EXPECT_EQ(FileManager::contentsOfDirectory(SongCache::cacheImagePath())
                  .filter(QString(QChar::ReplacementCharacter)),
              QStringList());
}

TEST_F(ForeignNames, AreMovedWithTheirCacheAndDeleted)
{
    const QString folder = named(kKoreanFolder);
    const QString song = named(kKoreanSong);
    SongCache::ensureFolder();
    ASSERT_TRUE(SongCache::store(folder, song, {{"title", "T"}, {"artwork", QByteArray("png")}}));

    ZivoModel::moveFileFrom(folder, "Documents", song);
    EXPECT_TRUE(RawFiles::exists(documents + "/" + kKoreanSong));
    EXPECT_FALSE(RawFiles::exists(documents + "/" + kKoreanFolder + "/" + kKoreanSong));
    const QByteArray cache = FileManager::fileSystemRepresentation(SongCache::cacheImagePath());
    EXPECT_TRUE(RawFiles::exists(cache + "Documents_" + kKoreanSong + "@2x.png"));
    EXPECT_TRUE(RawFiles::exists(cache + "Documents_" + kKoreanSong + ".plist"));
    EXPECT_EQ(SongCache::readTagFile("Documents", song), (QVariantMap{{"title", "T"}}));

    ZivoModel::deleteFile("Documents", named(kJapaneseSong));
    EXPECT_FALSE(RawFiles::exists(documents + "/" + kJapaneseSong));
    ZivoModel::deleteDir(ZivoModel::getPathWithFolderName("Documents"));
    EXPECT_FALSE(RawFiles::exists(documents + "/" + kKoreanSong)) << "the root's songs go, whatever their names";
    EXPECT_TRUE(RawFiles::exists(documents + "/" + kKoreanFolder));
    ZivoModel::deleteDir(ZivoModel::getPathWithFolderName(folder));
    EXPECT_FALSE(RawFiles::exists(documents + "/" + kKoreanFolder));
    EXPECT_EQ(FileManager::contentsOfDirectory(home.documents()), QStringList());
}

TEST_F(ForeignNames, FoldersWithSuchNamesAreCreatedAndCopiedUnderTheSameBytes)
{
    const QString copy = named("\xB4\xD9\xB8\xA5"); // 다른
    ZivoModel::createDir(ZivoModel::getPathWithFolderName(copy));
    EXPECT_TRUE(RawFiles::exists(documents + "/\xB4\xD9\xB8\xA5"));
    ZivoModel::copyFileFrom(ZivoModel::getPathWithFolderName(named(kKoreanFolder)) + "/" + named(kKoreanSong),
                            ZivoModel::getPathWithFolderName(copy) + "/" + named(kKoreanSong));
    EXPECT_TRUE(RawFiles::exists(documents + "/\xB4\xD9\xB8\xA5/" + kKoreanSong));
}

} // namespace
