#include "PlayInfoPanelViewController.h"

#include "F3BarGauge.h"
#include "PlayerMiniAniView.h"
#include "ScrollLabel.h"
#include "app/MusicDetail.h"
#include "app/ScreenInterfaces.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "library/SongCache.h"
#include "library/TagReader.h"
#include "library/ZivoModel.h"
#include "platform/FileManager.h"
#include "platform/AudioPlayer.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NotificationCenter.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QEvent>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cmath>

Q_LOGGING_CATEGORY(lcPanel, "orbo.panel")

namespace {
constexpr int panelWidth = 320, panelHeight = 120;
const QRect progressTrack(PlayInfoPanelViewController::progressX, 50, 264, 4);
const QColor darkGrey(51, 51, 51);

QPixmap picture(const char *name)
{
    return ImageView::imageNamed(QString::fromLatin1(name));
}

// An icon button of the panel; the transport buttons have a pressed picture ("<image>_on").
Button *panelButton(View *root, const QRect &frame, const char *image, const char *name, bool pressedLook = true)
{
    auto *button = new Button(frame, root);
    button->setImage(picture(image));
    if (pressedLook)
        button->setImage(picture((QByteArray(image) + "_on").constData()), Button::Highlighted);
    button->setAccessibleName(Translations::text(name));
    return button;
}

// Decibels (0 = full scale) to a linear amplitude 0 ... 1.
float amplitude(float decibels)
{
    return float(std::pow(10.0, double(decibels) / 20.0));
}
} // namespace

PlayInfoPanelViewController::PlayInfoPanelViewController(QObject *parent) : ZivoViewController(parent)
{
    m_panelInfoTimer.setInterval(1000);
    connect(&m_panelInfoTimer, &QTimer::timeout, this, &PlayInfoPanelViewController::panelInfoSet);
}

PlayInfoPanelViewController::~PlayInfoPanelViewController()
{
    m_meterLoop.stop();
    m_mPlayer.reset();
}

// ---------------------------------------------------------------------------
// The view

View *PlayInfoPanelViewController::loadView()
{
    auto *root = new View(QRect(0, 0, panelWidth, panelHeight));
    auto *plate = new ImageView(picture("player_panel_plate"), root);
    plate->setGeometry(0, 0, panelWidth, panelHeight);

    m_playerMiniAniView = new PlayerMiniAniView(root);
    m_playerMiniAniView->move(10, 12);
    m_curMusicNameLabel = new ScrollLabel(QRect(26, 6, 250, 20), root);
    m_curMusicNameLabel->setFontSize(10.5, true);
    m_curMusicNameLabel->setTextColor(darkGrey);
    m_playBackImageView = new ImageView(root);
    m_playBackImageView->setGeometry(284, 5, 26, 20);

    m_folderLabel = new Label(QRect(12, 28, 214, 16), root);
    m_folderLabel->setFontSize(8.5);
    m_folderLabel->setTextColor(QColor(70, 76, 86));
    m_totalTimeLabel = new Label(QRect(230, 28, 78, 16), root);
    m_totalTimeLabel->setFontSize(9.5, true);
    m_totalTimeLabel->setTextColor(darkGrey);
    m_totalTimeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_totalTimeLabel->setText(QStringLiteral("00:00"));

    auto *track = new View(progressTrack, root);
    track->setBackgroundColor(QColor(0, 0, 0, 40));
    track->setCornerRadius(2);
    m_progressBarImageView = new ImageView(picture("player_progressBar"), root);
    m_progressBarImageView->setGeometry(progressTrack.x(), progressTrack.y(), 0, progressTrack.height());

    m_randomButton = panelButton(root, QRect(12, 62, 36, 30), "player_shuffleOff", "Shuffle", false);
    m_prevButton = panelButton(root, QRect(76, 58, 44, 38), "player_prev", "Previous");
    m_playButton = panelButton(root, QRect(138, 56, 44, 42), "player_play", "Play");
    m_pauseButton = panelButton(root, QRect(138, 56, 44, 42), "player_pause", "Pause");
    m_nextButton = panelButton(root, QRect(200, 58, 44, 38), "player_next", "Next");
    m_replayButton = panelButton(root, QRect(272, 62, 36, 30), "player_repeatOn", "Repeat", false);
    View::setHidden(m_pauseButton, true);

    m_levelMeterViewL = new F3BarGauge(QRect(12, 101, 112, 7), root);
    m_levelMeterViewR = new F3BarGauge(QRect(12, 110, 112, 7), root);
    m_levelMeterViewL->setAccessibleName(Translations::text("Left level"));
    m_levelMeterViewR->setAccessibleName(Translations::text("Right level"));
    m_encodingMarkLabel = new Label(QRect(132, 101, 20, 16), root);
    m_encodingMarkLabel->setFontSize(6, true);
    m_encodingMarkLabel->setTextColor(QColor(110, 116, 126));
    m_encodingMarkLabel->setText(QStringLiteral("ENC"));
    m_currentEncodingLabel = new Label(QRect(152, 101, 86, 16), root);
    m_currentEncodingLabel->setFontSize(7);
    m_currentEncodingLabel->setTextColor(darkGrey);
    m_bitRateLabel = new Label(QRect(238, 101, 42, 16), root);
    m_bitRateLabel->setFontSize(7);
    m_bitRateLabel->setTextColor(darkGrey);
    m_bitRateLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The lyrics sign: a small badge whose ground says whether the song has lyrics.
    m_lyricsBadge = new View(QRect(284, 102, 30, 13), root);
    m_lyricsBadge->setCornerRadius(3);
    m_lyricsLabel = new Label(QRect(0, 0, 30, 13), m_lyricsBadge);
    m_lyricsLabel->setFontSize(6, true);
    m_lyricsLabel->setAlignment(Qt::AlignCenter);

    connect(m_playButton, &Button::clicked, this, &PlayInfoPanelViewController::playOrPauseMusicUi);
    connect(m_pauseButton, &Button::clicked, this, &PlayInfoPanelViewController::playOrPauseMusicUi);
    connect(m_nextButton, &Button::clicked, this, &PlayInfoPanelViewController::playMusicNextUi);
    connect(m_prevButton, &Button::clicked, this, &PlayInfoPanelViewController::playMusicPrevUi);
    connect(m_randomButton, &Button::clicked, this, &PlayInfoPanelViewController::randomToggle);
    connect(m_replayButton, &Button::clicked, this, &PlayInfoPanelViewController::replayToggle);
    root->installEventFilter(this);
    return root;
}

void PlayInfoPanelViewController::viewDidLoad()
{
    // The meters: 13 dark grey bars over faint ones, no borders, no lit effect.
    for (F3BarGauge *gauge : {m_levelMeterViewL, m_levelMeterViewR})
        gauge->setPlayerMeterLook(13);
    m_randomOnImage = picture("player_shuffleOn.png");
    m_randomOffImage = picture("player_shuffleOff.png");
    m_replayOnImage = picture("player_repeatOn.png");
    m_replayOffImage = picture("player_repeatOff.png");
    m_replayOneImage = picture("player_repeatOne.png");
    m_folderOnImage = picture("player_folderListPlay.png");
    m_playListOnImage = picture("player_listPlay.png");
    reloadRandomReplayButton();
    m_playBackImageView->setImage(m_folderOnImage);
    if (appDelegate() && appDelegate()->musicInfoArrowButton())
        View::setCenter(appDelegate()->musicInfoArrowButton(), QPoint(160, 505));
    m_currentEncodingLabel->setText(UserDefaults::standard().stringForKey(SettingsKeys::selectedEncodingNameKey));
    m_lyricsLabel->setText(Translations::text("Lyrics"));
    updateLyricsIndicator();
    m_curMusicNameLabel->setText(Translations::text("Please select the music."));
    setButtonsEnabled(false);
    View::setHidden(m_playerMiniAniView, true);
}

bool PlayInfoPanelViewController::eventFilter(QObject *watched, QEvent *event)
{
    // The meter thread only feeds the gauges while the panel is on screen.
    if (isViewLoaded() && watched == view()) {
        if (event->type() == QEvent::Show)
            m_panelShown = true;
        else if (event->type() == QEvent::Hide)
            m_panelShown = false;
    }
    return ZivoViewController::eventFilter(watched, event);
}

void PlayInfoPanelViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    if (m_curURL.isEmpty()) {
        m_curMusicNameLabel->setText(Translations::text("Please select the music."));
        setButtonsEnabled(false);
    }
    scrollLabelRestart();
}

void PlayInfoPanelViewController::viewDidAppear(bool animated)
{
    ZivoViewController::viewDidAppear(animated);
    if (isPlaying() && appDelegate())
        appDelegate()->addMusicInfoArrowButton();
}

void PlayInfoPanelViewController::setButtonsEnabled(bool enabled)
{
    for (Button *button : {m_nextButton, m_prevButton, m_playButton, m_pauseButton})
        button->setEnabled(enabled);
}

void PlayInfoPanelViewController::showPlayingState(bool playing)
{
    view();
    View::setHidden(m_playButton, playing);
    View::setHidden(m_pauseButton, !playing);
    View::setHidden(m_playerMiniAniView, !playing);
    // The name scrolls while the song plays and stands still, readable, while it does not:
    // a held song costs no redraws.
    if (playing)
        m_curMusicNameLabel->startScroll();
    else
        m_curMusicNameLabel->stopScroll();
    if (playing)
        m_meterLoop.wake();
}

void PlayInfoPanelViewController::scrollLabelRestart()
{
    view();
    if (isPlaying())
        m_curMusicNameLabel->startScroll();
    else
        m_curMusicNameLabel->stopScroll();
}

void PlayInfoPanelViewController::setCurrentEncodingText(const QString &name)
{
    view();
    m_currentEncodingLabel->setText(name);
}

void PlayInfoPanelViewController::updateLyricsIndicator()
{
    m_lyricsLabel->setTextColor(Qt::white);
    m_lyricsBadge->setBackgroundColor(m_hasLyrics ? QColor(Qt::darkGray) : QColor(Qt::lightGray));
}

QColor PlayInfoPanelViewController::lyricsBackgroundColor() const
{
    return m_lyricsBadge ? m_lyricsBadge->backgroundColor() : QColor();
}

// ---------------------------------------------------------------------------
// The list and the player

bool PlayInfoPanelViewController::isPlaying() const
{
    return m_mPlayer && m_mPlayer->isPlaying();
}

void PlayInfoPanelViewController::setMusicURLArray(const QList<QUrl> &urls)
{
    m_musicURLArray = urls;
}

void PlayInfoPanelViewController::setRandomIndexes(int previous, int next)
{
    m_randomPrevIndex = previous;
    m_randomNextIndex = next;
}

void PlayInfoPanelViewController::curURLSet()
{
    m_curURL = m_musicURLArray.value(m_musicURLArrayIndex);
}

double PlayInfoPanelViewController::currentTime() const
{
    return m_mPlayer ? m_mPlayer->currentTime() : 0.0;
}

double PlayInfoPanelViewController::duration() const
{
    return m_mPlayer ? m_mPlayer->duration() : 0.0;
}

void PlayInfoPanelViewController::setCurrentTime(double seconds)
{
    if (!m_mPlayer || m_mPlayer->duration() <= 0)
        return;
    m_mPlayer->setCurrentTime(seconds);
    panelInfoSet();
    emit seeked(m_mPlayer->currentTime());
}

void PlayInfoPanelViewController::setVolume(float volume)
{
    m_volume = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 1.0f;
    if (m_mPlayer)
        m_mPlayer->setVolume(m_volume);
    emit nowPlayingChanged();
}

void PlayInfoPanelViewController::playMusic()
{
    view();
    // 1. The current player stops, and its meter loop ends before the player goes.
    m_meterLoop.stop();
    if (m_mPlayer)
        m_mPlayer->stop();
    m_stopped = false;
    if (m_curURL.isEmpty()) {
        clearPlayer();
        return;
    }

    // 2.
    m_playBackImageView->setImage(m_playListMode == 1 ? m_playListOnImage : m_folderOnImage);
    setButtonsEnabled(true);

    // 3. A new player for the song; reports of the old one are dropped with it.
    m_mPlayer = std::make_unique<AudioPlayer>(m_curURL);
    AudioPlayer *player = m_mPlayer.get();
    player->setMeteringEnabled(true);
    player->setVolume(m_volume);
    connect(player, &AudioPlayer::finished, this,
            [this, player](bool successfully) { audioPlayerDidFinishPlaying(player, successfully); });
    connect(player, &AudioPlayer::decodeError, this,
            [this, player](const QString &error) { audioPlayerDecodeErrorDidOccur(player, error); });
    connect(player, &AudioPlayer::routeChanged, this,
            [this, player](int reason) { audioRouteChanged(player, reason); });
    connect(player, &AudioPlayer::interruptionBegan, this, [this, player] { audioPlayerBeginInterruption(player); });
    connect(player, &AudioPlayer::interruptionEnded, this, [this, player] { audioPlayerEndInterruption(player); });
    const bool playable = player->duration() != 0;
    if (playable)
        player->play();

    // 4.
    if (appDelegate())
        appDelegate()->addMusicInfoArrowButton();
    showPlayingState(playable && player->isPlaying());

    // 5. Shuffle draws its picks for this song.
    if (PlayOrder::currentModes().shuffle) {
        m_randomPrevIndex = Util::randomIntNoOverlap(int(m_musicURLArray.size()));
        m_randomNextIndex = Util::randomIntNoOverlap(int(m_musicURLArray.size()));
    }

    // 6. to 11.
    describeSong(playable);
    emit nowPlayingChanged();
}

QString PlayInfoPanelViewController::displayName(QByteArray *artworkPng, QStringList *texts) const
{
    QString name = QFileInfo(m_curURL.toLocalFile()).fileName();
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix != QLatin1String("mp3") && suffix != QLatin1String("m4a"))
        return name;
    const QVariantMap record = ZivoModel::getFileInfoDicWithURL(m_curURL);
    for (const char *key : {"title", "albumName", "artist"}) {
        const QString text = record.value(QString::fromLatin1(key)).toString();
        const QString shown = text.isEmpty() ? QString() : ZivoModel::convertEncodeWithString(text);
        if (!shown.isEmpty())
            name += QLatin1Char(' ') + shown;
        texts->append(shown);
    }
    *artworkPng = record.value(QStringLiteral("artwork")).toByteArray();
    return name;
}

void PlayInfoPanelViewController::describeSong(bool playable)
{
    const QString path = m_curURL.toLocalFile();
    const QString fileName = QFileInfo(path).fileName();
    const QString suffix = QFileInfo(path).suffix().toLower();

    // 6. Lyrics in the file, or, for an imported song, in its cache record.
    bool hasLyrics = false;
    if (suffix == QLatin1String("mp3") || suffix == QLatin1String("m4a"))
        hasLyrics =
            !TagReader::readLyrics(path, suffix == QLatin1String("mp3") ? TagReader::Kind::Mp3 : TagReader::Kind::M4a)
                 .isEmpty();
    // The song's own cache entry (its folder's): for an imported song that is the import's
    // "iPod_Songs_<name>" record, and a song of another folder never borrows it.
    if (!hasLyrics && suffix == QLatin1String("m4a"))
        hasLyrics = !SongCache::readTagFile(SongCache::folderOfSong(m_curURL), fileName)
                         .value(QStringLiteral("lyrics"))
                         .toString()
                         .isEmpty();
    m_hasLyrics = hasLyrics;
    updateLyricsIndicator();

    // 7. The display name: the file name and the tag texts through the chosen encoding.
    QByteArray artwork;
    QStringList texts;
    const QString name = displayName(&artwork, &texts);

    // 8. What the desktop shows (its media controls want the real texts, and the file name
    // when there is no title).
    if (playable) {
        const QString previousArt = m_nowPlaying.artUrl();
        m_nowPlaying = NowPlayingInfo(++m_songsStarted, texts.value(0).isEmpty() ? fileName : texts.value(0),
                                      texts.value(2), texts.value(1), m_mPlayer->duration(), artwork);
        if (!m_nowPlaying.writeArtwork(previousArt))
            qCInfo(lcPanel) << "cannot write the cover for the media controls";
    }

    // 9. Another list than before: say so.
    if (ZivoModel::removeCountString(m_folderLabel->text()) != m_curFolderD)
        changeFolderAni();

    if (playable) {
        // 10.
        m_curMusicNameLabel->setText(name);
        m_curMusicNameLabel->startScroll();
        View::setHidden(m_playerMiniAniView, false);
        panelInfoSetLoop();
        m_bitRateLabel->setText(ZivoModel::getBitRateStr(m_mPlayer->settings()));
    } else {
        // 11. The name keeps the previous song's; nothing plays, so play is offered.
        showPlayingState(false);
        Util::alertViewQuick(Translations::text("Play Error"),
                             QStringLiteral("%1 %2").arg(name, Translations::text("Can not play the file.")),
                             Translations::text("OK"));
    }
}

void PlayInfoPanelViewController::clearPlayer()
{
    view();
    m_meterLoop.stop();
    m_mPlayer.reset();
    m_curURL.clear();
    m_stopped = false;
    m_nowPlaying = NowPlayingInfo();
    panelInfoSetLoopStop();
    m_totalTimeLabel->setText(QStringLiteral("00:00"));
    m_levelMeterViewL->setValue(0);
    m_levelMeterViewR->setValue(0);
    m_curMusicNameLabel->setText(Translations::text("Please select the music."));
    showPlayingState(false);
    setButtonsEnabled(false);
    if (appDelegate() && appDelegate()->musicInfoArrowButton())
        View::setHidden(appDelegate()->musicInfoArrowButton(), true);
    emit nowPlayingChanged();
}

void PlayInfoPanelViewController::playReadMusic()
{
    playMusic();
    playOrPauseMusic();
    // Held at its very start, whatever slipped out between starting and pausing.
    if (m_mPlayer && !m_mPlayer->isPlaying())
        m_mPlayer->setCurrentTime(0);
}

void PlayInfoPanelViewController::playOrPauseMusic()
{
    if (!m_mPlayer) {
        if (isViewLoaded())
            View::setHidden(m_playerMiniAniView, true);
        return;
    }
    if (m_mPlayer->isPlaying()) {
        m_mPlayer->pause();
        showPlayingState(false);
    } else {
        // A song that cannot be played keeps offering play.
        m_stopped = false;
        showPlayingState(m_mPlayer->play());
    }
    emit nowPlayingChanged();
}

void PlayInfoPanelViewController::playOrPauseMusicUi()
{
    Util::viewMessageIconViewAutoClose(isPlaying() ? QStringLiteral("pause") : QStringLiteral("play"));
    playOrPauseMusic();
}

void PlayInfoPanelViewController::pauseMusic()
{
    if (m_mPlayer)
        m_mPlayer->pause();
    if (isViewLoaded())
        showPlayingState(false);
    emit nowPlayingChanged();
}

void PlayInfoPanelViewController::stopMusic()
{
    if (m_mPlayer)
        m_mPlayer->stop();
    panelInfoSetLoopStop();
    view();
    m_totalTimeLabel->setText(QStringLiteral("00:00"));
    showPlayingState(false);
    if (m_curURL.isEmpty())
        return;
    playReadMusic();
    m_stopped = true;
    emit nowPlayingChanged();
}

// ---------------------------------------------------------------------------
// Moving through the list

void PlayInfoPanelViewController::playMusicNextUi()
{
    Util::viewMessageIconViewAutoClose(QStringLiteral("next"));
    move(PlayOrder::Direction::Next, PlayOrder::Trigger::User);
}

void PlayInfoPanelViewController::playMusicPrevUi()
{
    Util::viewMessageIconViewAutoClose(QStringLiteral("prev"));
    move(PlayOrder::Direction::Previous, PlayOrder::Trigger::User);
}

void PlayInfoPanelViewController::playMusicNext()
{
    move(PlayOrder::Direction::Next, PlayOrder::Trigger::Automatic);
}

void PlayInfoPanelViewController::playMusicPrev()
{
    move(PlayOrder::Direction::Previous, PlayOrder::Trigger::Automatic);
}

void PlayInfoPanelViewController::move(PlayOrder::Direction direction, PlayOrder::Trigger trigger)
{
    applyChoice(PlayOrder::choose(direction, trigger, PlayOrder::currentModes(), m_musicURLArrayIndex,
                                  int(m_musicURLArray.size()), m_randomPrevIndex, m_randomNextIndex,
                                  [](int n) { return Util::randomIntNoOverlap(n); }));
}

void PlayInfoPanelViewController::applyChoice(const PlayOrder::Choice &choice)
{
    using Kind = PlayOrder::Choice::Kind;
    switch (choice.kind) {
    case Kind::NoNext:
        Util::viewMessageViewAutoClose(Translations::text("There is no next song."));
        return;
    case Kind::NoPrevious:
        Util::viewMessageViewAutoClose(Translations::text("No previous music."));
        return;
    case Kind::Nothing:
        clearPlayer();
        return;
    case Kind::Play:
        break;
    }
    setMusicURLArrayIndex(choice.index);
    curURLSet();
    playMusic();
    panelInfoSet();
    scrollListToCurrentRow();
}

void PlayInfoPanelViewController::scrollListToCurrentRow()
{
    ZivoAppDelegate *delegate = appDelegate();
    if (!delegate)
        return;
    switch (m_playListMode) {
    case 0:
        delegate->musicSubListScrollToRow(m_musicURLArrayIndex, m_curFolderD);
        break;
    case 1:
        delegate->playBackListScrollToRow(m_musicURLArrayIndex, m_curFolderD);
        break;
    case 2:
        delegate->musicAllListScrollToRow(m_musicURLArrayIndex, m_curFolderD);
        break;
    default:
        break;
    }
}

void PlayInfoPanelViewController::randomToggle()
{
    UserDefaults &defaults = UserDefaults::standard();
    const PlayOrder::Toggle next = PlayOrder::shuffleToggle(defaults.stringForKey(SettingsKeys::appsettingplaymodekey));
    defaults.setObject(next.value, SettingsKeys::appsettingplaymodekey);
    view();
    m_randomButton->setImage(next.value == QLatin1String("0") ? m_randomOnImage : m_randomOffImage);
    NotificationCenter::defaultCenter().postNotificationName(Notify::viewMessageIconAni,
                                                             Translations::text(next.messageKey));
    if (MusicDetail *detail = musicDetail())
        detail->reloadRandomReplayButton();
}

void PlayInfoPanelViewController::replayToggle()
{
    UserDefaults &defaults = UserDefaults::standard();
    const std::optional<PlayOrder::Toggle> next =
        PlayOrder::repeatToggle(defaults.stringForKey(SettingsKeys::appsettingloopmodekey));
    if (!next)
        return;
    defaults.setObject(next->value, SettingsKeys::appsettingloopmodekey);
    reloadRandomReplayButton();
    NotificationCenter::defaultCenter().postNotificationName(Notify::viewMessageIconAni,
                                                             Translations::text(next->messageKey));
    if (MusicDetail *detail = musicDetail())
        detail->reloadRandomReplayButton();
}

void PlayInfoPanelViewController::reloadRandomReplayButton()
{
    view();
    const UserDefaults &defaults = UserDefaults::standard();
    const bool shuffle = defaults.stringForKey(SettingsKeys::appsettingplaymodekey) == QLatin1String("0");
    m_randomButton->setImage(shuffle ? m_randomOnImage : m_randomOffImage);
    const QString loop = defaults.stringForKey(SettingsKeys::appsettingloopmodekey);
    if (loop == QLatin1String("0"))
        m_replayButton->setImage(m_replayOnImage);
    else if (loop == QLatin1String("1"))
        m_replayButton->setImage(m_replayOffImage);
    else if (loop == QLatin1String("2"))
        m_replayButton->setImage(m_replayOneImage);
}

void PlayInfoPanelViewController::curFileDel()
{
    const int index = m_musicURLArrayIndex;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    ZivoAppDelegate *delegate = appDelegate();
    // The first list screen that holds the song deletes it (and rebuilds its rows);
    // otherwise the file goes directly.
    const auto deleteFile = [this, delegate](std::initializer_list<ZivoAppDelegate::Screen> screens) {
        for (ZivoAppDelegate::Screen screen : screens)
            if (auto *list = delegate ? dynamic_cast<SongFileDeleter *>(delegate->screen(screen)) : nullptr;
                list && list->holdsSongs()) {
                list->delFileAtIndex(m_curURL);
                return;
            }
        ZivoModel::deleteFile(ZivoModel::folderNameOfSong(m_curURL), QFileInfo(m_curURL.toLocalFile()).fileName());
    };
    if (m_playListMode == 1) {
        deleteFile({ZivoAppDelegate::Screen::PlaybackList, ZivoAppDelegate::Screen::PlaybackSubList});
    } else if (m_playListMode == 0 || m_playListMode == 2) {
        if (index >= 0 && index < m_musicURLArray.size())
            m_musicURLArray.removeAt(index);
        deleteFile({ZivoAppDelegate::Screen::MusicList, ZivoAppDelegate::Screen::MusicSubList,
                    ZivoAppDelegate::Screen::MusicAllList});
        // The next song is the one that followed the deleted one.
        m_musicURLArrayIndex = index - 1;
    }
    center.postNotificationName(Notify::playMusicNext);
}

void PlayInfoPanelViewController::songFilesChanged(const QHash<QUrl, QUrl> &moved)
{
    // The moved songs are the same songs: the list and the song playing follow them (the
    // player keeps its open file, so a song moved while it plays goes on undisturbed).
    for (QUrl &url : m_musicURLArray)
        url = moved.value(url, url);
    m_curURL = moved.value(m_curURL, m_curURL);

    // Songs that are gone leave the list; the current one's place is remembered as the
    // number of songs kept before it.
    const int oldIndex = m_musicURLArrayIndex;
    QList<QUrl> kept;
    int newIndex = -1;
    for (int i = 0; i < m_musicURLArray.size(); ++i) {
        if (i == oldIndex)
            newIndex = int(kept.size());
        if (FileManager::fileExists(m_musicURLArray.at(i).toLocalFile()))
            kept.append(m_musicURLArray.at(i));
    }
    const bool currentGone = !m_curURL.isEmpty() && !FileManager::fileExists(m_curURL.toLocalFile());
    m_musicURLArray = kept;
    if (!currentGone) {
        // The song playing stays where it is in the list, now counted without the gone ones.
        if (m_musicURLArray.value(newIndex) != m_curURL)
            newIndex = int(m_musicURLArray.indexOf(m_curURL));
        m_musicURLArrayIndex = newIndex;
        return;
    }
    // The song playing is gone: the one that followed it takes over (the first, after the
    // last), as it was, playing or held; nothing left stops the panel.
    if (m_musicURLArray.isEmpty()) {
        clearPlayer();
        return;
    }
    const bool wasPlaying = isPlaying();
    m_musicURLArrayIndex = newIndex >= 0 && newIndex < m_musicURLArray.size() ? newIndex : 0;
    curURLSet();
    if (wasPlaying)
        playMusic();
    else
        playReadMusic();
    panelInfoSet();
}

// ---------------------------------------------------------------------------
// Refresh and meters

PlayInfoPanelViewController::Progress PlayInfoPanelViewController::progressFor(double currentTime, double duration)
{
    Progress progress;
    if (duration != 0 && std::isfinite(duration) && currentTime >= 2.0) {
        progress.width = std::clamp(currentTime * progressFullWidth / duration, 0.0, progressFullWidth);
        progress.animated = progress.width > 2.0;
    }
    return progress;
}

void PlayInfoPanelViewController::panelInfoSetLoop()
{
    if (m_panelInfoTimer.isActive())
        panelInfoSetLoopStop();
    // One loop: the new song's replaces whatever ran before.
    m_meterLoop.start([this] { return meterPass(); });
    m_panelInfoTimer.start();
    // The position shows at once, not a second later.
    panelInfoSet();
}

void PlayInfoPanelViewController::panelInfoSetLoopStop()
{
    m_panelInfoTimer.stop();
    if (!isViewLoaded())
        return;
    ViewAnimation::stopAnimations(m_progressBarImageView);
    QRect frame = m_progressBarImageView->geometry();
    frame.setX(progressX);
    frame.setWidth(0);
    m_progressBarImageView->setGeometry(frame);
}

void PlayInfoPanelViewController::panelInfoSet()
{
    if (m_musicURLArray.isEmpty())
        return;
    view();
    m_folderLabel->setText(QStringLiteral("%1 %2").arg(
        m_curFolderD, QStringLiteral("[ %1 / %2 ]").arg(m_musicURLArrayIndex + 1).arg(m_musicURLArray.size())));
    const double now = currentTime();
    m_totalTimeLabel->setText(ZivoModel::getMusicDuration(float(now)));
    if (m_detailViewOnFlg)
        if (MusicDetail *detail = musicDetail())
            detail->detailSetInfo();

    const Progress progress = progressFor(now, duration());
    QRect target = m_progressBarImageView->geometry();
    target.setX(progressX);
    target.setWidth(int(progress.width));
    if (target == m_progressBarImageView->geometry())
        return;
    // It glides over the next second while the song plays; a held song's bar just stands.
    // A step of a point or two (any song longer than about two minutes, every second) looks
    // the same set at once, and costs no second of animation frames.
    const int step = std::abs(target.width() - m_progressBarImageView->width());
    if (progress.animated && isPlaying() && step > 2)
        ViewAnimation(QStringLiteral("progressbarAni"), 1000)
            .curve(QEasingCurve::Linear)
            .frame(m_progressBarImageView, target)
            .start();
    else {
        ViewAnimation::stopAnimations(m_progressBarImageView);
        m_progressBarImageView->setGeometry(target);
    }
}

bool PlayInfoPanelViewController::meterPass()
{
    // Runs on the meter thread; the player stays while this loop runs (playMusic ends the
    // loop before replacing it).
    AudioPlayer *player = m_mPlayer.get();
    MusicDetail *detail = m_meterDetail.load();
    if (!player || !player->isPlaying()) {
        m_levelMeterViewL->setValue(0.0f);
        m_levelMeterViewR->setValue(0.0f);
        // The full-screen player's meters fall silent too rather than hold the last level.
        if (detail)
            detail->setLevelMeterValues(0.0f, 0.0f);
        return false;
    }
    player->updateMeters();
    m_peak = amplitude(player->peakPowerForChannel(0));
    m_average = amplitude(player->averagePowerForChannel(0));
    m_peak2 = amplitude(player->peakPowerForChannel(1));
    m_average2 = amplitude(player->averagePowerForChannel(1));
    if (m_panelShown) {
        m_levelMeterViewL->setValue(m_average);
        m_levelMeterViewR->setValue(m_average2);
    }
    if (detail)
        detail->setLevelMeterValues(m_average, m_average2);
    return true;
}

// ---------------------------------------------------------------------------
// The player's reports

void PlayInfoPanelViewController::audioPlayerDidFinishPlaying(AudioPlayer *player, bool)
{
    // A report from the player of an earlier song must not move the list on.
    if (!player || player != m_mPlayer.get())
        return;
    if (appDelegate() && appDelegate()->musicInfoArrowButton())
        View::setHidden(appDelegate()->musicInfoArrowButton(), true);
    // Nothing plays now: the buttons say so, also when the list ends here.
    showPlayingState(false);
    emit nowPlayingChanged();
    NotificationCenter::defaultCenter().postNotificationName(Notify::playMusicNext);
}

void PlayInfoPanelViewController::audioPlayerDecodeErrorDidOccur(AudioPlayer *player, const QString &error)
{
    if (!player || player != m_mPlayer.get())
        return;
    qCWarning(lcPanel).noquote() << QStringLiteral("audioPlayerDecodeErrorDidOccur:%1").arg(error);
    // The player reports this only once it has given up on the file; a restart is refused
    // and its end-of-song report moves the list on.
    player->stop();
    showPlayingState(player->play());
}

void PlayInfoPanelViewController::audioPlayerBeginInterruption(AudioPlayer *player)
{
    if (player == m_mPlayer.get())
        showPlayingState(player->isPlaying());
}

void PlayInfoPanelViewController::audioPlayerEndInterruption(AudioPlayer *player)
{
    if (player != m_mPlayer.get())
        return;
    showPlayingState(player->isPlaying() || player->play());
    emit nowPlayingChanged();
}

void PlayInfoPanelViewController::audioRouteChanged(AudioPlayer *player, int reason)
{
    // Headphones unplugged while playing: pause, as the speaker would surprise.
    if (player != m_mPlayer.get() || !player->isPlaying() || reason != AudioPlayer::OldDeviceUnavailable)
        return;
    Util::viewMessageIconViewAutoClose(QStringLiteral("pause"));
    NotificationCenter::defaultCenter().postNotificationName(Notify::pauseMusic);
}

// ---------------------------------------------------------------------------

void PlayInfoPanelViewController::changeFolderAni()
{
    view();
    Util::FlipRightAnimation(m_playBackImageView);
    Util::viewMessageIconViewAutoClose(QStringLiteral("folderChange"));
}

MusicDetail *PlayInfoPanelViewController::musicDetail() const
{
    return appDelegate() ? appDelegate()->musicDetail() : nullptr;
}

void PlayInfoPanelViewController::setDetailViewOnFlg(bool on)
{
    m_detailViewOnFlg = on;
    m_meterDetail = on ? musicDetail() : nullptr;
    if (on)
        m_meterLoop.wake();
}

void PlayInfoPanelViewController::viewDetailView()
{
    NotificationCenter::defaultCenter().postNotificationName(Notify::addMusicDetailView);
}
