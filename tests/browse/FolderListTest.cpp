#include "support/ScopedTranslations.h"
#include "TestHome.h"
#include "support/ShellFakes.h"
#include "support/SongFixtures.h"

#include "app/ZivoAppDelegate.h"
#include "browse/MusicListCell.h"
#include "browse/MusicListViewController.h"
#include "browse/MusicSubListViewController.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "library/SongCache.h"
#include "platform/AlertView.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NotificationCenter.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"
#include "playback/F3BarGauge.h"
#include "playback/PlayInfoPanelViewController.h"
#include "playback/ScrollLabel.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using Screen = ZivoAppDelegate::Screen;

ScreenFactory folderScreens()
{
    ScreenFactory screens = recordingMenu();
    screens.add(Screen::MusicList, [] { return std::make_unique<MusicListViewController>(); });
    screens.add(Screen::MusicSubList, [] { return std::make_unique<MusicSubListViewController>(); });
    return screens;
}

// Tagged one-second songs in a folder of Documents ("" for the root).
void songs(const TestHome &home, const QString &folder, const QStringList &names)
{
    for (const QString &name : names) {
        SongFixtures::Tags tags;
        tags.title = QFileInfo(name).baseName();
        tags.album = QStringLiteral("Album");
        tags.artist = QStringLiteral("Band");
        const QString dir = folder.isEmpty() ? home.documents() : home.documents() + "/" + folder;
        ASSERT_TRUE(SongFixtures::writeMp3(dir + "/" + name, SongFixtures::Tagging::Id3v24, tags));
    }
}

struct Posts
{
    Posts()
    {
        NotificationCenter::defaultCenter().addObserver(&owner, Notify::viewMessageAni, [this](const Notification &n) {
            texts << n.object.toString();
        });
    }
    QObject owner;
    QStringList texts;
};

// The shell with the two folder screens and a panel of the caller's choice.
struct Folders
{
    explicit Folders(PlayInfoPanel *fake = nullptr)
    {
        if (fake)
            delegate.setPlayInfoPanel(fake);
    }
    ~Folders()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
    }
    void open()
    {
        delegate.didFinishLaunchingWithOptions();
        View::removeFromSuperview(delegate.screen(Screen::MusicMain)->view());
        delegate.addMusicListView();
    }
    MusicListViewController *list() const
    {
        return qobject_cast<MusicListViewController *>(delegate.screen(Screen::MusicList));
    }
    MusicSubListViewController *songList() const
    {
        return qobject_cast<MusicSubListViewController *>(delegate.screen(Screen::MusicSubList));
    }
    MusicListCell *folderRow(const QString &name) const
    {
        TableView *table = list()->listTableView();
        for (const IndexPath &p : table->indexPathsForVisibleRows())
            if (auto *cell = qobject_cast<MusicListCell *>(table->cellForRowAtIndexPath(p));
                cell && cell->mainTitleLabel()->text() == name)
                return cell;
        return nullptr;
    }
    TestHome home;
    ZivoAppDelegate delegate{folderScreens()};
};

QString accessible(QWidget *widget, QAccessible::Text what)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(what) : QString();
}

TEST(FolderList, OneRowPerFolderWithItsCountAndPlayButton)
{
    FakePlayer panel;
    Folders f(&panel);
    songs(f.home, "", {"root.mp3"});
    songs(f.home, "rock", {"a.mp3", "b.mp3", "c.mp3"});
    f.home.makeFolder("Empty");
    f.home.makeFolder("CIC");
    f.open();
    MusicListViewController *list = f.list();
    ASSERT_TRUE(list->isOnScreen());
    EXPECT_FALSE(View::isHidden(panel.panelView())) << "the now-playing panel shows above the list";
    EXPECT_EQ(list->sectionTitleArray(), QStringList({"Documents", "Empty", "rock"}));
    EXPECT_EQ(list->listTableView()->rowHeight(), 50);

    MusicListCell *rock = f.folderRow("rock");
    ASSERT_TRUE(rock);
    EXPECT_EQ(rock->subTitleLabel()->text(), "3Files");
    EXPECT_EQ(rock->height(), 50);
    EXPECT_EQ(rock->playButton()->tag(), 2);
    EXPECT_EQ(accessible(rock, QAccessible::Name), "rock");
    EXPECT_EQ(accessible(rock, QAccessible::Description), "3Files");
    EXPECT_EQ(accessible(rock->playButton(), QAccessible::Name), "Play");
    EXPECT_EQ(accessible(rock->playButton(), QAccessible::Description), "rock");
    EXPECT_EQ(f.folderRow("Empty")->subTitleLabel()->text(), "0Files");
    EXPECT_EQ(f.folderRow("Documents")->subTitleLabel()->text(), "1Files");

    // Away, the lists are dropped; back, they are read again (a new folder shows).
    View::removeFromSuperview(list->view());
    EXPECT_TRUE(list->sectionTitleArray().isEmpty());
    f.home.makeFolder("Jazz");
    f.delegate.addMusicListView();
    EXPECT_EQ(list->sectionTitleArray(), QStringList({"Documents", "Empty", "Jazz", "rock"}));

    // The menu button hides the panel and goes back to the menu.
    list->goMusicMainView();
    EXPECT_TRUE(View::isHidden(panel.panelView()));
    EXPECT_TRUE(f.delegate.screen(Screen::MusicMain)->isOnScreen());
    EXPECT_FALSE(list->isOnScreen());
}

TEST(FolderList, ThePlayButtonPlaysTheWholeFolder)
{
    FakePlayer panel;
    Folders f(&panel);
    Posts posts;
    songs(f.home, "", {"root.mp3"});
    songs(f.home, "Rock", {"a.mp3", "b.mp3", "c.mp3"});
    f.home.makeFolder("Empty");
    f.open();
    ViewAnimation::clearHistory();
    f.folderRow("Rock")->playButton()->click();
    EXPECT_EQ(ViewAnimation::count("FlipRightAnimation"), 1);
    EXPECT_EQ(panel.folder, "Rock");
    EXPECT_EQ(panel.index, 0);
    EXPECT_EQ(panel.mode, 0);
    ASSERT_EQ(panel.urls.size(), 3);
    EXPECT_EQ(panel.current, QUrl::fromLocalFile(f.home.documents() + "/Rock/" + f.list()->allSectionArray()[2][0]));
    EXPECT_EQ(panel.calls.count("panel.playMusic"), 1);

    // The root's songs lie directly in Documents.
    f.folderRow("Documents")->playButton()->click();
    EXPECT_EQ(panel.folder, "Documents");
    EXPECT_EQ(panel.urls, QList<QUrl>({QUrl::fromLocalFile(f.home.documents() + "/root.mp3")}));

    // An empty folder cannot be played: a message, and the player is left alone.
    panel.calls.clear();
    f.folderRow("Empty")->playButton()->click();
    EXPECT_EQ(posts.texts, QStringList({"There is no music to play."}));
    EXPECT_TRUE(panel.calls.isEmpty());
    EXPECT_EQ(panel.folder, "Documents");

    // Under shuffle the folder starts anywhere in it.
    UserDefaults::standard().setObject(QStringLiteral("0"), SettingsKeys::appsettingplaymodekey);
    QSet<int> starts;
    for (int i = 0; i < 60; ++i) {
        f.folderRow("Rock")->playButton()->click();
        ASSERT_GE(panel.index, 0);
        ASSERT_LT(panel.index, 3);
        starts << panel.index;
    }
    EXPECT_GT(starts.size(), 1);
}

TEST(FolderList, ASongListShowsTheCacheAndATapPlaysFromThatSong)
{
    FakePlayer panel;
    Folders f(&panel);
    songs(f.home, "Rock", {"a.mp3", "b.mp3", "c.mp3"});
    f.open();
    f.list()->listTableView()->activateCell(f.folderRow("Rock"));
    MusicSubListViewController *songList = f.songList();
    ASSERT_TRUE(songList->isOnScreen());
    EXPECT_FALSE(f.list()->isOnScreen());
    EXPECT_EQ(songList->folderNameLabel()->text(), "Rock");
    EXPECT_EQ(songList->listTableView()->numberOfRowsInSection(0), 3);

    // The first rows start the folder's cache behind the progress overlay; when it is done
    // the rows show album and artist.
    ASSERT_TRUE(waitUntil([&] { return !f.delegate.isOptimizing(); }, 10000));
    for (const QString &name : songList->fileNameArray())
        EXPECT_TRUE(SongCache::hasTagFile("Rock", name)) << name.toStdString();
    TableView *table = songList->listTableView();
    ASSERT_TRUE(waitUntil(
        [&] {
            TableViewCell *cell = table->cellForRowAtIndexPath({0, 0});
            return cell && cell->detailTextLabel()->text() == "Album Band";
        },
        5000));
    TableViewCell *first = table->cellForRowAtIndexPath({0, 0});
    EXPECT_EQ(first->textLabel()->text(), songList->fileNameArray()[0]);
    EXPECT_EQ(first->height(), 50);
    EXPECT_FALSE(first->imageView()->image().isNull()) << "the default picture without a cover";
    EXPECT_EQ(accessible(first, QAccessible::Name), songList->fileNameArray()[0]);
    EXPECT_EQ(accessible(first, QAccessible::Description), "Album Band");

    // A tap plays the folder from that song, shuffle or not.
    UserDefaults::standard().setObject(QStringLiteral("0"), SettingsKeys::appsettingplaymodekey);
    table->activateRow({0, 1});
    EXPECT_EQ(panel.index, 1);
    EXPECT_EQ(panel.folder, "Rock");
    EXPECT_EQ(panel.mode, 0);
    EXPECT_EQ(panel.current, QUrl::fromLocalFile(f.home.documents() + "/Rock/" + songList->fileNameArray()[1]));
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 1}));

    // The list follows the player, for its own folder only.
    songList->scrollToRow(2, "Jazz");
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 1}));
    f.delegate.musicSubListScrollToRow(2, "Rock");
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 2}));
    f.delegate.musicSubListScrollToRow(7, "Rock");
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 2}));

    // Back to the folders; the song list forgets its folder.
    EXPECT_TRUE(songList->escapePressed());
    EXPECT_TRUE(f.list()->isOnScreen());
    EXPECT_TRUE(songList->folderDName().isEmpty());
    EXPECT_TRUE(songList->fileNameArray().isEmpty());
}

TEST(FolderList, AfterAnImportTheListOpensTheImportFolder)
{
    FakePlayer panel;
    Folders f(&panel);
    songs(f.home, "Rock", {"a.mp3"});
    f.delegate.didFinishLaunchingWithOptions();
    View::removeFromSuperview(f.delegate.screen(Screen::MusicMain)->view());
    // Without the folder the list stays, and so does the wish.
    f.delegate.addMusicListViewiPod();
    EXPECT_TRUE(f.list()->isOnScreen());
    EXPECT_TRUE(f.list()->goSublistFlg());
    View::removeFromSuperview(f.list()->view());
    songs(f.home, "iPod_Songs", {"imported.mp3"});
    f.delegate.addMusicListView();
    EXPECT_FALSE(f.list()->isOnScreen());
    EXPECT_FALSE(f.list()->goSublistFlg());
    EXPECT_TRUE(f.songList()->isOnScreen());
    EXPECT_EQ(f.songList()->folderDName(), "iPod_Songs");
    EXPECT_EQ(f.songList()->fileNameArray(), QStringList({"imported.mp3"}));
}

// The real panel with the real lists: tap, play, delete, and the picture of it all.
TEST(FolderPlay, TheRealPanelPlaysATappedSongAndFollowsDeletion)
{
    qputenv("ORBO_AUDIO_OUTPUT", "null");
    const ScopedTranslations english(QLocale(QLocale::English, QLocale::UnitedStates));
    Folders f;
    auto made = std::make_unique<PlayInfoPanelViewController>();
    PlayInfoPanelViewController *panel = made.get();
    f.delegate.installPlayInfoPanel(std::move(made));
    // Songs of two and a half minutes, tagged by the encoder.
    for (const char *name : {"Morning Light", "Rainy Road", "Night Drive"})
        ASSERT_TRUE(SongFixtures::encodeAudio(f.home.documents() + "/Rock/" + name + ".mp3", "0.4*sin(2*PI*330*t)",
                                              150.0,
                                              {"-c:a", "libmp3lame", "-b:a", "64k", "-metadata",
                                               QStringLiteral("title=%1").arg(name), "-metadata", "album=Blue Hours",
                                               "-metadata", "artist=The Quiet Ones"}));
    f.home.makeFolder("Jazz");
    f.open();
    f.list()->listTableView()->activateCell(f.folderRow("Rock"));
    MusicSubListViewController *songList = f.songList();
    ASSERT_TRUE(waitUntil([&] { return !f.delegate.isOptimizing(); }, 10000));
    QCoreApplication::processEvents();
    songList->listTableView()->activateRow({0, 1});
    ASSERT_TRUE(panel->isPlaying());
    EXPECT_EQ(panel->folderLabel()->text(), "Rock [ 2 / 3 ]");
    EXPECT_EQ(panel->curURL().fileName(), songList->fileNameArray()[1]);
    EXPECT_EQ(panel->curFolderD(), "Rock");
    EXPECT_FALSE(View::isHidden(panel->panelView()));
    EXPECT_FALSE(View::isHidden(f.delegate.musicInfoArrowButton()));

    // The picture: the playing panel over the song list.
    ViewAnimation::finishAll();
    panel->pauseMusic();
    panel->setCurrentTime(72.4);
    panel->playOrPauseMusic();
    panel->curMusicNameLabel()->stopScroll();
    panel->levelMeterViewL()->setValue(0.62f);
    panel->levelMeterViewR()->setValue(0.55f);
    ViewAnimation::finishAll();
    QCoreApplication::processEvents();
    const QImage picture = View::snapshot(f.delegate.window());
    EXPECT_EQ(picture.size(), QSize(320, 480));
    EXPECT_TRUE(picture.save(f.home.path() + "/folder-play.png"));
    if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
        EXPECT_TRUE(picture.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/folder-play.png")));
    }

    // Deleting the playing song: the song list deletes it and the next one plays.
    const QString gone = panel->curURL().toLocalFile();
    const QStringList before = songList->fileNameArray();
    NotificationCenter::defaultCenter().postNotificationName(Notify::curFileDelPlayer);
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_EQ(songList->fileNameArray().size(), 2);
    EXPECT_EQ(songList->listTableView()->numberOfRowsInSection(0), 2);
    EXPECT_EQ(panel->curURL().fileName(), before[2]);
    EXPECT_EQ(panel->folderLabel()->text(), "Rock [ 2 / 2 ]");
    EXPECT_EQ(songList->listTableView()->indexPathForSelectedRow(), IndexPath({0, 1})) << "the list follows";
}

} // namespace
