#include "TestHome.h"

#include "platform/AudioOutput.h"
#include "platform/Bundle.h"
#include "platform/SoundPlayer.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A PulseAudio server of the test's own with one null sink, on a socket in a temporary
// folder; stopped at the end. Only this process is pointed at it.
class NullSinkServer
{
public:
    NullSinkServer()
    {
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (pulseaudio.isEmpty() || !m_dir.isValid())
            return;
        const QString socket = m_dir.filePath("native");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", m_dir.path());
        env.insert("HOME", m_dir.path());
        env.insert("PULSE_RUNTIME_PATH", m_dir.filePath("pulse"));
        m_server.setProcessEnvironment(env);
        m_server.start(pulseaudio,
                       {"--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                        "--load=module-null-sink sink_name=orbo_test",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket, "--log-target=stderr"});
        if (!m_server.waitForStarted(5000))
            return;
        if (waitUntil([&] { return QFileInfo::exists(socket); }, 5000))
            m_address = "unix:" + socket;
    }
    ~NullSinkServer()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_address;
};

TEST(AudioDevice, SamplesAndBeepsGoThroughARealOutput)
{
    NullSinkServer server;
    if (server.address().isEmpty())
        GTEST_SKIP() << "pulseaudio is not installed (Debian package pulseaudio): no sound server to play into";
    // Before the first look at the devices, which connects to the server.
    qputenv("PULSE_SERVER", server.address().toUtf8());
    qunsetenv("ORBO_AUDIO_OUTPUT");
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
    qunsetenv("PULSE_SERVER");
}

} // namespace
