#include "FilesShell.h"

#include "app/Util.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/NavigationBar.h"
#include "platform/Toolbar.h"
#include "platform/ViewAnimation.h"

#include <QAccessible>
#include <QAccessibleInterface>

#include <gtest/gtest.h>

namespace {

using Shell = FilesShell;

struct Rock : Shell
{
    Rock()
    {
        for (const char *name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"})
            home.writeFile(QStringLiteral("Rock/") + name, QByteArray(1500, name[0]));
        openFolders();
        openFolder("Rock");
    }
    FileManagerSubViewController *screen() const { return files(); }
    TableView *table() const { return files()->listTableView(); }
};

TEST(FileManager, RowsShowNameDateAndSizeAndATapOutsideEditModeDoesNothing)
{
    Rock s;
    FileManagerSubViewController *files = s.screen();
    EXPECT_EQ(files->navigationBar()->title(), "Rock");
    EXPECT_EQ(files->listMode(), 0);
    EXPECT_FALSE(View::isHidden(files->viewToobar()));
    EXPECT_TRUE(View::isHidden(files->fileMenuToobar()));
    EXPECT_EQ(files->editButton()->text(), "Edit List");
    TableViewCell *a = Shell::row(s.table(), "a.mp3");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->height(), 35);
    EXPECT_TRUE(a->detailTextLabel()->text().endsWith(" " + Util::getByteStr(1500)))
        << a->detailTextLabel()->text().toStdString();
    EXPECT_GT(a->detailTextLabel()->text().size(), Util::getByteStr(1500).size() + 4) << "a date comes first";
    EXPECT_EQ(a->imageView()->image().toImage(), ImageView::imageNamed("MP3IconSmall.png").toImage());
    EXPECT_EQ(a->editCheck(), TableViewCell::EditCheck::None);
    QAccessibleInterface *item = QAccessible::queryAccessibleInterface(a);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->text(QAccessible::Name), "a.mp3");

    s.player.calls.clear();
    ASSERT_TRUE(Shell::tap(s.table(), "a.mp3"));
    EXPECT_TRUE(files->isOnScreen());
    EXPECT_TRUE(files->selectedPathListArray().isEmpty());
    EXPECT_TRUE(s.player.calls.isEmpty()) << "nothing plays";
    EXPECT_FALSE(s.picker()->isOnScreen());
}

TEST(FileManager, SelectAllAndTheCountersFollowTheSelection)
{
    Rock s;
    FileManagerSubViewController *files = s.screen();
    files->editButton()->click();
    EXPECT_EQ(files->listMode(), 1);
    EXPECT_FALSE(View::isHidden(files->fileMenuToobar()));
    EXPECT_EQ(files->delButton()->text(), "Del(0)") << "as at load until the first selection change";
    EXPECT_EQ(files->moveButton()->text(), "Move Files(0)");
    EXPECT_FALSE(files->delButton()->isEnabled());
    EXPECT_FALSE(files->moveButton()->isEnabled());
    EXPECT_EQ(Shell::row(s.table(), "a.mp3")->editCheck(), TableViewCell::EditCheck::Unchecked);

    ASSERT_TRUE(Shell::tap(s.table(), "b.mp3"));
    EXPECT_EQ(files->delButton()->text(), "Delete(1)");
    EXPECT_EQ(files->moveButton()->text(), "Move Files(1)");
    EXPECT_TRUE(files->delButton()->isEnabled());
    EXPECT_EQ(Shell::row(s.table(), "b.mp3")->editCheck(), TableViewCell::EditCheck::Checked);
    ASSERT_TRUE(Shell::tap(s.table(), "b.mp3"));
    EXPECT_EQ(files->delButton()->text(), "Delete(0)");
    EXPECT_FALSE(files->delButton()->isEnabled());

    files->selectAllButton()->click();
    EXPECT_EQ(files->selectedPathListArray().size(), 4);
    EXPECT_EQ(files->delButton()->text(), "Delete(4)");
    EXPECT_EQ(files->moveButton()->text(), "Move Files(4)");
    files->selectAllButton()->click();
    EXPECT_TRUE(files->selectedPathListArray().isEmpty());
    EXPECT_FALSE(files->delButton()->isEnabled());
    EXPECT_FALSE(files->moveButton()->isEnabled());

    // One ticked, then select-all: everything (not a toggle of each).
    ASSERT_TRUE(Shell::tap(s.table(), "c.mp3"));
    files->selectAllButton()->click();
    EXPECT_EQ(files->selectedPathListArray().size(), 4);

    files->doneButton()->click();
    ViewAnimation::finishAll();
    EXPECT_EQ(files->listMode(), 0);
    EXPECT_TRUE(files->selectedPathListArray().isEmpty());
    EXPECT_TRUE(View::isHidden(files->fileMenuToobar()));
    EXPECT_EQ(Shell::row(s.table(), "c.mp3")->editCheck(), TableViewCell::EditCheck::None);
}

TEST(FileManager, DeletingAsksFirstAndKeepsEditMode)
{
    Rock s;
    FileManagerSubViewController *files = s.screen();
    s.player.current = QUrl::fromLocalFile(s.doc("Rock/a.mp3"));
    files->editButton()->click();
    ASSERT_TRUE(Shell::tap(s.table(), "a.mp3"));
    ASSERT_TRUE(Shell::tap(s.table(), "c.mp3"));
    files->delButton()->click();
    ActionSheet *sheet = Shell::onlySheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->title(), "2Delete the file N");
    EXPECT_EQ(sheet->tag(), 1111);
    ASSERT_TRUE(Shell::answerSheet(false));
    EXPECT_TRUE(QFile::exists(s.doc("Rock/a.mp3")));
    EXPECT_EQ(files->selectedPathListArray(), QStringList({"a.mp3", "c.mp3"}));

    files->delButton()->click();
    ASSERT_TRUE(Shell::answerSheet(true));
    EXPECT_FALSE(QFile::exists(s.doc("Rock/a.mp3")));
    EXPECT_FALSE(QFile::exists(s.doc("Rock/c.mp3")));
    EXPECT_TRUE(QFile::exists(s.doc("Rock/b.mp3")));
    QStringList left = files->fileNameArray();
    left.sort();
    EXPECT_EQ(left, QStringList({"b.mp3", "d.mp3"}));
    EXPECT_EQ(Shell::titles(s.table()).size(), 2);
    EXPECT_EQ(s.messages.last(), "Deleted");
    EXPECT_EQ(files->listMode(), 1) << "edit mode stays for the next batch";
    EXPECT_TRUE(files->selectedPathListArray().isEmpty());
    EXPECT_EQ(files->delButton()->text(), "Delete(0)");
    EXPECT_TRUE(s.player.calls.contains("panel.songFilesChanged")) << "the player hears its song went";
    ASSERT_TRUE(Shell::tap(s.table(), "d.mp3"));
    EXPECT_EQ(files->delButton()->text(), "Delete(1)");
}

TEST(FileManager, TheRootsFilesAreHandedOnAsDocumentsPaths)
{
    Shell s;
    s.home.writeFile("one.mp3", "1");
    s.home.writeFile("two.m4a", "2");
    s.home.makeFolder("Jazz");
    s.openFolders();
    s.openFolder("Documents");
    FileManagerSubViewController *files = s.files();
    files->editButton()->click();
    ASSERT_TRUE(Shell::tap(files->listTableView(), "two.m4a"));
    ASSERT_TRUE(Shell::tap(files->listTableView(), "one.mp3"));
    files->moveButton()->click();
    FolderViewController *picker = s.picker();
    ASSERT_TRUE(picker->isOnScreen());
    EXPECT_EQ(picker->selectedPathListArray(), QStringList({"Documents/two.m4a", "Documents/one.mp3"}))
        << "in selection order";
    EXPECT_EQ(picker->folderMessageLabel()->text(), "2N files selected");
    ASSERT_TRUE(Shell::tap(picker->folderTableView(), "Jazz"));
    EXPECT_EQ(Shell::contents(s.doc("Jazz/one.mp3")), "1");
    EXPECT_EQ(Shell::contents(s.doc("Jazz/two.m4a")), "2");
    EXPECT_FALSE(QFile::exists(s.doc("one.mp3")));
    EXPECT_TRUE(files->fileNameArray().isEmpty()) << "the list was read again";
    EXPECT_EQ(files->listMode(), 1);
}

} // namespace
