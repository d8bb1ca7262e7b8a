#include "FilesShell.h"

#include "library/PlaylistStore.h"
#include "support/SongFixtures.h"
#include "library/SongCache.h"
#include "platform/Button.h"
#include "platform/FileManager.h"
#include "platform/NavigationBar.h"

#include <QAccessible>
#include <QAccessibleInterface>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

namespace {

using Shell = FilesShell;

// Rock holds a, b and c; Jazz holds its own b (another song of the same name).
struct MoveShell : Shell
{
    MoveShell()
    {
        home.writeFile("Rock/a.mp3", "rock a");
        home.writeFile("Rock/b.mp3", "rock b");
        home.writeFile("Rock/c.mp3", "rock c");
        home.writeFile("Jazz/b.mp3", "jazz b");
        openFolders();
        openFolder("Rock");
        files()->editButton()->click();
    }
    // Ticks the files in order and opens the picker.
    void pick(const QStringList &names)
    {
        for (const QString &name : names)
            ASSERT_TRUE(tap(files()->listTableView(), name)) << name.toStdString();
        files()->moveButton()->click();
        ASSERT_TRUE(picker()->isOnScreen());
    }
};

TEST(MovePicker, ListsTheFoldersRootFirstAndClosingKeepsTheSelection)
{
    MoveShell s;
    s.pick({"c.mp3", "a.mp3"});
    FolderViewController *picker = s.picker();
    EXPECT_EQ(picker->titleNavigationBar()->title(), "Move Files");
    EXPECT_EQ(picker->closeButton()->text(), "close");
    EXPECT_EQ(Shell::titles(picker->folderTableView()), QStringList({"Documents", "Jazz", "Rock"}));
    TableViewCell *root = Shell::row(picker->folderTableView(), "Documents");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->indentationLevel(), 0);
    EXPECT_EQ(Shell::row(picker->folderTableView(), "Jazz")->indentationLevel(), 1);
    EXPECT_EQ(picker->folderMessageLabel()->text(), "2N files selected");
    QAccessibleInterface *message = QAccessible::queryAccessibleInterface(picker->folderMessageLabel());
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text(QAccessible::Name), "2N files selected");
    EXPECT_EQ(picker->selectedPathListArray(), QStringList({"Rock/c.mp3", "Rock/a.mp3"}));

    picker->closeButton()->click();
    EXPECT_FALSE(picker->isOnScreen());
    EXPECT_TRUE(picker->folderListArray().isEmpty()) << "it forgets what it was given";
    EXPECT_EQ(picker->comanderClass(), nullptr);
    EXPECT_TRUE(s.files()->isOnScreen());
    EXPECT_EQ(s.files()->listMode(), 1);
    EXPECT_EQ(s.files()->selectedPathListArray(), QStringList({"c.mp3", "a.mp3"}));
    EXPECT_TRUE(QFile::exists(s.doc("Rock/a.mp3")));
    EXPECT_TRUE(s.messages.isEmpty());

    // Escape closes it the same way.
    s.files()->moveButton()->click();
    EXPECT_TRUE(picker->escapePressed());
    EXPECT_FALSE(picker->isOnScreen());
    EXPECT_EQ(s.files()->selectedPathListArray().size(), 2);
}

TEST(MovePicker, ANameTakenInTheDestinationIsNeverReplacedAndTheMessageCountsBoth)
{
    MoveShell s;
    SongCache::ensureFolder();
    SongCache::store("Rock", "b.mp3", {{"title", "Rock B"}});
    SongCache::store("Jazz", "b.mp3", {{"title", "Jazz B"}});
    s.pick({"a.mp3", "b.mp3"});
    ASSERT_TRUE(Shell::tap(s.picker()->folderTableView(), "Jazz"));
    EXPECT_EQ(Shell::contents(s.doc("Jazz/a.mp3")), "rock a");
    EXPECT_FALSE(QFile::exists(s.doc("Rock/a.mp3")));
    EXPECT_EQ(Shell::contents(s.doc("Jazz/b.mp3")), "jazz b") << "the song there stays itself";
    EXPECT_EQ(Shell::contents(s.doc("Rock/b.mp3")), "rock b") << "the one that could not move stays home";
    EXPECT_EQ(SongCache::readTagFile("Jazz", "b.mp3"), (QVariantMap{{"title", "Jazz B"}}));
    EXPECT_EQ(SongCache::readTagFile("Rock", "b.mp3"), (QVariantMap{{"title", "Rock B"}}));
    EXPECT_EQ(s.messages.last(), "1 moved, 1 not moved: a file of that name is already there, or it is gone.");
    EXPECT_FALSE(s.picker()->isOnScreen());
    EXPECT_TRUE(s.files()->selectedPathListArray().isEmpty());
    QStringList left = s.files()->fileNameArray();
    left.sort();
    EXPECT_EQ(left, QStringList({"b.mp3", "c.mp3"}));

    // Onto its own folder: nothing moves and nothing is lost.
    s.pick({"c.mp3"});
    ASSERT_TRUE(Shell::tap(s.picker()->folderTableView(), "Rock"));
    EXPECT_EQ(Shell::contents(s.doc("Rock/c.mp3")), "rock c");
    EXPECT_EQ(s.messages.last(), "0 moved, 1 not moved: a file of that name is already there, or it is gone.");
}

TEST(MovePicker, AFileThatVanishedIsCountedAndTheOthersStillMove)
{
    MoveShell s;
    s.pick({"a.mp3", "c.mp3"});
    ASSERT_TRUE(QFile::remove(s.doc("Rock/a.mp3")));
    ASSERT_TRUE(Shell::tap(s.picker()->folderTableView(), "Documents"));
    EXPECT_EQ(Shell::contents(s.doc("c.mp3")), "rock c");
    EXPECT_FALSE(QFile::exists(s.doc("a.mp3")));
    EXPECT_EQ(s.messages.last(), "1 moved, 1 not moved: a file of that name is already there, or it is gone.");
}

TEST(MovePicker, MovedSongsTakeTheirCacheAndTheirPlaylistEntriesAndThePlayerFollows)
{
    MoveShell s;
    SongCache::ensureFolder();
    SongCache::store("Rock", "a.mp3", {{"title", "A"}});
    ASSERT_TRUE(SongFixtures::writeBytes(SongCache::artworkFilePath("Rock", "a.mp3"), "small art"));
    ASSERT_TRUE(SongFixtures::writeBytes(SongCache::fullArtworkFilePath("Rock", "a.mp3"), "full art"));
    PlaylistStore store = PlaylistStore::load();
    store.addPlaylist("Fav");
    store.appendEntries("Fav", {"Rock/a.mp3", "Rock/c.mp3", "Jazz/b.mp3", "Rock/a.mp3"});
    s.player.current = QUrl::fromLocalFile(s.doc("Rock/a.mp3"));

    s.pick({"a.mp3"});
    ASSERT_TRUE(Shell::tap(s.picker()->folderTableView(), "Jazz"));
    EXPECT_EQ(s.messages.last(), "moved the files.");
    EXPECT_EQ(SongCache::readTagFile("Jazz", "a.mp3"), (QVariantMap{{"title", "A"}}));
    EXPECT_EQ(Shell::contents(SongCache::artworkFilePath("Jazz", "a.mp3")), "small art");
    EXPECT_EQ(Shell::contents(SongCache::fullArtworkFilePath("Jazz", "a.mp3")), "full art");
    EXPECT_FALSE(QFile::exists(SongCache::artworkFilePath("Rock", "a.mp3")));
    EXPECT_EQ(PlaylistStore::load().entries("Fav"),
              QStringList({"Jazz/a.mp3", "Rock/c.mp3", "Jazz/b.mp3", "Jazz/a.mp3"}));
    EXPECT_TRUE(s.player.calls.contains("panel.songFilesChanged"));
    EXPECT_EQ(s.player.movedSongs.value(QUrl::fromLocalFile(s.doc("Rock/a.mp3"))),
              QUrl::fromLocalFile(s.doc("Jazz/a.mp3")));

    // Into the root: the entry becomes a root entry.
    s.pick({"c.mp3"});
    ASSERT_TRUE(Shell::tap(s.picker()->folderTableView(), "Documents"));
    EXPECT_EQ(PlaylistStore::load().entries("Fav").value(1), "/c.mp3");
    EXPECT_TRUE(PlaylistStore::entryFileExists("/c.mp3"));
}

// rename() as it answers between two file systems.
int crossDevice(const char *, const char *)
{
    errno = EXDEV;
    return -1;
}

TEST(MovePicker, AMoveIntoAnotherFileSystemCopiesFlushesAndRemovesTheSource)
{
    MoveShell s;
    const QByteArray song(300 * 1024, 's');
    s.home.writeFile("Rock/big.mp3", song);
    SongCache::ensureFolder();
    SongCache::store("Rock", "big.mp3", {{"title", "Big"}});
    s.files()->reloadList();
    FileManager::setRenameCall(&crossDevice);
    s.pick({"big.mp3", "b.mp3"});
    ASSERT_TRUE(Shell::tap(s.picker()->folderTableView(), "Jazz"));
    FileManager::setRenameCall(nullptr);
    EXPECT_EQ(Shell::contents(s.doc("Jazz/big.mp3")), song) << "byte for byte";
    EXPECT_FALSE(QFile::exists(s.doc("Rock/big.mp3")));
    EXPECT_EQ(Shell::contents(s.doc("Jazz/b.mp3")), "jazz b") << "not replaced across file systems either";
    EXPECT_EQ(Shell::contents(s.doc("Rock/b.mp3")), "rock b");
    EXPECT_EQ(SongCache::readTagFile("Jazz", "big.mp3"), (QVariantMap{{"title", "Big"}}));
    QStringList jazz = FileManager::contentsOfDirectory(s.doc("Jazz"));
    jazz.sort();
    EXPECT_EQ(jazz, QStringList({"b.mp3", "big.mp3"})) << "no scratch copy is left behind";
    EXPECT_EQ(s.messages.last(), "1 moved, 1 not moved: a file of that name is already there, or it is gone.");
}

TEST(MovePicker, WithoutACommanderNothingMoves)
{
    MoveShell s;
    FolderViewController *picker = s.picker();
    picker->setComanderClass(nullptr);
    picker->setSelectedPathListArray({"Rock/a.mp3"});
    picker->reloadFolder();
    s.delegate.addFolderView();
    ASSERT_TRUE(Shell::tap(picker->folderTableView(), "Jazz"));
    EXPECT_FALSE(picker->isOnScreen());
    EXPECT_TRUE(QFile::exists(s.doc("Rock/a.mp3")));
    EXPECT_TRUE(s.messages.isEmpty());
}

} // namespace
