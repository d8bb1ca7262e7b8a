#include "TestHome.h"

#include "library/PlaylistStore.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/PropertyList.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// What the settings file on disk holds under the store's key (not the store in memory).
QVariantMap playlistsOnDisk()
{
    QFile file(Sandbox::settingsFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto root = PropertyList::fromXml(file.readAll());
    return root ? root->toMap().value(SettingsKeys::playlistfolderkey).toMap() : QVariantMap();
}

QStringList strings(const QVariant &value)
{
    return value.toStringList();
}

TEST(PlaylistStore, NamesAreExactUniqueKeysAndUnusableNamesAreRefused)
{
    TestHome home;
    PlaylistStore store = PlaylistStore::load();
    EXPECT_EQ(store.count(), 0) << "a missing value reads as an empty store";
    ASSERT_TRUE(store.addPlaylist("Rock"));
    EXPECT_EQ(store.refusalFor("Rock"), PlaylistStore::Refusal::NameExists);
    EXPECT_FALSE(store.addPlaylist("Rock"));
    EXPECT_EQ(store.refusalFor("rock"), PlaylistStore::Refusal::None) << "names compare case-sensitively";
    ASSERT_TRUE(store.addPlaylist("rock"));
    EXPECT_TRUE(store.addPlaylist("Road Trip / 2024 [live]")) << "blanks inside, slashes and brackets are fine";
    EXPECT_TRUE(store.addPlaylist(QStringLiteral("여행 ♫")));

    // Names that would not read back as typed, or that nobody could tell apart on screen.
    for (const QString &bad :
         {QString(), QStringLiteral(""), QStringLiteral(" "), QStringLiteral("   "), QStringLiteral(" Jazz"),
          QStringLiteral("Jazz "), QStringLiteral("Jazz\t"), QStringLiteral("Ja\nzz"), QStringLiteral("Ja\x1b$Bzz"),
          QStringLiteral("Jazz\x7f"), QString(QChar(0x2028)) + "Jazz", QString(QChar(0xD800)) + "Jazz"}) {
        EXPECT_FALSE(PlaylistStore::isUsableName(bad)) << bad.toStdString();
        EXPECT_EQ(store.refusalFor(bad), PlaylistStore::Refusal::InvalidName) << bad.toStdString();
        EXPECT_FALSE(store.addPlaylist(bad));
    }
    EXPECT_EQ(playlistsOnDisk().keys(), store.names()) << "refusals wrote nothing";
    EXPECT_EQ(store.names().size(), 4);
    EXPECT_TRUE(strings(playlistsOnDisk().value("Rock")).isEmpty()) << "a new playlist starts empty";
}

TEST(PlaylistStore, EveryChangeIsOnDiskAtOnce)
{
    TestHome home;
    PlaylistStore store = PlaylistStore::load();
    ASSERT_TRUE(store.addPlaylist("Road"));
    EXPECT_TRUE(playlistsOnDisk().contains("Road"));

    // Appending keeps the order and the duplicates.
    ASSERT_TRUE(store.appendEntries("Road", {"Rock/a.mp3", "/b.mp3"}));
    ASSERT_TRUE(store.appendEntries("Road", {"Rock/a.mp3", "Jazz/c.mp3"}));
    const QStringList all{"Rock/a.mp3", "/b.mp3", "Rock/a.mp3", "Jazz/c.mp3"};
    EXPECT_EQ(strings(playlistsOnDisk().value("Road")), all);
    EXPECT_EQ(store.entries("Road"), all);

    // Deleting by selection removes every equal entry.
    EXPECT_EQ(store.removeEntries("Road", {"Rock/a.mp3"}), 2);
    EXPECT_EQ(strings(playlistsOnDisk().value("Road")), QStringList({"/b.mp3", "Jazz/c.mp3"}));

    // Another screen's copy sees the change when it loads the store.
    EXPECT_EQ(PlaylistStore::load().entries("Road"), QStringList({"/b.mp3", "Jazz/c.mp3"}));

    // The last playlist gone: an empty dictionary stays under the key.
    ASSERT_TRUE(store.removePlaylists({"Road"}));
    QFile file(Sandbox::settingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QVariantMap root = PropertyList::fromXml(file.readAll())->toMap();
    ASSERT_TRUE(root.contains(SettingsKeys::playlistfolderkey));
    EXPECT_EQ(root.value(SettingsKeys::playlistfolderkey).typeId(), QMetaType::QVariantMap);
    EXPECT_TRUE(root.value(SettingsKeys::playlistfolderkey).toMap().isEmpty());
}

TEST(PlaylistStore, CleanUpRemovesOnlyEntriesWhoseFilesAreGone)
{
    TestHome home;
    home.writeFile("Rock/a.mp3");
    home.writeFile("b.mp3");
    PlaylistStore store = PlaylistStore::load();
    ASSERT_TRUE(store.addPlaylist("Road"));
    ASSERT_TRUE(store.appendEntries("Road", {"Rock/a.mp3", "/b.mp3", "Rock/a.mp3"}));
    const QByteArray before = [] {
        QFile f(Sandbox::settingsFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_EQ(store.removeMissingEntries("Road"), 0);
    QFile again(Sandbox::settingsFilePath());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), before) << "nothing to clean up: the store is not written";

    QFile::remove(home.documents() + "/Rock/a.mp3");
    EXPECT_EQ(store.removeMissingEntries("Road"), 2) << "both copies of the missing song go";
    EXPECT_EQ(strings(playlistsOnDisk().value("Road")), QStringList({"/b.mp3"}));
    EXPECT_TRUE(QFile::exists(home.documents() + "/b.mp3")) << "song files are never touched";
}

TEST(PlaylistStore, EntriesNameFilesUnderDocuments)
{
    TestHome home;
    const QString docs = home.documents();
    EXPECT_EQ(PlaylistStore::pathOfEntry("/b.mp3"), docs + "/b.mp3");
    EXPECT_EQ(PlaylistStore::pathOfEntry("Rock/a.mp3"), docs + "/Rock/a.mp3");
    EXPECT_EQ(PlaylistStore::fileNameOfEntry("Rock/a.mp3"), "a.mp3");
    EXPECT_EQ(PlaylistStore::fileNameOfEntry("/b.mp3"), "b.mp3");
    EXPECT_EQ(PlaylistStore::urlsOfEntries({"Rock/a.mp3", "/b.mp3", "Rock/a.mp3"}),
              QList<QUrl>({QUrl::fromLocalFile(docs + "/Rock/a.mp3"), QUrl::fromLocalFile(docs + "/b.mp3"),
                           QUrl::fromLocalFile(docs + "/Rock/a.mp3")}));

    // A hand-edited store with junk in it: only text counts as an entry.
    UserDefaults::standard().setObject(QVariantMap{{"Odd", QVariantList{"Rock/a.mp3", 7, QVariantMap()}}},
                                       SettingsKeys::playlistfolderkey);
    EXPECT_EQ(PlaylistStore::load().entries("Odd"), QStringList({"Rock/a.mp3"}));
    UserDefaults::standard().setObject(QStringLiteral("not a dictionary"), SettingsKeys::playlistfolderkey);
    EXPECT_EQ(PlaylistStore::load().count(), 0);
}

TEST(PlaylistStore, DeletingASongFileStaysInsideTheLibrary)
{
    TestHome home;
    const QString song = home.writeFile("Rock/a.mp3");
    const QString root = home.writeFile("b.mp3");
    // A file of the same name in a folder called like a library folder, outside Documents.
    const QString outside = home.path() + "/Rock/a.mp3";
    QDir().mkpath(home.path() + "/Rock");
    QFile(song).copy(outside);
    const QString docs = home.documents();

    PlaylistStore::deleteSongFile(QUrl::fromLocalFile(docs + "/../Rock/a.mp3"));
    EXPECT_TRUE(QFile::exists(song)) << "an entry with .. named Documents/Rock/a.mp3 by its folder's name";
    EXPECT_TRUE(QFile::exists(outside));
    PlaylistStore::deleteSongFile(QUrl::fromLocalFile(outside));
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_TRUE(QFile::exists(song));

    PlaylistStore::deleteSongFile(PlaylistStore::urlsOfEntries({"Rock/a.mp3"}).first());
    EXPECT_FALSE(QFile::exists(song));
    PlaylistStore::deleteSongFile(PlaylistStore::urlsOfEntries({"/b.mp3"}).first());
    EXPECT_FALSE(QFile::exists(root));
}

// The program killed right after a change (no quit, no timer): the change is in the file.
TEST(PlaylistStore, AChangeSurvivesAKillRightAfterIt)
{
    TestHome home;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString name = QStringLiteral("Road %1").arg(attempt);
        QProcess writer;
        writer.start(QStringLiteral(PLAYLIST_WRITER_PATH), {home.path(), name, "Rock/a.mp3", "/b.mp3"});
        ASSERT_TRUE(writer.waitForReadyRead(10000)) << writer.readAllStandardError().toStdString();
        ASSERT_EQ(writer.readLine().trimmed(), "changed");
        writer.kill(); // SIGKILL: no quit, no pending save runs
        ASSERT_TRUE(writer.waitForFinished(10000));
        EXPECT_EQ(strings(playlistsOnDisk().value(name)), QStringList({"Rock/a.mp3", "/b.mp3"})) << attempt;
    }
}

} // namespace
