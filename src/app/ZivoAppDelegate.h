#pragma once

#include "ReviewPrompt.h"
#include "library/FolderCacheBuilder.h"
#include "library/ProgressOverlayHost.h"
#include "platform/NotificationCenter.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <memory>

class Button;
class DDProgressView;
class Label;
class MessageIconView;
class MusicDetail;
class MusicMainViewController;
class PlayInfoPanel;
class ReloadableList;
class SoundPlayer;
class TextView;
class View;
class Window;
#include "ZivoViewController.h"

// The application delegate: owns the window, one instance of every screen, the message
// overlays and the beep players for the life of the process; runs the launch sequence,
// answers the notification bus and the lifecycle, and moves between screens.
class ZivoAppDelegate : public QObject, public ProgressOverlayHost
{
    Q_OBJECT
public:
    // Every screen the delegate owns. A screen that has not been installed is not reachable.
    enum class Screen {
        MusicMain,
        MusicAllList,
        MusicList,
        MusicSubList,
        PlayList,
        PlayListFileList,
        PlaybackList,
        PlaybackSubList,
        FileSelector,
        FileSelectorSub,
        FileManager,
        FileManagerSub,
        Folder,
        Webserver,
        Settings,
        Help,
        Encodings,
        MusicDetail,
        Count
    };

    explicit ZivoAppDelegate(QObject *parent = nullptr);
    ~ZivoAppDelegate() override;

    // Hands a screen to the delegate (it owns it from now on) before or after launch.
    void setScreen(Screen which, ZivoViewController *screen);
    ZivoViewController *screen(Screen which) const;
    bool hasScreen(Screen which) const { return screen(which) != nullptr; }
    // The now-playing panel and the full-screen player, installed before launch.
    void setPlayInfoPanel(PlayInfoPanel *panel) { m_panel = panel; }
    PlayInfoPanel *playInfoPanel() const { return m_panel; }
    void setMusicDetail(MusicDetail *detail) { m_detail = detail; }
    MusicDetail *musicDetail() const { return m_detail; }

    // --- Platform entry points ---
    bool didFinishLaunchingWithOptions();
    void applicationWillResignActive();
    void applicationDidEnterBackground();
    void applicationWillEnterForeground();
    void applicationDidBecomeActive();
    void applicationWillTerminate();
    void applicationDidReceiveMemoryWarning() {}
    // Maps the desktop's application states onto the entry points above; minimising the
    // window counts as going to the background.
    void handleApplicationState(Qt::ApplicationState state);
    bool eventFilter(QObject *watched, QEvent *event) override;

    // --- Notification handlers ---
    void playOrPauseMusic(const Notification &);
    void pauseMusic(const Notification &);
    void playMusicNext(const Notification &);
    void playMusicPrev(const Notification &);
    void soundPlay(const Notification &notification);
    void addMusicDetailView(const Notification &);
    void addPlayListView(const Notification &);
    void viewMessageAni(const Notification &notification);
    void viewMessageIconAni(const Notification &notification);
    void viewMessage(const Notification &notification);
    void closeMessage(const Notification &);
    void viewMessageDuration(const Notification &notification);
    void closeMessageDuration(const Notification &);
    void viewMessageProgress(const Notification &notification) override;
    void setMessageProgress(float progress) override;
    void closeMessageProgress(const Notification &);

    // --- Navigation: each adds a screen's view on top and never removes anything ---
    void addMusicMainView();
    void addMusicAllListView();
    void addMusicListView();
    void addMusicListViewiPod();
    void addMusicSubListView();
    void addPlayListFileListView();
    void addPlaybackListFileListView();
    void addPlaybackSubListView();
    void addFileSelectorView();
    void addFileSelectorSubView();
    void addFileManagerView();
    void addFileManagerSubView();
    void addFolderView();
    void addWebserverView();
    void addSettingsView();
    void addHelpView();
    void addEncodingsView();
    void removeCurrentViewController();
    void viewPlayInfoPanelAni();
    void closePlayInfoPanelAni();
    void addMusicInfoArrowButton();
    void settingsViewReloadSettings();
    void optimizeList(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table);

    // --- State ---
    Window *window() const { return m_window.get(); }
    MusicMainViewController *musicMainViewController() const;
    ZivoViewController *currentViewController() const { return m_currentViewController; }
    bool isOptimizing() const { return m_cacheBuilder.isOptimizing(); }
    FolderCacheBuilder &cacheBuilder() { return m_cacheBuilder; }
    ReviewPrompt &reviewPrompt() { return m_reviewPrompt; }
    Button *musicInfoArrowButton() const { return m_musicInfoArrowButton; }

    // The overlays, for screens and tests.
    View *messageView() const { return m_messageView; }
    TextView *messageTextView() const { return m_messageTextView; }
    MessageIconView *messageIconView() const { return m_messageIconView; }
    View *messagViewDuration() const { return m_messagViewDuration; }
    Label *durationLabel() const { return m_durationLabel; }
    View *progressMsgView() const { return m_progressMsgView; }
    Label *progressMsgViewLabel() const { return m_progressMsgViewLabel; }
    DDProgressView *progressMsgViewProgressbar() const { return m_progressMsgViewProgressbar; }
    View *messagViewDel() const { return m_messagViewDel; }
    TextView *messageTextViewDel() const { return m_messageTextViewDel; }

    // The beep players; null where the sound could not be loaded.
    SoundPlayer *playSound() const { return m_playSound.get(); }
    SoundPlayer *nextSound() const { return m_nextSound.get(); }
    SoundPlayer *prevSound() const { return m_prevSound.get(); }
    void loadSound();

    // The names of the notifications the delegate handles, as registered at launch.
    static QStringList handledNotificationNames();

private:
    void buildOverlays();
    void registerNotifications();
    void addScreen(Screen which, bool becomesCurrent);
    void showFadingOverlay(View *overlay);
    void goMusicInfoArrowAnimation();

    std::unique_ptr<Window> m_window;
    std::array<QPointer<ZivoViewController>, size_t(Screen::Count)> m_screens{};
    QPointer<ZivoViewController> m_currentViewController;
    PlayInfoPanel *m_panel = nullptr;
    MusicDetail *m_detail = nullptr;
    Button *m_musicInfoArrowButton = nullptr;

    View *m_messageView = nullptr;
    TextView *m_messageTextView = nullptr;
    MessageIconView *m_messageIconView = nullptr;
    View *m_messagViewDuration = nullptr;
    Label *m_durationLabel = nullptr;
    View *m_progressMsgView = nullptr;
    Label *m_progressMsgViewLabel = nullptr;
    DDProgressView *m_progressMsgViewProgressbar = nullptr;
    View *m_messagViewDel = nullptr;
    TextView *m_messageTextViewDel = nullptr;

    std::unique_ptr<SoundPlayer> m_playSound;
    std::unique_ptr<SoundPlayer> m_nextSound;
    std::unique_ptr<SoundPlayer> m_prevSound;

    ReviewPrompt m_reviewPrompt;
    FolderCacheBuilder m_cacheBuilder{this};
    Qt::ApplicationState m_state = Qt::ApplicationInactive;
    bool m_inBackground = false;
    bool m_launched = false;
};
