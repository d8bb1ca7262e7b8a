#include "PlaylistShell.h"
#include "support/SongFixtures.h"

#include "library/SettingsKeys.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/NavigationBar.h"
#include "platform/UserDefaults.h"
#include "playback/F3BarGauge.h"
#include "playback/PlayInfoPanelViewController.h"
#include "playback/ScrollLabel.h"
#include "browse/PlaybackListCell.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

namespace {

using Shell = PlaylistShell;

struct Playing : Shell
{
    explicit Playing(PlayInfoPanel *panel = nullptr) : Shell(panel) {}
    void openPlaylists()
    {
        launch();
        delegate.addPlaybackListFileListView();
    }
    PlaybackListCell *playlistRow(const QString &name) const
    {
        return qobject_cast<PlaybackListCell *>(Shell::row(playlists()->listTableView(), name));
    }
    QUrl url(const QString &relative) const { return QUrl::fromLocalFile(home.documents() + "/" + relative); }
};

TEST(PlaybackList, RowsCountTheSongsAndThePlayButtonPlaysTheWholePlaylist)
{
    FakePlayer panel;
    Playing p(&panel);
    p.home.writeFile("Rock/a.mp3");
    p.home.writeFile("b.mp3");
    storePlaylist("Road", {"Rock/a.mp3", "/b.mp3", "Rock/a.mp3", "Gone/x.mp3"});
    storePlaylist("Empty", {});
    p.openPlaylists();
    PlaybackListViewController *list = p.playlists();
    ASSERT_TRUE(list->isOnScreen());
    EXPECT_FALSE(View::isHidden(panel.panelView())) << "the now-playing panel shows above the list";
    EXPECT_EQ(list->navigationBar()->title(), "Main Playlists");
    EXPECT_EQ(list->songFolderArray(), QStringList({"Empty", "Road"}));
    PlaybackListCell *road = p.playlistRow("Road");
    ASSERT_TRUE(road);
    EXPECT_EQ(road->subTitleLabel()->text(), "4Songs");
    EXPECT_EQ(road->height(), 50);
    EXPECT_EQ(road->playButton()->tag(), 1);
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(road->playButton());
    EXPECT_EQ(button->text(QAccessible::Name), "Play");
    EXPECT_EQ(button->text(QAccessible::Description), "Road");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(road)->text(QAccessible::Description), "4Songs");

    // The whole playlist in entry order, duplicates and missing files included, from the start.
    road->playButton()->click();
    EXPECT_EQ(ViewAnimation::last("FlipRightAnimation").views.value(0), road->playButton());
    EXPECT_EQ(panel.folder, "Road");
    EXPECT_EQ(panel.urls, QList<QUrl>({p.url("Rock/a.mp3"), p.url("b.mp3"), p.url("Rock/a.mp3"), p.url("Gone/x.mp3")}));
    EXPECT_EQ(panel.index, 0);
    EXPECT_EQ(panel.mode, 1);
    EXPECT_EQ(panel.current, p.url("Rock/a.mp3"));
    EXPECT_EQ(panel.calls.last(), "panel.playMusic");

    // An empty playlist cannot be played; the player is left as it was.
    panel.calls.clear();
    p.playlistRow("Empty")->playButton()->click();
    EXPECT_EQ(p.messages.last(), "There is no music to play.");
    EXPECT_TRUE(panel.calls.isEmpty());
    EXPECT_EQ(panel.folder, "Road");
    EXPECT_TRUE(PlaylistStore::load().contains("Empty")) << "playing never changes the store";
}

TEST(PlaybackList, UnderShuffleThePlayButtonStartsAnywhere)
{
    FakePlayer panel;
    Playing p(&panel);
    QStringList entries;
    for (int i = 0; i < 10; ++i)
        entries << QStringLiteral("/%1.mp3").arg(i);
    storePlaylist("Ten", entries);
    UserDefaults::standard().setObject(QStringLiteral("0"), SettingsKeys::appsettingplaymodekey);
    p.openPlaylists();
    QSet<int> starts;
    for (int i = 0; i < 40; ++i) {
        p.playlistRow("Ten")->playButton()->click();
        ASSERT_GE(panel.index, 0);
        ASSERT_LT(panel.index, 10);
        EXPECT_EQ(panel.current, panel.urls.value(panel.index));
        starts.insert(panel.index);
    }
    // 40 draws from 10 landing on one index has a chance of 1 in 10^39.
    EXPECT_GT(starts.size(), 1);
}

TEST(PlaybackList, APlaylistsSongsShowDeletedFilesAndATapPlaysFromThere)
{
    FakePlayer panel;
    Playing p(&panel);
    p.home.writeFile("Rock/a.mp3");
    p.home.writeFile("b.mp3");
    storePlaylist("Road", {"Rock/a.mp3", "/b.mp3", "Gone/x.mp3"});
    UserDefaults::standard().setObject(QStringLiteral("0"), SettingsKeys::appsettingplaymodekey);
    p.openPlaylists();
    p.playlists()->listTableView()->activateCell(p.playlistRow("Road"));
    PlaybackSubListViewController *songs = p.playlistSongs();
    ASSERT_TRUE(songs->isOnScreen());
    EXPECT_FALSE(p.playlists()->isOnScreen());
    EXPECT_TRUE(p.playlists()->songFolderArray().isEmpty()) << "the list dropped its arrays";
    EXPECT_EQ(songs->folderNameLabel()->text(), "Road");
    EXPECT_FALSE(View::isHidden(panel.panelView()));
    TableView *table = songs->listTableView();
    EXPECT_EQ(Shell::titles(table), QStringList({"a.mp3", "b.mp3", "x.mp3"}));
    QList<TableViewCell *> rows = Shell::rows(table);
    EXPECT_EQ(Shell::details(rows[0]), "a.mp3") << "no tags: the file name";
    EXPECT_EQ(Shell::titleColour(rows[0]), QColor(Qt::white));
    EXPECT_EQ(Shell::details(rows[2]), "Deleted files.");
    EXPECT_EQ(Shell::titleColour(rows[2]).red(), 255);
    EXPECT_LT(Shell::titleColour(rows[2]).green(), 120);
    EXPECT_EQ(rows[0]->imageView()->image().toImage(), ImageView::imageNamed("noAlbumImage.png").toImage());

    // A tap plays from the tapped entry whatever the shuffle, the missing file in the list.
    table->activateCell(rows[1]);
    EXPECT_EQ(panel.index, 1);
    EXPECT_EQ(panel.mode, 1);
    EXPECT_EQ(panel.folder, "Road");
    EXPECT_EQ(panel.urls, QList<QUrl>({p.url("Rock/a.mp3"), p.url("b.mp3"), p.url("Gone/x.mp3")}));
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 1}));
    table->activateCell(Shell::rows(table)[2]);
    EXPECT_EQ(panel.current, p.url("Gone/x.mp3")) << "a deleted entry goes to the player like any other";

    // The player moves within the playlist: the list follows; for another playlist it does not.
    p.delegate.playBackListScrollToRow(0, "Road");
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 0}));
    p.delegate.playBackListScrollToRow(1, "Other");
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 0}));
    p.delegate.playBackListScrollToRow(7, "Road");
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 0}));

    // A file deleted meanwhile shows as deleted at the next reload; the entry stays.
    QFile::remove(p.home.documents() + "/b.mp3");
    table->reloadData();
    EXPECT_EQ(Shell::details(Shell::rows(table)[1]), "Deleted files.");
    EXPECT_NE(Shell::titleColour(Shell::rows(table)[0]), Shell::titleColour(Shell::rows(table)[1]));

    // The player's delete command: the file goes, the entry stays and shows as deleted.
    EXPECT_TRUE(songs->holdsSongs());
    songs->delFileAtIndex(p.url("Rock/a.mp3"));
    EXPECT_FALSE(QFile::exists(p.home.documents() + "/Rock/a.mp3"));
    EXPECT_EQ(Shell::details(Shell::rows(table)[0]), "Deleted files.");
    EXPECT_EQ(PlaylistStore::load().entries("Road").size(), 3);

    // Back, then home.
    songs->goBack();
    EXPECT_TRUE(p.playlists()->isOnScreen());
    EXPECT_FALSE(songs->holdsSongs()) << "the song list dropped its name";
    EXPECT_TRUE(p.playlists()->holdsSongs());
    p.playlists()->goMusicMainView();
    EXPECT_TRUE(View::isHidden(panel.panelView()));
    EXPECT_TRUE(p.delegate.screen(Screen::MusicMain)->isOnScreen());
    EXPECT_FALSE(p.playlists()->holdsSongs());
}

TEST(PlaybackList, NoPlaylistsShowAnEmptyList)
{
    FakePlayer panel;
    Playing p(&panel);
    p.openPlaylists();
    EXPECT_EQ(p.playlists()->listTableView()->numberOfRowsInSection(0), 0);
    EXPECT_TRUE(p.playlists()->escapePressed());
    EXPECT_TRUE(p.delegate.screen(Screen::MusicMain)->isOnScreen());
}

// The real panel: a tap plays, the list follows the player, and deleting the playing song
// through the player removes the file but keeps the entry.
TEST(PlaylistPlay, TheRealPanelPlaysAPlaylistAndFollowsDeletion)
{
    qputenv("ORBO_AUDIO_OUTPUT", "null");
    Playing p;
    Translations::install(QLocale(QLocale::English, QLocale::UnitedStates));
    auto made = std::make_unique<PlayInfoPanelViewController>();
    PlayInfoPanelViewController *panel = made.get();
    p.delegate.installPlayInfoPanel(std::move(made));
    const QStringList titles{"Morning Light", "Rainy Road", "Night Drive"};
    const QStringList folders{"Rock", "Jazz", "Rock"};
    QStringList entries;
    for (int i = 0; i < 3; ++i) {
        const QString entry = folders[i] + "/" + titles[i] + ".mp3";
        ASSERT_TRUE(SongFixtures::encodeAudio(p.home.documents() + "/" + entry, "0.4*sin(2*PI*330*t)", 150.0,
                                              {"-c:a", "libmp3lame", "-b:a", "64k", "-metadata",
                                               QStringLiteral("title=%1").arg(titles[i]), "-metadata",
                                               "album=Blue Hours", "-metadata", "artist=The Quiet Ones"}));
        entries << entry;
    }
    storePlaylist("Road", entries);
    storePlaylist("Morning", {entries[0]});
    p.openPlaylists();
    p.playlists()->listTableView()->activateCell(p.playlistRow("Road"));
    PlaybackSubListViewController *songs = p.playlistSongs();
    TableView *table = songs->listTableView();
    EXPECT_EQ(Shell::details(Shell::rows(table)[1]), "Blue Hours The Quiet Ones") << "album and artist from the loader";
    EXPECT_FALSE(Shell::rows(table)[1]->imageView()->image().isNull());

    table->activateCell(Shell::rows(table)[1]);
    ASSERT_TRUE(panel->isPlaying());
    EXPECT_EQ(panel->playListMode(), 1);
    EXPECT_EQ(panel->folderLabel()->text(), "Road [ 2 / 3 ]");
    EXPECT_EQ(panel->curURL(), QUrl::fromLocalFile(p.home.documents() + "/" + entries[1]));

    // Next: the list follows to the third row.
    panel->playMusicNextUi();
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 2}));

    // The picture: the playing panel over the playlist's songs.
    ViewAnimation::finishAll();
    panel->pauseMusic();
    panel->setCurrentTime(48.2);
    panel->playOrPauseMusic();
    panel->curMusicNameLabel()->stopScroll();
    panel->levelMeterViewL()->setValue(0.58f);
    panel->levelMeterViewR()->setValue(0.5f);
    ViewAnimation::finishAll();
    QCoreApplication::processEvents();
    const QImage picture = View::snapshot(p.delegate.window());
    EXPECT_EQ(picture.size(), QSize(320, 480));
    EXPECT_TRUE(picture.save(p.home.path() + "/playlist-play.png"));
    if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
        EXPECT_TRUE(picture.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/playlist-play.png")));
    }

    // Deleting the playing song: the file goes, the entry stays (shown deleted), the next plays.
    const QString gone = panel->curURL().toLocalFile();
    NotificationCenter::defaultCenter().postNotificationName(Notify::curFileDelPlayer);
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_EQ(PlaylistStore::load().entries("Road"), entries);
    EXPECT_EQ(Shell::details(Shell::rows(table)[2]), "Deleted file");
    EXPECT_EQ(panel->curURL(), QUrl::fromLocalFile(p.home.documents() + "/" + entries[0])) << "Repeat On wraps";
    EXPECT_EQ(panel->folderLabel()->text(), "Road [ 1 / 3 ]");
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({0, 0}));
    Translations::uninstall();
}

} // namespace
