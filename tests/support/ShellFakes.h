#pragma once

#include "app/MusicDetail.h"
#include "app/PlayInfoPanel.h"
#include "app/ZivoViewController.h"
#include "platform/View.h"

#include "app/ScreenFactory.h"
#include "app/ScreenInterfaces.h"

#include <QPointer>
#include <QStringList>

#include <memory>

// A screen that writes down its lifecycle.
class RecordingScreen : public ZivoViewController
{
public:
    explicit RecordingScreen(QString name, QStringList *journal = nullptr) : m_name(std::move(name)), m_journal(journal)
    {}
    void viewWillAppear(bool a) override
    {
        note("willAppear");
        ZivoViewController::viewWillAppear(a);
    }
    void viewDidAppear(bool a) override
    {
        note("didAppear");
        ZivoViewController::viewDidAppear(a);
    }
    void viewWillDisappear(bool a) override
    {
        note("willDisappear");
        ZivoViewController::viewWillDisappear(a);
    }
    void viewDidDisappear(bool a) override
    {
        note("didDisappear");
        ZivoViewController::viewDidDisappear(a);
    }
    QStringList events;

private:
    void note(const char *what)
    {
        events << QString::fromLatin1(what);
        if (m_journal)
            *m_journal << m_name + QLatin1Char('.') + QString::fromLatin1(what);
    }
    QString m_name;
    QStringList *m_journal;
};

// A folder list that remembers the jump into the import folder.
class RecordingFolderList : public RecordingScreen, public FolderListJump
{
public:
    using RecordingScreen::RecordingScreen;
    void setGoSublistFlg(bool on) override { goSublistFlg = on; }
    bool goSublistFlg = false;
};

// The now-playing panel and the full-screen player, as far as the shell sees them.
class FakePlayer : public PlayInfoPanel, public MusicDetail
{
public:
    FakePlayer() : m_panelView(new View), m_detailView(new View) {}
    ~FakePlayer() override
    {
        // A view still in a window went with the window.
        delete m_panelView.data();
        delete m_detailView.data();
    }
    QWidget *panelView() override { return m_panelView; }
    QWidget *detailView() override { return m_detailView; }
    bool isPlaying() const override { return playing; }
    int playListMode() const override { return mode; }
    bool hasAudioURL() const override { return hasUrl; }
    void playMusicNext() override { calls << "panel.playMusicNext"; }
    void playMusicPrev() override { calls << "panel.playMusicPrev"; }
    void playMusicNextUi() override { calls << "panel.playMusicNextUi"; }
    void playMusicPrevUi() override { calls << "panel.playMusicPrevUi"; }
    void pauseMusic() override { calls << "pauseMusic"; }
    void curFileDel() override { calls << "panel.curFileDel"; }
    void scrollLabelRestart() override { calls << "panel.scrollLabelRestart"; }
    void setCurrentEncodingText(const QString &name) override { calls << "panel.encoding " + name; }
    void playOrPauseMusic() override { calls << "detail.playOrPauseMusic"; }
    void uiMusicNext() override { calls << "detail.uiMusicNext"; }
    void uiMusicPrev() override { calls << "detail.uiMusicPrev"; }

    bool playing = false;
    int mode = 0;
    bool hasUrl = false;
    QStringList calls;

private:
    QPointer<View> m_panelView;
    QPointer<View> m_detailView;
};

// The shell with a recording screen in the main menu's place.
inline ScreenFactory recordingMenu()
{
    ScreenFactory screens;
    screens.add(Screen::MusicMain, [] { return std::make_unique<RecordingScreen>(QStringLiteral("menu")); });
    return screens;
}
