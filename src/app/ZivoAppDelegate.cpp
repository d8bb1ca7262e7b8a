#include "ZivoAppDelegate.h"

#include "DDProgressView.h"
#include "MessageIconView.h"
#include "MusicDetail.h"
#include "PlayInfoPanel.h"
#include "Util.h"
#include "ZivoViewController.h"
#include "browse/MusicMainViewController.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
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

#include <QEvent>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcApp, "orbo.app")

namespace {
const QColor overlayColor(14, 16, 22, 250);
const QColor overlayBorder(255, 255, 255, 28);
constexpr int overlayRadius = 15;
constexpr int fadeDelayMs = 1500;
constexpr int fadeDurationMs = 1500;

View *makeTextOverlay(TextView **text)
{
    auto *view = new View(QRect(0, 0, 240, 120));
    view->setBackgroundColor(overlayColor);
    view->setBorderColor(overlayBorder);
    *text = new TextView(QRect(14, 14, 212, 92), view);
    (*text)->setFontSize(14, true);
    (*text)->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    (*text)->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return view;
}
} // namespace

ZivoAppDelegate::ZivoAppDelegate(QObject *parent) : QObject(parent), m_window(std::make_unique<Window>())
{
    buildOverlays();
    setScreen(Screen::MusicMain, new MusicMainViewController);
    Util::setAlertPresenter([](const QString &title, const QString &msg, const QString &button) {
        (new AlertView(title, msg, nullptr, button))->show();
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &ZivoAppDelegate::handleApplicationState);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ZivoAppDelegate::applicationWillTerminate);
    m_window->installEventFilter(this);
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

ZivoAppDelegate::~ZivoAppDelegate()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    Util::setAlertPresenter(nullptr);
    // The builder may still hand work to the overlays: stop it (between two songs) before they go.
    m_cacheBuilder.stop();
    // The window holds views it does not own (screens', the panel's): hand them all back,
    // then delete what the delegate owns.
    for (QWidget *child : m_window->subviews()) {
        if (qobject_cast<AlertView *>(child))
            delete child;
        else
            child->setParent(nullptr);
    }
    for (auto &screen : m_screens)
        delete screen.data();
    for (QWidget *owned : std::initializer_list<QWidget *>{m_messageView, m_messageIconView, m_messagViewDuration,
                                                           m_progressMsgView, m_messagViewDel, m_musicInfoArrowButton})
        delete owned;
    m_window.reset();
}

void ZivoAppDelegate::buildOverlays()
{
    m_messageView = makeTextOverlay(&m_messageTextView);
    m_messagViewDel = makeTextOverlay(&m_messageTextViewDel);

    m_messageIconView = new MessageIconView;

    m_messagViewDuration = new View(QRect(0, 0, 200, 64));
    m_messagViewDuration->setBackgroundColor(overlayColor);
    m_messagViewDuration->setBorderColor(overlayBorder);
    m_durationLabel = new Label(QRect(0, 0, 200, 64), m_messagViewDuration);
    m_durationLabel->setAlignment(Qt::AlignCenter);
    m_durationLabel->setFontSize(22, true);

    // The progress overlay has a fixed place in the middle of the screen.
    m_progressMsgView = new View(QRect(30, 236, 260, 96));
    m_progressMsgView->setBackgroundColor(overlayColor);
    m_progressMsgView->setBorderColor(overlayBorder);
    m_progressMsgViewLabel = new Label(QRect(16, 14, 228, 26), m_progressMsgView);
    m_progressMsgViewLabel->setAlignment(Qt::AlignCenter);
    m_progressMsgViewLabel->setFontSize(12, true);
    m_progressMsgViewProgressbar = new DDProgressView(QRect(20, 52, 220, 25), m_progressMsgView);
    m_progressMsgViewProgressbar->setInnerColor(QColor(46, 204, 196));
    m_progressMsgViewProgressbar->setOuterColor(QColor(120, 128, 140));
    m_progressMsgViewProgressbar->setEmptyColor(QColor(6, 7, 10));

    m_musicInfoArrowButton = new Button(QRect(0, 0, 47, 43));
    m_musicInfoArrowButton->setBackgroundImage(
        ImageView::imageNamed(QStringLiteral("Orbo_plyr01_btm_plate_02-open.png")));
    m_musicInfoArrowButton->setBackgroundImage(ImageView::imageNamed(
                                                   QStringLiteral("Orbo_plyr01_btm_plate_02-open-light.png")),
                                               Button::Highlighted);
    connect(m_musicInfoArrowButton, &Button::clicked, this, [] {
        NotificationCenter::defaultCenter().postNotificationName(QStringLiteral("Notify_addMusicDetailView"));
    });
}

void ZivoAppDelegate::setScreen(Screen which, ZivoViewController *screen)
{
    QPointer<ZivoViewController> &slot = m_screens[size_t(which)];
    if (slot == screen)
        return;
    delete slot.data();
    slot = screen;
    if (screen) {
        screen->setParent(nullptr); // owned through the slot, deleted with the delegate
        screen->setAppDelegate(this);
    }
}

ZivoViewController *ZivoAppDelegate::screen(Screen which) const
{
    return m_screens[size_t(which)];
}

MusicMainViewController *ZivoAppDelegate::musicMainViewController() const
{
    return qobject_cast<MusicMainViewController *>(screen(Screen::MusicMain));
}

QStringList ZivoAppDelegate::handledNotificationNames()
{
    return {
        QStringLiteral("Notify_addMusicDetailView"),  QStringLiteral("Notify_addPlayListView"),
        QStringLiteral("Notify_viewMessageAni"),      QStringLiteral("Notify_viewMessageIconAni"),
        QStringLiteral("Notify_viewMessageDuration"), QStringLiteral("Notify_closeMessageDuration"),
        QStringLiteral("Notify_viewMessageProgress"), QStringLiteral("Notify_closeMessageProgress"),
        QStringLiteral("Notify_viewMessage"),         QStringLiteral("Notify_closeMessage"),
        QStringLiteral("Notify_playOrPauseMusic"),    QStringLiteral("Notify_pauseMusic"),
        QStringLiteral("Notify_playMusicNext"),       QStringLiteral("Notify_playMusicPrev"),
        QStringLiteral("Notify_soundPlay"),
    };
}

void ZivoAppDelegate::registerNotifications()
{
    using Handler = void (ZivoAppDelegate::*)(const Notification &);
    const Handler handlers[] = {
        &ZivoAppDelegate::addMusicDetailView,  &ZivoAppDelegate::addPlayListView,
        &ZivoAppDelegate::viewMessageAni,      &ZivoAppDelegate::viewMessageIconAni,
        &ZivoAppDelegate::viewMessageDuration, &ZivoAppDelegate::closeMessageDuration,
        &ZivoAppDelegate::viewMessageProgress, &ZivoAppDelegate::closeMessageProgress,
        &ZivoAppDelegate::viewMessage,         &ZivoAppDelegate::closeMessage,
        &ZivoAppDelegate::playOrPauseMusic,    &ZivoAppDelegate::pauseMusic,
        &ZivoAppDelegate::playMusicNext,       &ZivoAppDelegate::playMusicPrev,
        &ZivoAppDelegate::soundPlay,
    };
    NotificationCenter &center = NotificationCenter::defaultCenter();
    const QStringList names = handledNotificationNames();
    for (int i = 0; i < names.size(); ++i) {
        const Handler handler = handlers[i];
        center.addObserver(this, names.at(i), [this, handler](const Notification &n) { (this->*handler)(n); });
    }
    center.addObserver(this, QStringLiteral("Notify_curFileDelPlayer"), [this](const Notification &) {
        if (m_panel)
            m_panel->curFileDel();
    });
}

// ---------------------------------------------------------------------------
// Launch and lifecycle

bool ZivoAppDelegate::didFinishLaunchingWithOptions()
{
    ZivoModel::appInit();
    // IS_OPTIMAZING starts false: the builder is idle until a list asks for it.
    registerNotifications();
    for (View *overlay : {m_messageView, static_cast<View *>(m_messageIconView), m_messagViewDel, m_messagViewDuration,
                          m_progressMsgView})
        overlay->setCornerRadius(overlayRadius);
    QWidget *panelView = m_panel ? m_panel->panelView() : nullptr;
    if (panelView)
        panelView->setGeometry(0, 0, 320, 120);
    addMusicMainView();
    if (panelView)
        View::setHidden(panelView, true);
    View::setHidden(m_musicInfoArrowButton, true);
    if (panelView)
        m_window->addSubview(panelView);
    m_window->addSubview(m_musicInfoArrowButton);
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
}

void ZivoAppDelegate::applicationWillEnterForeground()
{
    qCInfo(lcApp) << "applicationWillEnterForeground";
    if (m_panel)
        m_panel->scrollLabelRestart();
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
// Player commands and beeps

void ZivoAppDelegate::playOrPauseMusic(const Notification &)
{
    if (m_detail)
        m_detail->playOrPauseMusic();
}

void ZivoAppDelegate::pauseMusic(const Notification &)
{
    if (m_panel)
        m_panel->pauseMusic();
    if (m_detail)
        m_detail->pauseMusic();
}

void ZivoAppDelegate::playMusicNext(const Notification &)
{
    if (m_panel)
        m_panel->playMusicNext();
    if (m_detail)
        m_detail->uiMusicNext();
}

void ZivoAppDelegate::playMusicPrev(const Notification &)
{
    if (m_panel)
        m_panel->playMusicPrev();
    if (m_detail)
        m_detail->uiMusicPrev();
}

void ZivoAppDelegate::loadSound()
{
    const auto load = [](const char *name) -> std::unique_ptr<SoundPlayer> {
        QString error;
        const QString path = Bundle::pathForResource(QString::fromLatin1(name), QStringLiteral("wav"));
        std::unique_ptr<SoundPlayer> player = SoundPlayer::fromFile(path, &error);
        if (!player) {
            qCWarning(lcApp).noquote() << "beep" << name << "not loaded:" << error;
            return nullptr;
        }
        player->prepareToPlay();
        return player;
    };
    m_playSound = load("Orbo_Melody_Play-01");
    m_nextSound = load("Orbo_Melody_FF-02");
    m_prevSound = load("Orbo_Melody_REW-02");
}

void ZivoAppDelegate::soundPlay(const Notification &notification)
{
    if (UserDefaults::standard().stringForKey(SettingsKeys::beepSoundModeKey) == QLatin1String("1"))
        return;
    const QString which = notification.object.toString();
    SoundPlayer *player = which == QLatin1String("playPause") ? m_playSound.get()
        : which == QLatin1String("next")                      ? m_nextSound.get()
        : which == QLatin1String("prev")                      ? m_prevSound.get()
                                                              : nullptr;
    if (player)
        player->play();
}

// ---------------------------------------------------------------------------
// Overlays

void ZivoAppDelegate::showFadingOverlay(View *overlay)
{
    View::setCenter(overlay, QPoint(Window::width / 2, Window::height / 2));
    m_window->addSubview(overlay);
    View::setAlpha(overlay, 1.0);
    ViewAnimation(QStringLiteral("messageFadeAni"), fadeDurationMs)
        .delay(fadeDelayMs)
        .curve(QEasingCurve::InOutQuad)
        .alpha(overlay, 0.0)
        .start();
}

void ZivoAppDelegate::viewMessageAni(const Notification &notification)
{
    m_messageTextView->setText(notification.object.toString());
    showFadingOverlay(m_messageView);
}

void ZivoAppDelegate::viewMessageIconAni(const Notification &notification)
{
    m_messageIconView->setMessage(notification.object.toString());
    showFadingOverlay(m_messageIconView);
}

void ZivoAppDelegate::viewMessage(const Notification &notification)
{
    View::setCenter(m_messagViewDel, QPoint(Window::width / 2, Window::height / 2));
    m_messageTextViewDel->setText(notification.object.toString());
    View::setAlpha(m_messagViewDel, 1.0);
    m_window->addSubview(m_messagViewDel);
}

void ZivoAppDelegate::closeMessage(const Notification &)
{
    View::removeFromSuperview(m_messagViewDel);
}

void ZivoAppDelegate::viewMessageDuration(const Notification &notification)
{
    View::setCenter(m_messagViewDuration, QPoint(Window::width / 2, Window::height / 2));
    m_durationLabel->setText(notification.object.toString());
    View::setAlpha(m_messagViewDuration, 1.0);
    m_window->addSubview(m_messagViewDuration);
}

void ZivoAppDelegate::closeMessageDuration(const Notification &)
{
    View::removeFromSuperview(m_messagViewDuration);
}

void ZivoAppDelegate::viewMessageProgress(const Notification &notification)
{
    m_progressMsgView->setCornerRadius(overlayRadius);
    const QVariantList parts = notification.object.toList();
    m_progressMsgViewLabel->setText(parts.value(0).toString());
    m_progressMsgViewProgressbar->setProgress(parts.value(1).toFloat());
    m_window->addSubview(m_progressMsgView);
}

void ZivoAppDelegate::setMessageProgress(float progress)
{
    m_progressMsgViewProgressbar->setProgress(progress);
}

void ZivoAppDelegate::closeMessageProgress(const Notification &)
{
    m_progressMsgViewLabel->setText(QString());
    m_progressMsgViewProgressbar->setProgress(0);
    View::removeFromSuperview(m_progressMsgView);
}

// ---------------------------------------------------------------------------
// Navigation

void ZivoAppDelegate::addScreen(Screen which, bool becomesCurrent)
{
    ZivoViewController *target = screen(which);
    if (!target) {
        qCWarning(lcApp) << "screen" << int(which) << "is not part of this build";
        return;
    }
    m_window->addSubview(target->view());
    if (becomesCurrent)
        m_currentViewController = target;
}

void ZivoAppDelegate::addMusicMainView()
{
    addScreen(Screen::MusicMain, true);
}
void ZivoAppDelegate::addMusicAllListView()
{
    addScreen(Screen::MusicAllList, true);
}
void ZivoAppDelegate::addMusicListView()
{
    addScreen(Screen::MusicList, true);
}

void ZivoAppDelegate::addMusicListViewiPod()
{
    // The folder list opens straight into the import folder when it sees this flag.
    if (ZivoViewController *list = screen(Screen::MusicList))
        list->setProperty("goSublistFlg", true);
    addScreen(Screen::MusicList, true);
}

void ZivoAppDelegate::addMusicSubListView()
{
    addScreen(Screen::MusicSubList, true);
}
void ZivoAppDelegate::addPlayListView(const Notification &)
{
    addScreen(Screen::PlayList, true);
}
void ZivoAppDelegate::addPlayListFileListView()
{
    addScreen(Screen::PlayListFileList, true);
}
void ZivoAppDelegate::addPlaybackListFileListView()
{
    addScreen(Screen::PlaybackList, true);
}
void ZivoAppDelegate::addPlaybackSubListView()
{
    addScreen(Screen::PlaybackSubList, true);
}
void ZivoAppDelegate::addFileSelectorView()
{
    addScreen(Screen::FileSelector, false);
}
void ZivoAppDelegate::addFileSelectorSubView()
{
    addScreen(Screen::FileSelectorSub, false);
}
void ZivoAppDelegate::addFileManagerView()
{
    addScreen(Screen::FileManager, true);
}
void ZivoAppDelegate::addFileManagerSubView()
{
    addScreen(Screen::FileManagerSub, true);
}
void ZivoAppDelegate::addFolderView()
{
    addScreen(Screen::Folder, false);
}
void ZivoAppDelegate::addWebserverView()
{
    addScreen(Screen::Webserver, true);
}
void ZivoAppDelegate::addSettingsView()
{
    addScreen(Screen::Settings, true);
}
void ZivoAppDelegate::addHelpView()
{
    addScreen(Screen::Help, false);
}
void ZivoAppDelegate::addEncodingsView()
{
    addScreen(Screen::Encodings, true);
}

void ZivoAppDelegate::addMusicDetailView(const Notification &)
{
    // On top of everything; the screen underneath stays the current one.
    addScreen(Screen::MusicDetail, false);
}

void ZivoAppDelegate::removeCurrentViewController()
{
    if (m_currentViewController && m_currentViewController->isViewLoaded())
        View::removeFromSuperview(m_currentViewController->view());
}

void ZivoAppDelegate::viewPlayInfoPanelAni()
{
    QWidget *panelView = m_panel ? m_panel->panelView() : nullptr;
    if (!panelView)
        return;
    View::setHidden(panelView, false);
    View::removeFromSuperview(panelView);
    m_window->addSubview(panelView);
    addMusicInfoArrowButton();
}

void ZivoAppDelegate::closePlayInfoPanelAni()
{
    if (QWidget *panelView = m_panel ? m_panel->panelView() : nullptr)
        View::setHidden(panelView, true);
    View::setHidden(m_musicInfoArrowButton, true);
}

void ZivoAppDelegate::addMusicInfoArrowButton()
{
    QWidget *panelView = m_panel ? m_panel->panelView() : nullptr;
    if (!panelView || View::isHidden(panelView) || !m_window->contains(panelView) || !m_panel->hasAudioURL())
        return;
    View::setCenter(m_musicInfoArrowButton, QPoint(160, 505));
    View::setHidden(m_musicInfoArrowButton, false);
    ZivoViewController *detail = screen(Screen::MusicDetail);
    QWidget *detailView = detail && detail->isViewLoaded() ? detail->view() : nullptr;
    m_window->insertSubviewBelow(m_musicInfoArrowButton, detailView);
    goMusicInfoArrowAnimation();
}

void ZivoAppDelegate::goMusicInfoArrowAnimation()
{
    ViewAnimation(QStringLiteral("MusicInfoArrowGoAnimation"), 500)
        .curve(QEasingCurve::InOutQuad)
        .center(m_musicInfoArrowButton, QPoint(160, 460))
        .start();
}

void ZivoAppDelegate::settingsViewReloadSettings()
{
    if (ZivoViewController *settings = screen(Screen::Settings))
        QMetaObject::invokeMethod(settings, "reloadSettings");
    if (m_panel)
        m_panel->setCurrentEncodingText(UserDefaults::standard().stringForKey(SettingsKeys::selectedEncodingNameKey));
}

void ZivoAppDelegate::optimizeList(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table)
{
    m_cacheBuilder.optimizeList(list, curFileUrl, table);
}
