#pragma once

#include "LevelMeterLoop.h"
#include "NowPlayingInfo.h"
#include "PlayOrder.h"
#include "app/PlayInfoPanel.h"
#include "app/ZivoViewController.h"

#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <memory>

class AudioPlayer;
class Button;
class MusicDetail;
class F3BarGauge;
class ImageView;
class Label;
class PlayerMiniAniView;
class ScrollLabel;

// The now-playing panel (320 x 120 at the top of the list screens) and the one owner of
// the audio player: it holds the song list with its index and mode, plays the current
// song, refreshes its texts and progress once a second, drives the two level meters from
// one background loop, moves through the list by the play order rules, and answers the
// player's reports (end of song, decode error, lost output device, interruptions).
//
// Everything runs on the main thread except the meter loop, which reads only the player's
// meters and hands the levels to the gauges. The loop of a song ends before its player
// is replaced, so the loop never reads a player that is gone.
class PlayInfoPanelViewController : public ZivoViewController, public PlayInfoPanel
{
    Q_OBJECT
public:
    explicit PlayInfoPanelViewController(QObject *parent = nullptr);
    ~PlayInfoPanelViewController() override;

    // --- PlayInfoPanel ---
    QWidget *panelView() override { return view(); }
    bool isPlaying() const override;
    int playListMode() const override { return m_playListMode; }
    bool hasAudioURL() const override { return m_mPlayer != nullptr; }
    void playMusicNext() override;
    void playMusicPrev() override;
    void playMusicNextUi() override;
    void playMusicPrevUi() override;
    void playOrPauseMusic() override;
    void pauseMusic() override;
    void curFileDel() override;
    void scrollLabelRestart() override;
    void setCurrentEncodingText(const QString &name) override;
    void setMusicURLArray(const QList<QUrl> &urls) override;
    void setMusicURLArrayIndex(int index) override { m_musicURLArrayIndex = index; }
    void setPlayListMode(int mode) override { m_playListMode = mode; }
    void setCurFolderD(const QString &title) override { m_curFolderD = title; }
    void curURLSet() override;
    void playMusic() override;
    QUrl curURL() const override { return m_curURL; }
    void songFilesChanged(const QHash<QUrl, QUrl> &moved) override;

    // --- List state ---
    QList<QUrl> musicURLArray() const { return m_musicURLArray; }
    int musicURLArrayIndex() const { return m_musicURLArrayIndex; }
    QString curFolderD() const { return m_curFolderD; }
    int randomPrevIndex() const { return m_randomPrevIndex; }
    int randomNextIndex() const { return m_randomNextIndex; }
    void setRandomIndexes(int previous, int next);

    // --- Commands ---
    void playReadMusic();
    void playOrPauseMusicUi();
    // Stops, and loads the current song again, paused at its start.
    void stopMusic();
    void randomToggle();
    void replayToggle();
    void reloadRandomReplayButton();
    void panelInfoSetLoop();
    void panelInfoSetLoopStop();
    void panelInfoSet();
    void changeFolderAni();
    void viewDetailView();
    // The full-screen player is open: the refresh and the meter loop feed it too.
    bool detailViewOnFlg() const { return m_detailViewOnFlg; }
    void setDetailViewOnFlg(bool on);

    // --- The player's reports (a report of a player that is no longer current is ignored) ---
    void audioPlayerDidFinishPlaying(AudioPlayer *player, bool successfully);
    void audioPlayerDecodeErrorDidOccur(AudioPlayer *player, const QString &error);
    void audioPlayerBeginInterruption(AudioPlayer *player);
    void audioPlayerEndInterruption(AudioPlayer *player);
    void audioRouteChanged(AudioPlayer *player, int reason);

    // --- What the desktop's media remote reads and sets ---
    AudioPlayer *mPlayer() const { return m_mPlayer.get(); }
    double currentTime() const;
    double duration() const;
    // Seeks within the current song and tells listeners (seeked).
    void setCurrentTime(double seconds);
    float volume() const { return m_volume; }
    void setVolume(float volume);
    // Stopped: no song, or stopMusic and not played since.
    bool isStopped() const { return !m_mPlayer || m_stopped; }
    const NowPlayingInfo &nowPlayingInfo() const { return m_nowPlaying; }

    // The progress bar's width for a time into a song, and whether it glides there.
    struct Progress
    {
        double width = 0;
        bool animated = false;
    };
    static Progress progressFor(double currentTime, double duration);
    static constexpr int progressX = 16;
    static constexpr double progressFullWidth = 264.0;

    // --- The panel's parts (for tests and the full-screen player) ---
    ScrollLabel *curMusicNameLabel() const { return m_curMusicNameLabel; }
    Label *totalTimeLabel() const { return m_totalTimeLabel; }
    Label *folderLabel() const { return m_folderLabel; }
    Button *playButton() const { return m_playButton; }
    Button *pauseButton() const { return m_pauseButton; }
    Button *nextButton() const { return m_nextButton; }
    Button *prevButton() const { return m_prevButton; }
    Button *randomButton() const { return m_randomButton; }
    Button *replayButton() const { return m_replayButton; }
    F3BarGauge *levelMeterViewL() const { return m_levelMeterViewL; }
    F3BarGauge *levelMeterViewR() const { return m_levelMeterViewR; }
    ImageView *playBackImageView() const { return m_playBackImageView; }
    ImageView *progressBarImageView() const { return m_progressBarImageView; }
    Label *bitRateLabel() const { return m_bitRateLabel; }
    Label *lyricsLabel() const { return m_lyricsLabel; }
    // Dark grey when the song has lyrics, light grey when not.
    QColor lyricsBackgroundColor() const;
    Label *currentEncodingLabel() const { return m_currentEncodingLabel; }
    PlayerMiniAniView *playerMiniAniView() const { return m_playerMiniAniView; }
    const LevelMeterLoop &meterLoop() const { return m_meterLoop; }
    bool panelInfoTimerActive() const { return m_panelInfoTimer.isActive(); }
    // Last meter readings as linear amplitudes (left and right channel).
    float average() const { return m_average; }
    float average2() const { return m_average2; }
    float peak() const { return m_peak; }
    float peak2() const { return m_peak2; }

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The song, the playing state or the volume changed.
    void nowPlayingChanged();
    void seeked(double seconds);

protected:
    View *loadView() override;
    void viewDidLoad() override;

private:
    void move(PlayOrder::Direction direction, PlayOrder::Trigger trigger);
    void applyChoice(const PlayOrder::Choice &choice);
    void scrollListToCurrentRow();
    // The placeholder state: no song, buttons off, nothing running.
    void clearPlayer();
    // Buttons, playing sign and marquee for a playing or a held song.
    void showPlayingState(bool playing);
    void setButtonsEnabled(bool enabled);
    bool meterPass();
    void describeSong(bool playable);
    void updateLyricsIndicator();
    QString displayName(QByteArray *artworkPng, QStringList *texts) const;
    MusicDetail *musicDetail() const;

    std::unique_ptr<AudioPlayer> m_mPlayer;
    QUrl m_curURL;
    QString m_curFolderD;
    QList<QUrl> m_musicURLArray;
    int m_musicURLArrayIndex = 0;
    int m_playListMode = 0;
    int m_randomPrevIndex = 0;
    int m_randomNextIndex = 0;
    bool m_detailViewOnFlg = false;
    bool m_stopped = false;
    float m_volume = 1.0f;
    quint64 m_songsStarted = 0;
    NowPlayingInfo m_nowPlaying;

    ScrollLabel *m_curMusicNameLabel = nullptr;
    Label *m_totalTimeLabel = nullptr;
    Label *m_folderLabel = nullptr;
    Button *m_pauseButton = nullptr;
    Button *m_playButton = nullptr;
    Button *m_nextButton = nullptr;
    Button *m_prevButton = nullptr;
    Button *m_randomButton = nullptr;
    Button *m_replayButton = nullptr;
    F3BarGauge *m_levelMeterViewL = nullptr;
    F3BarGauge *m_levelMeterViewR = nullptr;
    ImageView *m_playBackImageView = nullptr;
    ImageView *m_progressBarImageView = nullptr;
    Label *m_encodingMarkLabel = nullptr;
    Label *m_bitRateLabel = nullptr;
    Label *m_lyricsLabel = nullptr;
    View *m_lyricsBadge = nullptr;
    bool m_hasLyrics = false;
    Label *m_currentEncodingLabel = nullptr;
    PlayerMiniAniView *m_playerMiniAniView = nullptr;
    QPixmap m_randomOnImage, m_randomOffImage, m_replayOnImage, m_replayOffImage, m_replayOneImage, m_folderOnImage,
        m_playListOnImage;

    QTimer m_panelInfoTimer;
    // Written by the meter thread, read by the main thread.
    std::atomic<float> m_peak{0}, m_peak2{0}, m_average{0}, m_average2{0};
    // Whether the panel is on screen, for the meter thread.
    std::atomic<bool> m_panelShown{false};
    // The open full-screen player whose meters the meter thread feeds, or null.
    std::atomic<MusicDetail *> m_meterDetail{nullptr};
    // Declared last: it stops (and waits for its thread) before anything it reads goes.
    LevelMeterLoop m_meterLoop;
};
