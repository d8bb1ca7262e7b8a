#include "TestHome.h"
#include "support/ShellFakes.h"
#include "support/SongFixtures.h"

#include "app/ZivoAppDelegate.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/AlertView.h"
#include "platform/AudioOutput.h"
#include "platform/AudioPlayer.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/ViewAnimation.h"
#include "playback/F3BarGauge.h"
#include "playback/LevelMeterLoop.h"
#include "playback/MprisPlayerBridge.h"
#include "playback/PlayInfoPanelViewController.h"
#include "playback/PlayerMiniAniView.h"
#include "playback/ScrollLabel.h"

#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using Screen = ZivoAppDelegate::Screen;

// The folder song list as the panel sees it: it notes where it was asked to scroll.
class SongListScreen : public RecordingScreen, public ListScrollTarget
{
public:
    SongListScreen() : RecordingScreen(QStringLiteral("songs")) {}
    void scrollToRow(int row, const QString &folder) override
    {
        scrolls << QStringLiteral("%1 %2").arg(row).arg(folder);
    }
    QStringList scrolls;
};

// What the panel posts on the bus.
struct Posts
{
    Posts()
    {
        for (const QString &name : {Notify::viewMessageAni, Notify::viewMessageIconAni, Notify::playMusicNext})
            NotificationCenter::defaultCenter().addObserver(&owner, name, [this](const Notification &n) {
                log << n.name.mid(7) + (n.object.isValid() ? " " + n.object.toString() : QString());
            });
    }
    bool contains(const QString &entry) const { return log.contains(entry); }
    QObject owner;
    QStringList log;
};

bool samePicture(const QPixmap &a, const QPixmap &b)
{
    return !a.isNull() && a.toImage() == b.toImage();
}

class PanelTest : public ::testing::Test
{
protected:
    PanelTest()
    {
        qputenv("ORBO_AUDIO_OUTPUT", "null");
        auto made = std::make_unique<PlayInfoPanelViewController>();
        panel = made.get();
        delegate.installPlayInfoPanel(std::move(made));
        songs = new SongListScreen;
        delegate.setScreen(Screen::MusicSubList, std::unique_ptr<ZivoViewController>(songs));
        delegate.didFinishLaunchingWithOptions();
        delegate.viewPlayInfoPanelAni();
    }
    ~PanelTest() override
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
    }

    // Songs of one second (a 440 Hz tone) in a folder of Documents, tagged "<Title>",
    // "Album", "Band".
    QList<QUrl> folder(const QString &name, const QStringList &files)
    {
        QList<QUrl> urls;
        for (const QString &file : files) {
            const QString path = home.documents() + "/" + name + "/" + file;
            SongFixtures::Tags tags;
            tags.title = QFileInfo(file).baseName().toUpper();
            tags.album = QStringLiteral("Album");
            tags.artist = QStringLiteral("Band");
            EXPECT_TRUE(SongFixtures::writeMp3(path, SongFixtures::Tagging::Id3v24, tags));
            urls << QUrl::fromLocalFile(path);
        }
        return urls;
    }

    void start(const QList<QUrl> &urls, int index, const QString &title = "Rock", int mode = 0)
    {
        panel->setMusicURLArray(urls);
        panel->setMusicURLArrayIndex(index);
        panel->setPlayListMode(mode);
        panel->setCurFolderD(title);
        panel->curURLSet();
        panel->playMusic();
        panel->panelInfoSet();
    }

    void setLoop(const char *value)
    {
        UserDefaults::standard().setObject(QString(value), SettingsKeys::appsettingloopmodekey);
    }

    bool playShown() const { return !View::isHidden(panel->playButton()) && View::isHidden(panel->pauseButton()); }
    bool pauseShown() const { return View::isHidden(panel->playButton()) && !View::isHidden(panel->pauseButton()); }

    TestHome home;
    ZivoAppDelegate delegate{recordingMenu()};
    PlayInfoPanelViewController *panel = nullptr;
    SongListScreen *songs = nullptr;
    Posts posts;
};

TEST_F(PanelTest, BeforeAnySongItAsksForOneWithItsButtonsOff)
{
    EXPECT_EQ(panel->curMusicNameLabel()->text(), "Please select the music.");
    for (Button *b : {panel->playButton(), panel->pauseButton(), panel->nextButton(), panel->prevButton()})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(playShown());
    EXPECT_FALSE(panel->hasAudioURL());
    EXPECT_FALSE(panel->panelInfoTimerActive());
    EXPECT_FALSE(panel->meterLoop().isRunning());
    EXPECT_EQ(panel->totalTimeLabel()->text(), "00:00");
    EXPECT_EQ(panel->lyricsLabel()->text(), "Lyrics");
    EXPECT_TRUE(View::isHidden(delegate.musicInfoArrowButton()));
    // Meters: 13 dark grey bars without the lit effect.
    EXPECT_EQ(panel->levelMeterViewL()->numBars(), 13);
    EXPECT_FALSE(panel->levelMeterViewR()->litEffect());
    EXPECT_EQ(panel->levelMeterViewL()->normalBarColor(), QColor::fromRgbF(0.2f, 0.2f, 0.2f));
    // Without a full-screen player, the remote's play/pause reaches the panel (nothing to play yet).
    NotificationCenter::defaultCenter().postNotificationName(Notify::playOrPauseMusic);
    EXPECT_FALSE(panel->isPlaying());
}

TEST_F(PanelTest, ASongStartsWithItsNamePositionTimeAndButtons)
{
    const QList<QUrl> rock = folder("Rock", {"one.mp3", "two.mp3", "three.mp3"});
    start(rock, 1);
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_TRUE(pauseShown());
    EXPECT_FALSE(View::isHidden(panel->playerMiniAniView()));
    EXPECT_TRUE(panel->curMusicNameLabel()->isScrolling());
    EXPECT_EQ(panel->curMusicNameLabel()->text(), "two.mp3 TWO Album Band");
    EXPECT_EQ(panel->folderLabel()->text(), "Rock [ 2 / 3 ]");
    EXPECT_EQ(panel->totalTimeLabel()->text(), "00:00");
    EXPECT_EQ(panel->bitRateLabel()->text(), "64kbps");
    EXPECT_EQ(panel->lyricsBackgroundColor(), QColor(Qt::lightGray));
    EXPECT_TRUE(samePicture(panel->playBackImageView()->image(), ImageView::imageNamed("player_folderListPlay.png")));
    for (Button *b : {panel->playButton(), panel->pauseButton(), panel->nextButton(), panel->prevButton()})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(panel->panelInfoTimerActive());
    EXPECT_FALSE(View::isHidden(delegate.musicInfoArrowButton()));
    EXPECT_TRUE(posts.contains("viewMessageIconAni folderChange")) << "a new list is announced";

    // The remote's play/pause toggles the panel while there is no full-screen player.
    NotificationCenter::defaultCenter().postNotificationName(Notify::playOrPauseMusic);
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_TRUE(playShown());
    EXPECT_TRUE(View::isHidden(panel->playerMiniAniView()));
    EXPECT_FALSE(panel->curMusicNameLabel()->isScrolling());
    panel->playOrPauseMusicUi();
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_TRUE(posts.contains("viewMessageIconAni play"));

    // The same list again: no announcement; a playlist shows its own picture.
    posts.log.clear();
    start(rock, 0);
    EXPECT_FALSE(posts.contains("viewMessageIconAni folderChange"));
    start(rock, 2, "Favourites", 1);
    EXPECT_TRUE(samePicture(panel->playBackImageView()->image(), ImageView::imageNamed("player_listPlay.png")));
    EXPECT_EQ(panel->folderLabel()->text(), "Favourites [ 3 / 3 ]");
}

TEST_F(PanelTest, NamesLyricsAndTheTagTextsOnlyForSongFiles)
{
    SongFixtures::Tags tags;
    tags.title = QStringLiteral("Title");
    tags.lyrics = QStringLiteral("la la la");
    const QString withLyrics = home.documents() + "/Pop/sung.MP3";
    const QString other = home.documents() + "/Pop/tagged.mp2";
    ASSERT_TRUE(SongFixtures::writeMp3(withLyrics, SongFixtures::Tagging::Id3v24, tags));
    ASSERT_TRUE(SongFixtures::writeMp3(other, SongFixtures::Tagging::Id3v24, tags));
    start({QUrl::fromLocalFile(withLyrics), QUrl::fromLocalFile(other)}, 0, "Pop");
    EXPECT_EQ(panel->curMusicNameLabel()->text(), "sung.MP3 Title");
    EXPECT_EQ(panel->lyricsBackgroundColor(), QColor(Qt::darkGray));
    EXPECT_EQ(panel->lyricsLabel()->palette().color(QPalette::WindowText), QColor(Qt::white));
    panel->playMusicNextUi();
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_EQ(panel->curMusicNameLabel()->text(), "tagged.mp2") << "other extensions show the bare name";
    EXPECT_EQ(panel->lyricsBackgroundColor(), QColor(Qt::lightGray));
}

TEST_F(PanelTest, TheProgressBarGrowsWithTheTime)
{
    // Width = time x 264 / duration from 2 s on; it glides only beyond 2 points.
    struct Case
    {
        double time, duration, width;
        bool animated;
    };
    for (const Case &c :
         {Case{0, 100, 0, false}, Case{1.9, 100, 0, false}, Case{2.0, 264, 2.0, false}, Case{3, 264, 3, true},
          Case{132, 264, 132, true}, Case{264, 264, 264, true}, Case{50, 0, 0, false}}) {
        const auto p = PlayInfoPanelViewController::progressFor(c.time, c.duration);
        EXPECT_DOUBLE_EQ(p.width, c.width) << c.time << " of " << c.duration;
        EXPECT_EQ(p.animated, c.animated) << c.time << " of " << c.duration;
    }

    const QString path = home.documents() + "/Long/minute.mp3";
    ASSERT_TRUE(SongFixtures::encodeAudio(path, "0.3*sin(2*PI*440*t)", 60.0, {"-c:a", "libmp3lame", "-b:a", "96k"}));
    start({QUrl::fromLocalFile(path)}, 0, "Long");
    const QRect track = panel->progressBarImageView()->geometry();
    EXPECT_EQ(track.x(), 16);
    EXPECT_EQ(track.width(), 0);

    // Playing: the bar glides over a second to the new width.
    ViewAnimation::clearHistory();
    panel->setCurrentTime(10.0);
    ASSERT_EQ(ViewAnimation::count("progressbarAni"), 1);
    const ViewAnimation::Record glide = ViewAnimation::last("progressbarAni");
    EXPECT_EQ(glide.durationMs, 1000);
    EXPECT_EQ(glide.curve, QEasingCurve::Linear);
    EXPECT_EQ(glide.targets.value(0).toRect(),
              QRect(16, track.y(), int(10.0 * 264 / panel->duration()), track.height()));

    // Paused: the bar is set at once and the time reads minutes and seconds.
    panel->pauseMusic();
    ViewAnimation::clearHistory();
    panel->setCurrentTime(30.0);
    EXPECT_EQ(ViewAnimation::count("progressbarAni"), 0);
    EXPECT_EQ(panel->totalTimeLabel()->text(), "00:30");
    EXPECT_NEAR(panel->progressBarImageView()->width(), 30.0 * 264 / panel->duration(), 1.0);
    EXPECT_EQ(panel->progressBarImageView()->x(), 16);
    panel->setCurrentTime(1.5);
    EXPECT_EQ(panel->progressBarImageView()->width(), 0);
    panel->setCurrentTime(59.5);
    EXPECT_EQ(panel->totalTimeLabel()->text(), "00:59");
    panel->panelInfoSetLoopStop();
    EXPECT_EQ(panel->progressBarImageView()->geometry(), QRect(16, track.y(), 0, track.height()));
}

TEST_F(PanelTest, AFileThatCannotBePlayedShowsPlayErrorAndOffersPlay)
{
    QList<QUrl> list = folder("Mixed", {"good.mp3"});
    const QString broken = home.documents() + "/Mixed/broken.mp3";
    ASSERT_TRUE(SongFixtures::writeBytes(broken, QByteArray(4096, 'x')));
    list << QUrl::fromLocalFile(broken);
    list << folder("Mixed", {"after.mp3"});
    start(list, 0, "Mixed");
    ASSERT_TRUE(panel->isPlaying());

    panel->playMusicNextUi();
    const QList<AlertView *> alerts = AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->title(), "Play Error");
    EXPECT_EQ(alerts.first()->message(), "broken.mp3 Can not play the file.");
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_TRUE(playShown()) << "nothing plays: play is offered, not pause";
    EXPECT_TRUE(View::isHidden(panel->playerMiniAniView()));
    EXPECT_EQ(panel->curMusicNameLabel()->text(), "good.mp3 GOOD Album Band") << "the name stays";
    EXPECT_EQ(panel->musicURLArrayIndex(), 1);
    EXPECT_EQ(LevelMeterLoop::liveLoops(), 0);
    // Play cannot start it either, and still offers play.
    panel->playOrPauseMusic();
    EXPECT_TRUE(playShown());
    // The user moves on from there.
    panel->playMusicNextUi();
    EXPECT_EQ(panel->musicURLArrayIndex(), 2);
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_TRUE(pauseShown());
}

TEST_F(PanelTest, AtTheEndOfASongTheNextPlaysAndTheListFollows)
{
    setLoop("0");
    const QList<QUrl> rock = folder("Rock", {"one.mp3", "two.mp3", "three.mp3"});
    start(rock, 2);
    ASSERT_TRUE(waitUntil([&] { return panel->musicURLArrayIndex() == 0; }, 5000)) << "wraps to the first";
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_TRUE(posts.contains("playMusicNext"));
    EXPECT_EQ(songs->scrolls, QStringList({"0 Rock"}));
    EXPECT_FALSE(View::isHidden(delegate.musicInfoArrowButton()));

    // Repeat Off at the last song: the message, and the list stays where it is.
    setLoop("1");
    start(rock, 2);
    posts.log.clear();
    ASSERT_TRUE(waitUntil([&] { return posts.contains("viewMessageAni There is no next song."); }, 5000));
    EXPECT_EQ(panel->musicURLArrayIndex(), 2);
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_TRUE(playShown()) << "the buttons say that nothing plays";
    EXPECT_TRUE(View::isHidden(delegate.musicInfoArrowButton()));
    // Previous at the first song says so as well; next from there plays.
    start(rock, 0);
    panel->playMusicPrevUi();
    EXPECT_TRUE(posts.contains("viewMessageAni No previous music."));
    EXPECT_TRUE(posts.contains("viewMessageIconAni prev"));
    EXPECT_EQ(panel->musicURLArrayIndex(), 0);
}

TEST_F(PanelTest, AFinishReportOfAnEarlierSongsPlayerIsIgnored)
{
    const QList<QUrl> rock = folder("Rock", {"one.mp3", "two.mp3"});
    start(rock, 0);
    AudioPlayer earlier(rock[1]);
    posts.log.clear();
    panel->audioPlayerDidFinishPlaying(&earlier, true);
    panel->audioPlayerDecodeErrorDidOccur(&earlier, "stale");
    panel->audioRouteChanged(&earlier, AudioPlayer::OldDeviceUnavailable);
    EXPECT_TRUE(posts.log.isEmpty()) << posts.log.join(", ").toStdString();
    EXPECT_EQ(panel->musicURLArrayIndex(), 0);
    EXPECT_TRUE(panel->isPlaying());
    // The current player's report moves on.
    panel->audioPlayerDidFinishPlaying(panel->mPlayer(), true);
    EXPECT_EQ(panel->musicURLArrayIndex(), 1);
}

TEST_F(PanelTest, ExactlyOneMeterLoopFeedsBothMeters)
{
    const QString tone = home.documents() + "/Tones/half.mp3";
    ASSERT_TRUE(SongFixtures::encodeAudio(tone, "0.5*sin(2*PI*1000*t)", 4.0, {"-c:a", "libmp3lame", "-b:a", "128k"}));
    const QList<QUrl> list = {QUrl::fromLocalFile(tone), QUrl::fromLocalFile(tone), QUrl::fromLocalFile(tone)};
    // Each new song ends the loop of the one before before its own starts.
    for (int i = 0; i < 3; ++i) {
        start(list, i, "Tones");
        EXPECT_EQ(LevelMeterLoop::liveLoops(), 1) << "song " << i;
    }
    // -6 dB: half of full scale lights 6 of 13 bars on both channels of a mono song.
    ASSERT_TRUE(waitUntil([&] { return panel->levelMeterViewL()->indexes().off >= 5; }, 5000));
    ASSERT_TRUE(waitUntil([&] { return panel->levelMeterViewR()->indexes().off >= 5; }, 5000));
    EXPECT_NEAR(panel->average(), 0.5, 0.08);
    EXPECT_NEAR(panel->average2(), 0.5, 0.08);
    // A sine's scaled average reads its peak, so the two meet within the encoder's ripple.
    EXPECT_NEAR(panel->peak(), 0.5, 0.08);
    EXPECT_NEAR(panel->levelMeterViewL()->indexes().off, 6, 1);
    EXPECT_NEAR(panel->levelMeterViewR()->indexes().off, 6, 1);

    // Paused: the meters fall to nothing and the loop waits (it is still the one loop).
    panel->pauseMusic();
    // The two meters take their values one after the other: both are waited for.
    ASSERT_TRUE(waitUntil([&] { return panel->levelMeterViewL()->indexes().off == 0; }, 3000));
    ASSERT_TRUE(waitUntil([&] { return panel->levelMeterViewR()->indexes().off == 0; }, 3000));
    EXPECT_EQ(LevelMeterLoop::liveLoops(), 1);
    panel->playOrPauseMusic();
    ASSERT_TRUE(waitUntil([&] { return panel->levelMeterViewL()->indexes().off >= 5; }, 5000));
    EXPECT_EQ(LevelMeterLoop::liveLoops(), 1);
}

TEST_F(PanelTest, ShuffleAndRepeatTogglesSayWhatTheyDid)
{
    UserDefaults &defaults = UserDefaults::standard();
    defaults.setObject(QStringLiteral("1"), SettingsKeys::appsettingplaymodekey);
    defaults.setObject(QStringLiteral("0"), SettingsKeys::appsettingloopmodekey);
    panel->randomButton()->click();
    EXPECT_EQ(defaults.stringForKey(SettingsKeys::appsettingplaymodekey), "0");
    panel->randomButton()->click();
    for (int i = 0; i < 3; ++i)
        panel->replayButton()->click();
    EXPECT_EQ(posts.log,
              QStringList({"viewMessageIconAni Shuffle On", "viewMessageIconAni Shuffle Off",
                           "viewMessageIconAni Repeat Off", "viewMessageIconAni One Time Play",
                           "viewMessageIconAni Repeat On"}));
    EXPECT_EQ(defaults.stringForKey(SettingsKeys::appsettingloopmodekey), "0");
    // A value outside the cycle is left alone, silently.
    defaults.setObject(QStringLiteral("7"), SettingsKeys::appsettingloopmodekey);
    posts.log.clear();
    panel->replayButton()->click();
    EXPECT_EQ(defaults.stringForKey(SettingsKeys::appsettingloopmodekey), "7");
    EXPECT_TRUE(posts.log.isEmpty());

    // Toggling draws nothing; the next song under shuffle does, within its list.
    defaults.setObject(QStringLiteral("0"), SettingsKeys::appsettingplaymodekey);
    const QList<QUrl> rock = folder("Rock", {"a.mp3", "b.mp3", "c.mp3"});
    panel->setRandomIndexes(40, 41);
    start(rock, 0);
    EXPECT_GE(panel->randomPrevIndex(), 0);
    EXPECT_LT(panel->randomPrevIndex(), 3);
    EXPECT_GE(panel->randomNextIndex(), 0);
    EXPECT_LT(panel->randomNextIndex(), 3);
}

TEST_F(PanelTest, DeletingThePlayingSongMovesToTheOneAfterIt)
{
    setLoop("0");
    const QList<QUrl> five = folder("Five", {"s0.mp3", "s1.mp3", "s2.mp3", "s3.mp3", "s4.mp3"});
    start(five, 3, "Five");
    NotificationCenter::defaultCenter().postNotificationName(Notify::curFileDelPlayer);
    EXPECT_FALSE(QFile::exists(five[3].toLocalFile()));
    EXPECT_EQ(panel->musicURLArray().size(), 4);
    EXPECT_EQ(panel->musicURLArrayIndex(), 3);
    EXPECT_EQ(panel->curURL(), five[4]);
    EXPECT_TRUE(panel->isPlaying());
    // The last one: the list wraps to the first.
    NotificationCenter::defaultCenter().postNotificationName(Notify::curFileDelPlayer);
    EXPECT_EQ(panel->musicURLArrayIndex(), 0);
    EXPECT_EQ(panel->curURL(), five[0]);
    // The first one under Repeat On: the next first song.
    NotificationCenter::defaultCenter().postNotificationName(Notify::curFileDelPlayer);
    EXPECT_EQ(panel->curURL(), five[1]);
    EXPECT_EQ(panel->musicURLArrayIndex(), 0);
    // The first one under One Time Play would replay what is gone: the panel stops cleanly.
    setLoop("2");
    NotificationCenter::defaultCenter().postNotificationName(Notify::curFileDelPlayer);
    EXPECT_FALSE(panel->hasAudioURL());
    EXPECT_EQ(panel->curMusicNameLabel()->text(), "Please select the music.");
    EXPECT_FALSE(panel->nextButton()->isEnabled());
    EXPECT_TRUE(playShown());
    EXPECT_TRUE(View::isHidden(delegate.musicInfoArrowButton()));
    EXPECT_EQ(LevelMeterLoop::liveLoops(), 0);

    // The only song of a list: an empty list stops cleanly too.
    setLoop("0");
    const QList<QUrl> one = folder("One", {"only.mp3"});
    start(one, 0, "One");
    NotificationCenter::defaultCenter().postNotificationName(Notify::curFileDelPlayer);
    EXPECT_TRUE(panel->musicURLArray().isEmpty());
    EXPECT_FALSE(panel->hasAudioURL());
    EXPECT_EQ(panel->curMusicNameLabel()->text(), "Please select the music.");
}

TEST_F(PanelTest, ALostOutputPausesAPlayingSongOnly)
{
    const QList<QUrl> rock = folder("Rock", {"one.mp3"});
    start(rock, 0);
    panel->mPlayer()->output()->loseDevice();
    ASSERT_TRUE(waitUntil([&] { return !panel->isPlaying(); }, 3000));
    EXPECT_TRUE(posts.contains("viewMessageIconAni pause"));
    EXPECT_TRUE(playShown());
    posts.log.clear();
    panel->mPlayer()->output()->loseDevice();
    waitUntil([] { return false; }, 100);
    EXPECT_TRUE(posts.log.isEmpty());
}

TEST_F(PanelTest, StopLeavesTheSongLoadedAtItsStart)
{
    const QString path = home.documents() + "/Long/minute.mp3";
    ASSERT_TRUE(SongFixtures::encodeAudio(path, "0.3*sin(2*PI*440*t)", 30.0, {"-c:a", "libmp3lame", "-b:a", "96k"}));
    start({QUrl::fromLocalFile(path)}, 0, "Long");
    MprisPlayerBridge remote(*panel);
    panel->setCurrentTime(12.0);
    EXPECT_EQ(remote.playbackStatus(), "Playing");
    remote.stop();
    EXPECT_TRUE(panel->hasAudioURL());
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_DOUBLE_EQ(panel->currentTime(), 0.0);
    EXPECT_EQ(panel->totalTimeLabel()->text(), "00:00");
    EXPECT_TRUE(playShown());
    EXPECT_EQ(remote.playbackStatus(), "Stopped");
    panel->playOrPauseMusic();
    EXPECT_EQ(remote.playbackStatus(), "Playing");
    panel->pauseMusic();
    EXPECT_EQ(remote.playbackStatus(), "Paused");
}

TEST_F(PanelTest, TheMediaRemoteSeesTheSongInTheChosenEncoding)
{
    // A title stored as Latin-1 characters of EUC-KR bytes, shown through EUC-KR.
    UserDefaults::standard().setObject(qlonglong(2147486016u), SettingsKeys::selectedEncodingNumberKey);
    SongFixtures::Tags tags;
    tags.title = QString::fromLatin1("\xB3\xEB\xB7\xA1");
    tags.artist = QStringLiteral("Band");
    tags.album = QStringLiteral("Album");
    tags.picture = SongFixtures::png(300, 300);
    tags.pictureMime = "image/png";
    const QString first = home.documents() + "/K/song.mp3";
    ASSERT_TRUE(SongFixtures::writeMp3(first, SongFixtures::Tagging::Id3v23, tags));
    const QList<QUrl> list = {QUrl::fromLocalFile(first), folder("K", {"plain.mp3"}).first()};
    MprisPlayerBridge remote(*panel);
    EXPECT_EQ(remote.playbackStatus(), "Stopped");
    EXPECT_FALSE(remote.hasTrack());
    EXPECT_TRUE(remote.metadata().isEmpty());

    start(list, 0, "K");
    const QVariantMap song = remote.metadata();
    EXPECT_EQ(song.value("xesam:title").toString(), QString::fromUtf8("노래"));
    EXPECT_EQ(song.value("xesam:artist").toStringList(), QStringList({"Band"}));
    EXPECT_EQ(song.value("xesam:album").toString(), "Album");
    EXPECT_NEAR(song.value("mpris:length").toLongLong(), 1000000, 100000);
    const QString art = QUrl(song.value("mpris:artUrl").toString()).toLocalFile();
    EXPECT_TRUE(art.startsWith(home.path())) << art.toStdString();
    EXPECT_FALSE(QImage(art).isNull()) << "a PNG of the cover";
    const QDBusObjectPath firstTrack = song.value("mpris:trackid").value<QDBusObjectPath>();
    EXPECT_TRUE(remote.canSeek());

    // Seeking and the volume go to the player; a seek is reported.
    QSignalSpy seeks(panel, &PlayInfoPanelViewController::seeked);
    remote.setPosition(500000);
    ASSERT_EQ(seeks.size(), 1);
    EXPECT_NEAR(seeks.first().first().toDouble(), 0.5, 0.05);
    remote.setVolume(0.3);
    EXPECT_FLOAT_EQ(panel->mPlayer()->volume(), 0.3f);

    // The next song: a new track, and the default picture without a cover.
    panel->playMusicNextUi();
    const QVariantMap next = remote.metadata();
    EXPECT_NE(next.value("mpris:trackid").value<QDBusObjectPath>(), firstTrack);
    EXPECT_EQ(next.value("xesam:title").toString(), "PLAIN");
    const QString defaultArt = QUrl(next.value("mpris:artUrl").toString()).toLocalFile();
    EXPECT_FALSE(QImage(defaultArt).isNull());
    EXPECT_FALSE(QFile::exists(art)) << "the previous song's cover is not kept";
    EXPECT_FLOAT_EQ(panel->mPlayer()->volume(), 0.3f) << "the volume carries over";
}

// Moves and deletes made by the file manager: the list and the song playing follow a moved
// song; a song that is gone leaves the list; the one playing is replaced by the next that
// exists, playing or held as it was; with none left the panel stops with its placeholder.
TEST_F(PanelTest, MovedAndDeletedSongsAreFollowedOrSkipped)
{
    setLoop("0");
    const QList<QUrl> rock = folder("Rock", {"s0.mp3", "s1.mp3", "s2.mp3", "s3.mp3"});
    start(rock, 1, "Rock");
    ASSERT_TRUE(panel->isPlaying());

    // s1 (playing) and s2 move to Jazz: same songs, same places, still playing.
    ASSERT_TRUE(QDir().mkpath(home.documents() + "/Jazz"));
    const QUrl jazz1 = QUrl::fromLocalFile(home.documents() + "/Jazz/s1.mp3");
    const QUrl jazz2 = QUrl::fromLocalFile(home.documents() + "/Jazz/s2.mp3");
    ASSERT_TRUE(QFile::rename(rock[1].toLocalFile(), jazz1.toLocalFile()));
    ASSERT_TRUE(QFile::rename(rock[2].toLocalFile(), jazz2.toLocalFile()));
    panel->songFilesChanged({{rock[1], jazz1}, {rock[2], jazz2}});
    EXPECT_EQ(panel->musicURLArray(), QList<QUrl>({rock[0], jazz1, jazz2, rock[3]}));
    EXPECT_EQ(panel->musicURLArrayIndex(), 1);
    EXPECT_EQ(panel->curURL(), jazz1);
    EXPECT_TRUE(panel->isPlaying());

    // A song before the current one is deleted: the current one keeps playing, one place up.
    ASSERT_TRUE(QFile::remove(rock[0].toLocalFile()));
    panel->songFilesChanged({});
    EXPECT_EQ(panel->musicURLArray(), QList<QUrl>({jazz1, jazz2, rock[3]}));
    EXPECT_EQ(panel->musicURLArrayIndex(), 0);
    EXPECT_EQ(panel->curURL(), jazz1);
    EXPECT_TRUE(panel->isPlaying());

    // The paused current song is deleted: the next takes its place, held.
    panel->playOrPauseMusicUi();
    ASSERT_FALSE(panel->isPlaying());
    ASSERT_TRUE(QFile::remove(jazz1.toLocalFile()));
    panel->songFilesChanged({});
    EXPECT_EQ(panel->curURL(), jazz2);
    EXPECT_EQ(panel->musicURLArrayIndex(), 0);
    EXPECT_TRUE(panel->hasAudioURL());
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_EQ(panel->folderLabel()->text(), "Rock [ 1 / 2 ]");

    // The last song of the list, playing, is deleted: the list wraps to its first song.
    panel->setMusicURLArrayIndex(1);
    panel->curURLSet();
    panel->playMusic();
    ASSERT_TRUE(QFile::remove(rock[3].toLocalFile()));
    panel->songFilesChanged({});
    EXPECT_EQ(panel->curURL(), jazz2);
    EXPECT_TRUE(panel->isPlaying());

    // The whole folder goes: nothing is left, the panel stops cleanly.
    ASSERT_TRUE(QDir(home.documents() + "/Jazz").removeRecursively());
    panel->songFilesChanged({});
    EXPECT_TRUE(panel->musicURLArray().isEmpty());
    EXPECT_FALSE(panel->hasAudioURL());
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_EQ(panel->curMusicNameLabel()->text(), "Please select the music.");
    EXPECT_FALSE(panel->nextButton()->isEnabled());
    EXPECT_EQ(LevelMeterLoop::liveLoops(), 0);

    // Before any song, a change is nothing to follow.
    panel->songFilesChanged({});
    EXPECT_FALSE(panel->hasAudioURL());
}

} // namespace
