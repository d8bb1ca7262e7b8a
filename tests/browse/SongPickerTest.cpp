#include "PlaylistShell.h"

#include "library/FolderSizeQueue.h"
#include "platform/BarButtonItem.h"
#include "platform/ImageView.h"
#include "platform/NavigationBar.h"

#include <QFile>
#include <QSemaphore>

#include <gtest/gtest.h>

namespace {

using Shell = PlaylistShell;

// The shell on the playlist "Road"'s song screen.
struct Picking : Shell
{
    Picking() { storePlaylist("Road", {"Rock/old.mp3"}); }
    void openSongs()
    {
        launch();
        songs()->setFolderName("Road");
        delegate.addPlayListFileListView();
    }
};

TEST(SongPicker, FoldersShowTheirSongsAndSizeSummedInTheBackground)
{
    Picking p;
    p.home.writeFile("Rock/a.mp3", QByteArray(1023, 'a'));
    p.home.writeFile("Rock/b.mp3", QByteArray(1536, 'b'));
    p.home.writeFile("root.mp3", QByteArray(3 * 1048576 / 2, 'r'));
    p.home.makeFolder("Empty");
    p.openSongs();
    p.songs()->addButton()->click();
    FileSelectorViewController *folders = p.picker();
    ASSERT_TRUE(folders->isOnScreen());
    EXPECT_TRUE(p.songs()->isOnScreen()) << "laid over the song screen";
    EXPECT_EQ(p.delegate.currentViewController(), p.songs()) << "the picker does not become current";
    EXPECT_EQ(folders->comanderClass(), static_cast<PlayListFilesReceiver *>(p.songs()));
    EXPECT_EQ(folders->titleNavigationBar()->title(), "Select Folder");
    EXPECT_EQ(folders->closeButton()->text(), "close");

    TableView *table = folders->listTableView();
    EXPECT_EQ(Shell::titles(table), QStringList({"Documents", "Empty", "Rock"}));
    TableViewCell *documents = Shell::row(table, "Documents");
    TableViewCell *rock = Shell::row(table, "Rock");
    EXPECT_EQ(Shell::details(Shell::row(table, "Empty")), "0Files") << "an empty folder says so at once";
    EXPECT_EQ(Shell::details(rock), "Loading information ...");
    EXPECT_EQ(rock->height(), 50);
    EXPECT_EQ(rock->imageView()->image().toImage(), ImageView::imageNamed("folder_orange_open").toImage());
    EXPECT_LT(documents->textLabel()->x(), rock->textLabel()->x()) << "folders are indented below the root";

    ASSERT_TRUE(waitUntil([&] { return Shell::details(rock) != "Loading information ..."; }));
    EXPECT_EQ(Shell::details(rock), "2Files 2KB") << "1023 + 1536 bytes";
    ASSERT_TRUE(waitUntil([&] { return Shell::details(documents) != "Loading information ..."; }));
    EXPECT_EQ(Shell::details(documents), "1Files 1.5MB");

    // close: the song screen is on top again, untouched.
    folders->closeButton()->click();
    EXPECT_FALSE(folders->isOnScreen());
    EXPECT_EQ(p.top(), p.songs());
    EXPECT_EQ(p.songs()->fileListArray(), QStringList({"Rock/old.mp3"}));
}

// The mend: a folder's size comes back after its row was reused for another folder; the
// reused row keeps its own folder's text.
TEST(SongPicker, ASizeNeverLandsInARowReusedForAnotherFolder)
{
    Picking p;
    for (int i = 0; i < 24; ++i)
        p.home.writeFile(QStringLiteral("F%1/song.mp3").arg(i, 2, 10, QLatin1Char('0')),
                         QByteArray((i + 1) * 2048, 's'));
    FileSelectorViewController *folders = p.picker();
    QSemaphore release;
    folders->folderSizeQueue().setSummer([&release](const QString &path, const QStringList &names) {
        release.tryAcquire(1, 5000); // bounded, so a broken queue fails instead of hanging
        return FolderSizeQueue::sumOfSizes(path, names);
    });
    p.openSongs();
    p.songs()->goFileSelectorView();
    TableView *table = folders->listTableView();
    const QStringList firstRows = Shell::titles(table);
    ASSERT_GT(firstRows.size(), 3);
    QList<TableViewCell *> firstCells = Shell::rows(table);

    // The rows of the top scroll away before any sum is done; their cells show the bottom.
    int asked = 0;
    for (TableViewCell *cell : firstCells)
        asked += Shell::details(cell) == "Loading information ..." ? 1 : 0;
    table->scrollToRowAtIndexPath({0, 24}, TableView::Bottom);
    int reused = 0;
    for (TableViewCell *cell : Shell::rows(table))
        reused += firstCells.contains(cell) ? 1 : 0;
    ASSERT_GT(reused, 0) << "cells were reused for other folders";
    int summed = 0;
    QObject::connect(&folders->folderSizeQueue(), &FolderSizeQueue::summed, table, [&summed] { ++summed; });
    const auto ownTextOrLoading = [&] {
        for (TableViewCell *cell : Shell::rows(table)) {
            const QString folder = cell->textLabel()->text();
            if (folder == "Documents")
                continue;
            const QString own = QStringLiteral("1Files %1KB").arg((folder.mid(1).toInt() + 1) * 2);
            EXPECT_TRUE(Shell::details(cell) == own || Shell::details(cell) == "Loading information ...")
                << folder.toStdString() << " shows " << Shell::details(cell).toStdString();
        }
    };
    // First the sums the top rows asked for: they arrive while other folders use the cells.
    release.release(asked);
    ASSERT_TRUE(waitUntil([&] { return summed == asked; }));
    ownTextOrLoading();
    release.release(100);
    ASSERT_TRUE(folders->folderSizeQueue().waitForIdle(5000));
    ASSERT_TRUE(waitUntil([&] {
        for (TableViewCell *cell : Shell::rows(table))
            if (Shell::details(cell) == "Loading information ...")
                return false;
        return true;
    }));
    ownTextOrLoading();
    // Scrolled back, the first folders show their own sums.
    table->scrollToRowAtIndexPath({0, 0});
    ASSERT_TRUE(waitUntil([&] { return Shell::details(Shell::row(table, "F00")) == "1Files 2KB"; }));
    EXPECT_EQ(Shell::details(Shell::row(table, "F02")), "1Files 6KB");
}

TEST(SongPicker, TickedSongsGoToThePlaylistInTheOrderTicked)
{
    Picking p;
    p.home.writeFile("Rock/a.mp3", QByteArray(1023, 'a'));
    p.home.writeFile("Rock/b.mp3", QByteArray(1536, 'b'));
    p.home.writeFile("Rock/c.mp3", QByteArray(3 * 1048576 / 2, 'c'));
    p.home.writeFile("top.mp3");
    p.openSongs();
    p.songs()->goFileSelectorView();
    TableView *folderTable = p.picker()->listTableView();
    folderTable->activateCell(Shell::row(folderTable, "Rock"));
    FileSelectorSubViewController *step = p.pickerSongs();
    ASSERT_TRUE(step->isOnScreen());
    EXPECT_TRUE(p.picker()->isOnScreen()) << "laid over the folder step";
    EXPECT_EQ(step->navigationBar()->title(), "Rock");
    EXPECT_EQ(step->addButton()->text(), "AddMusic(0)");
    EXPECT_FALSE(step->addButton()->isEnabled());

    TableView *table = step->listTableView();
    const QStringList names = step->fileNameArray();
    EXPECT_EQ(Shell::titles(table), names);
    TableViewCell *a = Shell::row(table, "a.mp3");
    EXPECT_TRUE(Shell::details(a).endsWith(" 1KB")) << Shell::details(a).toStdString();
    EXPECT_TRUE(Shell::details(Shell::row(table, "b.mp3")).endsWith(" 2KB"));
    EXPECT_TRUE(Shell::details(Shell::row(table, "c.mp3")).endsWith(" 1.5MB"));
    EXPECT_EQ(a->editCheck(), TableViewCell::EditCheck::Unchecked);

    // Ticked c, then a: that order. A second tap unticks.
    table->activateCell(Shell::row(table, "c.mp3"));
    table->activateCell(Shell::row(table, "b.mp3"));
    table->activateCell(Shell::row(table, "a.mp3"));
    table->activateCell(Shell::row(table, "b.mp3"));
    EXPECT_EQ(step->selectedFolderRFileNameArray(), QStringList({"Rock/c.mp3", "Rock/a.mp3"}));
    EXPECT_EQ(step->addButton()->text(), "AddMusic(2)");
    EXPECT_TRUE(step->addButton()->isEnabled());
    EXPECT_TRUE(Shell::state(Shell::row(table, "a.mp3")).checked);
    EXPECT_FALSE(Shell::state(Shell::row(table, "b.mp3")).checked);
    EXPECT_EQ(Shell::row(table, "a.mp3")->imageView()->image().toImage(),
              ImageView::imageNamed("listCheckOn").toImage());

    step->addButton()->click();
    EXPECT_FALSE(step->isOnScreen());
    EXPECT_FALSE(p.picker()->isOnScreen());
    EXPECT_EQ(p.top(), p.songs());
    EXPECT_EQ(PlaylistStore::load().entries("Road"), QStringList({"Rock/old.mp3", "Rock/c.mp3", "Rock/a.mp3"}));
    EXPECT_EQ(p.songs()->fileListArray(), PlaylistStore::load().entries("Road"));
    EXPECT_EQ(p.messages.last(), "Added music");

    // Select all follows the folder's order; the root's songs are "/name"; a song already
    // in the playlist goes in again.
    p.songs()->goFileSelectorView();
    folderTable->activateCell(Shell::row(folderTable, "Rock"));
    EXPECT_EQ(step->addButton()->text(), "AddMusic(0)") << "the ticks start afresh";
    step->checkAllFile();
    QStringList all;
    for (const QString &name : names)
        all << "Rock/" + name;
    EXPECT_EQ(step->selectedFolderRFileNameArray(), all);
    EXPECT_EQ(step->addButton()->text(), "AddMusic(3)");
    step->checkAllFile();
    EXPECT_TRUE(step->selectedFolderRFileNameArray().isEmpty());
    step->goBack();
    EXPECT_TRUE(p.picker()->isOnScreen());
    folderTable->activateCell(Shell::row(folderTable, "Documents"));
    table->activateCell(Shell::row(table, "top.mp3"));
    EXPECT_EQ(step->selectedFolderRFileNameArray(), QStringList({"/top.mp3"}));
    step->sendSelectedFiles();
    EXPECT_EQ(PlaylistStore::load().entries("Road").last(), "/top.mp3");
}

TEST(SongPicker, AnEmptyFolderOpensAnEmptyStepThatAddsNothing)
{
    Picking p;
    p.home.makeFolder("Empty");
    p.openSongs();
    p.songs()->goFileSelectorView();
    TableView *folderTable = p.picker()->listTableView();
    folderTable->activateCell(Shell::row(folderTable, "Empty"));
    FileSelectorSubViewController *step = p.pickerSongs();
    EXPECT_EQ(step->listTableView()->numberOfRowsInSection(0), 0);
    EXPECT_FALSE(step->addButton()->isEnabled());
    step->checkAllFile();
    EXPECT_EQ(step->addButton()->text(), "AddMusic(0)");
    EXPECT_TRUE(step->escapePressed());
    EXPECT_FALSE(step->isOnScreen());
    EXPECT_TRUE(p.picker()->escapePressed());
    EXPECT_EQ(p.top(), p.songs());
}

TEST(SongPicker, TheDateReadsAsTheLocaleWritesItWithoutTheWeekday)
{
    const QDateTime when(QDate(2026, 12, 7), QTime(16, 40));
    const QString english =
        FileSelectorSubViewController::detailText(when, 1023, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(english.startsWith("December 7, 2026 ")) << english.toStdString();
    EXPECT_TRUE(english.contains("4:40")) << english.toStdString();
    EXPECT_TRUE(english.endsWith(" 1KB"));
    EXPECT_FALSE(english.contains("Monday"));
    const QString korean =
        FileSelectorSubViewController::detailText(when, 1536, QLocale(QLocale::Korean, QLocale::SouthKorea));
    EXPECT_TRUE(korean.startsWith(QStringLiteral("2026년 12월 7일 "))) << korean.toStdString();
    EXPECT_FALSE(korean.contains(QStringLiteral("월요일")));
    EXPECT_TRUE(korean.endsWith(" 2KB"));
}

} // namespace
