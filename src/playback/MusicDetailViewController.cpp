#include "MusicDetailViewController.h"

#include "F3BarGauge.h"
#include "MusicDetailView.h"
#include "PlayInfoPanelViewController.h"
#include "PlayOrder.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NotificationCenter.h"
#include "platform/Slider.h"
#include "platform/TextView.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTouchEvent>
#include <QWheelEvent>

namespace {
constexpr int slideMs = 500;
constexpr int tagPanelMs = 500;
// A drag or touch swipe counts once it has gone this far sideways, and more sideways than up or down.
constexpr int swipeDistance = 40;
// A sideways scroll of one wheel notch (120) or of this many pixels on a touchpad is one swipe;
// the rest of that scroll gesture is ignored.
constexpr int wheelNotch = 120;
constexpr int touchpadSwipePixels = 80;
constexpr int wheelQuietMs = 400;
const QColor plateInk(51, 51, 51);

QPixmap picture(const QString &name)
{
    return ImageView::imageNamed(name);
}

Button *imageButton(QWidget *root, const QRect &frame, const QString &image, const char *name,
                    const QString &pressed = QString())
{
    auto *button = new Button(frame, root);
    button->setImage(picture(image));
    if (!pressed.isEmpty())
        button->setImage(picture(pressed), Button::Highlighted);
    button->setAccessibleName(Translations::text(name));
    return button;
}

Label *timeLabel(QWidget *root, const QRect &frame, Qt::Alignment alignment)
{
    auto *label = new Label(frame, root);
    label->setFontSize(8.5, true);
    label->setTextColor(plateInk);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setText(QStringLiteral("00:00"));
    return label;
}
} // namespace

MusicDetailViewController::MusicDetailViewController(PlayInfoPanelViewController &player, QObject *parent)
    : ZivoViewController(parent), m_player(player)
{
    // The volume can change from the desktop's media controls too: the slider follows.
    connect(&m_player, &PlayInfoPanelViewController::nowPlayingChanged, this, [this] {
        showVolume();
        if (isOnScreen())
            uiPlayOrPauseMusic();
    });
}

MusicDetailViewController::~MusicDetailViewController()
{
    // The snapshot lies in the window, outside the screen's own view.
    delete m_backgroundImageView;
}

// ---------------------------------------------------------------------------
// The view

View *MusicDetailViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    root->setAccessibleName(Translations::text("Full-screen player"));
    auto *ground = new ImageView(picture(QStringLiteral("playerDetail_background.png")), root);
    ground->setGeometry(0, 0, 320, 320);
    m_musicDetailView = new MusicDetailView(root);

    // The lower plate: where the song is in its list, the position, the meters, the controls.
    auto *plate = new ImageView(picture(QStringLiteral("playerDetail_plate.png")), root);
    plate->setGeometry(0, 320, 320, 160);
    m_folderPathLabel = new Label(QRect(12, 323, 226, 16), root);
    m_folderPathLabel->setFontSize(8.5);
    m_folderPathLabel->setTextColor(QColor(70, 76, 86));
    m_songCountLabel = new Label(QRect(240, 323, 68, 16), root);
    m_songCountLabel->setFontSize(8.5);
    m_songCountLabel->setTextColor(QColor(70, 76, 86));
    m_songCountLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_playedTimeLabel = timeLabel(root, QRect(4, 342, 44, 20), Qt::AlignRight);
    m_durationSlider = new Slider(root);
    m_durationSlider->setGeometry(52, 341, 216, 22);
    m_durationSlider->setAccessibleName(Translations::text("Position"));
    m_totalTimeLabel = timeLabel(root, QRect(272, 342, 44, 20), Qt::AlignLeft);

    m_levelMeterViewL = new F3BarGauge(QRect(14, 368, 292, 6), root);
    m_levelMeterViewR = new F3BarGauge(QRect(14, 376, 292, 6), root);
    m_levelMeterViewL->setAccessibleName(Translations::text("Left level"));
    m_levelMeterViewR->setAccessibleName(Translations::text("Right level"));

    m_randomButton = imageButton(root, QRect(12, 398, 36, 30), QStringLiteral("player_shuffleOff.png"), "Shuffle");
    m_prevButton = imageButton(root, QRect(76, 394, 44, 38), QStringLiteral("player_prev.png"), "Previous",
                               QStringLiteral("player_prev_on.png"));
    m_playButton = imageButton(root, QRect(138, 392, 44, 42), QStringLiteral("player_play.png"), "Play",
                               QStringLiteral("player_play_on.png"));
    m_pauseButton = imageButton(root, QRect(138, 392, 44, 42), QStringLiteral("player_pause.png"), "Pause",
                                QStringLiteral("player_pause_on.png"));
    m_nextButton = imageButton(root, QRect(200, 394, 44, 38), QStringLiteral("player_next.png"), "Next",
                               QStringLiteral("player_next_on.png"));
    m_replayButton = imageButton(root, QRect(272, 398, 36, 30), QStringLiteral("player_repeatOn.png"), "Repeat");

    m_closeButton = imageButton(root, QRect(10, 443, 48, 30), QStringLiteral("playerDetail_close.png"), "Close");
    m_volumeSlider = new Slider(root);
    m_volumeSlider->setGeometry(71, 448, 217, 19);
    m_volumeSlider->setRange(0.0, 1.0);
    m_volumeSlider->setAccessibleName(Translations::text("Volume"));

    // The tag panel's handles, above the artwork.
    m_id3DownButton = imageButton(root, QRect(280, 2, 36, 28), QStringLiteral("playerDetail_id3Down.png"), "Show tags");
    m_id3UpButton = imageButton(root, QRect(280, 2, 36, 28), QStringLiteral("playerDetail_id3Up.png"), "Hide tags");
    m_lyricsButton = new Button(QRect(244, 34, 68, 22), root);
    m_lyricsButton->setFill(QColor(46, 204, 196, 70), QColor(46, 204, 196, 140), 11);
    m_lyricsButton->setTitleColor(Qt::white);
    m_lyricsButton->setFontSize(8.5, true);

    connect(m_playButton, &Button::clicked, this, &MusicDetailViewController::playOrPauseMusic);
    connect(m_pauseButton, &Button::clicked, this, &MusicDetailViewController::playOrPauseMusic);
    connect(m_nextButton, &Button::clicked, this, &MusicDetailViewController::playMusicNext);
    connect(m_prevButton, &Button::clicked, this, &MusicDetailViewController::playMusicPrev);
    connect(m_randomButton, &Button::clicked, this, &MusicDetailViewController::randomToggle);
    connect(m_replayButton, &Button::clicked, this, &MusicDetailViewController::replayToggle);
    connect(m_closeButton, &Button::clicked, this, &MusicDetailViewController::closeView);
    connect(m_id3DownButton, &Button::clicked, this, &MusicDetailViewController::viewID3Pannel);
    connect(m_id3UpButton, &Button::clicked, this, &MusicDetailViewController::closeID3Pannel);
    connect(m_lyricsButton, &Button::clicked, this, &MusicDetailViewController::viewLyrics);

    // The position: dragging previews, letting go seeks; the keyboard and screen readers,
    // which neither press nor release, seek at once.
    connect(m_durationSlider, &Slider::sliderPressed, this, [this] { m_seeking = true; });
    connect(m_durationSlider, &Slider::valueChanged, this, [this](double value) {
        durationSliderValueChanged(value);
        if (!m_durationSlider->isSliderDown())
            setCurrentTime();
    });
    connect(m_durationSlider, &Slider::sliderReleased, this, &MusicDetailViewController::setCurrentTime);
    connect(m_volumeSlider, &Slider::valueChanged, this, [this](double value) { m_player.setVolume(float(value)); });

    ImageView *artwork = m_musicDetailView->albumImageView();
    artwork->setAttribute(Qt::WA_AcceptTouchEvents);
    artwork->installEventFilter(this);
    root->installEventFilter(this);
    return root;
}

void MusicDetailViewController::viewDidLoad()
{
    for (F3BarGauge *gauge : {m_levelMeterViewL, m_levelMeterViewR})
        gauge->setPlayerMeterLook(35);
    m_volumeSlider->setThumbImage(picture(QStringLiteral("playerDetail_volume_header.png")));
    m_volumeSlider->setMinimumTrackImage(picture(QStringLiteral("playerDetail_volume_play.png")));
    m_volumeSlider->setMaximumTrackImage(picture(QStringLiteral("playerDetail_volume_blank.png")));
    m_durationSlider->setThumbImage(picture(QStringLiteral("playerDetail_progressHead.png")));
    m_durationSlider->setMinimumTrackImage(picture(QStringLiteral("playerDetail_progressBarPlayBack.png")));
    m_durationSlider->setMaximumTrackImage(picture(QStringLiteral("playerDetail_progressBarInnerPlayBack.png")));
    m_lyricsButton->setTitle(Translations::text("Lyrics"));
    reloadRandomReplayButton();
    // The tag panel starts open: the song's title, artist and album at the top.
    View::setAlpha(m_id3DownButton, 0);
    View::setHidden(m_id3DownButton, true);
    View::setHidden(m_pauseButton, true);
    showVolume();
}

ImageView *MusicDetailViewController::albumImageView() const
{
    return m_musicDetailView ? m_musicDetailView->albumImageView() : nullptr;
}

TextView *MusicDetailViewController::lyricsTextView() const
{
    return m_musicDetailView ? m_musicDetailView->lyricsTextView() : nullptr;
}

void MusicDetailViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_musicDetailView->initMusicDetailView(m_player.curURL());
    uiPlayOrPauseMusic();
    showFolderPath();
    reloadRandomReplayButton();
    showVolume();
    // The panel's player refreshes this screen and feeds its meters from now on.
    m_player.setDetailViewOnFlg(true);
    detailSetInfo();
    // The panel lies under this screen, which covers it whole: it rests until closeView.
    if (appDelegate())
        appDelegate()->closePlayInfoPanelAni();
}

void MusicDetailViewController::viewDidAppear(bool animated)
{
    ZivoViewController::viewDidAppear(animated);
    // The arrow keys reach the screen at once.
    view()->setFocus(Qt::OtherFocusReason);
}

void MusicDetailViewController::viewWillDisappear(bool animated)
{
    ZivoViewController::viewWillDisappear(animated);
    m_player.setDetailViewOnFlg(false);
    m_seeking = false;
    for (F3BarGauge *gauge : {m_levelMeterViewL, m_levelMeterViewR})
        gauge->setValue(0);
}

bool MusicDetailViewController::escapePressed()
{
    closeView();
    return true;
}

void MusicDetailViewController::closeView()
{
    if (!isViewLoaded())
        return;
    closeBackgroundImageView();
    View::removeFromSuperview(view());
    m_player.setDetailViewOnFlg(false);
    if (appDelegate())
        appDelegate()->viewPlayInfoPanelAni();
}

// ---------------------------------------------------------------------------
// Playing

void MusicDetailViewController::playOrPauseMusic()
{
    Util::viewMessageIconViewAutoClose(m_player.isPlaying() ? QStringLiteral("pause") : QStringLiteral("play"));
    m_player.playOrPauseMusic();
    uiPlayOrPauseMusic();
}

void MusicDetailViewController::uiPlayOrPauseMusic()
{
    if (!isViewLoaded())
        return;
    const bool playing = m_player.isPlaying();
    View::setHidden(m_playButton, playing);
    View::setHidden(m_pauseButton, !playing);
}

void MusicDetailViewController::pauseMusic()
{
    if (!isViewLoaded())
        return;
    View::setHidden(m_playButton, false);
    View::setHidden(m_pauseButton, true);
}

void MusicDetailViewController::playMusicNext()
{
    m_player.playMusicNextUi();
    uiMusicNext();
}

void MusicDetailViewController::playMusicPrev()
{
    m_player.playMusicPrevUi();
    uiMusicPrev();
}

void MusicDetailViewController::uiMusicNext()
{
    slide(true);
}

void MusicDetailViewController::uiMusicPrev()
{
    slide(false);
}

void MusicDetailViewController::slide(bool fromRight)
{
    // Closed, the screen has nothing to show: it fills itself when it next appears.
    if (!isOnScreen())
        return;
    auto *window = qobject_cast<Window *>(view()->parentWidget());
    // 1. The old song stays behind as a picture ...
    if (!m_backgroundImageView) {
        m_backgroundImageView = new ImageView;
        m_backgroundImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_backgroundImageView->setImage(QPixmap::fromImage(Util::screenImage(view())));
    m_backgroundImageView->setGeometry(0, 0, Window::width, Window::height);
    window->insertSubviewBelow(m_backgroundImageView, view());
    // 2. ... while the screen takes the new one ...
    m_musicDetailView->initMusicDetailView(m_player.curURL());
    // 3. ... and slides in over it, from the right for the next song, from the left for the previous.
    // From its resting place, also when the previous slide has not ended yet.
    const QRect home(0, 0, Window::width, Window::height);
    const QRect out = fromRight ? Util::moveToScreenRightOut(home) : Util::moveToScreenLeftOut(home);
    const QRect in = fromRight ? Util::moveToScreenRightIn(out) : Util::moveToScreenLeftIn(out);
    View::setFrame(view(), out);
    const int slideNumber = ++m_slides;
    ViewAnimation(QStringLiteral("MusicDetailScrollNext"), slideMs)
        .curve(QEasingCurve::InOutQuad)
        .frame(view(), in)
        .completion([this, slideNumber](bool) {
            if (slideNumber == m_slides)
                closeBackgroundImageView();
        })
        .start();
    // 4.
    showFolderPath();
    uiPlayOrPauseMusic();
    detailSetInfo();
}

void MusicDetailViewController::closeBackgroundImageView()
{
    if (m_backgroundImageView) {
        View::removeFromSuperview(m_backgroundImageView);
        m_backgroundImageView->setImage(QPixmap());
    }
}

void MusicDetailViewController::showFolderPath()
{
    m_folderPathLabel->setText(
        folderPathText(m_player.curFolderD(), m_player.musicURLArrayIndex(), int(m_player.musicURLArray().size())));
}

QString MusicDetailViewController::folderPathText(const QString &folder, int index, int count)
{
    return QStringLiteral("%1 [ %2 / %3] ").arg(folder).arg(index + 1).arg(count);
}

// ---------------------------------------------------------------------------
// Position, volume and meters

void MusicDetailViewController::detailSetInfo()
{
    // While the user holds the slider it stays where the hand put it, so that letting go
    // seeks there and not to wherever the song had got to meanwhile.
    if (!isViewLoaded() || m_seeking || m_durationSlider->isSliderDown())
        return;
    const double duration = m_player.duration(), now = m_player.currentTime();
    m_durationSlider->setRange(0.0, duration);
    m_durationSlider->setValue(now);
    m_playedTimeLabel->setText(ZivoModel::getMusicDuration(float(now)));
    m_totalTimeLabel->setText(ZivoModel::getMusicDuration(float(duration - now)));
}

void MusicDetailViewController::durationSliderValueChanged(double value)
{
    const QString elapsed = ZivoModel::getMusicDuration(float(value));
    m_playedTimeLabel->setText(elapsed);
    m_totalTimeLabel->setText(ZivoModel::getMusicDuration(float(m_durationSlider->maximumValue() - value)));
    NotificationCenter::defaultCenter().postNotificationName(Notify::viewMessageDuration, elapsed);
}

void MusicDetailViewController::setCurrentTime()
{
    m_seeking = false;
    m_player.setCurrentTime(m_durationSlider->value());
    NotificationCenter::defaultCenter().postNotificationName(Notify::closeMessageDuration);
}

void MusicDetailViewController::showVolume()
{
    if (isViewLoaded() && !m_volumeSlider->isSliderDown())
        m_volumeSlider->setValue(double(m_player.volume()));
}

void MusicDetailViewController::setLevelMeterValues(float left, float right)
{
    // On the meter thread: the gauges take values from any thread and redraw on the main one.
    if (m_levelMeterViewL && m_levelMeterViewR) {
        m_levelMeterViewL->setValue(left);
        m_levelMeterViewR->setValue(right);
    }
}

// ---------------------------------------------------------------------------
// Shuffle and repeat

void MusicDetailViewController::randomToggle()
{
    // The panel's toggle stores the mode, says so and updates both screens' buttons.
    m_player.randomToggle();
    reloadRandomReplayButton();
}

void MusicDetailViewController::replayToggle()
{
    m_player.replayToggle();
    reloadRandomReplayButton();
}

void MusicDetailViewController::reloadRandomReplayButton()
{
    if (!isViewLoaded())
        return;
    const UserDefaults &defaults = UserDefaults::standard();
    m_randomButton->setImage(
        picture(PlayOrder::shuffleImage(defaults.stringForKey(SettingsKeys::appsettingplaymodekey))));
    const QString repeat = PlayOrder::repeatImage(defaults.stringForKey(SettingsKeys::appsettingloopmodekey));
    if (!repeat.isEmpty())
        m_replayButton->setImage(picture(repeat));
}

// ---------------------------------------------------------------------------
// The tag panel and the lyrics

void MusicDetailViewController::moveTagPanel(const QString &animation, const QPoint &center, qreal labels, qreal down,
                                             qreal up, qreal lyrics, int showLyrics)
{
    ViewAnimation move(animation, tagPanelMs);
    move.center(m_musicDetailView->id3TagView(), center);
    if (labels >= 0)
        for (Label *label : {m_musicDetailView->singerNameLabel(), m_musicDetailView->songNameLabel(),
                             m_musicDetailView->albumNameLabel()})
            move.alpha(label, labels);
    // A control that fades out can no longer be pressed (nor found by a screen reader).
    QList<Button *> fadingOut;
    for (const auto &[button, alpha] :
         {std::pair{m_id3DownButton, down}, {m_id3UpButton, up}, {m_lyricsButton, lyrics}}) {
        if (alpha < 0)
            continue;
        if (alpha > 0)
            View::setHidden(button, false);
        else
            fadingOut << button;
        move.alpha(button, alpha);
    }
    if (showLyrics >= 0)
        View::setHidden(m_musicDetailView->lyricsTextView(), showLyrics == 0);
    move.completion([fadingOut](bool finished) {
        if (finished)
            for (Button *button : fadingOut)
                if (View::alpha(button) == 0)
                    View::setHidden(button, true);
    });
    move.start();
}

void MusicDetailViewController::viewID3Pannel()
{
    view();
    m_tagPanel = TagPanel::Open;
    moveTagPanel(QStringLiteral("viewID3PannelAni"), MusicDetailView::id3PanelOpen, 1, 0, 1, 1, -1);
}

void MusicDetailViewController::closeID3Pannel()
{
    view();
    // The first press from the lyrics goes back to the open panel.
    if (!View::isHidden(m_musicDetailView->lyricsTextView())) {
        closeLyrics();
        return;
    }
    m_tagPanel = TagPanel::Closed;
    moveTagPanel(QStringLiteral("closeID3PannelAni"), MusicDetailView::id3PanelClosed, 0, 1, 0, 0, -1);
}

void MusicDetailViewController::viewLyrics()
{
    view();
    m_tagPanel = TagPanel::Lyrics;
    moveTagPanel(QStringLiteral("viewLyricsAni"), MusicDetailView::id3PanelLyrics, 0, -1, -1, 0, 1);
}

void MusicDetailViewController::closeLyrics()
{
    view();
    m_tagPanel = TagPanel::Open;
    moveTagPanel(QStringLiteral("closeLyricsAni"), MusicDetailView::id3PanelOpen, 1, -1, -1, 1, 0);
}

// ---------------------------------------------------------------------------
// Swipes and keys

bool MusicDetailViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (isViewLoaded() && watched == view() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            key == Qt::Key_Left ? playMusicPrev() : playMusicNext();
            return true;
        }
    }
    if (isViewLoaded() && watched == albumImageView() && swipeEvent(event))
        return true;
    return ZivoViewController::eventFilter(watched, event);
}

bool MusicDetailViewController::swipeEvent(QEvent *event)
{
    const auto ended = [this](const QPoint &at) {
        const QPoint travel = at - m_pressAt;
        m_pressed = false;
        if (std::abs(travel.x()) >= swipeDistance && std::abs(travel.x()) > 2 * std::abs(travel.y()))
            swipe(travel.x() < 0 ? -1 : 1);
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_pressAt = mouse->position().toPoint();
        m_pressed = true;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !m_pressed)
            return false;
        ended(mouse->position().toPoint());
        return true;
    }
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        auto *touch = static_cast<QTouchEvent *>(event);
        if (touch->points().isEmpty())
            return true;
        const QPoint at = touch->points().first().position().toPoint();
        if (event->type() == QEvent::TouchBegin) {
            m_pressAt = at;
            m_pressed = true;
        } else if (event->type() == QEvent::TouchEnd && m_pressed) {
            ended(at);
        }
        event->accept();
        return true;
    }
    case QEvent::TouchCancel:
        m_pressed = false;
        return true;
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        const bool pixels = !wheel->pixelDelta().isNull();
        const QPoint delta = pixels ? wheel->pixelDelta() : wheel->angleDelta();
        if (std::abs(delta.x()) <= std::abs(delta.y()))
            return false;
        // One swipe per scroll gesture: a new gesture, or a pause in the scrolling, re-arms it.
        if (wheel->phase() == Qt::ScrollBegin || !m_lastWheel.isValid() || m_lastWheel.elapsed() > wheelQuietMs) {
            m_wheelTravel = 0;
            m_wheelArmed = true;
        }
        m_lastWheel.start();
        if (!m_wheelArmed)
            return true;
        m_wheelTravel += delta.x();
        const int threshold = pixels ? touchpadSwipePixels : wheelNotch;
        if (std::abs(m_wheelTravel) >= threshold) {
            m_wheelArmed = false;
            swipe(m_wheelTravel < 0 ? -1 : 1);
        }
        return true;
    }
    default:
        return false;
    }
}

void MusicDetailViewController::swipe(int direction)
{
    // Towards the left: the next song comes in from the right, as a page turns.
    if (direction < 0)
        playMusicNext();
    else
        playMusicPrev();
}
