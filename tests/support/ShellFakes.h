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

// The full-screen player as far as the shell sees it; writes into its player's journal.
class FakeDetail : public MusicDetail
{
public:
    explicit FakeDetail(QStringList &calls) : m_calls(calls), m_view(new View) {}
    ~FakeDetail() override { delete m_view.data(); } // a view still in a window went with it
    QWidget *detailView() override { return m_view; }
    void playOrPauseMusic() override { m_calls << "detail.playOrPauseMusic"; }
    void pauseMusic() override { m_calls << "pauseMusic"; }
    void uiMusicNext() override { m_calls << "detail.uiMusicNext"; }
    void uiMusicPrev() override { m_calls << "detail.uiMusicPrev"; }
    void detailSetInfo() override { m_calls << "detail.detailSetInfo"; }
    void reloadRandomReplayButton() override { m_calls << "detail.reloadRandomReplayButton"; }
    void setLevelMeterValues(float, float) override {}

private:
    QStringList &m_calls;
    QPointer<View> m_view;
};

// The now-playing panel as far as the shell and the list screens see it, with the
// full-screen player beside it (`detail`), both writing down what they are asked.
class FakePlayer : public PlayInfoPanel
{
public:
    FakePlayer() : m_panelView(new View) {}
    ~FakePlayer() override { delete m_panelView.data(); }
    QWidget *panelView() override { return m_panelView; }
    bool isPlaying() const override { return playing; }
    int playListMode() const override { return mode; }
    bool hasAudioURL() const override { return hasUrl; }
    void playMusicNext() override { calls << "panel.playMusicNext"; }
    void playMusicPrev() override { calls << "panel.playMusicPrev"; }
    void playMusicNextUi() override { calls << "panel.playMusicNextUi"; }
    void playMusicPrevUi() override { calls << "panel.playMusicPrevUi"; }
    void playOrPauseMusic() override { calls << "panel.playOrPauseMusic"; }
    void pauseMusic() override { calls << "pauseMusic"; }
    void curFileDel() override { calls << "panel.curFileDel"; }
    void scrollLabelRestart() override { calls << "panel.scrollLabelRestart"; }
    void setCurrentEncodingText(const QString &name) override { calls << "panel.encoding " + name; }
    // The list state, as the list screens set it.
    void setMusicURLArray(const QList<QUrl> &list) override { urls = list; }
    void setMusicURLArrayIndex(int i) override { index = i; }
    void setPlayListMode(int m) override { mode = m; }
    void setCurFolderD(const QString &title) override { folder = title; }
    void curURLSet() override { current = urls.value(index); }
    void playMusic() override
    {
        calls << "panel.playMusic";
        hasUrl = true;
        playing = true;
    }
    QUrl curURL() const override { return current; }
    void songFilesChanged(const QHash<QUrl, QUrl> &moved) override
    {
        calls << "panel.songFilesChanged";
        movedSongs = moved;
    }

    bool playing = false;
    int mode = 0;
    bool hasUrl = false;
    QList<QUrl> urls;
    int index = -1;
    QString folder;
    QUrl current;
    QHash<QUrl, QUrl> movedSongs;
    QStringList calls;
    FakeDetail detail{calls};

private:
    QPointer<View> m_panelView;
};

// The shell with a recording screen in the main menu's place.
inline ScreenFactory recordingMenu()
{
    ScreenFactory screens;
    screens.add(Screen::MusicMain, [] { return std::make_unique<RecordingScreen>(QStringLiteral("menu")); });
    return screens;
}
