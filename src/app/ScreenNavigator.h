#pragma once

#include "ScreenFactory.h"

#include <QPointer>

#include <array>
#include <memory>

class Button;
class MusicDetail;
class PlayInfoPanel;
class QWidget;
class Window;
class ZivoAppDelegate;
class ZivoViewController;

// Moves between screens: holds one instance of every screen, lays a screen's view over the
// window on request (the caller removes its own), remembers the current screen, and places
// the now-playing panel and the music-info arrow button above the screens.
class ScreenNavigator
{
public:
    ScreenNavigator(Window &window, ZivoAppDelegate *delegate);
    ~ScreenNavigator();

    // Makes every screen the factory knows (replacing any installed before).
    void installScreens(const ScreenFactory &factory);
    // Installs one screen (or removes it, with null); the navigator owns it.
    void setScreen(Screen which, std::unique_ptr<ZivoViewController> screen);
    ZivoViewController *screen(Screen which) const { return m_screens[size_t(which)].get(); }
    // The screen as one of the small interfaces it implements, or null.
    template <typename Interface>
    Interface *screenAs(Screen which) const
    {
        return dynamic_cast<Interface *>(screen(which));
    }

    // Adds the screen's view on top; a screen that is not installed is logged and skipped.
    void addScreen(Screen which, bool becomesCurrent);
    ZivoViewController *currentViewController() const { return m_current; }
    void removeCurrentViewController();

    void setPlayInfoPanel(PlayInfoPanel *panel) { m_panel = panel; }
    // The panel as a screen the navigator owns; face is the same object as a PlayInfoPanel.
    void ownPlayInfoPanel(std::unique_ptr<ZivoViewController> panel, PlayInfoPanel *face);
    PlayInfoPanel *playInfoPanel() const { return m_panel; }
    // The full-screen player: the one set here (tests lend one), else the screen installed
    // as Screen::MusicDetail when it is one.
    void setMusicDetail(MusicDetail *detail) { m_detail = detail; }
    MusicDetail *musicDetail() const;

    // Launch: the panel sized and both the panel and the arrow hidden, above the first screen.
    void placePanelAtLaunch();
    void viewPlayInfoPanelAni();
    void closePlayInfoPanelAni();
    // Only when the panel is shown and a song was loaded: the arrow slides up into view.
    void addMusicInfoArrowButton();
    Button *musicInfoArrowButton() const { return m_musicInfoArrowButton.get(); }

private:
    QWidget *panelView() const;

    Window &m_window;
    ZivoAppDelegate *m_delegate;
    std::array<std::unique_ptr<ZivoViewController>, size_t(Screen::Count)> m_screens;
    QPointer<ZivoViewController> m_current;
    PlayInfoPanel *m_panel = nullptr;
    MusicDetail *m_detail = nullptr;
    std::unique_ptr<Button> m_musicInfoArrowButton;
    // Declared last, so it goes first: the panel's player stops before the screens go.
    std::unique_ptr<ZivoViewController> m_ownedPanel;
};
