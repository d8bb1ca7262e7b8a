#include "TestHome.h"
#include "support/SongFixtures.h"

#include "platform/AudioDecodeThread.h"
#include "platform/AudioDecoder.h"
#include "platform/AudioOutput.h"
#include "platform/AudioPlayer.h"

#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QStringList Mp3{"-c:a", "libmp3lame", "-b:a", "128k"};
const QStringList Aac{"-c:a", "aac", "-b:a", "128k"};
const QStringList Alac{"-c:a", "alac"};

// A 1 kHz tone at half of full scale: -6 dB.
const QString HalfScaleTone = QStringLiteral("0.5*sin(2*PI*1000*t)");
// A 1 kHz tone whose amplitude rises from 0 to 1 over four seconds: the level tells the time.
const QString RampTone = QStringLiteral("(t/4)*sin(2*PI*1000*t)");

class AudioPlayerTest : public ::testing::Test
{
protected:
    void SetUp() override { qputenv("ORBO_AUDIO_OUTPUT", "null"); }

    QString song(const QString &name, const QString &expression, double seconds, const QStringList &codec)
    {
        const QString path = home.path() + "/" + name;
        if (!SongFixtures::encodeAudio(path, expression, seconds, codec))
            ADD_FAILURE() << "could not make " << name.toStdString();
        return path;
    }

    static QUrl url(const QString &path) { return QUrl::fromLocalFile(path); }

    TestHome home;
};

double decibels(double amplitude)
{
    return 20 * std::log10(amplitude);
}

TEST_F(AudioPlayerTest, OpensMp3AndM4aAndRefusesWhatIsNotAudio)
{
    struct Case
    {
        const char *name;
        QStringList codec;
        bool exactBitRate;
    };
    const Case cases[] = {{"tone.mp3", Mp3, true}, {"tone.m4a", Aac, false}, {"lossless.m4a", Alac, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AudioPlayer player(url(song(c.name, HalfScaleTone + "|0.25*sin(2*PI*500*t)", 2.0, c.codec)));
        EXPECT_NEAR(player.duration(), 2.0, 0.1);
        const QVariantMap settings = player.settings();
        ASSERT_TRUE(settings.contains(AudioPlayer::EncoderBitRateKey));
        const qint64 bitRate = settings.value(AudioPlayer::EncoderBitRateKey).toLongLong();
        if (c.exactBitRate)
            EXPECT_EQ(bitRate, 128000);
        else
            EXPECT_GT(bitRate, 32000);
        EXPECT_EQ(settings.value(AudioPlayer::SampleRateKey).toInt(), 44100);
        EXPECT_EQ(player.numberOfChannels(), 2);
        EXPECT_EQ(player.currentTime(), 0.0);
        EXPECT_FALSE(player.isPlaying());
    }

    // Not audio, empty, missing, not a local file: duration 0, and nothing plays.
    const QString text =
        home.writeFile("notes.mp3", QByteArray("These are not the songs you are looking for.\n").repeated(200));
    const QString empty = home.writeFile("empty.m4a", QByteArray());
    for (const QUrl &bad :
         {url(text), url(empty), url(home.path() + "/missing.mp3"), QUrl("http://127.0.0.1:1/song.mp3"), QUrl()}) {
        SCOPED_TRACE(bad.toString().toStdString());
        AudioPlayer player(bad);
        EXPECT_EQ(player.duration(), 0.0);
        EXPECT_FALSE(player.play());
        EXPECT_FALSE(player.isPlaying());
        EXPECT_TRUE(player.settings().isEmpty());
        EXPECT_EQ(player.output(), nullptr);
        EXPECT_EQ(player.url(), bad);
        player.setCurrentTime(1.0);
        player.pause();
        player.stop();
        EXPECT_EQ(player.currentTime(), 0.0);
    }
}

TEST_F(AudioPlayerTest, PlaysToTheEndAndReportsItOnce)
{
    AudioPlayer player(url(song("short.mp3", HalfScaleTone, 1.0, Mp3)));
    ASSERT_GT(player.duration(), 0.9);
    QSignalSpy finished(&player, &AudioPlayer::finished);
    QSignalSpy errors(&player, &AudioPlayer::decodeError);
    ASSERT_TRUE(player.play());
    EXPECT_TRUE(player.isPlaying());
    double highest = 0;
    bool monotonic = true;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (player.isPlaying()) {
                const double now = player.currentTime();
                monotonic = monotonic && now >= highest;
                highest = std::max(highest, now);
            }
            return !finished.isEmpty();
        },
        10000));
    EXPECT_TRUE(monotonic);
    EXPECT_GT(highest, 0.5);
    // The end is reported once the samples have left the output, not when decoding ends.
    EXPECT_GE(player.output()->playedUSecs(), 950000);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.currentTime(), 0.0);
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(finished.size(), 1);
    EXPECT_TRUE(errors.isEmpty());

    // It can play again from the start.
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([&] { return finished.size() == 2; }, 10000));
    EXPECT_TRUE(finished.last().first().toBool());
}

TEST_F(AudioPlayerTest, PauseHoldsThePlaceAndStopKeepsIt)
{
    AudioPlayer player(url(song("pause.m4a", HalfScaleTone, 3.0, Aac)));
    QSignalSpy finished(&player, &AudioPlayer::finished);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= 0.3; }, 5000));
    player.pause();
    EXPECT_FALSE(player.isPlaying());
    const double held = player.currentTime();
    const qint64 clock = player.output()->playedUSecs();
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(player.currentTime(), held);
    EXPECT_EQ(player.output()->playedUSecs(), clock);

    ASSERT_TRUE(player.play());
    double lowest = 1e9;
    ASSERT_TRUE(waitUntil(
        [&] {
            lowest = std::min(lowest, player.currentTime());
            return player.currentTime() >= held + 0.2;
        },
        5000));
    EXPECT_GE(lowest, held);

    // Stop holds the place too (dropping what was decoded ahead); play goes on from there.
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    const double stopped = player.currentTime();
    EXPECT_GE(stopped, held + 0.2);
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(player.currentTime(), stopped);
    ASSERT_TRUE(player.play());
    lowest = 1e9;
    ASSERT_TRUE(waitUntil(
        [&] {
            lowest = std::min(lowest, player.currentTime());
            return player.currentTime() >= stopped + 0.2;
        },
        5000));
    EXPECT_GE(lowest, stopped);
    EXPECT_LT(lowest, stopped + 0.05);
    EXPECT_TRUE(finished.isEmpty());
}

// Reads the time from the ramp's level at the play head: the meters cover the 50 ms
// before it, whose middle is 25 ms back.
double rampTimeHeard(AudioPlayer &player)
{
    player.updateMeters();
    return 4.0 * std::pow(10.0, player.averagePowerForChannel(0) / 20.0) + 0.025;
}

TEST_F(AudioPlayerTest, SeeksToTheSampleWhetherPlayingOrNot)
{
    // The level of the ramp is the oracle, so only codecs that keep levels exact: MP3
    // (LAME) plays a tone about 0.5 dB quiet, which would read as a tenth of a second early.
    for (const auto &codec : {Aac, Alac}) {
        SCOPED_TRACE(codec.join(' ').toStdString());
        AudioPlayer player(url(song(codec == Aac ? "ramp-aac.m4a" : "ramp-alac.m4a", RampTone, 4.0, codec)));
        player.setMeteringEnabled(true);
        player.setCurrentTime(2.5);
        EXPECT_NEAR(player.currentTime(), 2.5, 1.0 / 44100);
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= 2.7; }, 5000));
        EXPECT_NEAR(rampTimeHeard(player), player.currentTime(), 0.1);

        player.setCurrentTime(1.0);
        EXPECT_NEAR(player.currentTime(), 1.0, 1.0 / 44100);
        ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= 1.2; }, 5000));
        EXPECT_LT(player.currentTime(), 2.0);
        EXPECT_NEAR(rampTimeHeard(player), player.currentTime(), 0.1);

        // Beyond either end: clamped.
        player.pause();
        player.setCurrentTime(-3);
        EXPECT_EQ(player.currentTime(), 0.0);
        player.setCurrentTime(100);
        EXPECT_NEAR(player.currentTime(), player.duration(), 0.001);
    }
}

TEST_F(AudioPlayerTest, MetersTheSamplesLeavingTheOutput)
{
    // Left at -6 dB, right at -18 dB.
    AudioPlayer stereo(url(song("stereo.mp3", HalfScaleTone + "|0.125*sin(2*PI*1000*t)", 3.0, Mp3)));
    EXPECT_EQ(stereo.averagePowerForChannel(0), -160.0f);
    stereo.updateMeters();
    EXPECT_EQ(stereo.peakPowerForChannel(0), -160.0f); // metering is off
    stereo.setMeteringEnabled(true);
    ASSERT_TRUE(stereo.play());
    ASSERT_TRUE(waitUntil([&] { return stereo.currentTime() >= 0.3; }, 5000));
    stereo.updateMeters();
    EXPECT_NEAR(stereo.averagePowerForChannel(0), decibels(0.5), 0.5);
    EXPECT_NEAR(stereo.peakPowerForChannel(0), decibels(0.5), 0.5);
    EXPECT_NEAR(stereo.averagePowerForChannel(1), decibels(0.125), 0.5);
    EXPECT_NEAR(stereo.peakPowerForChannel(1), decibels(0.125), 0.5);

    // Volume scales the samples: half volume is 6 dB down, once the samples written
    // before the change (at most a few tenths of a second) have played.
    stereo.setVolume(0.5f);
    EXPECT_EQ(stereo.volume(), 0.5f);
    const double changed = stereo.currentTime();
    ASSERT_TRUE(waitUntil([&] { return stereo.currentTime() >= changed + 0.7; }, 5000));
    stereo.updateMeters();
    EXPECT_NEAR(stereo.averagePowerForChannel(0), decibels(0.25), 0.5);
    EXPECT_NEAR(stereo.averagePowerForChannel(1), decibels(0.0625), 0.5);
    stereo.setVolume(7.0f);
    EXPECT_EQ(stereo.volume(), 1.0f);
    stereo.setVolume(-1.0f);
    EXPECT_EQ(stereo.volume(), 0.0f);

    // Paused, nothing leaves the output.
    stereo.pause();
    stereo.updateMeters();
    EXPECT_EQ(stereo.averagePowerForChannel(0), -160.0f);
    EXPECT_EQ(stereo.peakPowerForChannel(1), -160.0f);

    // A mono song reports the same for both channels.
    AudioPlayer mono(url(song("mono.m4a", HalfScaleTone, 2.0, Aac)));
    EXPECT_EQ(mono.numberOfChannels(), 1);
    mono.setMeteringEnabled(true);
    ASSERT_TRUE(mono.play());
    ASSERT_TRUE(waitUntil([&] { return mono.currentTime() >= 0.3; }, 5000));
    mono.updateMeters();
    EXPECT_NEAR(mono.averagePowerForChannel(0), decibels(0.5), 0.5);
    EXPECT_EQ(mono.averagePowerForChannel(1), mono.averagePowerForChannel(0));
    EXPECT_EQ(mono.peakPowerForChannel(1), mono.peakPowerForChannel(0));
    EXPECT_EQ(mono.averagePowerForChannel(2), -160.0f);
}

TEST_F(AudioPlayerTest, SkipsADamagedStretchAndPlaysOn)
{
    for (const auto &codec : {Mp3, Aac}) {
        SCOPED_TRACE(codec.join(' ').toStdString());
        const QString path = song(codec == Mp3 ? "damaged.mp3" : "damaged.m4a", HalfScaleTone, 3.0, codec);
        ASSERT_TRUE(SongFixtures::damage(path, 0.45, 0.55));
        AudioPlayer player(url(path));
        ASSERT_GT(player.duration(), 2.5);
        QSignalSpy finished(&player, &AudioPlayer::finished);
        QSignalSpy errors(&player, &AudioPlayer::decodeError);
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(waitUntil([&] { return !finished.isEmpty(); }, 10000));
        EXPECT_TRUE(finished.first().first().toBool());
        EXPECT_TRUE(errors.isEmpty());
        // Most of the song was heard: only the damaged tenth or so is missing.
        EXPECT_GT(player.output()->playedUSecs(), 2300000);
        waitUntil([] { return false; }, 200);
        EXPECT_EQ(finished.size(), 1);
    }
}

TEST_F(AudioPlayerTest, GivesUpOnAFileThatKeepsFailing)
{
    const QString path = song("hopeless.m4a", HalfScaleTone, 6.0, Aac);
    ASSERT_TRUE(SongFixtures::damage(path, 0.08, 0.9));
    AudioPlayer player(url(path));
    ASSERT_GT(player.duration(), 5.0);
    QStringList events;
    QObject::connect(&player, &AudioPlayer::decodeError, [&](const QString &message) {
        EXPECT_FALSE(message.isEmpty());
        events << "error";
        // What a careless caller might do on an error: play again. It must not start over.
        EXPECT_FALSE(player.play());
    });
    QObject::connect(&player, &AudioPlayer::finished,
                     [&](bool successfully) { events << (successfully ? "finished" : "failed"); });
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([&] { return events.contains("failed"); }, 10000));
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(events, QStringList({"error", "failed"}));
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(player.play());
    // Less than the undamaged start was played: the rest was not passed off as sound.
    EXPECT_LT(player.output()->playedUSecs(), 2000000);
}

TEST_F(AudioPlayerTest, InterruptionsPauseAndResume)
{
    AudioPlayer player(url(song("interrupted.mp3", HalfScaleTone, 3.0, Mp3)));
    QSignalSpy began(&player, &AudioPlayer::interruptionBegan);
    QSignalSpy ended(&player, &AudioPlayer::interruptionEnded);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= 0.2; }, 5000));
    player.beginInterruption();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(began.size(), 1);
    const double held = player.currentTime();
    player.endInterruption();
    EXPECT_EQ(ended.size(), 1);
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= held + 0.1; }, 5000));

    // Paused before the interruption: it stays paused afterwards.
    player.pause();
    player.beginInterruption();
    player.endInterruption();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(ended.size(), 2);
}

TEST_F(AudioPlayerTest, ALostDeviceIsReportedAsARouteChange)
{
    AudioPlayer player(url(song("route.mp3", HalfScaleTone, 2.0, Mp3)));
    QSignalSpy routes(&player, &AudioPlayer::routeChanged);
    QSignalSpy finished(&player, &AudioPlayer::finished);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= 0.2; }, 5000));
    player.output()->loseDevice();
    EXPECT_TRUE(routes.isEmpty()); // from the event loop, not from inside the call
    ASSERT_TRUE(waitUntil([&] { return !routes.isEmpty(); }, 5000));
    EXPECT_EQ(routes.first().first().toInt(), AudioPlayer::OldDeviceUnavailable);

    // What the panel does: pause, and play again later; playback goes on to the end.
    player.pause();
    const double held = player.currentTime();
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([&] { return !finished.isEmpty(); }, 10000));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_GT(held, 0.2);
    EXPECT_EQ(routes.size(), 1);
}

// A tone sweeping from 200 Hz up by 400 Hz per second: its pitch tells the time,
// whatever the codec does to its level.
const QString Sweep = QStringLiteral("0.5*sin(2*PI*(200*t+200*t*t))");

// The time in the sweep at the middle of these samples, from their zero crossings.
double sweepTime(const qint16 *samples, qint64 count)
{
    int crossings = 0;
    for (qint64 i = 1; i < count; ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    const double frequency = crossings / 2.0 * 44100.0 / double(count);
    return (frequency - 200.0) / 400.0;
}

TEST(AudioDecoderTest, DecodesEverySampleAndSeeksToTheFrame)
{
    TestHome home;
    for (const auto &codec : {Mp3, Aac, Alac}) {
        SCOPED_TRACE(codec.join(' ').toStdString());
        const QString path = home.path() + "/decode." + (codec == Mp3 ? "mp3" : "m4a");
        ASSERT_TRUE(SongFixtures::encodeAudio(path, Sweep, 4.0, codec));
        AudioDecoder decoder;
        QString error;
        ASSERT_TRUE(decoder.open(path, &error)) << error.toStdString();
        EXPECT_EQ(decoder.sampleRate(), 44100);
        EXPECT_EQ(decoder.format().channelCount(), 1);
        qint64 frames = 0;
        PcmChunk chunk;
        qint64 next = 0;
        while (decoder.read(chunk, 4410) == AudioDecoder::Status::Samples) {
            EXPECT_EQ(chunk.startFrame, next);
            frames += chunk.samples.size() / 2;
            next = chunk.startFrame + chunk.samples.size() / 2;
        }
        // Every sample once (MP3 may add a little padding).
        EXPECT_NEAR(double(frames), 4.0 * 44100, 1200.0);
        EXPECT_EQ(decoder.read(chunk, 4410), AudioDecoder::Status::End);

        // After a seek the samples are those of the target: the pitch agrees within 50 ms.
        constexpr qint64 Window = 4096;
        for (const qint64 target : {qint64(100000), qint64(12345), qint64(0), qint64(150000)}) {
            decoder.seek(target);
            ASSERT_EQ(decoder.read(chunk, Window), AudioDecoder::Status::Samples);
            EXPECT_EQ(chunk.startFrame, target);
            ASSERT_GE(chunk.samples.size() / 2, Window);
            const double heard = sweepTime(reinterpret_cast<const qint16 *>(chunk.samples.constData()), Window);
            EXPECT_NEAR(heard, double(target + Window / 2) / 44100.0, 0.05) << "seek to " << target;
        }
    }
}

TEST(AudioDecodeThreadTest, DecodesABoundedStretchAhead)
{
    TestHome home;
    const QString path = home.path() + "/long.mp3";
    ASSERT_TRUE(SongFixtures::encodeAudio(path, HalfScaleTone, 60.0, Mp3));
    auto decoder = std::make_unique<AudioDecoder>();
    ASSERT_TRUE(decoder->open(path));
    const qint64 capacity = 44100; // one second
    AudioDecodeThread thread(std::move(decoder), capacity, [] {});
    ASSERT_TRUE(waitUntil([&] { return thread.queuedFrames() >= capacity; }, 5000));
    waitUntil([] { return false; }, 200);
    // Full: at most one piece (a tenth of a second) beyond the bound, and it stays there.
    EXPECT_LE(thread.queuedFrames(), capacity + 4410);
    const qint64 full = thread.queuedFrames();
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(thread.queuedFrames(), full);

    // Taking a little does not wake it; taking half does, and it fills up again.
    ASSERT_TRUE(thread.take());
    waitUntil([] { return false; }, 100);
    EXPECT_LT(thread.queuedFrames(), full);
    while (thread.queuedFrames() > capacity / 2)
        ASSERT_TRUE(thread.take());
    ASSERT_TRUE(waitUntil([&] { return thread.queuedFrames() >= capacity; }, 5000));
    EXPECT_LE(thread.queuedFrames(), capacity + 4410);

    // A seek drops what was queued; the first piece after it starts at the target.
    thread.seek(44100 * 30);
    std::optional<AudioDecodeThread::Item> item;
    ASSERT_TRUE(waitUntil([&] { return (item = thread.take()).has_value(); }, 5000));
    EXPECT_EQ(item->kind, AudioDecodeThread::Item::Kind::Samples);
    EXPECT_EQ(item->chunk.startFrame, 44100 * 30);
}

} // namespace
