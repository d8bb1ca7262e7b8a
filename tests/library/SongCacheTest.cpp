#include "TestHome.h"

#include "library/SongCache.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

namespace {

TEST(SongCache, OverlyLongNamesSharingTheirStartGetCacheFilesOfTheirOwn)
{
    TestHome home;
    ASSERT_TRUE(SongCache::ensureFolder());
    // Too long for one file name once the folder and the suffix are added, and alike for far
    // longer than any shortened name keeps. Korean text takes three bytes a character.
    const QString shared = QString(120, QChar(u'\uD55C')) + QString(60, QLatin1Char('a'));
    const QStringList names = {shared + "-first.mp3", shared + "-second.mp3", shared + "-first.m4a"};
    QSet<QString> paths;
    for (const QString &name : names) {
        for (const QString &path : {SongCache::tagFilePath("Rock", name), SongCache::artworkFilePath("Rock", name),
                                    SongCache::fullArtworkFilePath("Rock", name)}) {
            EXPECT_LE(QFile::encodeName(QFileInfo(path).fileName()).size(), 255);
            EXPECT_TRUE(path.startsWith(SongCache::cacheImagePath()));
            paths.insert(path);
        }
        // The same name always gives the same files.
        EXPECT_EQ(SongCache::tagFilePath("Rock", name), SongCache::tagFilePath("Rock", QString(name)));
    }
    EXPECT_EQ(paths.size(), 3 * names.size());
    // The folder is part of the name as well.
    EXPECT_NE(SongCache::tagFilePath("Pop", names[0]), SongCache::tagFilePath("Rock", names[0]));

    for (const QString &name : names)
        ASSERT_TRUE(SongCache::store("Rock", name, {{"title", name}, {"artwork", name.toUtf8()}}));
    for (const QString &name : names) {
        EXPECT_EQ(SongCache::readTagFile("Rock", name).value("title").toString(), name);
        EXPECT_EQ(SongCache::readArtwork("Rock", name), name.toUtf8());
    }
    EXPECT_FALSE(SongCache::hasTagFile("Pop", names[0]));
}

} // namespace
