#include "TestHome.h"

#include "platform/AudioOutput.h"
#include "platform/Bundle.h"
#include "platform/SoundPlayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QAudioFormat cdFormat()
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

TEST(AudioOutputTest, TheNullOutputPlaysInRealTime)
{
    qputenv("ORBO_AUDIO_OUTPUT", "null");
    AudioOutput output(cdFormat());
    output.start();
    EXPECT_TRUE(output.isNull());
    bool drained = false;
    QObject::connect(&output, &AudioOutput::drained, [&] { drained = true; });
    QElapsedTimer clock;
    clock.start();
    output.write(QByteArray(cdFormat().bytesForDuration(200000), '\0'));
    EXPECT_TRUE(output.isPlaying());
    ASSERT_TRUE(waitUntil([&] { return drained; }, 3000));
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 180);
    EXPECT_LT(took, 1500);
    EXPECT_FALSE(output.isPlaying());
    EXPECT_NEAR(output.playedUSecs(), 200000, 1000);

    // Clearing drops what is left; the played time does not jump.
    output.write(QByteArray(cdFormat().bytesForDuration(1000000), '\0'));
    ASSERT_TRUE(waitUntil([&] { return output.playedUSecs() > 250000; }, 3000));
    output.clear();
    EXPECT_FALSE(output.isPlaying());
    const qint64 played = output.playedUSecs();
    EXPECT_GT(played, 250000);
    EXPECT_LT(played, 1000000);
    qunsetenv("ORBO_AUDIO_OUTPUT");
}

QByteArray wavHeader(quint16 encoding, quint16 channels, quint16 bits, quint32 dataSize)
{
    QByteArray file("RIFF");
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        file.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        file.append(b, 2);
    };
    u32(36 + dataSize);
    file.append("WAVEfmt ");
    u32(16);
    u16(encoding);
    u16(channels);
    u32(22050);
    u32(22050 * channels * bits / 8);
    u16(channels * bits / 8);
    u16(bits);
    file.append("data");
    u32(dataSize);
    return file;
}

TEST(SoundPlayerTest, ReadsPcmWavesAndRefusesEverythingElse)
{
    QString error;
    auto good = SoundPlayer::decodeWav(wavHeader(1, 1, 16, 8) + QByteArray(8, '\1'), &error);
    ASSERT_TRUE(good) << error.toStdString();
    EXPECT_EQ(good->format.sampleRate(), 22050);
    EXPECT_EQ(good->samples.size(), 8);
    EXPECT_FALSE(SoundPlayer::decodeWav("RIFF", &error));
    EXPECT_FALSE(SoundPlayer::decodeWav(wavHeader(3, 1, 32, 8) + QByteArray(8, '\0'), &error)); // float
    EXPECT_FALSE(SoundPlayer::decodeWav(wavHeader(1, 1, 8, 8) + QByteArray(8, '\0'), &error)); // 8-bit
    EXPECT_FALSE(SoundPlayer::decodeWav(wavHeader(1, 1, 16, 800) + QByteArray(8, '\0'), &error)); // truncated
    EXPECT_FALSE(SoundPlayer::decodeWav(wavHeader(1, 1, 16, 0), &error));
    EXPECT_FALSE(SoundPlayer::fromFile("/nonexistent.wav", &error));

    // The shipped beeps are short and play through the null output without failing.
    for (const char *name : {"Orbo_Melody_Play-01", "Orbo_Melody_FF-02", "Orbo_Melody_REW-02"}) {
        auto player = SoundPlayer::fromFile(Bundle::pathForResource(name, "wav"), &error);
        ASSERT_TRUE(player) << name << ": " << error.toStdString();
        EXPECT_GT(player->duration(), 0.1);
        EXPECT_LT(player->duration(), 0.4);
    }
}

} // namespace
