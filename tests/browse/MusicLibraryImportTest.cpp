#include "TestHome.h"
#include "support/ShellFakes.h"
#include "support/HeldExport.h"
#include "support/SongFixtures.h"

#include "app/DDProgressView.h"
#include "app/ZivoAppDelegate.h"
#include "browse/ImportiPodView.h"
#include "browse/MusicListViewController.h"
#include "browse/MusicMainViewController.h"
#include "browse/MusicSubListViewController.h"
#include "library/SettingsKeys.h"
#include "library/SongCache.h"
#include "platform/ActivityIndicator.h"
#include "platform/AlertView.h"
#include "platform/Button.h"
#include "platform/IdleTimer.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/Translations.h"
#include "platform/ViewAnimation.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

using Screen = ZivoAppDelegate::Screen;
using Entry = MusicMainViewController::Entry;
using Tags = SongFixtures::Tags;

ScreenFactory importScreens()
{
    ScreenFactory screens;
    screens.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
    screens.add(Screen::MusicList, [] { return std::make_unique<MusicListViewController>(); });
    screens.add(Screen::MusicSubList, [] { return std::make_unique<MusicSubListViewController>(); });
    return screens;
}

Tags tags(const char *title, const char *artist)
{
    Tags t;
    t.title = QString::fromUtf8(title);
    t.artist = QString::fromUtf8(artist);
    t.encoding = SongFixtures::Text::Utf8;
    return t;
}

// The shell with the menu and the folder screens, over a music folder in the test's home.
struct Import
{
    Import()
    {
        music = home.path() + "/Music";
        QDir().mkpath(music);
        delegate.setPlayInfoPanel(&player);
        delegate.didFinishLaunchingWithOptions();
        menu = qobject_cast<MusicMainViewController *>(delegate.screen(Screen::MusicMain));
        menu->mediaLibrary().setFolder(music);
    }
    ~Import()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
        AssetExportSession::setPacketHook(nullptr);
        AssetExportSession::waitForExports(20000);
    }
    MusicLibraryImport &import() const { return menu->libraryImport(); }
    ImportiPodView *overlay() const { return import().iPodTransView(); }
    QString importFolder() const { return home.documents() + "/iPod_Songs"; }
    QStringList imported() const
    {
        return QDir(importFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    // Opens the picker from the menu entry, picks the songs at these rows and presses Done.
    void pick(int songsInLibrary, const QList<int> &rows)
    {
        ASSERT_TRUE(menu->button(Entry::IPod)->isEnabled());
        menu->button(Entry::IPod)->click();
        MediaPickerController *picker = menu->mediaPicker();
        ASSERT_TRUE(picker && picker->isOnScreen());
        EXPECT_EQ(picker->prompt(), QStringLiteral("Copy songs to 'iPod_Songs' Folder"));
        ASSERT_TRUE(waitUntil([&] { return picker->shownItems().size() == songsInLibrary; }, 20000));
        for (int row : rows)
            picker->tableView()->activateRow({0, row});
        picker->navigationBar()->rightButton()->click();
        EXPECT_FALSE(picker->isOnScreen());
        EXPECT_FALSE(menu->mediaPicker());
    }
    AlertView *alert(const QString &title) const
    {
        for (AlertView *shown : AlertView::visibleAlerts())
            if (shown->title() == title)
                return shown;
        return nullptr;
    }
    QStringList alertTitles() const
    {
        QStringList titles;
        for (AlertView *shown : AlertView::visibleAlerts())
            titles << shown->title();
        return titles;
    }
    AlertView *waitForAlert(const QString &title) const
    {
        waitUntil([&] { return alert(title) != nullptr; }, 20000);
        return alert(title);
    }

    TestHome home;
    QString music;
    FakePlayer player;
    ZivoAppDelegate delegate{importScreens()};
    MusicMainViewController *menu = nullptr;
};

TEST(MusicLibraryImport, CopiesThePickedSongsWithTheirCacheFilesAndOpensTheFolder)
{
    Import m;
    UserDefaults::standard().setObject(QStringLiteral("1"), SettingsKeys::ScreenAutoSleepModeKey);
    Tags intro = tags("Intro", "Band");
    intro.album = QStringLiteral("Album");
    intro.lyrics = QStringLiteral("la la la");
    intro.picture = SongFixtures::jpeg(600, 400);
    ASSERT_TRUE(SongFixtures::writeMp3(m.music + "/intro.mp3", SongFixtures::Tagging::Id3v24, intro));
    ASSERT_TRUE(SongFixtures::writeM4a(m.music + "/second.m4a", tags("Second", "Band")));
    Tags live = tags("AC/DC Live", "Band");
    live.picture = SongFixtures::png(50, 50);
    live.pictureMime = "image/png";
    ASSERT_TRUE(SongFixtures::writeXiph(m.music + "/deep/live.flac", SongFixtures::Xiph::Flac, live));
    ASSERT_TRUE(SongFixtures::writeMp3(m.music + "/other.mp3", SongFixtures::Tagging::Id3v24, tags("Zzz", "Zed")));

    m.pick(4, {0, 1, 2});
    ASSERT_TRUE(m.overlay());
    EXPECT_TRUE(m.overlay()->isVisible());
    EXPECT_EQ(m.overlay()->parentWidget(), m.menu->view());
    EXPECT_EQ(m.overlay()->iPodFileCountLabel()->text(), QStringLiteral("1/3"));
    EXPECT_EQ(m.overlay()->iPodFileNameLabel()->text(), QStringLiteral("AC_DC Live-Band.m4a"));
    EXPECT_EQ(m.overlay()->iPodTitleLabel()->text(), QStringLiteral("AC/DC Live"));
    EXPECT_EQ(m.overlay()->iPodArtistLabel()->text(), QStringLiteral("Band"));
    EXPECT_EQ(m.overlay()->iPodTransMsgLabel()->text(), QStringLiteral("Copy songs from iPod library"));
    EXPECT_TRUE(m.overlay()->iPodActivityView()->isAnimating());
    EXPECT_TRUE(m.import().isProgressTimerActive());
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());

    AlertView *complete = m.waitForAlert("Complete copy songs");
    ASSERT_TRUE(complete) << qPrintable(m.alertTitles().join(", "));
    EXPECT_EQ(complete->buttonTitleAtIndex(0), QStringLiteral("Go iPod_Songs"));
    EXPECT_EQ(complete->buttonTitleAtIndex(1), QStringLiteral("Go Home"));
    EXPECT_TRUE(complete->message().isEmpty());
    EXPECT_EQ(m.alertTitles(), QStringList({"Complete copy songs"}));
    EXPECT_EQ(m.overlay()->iPodFileCountLabel()->text(), QStringLiteral("3/3"));
    EXPECT_FALSE(m.overlay()->iPodActivityView()->isAnimating());
    EXPECT_FALSE(m.import().isProgressTimerActive());
    EXPECT_FALSE(m.import().isRunning());
    EXPECT_EQ(m.import().mediaItemIndex(), 0);
    EXPECT_FALSE(m.import().exportSession());
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled()) << "screen sleep is off in the settings";

    // The songs, named title-artist, with a name that stays one file; nothing else.
    EXPECT_EQ(m.imported(), QStringList({"AC_DC Live-Band.m4a", "Intro-Band.m4a", "Second-Band.m4a"}));
    // The cache record holds each property the song has, and only those.
    EXPECT_EQ(SongCache::readTagFile("iPod_Songs", "Intro-Band.m4a"),
              QVariantMap({{"title", "Intro"}, {"albumName", "Album"}, {"artist", "Band"}, {"lyrics", "la la la"}}));
    EXPECT_EQ(SongCache::readTagFile("iPod_Songs", "Second-Band.m4a"),
              QVariantMap({{"title", "Second"}, {"artist", "Band"}}));
    // Artwork files only for songs with a cover: 92 x 92, and the full cover kept within 320.
    EXPECT_TRUE(SongCache::readArtwork("iPod_Songs", "Second-Band.m4a").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(SongCache::fullArtworkFilePath("iPod_Songs", "Second-Band.m4a")));
    const QImage small = QImage::fromData(SongCache::readArtwork("iPod_Songs", "Intro-Band.m4a"), "PNG");
    EXPECT_EQ(small.size(), QSize(92, 92));
    EXPECT_EQ(QImage(SongCache::fullArtworkFilePath("iPod_Songs", "Intro-Band.m4a")).size(), QSize(320, 213));
    EXPECT_EQ(QImage(SongCache::fullArtworkFilePath("iPod_Songs", "AC_DC Live-Band.m4a")).size(), QSize(50, 50));

    // "Go iPod_Songs": the folder list opens straight into the folder's songs.
    complete->dismissWithClickedButtonIndex(0);
    auto *songs = qobject_cast<MusicSubListViewController *>(m.delegate.screen(Screen::MusicSubList));
    ASSERT_TRUE(waitUntil([&] { return songs->isOnScreen(); }));
    EXPECT_FALSE(m.menu->isOnScreen());
    EXPECT_EQ(songs->folderDName(), QStringLiteral("iPod_Songs"));
    QStringList listed = songs->fileNameArray();
    listed.sort();
    EXPECT_EQ(listed, m.imported());
    EXPECT_TRUE(waitUntil([&] { return !m.overlay(); }));
}

TEST(MusicLibraryImport, CopyProtectedAndFailingSongsAreSkippedWithAnAlertAndTheImportGoesOn)
{
    Import m;
    ASSERT_TRUE(SongFixtures::writeMp3(m.music + "/a.mp3", SongFixtures::Tagging::Id3v24, tags("A", "Band")));
    ASSERT_TRUE(SongFixtures::writeM4a(m.music + "/b.m4p", tags("B", "Band")));
    ASSERT_TRUE(SongFixtures::writeMp3(m.music + "/d.mp3", SongFixtures::Tagging::Id3v24, tags("D", "Band")));
    ASSERT_TRUE(SongFixtures::writeBytes(m.music + "/broken.mp3", QByteArray(20000, '\x5a')));
    ASSERT_TRUE(SongFixtures::writeEncryptedM4a(m.music + "/locked.m4a"));
    ASSERT_TRUE(SongFixtures::writeBytes(m.importFolder() + "/broken-.m4a", "an earlier song of that name"));

    m.pick(5, {0, 1, 2, 3, 4});
    // B is copy-protected: the import waits for the alert, whose message is the file name.
    AlertView *drm = m.waitForAlert("Do not support DRM");
    ASSERT_TRUE(drm);
    EXPECT_EQ(drm->message(), QStringLiteral("B-Band.m4a"));
    EXPECT_EQ(drm->buttonTitleAtIndex(0), QStringLiteral("OK"));
    EXPECT_EQ(m.overlay()->iPodFileCountLabel()->text(), QStringLiteral("2/5"));
    EXPECT_FALSE(m.import().exportSession());
    // Its tags were written before the refusal.
    EXPECT_EQ(SongCache::readTagFile("iPod_Songs", "B-Band.m4a"), QVariantMap({{"title", "B"}, {"artist", "Band"}}));
    EXPECT_EQ(m.imported(), QStringList({"A-Band.m4a", "broken-.m4a"}));
    drm->dismissWithClickedButtonIndex(0);

    // D is copied; broken.mp3 fails with its alert and the import goes on without waiting;
    // locked.m4a has encrypted audio: refused like B.
    drm = m.waitForAlert("Do not support DRM");
    ASSERT_TRUE(drm) << qPrintable(m.alertTitles().join(", "));
    EXPECT_EQ(drm->message(), QStringLiteral("locked-.m4a"));
    AlertView *failed = m.alert("broken-.m4a Failed");
    ASSERT_TRUE(failed) << qPrintable(m.alertTitles().join(", "));
    EXPECT_TRUE(failed->message().isEmpty());
    EXPECT_EQ(failed->numberOfButtons(), 1);
    drm->dismissWithClickedButtonIndex(0);
    ASSERT_TRUE(m.waitForAlert("Complete copy songs"));

    // No partial files; the earlier song named like the failed one is still whole.
    EXPECT_EQ(m.imported(), QStringList({"A-Band.m4a", "D-Band.m4a", "broken-.m4a"}));
    QFile earlier(m.importFolder() + "/broken-.m4a");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("an earlier song of that name"));

    // "Go Home": the menu stays, the overlay goes.
    m.alert("Complete copy songs")->dismissWithClickedButtonIndex(1);
    EXPECT_TRUE(m.menu->isOnScreen());
    EXPECT_TRUE(waitUntil([&] { return !m.overlay(); }));
}

TEST(MusicLibraryImport, CancellingDuringTheThirdOfFiveKeepsTheFirstTwoAndNothingElse)
{
    Import m;
    UserDefaults::standard().setObject(QStringLiteral("0"), SettingsKeys::ScreenAutoSleepModeKey);
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(SongFixtures::writeMp3(QStringLiteral("%1/s%2.mp3").arg(m.music).arg(i),
                                           SongFixtures::Tagging::Id3v24,
                                           tags(QStringLiteral("S%1").arg(i).toUtf8().constData(), "Band")));
    HeldExport hold("/s3.mp3");
    m.pick(5, {0, 1, 2, 3, 4});
    ASSERT_TRUE(waitUntil([&] { return hold.reached.tryAcquire(); }, 20000));
    EXPECT_EQ(m.overlay()->iPodFileCountLabel()->text(), QStringLiteral("3/5"));
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());
    // The bar shows the export's progress when the timer asks.
    ASSERT_TRUE(m.import().exportSession());
    EXPECT_TRUE(m.import().isProgressTimerActive());
    m.import().updateExportProgress();
    EXPECT_GT(m.overlay()->iPodProgressView()->progress(), 0.f);
    EXPECT_EQ(m.overlay()->iPodProgressView()->progress(), m.import().exportSession()->progress());

    // The overlay covers the menu: its entries cannot be used meanwhile.
    m.menu->goMusicListView();
    m.menu->showiPodLib();
    EXPECT_TRUE(m.menu->isOnScreen());
    EXPECT_FALSE(m.menu->mediaPicker());

    m.overlay()->iPodCancelButton()->click();
    EXPECT_FALSE(m.import().isRunning());
    EXPECT_FALSE(m.import().exportSession());
    EXPECT_FALSE(m.import().isProgressTimerActive());
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled()) << "screen sleep is on in the settings";
    hold.go.release();
    ASSERT_TRUE(AssetExportSession::waitForExports(20000));
    waitUntil([] { return false; }, 200); // whatever the export still hands to the main thread
    EXPECT_EQ(m.imported(), QStringList({"S1-Band.m4a", "S2-Band.m4a"}));
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    EXPECT_FALSE(m.overlay());
    EXPECT_TRUE(m.menu->isOnScreen());
}

TEST(MusicLibraryImport, ACancelArrivingAsAnExportCompletesEndsTheImportThere)
{
    Import m;
    ASSERT_TRUE(SongFixtures::writeMp3(m.music + "/one.mp3", SongFixtures::Tagging::Id3v24, tags("One", "Band")));
    ASSERT_TRUE(SongFixtures::writeMp3(m.music + "/two.mp3", SongFixtures::Tagging::Id3v24, tags("Two", "Band")));
    m.pick(2, {0, 1});
    AssetExportSession *session = m.import().exportSession();
    ASSERT_TRUE(session);
    // The first export finishes; its completion waits for the main thread, which is busy
    // with the user's cancel (no events are handled until then).
    QDeadlineTimer deadline(20000);
    while (session->status() != AssetExportSession::Status::Completed && !deadline.hasExpired())
        QThread::msleep(2);
    ASSERT_EQ(session->status(), AssetExportSession::Status::Completed);
    m.overlay()->iPodCancelButton()->click();
    ASSERT_TRUE(AssetExportSession::waitForExports(20000));
    waitUntil([] { return false; }, 300);

    // The completed song stays; nothing moved on to the second one or to the end.
    EXPECT_EQ(m.imported(), QStringList({"One-Band.m4a"}));
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty()) << qPrintable(m.alertTitles().join(", "));
    EXPECT_FALSE(m.import().isRunning());
    EXPECT_FALSE(m.import().exportSession());
    EXPECT_FALSE(m.import().isProgressTimerActive());
    EXPECT_FALSE(m.overlay());
}

TEST(MusicLibraryImport, APickerLeftWithCancelOrWithoutSongsStartsNothing)
{
    Import m;
    ASSERT_TRUE(SongFixtures::writeMp3(m.music + "/one.mp3", SongFixtures::Tagging::Id3v24, tags("One", "Band")));
    m.pick(1, {});
    EXPECT_FALSE(m.overlay());
    EXPECT_FALSE(m.import().isRunning());

    m.menu->showiPodLib();
    ASSERT_TRUE(m.menu->mediaPicker());
    m.menu->mediaPicker()->navigationBar()->leftButton()->click();
    EXPECT_FALSE(m.menu->mediaPicker());
    EXPECT_TRUE(m.menu->isOnScreen());
    EXPECT_FALSE(m.overlay());
    EXPECT_FALSE(QFileInfo::exists(m.importFolder()));

    // Without the folder screens there is nowhere to show the songs: the entry is off.
    TestHome other;
    ScreenFactory menuOnly;
    menuOnly.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
    ZivoAppDelegate bare(menuOnly);
    bare.didFinishLaunchingWithOptions();
    auto *menu = qobject_cast<MusicMainViewController *>(bare.screen(Screen::MusicMain));
    EXPECT_FALSE(menu->button(Entry::IPod)->isEnabled());
    menu->showiPodLib();
    EXPECT_FALSE(menu->mediaPicker());
}

TEST(MusicLibraryImport, TakesPicturesOfThePickerAndTheProgressOverlay)
{
    Translations::install(QLocale(QLocale::English, QLocale::UnitedStates));
    Import m;
    const char *songs[][3] = {{"Blue Hour", "Aster", "Evenings"},   {"Cold Harbour", "Aster", "Evenings"},
                              {"Paper Moon", "Birch Lane", "Maps"}, {"Quiet Street", "Birch Lane", "Maps"},
                              {"Salt Flats", "Cedar", "Crossing"},  {"Long Way Home", "Cedar", "Crossing"},
                              {"Tidewater", "Delta Nine", "Shore"}};
    int n = 0;
    for (const auto &song : songs) {
        Tags t = tags(song[0], song[1]);
        t.album = QString::fromUtf8(song[2]);
        t.picture = SongFixtures::jpeg(300, 300, QColor::fromHsv(n * 47 % 360, 160, 200), QColor(30, 30, 40));
        ASSERT_TRUE(SongFixtures::writeMp3(QStringLiteral("%1/%2.mp3").arg(m.music).arg(n++),
                                           SongFixtures::Tagging::Id3v24, t));
    }
    const QString longSong = m.music + "/long.mp3";
    ASSERT_TRUE(SongFixtures::encodeAudio(longSong, "sin(330*2*PI*t)", 20, {"-c:a", "libmp3lame", "-b:a", "96k"}));
    Tags longTags = tags("Northern Lights", "Elm Street");
    longTags.picture = SongFixtures::jpeg(300, 300, QColor(40, 170, 160), QColor(230, 180, 60));
    ASSERT_TRUE(SongFixtures::tagMp3(longSong, SongFixtures::Tagging::Id3v24, longTags));
    const QString pictures = m.home.path() + "/pictures/";
    ASSERT_TRUE(QDir().mkpath(pictures));
    const auto save = [&](const QImage &shot, const QString &name) {
        EXPECT_EQ(shot.size(), QSize(320, 480));
        EXPECT_TRUE(shot.save(pictures + name));
        if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
            EXPECT_TRUE(shot.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/") + name));
        }
    };

    ViewAnimation::finishAll();
    m.menu->button(Entry::IPod)->click();
    MediaPickerController *picker = m.menu->mediaPicker();
    ASSERT_TRUE(waitUntil([&] { return picker->shownItems().size() == 8; }, 20000));
    picker->tableView()->activateRow({0, 1});
    picker->tableView()->activateRow({0, 3});
    picker->tableView()->activateRow({0, 7}); // the long song
    save(View::snapshot(m.delegate.window()), "music-library-picker.png");

    // Held in the middle of the third song, with the bar where the export is.
    HeldExport hold("/long.mp3", 400);
    picker->navigationBar()->rightButton()->click();
    ASSERT_TRUE(waitUntil([&] { return hold.reached.tryAcquire(); }, 20000));
    m.import().updateExportProgress();
    EXPECT_GT(m.overlay()->iPodProgressView()->progress(), 0.3f);
    save(View::snapshot(m.delegate.window()), "music-library-import.png");
    m.overlay()->iPodCancelButton()->click();
    Translations::uninstall();
}

} // namespace
