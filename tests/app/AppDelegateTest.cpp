#include "TestHome.h"
#include "library/NotificationNames.h"
#include "support/ShellFakes.h"

#include "app/DDProgressView.h"
#include "app/MessageIconView.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/AlertView.h"
#include "platform/Bundle.h"
#include "platform/Button.h"
#include "platform/IdleTimer.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/SoundPlayer.h"
#include "platform/TextView.h"
#include "platform/UserDefaults.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QAbstractAnimation>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using Screen = ZivoAppDelegate::Screen;

namespace {

UserDefaults &defaults()
{
    return UserDefaults::standard();
}

// A launched delegate with a fake player on a fresh home.
struct Shell
{
    explicit Shell(bool launch = true)
    {
        delegate.setPlayInfoPanel(&player);
        delegate.setMusicDetail(&player.detail);
        if (launch)
            delegate.didFinishLaunchingWithOptions();
    }
    ~Shell()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
    }
    TestHome home;
    FakePlayer player;
    ZivoAppDelegate delegate{recordingMenu()};
};

TEST(AppDelegateLaunch, ShowsTheMenuWithThePanelAndArrowHiddenAboveIt)
{
    Shell shell;
    ZivoAppDelegate &d = shell.delegate;
    // Step 1: first-run defaults exist.
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::appinitkey), Bundle::version());
    EXPECT_FALSE(d.isOptimizing());
    // Step 4: every overlay has its rounded corners.
    for (View *overlay :
         {d.overlays().messageView(), static_cast<View *>(d.overlays().messageIconView()), d.overlays().messagViewDel(),
          d.overlays().messagViewDuration(), d.overlays().progressMsgView()})
        EXPECT_EQ(overlay->cornerRadius(), 15);
    // Steps 5 to 8: panel sized, menu first and current, panel then arrow above it, both hidden.
    QWidget *panel = shell.player.panelView();
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 320, 120));
    EXPECT_EQ(d.currentViewController(), d.screen(Screen::MusicMain));
    const QList<QWidget *> stack = d.window()->subviews();
    ASSERT_EQ(stack.size(), 3);
    EXPECT_EQ(stack[0], d.screen(Screen::MusicMain)->view());
    EXPECT_EQ(stack[1], panel);
    EXPECT_EQ(stack[2], d.musicInfoArrowButton());
    EXPECT_TRUE(View::isHidden(panel));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(d.musicInfoArrowButton()->isVisible());
    // Step 9, 10: the window is the key window and shown; the beeps are loaded.
    EXPECT_EQ(Window::keyWindow(), d.window());
    EXPECT_TRUE(d.window()->isVisible());
    EXPECT_NE(d.beeps().playSound(), nullptr);
    EXPECT_NE(d.beeps().nextSound(), nullptr);
    EXPECT_NE(d.beeps().prevSound(), nullptr);
    for (SoundPlayer *beep : {d.beeps().playSound(), d.beeps().nextSound(), d.beeps().prevSound()})
        EXPECT_FALSE(beep->hasOpenStream()) << "an idle program keeps no sound stream open";
    // Step 11: a fresh installation does not ask for a review.
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    // The menu became the first responder when it appeared, and asked for remote events.
    EXPECT_TRUE(d.screen(Screen::MusicMain)->isFirstResponder());
    EXPECT_TRUE(RemoteControl::shared().isReceiving());
}

TEST(AppDelegateLaunch, RegistersEveryHandlerAndThePanelsOwn)
{
    Shell shell;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.postNotificationName(Notify::playMusicNext);
    center.postNotificationName(Notify::playMusicPrev);
    center.postNotificationName(Notify::pauseMusic);
    center.postNotificationName(Notify::playOrPauseMusic);
    center.postNotificationName(Notify::curFileDelPlayer);
    EXPECT_EQ(shell.player.calls,
              QStringList({"panel.playMusicNext", "detail.uiMusicNext", "panel.playMusicPrev", "detail.uiMusicPrev",
                           "pauseMusic", "pauseMusic", "detail.playOrPauseMusic", "panel.curFileDel"}));
    EXPECT_EQ(ZivoAppDelegate::routes().size(), 15u);
}

// --- Review prompt ---

void installedEarlierVersion()
{
    defaults().setObject(QStringLiteral("0.9"), SettingsKeys::appinitkey);
    defaults().setObject(QStringLiteral("0.9"), SettingsKeys::reviewDontShowVerKey);
}

TEST(ReviewPrompt, AsksOncePerLaunchAfterAnUpdateUntilAnswered)
{
    TestHome home;
    installedEarlierVersion();
    {
        ZivoAppDelegate d;
        QList<QUrl> opened;
        d.reviewPrompt().setUrlOpener([&](const QUrl &url) { opened << url; });
        d.didFinishLaunchingWithOptions();
        ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
        AlertView *alert = AlertView::visibleAlerts().first();
        EXPECT_EQ(alert->tag(), 1);
        EXPECT_EQ(alert->title(), "Ver" + Bundle::version() + " Write a Review");
        EXPECT_EQ(alert->message(), QStringLiteral("Rate Review Message"));
        EXPECT_EQ(alert->cancelButtonIndex(), 0);
        EXPECT_EQ(alert->buttonTitleAtIndex(0), QStringLiteral("Don't show again"));
        EXPECT_EQ(alert->buttonTitleAtIndex(1), QStringLiteral("Write a Review"));
        EXPECT_EQ(alert->buttonTitleAtIndex(2), QStringLiteral("Remind me later"));
        // "Remind me later" changes nothing: the next launch asks again.
        alert->dismissWithClickedButtonIndex(2);
        EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
        EXPECT_TRUE(opened.isEmpty());
    }
    {
        ZivoAppDelegate d;
        QList<QUrl> opened;
        d.reviewPrompt().setUrlOpener([&](const QUrl &url) { opened << url; });
        d.didFinishLaunchingWithOptions();
        ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
        // "Write a Review" stores the version at once and opens the review page.
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(1);
        EXPECT_EQ(defaults().stringForKey(SettingsKeys::reviewWriteVerKey), Bundle::version());
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened.first(), ReviewPrompt::reviewPageUrl());
    }
    home.restart(); // the answer was flushed to disk
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::reviewWriteVerKey), Bundle::version());
    ZivoAppDelegate again;
    again.didFinishLaunchingWithOptions();
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

TEST(ReviewPrompt, DontShowAgainStopsItForThisVersionOnly)
{
    TestHome home;
    installedEarlierVersion();
    {
        ZivoAppDelegate d;
        d.didFinishLaunchingWithOptions();
        ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0);
        EXPECT_EQ(defaults().stringForKey(SettingsKeys::reviewDontShowVerKey), Bundle::version());
        EXPECT_TRUE(defaults().stringForKey(SettingsKeys::reviewWriteVerKey).isEmpty());
    }
    {
        ZivoAppDelegate d;
        d.didFinishLaunchingWithOptions();
        EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    }
    // A later version asks again.
    QCoreApplication::setApplicationVersion(QStringLiteral("99.0.0"));
    {
        ZivoAppDelegate d;
        d.didFinishLaunchingWithOptions();
        EXPECT_EQ(AlertView::visibleAlerts().size(), 1);
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
    }
    QCoreApplication::setApplicationVersion(QString());
}

TEST(ReviewPrompt, AlertsWithAnotherTagAreIgnored)
{
    TestHome home;
    installedEarlierVersion();
    ReviewPrompt prompt;
    AlertView other(QStringLiteral("t"), QStringLiteral("m"), &prompt, QStringLiteral("OK"), {QStringLiteral("A")});
    other.setTag(2);
    prompt.alertViewClickedButtonAtIndex(&other, 0);
    prompt.alertViewClickedButtonAtIndex(&other, 1);
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::reviewDontShowVerKey), QStringLiteral("0.9"));
    EXPECT_TRUE(defaults().stringForKey(SettingsKeys::reviewWriteVerKey).isEmpty());
}

// --- Lifecycle ---

TEST(AppDelegateLifecycle, ScreenSleepFollowsActivationAndTheSetting)
{
    Shell shell;
    ZivoAppDelegate &d = shell.delegate;
    IdleTimer::shared().setIdleTimerDisabled(false);

    defaults().setObject(QStringLiteral("1"), SettingsKeys::ScreenAutoSleepModeKey);
    d.applicationDidBecomeActive();
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());
    d.applicationWillResignActive();
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());

    // With the setting off, becoming active leaves the timer as it is.
    defaults().setObject(QStringLiteral("0"), SettingsKeys::ScreenAutoSleepModeKey);
    d.applicationDidBecomeActive();
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());
    IdleTimer::shared().setIdleTimerDisabled(true); // another screen's work
    d.applicationDidBecomeActive();
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());
    d.applicationWillTerminate();
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());
}

TEST(AppDelegateLifecycle, TheStoredScreenSleepChoiceAppliesAtTheFirstActivation)
{
    TestHome home;
    ZivoModel::appInit();
    defaults().setObject(QStringLiteral("1"), SettingsKeys::ScreenAutoSleepModeKey);
    IdleTimer::shared().setIdleTimerDisabled(false);
    ZivoAppDelegate d;
    d.didFinishLaunchingWithOptions();
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());
    d.handleApplicationState(Qt::ApplicationActive); // the desktop activates the window
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());
    d.applicationWillTerminate();
}

TEST(AppDelegateLifecycle, DesktopStatesMapToTheEntryPointsWithTheirLogLines)
{
    Shell shell;
    QStringList lines;
    static QStringList *sink = nullptr;
    sink = &lines;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &c, const QString &m) {
            if (QByteArray(c.category) == "orbo.app")
                *sink << m;
        });
    ZivoAppDelegate &d = shell.delegate;
    QCoreApplication::processEvents(); // the first activation check after launch
    d.handleApplicationState(Qt::ApplicationActive);
    lines.clear();
    d.handleApplicationState(Qt::ApplicationInactive);
    d.handleApplicationState(Qt::ApplicationHidden);
    d.handleApplicationState(Qt::ApplicationActive);
    // The way back may pass through inactive.
    d.handleApplicationState(Qt::ApplicationInactive);
    d.handleApplicationState(Qt::ApplicationHidden);
    d.handleApplicationState(Qt::ApplicationInactive);
    d.handleApplicationState(Qt::ApplicationActive);
    // Minimising the window is going to the background; restoring it comes back.
    d.window()->setWindowState(Qt::WindowMinimized);
    d.window()->setWindowState(Qt::WindowNoState);
    qInstallMessageHandler(previous);
    const QStringList cycle = {"applicationWillResignActive", "applicationDidEnterBackground",
                               "applicationWillEnterForeground", "applicationDidBecomeActive"};
    EXPECT_EQ(lines, cycle + cycle + cycle);
    EXPECT_EQ(shell.player.calls, QStringList(3, "panel.scrollLabelRestart"));
}

// --- Overlays ---

TEST(Overlays, ASecondTextWithinASecondReplacesTheFirstAndRestartsTheCycle)
{
    Shell shell;
    ZivoAppDelegate &d = shell.delegate;
    ViewAnimation::clearHistory();
    Util::viewMessageViewAutoClose(QStringLiteral("first"));
    EXPECT_EQ(d.overlays().messageTextView()->text(), QStringLiteral("first"));
    EXPECT_TRUE(d.window()->contains(d.overlays().messageView()));
    EXPECT_EQ(View::center(d.overlays().messageView()), QPoint(160, 240));
    QTest::qWait(300);
    QPointer<QAbstractAnimation> first = ViewAnimation::running("messageFadeAni");
    ASSERT_TRUE(first);

    Util::viewMessageViewAutoClose(QStringLiteral("second"));
    EXPECT_EQ(d.overlays().messageTextView()->text(), QStringLiteral("second"));
    EXPECT_EQ(View::alpha(d.overlays().messageView()), 1.0);
    EXPECT_EQ(d.window()->subviews().last(), d.overlays().messageView());
    QAbstractAnimation *second = ViewAnimation::running("messageFadeAni");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(!first || first->state() == QAbstractAnimation::Stopped); // the old cycle is over
    const ViewAnimation::Record record = ViewAnimation::last("messageFadeAni");
    EXPECT_EQ(record.delayMs, 1500);
    EXPECT_EQ(record.durationMs, 1500);
    EXPECT_EQ(record.curve, QEasingCurve::InOutQuad);
    EXPECT_EQ(record.targets.value(0).toReal(), 0.0);

    // Fully visible for 1.5 s after the second message, then fading, gone at 3 s.
    second->setCurrentTime(1450);
    EXPECT_EQ(View::alpha(d.overlays().messageView()), 1.0);
    second->setCurrentTime(2250);
    EXPECT_GT(View::alpha(d.overlays().messageView()), 0.2);
    EXPECT_LT(View::alpha(d.overlays().messageView()), 0.8);
    second->setCurrentTime(3000);
    EXPECT_EQ(View::alpha(d.overlays().messageView()), 0.0);
    // The transparent view stays until the next message of its kind, but lets clicks
    // through to what lies beneath it.
    EXPECT_TRUE(d.window()->contains(d.overlays().messageView()));
    EXPECT_TRUE(d.overlays().messageView()->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(Overlays, IconMessagesFollowTheTable)
{
    Shell shell;
    MessageIconView *icon = shell.delegate.overlays().messageIconView();
    struct Row
    {
        QString key, label, image;
    };
    const QList<Row> rows = {
        {"prev", "Prev", "msg_fast-backward.png"},
        {"next", "Next", "msg_fast-forward.png"},
        {"folderChange", "Playlist has changed.", "msg_folderChange.png"},
        {"pause", "Pause", "msg_pause.png"},
        {"play", "Play", "msg_play.png"},
        {"delete", "Delete", "msg_trash.png"},
        {"Shuffle On", "Shuffle On", "info-icons-03-RND.png"},
        {"Shuffle Off", "Shuffle Off", "info-icons-05-RND-OFF"},
        {"Repeat On", "Repeat On", "info-icons-01-RPT.png"},
        {"Repeat Off", "Repeat Off", "info-icons-04-RPT-OFF.png"},
        {"One Time Play", "One Time Play", "info-icons-02-RPT-ONE"},
    };
    for (const Row &row : rows) {
        Util::viewMessageIconViewAutoClose(row.key);
        EXPECT_EQ(icon->messageLabel()->text(), row.label) << row.key.toStdString();
        EXPECT_EQ(MessageIconView::imageNameForMessage(row.key), row.image);
        // Every picture exists, with or without its extension.
        EXPECT_FALSE(ImageView::imageNamed(row.image).isNull()) << row.image.toStdString();
        EXPECT_EQ(icon->messageIconImageView()->image().cacheKey(), ImageView::imageNamed(row.image).cacheKey());
    }
    icon->setMessage("delete");
    const qint64 trash = icon->messageIconImageView()->image().cacheKey();
    icon->setMessage("no such key");
    EXPECT_EQ(icon->messageLabel()->text(), QStringLiteral("Delete"));
    EXPECT_EQ(icon->messageIconImageView()->image().cacheKey(), trash);
}

TEST(Overlays, PositionLastingAndProgressOverlaysOpenAndClose)
{
    Shell shell;
    ZivoAppDelegate &d = shell.delegate;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.postNotificationName(Notify::viewMessageDuration, QStringLiteral("1:23"));
    EXPECT_EQ(d.overlays().durationLabel()->text(), QStringLiteral("1:23"));
    EXPECT_TRUE(d.window()->contains(d.overlays().messagViewDuration()));
    center.postNotificationName(Notify::closeMessageDuration);
    EXPECT_FALSE(d.window()->contains(d.overlays().messagViewDuration()));

    center.postNotificationName(Notify::viewMessage, QStringLiteral("stays"));
    EXPECT_EQ(d.overlays().messageTextViewDel()->text(), QStringLiteral("stays"));
    EXPECT_TRUE(d.window()->contains(d.overlays().messagViewDel()));
    center.postNotificationName(Notify::closeMessage);
    EXPECT_FALSE(d.window()->contains(d.overlays().messagViewDel()));

    // Closing a progress overlay that is not shown leaves it empty and at 0.
    center.postNotificationName(Notify::closeMessageProgress);
    EXPECT_FALSE(d.window()->contains(d.overlays().progressMsgView()));
    EXPECT_TRUE(d.overlays().progressMsgViewLabel()->text().isEmpty());
    EXPECT_EQ(d.overlays().progressMsgViewProgressbar()->progress(), 0.0f);

    const QRect placed = d.overlays().progressMsgView()->geometry();
    d.viewMessageProgress({"progressNofi", QVariantList{QStringLiteral("optimizing list..."), 0.25f}, {}});
    EXPECT_TRUE(d.window()->contains(d.overlays().progressMsgView()));
    EXPECT_EQ(d.overlays().progressMsgView()->geometry(), placed); // where it was placed, not centred
    EXPECT_EQ(d.overlays().progressMsgViewLabel()->text(), QStringLiteral("optimizing list..."));
    EXPECT_FLOAT_EQ(d.overlays().progressMsgViewProgressbar()->progress(), 0.25f);
    d.overlays().setMessageProgress(0.75f);
    EXPECT_FLOAT_EQ(d.overlays().progressMsgViewProgressbar()->progress(), 0.75f);
    center.postNotificationName(Notify::closeMessageProgress);
    EXPECT_FALSE(d.window()->contains(d.overlays().progressMsgView()));
    EXPECT_TRUE(d.overlays().progressMsgViewLabel()->text().isEmpty());
    EXPECT_EQ(d.overlays().progressMsgViewProgressbar()->progress(), 0.0f);
}

TEST(Overlays, QuickAlertsAppearAsOneButtonAlerts)
{
    Shell shell;
    Util::alertViewQuick(QStringLiteral("Error"), QStringLiteral("Folder not created"), QStringLiteral("OK"));
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
    AlertView *alert = AlertView::visibleAlerts().first();
    EXPECT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), QStringLiteral("OK"));
    EXPECT_EQ(shell.delegate.window()->subviews().last(), alert);
    alert->dismissWithClickedButtonIndex(0);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

// --- DDProgressView ---

TEST(DDProgressViewTest, KeepsItsHeightClampsAndDrawsACapsule)
{
    DDProgressView bar(QRect(10, 20, 200, 10));
    EXPECT_EQ(bar.geometry(), QRect(10, 20, 200, 25));
    bar.setFrame(QRect(0, 0, 120, 80));
    EXPECT_EQ(bar.size(), QSize(120, 25));
    bar.show();
    bar.resize(200, 40);
    EXPECT_EQ(bar.size(), QSize(200, 25));
    bar.setProgress(1.7f);
    EXPECT_EQ(bar.progress(), 1.0f);
    bar.setProgress(-0.2f);
    EXPECT_EQ(bar.progress(), 0.0f);
    bar.setProgress(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(bar.progress(), 0.0f);
    EXPECT_EQ(bar.innerColor(), QColor(Qt::white));
    EXPECT_EQ(bar.emptyColor(), QColor(Qt::black));

    bar.setInnerColor(Qt::red);
    bar.setOuterColor(Qt::blue);
    bar.setEmptyColor(Qt::green);
    const auto at = [](const QImage &image, int x, int y) { return image.pixelColor(x, y); };
    // Empty: only a round cap of the bar at the left; the track is green; the outline blue.
    bar.setProgress(0);
    QImage image = View::snapshot(&bar);
    EXPECT_EQ(at(image, 12, 12), QColor(Qt::red));
    EXPECT_EQ(at(image, 100, 12), QColor(Qt::green));
    EXPECT_EQ(at(image, 100, 1).blue(), 255);
    EXPECT_EQ(at(image, 0, 0).alpha(), 0); // the corners stay clear
    // Half: red to the middle of the track, green after it.
    bar.setProgress(0.5f);
    image = View::snapshot(&bar);
    EXPECT_EQ(at(image, 90, 12), QColor(Qt::red));
    EXPECT_EQ(at(image, 110, 12), QColor(Qt::green));
    bar.setProgress(1.0f);
    image = View::snapshot(&bar);
    EXPECT_EQ(at(image, 190, 12), QColor(Qt::red));
}

// --- Navigation ---

TEST(Navigation, AddOperationsStackScreensAndRecordTheCurrentOne)
{
    Shell shell(false);
    ZivoAppDelegate &d = shell.delegate;
    QStringList journal;
    auto *list = new RecordingFolderList("list", &journal);
    auto *picker = new RecordingScreen("picker", &journal);
    auto *detail = new RecordingScreen("detail", &journal);
    d.setScreen(Screen::MusicList, std::unique_ptr<ZivoViewController>(list));
    d.setScreen(Screen::FileSelector, std::unique_ptr<ZivoViewController>(picker));
    d.setScreen(Screen::MusicDetail, std::unique_ptr<ZivoViewController>(detail));
    d.didFinishLaunchingWithOptions();
    ZivoViewController *menu = d.screen(Screen::MusicMain);

    // The caller removes itself; the add operation only adds.
    View::removeFromSuperview(menu->view());
    d.addMusicListView();
    EXPECT_EQ(d.currentViewController(), list);
    EXPECT_TRUE(list->isOnScreen());
    EXPECT_FALSE(menu->isOnScreen());
    EXPECT_TRUE(list->isFirstResponder());

    // A picker goes over the caller and does not become current.
    d.addFileSelectorView();
    EXPECT_EQ(d.currentViewController(), list);
    EXPECT_TRUE(list->isOnScreen());
    EXPECT_EQ(d.window()->subviews().last(), picker->view());

    // The full-screen player goes on top; the current screen stays.
    NotificationCenter::defaultCenter().postNotificationName(Notify::addMusicDetailView);
    EXPECT_EQ(d.window()->subviews().last(), detail->view());
    EXPECT_EQ(d.currentViewController(), list);

    d.removeCurrentViewController();
    EXPECT_FALSE(list->isOnScreen());
    EXPECT_EQ(journal,
              QStringList({"list.willAppear", "list.didAppear", "picker.willAppear", "picker.didAppear",
                           "detail.willAppear", "detail.didAppear", "list.willDisappear", "list.didDisappear"}));

    // The import's "open the folder" asks the folder list to go straight into the sub-list.
    d.addMusicListViewiPod();
    EXPECT_TRUE(list->goSublistFlg);
    EXPECT_EQ(d.currentViewController(), list);

    // A screen that is not part of the build is simply not reachable.
    d.addSettingsView();
    EXPECT_EQ(d.currentViewController(), list);
}

TEST(Navigation, AfterAScreenLaidOverAnotherLeavesTheOneBelowHearsTheRemote)
{
    Shell shell(false);
    ZivoAppDelegate &d = shell.delegate;
    auto *settings = new RecordingScreen("settings");
    auto *picker = new RecordingScreen("encodings");
    d.setScreen(Screen::Settings, std::unique_ptr<ZivoViewController>(settings));
    d.setScreen(Screen::Help, std::unique_ptr<ZivoViewController>(picker));
    d.didFinishLaunchingWithOptions();
    View::removeFromSuperview(d.screen(Screen::MusicMain)->view());
    d.addSettingsView();
    d.addHelpView();
    ASSERT_TRUE(picker->isFirstResponder());
    View::removeFromSuperview(picker->view());
    EXPECT_TRUE(settings->isFirstResponder());
    RemoteControl::shared().beginReceivingRemoteControlEvents();
    EXPECT_TRUE(RemoteControl::shared().deliverSubtype(RemoteControlEvent::NextTrack));
    EXPECT_EQ(shell.player.calls, QStringList({"panel.playMusicNextUi", "detail.uiMusicNext"}));
}

TEST(Navigation, PanelAndArrowButtonComeAndGo)
{
    Shell shell;
    ZivoAppDelegate &d = shell.delegate;
    QWidget *panel = shell.player.panelView();
    // Without a loaded song the arrow stays away.
    d.viewPlayInfoPanelAni();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(d.musicInfoArrowButton()->isVisible());
    d.closePlayInfoPanelAni();
    EXPECT_FALSE(panel->isVisible());

    // With the panel hidden, adding the arrow does nothing even with a song.
    shell.player.hasUrl = true;
    d.addMusicInfoArrowButton();
    EXPECT_FALSE(d.musicInfoArrowButton()->isVisible());

    ViewAnimation::clearHistory();
    d.viewPlayInfoPanelAni();
    EXPECT_EQ(d.window()->subviews().last(), d.musicInfoArrowButton());
    EXPECT_TRUE(d.musicInfoArrowButton()->isVisible());
    EXPECT_EQ(View::center(d.musicInfoArrowButton()), QPoint(160, 505));
    const ViewAnimation::Record slide = ViewAnimation::last("MusicInfoArrowGoAnimation");
    EXPECT_EQ(slide.durationMs, 500);
    EXPECT_EQ(slide.targets.value(0).toPoint(), QPoint(160, 460));
    ViewAnimation::finishAll();
    EXPECT_EQ(View::center(d.musicInfoArrowButton()), QPoint(160, 460));
    d.closePlayInfoPanelAni();
    EXPECT_FALSE(d.musicInfoArrowButton()->isVisible());
}

TEST(Navigation, ThePlayerReachesTheListItCameFromAndTogglesItselfAlone)
{
    // The list screens that follow the player, one per kind of list.
    struct Follower : RecordingScreen, ListScrollTarget
    {
        using RecordingScreen::RecordingScreen;
        void scrollToRow(int row, const QString &folder) override { rows << QString::number(row) + " " + folder; }
        QStringList rows;
    };
    TestHome home;
    FakePlayer player;
    ZivoAppDelegate d{recordingMenu()};
    d.setPlayInfoPanel(&player);
    auto *songs = new Follower("songs");
    auto *all = new Follower("all");
    d.setScreen(Screen::MusicSubList, std::unique_ptr<ZivoViewController>(songs));
    d.setScreen(Screen::MusicAllList, std::unique_ptr<ZivoViewController>(all));
    d.didFinishLaunchingWithOptions();
    d.musicSubListScrollToRow(3, "Rock");
    d.musicAllListScrollToRow(7, "Jazz");
    d.playBackListScrollToRow(1, "Mix"); // no playlist screen in this build: nothing happens
    EXPECT_EQ(songs->rows, QStringList({"3 Rock"}));
    EXPECT_EQ(all->rows, QStringList({"7 Jazz"}));

    // Without a full-screen player, play/pause goes to the panel; with one, to it.
    NotificationCenter::defaultCenter().postNotificationName(Notify::playOrPauseMusic);
    EXPECT_EQ(player.calls, QStringList({"panel.playOrPauseMusic"}));
    d.setMusicDetail(&player.detail);
    NotificationCenter::defaultCenter().postNotificationName(Notify::playOrPauseMusic);
    EXPECT_EQ(player.calls, QStringList({"panel.playOrPauseMusic", "detail.playOrPauseMusic"}));
}

// --- Beeps ---

TEST(Beeps, EachCommandPlaysItsSoundOverTheOthersUnlessSwitchedOff)
{
    Shell shell;
    ZivoAppDelegate &d = shell.delegate;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.postNotificationName(Notify::soundPlay, QStringLiteral("playPause"));
    EXPECT_TRUE(d.beeps().playSound()->isPlaying());
    EXPECT_EQ(d.beeps().playSound()->playCount(), 1);
    QTest::qWait(60);
    const double into = d.beeps().playSound()->currentTime();
    EXPECT_GT(into, 0.02);
    // The same command again while it plays does not restart it; another kind sounds too.
    center.postNotificationName(Notify::soundPlay, QStringLiteral("playPause"));
    center.postNotificationName(Notify::soundPlay, QStringLiteral("next"));
    EXPECT_EQ(d.beeps().playSound()->playCount(), 1);
    EXPECT_GE(d.beeps().playSound()->currentTime(), into);
    EXPECT_TRUE(d.beeps().nextSound()->isPlaying());
    EXPECT_TRUE(d.beeps().playSound()->isPlaying());
    ASSERT_TRUE(
        waitUntil([&] { return !d.beeps().playSound()->isPlaying() && !d.beeps().nextSound()->isPlaying(); }, 3000));
    EXPECT_FALSE(d.beeps().playSound()->hasOpenStream()) << "a beep that is over holds no stream";
    EXPECT_FALSE(d.beeps().nextSound()->hasOpenStream());

    center.postNotificationName(Notify::soundPlay, QStringLiteral("prev"));
    EXPECT_EQ(d.beeps().prevSound()->playCount(), 1);
    center.postNotificationName(Notify::soundPlay, QStringLiteral("other"));

    defaults().setObject(QStringLiteral("1"), SettingsKeys::beepSoundModeKey);
    center.postNotificationName(Notify::soundPlay, QStringLiteral("next"));
    EXPECT_EQ(d.beeps().nextSound()->playCount(), 1);
    defaults().setObject(QStringLiteral("0"), SettingsKeys::beepSoundModeKey);
    ASSERT_TRUE(waitUntil([&] { return !d.beeps().prevSound()->isPlaying(); }, 3000));
    center.postNotificationName(Notify::soundPlay, QStringLiteral("next"));
    EXPECT_EQ(d.beeps().nextSound()->playCount(), 2);
}

TEST(Beeps, AMissingSoundSilencesOnlyItsOwnCommand)
{
    QTemporaryDir bundle;
    for (const char *name : {"Orbo_Melody_Play-01.wav", "Orbo_Melody_REW-02.wav"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(":/bundle/") + name, bundle.filePath(name)));
    Bundle::setResourceRoot(bundle.path());
    Shell shell;
    Bundle::setResourceRoot(QStringLiteral(":/bundle/"));
    ZivoAppDelegate &d = shell.delegate;
    ASSERT_NE(d.beeps().playSound(), nullptr);
    EXPECT_EQ(d.beeps().nextSound(), nullptr);
    ASSERT_NE(d.beeps().prevSound(), nullptr);
    NotificationCenter::defaultCenter().postNotificationName(Notify::soundPlay, QStringLiteral("next"));
    NotificationCenter::defaultCenter().postNotificationName(Notify::soundPlay, QStringLiteral("prev"));
    EXPECT_EQ(d.beeps().prevSound()->playCount(), 1);
}

TEST(UtilFrames, SlideFramesAndByteSizes)
{
    const QRect f(10, 20, 100, 50);
    EXPECT_EQ(Util::moveToScreenTopOut(f), QRect(0, -50, 100, 50));
    EXPECT_EQ(Util::moveToScreenBottomOut(f), QRect(0, 480, 100, 50));
    EXPECT_EQ(Util::moveToScreenLeftOut(f), QRect(-310, 20, 100, 50));
    EXPECT_EQ(Util::moveToScreenRightIn(f), QRect(-310, 20, 100, 50));
    EXPECT_EQ(Util::moveToScreenLeftIn(f), QRect(330, 20, 100, 50));
    EXPECT_EQ(Util::moveToScreenRightOut(f), QRect(330, 20, 100, 50));
    EXPECT_EQ(Util::getByteStr(0), QStringLiteral("0KB"));
    EXPECT_EQ(Util::getByteStr(1), QStringLiteral("1KB"));
    EXPECT_EQ(Util::getByteStr(1023), QStringLiteral("1KB"));
    EXPECT_EQ(Util::getByteStr(1024), QStringLiteral("1KB"));
    EXPECT_EQ(Util::getByteStr(1536000), QStringLiteral("1.5MB"));
    EXPECT_EQ(Util::getByteStr(1048575), QStringLiteral("1024KB"));
    EXPECT_EQ(Util::getByteStr(3.5 * 1073741824.0), QStringLiteral("3.5GB"));
}

} // namespace
