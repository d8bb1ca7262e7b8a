#include "TestHome.h"
#include "support/ScopedTranslations.h"
#include "support/ShellFakes.h"
#include "support/SongFixtures.h"

#include "app/ZivoAppDelegate.h"
#include "browse/DemoSongInstaller.h"
#include "browse/MusicAllListViewController.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/AlertView.h"
#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "platform/Label.h"
#include "platform/TableSectionIndex.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/UserDefaults.h"
#include "platform/View.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"
#include "platform/TextView.h"
#include "playback/F3BarGauge.h"
#include "playback/MusicDetailView.h"
#include "playback/MusicDetailViewController.h"
#include "playback/PlayInfoPanelViewController.h"
#include "playback/ScrollLabel.h"
#include "library/NotificationNames.h"
#include "platform/NotificationCenter.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/xattr.h>

namespace {

using Screen = ZivoAppDelegate::Screen;

ScreenFactory allSongsScreens()
{
    ScreenFactory screens = recordingMenu();
    screens.add(Screen::MusicAllList, [] { return std::make_unique<MusicAllListViewController>(); });
    return screens;
}

// Untagged songs of a second in a folder of Documents ("" for the root).
void songs(const TestHome &home, const QString &folder, const QStringList &names)
{
    for (const QString &name : names) {
        const QString dir = folder.isEmpty() ? home.documents() : home.documents() + "/" + folder;
        ASSERT_TRUE(SongFixtures::writeMp3(dir + "/" + name, SongFixtures::Tagging::None, {}));
    }
}

QString accessible(QWidget *widget, QAccessible::Text what)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(what) : QString();
}

// The shell with the all-songs screen and the fake panel; the demo offer is answered by the test.
struct AllSongs
{
    AllSongs() { delegate.setPlayInfoPanel(&panel); }
    ~AllSongs()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
    }
    void open(bool demoInstalled = true)
    {
        if (demoInstalled)
            UserDefaults::standard().setObject(QStringLiteral("YES"), SettingsKeys::demoMusicCopyKey);
        delegate.didFinishLaunchingWithOptions();
        View::removeFromSuperview(delegate.screen(Screen::MusicMain)->view());
        delegate.addMusicAllListView();
    }
    void reopen()
    {
        View::removeFromSuperview(list()->view());
        delegate.addMusicAllListView();
    }
    MusicAllListViewController *list() const
    {
        return qobject_cast<MusicAllListViewController *>(delegate.screen(Screen::MusicAllList));
    }
    TableView *table() const { return list()->listTableView(); }
    QStringList headers() const
    {
        QStringList texts;
        for (int s = 0; s < table()->numberOfSections(); ++s)
            texts << list()->titleForHeaderInSection(table(), s);
        return texts;
    }
    AlertView *offer() const
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            if (alert->title() == "DEMO Songs")
                return alert;
        return nullptr;
    }

    TestHome home;
    FakePlayer panel;
    ZivoAppDelegate delegate{allSongsScreens()};
};

TEST(AllSongs, SectionsPerFolderWithShortIndexTitlesAndCounts)
{
    AllSongs a;
    songs(a.home, "", {"root1.mp3", "root2.mp3"});
    songs(a.home, "Rock", {"r1.mp3"});
    songs(a.home, "Jazz Classics", {"j1.mp3", "j2.mp3", "j3.mp3"});
    songs(a.home, "AB", {"ab.mp3"});
    a.home.makeFolder("CIC");
    a.open();
    MusicAllListViewController *list = a.list();
    ASSERT_TRUE(list->isOnScreen());
    EXPECT_EQ(list->sectionTitleArray(), QStringList({"Documents", "AB", "Jazz Classics", "Rock"}));
    EXPECT_EQ(list->sectionShortTitleArray(),
              QStringList({TableView::searchIndexTitle(), "Do..", "AB", "Ja..", "Ro.."}));
    EXPECT_EQ(a.table()->sectionIndexTitles(), list->sectionShortTitleArray());
    EXPECT_EQ(list->mp3NameListArray(),
              QStringList({"root1.mp3", "root2.mp3", "AB/ab.mp3", "Jazz Classics/j1.mp3", "Jazz Classics/j2.mp3",
                           "Jazz Classics/j3.mp3", "Rock/r1.mp3"}));
    EXPECT_EQ(a.headers(),
              QStringList({"Documents (2musicCount)", "AB (1musicCount)", "Jazz Classics (3musicCount)",
                           "Rock (1musicCount)"}));

    // The index: the search symbol goes to the very top and to no section; the others to theirs.
    a.table()->setContentOffset(200);
    EXPECT_EQ(list->sectionForSectionIndexTitle(a.table(), "{search}", 0), -1);
    EXPECT_EQ(a.table()->contentOffset(), 0);
    EXPECT_EQ(list->sectionForSectionIndexTitle(a.table(), "Ja..", 3), 2);

    // Rows: the file name, described by what the cache knows; reachable by name.
    TableViewCell *first = a.table()->cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->textLabel()->text(), "root1.mp3");
    EXPECT_EQ(accessible(first, QAccessible::Name), "root1.mp3");
    EXPECT_EQ(accessible(a.table()->searchField(), QAccessible::Name), "Search");
    EXPECT_EQ(accessible(a.table()->sectionIndex(), QAccessible::Name), "Section index");

    // Away, the lists are dropped; back, a new folder shows.
    View::removeFromSuperview(list->view());
    EXPECT_TRUE(list->mp3NameListArray().isEmpty());
    songs(a.home, "Blues", {"b.mp3"});
    a.delegate.addMusicAllListView();
    EXPECT_EQ(list->sectionTitleArray(), QStringList({"Documents", "AB", "Blues", "Jazz Classics", "Rock"}));
}

TEST(AllSongs, ATapPlaysTheWholeLibraryFromThatSongWhateverTheShuffle)
{
    const ScopedTranslations english(QLocale(QLocale::English, QLocale::UnitedStates));
    AllSongs a;
    songs(a.home, "", {"root.mp3"});
    songs(a.home, "Rock", {"a.mp3", "b.mp3"});
    UserDefaults::standard().setObject(QStringLiteral("0"), SettingsKeys::appsettingplaymodekey);
    a.open();
    a.table()->activateRow({1, 1});
    EXPECT_EQ(a.panel.folder, "All Songs");
    EXPECT_EQ(a.panel.mode, 2);
    EXPECT_EQ(a.panel.index, 2);
    const QString docs = a.home.documents();
    EXPECT_EQ(a.panel.urls,
              QList<QUrl>({QUrl::fromLocalFile(docs + "/root.mp3"), QUrl::fromLocalFile(docs + "/Rock/a.mp3"),
                           QUrl::fromLocalFile(docs + "/Rock/b.mp3")}));
    EXPECT_EQ(a.panel.current, QUrl::fromLocalFile(docs + "/Rock/b.mp3"));
    EXPECT_EQ(a.panel.calls.count("panel.playMusic"), 1);
    EXPECT_EQ(a.table()->indexPathForSelectedRow(), IndexPath({1, 1}));

    // The player moves on: the list follows it to the song's own section and row.
    a.delegate.musicAllListScrollToRow(0, "ignored");
    EXPECT_EQ(a.table()->indexPathForSelectedRow(), IndexPath({0, 0}));
    a.delegate.musicAllListScrollToRow(9, "Rock");
    EXPECT_EQ(a.table()->indexPathForSelectedRow(), IndexPath({0, 0}));

    // The player deletes the song it plays: gone from the disk, the section and the library.
    a.list()->delFileAtIndex(QUrl::fromLocalFile(docs + "/Rock/a.mp3"));
    EXPECT_FALSE(QFile::exists(docs + "/Rock/a.mp3"));
    EXPECT_EQ(a.list()->mp3NameListArray(), QStringList({"root.mp3", "Rock/b.mp3"}));
    EXPECT_EQ(a.table()->numberOfRowsInSection(1), 1);
}

TEST(AllSongs, SearchFiltersFileNamesPerFolderCaseSensitivelyAsTheUserTypes)
{
    AllSongs a;
    songs(a.home, "", {"Count on me.mp3", "intro.mp3"});
    songs(a.home, "Orbo_folder1", {"Orbo_01-CountryMan.mp3"});
    songs(a.home, "Orbo_folder2", {"Orbo_02-ButterBass.mp3"});
    a.open();
    QLineEdit *field = a.table()->searchField();
    ASSERT_TRUE(field);

    // Typed letter by letter: the results follow every change.
    field->setText("C");
    EXPECT_TRUE(a.list()->isSearching());
    field->setText("Count");
    EXPECT_EQ(a.list()->allSectionArraySearch(),
              QList<QStringList>({{"Count on me.mp3"}, {"Orbo_01-CountryMan.mp3"}, {}}));
    EXPECT_EQ(a.table()->numberOfSections(), 3);
    EXPECT_EQ(a.table()->numberOfRowsInSection(2), 0);
    EXPECT_TRUE(a.table()->sectionIndexTitles().isEmpty()) << "the results show no index";
    EXPECT_EQ(a.headers(), QStringList({"Documents (1musicCount)", "Orbo_folder1 (1musicCount)", ""}));
    field->setText("CountryMan");
    EXPECT_EQ(a.list()->allSectionArraySearch(), QList<QStringList>({{}, {"Orbo_01-CountryMan.mp3"}, {}}));
    // Case counts, and the text is taken literally.
    field->setText("count");
    EXPECT_EQ(a.list()->allSectionArraySearch(), QList<QStringList>({{}, {}, {}}));
    field->setText(".*");
    EXPECT_EQ(a.list()->allSectionArraySearch(), QList<QStringList>({{}, {}, {}}));

    // A result plays its song in the full list, which the search gives way to.
    field->setText("Butter");
    a.table()->activateRow({2, 0});
    EXPECT_FALSE(a.list()->isSearching());
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(a.panel.index, 3);
    EXPECT_EQ(a.panel.current.fileName(), "Orbo_02-ButterBass.mp3");
    EXPECT_EQ(a.table()->indexPathForSelectedRow(), IndexPath({2, 0}));
    EXPECT_EQ(a.table()->numberOfRowsInSection(0), 2);

    // Escape ends a search before it leaves the screen.
    field->setText("intro");
    EXPECT_TRUE(a.list()->escapePressed());
    EXPECT_FALSE(a.list()->isSearching());
    EXPECT_TRUE(a.list()->isOnScreen());
}

bool backupMarked(const QString &path)
{
    char value = 0;
    return ::getxattr(path.toLocal8Bit().constData(), "user.com.apple.MobileBackup", &value, 1) == 1 && value == 1;
}

bool fileSystemKeepsMarks(const QString &folder)
{
    const char value = 1;
    return ::setxattr(folder.toLocal8Bit().constData(), "user.orbo.probe", &value, 1, 0) == 0;
}

TEST(DemoSongs, TheProgramCarriesFiveTaggedSongs)
{
    const QString root = Bundle::installedResourceFolder(QStringLiteral("sampleMp3"));
    ASSERT_FALSE(root.isEmpty());
    for (const QString &entry : DemoSongInstaller::playlistEntries()) {
        const QFileInfo song(root + "/" + entry);
        EXPECT_TRUE(song.isFile()) << entry.toStdString();
        EXPECT_GT(song.size(), 50000) << "seconds of music, not a stub: " << entry.toStdString();
    }
    EXPECT_EQ(QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot), DemoSongInstaller::folderNames());
}

TEST(DemoSongs, YesInstallsFoldersMarksThemAndAddsPlaylistsKeepingTheUsers)
{
    AllSongs a;
    // Playlists the user made before accepting (after the first launch, which starts an
    // empty store), one of them under a demo playlist's name.
    ZivoModel::appInit();
    QVariantMap before;
    before.insert("Road trip", QVariantList({"Rock/a.mp3", "/root.mp3"}));
    before.insert("Orbo PlayList2", QVariantList({"Rock/a.mp3"}));
    UserDefaults::standard().setObject(before, SettingsKeys::playlistfolderkey);
    // A folder of the user's with a demo folder's name keeps what it holds.
    a.home.writeFile("Orbo_folder3/mine.mp3", SongFixtures::mp3Audio());
    songs(a.home, "Rock", {"a.mp3"});

    a.open(false);
    AlertView *offer = a.offer();
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->message(), "install the demo songs?");
    EXPECT_EQ(offer->buttonTitleAtIndex(0), "YES");
    EXPECT_EQ(offer->buttonTitleAtIndex(1), "NO");

    // "NO": nothing changes, and the offer is back the next time the list appears.
    offer->dismissWithClickedButtonIndex(1);
    EXPECT_FALSE(UserDefaults::standard().objectForKey(SettingsKeys::demoMusicCopyKey).isValid());
    EXPECT_FALSE(QFileInfo::exists(a.home.documents() + "/Orbo_folder1"));
    a.reopen();
    ASSERT_TRUE(a.offer());

    a.offer()->dismissWithClickedButtonIndex(0);
    const QString docs = a.home.documents();
    const bool marks = fileSystemKeepsMarks(a.home.path());
    for (const QString &entry : DemoSongInstaller::playlistEntries()) {
        const QString folder = docs + "/" + entry.section('/', 0, 0);
        if (entry.startsWith("Orbo_folder3/")) {
            EXPECT_FALSE(QFileInfo::exists(docs + "/" + entry)) << "a taken name keeps what is there";
            EXPECT_TRUE(QFileInfo::exists(folder + "/mine.mp3"));
            EXPECT_FALSE(backupMarked(folder)) << "the user's own folder is not touched";
            continue;
        }
        EXPECT_TRUE(FileManager::isRegularFile(docs + "/" + entry)) << entry.toStdString();
        if (marks) {
            EXPECT_TRUE(backupMarked(folder)) << entry.toStdString();
        }
    }

    const QVariantMap after = UserDefaults::standard().dictionaryForKey(SettingsKeys::playlistfolderkey);
    EXPECT_EQ(after.value("Road trip"), before.value("Road trip")) << "the user's playlist stays";
    QVariantList demo;
    for (const QString &entry : DemoSongInstaller::playlistEntries())
        demo << entry;
    EXPECT_EQ(after.size(), 6);
    for (const QString &name : DemoSongInstaller::playlistNames())
        EXPECT_EQ(after.value(name).toList(), demo) << name.toStdString();
    EXPECT_EQ(UserDefaults::standard().stringForKey(SettingsKeys::demoMusicCopyKey), "YES");

    // The list shows the new folders at once, and survives a restart without asking again.
    EXPECT_EQ(a.list()->sectionTitleArray(),
              QStringList({"Documents", "Orbo_folder1", "Orbo_folder2", "Orbo_folder3", "Orbo_folder4", "Orbo_folder5",
                           "Rock"}));
    EXPECT_EQ(a.list()->allSectionArray()[1], QStringList({"Orbo_01-CountryMan.mp3"}));
    a.home.restart();
    EXPECT_EQ(UserDefaults::standard().stringForKey(SettingsKeys::demoMusicCopyKey), "YES");
    EXPECT_EQ(UserDefaults::standard().dictionaryForKey(SettingsKeys::playlistfolderkey).size(), 6);
    a.reopen();
    EXPECT_FALSE(a.offer());
}

TEST(DemoSongs, WithoutTheSongsThePlaylistsAndTheKeyAreStillWritten)
{
    TestHome home;
    DemoSongInstaller::install(home.path() + "/no-such-folder");
    EXPECT_FALSE(QFileInfo::exists(home.documents() + "/Orbo_folder1"));
    EXPECT_EQ(UserDefaults::standard().dictionaryForKey(SettingsKeys::playlistfolderkey).size(), 5);
    EXPECT_FALSE(DemoSongInstaller::isOfferDue());
}

// The demo songs as a new user meets them, with the real panel and full-screen player;
// the pictures of both screens.
TEST(DemoSongs, ANewUserInstallsPlaysAndReadsTheLyrics)
{
    qputenv("ORBO_AUDIO_OUTPUT", "null");
    const ScopedTranslations english(QLocale(QLocale::English, QLocale::UnitedStates));
    TestHome home;
    ScreenFactory factory = allSongsScreens();
    ZivoAppDelegate delegate{std::move(factory)};
    auto made = std::make_unique<PlayInfoPanelViewController>();
    PlayInfoPanelViewController *panel = made.get();
    delegate.installPlayInfoPanel(std::move(made));
    auto *detail = new MusicDetailViewController(*panel);
    delegate.setScreen(Screen::MusicDetail, std::unique_ptr<ZivoViewController>(detail));
    delegate.didFinishLaunchingWithOptions();
    View::removeFromSuperview(delegate.screen(Screen::MusicMain)->view());
    delegate.addMusicAllListView();
    auto *list = qobject_cast<MusicAllListViewController *>(delegate.screen(Screen::MusicAllList));
    ASSERT_TRUE(list->demoOffer());
    list->demoOffer()->dismissWithClickedButtonIndex(0);
    ASSERT_EQ(list->mp3NameListArray().size(), 5);
    ASSERT_TRUE(waitUntil([&] { return !delegate.isOptimizing(); }, 20000));

    list->listTableView()->activateRow({2, 0});
    ASSERT_TRUE(panel->isPlaying());
    EXPECT_EQ(panel->curURL().fileName(), "Orbo_02-ButterBass.mp3");
    EXPECT_EQ(panel->curFolderD(), "All Songs");
    ASSERT_TRUE(waitUntil(
        [&] {
            TableViewCell *cell = list->listTableView()->cellForRowAtIndexPath({1, 0});
            if (!cell || cell->detailTextLabel()->text() != "Orbo Demo Songs The Orbo Players")
                return false;
            // The rows of the other folders in view too: one folder is built after another.
            for (int section = 2; section <= 4; ++section)
                if (TableViewCell *other = list->listTableView()->cellForRowAtIndexPath({section, 0}))
                    if (!other->detailTextLabel()->text().startsWith("Orbo Demo Songs"))
                        return false;
            return true;
        },
        5000))
        << "rows from the tag cache";
    ViewAnimation::finishAll();
    panel->pauseMusic();
    panel->setCurrentTime(7.0);
    panel->playOrPauseMusic();
    panel->curMusicNameLabel()->stopScroll();
    panel->levelMeterViewL()->setValue(0.58f);
    panel->levelMeterViewR()->setValue(0.5f);
    ViewAnimation::finishAll();
    QCoreApplication::processEvents();
    const QImage listPicture = View::snapshot(delegate.window());
    EXPECT_TRUE(listPicture.save(home.path() + "/all-songs.png"));

    // The first song in the full-screen player: its tags, then its lyrics.
    delegate.musicAllListScrollToRow(0, QString());
    panel->setMusicURLArrayIndex(0);
    panel->curURLSet();
    panel->playMusic();
    NotificationCenter::defaultCenter().postNotificationName(Notify::addMusicDetailView);
    ViewAnimation::finishAll();
    ASSERT_TRUE(detail->isOnScreen());
    EXPECT_EQ(detail->musicDetailView()->songNameLabel()->text(), "Country Man");
    EXPECT_EQ(detail->folderPathLabel()->text(), "All Songs [ 1 / 5] ");
    EXPECT_TRUE(detail->lyricsTextView()->text().contains("rooster"));
    panel->pauseMusic();
    panel->setCurrentTime(6.0);
    panel->playOrPauseMusic();
    panel->panelInfoSet();
    detail->setLevelMeterValues(0.62f, 0.54f);
    ASSERT_TRUE(waitUntil([&] { return !delegate.isOptimizing(); }, 20000));
    ViewAnimation::finishAll();
    QCoreApplication::processEvents();
    const QImage playerPicture = View::snapshot(delegate.window());
    EXPECT_TRUE(playerPicture.save(home.path() + "/full-screen-player.png"));
    detail->viewLyrics();
    ViewAnimation::finishAll();
    QCoreApplication::processEvents();
    const QImage lyricsPicture = View::snapshot(delegate.window());
    EXPECT_TRUE(lyricsPicture.save(home.path() + "/full-screen-lyrics.png"));
    if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
        EXPECT_TRUE(listPicture.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/all-songs.png")));
        EXPECT_TRUE(playerPicture.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/full-screen-player.png")));
        EXPECT_TRUE(lyricsPicture.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/full-screen-lyrics.png")));
    }
    detail->closeView();
    panel->pauseMusic();
}

} // namespace
