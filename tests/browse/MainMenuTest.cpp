#include "support/ScopedTranslations.h"
#include "TestHome.h"
#include "library/NotificationNames.h"
#include "support/ShellFakes.h"

#include "app/ZivoAppDelegate.h"
#include "app/MessageIconView.h"
#include "app/Util.h"
#include "browse/MusicMainViewController.h"
#include "platform/AlertView.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/Translations.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QAbstractAnimation>
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

using Screen = ZivoAppDelegate::Screen;
using Entry = MusicMainViewController::Entry;

namespace {

ScreenFactory menuScreens()
{
    ScreenFactory screens;
    screens.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
    return screens;
}

struct Menu
{
    Menu() { delegate.setPlayInfoPanel(&player); }
    void launch()
    {
        delegate.didFinishLaunchingWithOptions();
        menu = qobject_cast<MusicMainViewController *>(delegate.screen(Screen::MusicMain));
    }
    TestHome home;
    FakePlayer player;
    ZivoAppDelegate delegate{menuScreens()};
    MusicMainViewController *menu = nullptr;
};

TEST(MainMenu, EightEntriesInOrderOnlyThoseWithAScreenEnabled)
{
    Menu m;
    auto *allSongs = new RecordingScreen("all");
    auto *playlists = new RecordingScreen("playlists");
    m.delegate.setScreen(Screen::MusicAllList, std::unique_ptr<ZivoViewController>(allSongs));
    m.delegate.setScreen(Screen::PlayList, std::unique_ptr<ZivoViewController>(playlists));
    m.launch();
    const QStringList keys = {"Main All Songs",          "Main Folder Play",
                              "Main Playlists",          "Main Managing Folders",
                              "Main Managing Playlists", "Main iPod Library",
                              "Main File Transfer",      "Main Settings"};
    for (int i = 0; i < Entry::EntryCount; ++i) {
        EXPECT_EQ(MusicMainViewController::captionKey(Entry(i)), keys[i]);
        EXPECT_EQ(m.menu->label(Entry(i))->text(), keys[i]); // no table installed: the key itself
        EXPECT_EQ(m.menu->button(Entry(i))->tag(), i);
    }
    EXPECT_TRUE(m.menu->button(Entry::AllSongs)->isEnabled());
    EXPECT_TRUE(m.menu->button(Entry::PlaylistSetting)->isEnabled());
    for (Entry e :
         {Entry::Folder, Entry::Playlist, Entry::FolderSetting, Entry::IPod, Entry::Transfer, Entry::Settings})
        EXPECT_FALSE(m.menu->button(e)->isEnabled()) << int(e);

    // Entry 1 leaves the menu for the all-songs list.
    m.menu->button(Entry::AllSongs)->click();
    EXPECT_FALSE(m.menu->isOnScreen());
    EXPECT_TRUE(allSongs->isOnScreen());
    EXPECT_EQ(m.delegate.currentViewController(), allSongs);

    // Back to the menu; entry 5 goes through the notification bus.
    View::removeFromSuperview(allSongs->view());
    m.delegate.addMusicMainView();
    m.menu->button(Entry::PlaylistSetting)->click();
    EXPECT_TRUE(playlists->isOnScreen());
    EXPECT_FALSE(m.menu->isOnScreen());
    EXPECT_EQ(m.delegate.currentViewController(), playlists);

    // A disabled entry's operation leaves the menu where it is.
    View::removeFromSuperview(playlists->view());
    m.delegate.addMusicMainView();
    m.menu->goSettingsView();
    m.menu->goHelpView();
    EXPECT_TRUE(m.menu->isOnScreen());
    EXPECT_EQ(m.delegate.currentViewController(), m.menu);
}

TEST(MainMenu, TheOpeningAnimationRunsOnTheFirstAppearanceOnly)
{
    Menu m;
    ViewAnimation::clearHistory();
    m.launch();
    ASSERT_EQ(ViewAnimation::count("loadingAni"), 1);
    const ViewAnimation::Record opening = ViewAnimation::last("loadingAni");
    EXPECT_EQ(opening.durationMs, 700);
    EXPECT_EQ(opening.targets.value(0).toRect(), QRect(0, -300, 320, 300));
    EXPECT_EQ(opening.targets.value(1).toRect(), QRect(0, 480, 320, 180));
    ASSERT_TRUE(m.menu->upImageView());
    ViewAnimation::finishAll();
    EXPECT_FALSE(m.menu->upImageView());
    EXPECT_FALSE(m.menu->downImageView());

    View::removeFromSuperview(m.menu->view());
    m.delegate.addMusicMainView();
    EXPECT_EQ(ViewAnimation::count("loadingAni"), 1);
}

TEST(MainMenu, TheEntryOfThePlayingListBlinks)
{
    Menu m;
    m.launch();
    ImageView *highlight = m.menu->selectedImage();
    EXPECT_FALSE(highlight->isVisible());

    const auto revisit = [&] {
        View::removeFromSuperview(m.menu->view());
        ViewAnimation::clearHistory();
        m.delegate.addMusicMainView();
    };
    m.player.playing = true;
    m.player.mode = 0;
    revisit();
    EXPECT_TRUE(highlight->isVisible());
    EXPECT_EQ(highlight->geometry(), m.menu->button(Entry::Folder)->geometry());
    const ViewAnimation::Record blink = ViewAnimation::last("buttonAni");
    EXPECT_EQ(blink.durationMs, 1500);
    EXPECT_TRUE(blink.autoreverses);
    EXPECT_EQ(blink.repeatCount, 999999);
    EXPECT_EQ(blink.curve, QEasingCurve::InQuad);
    EXPECT_DOUBLE_EQ(blink.targets.value(0).toReal(), 0.1);
    QAbstractAnimation *running = ViewAnimation::running("buttonAni");
    ASSERT_NE(running, nullptr);
    running->setCurrentTime(1500);
    EXPECT_NEAR(View::alpha(highlight), 0.1, 0.01);
    running->setCurrentTime(2995);
    EXPECT_NEAR(View::alpha(highlight), 1.0, 0.02);

    m.player.mode = 2;
    revisit();
    EXPECT_EQ(highlight->geometry(), m.menu->button(Entry::AllSongs)->geometry());
    m.player.mode = 1;
    revisit();
    EXPECT_EQ(highlight->geometry(), m.menu->button(Entry::Playlist)->geometry());
    m.player.mode = 7;
    revisit();
    EXPECT_FALSE(highlight->isVisible());
    m.player.mode = 0;
    m.player.playing = false;
    revisit();
    EXPECT_FALSE(highlight->isVisible());
}

TEST(MainMenu, KoreanCaptionsComeFromTheStringTable)
{
    ASSERT_TRUE(Translations::available().contains("ko"));
    ASSERT_TRUE(Translations::install(QLocale(QLocale::Korean, QLocale::SouthKorea)));
    EXPECT_EQ(QCoreApplication::translate("Orbo", "Main Settings"), QString::fromUtf8("설정"));
    EXPECT_EQ(QCoreApplication::translate("Orbo", "Shuffle On"), QString::fromUtf8("임의 재생 켬"));
    // A key without a translation shows as itself.
    EXPECT_EQ(QCoreApplication::translate("Orbo", "No such key"), QStringLiteral("No such key"));
    ASSERT_TRUE(Translations::install(QLocale(QLocale::English, QLocale::UnitedStates)));
    EXPECT_EQ(QCoreApplication::translate("Orbo", "Main Settings"), QStringLiteral("Settings"));
    EXPECT_EQ(QCoreApplication::translate("Orbo", "Write a Review"), QStringLiteral("Write a Review"));
    ASSERT_TRUE(Translations::install(QLocale(QLocale::French, QLocale::France)));
    EXPECT_EQ(QCoreApplication::translate("Orbo", "Main Settings"), QStringLiteral("Settings"));
    Translations::uninstall();
}

// Takes pictures of the menu and of each overlay over it, into the test's own home; the
// README's picture is refreshed from them only on request (ORBO_UPDATE_DOCS set), so test
// runs leave the tree and the shared temporary folder as they were.
TEST(MainMenu, TakesPicturesOfTheMenuAndTheOverlays)
{
    const ScopedTranslations english(QLocale(QLocale::English, QLocale::UnitedStates));
    Menu m;
    const QString pictures = m.home.path() + "/pictures/";
    ASSERT_TRUE(QDir().mkpath(pictures));
    // The menu as the program shows it: every entry has its screen.
    for (Screen screen : {Screen::MusicAllList, Screen::MusicList, Screen::PlaybackList, Screen::FileManager,
                          Screen::PlayList, Screen::Webserver, Screen::Settings})
        m.delegate.setScreen(screen, std::make_unique<RecordingScreen>("screen"));
    m.launch();
    ViewAnimation::finishAll();
    const QImage menu = View::snapshot(m.delegate.window());
    EXPECT_EQ(menu.size(), QSize(320, 480));
    EXPECT_TRUE(menu.save(pictures + "main-menu.png"));
    if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
        EXPECT_TRUE(menu.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/main-menu.png")));
    }
    View::setHidden(m.menu->selectedImage(), true);
    const QImage plain = View::snapshot(m.delegate.window());

    // The overlays, one at a time, over the menu: each one shows.
    const auto picture = [&](const QString &name) {
        const QImage shot = View::snapshot(m.delegate.window());
        EXPECT_NE(shot, plain) << name.toStdString() << " does not show";
        EXPECT_TRUE(shot.save(pictures + name)) << name.toStdString();
    };
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.postNotificationName(Notify::viewMessageIconAni, QStringLiteral("Shuffle On"));
    picture("overlay-icon.png");
    View::setAlpha(m.delegate.overlays().messageIconView(), 0);
    center.postNotificationName(Notify::viewMessageAni, QStringLiteral("The folder \"Rock\" was created."));
    picture("overlay-text.png");
    View::setAlpha(m.delegate.overlays().messageView(), 0);
    m.delegate.viewMessageProgress({"progressNofi", QVariantList{QStringLiteral("Optimizing list…"), 0.6f}, {}});
    picture("overlay-progress.png");
    center.postNotificationName(Notify::closeMessageProgress);
    Util::alertViewQuick("Error", "The folder could not be created.", "OK");
    picture("alert.png");
    for (AlertView *alert : AlertView::visibleAlerts())
        delete alert;
    EXPECT_EQ(QDir(pictures).entryList(QDir::Files).size(), 5);

    ASSERT_TRUE(Translations::install(QLocale(QLocale::Korean, QLocale::SouthKorea)));
    Menu korean;
    korean.launch();
    ViewAnimation::finishAll();
    const QImage koreanMenu = View::snapshot(korean.delegate.window());
    EXPECT_NE(koreanMenu, menu) << "the captions are the same in both languages";
    EXPECT_TRUE(koreanMenu.save(korean.home.path() + "/main-menu-ko.png"));
    Translations::uninstall();
}

} // namespace
