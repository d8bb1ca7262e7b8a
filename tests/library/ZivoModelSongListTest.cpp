#include "library/ZivoModel.h"

#include <gtest/gtest.h>

namespace {

TEST(SongLists, UrlsJoinTheFolderAndEachNameInOrder)
{
    const QList<QUrl> urls =
        ZivoModel::makeURLArrayWithFileNames({"b song.mp3", "a#1?.m4a", QString::fromUtf8("노래.mp3")}, "/music/Rock/");
    ASSERT_EQ(urls.size(), 3);
    EXPECT_EQ(urls[0].toLocalFile(), QStringLiteral("/music/Rock/b song.mp3"));
    EXPECT_EQ(urls[1].toLocalFile(), QStringLiteral("/music/Rock/a#1?.m4a"));
    EXPECT_EQ(urls[2].toLocalFile(), QString::fromUtf8("/music/Rock/노래.mp3"));
    EXPECT_EQ(urls[0].scheme(), QStringLiteral("file"));
    EXPECT_TRUE(ZivoModel::makeURLArrayWithFileNames({}, "/music").isEmpty());
}

TEST(SongLists, ReferencesUseTheRelativeFolderName)
{
    EXPECT_EQ(ZivoModel::makeFolderRNameAndFileNameWith({"a.mp3"}, "Documents"), QStringList{"/a.mp3"});
    EXPECT_EQ(ZivoModel::makeFolderRNameAndFileNameWith({"a.mp3", "b.m4a"}, "Rock"),
              (QStringList{"Rock/a.mp3", "Rock/b.m4a"}));
    EXPECT_TRUE(ZivoModel::makeFolderRNameAndFileNameWith({}, "Rock").isEmpty());
}

TEST(SongLists, RemoveCountStringDropsOnlyTheLastBracketedPart)
{
    EXPECT_EQ(ZivoModel::removeCountString("Rock [3/12]"), QStringLiteral("Rock"));
    EXPECT_EQ(ZivoModel::removeCountString("My [Best] [2/9]"), QStringLiteral("My [Best]"));
    EXPECT_EQ(ZivoModel::removeCountString("Plain"), QStringLiteral("Plain"));
    EXPECT_EQ(ZivoModel::removeCountString("Open [x"), QStringLiteral("Open"));
    EXPECT_EQ(ZivoModel::removeCountString(""), QStringLiteral(""));
    EXPECT_FALSE(ZivoModel::removeCountString(QString()).isNull());
}

} // namespace
