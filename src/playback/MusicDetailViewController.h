#pragma once

#include "app/MusicDetail.h"
#include "app/ZivoViewController.h"

#include <QElapsedTimer>
#include <QPoint>

class Button;
class F3BarGauge;
class ImageView;
class Label;
class MusicDetailView;
class PlayInfoPanelViewController;
class Slider;
class TextView;

// The full-screen player: the current song's artwork, the slide-down tag panel and the
// lyrics, a position slider with elapsed and remaining time, the volume, two 35-bar level
// meters and the panel's five controls. It plays nothing itself: every command goes to the
// now-playing panel's player, whose state it shows. Songs slide in when the player moves
// on; a swipe on the artwork (a drag, a touch swipe, a sideways scroll) and the Left and
// Right keys move the player as the previous and next buttons do.
class MusicDetailViewController : public ZivoViewController, public MusicDetail
{
    Q_OBJECT
public:
    // The tag panel's three positions, which survive closing and opening the screen.
    enum class TagPanel { Closed, Open, Lyrics };

    explicit MusicDetailViewController(PlayInfoPanelViewController &player, QObject *parent = nullptr);
    ~MusicDetailViewController() override;

    // --- MusicDetail ---
    QWidget *detailView() override { return view(); }
    // The remote's and the buttons' play/pause: the icon message, then the player toggles.
    void playOrPauseMusic() override;
    void pauseMusic() override;
    void uiMusicNext() override;
    void uiMusicPrev() override;
    // The slider and the two times follow the player, except while the user holds the slider.
    void detailSetInfo() override;
    void reloadRandomReplayButton() override;
    void setLevelMeterValues(float left, float right) override;

    // --- Commands ---
    void uiPlayOrPauseMusic();
    // The next and previous buttons, the swipes and the arrow keys.
    void playMusicNext();
    void playMusicPrev();
    void closeBackgroundImageView();
    // The slider moves under the user's hand: the times and the position message follow.
    void durationSliderValueChanged(double value);
    // The slider is let go (or set from the keyboard): the player seeks there.
    void setCurrentTime();
    void randomToggle();
    void replayToggle();
    void closeView();
    void viewID3Pannel();
    void closeID3Pannel();
    void viewLyrics();
    void closeLyrics();
    TagPanel tagPanel() const { return m_tagPanel; }

    // "<folder> [ <n> / <count>] ".
    static QString folderPathText(const QString &folder, int index, int count);

    // --- Parts (for tests) ---
    MusicDetailView *musicDetailView() const { return m_musicDetailView; }
    ImageView *albumImageView() const;
    ImageView *backgroundImageView() const { return m_backgroundImageView; }
    Button *playButton() const { return m_playButton; }
    Button *pauseButton() const { return m_pauseButton; }
    Button *nextButton() const { return m_nextButton; }
    Button *prevButton() const { return m_prevButton; }
    Button *randomButton() const { return m_randomButton; }
    Button *replayButton() const { return m_replayButton; }
    Button *closeButton() const { return m_closeButton; }
    Button *id3UpButton() const { return m_id3UpButton; }
    Button *id3DownButton() const { return m_id3DownButton; }
    Button *lyricsButton() const { return m_lyricsButton; }
    TextView *lyricsTextView() const;
    Slider *durationSlider() const { return m_durationSlider; }
    Slider *volumeSlider() const { return m_volumeSlider; }
    Label *playedTimeLabel() const { return m_playedTimeLabel; }
    Label *totalTimeLabel() const { return m_totalTimeLabel; }
    Label *folderPathLabel() const { return m_folderPathLabel; }
    Label *songCountLabel() const { return m_songCountLabel; }
    F3BarGauge *levelMeterViewL() const { return m_levelMeterViewL; }
    F3BarGauge *levelMeterViewR() const { return m_levelMeterViewR; }
    // True while the user holds the position slider.
    bool isSeeking() const { return m_seeking; }

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    bool escapePressed() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

protected:
    View *loadView() override;
    void viewDidLoad() override;

private:
    void slide(bool fromRight);
    void showFolderPath();
    void showVolume();
    // The tag panel's move to a place, with the fades of its parts (an alpha below zero
    // leaves that part as it is).
    void moveTagPanel(const QString &animation, const QPoint &center, qreal labels, qreal down, qreal up, qreal lyrics,
                      int showLyrics);
    // Sideways swipes on the artwork: -1 next (towards the left), 1 previous.
    bool swipeEvent(QEvent *event);
    void swipe(int direction);

    PlayInfoPanelViewController &m_player;
    Button *m_playButton = nullptr;
    Button *m_pauseButton = nullptr;
    ImageView *m_backgroundImageView = nullptr;
    MusicDetailView *m_musicDetailView = nullptr;
    Slider *m_durationSlider = nullptr;
    Slider *m_volumeSlider = nullptr;
    Label *m_playedTimeLabel = nullptr;
    Label *m_totalTimeLabel = nullptr;
    Label *m_folderPathLabel = nullptr;
    Label *m_songCountLabel = nullptr;
    Button *m_nextButton = nullptr;
    Button *m_prevButton = nullptr;
    Button *m_randomButton = nullptr;
    Button *m_replayButton = nullptr;
    Button *m_closeButton = nullptr;
    Button *m_id3UpButton = nullptr;
    Button *m_id3DownButton = nullptr;
    Button *m_lyricsButton = nullptr;
    F3BarGauge *m_levelMeterViewL = nullptr;
    F3BarGauge *m_levelMeterViewR = nullptr;

    TagPanel m_tagPanel = TagPanel::Open;
    bool m_seeking = false;
    int m_slides = 0;
    // Swipes in progress: where a press or touch began, and the sideways scroll so far.
    QPoint m_pressAt;
    bool m_pressed = false;
    int m_wheelTravel = 0;
    bool m_wheelArmed = true;
    QElapsedTimer m_lastWheel;
};
