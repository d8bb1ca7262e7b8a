#pragma once

#include "BeepSounds.h"
#include "MessageOverlays.h"
#include "ReviewPrompt.h"
#include "ScreenNavigator.h"
#include "library/FolderCacheBuilder.h"
#include "library/LibraryErrorReporter.h"
#include "platform/NotificationCenter.h"

#include <QObject>

#include <memory>

class Button;
class ReloadableList;
class Window;

// The application delegate: the shell's face. It runs the launch sequence and the
// lifecycle, answers the notification bus, and offers the navigation operations; the work
// itself is done by its collaborators: the screen navigator, the message overlays, the
// beeps, the review prompt and the folder cache builder.
class ZivoAppDelegate : public QObject, private LibraryErrorReporter
{
    Q_OBJECT
public:
    using Screen = ::Screen;

    // The screens come from the factory (main.cpp registers them); tests may install
    // their own with setScreen.
    explicit ZivoAppDelegate(const ScreenFactory &screens = ScreenFactory(), QObject *parent = nullptr);
    ~ZivoAppDelegate() override;

    void setScreen(Screen which, std::unique_ptr<ZivoViewController> screen)
    {
        m_navigator.setScreen(which, std::move(screen));
    }
    ZivoViewController *screen(Screen which) const { return m_navigator.screen(which); }
    bool hasScreen(Screen which) const { return screen(which) != nullptr; }
    // The now-playing panel and the full-screen player, installed before launch: either
    // owned by the delegate (the program's panel, a screen of its own) or lent (tests).
    template <typename Panel>
    void installPlayInfoPanel(std::unique_ptr<Panel> panel)
    {
        PlayInfoPanel *face = panel.get();
        m_navigator.ownPlayInfoPanel(std::unique_ptr<ZivoViewController>(std::move(panel)), face);
    }
    void setPlayInfoPanel(PlayInfoPanel *panel) { m_navigator.setPlayInfoPanel(panel); }
    PlayInfoPanel *playInfoPanel() const { return m_navigator.playInfoPanel(); }
    void setMusicDetail(MusicDetail *detail) { m_navigator.setMusicDetail(detail); }
    MusicDetail *musicDetail() const { return m_navigator.musicDetail(); }

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
    void soundPlay(const Notification &notification) { m_beeps.soundPlay(notification.object.toString()); }
    void addMusicDetailView(const Notification &) { m_navigator.addScreen(Screen::MusicDetail, false); }
    void addPlayListView(const Notification &) { m_navigator.addScreen(Screen::PlayList, true); }
    void viewMessageAni(const Notification &n) { m_overlays.viewMessageAni(n.object.toString()); }
    void viewMessageIconAni(const Notification &n) { m_overlays.viewMessageIconAni(n.object.toString()); }
    void viewMessage(const Notification &n) { m_overlays.viewMessage(n.object.toString()); }
    void closeMessage(const Notification &) { m_overlays.closeMessage(); }
    void viewMessageDuration(const Notification &n) { m_overlays.viewMessageDuration(n.object.toString()); }
    void closeMessageDuration(const Notification &) { m_overlays.closeMessageDuration(); }
    void viewMessageProgress(const Notification &n) { m_overlays.viewMessageProgress(n); }
    void closeMessageProgress(const Notification &) { m_overlays.closeMessageProgress(); }

    // --- Navigation: each adds a screen's view on top and never removes anything ---
    void addMusicMainView() { m_navigator.addScreen(Screen::MusicMain, true); }
    void addMusicAllListView() { m_navigator.addScreen(Screen::MusicAllList, true); }
    void addMusicListView() { m_navigator.addScreen(Screen::MusicList, true); }
    void addMusicListViewiPod();
    void addMusicSubListView() { m_navigator.addScreen(Screen::MusicSubList, true); }
    void addPlayListFileListView() { m_navigator.addScreen(Screen::PlayListFileList, true); }
    void addPlaybackListFileListView() { m_navigator.addScreen(Screen::PlaybackList, true); }
    void addPlaybackSubListView() { m_navigator.addScreen(Screen::PlaybackSubList, true); }
    void addFileSelectorView() { m_navigator.addScreen(Screen::FileSelector, false); }
    void addFileSelectorSubView() { m_navigator.addScreen(Screen::FileSelectorSub, false); }
    void addFileManagerView() { m_navigator.addScreen(Screen::FileManager, true); }
    void addFileManagerSubView() { m_navigator.addScreen(Screen::FileManagerSub, true); }
    void addFolderView() { m_navigator.addScreen(Screen::Folder, false); }
    void addWebserverView() { m_navigator.addScreen(Screen::Webserver, true); }
    void addSettingsView() { m_navigator.addScreen(Screen::Settings, true); }
    void addHelpView() { m_navigator.addScreen(Screen::Help, false); }
    void addEncodingsView() { m_navigator.addScreen(Screen::Encodings, true); }
    void removeCurrentViewController() { m_navigator.removeCurrentViewController(); }
    void viewPlayInfoPanelAni() { m_navigator.viewPlayInfoPanelAni(); }
    void closePlayInfoPanelAni() { m_navigator.closePlayInfoPanelAni(); }
    void addMusicInfoArrowButton() { m_navigator.addMusicInfoArrowButton(); }
    void settingsViewReloadSettings();
    // The list the playing song came from shows its row (when that list is installed).
    void playBackListScrollToRow(int row, const QString &folderName);
    void musicAllListScrollToRow(int row, const QString &folderName);
    void musicSubListScrollToRow(int row, const QString &folderName);
    void optimizeList(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table)
    {
        m_cacheBuilder.optimizeList(list, curFileUrl, table);
    }

    // --- State ---
    Window *window() const { return m_window.get(); }
    ZivoViewController *currentViewController() const { return m_navigator.currentViewController(); }
    bool isOptimizing() const { return m_cacheBuilder.isOptimizing(); }
    FolderCacheBuilder &cacheBuilder() { return m_cacheBuilder; }
    ReviewPrompt &reviewPrompt() { return m_reviewPrompt; }
    Button *musicInfoArrowButton() const { return m_navigator.musicInfoArrowButton(); }
    MessageOverlays &overlays() { return m_overlays; }
    BeepSounds &beeps() { return m_beeps; }
    void loadSound() { m_beeps.loadSound(); }

    // The notifications the delegate answers, with the handler of each, registered at launch.
    struct Route
    {
        const QString &name;
        void (ZivoAppDelegate::*handler)(const Notification &);
    };
    static const std::vector<Route> &routes();

private:
    void registerNotifications();
    void scrollListToRow(Screen list, int row, const QString &folderName);
    void reportError(const QString &title, const QString &message, const QString &button) override;

    // Declared first, destroyed last: everything below lays its views over the window.
    std::unique_ptr<Window> m_window;
    MessageOverlays m_overlays{*m_window};
    ScreenNavigator m_navigator{*m_window, this};
    BeepSounds m_beeps;
    ReviewPrompt m_reviewPrompt;
    FolderCacheBuilder m_cacheBuilder{&m_overlays};
    Qt::ApplicationState m_state = Qt::ApplicationInactive;
    bool m_inBackground = false;
    bool m_launched = false;
};
