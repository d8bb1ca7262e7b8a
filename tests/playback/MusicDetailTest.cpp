#include "TestHome.h"
#include "support/ShellFakes.h"
#include "support/SongFixtures.h"

#include "app/ZivoAppDelegate.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "library/SongCache.h"
#include "library/ZivoModel.h"
#include "platform/AlertView.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NotificationCenter.h"
#include "platform/Slider.h"
#include "platform/TextView.h"
#include "platform/UserDefaults.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"
#include "playback/F3BarGauge.h"
#include "playback/MusicDetailView.h"
#include "playback/MusicDetailViewController.h"
#include "playback/PlayInfoPanelViewController.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Screen = ZivoAppDelegate::Screen;

// Legacy bytes of the word "song" in EUC-KR, and the encoding's number.
const QByteArray eucKrSong = "\xB3\xEB\xB7\xA1";
constexpr qlonglong eucKr = 2147486016LL;

struct Posts
{
    Posts()
    {
        for (const QString &name : {Notify::viewMessageDuration, Notify::closeMessageDuration})
            NotificationCenter::defaultCenter().addObserver(&owner, name, [this](const Notification &n) {
                log << n.name.mid(7) + (n.object.isValid() ? " " + n.object.toString() : QString());
            });
    }
    QObject owner;
    QStringList log;
};

// The real panel and the full-screen player in the shell, songs of the test's making.
class DetailTest : public ::testing::Test
{
protected:
    DetailTest()
    {
        qputenv("ORBO_AUDIO_OUTPUT", "null");
        auto made = std::make_unique<PlayInfoPanelViewController>();
        panel = made.get();
        delegate.installPlayInfoPanel(std::move(made));
        detail = new MusicDetailViewController(*panel);
        delegate.setScreen(Screen::MusicDetail, std::unique_ptr<ZivoViewController>(detail));
        delegate.didFinishLaunchingWithOptions();
    }
    ~DetailTest() override
    {
        ViewAnimation::finishAll();
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
    }

    // Tagged one-second songs "<Title>", "Album", "Band" in a folder of Documents.
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
    void start(const QList<QUrl> &urls, int index, const QString &title = "Rock")
    {
        panel->setMusicURLArray(urls);
        panel->setMusicURLArrayIndex(index);
        panel->setPlayListMode(0);
        panel->setCurFolderD(title);
        panel->curURLSet();
        panel->playMusic();
        panel->panelInfoSet();
    }
    void open()
    {
        NotificationCenter::defaultCenter().postNotificationName(Notify::addMusicDetailView);
        ViewAnimation::finishAll();
    }
    // The slider as the hand moves it: pressed, dragged to a time, (not yet) released.
    void drag(double seconds)
    {
        Slider *slider = detail->durationSlider();
        slider->setSliderDown(true);
        QAbstractSlider &steps = *slider;
        // Rounded up, so that the time shown is not a step short of the second asked for.
        steps.setValue(int(std::ceil(seconds / slider->maximumValue() * steps.maximum())));
    }

    TestHome home;
    ZivoAppDelegate delegate{recordingMenu()};
    PlayInfoPanelViewController *panel = nullptr;
    MusicDetailViewController *detail = nullptr;
};

TEST_F(DetailTest, OpensOnTheCurrentSongWithItsTagsPlaceAndState)
{
    EXPECT_EQ(MusicDetailViewController::folderPathText("Rock", 1, 3), "Rock [ 2 / 3] ");
    start(folder("Rock", {"a.mp3", "b.mp3", "c.mp3"}), 1);
    open();
    ASSERT_TRUE(detail->isOnScreen());
    EXPECT_TRUE(panel->detailViewOnFlg());
    MusicDetailView *song = detail->musicDetailView();
    EXPECT_EQ(song->fileNameLabel()->text(), "b.mp3");
    EXPECT_EQ(song->songNameLabel()->text(), "B");
    EXPECT_EQ(song->albumNameLabel()->text(), "Album");
    EXPECT_EQ(song->singerNameLabel()->text(), "Band");
    EXPECT_EQ(song->lyricsTextView()->text(), "No Lyrics");
    EXPECT_EQ(detail->folderPathLabel()->text(), "Rock [ 2 / 3] ");
    EXPECT_TRUE(View::isHidden(detail->playButton()));
    EXPECT_FALSE(View::isHidden(detail->pauseButton()));
    EXPECT_EQ(detail->levelMeterViewL()->numBars(), 35);
    EXPECT_EQ(detail->durationSlider()->thumbImage().isNull(), false);

    // The pause button pauses the panel's player; the play button resumes it.
    detail->pauseButton()->click();
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_FALSE(View::isHidden(detail->playButton()));
    detail->playButton()->click();
    EXPECT_TRUE(panel->isPlaying());

    // Closing gives the screen back to the panel, which stops feeding it.
    detail->closeButton()->click();
    EXPECT_FALSE(detail->isOnScreen());
    EXPECT_FALSE(panel->detailViewOnFlg());
    EXPECT_FALSE(View::isHidden(panel->panelView()));

    // The remote's play/pause reaches the player with the screen closed too.
    NotificationCenter::defaultCenter().postNotificationName(Notify::playOrPauseMusic);
    EXPECT_FALSE(panel->isPlaying());
    NotificationCenter::defaultCenter().postNotificationName(Notify::playOrPauseMusic);
    EXPECT_TRUE(panel->isPlaying());
}

TEST_F(DetailTest, TheRefreshLeavesAHeldSliderAloneAndReleaseSeeksWhereItWasLetGo)
{
    const QString path = home.documents() + "/Rock/long.mp3";
    ASSERT_TRUE(SongFixtures::encodeAudio(path, "0.3*sin(2*PI*440*t)", 240.0, {"-c:a", "libmp3lame", "-b:a", "32k"}));
    start({QUrl::fromLocalFile(path)}, 0);
    open();
    Posts posts;
    panel->setCurrentTime(10.0);
    panel->panelInfoSet();
    EXPECT_NEAR(detail->durationSlider()->maximumValue(), 240.0, 1.0);
    EXPECT_NEAR(detail->durationSlider()->value(), 10.0, 1.0);

    // Dragging to 1:30 of the four minutes previews the times and the position message.
    drag(90.0);
    EXPECT_TRUE(detail->isSeeking());
    EXPECT_EQ(detail->playedTimeLabel()->text(), "01:30");
    EXPECT_EQ(detail->totalTimeLabel()->text(), "02:30");
    EXPECT_TRUE(posts.log.contains("viewMessageDuration 01:30"));
    EXPECT_LT(panel->currentTime(), 60.0) << "no seek before the release";

    // The once-a-second refresh comes while the slider is held: it stays where the hand is.
    panel->panelInfoSet();
    panel->panelInfoSet();
    EXPECT_NEAR(detail->durationSlider()->value(), 90.0, 0.5);
    EXPECT_EQ(detail->playedTimeLabel()->text(), "01:30");

    // Let go: the player goes there, and the refresh follows the player again.
    detail->durationSlider()->setSliderDown(false);
    EXPECT_FALSE(detail->isSeeking());
    EXPECT_NEAR(panel->currentTime(), 90.0, 1.0);
    EXPECT_EQ(posts.log.last(), "closeMessageDuration");
    panel->setCurrentTime(120.0);
    panel->panelInfoSet();
    EXPECT_NEAR(detail->durationSlider()->value(), 120.0, 1.0);

    // The keyboard (or a screen reader) has no press or release: a step seeks at once.
    detail->durationSlider()->setFocus();
    QTest::keyClick(detail->durationSlider(), Qt::Key_End);
    EXPECT_GT(panel->currentTime(), 200.0);
}

TEST_F(DetailTest, TheTagPanelMovesBetweenItsThreePlacesAndKeepsItAcrossVisits)
{
    start(folder("Rock", {"a.mp3"}), 0);
    open();
    MusicDetailView *song = detail->musicDetailView();
    QWidget *panelView = song->id3TagView();
    EXPECT_EQ(detail->tagPanel(), MusicDetailViewController::TagPanel::Open);
    EXPECT_EQ(View::center(panelView), QPoint(160, 3));

    ViewAnimation::clearHistory();
    detail->id3UpButton()->click();
    EXPECT_EQ(ViewAnimation::count("closeID3PannelAni"), 1);
    ViewAnimation::finishAll();
    EXPECT_EQ(View::center(panelView), QPoint(160, -57));
    EXPECT_EQ(View::alpha(song->songNameLabel()), 0);
    EXPECT_EQ(View::alpha(detail->id3DownButton()), 1);
    EXPECT_TRUE(View::isHidden(detail->id3UpButton())) << "a faded button cannot be pressed";
    EXPECT_TRUE(View::isHidden(detail->lyricsButton()));

    detail->id3DownButton()->click();
    EXPECT_EQ(ViewAnimation::count("viewID3PannelAni"), 1);
    ViewAnimation::finishAll();
    EXPECT_EQ(View::center(panelView), QPoint(160, 3));
    EXPECT_EQ(View::alpha(song->albumNameLabel()), 1);
    EXPECT_FALSE(View::isHidden(detail->lyricsButton()));

    detail->lyricsButton()->click();
    EXPECT_EQ(ViewAnimation::count("viewLyricsAni"), 1);
    ViewAnimation::finishAll();
    EXPECT_EQ(View::center(panelView), QPoint(160, 237));
    EXPECT_FALSE(View::isHidden(song->lyricsTextView()));
    EXPECT_EQ(detail->tagPanel(), MusicDetailViewController::TagPanel::Lyrics);

    // Closed and opened again, the lyrics are still open.
    detail->closeView();
    open();
    EXPECT_FALSE(View::isHidden(song->lyricsTextView()));
    EXPECT_EQ(View::center(panelView), QPoint(160, 237));

    // The first press of the up button leaves the lyrics for the open panel.
    detail->id3UpButton()->click();
    EXPECT_EQ(ViewAnimation::count("closeLyricsAni"), 1);
    EXPECT_EQ(ViewAnimation::count("closeID3PannelAni"), 1);
    ViewAnimation::finishAll();
    EXPECT_EQ(View::center(panelView), QPoint(160, 3));
    EXPECT_TRUE(View::isHidden(song->lyricsTextView()));
    EXPECT_EQ(detail->tagPanel(), MusicDetailViewController::TagPanel::Open);
}

TEST_F(DetailTest, LyricsAndTagsComeFromTheFileOrFromTheSongsOwnImportRecord)
{
    UserDefaults::standard().setObject(eucKr, SettingsKeys::selectedEncodingNumberKey);
    const QString docs = home.documents();
    const QString legacy = QString::fromLatin1(eucKrSong);

    // Lyrics in the file are shown as they are, unconverted.
    SongFixtures::Tags own;
    own.title = QStringLiteral("Own Title");
    own.artist = QStringLiteral("Own Band");
    own.lyrics = legacy;
    ASSERT_TRUE(SongFixtures::writeMp3(docs + "/Rock/lyrics.mp3", SongFixtures::Tagging::Id3v24, own));
    MusicDetailView::Contents mp3 = MusicDetailView::contentsOfSong(QUrl::fromLocalFile(docs + "/Rock/lyrics.mp3"));
    EXPECT_EQ(mp3.lyrics, legacy);
    EXPECT_EQ(mp3.title, "Own Title");

    // An imported song: its record (converted) stands for the file's own tags.
    QDir().mkpath(docs + "/iPod_Songs");
    own.lyrics.reset();
    own.picture = SongFixtures::jpeg(40, 40);
    ASSERT_TRUE(SongFixtures::writeM4a(docs + "/iPod_Songs/same.m4a", own));
    QVariantMap record;
    record.insert("title", legacy);
    record.insert("albumName", QStringLiteral("Imported Album"));
    record.insert("artist", QStringLiteral("Imported Band"));
    record.insert("lyrics", legacy);
    ASSERT_TRUE(SongCache::ensureFolder());
    ASSERT_TRUE(SongCache::store("iPod_Songs", "same.m4a", record));
    ASSERT_TRUE(SongCache::storeFullArtwork("iPod_Songs", "same.m4a", SongFixtures::png(600, 600)));
    const MusicDetailView::Contents imported =
        MusicDetailView::contentsOfSong(QUrl::fromLocalFile(docs + "/iPod_Songs/same.m4a"));
    EXPECT_EQ(imported.title, QString::fromUtf8("노래"));
    EXPECT_EQ(imported.album, "Imported Album");
    EXPECT_EQ(imported.artist, "Imported Band");
    EXPECT_EQ(imported.lyrics, QString::fromUtf8("노래"));
    EXPECT_GE(imported.artwork.width(), 300) << "the import's large artwork";

    // An M4A of the same name in another folder is itself, not the imported song.
    ASSERT_TRUE(SongFixtures::writeM4a(docs + "/Rock/same.m4a", own));
    const MusicDetailView::Contents rock =
        MusicDetailView::contentsOfSong(QUrl::fromLocalFile(docs + "/Rock/same.m4a"));
    EXPECT_EQ(rock.title, "Own Title");
    EXPECT_EQ(rock.artist, "Own Band");
    EXPECT_EQ(rock.lyrics, "No Lyrics");
    EXPECT_FALSE(rock.artwork.isNull()) << "its own cover";

    // Nothing to show: the file name, empty tags, the default picture, "No Lyrics".
    ASSERT_TRUE(SongFixtures::writeMp3(docs + "/bare.mp3", SongFixtures::Tagging::None, {}));
    const MusicDetailView::Contents bare = MusicDetailView::contentsOfSong(QUrl::fromLocalFile(docs + "/bare.mp3"));
    EXPECT_EQ(bare.fileName, "bare.mp3");
    EXPECT_TRUE(bare.title.isEmpty() && bare.album.isEmpty() && bare.artist.isEmpty());
    EXPECT_TRUE(bare.artwork.isNull());
    EXPECT_EQ(bare.lyrics, "No Lyrics");
}

TEST_F(DetailTest, SwipesKeysAndButtonsMoveThePlayerAndSlideTheNextSongIn)
{
    const QList<QUrl> urls = folder("Rock", {"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    start(urls, 0);
    open();
    ViewAnimation::clearHistory();
    ImageView *artwork = detail->albumImageView();

    // A leftward drag: the next song, sliding in from the right over the old one's picture.
    QTest::mousePress(artwork, Qt::LeftButton, {}, QPoint(220, 120));
    QTest::mouseRelease(artwork, Qt::LeftButton, {}, QPoint(90, 130));
    EXPECT_EQ(panel->musicURLArrayIndex(), 1);
    EXPECT_EQ(ViewAnimation::count("MusicDetailScrollNext"), 1);
    EXPECT_TRUE(detail->backgroundImageView()->parentWidget()) << "the old song's picture lies below";
    EXPECT_EQ(detail->musicDetailView()->fileNameLabel()->text(), "b.mp3");
    EXPECT_EQ(detail->folderPathLabel()->text(), "Rock [ 2 / 4] ");
    ViewAnimation::finishAll();
    EXPECT_EQ(View::frame(detail->view()), QRect(0, 0, Window::width, Window::height));
    EXPECT_FALSE(detail->backgroundImageView()->parentWidget());

    // A short or mostly vertical drag is no swipe.
    QTest::mousePress(artwork, Qt::LeftButton, {}, QPoint(150, 50));
    QTest::mouseRelease(artwork, Qt::LeftButton, {}, QPoint(110, 200));
    EXPECT_EQ(panel->musicURLArrayIndex(), 1);

    // A sideways wheel or touchpad scroll: one song per gesture.
    QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(-60, 0), QPoint(-120, 0), Qt::NoButton,
                      Qt::NoModifier, Qt::ScrollBegin, false);
    QCoreApplication::sendEvent(artwork, &wheel);
    for (int i = 0; i < 3; ++i) {
        QWheelEvent more(QPointF(100, 100), QPointF(100, 100), QPoint(-60, 0), QPoint(-120, 0), Qt::NoButton,
                         Qt::NoModifier, Qt::ScrollUpdate, false);
        QCoreApplication::sendEvent(artwork, &more);
    }
    EXPECT_EQ(panel->musicURLArrayIndex(), 2);

    // The keys: Left is the previous song, Right the next.
    QTest::keyClick(detail->view(), Qt::Key_Left);
    EXPECT_EQ(panel->musicURLArrayIndex(), 1);
    QTest::keyClick(detail->view(), Qt::Key_Right);
    EXPECT_EQ(panel->musicURLArrayIndex(), 2);

    // The buttons.
    detail->nextButton()->click();
    EXPECT_EQ(panel->musicURLArrayIndex(), 3);
    detail->prevButton()->click();
    EXPECT_EQ(panel->musicURLArrayIndex(), 2);
    ViewAnimation::finishAll();
    EXPECT_EQ(detail->musicDetailView()->songNameLabel()->text(), "C");
}

TEST_F(DetailTest, VolumeAndMetersFollowThePanelsPlayer)
{
    start(folder("Rock", {"a.mp3"}), 0);
    open();
    detail->volumeSlider()->setFocus();
    QTest::keyClick(detail->volumeSlider(), Qt::Key_Home);
    EXPECT_FLOAT_EQ(panel->volume(), 0.0f);
    // A change from elsewhere (the desktop's media controls) moves the slider.
    panel->setVolume(0.5f);
    EXPECT_NEAR(detail->volumeSlider()->value(), 0.5, 0.01);

    detail->setLevelMeterValues(0.7f, 0.3f);
    EXPECT_FLOAT_EQ(detail->levelMeterViewL()->value(), 0.7f);
    EXPECT_FLOAT_EQ(detail->levelMeterViewR()->value(), 0.3f);
    // Closed, its meters go quiet.
    detail->closeView();
    EXPECT_FLOAT_EQ(detail->levelMeterViewL()->value(), 0.0f);
}

} // namespace
