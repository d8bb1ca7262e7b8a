#include "TestHome.h"

#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {
using namespace SettingsKeys;

// Puts a folder's modification date back, so that a change inside it goes unseen
// by the listing: only a cached list can then miss the change.
void setModificationDate(const QString &path, Date date)
{
    const timespec times[2] = {{0, UTIME_OMIT},
                               {time_t(date.nanosecondsSinceEpoch() / 1'000'000'000),
                                long(date.nanosecondsSinceEpoch() % 1'000'000'000)}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

QSet<QString> asSet(const QStringList &list)
{
    return QSet<QString>(list.cbegin(), list.cend());
}

class Listing : public ::testing::Test
{
protected:
    void SetUp() override { ZivoModel::appInit(); }

    QVariantMap cacheEntry(const QString &folder) const
    {
        return UserDefaults::standard().dictionaryForKey(folderListCachePrefix + folder);
    }

    TestHome home;
};

TEST_F(Listing, RootListsFoldersAndSongsButNeverTheHiddenFolders)
{
    home.writeFile("song.MP3");
    home.writeFile("b.m4a");
    home.writeFile("cover.jpg");
    home.writeFile("notes");
    home.writeFile("Rock/cover.jpg");
    home.writeFile("Rock/a.mp3");
    home.writeFile("___Uploader/song.mp3");
    home.writeFile("CIC/song.mp3");
    home.makeFolder("___Other");
    home.makeFolder("cic");

    const QStringList folders = ZivoModel::getFolderList();
    ASSERT_FALSE(folders.isEmpty());
    EXPECT_EQ(folders.first(), QStringLiteral("Documents"));
    EXPECT_EQ(asSet(folders), (QSet<QString>{"Documents", "Rock", "___Other", "cic"}));
    EXPECT_EQ(asSet(ZivoModel::getFileListAtFolder("Documents")), (QSet<QString>{"song.MP3", "b.m4a"}));
    EXPECT_EQ(asSet(ZivoModel::getFileListAtFolder("Rock")), (QSet<QString>{"cover.jpg", "a.mp3"}));
    EXPECT_EQ(asSet(ZivoModel::listDirOnlyDir(home.documents())), (QSet<QString>{"Rock", "___Other", "cic"}));
    EXPECT_EQ(ZivoModel::getFolderListAtDocumentsNoCache(), folders);
}

TEST_F(Listing, ListingsFollowDirectoryOrderUnsorted)
{
    for (const char *name : {"c.mp3", "a.mp3", "B.mp3", "d.mp3"})
        home.writeFile(QString("Pop/") + name);
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Pop"), FileManager::contentsOfDirectory(home.documents() + "/Pop"));
}

TEST_F(Listing, CachedListSurvivesARestartWithTheExactDate)
{
    const QString rock = home.makeFolder("Rock");
    home.writeFile("Rock/a.mp3");
    const Date stamp(1700000000123456789LL); // nanoseconds that a millisecond clock would lose
    setModificationDate(rock, stamp);
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Rock"), QStringList{"a.mp3"});
    home.restart();

    // A change with the date put back is visible only to a listing that reads the disk.
    home.writeFile("Rock/b.mp3");
    setModificationDate(rock, stamp);
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Rock"), QStringList{"a.mp3"});

    setModificationDate(rock, Date(stamp.nanosecondsSinceEpoch() + 1));
    EXPECT_EQ(asSet(ZivoModel::getFileListAtFolder("Rock")), (QSet<QString>{"a.mp3", "b.mp3"}));
}

TEST_F(Listing, NewFileInAFolderInvalidatesOnlyThatFolder)
{
    home.writeFile("Rock/a.mp3");
    home.writeFile("root.mp3");
    setModificationDate(home.documents(), Date(1600000000000000001LL));
    ZivoModel::getFolderList();
    ZivoModel::getFileListAtFolder("Rock");
    const QVariant folderListBefore = UserDefaults::standard().objectForKey(folderlistkey);
    const QVariantMap rootBefore = cacheEntry("Documents");

    home.writeFile("Rock/new.mp3");
    home.writeFile("Rock/.orbo-upload-Ab12Cd"); // an upload on its way is no song yet
    EXPECT_EQ(asSet(ZivoModel::getFileListAtFolder("Rock")), (QSet<QString>{"a.mp3", "new.mp3"}));
    ZivoModel::getFolderList();
    ZivoModel::getFileListAtFolder("Documents");
    EXPECT_EQ(UserDefaults::standard().objectForKey(folderlistkey), folderListBefore);
    EXPECT_EQ(cacheEntry("Documents"), rootBefore);
}

TEST_F(Listing, DeletingInTheRootRescansBothRootEntries)
{
    const QString song = home.writeFile("gone.mp3");
    home.writeFile("stays.mp3");
    setModificationDate(home.documents(), Date(1600000000000000001LL));
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Documents").size(), 2);

    ASSERT_TRUE(QFile::remove(song));
    const std::optional<Date> now = FileManager::modificationDate(home.documents());
    ASSERT_TRUE(now.has_value());
    ZivoModel::getFolderList();
    EXPECT_EQ(UserDefaults::standard().arrayForKey(folderlistkey).value(0), QVariant::fromValue(*now));
    EXPECT_EQ(cacheEntry("Documents").value("foldermodifydate"), QVariant::fromValue(*now));
    EXPECT_EQ(cacheEntry("Documents").value("folderfilelist").toStringList(), QStringList{"stays.mp3"});
}

TEST_F(Listing, MissingFolderListsEmptyAndCachesNothing)
{
    EXPECT_TRUE(ZivoModel::getFileListAtFolder("Nowhere").isEmpty());
    EXPECT_FALSE(UserDefaults::standard().objectForKey(folderListCachePrefix + "Nowhere").isValid());
    home.writeFile("Nowhere/late.mp3");
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Nowhere"), QStringList{"late.mp3"}) << "the next call looks again";
    EXPECT_TRUE(ZivoModel::listDirOnlyDir(home.path() + "/no/such/path").isEmpty());
}

TEST(FolderNames, PathsAndRelativeNames)
{
    TestHome home;
    EXPECT_EQ(ZivoModel::getPathWithFolderName("Documents"), home.documents());
    EXPECT_EQ(ZivoModel::getPathWithFolderName("Rock"), home.documents() + "/Rock");
    EXPECT_EQ(ZivoModel::folderRName("Documents"), QStringLiteral("/"));
    EXPECT_EQ(ZivoModel::folderRName("documents"), QStringLiteral("documents"));
    EXPECT_EQ(ZivoModel::folderRName("Rock"), QStringLiteral("Rock"));
}

TEST(FolderNames, SortPutsDocumentsFirstAndIgnoresCase)
{
    EXPECT_EQ(ZivoModel::folderSortToTopDocument({"b", "Documents", "A"}), (QStringList{"Documents", "A", "b"}));
    EXPECT_EQ(ZivoModel::folderSortToTopDocument({"beta", "Alpha", "alpha2"}),
              (QStringList{"Alpha", "alpha2", "beta"}));
    EXPECT_TRUE(ZivoModel::folderSortToTopDocument({}).isEmpty());
    EXPECT_EQ(ZivoModel::folderSortToTopDocument({"Zed", "Documents"}), (QStringList{"Documents", "Zed"}));
}

TEST(FolderNames, IndexTitlesShortenLongNamesAfterCompatibilityComposition)
{
    const QStringList titles = ZivoModel::indexTileSortName(
        {"ab", "abc", QString::fromUtf8("가나다"), QString::fromUtf8("가나"), QString::fromUtf8("ＡＢ"),
         QString::fromUtf8("ﾃｽﾄ"), QString::fromUtf8("\xE1\x84\x80\xE1\x85\xA1"), ""});
    EXPECT_EQ(titles,
              (QStringList{"ab", "ab..", QString::fromUtf8("가나.."), QString::fromUtf8("가나"), "AB",
                           QString::fromUtf8("テス.."), QString::fromUtf8("가"), ""}));
}

} // namespace
