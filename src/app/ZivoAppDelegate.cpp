#include "ZivoAppDelegate.h"

#include "MusicDetail.h"
#include "PlayInfoPanel.h"
#include "ScreenInterfaces.h"
#include "Util.h"
#include "ZivoViewController.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/AlertView.h"
#include "platform/IdleTimer.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcApp, "orbo.app")

ZivoAppDelegate::ZivoAppDelegate(const ScreenFactory &screens, QObject *parent)
    : QObject(parent), m_window(std::make_unique<Window>())
{
    m_navigator.installScreens(screens);
    Util::setAlertPresenter([](const QString &title, const QString &msg, const QString &button) {
        (new AlertView(title, msg, nullptr, button))->show();
    });
    ZivoModel::setErrorReporter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &ZivoAppDelegate::handleApplicationState);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ZivoAppDelegate::applicationWillTerminate);
    m_window->installEventFilter(this);
}

ZivoAppDelegate::~ZivoAppDelegate()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    ZivoModel::setErrorReporter(nullptr);
    Util::setAlertPresenter(nullptr);
    // The members go in reverse order: the cache builder first (it stops between two songs),
    // then the screens and overlays, whose views leave the window, and the window last.
}

bool ZivoAppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window.get() && event->type() == QEvent::WindowStateChange) {
        if (m_window->windowState() & Qt::WindowMinimized)
            handleApplicationState(Qt::ApplicationHidden);
        else if (m_inBackground)
            handleApplicationState(Qt::ApplicationActive);
    }
    return QObject::eventFilter(watched, event);
}

const std::vector<ZivoAppDelegate::Route> &ZivoAppDelegate::routes()
{
    static const std::vector<Route> table = {
        {Notify::addMusicDetailView, &ZivoAppDelegate::addMusicDetailView},
        {Notify::addPlayListView, &ZivoAppDelegate::addPlayListView},
        {Notify::viewMessageAni, &ZivoAppDelegate::viewMessageAni},
        {Notify::viewMessageIconAni, &ZivoAppDelegate::viewMessageIconAni},
        {Notify::viewMessageDuration, &ZivoAppDelegate::viewMessageDuration},
        {Notify::closeMessageDuration, &ZivoAppDelegate::closeMessageDuration},
        {Notify::viewMessageProgress, &ZivoAppDelegate::viewMessageProgress},
        {Notify::closeMessageProgress, &ZivoAppDelegate::closeMessageProgress},
        {Notify::viewMessage, &ZivoAppDelegate::viewMessage},
        {Notify::closeMessage, &ZivoAppDelegate::closeMessage},
        {Notify::playOrPauseMusic, &ZivoAppDelegate::playOrPauseMusic},
        {Notify::pauseMusic, &ZivoAppDelegate::pauseMusic},
        {Notify::playMusicNext, &ZivoAppDelegate::playMusicNext},
        {Notify::playMusicPrev, &ZivoAppDelegate::playMusicPrev},
        {Notify::soundPlay, &ZivoAppDelegate::soundPlay},
    };
    return table;
}

void ZivoAppDelegate::registerNotifications()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    for (const Route &route : routes())
        center.addObserver(this, route.name,
                           [this, handler = route.handler](const Notification &n) { (this->*handler)(n); });
    // The panel answers the deleted-file notice itself.
    center.addObserver(this, Notify::curFileDelPlayer, [this](const Notification &) {
        if (PlayInfoPanel *panel = playInfoPanel())
            panel->curFileDel();
    });
}

void ZivoAppDelegate::reportError(const QString &title, const QString &message, const QString &button)
{
    Util::alertViewQuick(title, message, button);
}

// ---------------------------------------------------------------------------
// Launch and lifecycle

bool ZivoAppDelegate::didFinishLaunchingWithOptions()
{
    ZivoModel::appInit();
    // IS_OPTIMAZING starts false: the builder is idle until a list asks for it.
    registerNotifications();
    m_overlays.roundCorners();
    addMusicMainView();
    m_navigator.placePanelAtLaunch();
    m_window->makeKeyAndVisible();
    loadSound();
    m_reviewPrompt.showIfDue();
    m_launched = true;
    // Launched, not yet active: the first activation (now, if the desktop already made the
    // window active, or when it does) runs applicationDidBecomeActive, which applies the
    // screen-sleep setting.
    m_state = Qt::ApplicationInactive;
    QTimer::singleShot(0, this, [this] { handleApplicationState(QGuiApplication::applicationState()); });
    return true;
}

void ZivoAppDelegate::handleApplicationState(Qt::ApplicationState state)
{
    if (!m_launched || state == m_state)
        return;
    const Qt::ApplicationState before = m_state;
    m_state = state;
    if (state == Qt::ApplicationActive) {
        // Coming back from hidden may pass through inactive first; the foreground call still comes.
        if (m_inBackground)
            applicationWillEnterForeground();
        m_inBackground = false;
        applicationDidBecomeActive();
    } else if (state == Qt::ApplicationInactive) {
        if (before == Qt::ApplicationActive)
            applicationWillResignActive();
    } else {
        if (before == Qt::ApplicationActive)
            applicationWillResignActive();
        if (!m_inBackground)
            applicationDidEnterBackground();
        m_inBackground = true;
    }
}

void ZivoAppDelegate::applicationWillResignActive()
{
    qCInfo(lcApp) << "applicationWillResignActive";
    IdleTimer::shared().setIdleTimerDisabled(false);
}

void ZivoAppDelegate::applicationDidEnterBackground()
{
    qCInfo(lcApp) << "applicationDidEnterBackground";
    // Minimised: work that kept the desktop awake lets it sleep until the window is back.
    IdleTimer::shared().setInBackground(true);
}

void ZivoAppDelegate::applicationWillEnterForeground()
{
    qCInfo(lcApp) << "applicationWillEnterForeground";
    IdleTimer::shared().setInBackground(false);
    if (PlayInfoPanel *panel = playInfoPanel())
        panel->scrollLabelRestart();
}

void ZivoAppDelegate::applicationDidBecomeActive()
{
    qCInfo(lcApp) << "applicationDidBecomeActive";
    if (UserDefaults::standard().stringForKey(SettingsKeys::ScreenAutoSleepModeKey) == QLatin1String("1"))
        IdleTimer::shared().setIdleTimerDisabled(true);
}

void ZivoAppDelegate::applicationWillTerminate()
{
    qCInfo(lcApp) << "applicationWillTerminate";
    IdleTimer::shared().setIdleTimerDisabled(false);
}

// ---------------------------------------------------------------------------
// Player commands

void ZivoAppDelegate::playOrPauseMusic(const Notification &)
{
    // The full-screen player toggles the panel's player; without one the panel does it.
    if (MusicDetail *detail = musicDetail())
        detail->playOrPauseMusic();
    else if (PlayInfoPanel *panel = playInfoPanel())
        panel->playOrPauseMusic();
}

void ZivoAppDelegate::pauseMusic(const Notification &)
{
    if (PlayInfoPanel *panel = playInfoPanel())
        panel->pauseMusic();
    if (MusicDetail *detail = musicDetail())
        detail->pauseMusic();
}

void ZivoAppDelegate::playMusicNext(const Notification &)
{
    if (PlayInfoPanel *panel = playInfoPanel())
        panel->playMusicNext();
    if (MusicDetail *detail = musicDetail())
        detail->uiMusicNext();
}

void ZivoAppDelegate::playMusicPrev(const Notification &)
{
    if (PlayInfoPanel *panel = playInfoPanel())
        panel->playMusicPrev();
    if (MusicDetail *detail = musicDetail())
        detail->uiMusicPrev();
}

// ---------------------------------------------------------------------------
// Navigation that talks to a screen

void ZivoAppDelegate::addMusicListViewiPod()
{
    // The folder list opens straight into the import folder when it sees this flag.
    if (auto *list = m_navigator.screenAs<FolderListJump>(Screen::MusicList))
        list->setGoSublistFlg(true);
    m_navigator.addScreen(Screen::MusicList, true);
}

void ZivoAppDelegate::scrollListToRow(Screen list, int row, const QString &folderName)
{
    if (auto *target = m_navigator.screenAs<ListScrollTarget>(list))
        target->scrollToRow(row, folderName);
}

void ZivoAppDelegate::playBackListScrollToRow(int row, const QString &folderName)
{
    scrollListToRow(Screen::PlaybackSubList, row, folderName);
}

void ZivoAppDelegate::musicAllListScrollToRow(int row, const QString &folderName)
{
    scrollListToRow(Screen::MusicAllList, row, folderName);
}

void ZivoAppDelegate::musicSubListScrollToRow(int row, const QString &folderName)
{
    scrollListToRow(Screen::MusicSubList, row, folderName);
}

void ZivoAppDelegate::settingsViewReloadSettings()
{
    if (auto *settings = m_navigator.screenAs<SettingsReload>(Screen::Settings))
        settings->reloadSettings();
    if (PlayInfoPanel *panel = playInfoPanel())
        panel->setCurrentEncodingText(UserDefaults::standard().stringForKey(SettingsKeys::selectedEncodingNameKey));
}
