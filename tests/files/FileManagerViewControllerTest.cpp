#include "FilesShell.h"

#include "app/Util.h"
#include "library/FolderSizeQueue.h"
#include "library/SongCache.h"
#include "platform/Button.h"
#include "platform/FileManager.h"
#include "platform/ImageView.h"
#include "platform/NavigationBar.h"
#include "platform/TextField.h"
#include "platform/Toolbar.h"
#include "platform/ViewAnimation.h"
#include "support/ScopedTranslations.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

using Shell = FilesShell;

// Types a name into the new-folder bar and presses its create button.
void create(Shell &s, const QString &name)
{
    s.folders()->addButton()->click();
    s.folders()->folderNameTextField()->setText(name);
    s.folders()->clickFolerNameInputButton();
}

// Every entry of Documents, hidden ones included, sorted.
QStringList everything(const Shell &s)
{
    QStringList names = FileManager::contentsOfDirectory(s.home.documents());
    names.sort();
    return names;
}

TEST(FolderManager, ListsEveryFolderRootFirstWithItsFileCountAndSize)
{
    Shell s;
    s.home.writeFile("root.mp3", QByteArray(1000, 'r'));
    s.home.writeFile("notes.txt", "not a song");
    s.home.writeFile("Rock/a.mp3", QByteArray(2048, 'a'));
    s.home.writeFile("Rock/b.mp3", QByteArray(1024, 'b'));
    s.home.writeFile("Rock/cover.jpg", QByteArray(512, 'c'));
    s.home.makeFolder("empty");
    s.home.makeFolder("___Uploader");
    s.home.makeFolder("CIC");
    s.home.makeFolder("___mine");
    s.openFolders();
    FileManagerViewController *manager = s.folders();
    ASSERT_TRUE(manager->isOnScreen());
    EXPECT_EQ(manager->titleNavigationBar()->title(), "Managing Folders");
    QStringList folders = manager->sectionTitleArray();
    EXPECT_EQ(folders.value(0), "Documents");
    folders.sort();
    EXPECT_EQ(folders, QStringList({"Documents", "Rock", "___mine", "empty"})) << "the hidden two are not listed";
    EXPECT_EQ(manager->allSectionArray().value(0), QStringList({"root.mp3"})) << "the root lists its songs only";
    EXPECT_EQ(manager->moveButton()->text(), "Move Files(0)");
    EXPECT_EQ(manager->delButton()->text(), "Delete Folder(0)");

    TableView *table = manager->listTableView();
    EXPECT_EQ(Shell::titles(table), manager->sectionTitleArray());
    TableViewCell *root = Shell::row(table, "Documents");
    TableViewCell *rock = Shell::row(table, "Rock");
    TableViewCell *empty = Shell::row(table, "empty");
    ASSERT_TRUE(root && rock && empty);
    EXPECT_EQ(root->indentationLevel(), 0);
    EXPECT_EQ(rock->indentationLevel(), 1);
    EXPECT_EQ(rock->height(), 50);
    EXPECT_EQ(rock->imageView()->image().toImage(), ImageView::imageNamed("list_folderSetting.png").toImage());
    EXPECT_EQ(empty->detailTextLabel()->text(), "0Files") << "an empty folder is not summed";

    // The sums arrive from the size queue; every file of the folder counts, whatever it is.
    ASSERT_TRUE(manager->folderSizeQueue().waitForIdle(5000));
    ASSERT_TRUE(waitUntil([&] { return !Shell::row(table, "Rock")->detailTextLabel()->text().startsWith("Loading"); }));
    EXPECT_EQ(Shell::row(table, "Rock")->detailTextLabel()->text(), "3Files " + Util::getByteStr(3584));
    EXPECT_EQ(Shell::row(table, "Documents")->detailTextLabel()->text(), "1Files " + Util::getByteStr(1000));

    // Rows are list items named by the folder and described by the subtitle.
    QAccessibleInterface *item = QAccessible::queryAccessibleInterface(Shell::row(table, "Rock"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->text(QAccessible::Name), "Rock");
    EXPECT_EQ(item->text(QAccessible::Description), "3Files " + Util::getByteStr(3584));
    for (QWidget *control :
         {static_cast<QWidget *>(manager->addButton()), static_cast<QWidget *>(manager->editButton()),
          static_cast<QWidget *>(manager->folderNameTextField())}) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
        ASSERT_TRUE(face);
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty());
    }
}

TEST(FolderManager, FilesThatVanishBeforeTheyAreSummedCountAsNothing)
{
    Shell s;
    s.home.writeFile("Rock/a.mp3", QByteArray(100, 'a'));
    s.home.writeFile("Rock/b.mp3", QByteArray(300, 'b'));
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Rock").size(), 2);
    // b.mp3 goes while the folder keeps its date, so the cached listing still names it.
    struct stat info
    {};
    const QByteArray rock = QFile::encodeName(s.doc("Rock"));
    ASSERT_EQ(::stat(rock.constData(), &info), 0);
    ASSERT_TRUE(QFile::remove(s.doc("Rock/b.mp3")));
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, rock.constData(), times, 0), 0);
    s.openFolders();
    TableView *table = s.folders()->listTableView();
    ASSERT_TRUE(waitUntil([&] { return !Shell::row(table, "Rock")->detailTextLabel()->text().startsWith("Loading"); }));
    EXPECT_EQ(Shell::row(table, "Rock")->detailTextLabel()->text(), "2Files " + Util::getByteStr(100));
}

TEST(FolderManager, NewFolderBarCreatesVisibleFoldersAndRefusesTheRest)
{
    Shell s;
    s.home.makeFolder("Rock");
    s.openFolders();
    FileManagerViewController *manager = s.folders();
    View *bar = manager->folderNameInputView();
    EXPECT_TRUE(View::isHidden(bar));
    EXPECT_EQ(View::frame(bar).top(), Window::height) << "parked below the screen";

    manager->addButton()->click();
    EXPECT_FALSE(View::isHidden(bar));
    EXPECT_TRUE(manager->folderNameTextField()->isFirstResponder());
    manager->folderNameTextField()->setText("Jazz");
    manager->clickFolerNameInputButton();
    EXPECT_TRUE(FileManager::isDirectory(s.doc("Jazz")));
    EXPECT_EQ(s.messages, QStringList({"[Jazz] Folder was created successfully."}));
    EXPECT_TRUE(manager->sectionTitleArray().contains("Jazz"));
    EXPECT_EQ(Shell::row(manager->listTableView(), "Jazz")->detailTextLabel()->text(), "0Files");
    EXPECT_TRUE(View::isHidden(bar));
    EXPECT_TRUE(manager->folderNameTextField()->text().isEmpty());

    // Names that could not be one visible folder of the library: refused, nothing made.
    struct Refused
    {
        QString name;
        const char *message;
    };
    const QList<Refused> refused = {
        {QString(), "Please enter a folder name..."},
        {"Documents", "Invalid character was entered for"},
        {"documents", "Invalid character was entered for"},
        {"___Uploader", "Invalid character was entered for"},
        {"___new", "Invalid character was entered for"},
        {"CIC", "Invalid character was entered for"},
        {"a/b", "Invalid character was entered for"},
        {"/", "Invalid character was entered for"},
        {"../Preferences", "Invalid character was entered for"},
        {".", "Invalid character was entered for"},
        {"..", "Invalid character was entered for"},
        {".hidden", "Invalid character was entered for"},
        {"two\nlines", "Invalid character was entered for"},
        {"tab\there", "Invalid character was entered for"},
        {QStringLiteral("nul") + QChar(0) + "x", "Invalid character was entered for"},
        {QStringLiteral("del") + QChar(0x7f), "Invalid character was entered for"},
        {QStringLiteral("next") + QChar(0x85) + "line", "Invalid character was entered for"},
        {QStringLiteral("para") + QChar(0x2029), "Invalid character was entered for"},
    };
    const QStringList before = everything(s);
    for (const Refused &r : refused) {
        s.messages.clear();
        create(s, r.name);
        AlertView *alert = Shell::onlyAlert();
        ASSERT_TRUE(alert) << r.name.toStdString();
        EXPECT_EQ(alert->title(), "New Folder Error");
        EXPECT_EQ(alert->message(), r.message) << r.name.toStdString();
        EXPECT_EQ(alert->buttonTitleAtIndex(0), "OK");
        alert->dismissWithClickedButtonIndex(0);
        EXPECT_TRUE(s.messages.isEmpty()) << "no success for " << r.name.toStdString();
        EXPECT_EQ(manager->folderNameTextField()->text(), r.name) << "the name stays for mending";
    }
    EXPECT_EQ(everything(s), before);
    manager->cancelFolerNameInput();

    // Other spellings are ordinary names.
    for (const QString &name : {QStringLiteral("DOCUMENTS"), QStringLiteral("My Songs"), QStringLiteral("__two"),
                                QStringLiteral("가요"), QStringLiteral("a.b.")}) {
        s.messages.clear();
        create(s, name);
        EXPECT_FALSE(Shell::onlyAlert()) << name.toStdString();
        EXPECT_TRUE(FileManager::isDirectory(s.doc(name))) << name.toStdString();
        EXPECT_EQ(s.messages, QStringList({"[" + name + "] Folder was created successfully."}));
        EXPECT_TRUE(manager->sectionTitleArray().contains(name)) << name.toStdString();
    }

    // A name that is taken: nothing new was made, so no success is announced.
    s.home.writeFile("Rock/keep.mp3", "keep");
    s.home.writeFile("taken.mp3", "a song, not a folder");
    for (const QString &name : {QStringLiteral("Rock"), QStringLiteral("taken.mp3")}) {
        s.messages.clear();
        create(s, name);
        AlertView *alert = Shell::onlyAlert();
        ASSERT_TRUE(alert) << name.toStdString();
        EXPECT_EQ(alert->message(), "A folder of that name already exists.");
        alert->dismissWithClickedButtonIndex(0);
        EXPECT_TRUE(s.messages.isEmpty());
    }
    EXPECT_EQ(Shell::contents(s.doc("Rock/keep.mp3")), "keep");
    EXPECT_EQ(Shell::contents(s.doc("taken.mp3")), "a song, not a folder");

    // The file system refuses: its reason is shown and no success is announced.
    s.messages.clear();
    create(s, QString(300, QLatin1Char('x')));
    AlertView *alert = Shell::onlyAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Error");
    EXPECT_FALSE(alert->message().isEmpty());
    alert->dismissWithClickedButtonIndex(0);
    EXPECT_TRUE(s.messages.isEmpty());
    EXPECT_FALSE(View::isHidden(bar)) << "the bar stays up for another try";
}

TEST(FolderManager, EditModeCountsTheFilesOfTickedFoldersAndStartsEmptyEachTime)
{
    Shell s;
    for (int i = 0; i < 3; ++i)
        s.home.writeFile(QStringLiteral("A/%1.mp3").arg(i));
    for (int i = 0; i < 5; ++i)
        s.home.writeFile(QStringLiteral("B/%1.mp3").arg(i));
    s.home.makeFolder("C");
    s.openFolders();
    FileManagerViewController *manager = s.folders();
    TableView *table = manager->listTableView();
    EXPECT_TRUE(View::isHidden(manager->folderMenuToobar()));

    manager->editButton()->click();
    EXPECT_EQ(manager->listMode(), 1);
    EXPECT_EQ(manager->titleNavigationBar()->title(), "Edit Folders");
    EXPECT_FALSE(View::isHidden(manager->folderMenuToobar()));
    EXPECT_EQ(Shell::row(table, "A")->editCheck(), TableViewCell::EditCheck::Unchecked);
    EXPECT_FALSE(manager->moveButton()->isEnabled());
    EXPECT_FALSE(manager->delButton()->isEnabled());

    ASSERT_TRUE(Shell::tap(table, "A"));
    ASSERT_TRUE(Shell::tap(table, "B"));
    EXPECT_EQ(manager->moveButton()->text(), "Move Files(8)");
    EXPECT_EQ(manager->delButton()->text(), "Delete Folder(2)");
    EXPECT_TRUE(manager->moveButton()->isEnabled());
    EXPECT_TRUE(manager->delButton()->isEnabled());
    EXPECT_EQ(Shell::row(table, "A")->editCheck(), TableViewCell::EditCheck::Checked);
    EXPECT_FALSE(s.files()->isOnScreen()) << "a tap in edit mode ticks, it opens nothing";

    ASSERT_TRUE(Shell::tap(table, "A"));
    ASSERT_TRUE(Shell::tap(table, "B"));
    EXPECT_EQ(manager->moveButton()->text(), "Move Files(0)");
    EXPECT_EQ(manager->delButton()->text(), "Delete Folder(0)");
    EXPECT_FALSE(manager->moveButton()->isEnabled());
    EXPECT_FALSE(manager->delButton()->isEnabled());

    // An empty folder ticked alone: both buttons work (moving it moves nothing).
    ASSERT_TRUE(Shell::tap(table, "C"));
    EXPECT_EQ(manager->moveButton()->text(), "Move Files(0)");
    EXPECT_TRUE(manager->moveButton()->isEnabled());
    EXPECT_TRUE(manager->delButton()->isEnabled());

    // Done, and edit mode again: the selection starts empty.
    manager->doneButton()->click();
    EXPECT_EQ(manager->titleNavigationBar()->title(), "Managing Folders");
    EXPECT_EQ(manager->listMode(), 0);
    EXPECT_EQ(Shell::row(table, "C")->editCheck(), TableViewCell::EditCheck::None);
    manager->editButton()->click();
    EXPECT_TRUE(manager->selectedPathListArray().isEmpty());
    ASSERT_TRUE(Shell::tap(table, "B"));
    manager->viewFolderMenuView();
    EXPECT_TRUE(manager->selectedPathListArray().isEmpty()) << "entering edit mode twice starts empty twice";

    // Escape leaves edit mode first, then the screen.
    EXPECT_TRUE(manager->escapePressed());
    EXPECT_EQ(manager->listMode(), 0);
    EXPECT_TRUE(manager->isOnScreen());
    EXPECT_TRUE(manager->escapePressed());
    EXPECT_FALSE(manager->isOnScreen());
}

TEST(FolderManager, DeletingFoldersAsksFirstAndKeepsTheRootAndWhatLiesOutside)
{
    Shell s;
    s.home.writeFile("Pop/a.mp3");
    s.home.writeFile("Rock/b.mp3");
    s.home.writeFile("root.mp3");
    s.home.writeFile("readme.txt", "stays");
    s.home.writeFile("Inner/Deep/c.mp3");
    // A folder of the library that is a link to a folder outside it.
    QTemporaryDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), s.doc("Outside")));
    QFile precious(outside.path() + "/precious.mp3");
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.write("mine");
    precious.close();
    s.openFolders();
    FileManagerViewController *manager = s.folders();
    TableView *table = manager->listTableView();
    manager->editButton()->click();

    ASSERT_TRUE(Shell::tap(table, "Pop"));
    manager->delButton()->click();
    ActionSheet *sheet = Shell::onlySheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->title(), "1Delete the realfolder N");
    EXPECT_EQ(sheet->tag(), 1111);
    EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->destructiveButtonIndex()), "Delete");
    EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), "Cancel");
    ASSERT_TRUE(Shell::answerSheet(false));
    EXPECT_TRUE(FileManager::isDirectory(s.doc("Pop"))) << "cancel keeps the folder";
    EXPECT_EQ(manager->selectedPathListArray(), QStringList({"Pop"})) << "and the selection";

    ASSERT_TRUE(Shell::tap(table, "Documents"));
    ASSERT_TRUE(Shell::tap(table, "Inner"));
    ASSERT_TRUE(Shell::tap(table, "Outside"));
    manager->delButton()->click();
    EXPECT_EQ(Shell::onlySheet()->title(), "4Delete the realfolder N");
    ASSERT_TRUE(Shell::answerSheet(true));
    EXPECT_FALSE(QFileInfo::exists(s.doc("Pop")));
    EXPECT_FALSE(QFileInfo::exists(s.doc("Inner"))) << "a folder goes with everything in it";
    EXPECT_FALSE(QFileInfo::exists(s.doc("root.mp3"))) << "the root loses its songs";
    EXPECT_TRUE(FileManager::isDirectory(s.doc("Rock"))) << "and keeps its folders";
    EXPECT_EQ(Shell::contents(s.doc("readme.txt")), "stays") << "and its other files";
    EXPECT_FALSE(QFileInfo(s.doc("Outside")).isSymLink()) << "the link went";
    EXPECT_EQ(Shell::contents(outside.path() + "/precious.mp3"), "mine") << "what it pointed at stays";
    EXPECT_EQ(s.messages.last(), "Deleted folder.");
    EXPECT_EQ(manager->listMode(), 1);
    EXPECT_TRUE(manager->selectedPathListArray().isEmpty());
    EXPECT_EQ(manager->sectionTitleArray(), QStringList({"Documents", "Rock"}));
    EXPECT_TRUE(s.player.calls.contains("panel.songFilesChanged")) << "the player hears of it";
}

TEST(FolderManager, MovingTheFilesOfTickedFoldersEmptiesThemIntoTheChosenOne)
{
    Shell s;
    for (int i = 0; i < 3; ++i)
        s.home.writeFile(QStringLiteral("A/a%1.mp3").arg(i), QByteArray("a") + QByteArray::number(i));
    for (int i = 0; i < 5; ++i)
        s.home.writeFile(QStringLiteral("B/b%1.mp3").arg(i), QByteArray("b") + QByteArray::number(i));
    s.home.makeFolder("Jazz");
    SongCache::ensureFolder();
    SongCache::store("A", "a1.mp3", {{"title", "One"}});
    s.openFolders();
    FileManagerViewController *manager = s.folders();
    manager->editButton()->click();
    ASSERT_TRUE(Shell::tap(manager->listTableView(), "A"));
    ASSERT_TRUE(Shell::tap(manager->listTableView(), "B"));

    manager->moveButton()->click();
    FolderViewController *picker = s.picker();
    ASSERT_TRUE(picker->isOnScreen());
    EXPECT_TRUE(manager->isOnScreen()) << "the picker lies over the manager";
    EXPECT_EQ(picker->folderMessageLabel()->text(), "2folder(s) 8file(s) selected");
    EXPECT_EQ(picker->selectedPathListArray(), QStringList({"A", "B"}));
    EXPECT_EQ(Shell::titles(picker->folderTableView()), QStringList({"Documents", "A", "B", "Jazz"}));

    ASSERT_TRUE(Shell::tap(picker->folderTableView(), "Jazz"));
    EXPECT_FALSE(picker->isOnScreen());
    QStringList jazz = FileManager::contentsOfDirectory(s.doc("Jazz"));
    jazz.sort();
    EXPECT_EQ(jazz, QStringList({"a0.mp3", "a1.mp3", "a2.mp3", "b0.mp3", "b1.mp3", "b2.mp3", "b3.mp3", "b4.mp3"}));
    EXPECT_EQ(Shell::contents(s.doc("Jazz/b3.mp3")), "b3");
    EXPECT_TRUE(FileManager::contentsOfDirectory(s.doc("A")).isEmpty()) << "the folders stay, empty";
    EXPECT_TRUE(FileManager::isDirectory(s.doc("B")));
    EXPECT_EQ(SongCache::readTagFile("Jazz", "a1.mp3"), (QVariantMap{{"title", "One"}}));
    EXPECT_EQ(s.messages.last(), "moved the files.");
    EXPECT_TRUE(manager->selectedPathListArray().isEmpty());
    EXPECT_EQ(manager->moveButton()->text(), "Move Files(0)");
    EXPECT_EQ(manager->delButton()->text(), "Delete Folder(0)");
    EXPECT_EQ(manager->allSectionArray().value(int(manager->sectionTitleArray().indexOf("Jazz"))).size(), 8)
        << "the manager read the disk again";
}

TEST(FolderManager, ATapOutsideEditModeOpensTheFolderAndBackComesHere)
{
    Shell s;
    s.home.writeFile("Rock/a.mp3");
    s.home.writeFile("Rock/b.mp3");
    s.openFolders();
    s.openFolder("Rock");
    EXPECT_FALSE(s.folders()->isOnScreen()) << "the manager made way";
    EXPECT_EQ(s.files()->folderName(), "Rock");
    EXPECT_EQ(s.files()->navigationBar()->title(), "Rock");
    QStringList names = s.files()->fileNameArray();
    names.sort();
    EXPECT_EQ(names, QStringList({"a.mp3", "b.mp3"}));
    EXPECT_TRUE(s.files()->escapePressed());
    EXPECT_TRUE(s.folders()->isOnScreen());
    EXPECT_FALSE(s.files()->isOnScreen());
    EXPECT_TRUE(s.files()->folderName().isEmpty()) << "it forgets the folder when it goes";
}

// Pictures of the three screens into the test's own home; the docs' copies are refreshed
// only on request (ORBO_UPDATE_DOCS set).
TEST(FolderManager, TakesPicturesOfTheThreeScreens)
{
    Shell s;
    const ScopedTranslations english(QLocale(QLocale::English, QLocale::UnitedStates));
    s.home.writeFile("Intro.mp3", QByteArray(3 * 1024 * 1024, 'i'));
    for (const char *name : {"Asphalt.mp3", "Bridge.mp3", "Coda.m4a", "Drift.mp3"})
        s.home.writeFile(QStringLiteral("Rock/") + name, QByteArray(4 * 1024 * 1024, 'r'));
    s.home.writeFile("Jazz/Late Train.mp3", QByteArray(5 * 1024 * 1024, 'j'));
    s.home.makeFolder("Live");
    s.openFolders();
    ASSERT_TRUE(s.folders()->folderSizeQueue().waitForIdle(5000));
    ASSERT_TRUE(waitUntil([&] {
        return !Shell::row(s.folders()->listTableView(), "Rock")->detailTextLabel()->text().startsWith("Loading")
            && !Shell::row(s.folders()->listTableView(), "Jazz")->detailTextLabel()->text().startsWith("Loading");
    }));
    const QString pictures = s.home.path() + "/pictures/";
    ASSERT_TRUE(QDir().mkpath(pictures));
    const auto picture = [&](const QString &name) {
        ViewAnimation::finishAll();
        const QImage shot = View::snapshot(s.delegate.window());
        EXPECT_EQ(shot.size(), QSize(320, 480));
        EXPECT_TRUE(shot.save(pictures + name));
        if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
            EXPECT_TRUE(shot.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/") + name));
        }
    };
    picture("folders-manage.png");
    s.folders()->addButton()->click();
    s.folders()->folderNameTextField()->setText("Jazz Live");
    picture("folders-new.png");
    s.folders()->cancelFolerNameInput();
    s.openFolder("Rock");
    s.files()->editButton()->click();
    ASSERT_TRUE(Shell::tap(s.files()->listTableView(), "Bridge.mp3"));
    ASSERT_TRUE(Shell::tap(s.files()->listTableView(), "Drift.mp3"));
    picture("folder-files.png");
    s.files()->moveButton()->click();
    picture("folder-move.png");
}

} // namespace
