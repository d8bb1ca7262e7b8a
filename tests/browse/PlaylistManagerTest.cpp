#include "PlaylistShell.h"

#include "app/Util.h"
#include "library/FolderSizeQueue.h"
#include "library/SettingsKeys.h"
#include "platform/BarButtonItem.h"
#include "platform/ImageView.h"
#include "platform/NavigationBar.h"
#include "platform/PropertyList.h"
#include "platform/Sandbox.h"
#include "platform/TextField.h"
#include "platform/Toolbar.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using Shell = PlaylistShell;

// The playlists as the settings file on disk has them.
QVariantMap onDisk()
{
    QFile file(Sandbox::settingsFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return PropertyList::fromXml(file.readAll())->toMap().value(SettingsKeys::playlistfolderkey).toMap();
}

AlertView *onlyAlert()
{
    const QList<AlertView *> alerts = AlertView::visibleAlerts();
    return alerts.size() == 1 ? alerts.first() : nullptr;
}

ActionSheet *onlySheet()
{
    const QList<ActionSheet *> sheets = ActionSheet::visibleSheets();
    return sheets.size() == 1 ? sheets.first() : nullptr;
}

void dismissAlert()
{
    if (AlertView *alert = onlyAlert())
        alert->dismissWithClickedButtonIndex(0);
}

// Types a name into the bar's field (as assistive technologies or the keyboard would) and
// presses OK.
void create(PlayListViewController *manager, const QString &name)
{
    manager->addButton()->click();
    manager->nameInputTextField()->setText(name);
    manager->clickFolerNameInputButton();
}

TEST(PlaylistManager, ANameBarCreatesPlaylistsAndRefusesBadNames)
{
    Shell s;
    s.launch();
    NotificationCenter::defaultCenter().postNotificationName(Notify::addPlayListView);
    PlayListViewController *manager = s.manager();
    ASSERT_TRUE(manager->isOnScreen()) << "the menu entry's notice opens the manager";
    EXPECT_EQ(manager->titleNavigationBar()->title(), "Managing PlayLists");
    View *bar = manager->folderNameInputView();
    EXPECT_EQ(View::frame(bar).top(), Window::height) << "the name bar waits below the bottom edge";
    EXPECT_TRUE(View::isHidden(bar));
    EXPECT_FALSE(View::isHidden(manager->normalToolbar()));
    EXPECT_TRUE(View::isHidden(manager->editToolbar()));
    EXPECT_EQ(manager->addButton()->text(), "Add List");
    EXPECT_EQ(manager->editButton()->text(), "Edit List");

    // "Add List": the field takes the focus, the keyboard "shows" without height and the
    // bar rides on it, at the bottom of the screen.
    manager->addButton()->click();
    EXPECT_TRUE(manager->nameInputTextField()->isFirstResponder());
    EXPECT_FALSE(View::isHidden(bar));
    const ViewAnimation::Record ride = ViewAnimation::last("viewFolderNameInputViewAni");
    ASSERT_EQ(ride.targets.size(), 1);
    EXPECT_EQ(ride.targets[0].toRect(),
              QRect(0, Window::height - View::frame(bar).height(), 320, View::frame(bar).height()));
    ViewAnimation::finishAll();
    EXPECT_EQ(View::frame(bar).bottom(), Window::height - 1);

    manager->nameInputTextField()->setText("Rock");
    manager->clickFolerNameInputButton();
    EXPECT_TRUE(PlaylistStore::load().contains("Rock"));
    EXPECT_TRUE(onDisk().contains("Rock")) << "flushed at once";
    EXPECT_EQ(s.messages.last(), "[Rock] Added to your playlist.");
    EXPECT_TRUE(View::isHidden(bar)) << "parked again";
    EXPECT_EQ(View::frame(bar).top(), Window::height);
    EXPECT_TRUE(manager->nameInputTextField()->text().isEmpty());
    EXPECT_FALSE(manager->nameInputTextField()->isFirstResponder());
    TableViewCell *rock = Shell::row(manager->songFolderTable(), "Rock");
    ASSERT_TRUE(rock);
    EXPECT_EQ(Shell::details(rock), "0Songs");
    EXPECT_EQ(rock->height(), 50);
    EXPECT_EQ(rock->imageView()->image().toImage(), ImageView::imageNamed("list_playbackListSetting.png").toImage());

    // The same name again: refused with an alert; the bar stays up with the name in it.
    create(manager, "Rock");
    AlertView *alert = onlyAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Error Add to Playlists");
    EXPECT_EQ(alert->message(), "Entered a name that already exists.");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "OK");
    EXPECT_FALSE(View::isHidden(bar));
    EXPECT_EQ(manager->nameInputTextField()->text(), "Rock");
    dismissAlert();
    EXPECT_EQ(PlaylistStore::load().count(), 1);

    // Another case is another name.
    manager->nameInputTextField()->setText("rock");
    manager->clickFolerNameInputButton();
    EXPECT_EQ(PlaylistStore::load().names(), QStringList({"Rock", "rock"}));

    // Names that cannot be stored as they stand get "Please enter a name...".
    for (const QString &bad : {QString(), QStringLiteral("  "), QStringLiteral(" Jazz"), QStringLiteral("Ja\x01zz")}) {
        create(manager, bad);
        alert = onlyAlert();
        ASSERT_TRUE(alert) << bad.toStdString();
        EXPECT_EQ(alert->message(), "Please enter a name...");
        EXPECT_FALSE(View::isHidden(bar));
        dismissAlert();
    }
    EXPECT_EQ(PlaylistStore::load().count(), 2);

    // Cancel (or Escape) parks the bar and clears the field.
    manager->nameInputTextField()->setText("half typed");
    manager->cancelFolerNameInput();
    EXPECT_TRUE(View::isHidden(bar));
    EXPECT_TRUE(manager->nameInputTextField()->text().isEmpty());
    manager->addButton()->click();
    manager->nameInputTextField()->setText("Jazz");
    EXPECT_TRUE(manager->escapePressed());
    EXPECT_TRUE(View::isHidden(bar));
    EXPECT_TRUE(manager->isOnScreen());
    EXPECT_EQ(PlaylistStore::load().count(), 2);

    // Enter in the field is OK.
    manager->addButton()->click();
    manager->nameInputTextField()->setText("Jazz");
    emit manager->nameInputTextField()->returnPressed();
    EXPECT_TRUE(PlaylistStore::load().contains("Jazz"));

    // Away, the screen stops listening for the keyboard; the bar is parked on return.
    View::removeFromSuperview(manager->view());
    NotificationCenter::defaultCenter().postNotificationName(TextField::keyboardWillShowNotification, {},
                                                             {{TextField::keyboardFrameEndUserInfoKey, QRect()}});
    EXPECT_TRUE(View::isHidden(bar));
}

TEST(PlaylistManager, EditModeTicksPlaylistsAndDeletesThemAfterAsking)
{
    Shell s;
    storePlaylist("A", {"Rock/a.mp3"});
    storePlaylist("B", {});
    storePlaylist("C", {"Rock/a.mp3", "/b.mp3"});
    const QString song = s.home.writeFile("Rock/a.mp3");
    s.launch();
    s.delegate.addPlayListView({});
    PlayListViewController *m = s.manager();
    TableView *table = m->songFolderTable();
    EXPECT_EQ(Shell::titles(table), QStringList({"A", "B", "C"}));
    EXPECT_EQ(Shell::details(Shell::row(table, "C")), "2Songs");

    m->editButton()->click();
    EXPECT_TRUE(m->editMode());
    EXPECT_EQ(m->titleNavigationBar()->title(), "PlayLists Edit");
    EXPECT_EQ(ViewAnimation::last("fadeAni").views, QList<QPointer<QWidget>>({m->normalToolbar(), m->editToolbar()}));
    ViewAnimation::finishAll();
    EXPECT_TRUE(View::isHidden(m->normalToolbar())) << "the faded bar is out of reach";
    EXPECT_FALSE(View::isHidden(m->editToolbar()));
    EXPECT_EQ(m->delButton()->text(), "Del(0)");
    EXPECT_FALSE(m->delButton()->isEnabled());
    EXPECT_EQ(Shell::row(table, "A")->editCheck(), TableViewCell::EditCheck::Unchecked);

    // A tap ticks (and unticks) a playlist.
    table->activateCell(Shell::row(table, "A"));
    EXPECT_EQ(m->selectedFolderArray(), QStringList({"A"}));
    EXPECT_EQ(m->delButton()->text(), "Del(1)");
    EXPECT_TRUE(m->delButton()->isEnabled());
    EXPECT_TRUE(Shell::state(Shell::row(table, "A")).checked);
    EXPECT_FALSE(Shell::state(Shell::row(table, "B")).checked);
    EXPECT_EQ(Shell::row(table, "A")->imageView()->image().toImage(), ImageView::imageNamed("listCheckOn").toImage());
    EXPECT_TRUE(m->isOnScreen()) << "in edit mode a tap does not open the playlist";

    // One ticked: the sheet names it. Cancel changes nothing.
    m->delButton()->click();
    ActionSheet *sheet = onlySheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->title(), "A Delete the folder");
    EXPECT_EQ(sheet->tag(), 1111);
    EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->destructiveButtonIndex()), "Delete");
    EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), "Cancel");
    sheet->dismissWithClickedButtonIndex(sheet->cancelButtonIndex());
    EXPECT_EQ(PlaylistStore::load().count(), 3);

    // Two ticked: the sheet counts them; "Delete" removes both, and nothing else.
    table->activateCell(Shell::row(table, "C"));
    m->delButton()->click();
    sheet = onlySheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->title(), "2Delete the folder N");
    // An answer from another sheet does nothing.
    ActionSheet other("Other", nullptr, "Cancel", "Delete");
    m->actionSheetClickedButtonAtIndex(&other, other.destructiveButtonIndex());
    EXPECT_EQ(PlaylistStore::load().count(), 3);
    sheet->dismissWithClickedButtonIndex(sheet->destructiveButtonIndex());
    EXPECT_EQ(PlaylistStore::load().names(), QStringList({"B"}));
    EXPECT_EQ(onDisk().keys(), QStringList({"B"}));
    EXPECT_EQ(s.messages.last(), "Deleted");
    EXPECT_EQ(Shell::titles(table), QStringList({"B"}));
    EXPECT_TRUE(m->selectedFolderArray().isEmpty());
    EXPECT_EQ(m->delButton()->text(), "Del(0)");
    EXPECT_TRUE(QFile::exists(song)) << "deleting playlists never touches songs";

    // The last one gone: an empty dictionary is left.
    table->activateCell(Shell::row(table, "B"));
    m->delSelectedFile();
    onlySheet()->dismissWithClickedButtonIndex(0);
    EXPECT_TRUE(onDisk().isEmpty());
    EXPECT_TRUE(UserDefaults::standard().objectForKey(SettingsKeys::playlistfolderkey).isValid());

    // Done leaves edit mode; so does leaving the screen.
    m->doneButton()->click();
    EXPECT_FALSE(m->editMode());
    EXPECT_EQ(m->titleNavigationBar()->title(), "Managing PlayLists");
    m->editToggle();
    View::removeFromSuperview(m->view());
    s.delegate.addPlayListView({});
    EXPECT_FALSE(m->editMode());
    EXPECT_FALSE(View::isHidden(m->normalToolbar()));
    EXPECT_TRUE(View::isHidden(m->editToolbar()));
}

TEST(PlaylistSongs, RowsShowWhereTheSongIsOrThatItWasDeleted)
{
    Shell s;
    s.home.writeFile("Rock/a.mp3");
    s.home.writeFile("b.mp3");
    storePlaylist("Road", {"Rock/a.mp3", "/b.mp3", "Rock/a.mp3", "Jazz/gone.mp3"});
    s.launch();
    s.delegate.addPlayListView({});
    TableView *managed = s.manager()->songFolderTable();
    managed->activateCell(Shell::row(managed, "Road"));
    PlayListFileListViewController *songs = s.songs();
    ASSERT_TRUE(songs->isOnScreen());
    EXPECT_FALSE(s.manager()->isOnScreen()) << "the manager leaves";
    EXPECT_EQ(songs->folderName(), "Road");
    EXPECT_EQ(songs->titleNavigationBar()->title(), "Road");
    TableView *table = songs->listTableView();
    EXPECT_EQ(Shell::titles(table), QStringList({"a.mp3", "b.mp3", "a.mp3", "gone.mp3"}));
    const QList<TableViewCell *> rows = Shell::rows(table);
    EXPECT_EQ(rows[0]->height(), 35);
    EXPECT_EQ(Shell::details(rows[0]), "Documents/Rock/a.mp3");
    EXPECT_EQ(Shell::details(rows[1]), "Documents/b.mp3");
    EXPECT_EQ(Shell::details(rows[3]), "The file has been deleted.");
    EXPECT_EQ(Shell::titleColour(rows[3]).red(), 255);
    EXPECT_LT(Shell::titleColour(rows[3]).green(), 120) << "a deleted song is red";
    EXPECT_NE(Shell::titleColour(rows[0]), Shell::titleColour(rows[3]));
    EXPECT_EQ(rows[0]->imageView()->image().toImage(), ImageView::imageNamed("MP3IconSmall").toImage());
    // The red row comes back to its plain colour when the song is back.
    s.home.writeFile("Jazz/gone.mp3");
    table->reloadData();
    EXPECT_EQ(Shell::titleColour(Shell::rows(table)[3]), Shell::titleColour(Shell::rows(table)[0]));
    QFile::remove(s.home.documents() + "/Jazz/gone.mp3");
    table->reloadData();

    // Outside edit mode a tap only deselects.
    table->activateCell(Shell::rows(table)[1]);
    EXPECT_TRUE(songs->selectedFileArray().isEmpty());
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({-1, -1}));

    // Edit mode: the title says so; a tap ticks both copies of an entry.
    songs->editButton()->click();
    EXPECT_EQ(songs->titleNavigationBar()->title(), "RoadEdit");
    table->activateCell(Shell::rows(table)[2]);
    EXPECT_EQ(songs->selectedFileArray(), QStringList({"Rock/a.mp3"}));
    EXPECT_TRUE(Shell::state(Shell::rows(table)[0]).checked);
    EXPECT_TRUE(Shell::state(Shell::rows(table)[2]).checked);
    EXPECT_FALSE(Shell::state(Shell::rows(table)[1]).checked);
    EXPECT_EQ(songs->delButton()->text(), "Delete(1)");

    // Select all, and again for none.
    songs->checkAllButton()->click();
    EXPECT_EQ(songs->delButton()->text(), "Delete(4)");
    songs->checkAllFile();
    EXPECT_EQ(songs->delButton()->text(), "Delete(0)");
    EXPECT_FALSE(songs->delButton()->isEnabled());

    // Deleting the ticked entry removes both copies, after asking; the song stays on disk.
    table->activateCell(Shell::rows(table)[0]);
    songs->delButton()->click();
    ActionSheet *sheet = onlySheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->title(), "1Delete the Music N");
    EXPECT_EQ(sheet->tag(), 1111);
    sheet->dismissWithClickedButtonIndex(sheet->destructiveButtonIndex());
    EXPECT_EQ(songs->fileListArray(), QStringList({"/b.mp3", "Jazz/gone.mp3"}));
    EXPECT_EQ(onDisk().value("Road").toStringList(), QStringList({"/b.mp3", "Jazz/gone.mp3"}));
    EXPECT_EQ(s.messages.last(), "Deleted");
    EXPECT_TRUE(QFile::exists(s.home.documents() + "/Rock/a.mp3"));
    EXPECT_EQ(songs->delButton()->text(), "Delete(0)");
    songs->doneButton()->click();
    EXPECT_EQ(songs->titleNavigationBar()->title(), "Road");

    // Clearing deleted files drops the missing entry; a second time there is nothing to do.
    songs->delFileClearButton()->click();
    EXPECT_EQ(s.messages.last(), "Cleared.");
    EXPECT_EQ(onDisk().value("Road").toStringList(), QStringList({"/b.mp3"}));
    EXPECT_EQ(Shell::titles(table), QStringList({"b.mp3"}));
    songs->clearDelFile();
    EXPECT_EQ(s.messages.last(), "There are no files to clean up.");
    EXPECT_EQ(onDisk().value("Road").toStringList(), QStringList({"/b.mp3"}));

    // Songs from the picker go at the end, in its order, duplicates and all.
    songs->addPlayListFiles({"Rock/a.mp3", "/b.mp3"});
    EXPECT_EQ(onDisk().value("Road").toStringList(), QStringList({"/b.mp3", "Rock/a.mp3", "/b.mp3"}));
    EXPECT_EQ(s.messages.last(), "Added music");
    EXPECT_EQ(Shell::titles(table), QStringList({"b.mp3", "a.mp3", "b.mp3"}));

    // Back: the manager again, with the new count.
    songs->goBack();
    ASSERT_TRUE(s.manager()->isOnScreen());
    EXPECT_EQ(Shell::details(Shell::row(managed, "Road")), "3Songs");
    EXPECT_TRUE(songs->fileListArray().isEmpty()) << "the screen dropped its copy";
}

} // namespace

namespace {

// Pictures of the screens as a user sees them, into the test's own home; the docs'
// pictures are refreshed from them only on request (ORBO_UPDATE_DOCS set).
TEST(PlaylistPictures, TheManagerTheSongsAndThePicker)
{
    Shell s;
    Translations::install(QLocale(QLocale::English, QLocale::UnitedStates));
    const QStringList rock{"Asphalt Morning.mp3", "Blue Exit.mp3", "Cold Engine.mp3", "Dust Road.mp3"};
    for (int i = 0; i < rock.size(); ++i)
        s.home.writeFile("Rock/" + rock[i], QByteArray((i + 3) * 917 * 1024, 'r'));
    s.home.writeFile("Jazz/Late Train.mp3", QByteArray(4200 * 1024, 'j'));
    s.home.writeFile("Jazz/Night Shift.mp3", QByteArray(3900 * 1024, 'j'));
    s.home.writeFile("Welcome.mp3", QByteArray(2100 * 1024, 'w'));
    s.home.makeFolder("New Songs");
    storePlaylist("Evening Walk", {"Jazz/Late Train.mp3", "Jazz/Night Shift.mp3", "/Welcome.mp3"});
    storePlaylist("Road",
                  {"Rock/Asphalt Morning.mp3", "Rock/Dust Road.mp3", "Jazz/Late Train.mp3", "Rock/Gone Tomorrow.mp3",
                   "/Welcome.mp3"});
    storePlaylist("Work", {});
    s.launch();
    const QString pictures = s.home.path() + "/pictures/";
    ASSERT_TRUE(QDir().mkpath(pictures));
    const auto picture = [&](const QString &name) {
        ViewAnimation::finishAll();
        QCoreApplication::processEvents();
        const QImage shot = View::snapshot(s.delegate.window());
        EXPECT_EQ(shot.size(), QSize(320, 480));
        EXPECT_TRUE(shot.save(pictures + name));
        if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
            EXPECT_TRUE(shot.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/") + name));
        }
        return shot;
    };

    // The manager with a name being typed into the bar.
    s.delegate.addPlayListView({});
    PlayListViewController *m = s.manager();
    m->addButton()->click();
    m->nameInputTextField()->setText("Road Trip");
    const QImage manager = picture("playlists-manage.png");
    m->cancelFolerNameInput();

    // The songs of Road in edit mode: one ticked, one deleted.
    m->songFolderTable()->activateCell(Shell::row(m->songFolderTable(), "Road"));
    PlayListFileListViewController *songs = s.songs();
    songs->editToggle();
    songs->listTableView()->activateCell(Shell::rows(songs->listTableView())[1]);
    const QImage edit = picture("playlist-songs.png");
    EXPECT_NE(edit, manager);
    songs->editToggle();

    // The picker: folders with their sizes, then Rock's songs with two ticked.
    songs->goFileSelectorView();
    FileSelectorViewController *folders = s.picker();
    ASSERT_TRUE(folders->folderSizeQueue().waitForIdle(5000));
    ASSERT_TRUE(waitUntil([&] {
        for (TableViewCell *cell : Shell::rows(folders->listTableView()))
            if (Shell::details(cell) == Translations::text("Loading information ..."))
                return false;
        return true;
    }));
    picture("song-picker-folders.png");
    folders->listTableView()->activateCell(Shell::row(folders->listTableView(), "Rock"));
    TableView *rockSongs = s.pickerSongs()->listTableView();
    rockSongs->activateCell(Shell::row(rockSongs, "Cold Engine.mp3"));
    rockSongs->activateCell(Shell::row(rockSongs, "Blue Exit.mp3"));
    picture("song-picker-songs.png");
    Translations::uninstall();
}

} // namespace
