#include "TestHome.h"
#include "support/NullSinkServer.h"
#include "support/SongFixtures.h"

#include "platform/AudioOutput.h"
#include "platform/AudioPlayer.h"
#include "platform/Bundle.h"
#include "platform/SoundPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// One server for the whole process: Qt connects to the sound server once.
NullSinkServer &server()
{
    static NullSinkServer instance;
    return instance;
}

// Points this process at the test's server, before the first look at the devices.
bool useTestServer()
{
    if (server().address().isEmpty())
        return false;
    qputenv("PULSE_SERVER", server().address().toUtf8());
    qunsetenv("ORBO_AUDIO_OUTPUT");
    return true;
}

TEST(AudioDevice, SamplesAndBeepsGoThroughARealOutput)
{
    if (!useTestServer())
        GTEST_SKIP() << "pulseaudio is not installed (Debian package pulseaudio): no sound server to play into";
    ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty());

    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    AudioOutput output(format);
    output.start();
    EXPECT_FALSE(output.isNull());
    bool drained = false;
    QObject::connect(&output, &AudioOutput::drained, [&] { drained = true; });
    output.write(QByteArray(format.bytesForDuration(300000), '\0'));
    ASSERT_TRUE(waitUntil([&] { return drained; }, 5000));
    EXPECT_GE(output.playedUSecs(), 250000);

    auto beep = SoundPlayer::fromFile(Bundle::pathForResource("Orbo_Melody_FF-02", "wav"));
    ASSERT_TRUE(beep);
    beep->prepareToPlay();
    EXPECT_FALSE(beep->hasOpenStream()) << "an idle beep holds no stream";
    beep->play();
    EXPECT_FALSE(beep->usesNullOutput());
    EXPECT_TRUE(beep->isPlaying());
    EXPECT_TRUE(beep->hasOpenStream());
    ASSERT_TRUE(waitUntil([&] { return !beep->isPlaying(); }, 5000));
    EXPECT_FALSE(beep->hasOpenStream()) << "the stream closes when the beep is over";
}

// What reaches the null sink, recorded from its monitor: the independent witness of
// what was played.
class MonitorRecording
{
public:
    explicit MonitorRecording(const NullSinkServer &sinkServer)
    {
        m_parec.setProcessEnvironment(sinkServer.clientEnvironment());
        m_parec.start("parec",
                      {"-d", "orbo_test.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                       "--latency-msec=20"});
        m_started = m_parec.waitForStarted(5000);
    }
    ~MonitorRecording()
    {
        m_parec.kill();
        m_parec.waitForFinished(5000);
    }
    bool started() const { return m_started; }

    // Samples recorded so far (both channels interleaved).
    qint64 size()
    {
        m_bytes += m_parec.readAllStandardOutput();
        return m_bytes.size() / 2;
    }
    // The largest sample from `from` on, as a fraction of full scale.
    double peakFrom(qint64 from)
    {
        size();
        const auto *samples = reinterpret_cast<const qint16 *>(m_bytes.constData());
        int peak = 0;
        for (qint64 i = std::max<qint64>(from, 0); i < m_bytes.size() / 2; ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        return peak / 32768.0;
    }
    // Trailing samples (of both channels) that are silent.
    qint64 silentTail()
    {
        size();
        const auto *samples = reinterpret_cast<const qint16 *>(m_bytes.constData());
        qint64 count = 0;
        for (qint64 i = m_bytes.size() / 2 - 1; i >= 0 && std::abs(int(samples[i])) < 16; --i)
            ++count;
        return count;
    }

private:
    QProcess m_parec;
    QByteArray m_bytes;
    bool m_started = false;
};

TEST(AudioDevice, ThePlayerPlaysMetersPausesAndSeeksThroughARealOutput)
{
    if (!useTestServer())
        GTEST_SKIP() << "pulseaudio is not installed (Debian package pulseaudio): no sound server to play into";
    if (QStandardPaths::findExecutable("parec").isEmpty() || QStandardPaths::findExecutable("pactl").isEmpty())
        GTEST_SKIP() << "parec and pactl are missing (Debian package pulseaudio-utils)";
    TestHome home;
    const QString tone = home.path() + "/tone.m4a";
    ASSERT_TRUE(SongFixtures::encodeAudio(tone, "0.5*sin(2*PI*1000*t)|0.5*sin(2*PI*1000*t)", 6.0,
                                          {"-c:a", "aac", "-b:a", "192k"}));
    MonitorRecording recording(server());
    ASSERT_TRUE(recording.started());

    AudioPlayer player(QUrl::fromLocalFile(tone));
    ASSERT_GT(player.duration(), 5.9);
    player.setMeteringEnabled(true);
    ASSERT_TRUE(player.play());
    EXPECT_FALSE(player.output()->isNull());
    ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= 0.5; }, 5000));

    // The tone at -6 dBFS: so say the meters, and so says what reached the sink.
    player.updateMeters();
    EXPECT_NEAR(player.averagePowerForChannel(0), -6.0, 1.0);
    EXPECT_NEAR(player.peakPowerForChannel(1), -6.0, 1.0);
    ASSERT_TRUE(waitUntil([&] { return recording.peakFrom(0) > 0.25; }, 5000));
    EXPECT_NEAR(20 * std::log10(recording.peakFrom(0)), -6.0, 1.0);

    // Pause stops the samples: the server holds the stream, the monitor falls silent and
    // stays silent, the clock stands.
    player.pause();
    const double held = player.currentTime();
    EXPECT_TRUE(server().run("pactl", {"list", "sink-inputs"}).value_or("").contains("Corked: yes"));
    ASSERT_TRUE(waitUntil([&] { return recording.silentTail() >= 2 * 44100 / 5; }, 5000));
    const qint64 pausedAt = recording.size();
    waitUntil([] { return false; }, 300);
    EXPECT_LT(recording.peakFrom(pausedAt), 0.001);
    EXPECT_EQ(player.currentTime(), held);
    player.updateMeters();
    EXPECT_EQ(player.averagePowerForChannel(0), -160.0f);

    // Playing again, the tone comes back.
    const qint64 resumedAt = recording.size();
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([&] { return recording.peakFrom(resumedAt) > 0.25; }, 5000));
    EXPECT_GE(player.currentTime(), held);

    // A seek lands on its sample: the ramp's level at the play head tells the time.
    const QString ramp = home.path() + "/ramp.m4a";
    ASSERT_TRUE(SongFixtures::encodeAudio(ramp, "(t/4)*sin(2*PI*1000*t)", 4.0, {"-c:a", "aac", "-b:a", "192k"}));
    AudioPlayer rising(QUrl::fromLocalFile(ramp));
    rising.setMeteringEnabled(true);
    player.pause();
    ASSERT_TRUE(rising.play());
    rising.setCurrentTime(2.0);
    EXPECT_NEAR(rising.currentTime(), 2.0, 0.1);
    ASSERT_TRUE(waitUntil([&] { return rising.currentTime() >= 2.3; }, 5000));
    rising.updateMeters();
    const double heard = 4.0 * std::pow(10.0, rising.averagePowerForChannel(0) / 20.0) + 0.025;
    EXPECT_NEAR(heard, rising.currentTime(), 0.1);
    EXPECT_LT(rising.currentTime(), 3.0);
}

TEST(AudioDevice, AnUnpluggedOutputIsARouteChangeAndPlayingGoesOnThroughTheDefault)
{
    if (!useTestServer())
        GTEST_SKIP() << "pulseaudio is not installed (Debian package pulseaudio): no sound server to play into";
    if (QStandardPaths::findExecutable("pactl").isEmpty())
        GTEST_SKIP() << "pactl is missing (Debian package pulseaudio-utils)";
    TestHome home;
    const QString tone = home.path() + "/tone.mp3";
    ASSERT_TRUE(SongFixtures::encodeAudio(tone, "0.5*sin(2*PI*1000*t)", 8.0, {"-c:a", "libmp3lame", "-b:a", "128k"}));
    // A second output, which becomes the default when the first goes.
    const QString spare =
        server().run("pactl", {"load-module", "module-null-sink", "sink_name=orbo_spare"}).value_or("").trimmed();
    ASSERT_FALSE(spare.isEmpty());
    ASSERT_TRUE(server().run("pactl", {"set-default-sink", "orbo_test"}));
    ASSERT_TRUE(waitUntil([] { return QMediaDevices::audioOutputs().size() >= 2; }, 5000));

    AudioPlayer player(QUrl::fromLocalFile(tone));
    QSignalSpy routes(&player, &AudioPlayer::routeChanged);
    ASSERT_TRUE(player.play());
    ASSERT_FALSE(player.output()->isNull());
    ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= 0.3; }, 5000));

    // Unplug the output in use.
    const QString modules = server().run("pactl", {"list", "short", "modules"}).value_or("");
    const QRegularExpressionMatch first =
        QRegularExpression("^(\\d+)\\s+module-null-sink\\s+sink_name=orbo_test", QRegularExpression::MultilineOption)
            .match(modules);
    ASSERT_TRUE(first.hasMatch()) << modules.toStdString();
    ASSERT_TRUE(server().run("pactl", {"unload-module", first.captured(1)}));
    ASSERT_TRUE(waitUntil([&] { return !routes.isEmpty(); }, 5000));
    EXPECT_EQ(routes.first().first().toInt(), AudioPlayer::OldDeviceUnavailable);

    // As the panel does: pause, then play again, through the default device that is left.
    player.pause();
    const double held = player.currentTime();
    ASSERT_TRUE(player.play());
    EXPECT_FALSE(player.output()->isNull());
    ASSERT_TRUE(waitUntil([&] { return player.currentTime() >= held + 0.3; }, 5000));
    EXPECT_TRUE(server().run("pactl", {"list", "sink-inputs"}).value_or("").contains("Corked: no"));
    server().run("pactl", {"unload-module", spare});
}

} // namespace
