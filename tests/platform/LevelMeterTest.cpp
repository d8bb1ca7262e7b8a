#include "platform/LevelMeter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

constexpr int Rate = 44100;

// Interleaved stereo: a 1 kHz sine of the given amplitudes (fractions of full scale).
std::vector<qint16> tone(double seconds, double left, double right)
{
    std::vector<qint16> samples;
    const auto frames = qint64(seconds * Rate);
    for (qint64 i = 0; i < frames; ++i) {
        const double wave = std::sin(2 * M_PI * 1000.0 * double(i) / Rate);
        samples.push_back(qint16(std::lround(32767 * left * wave)));
        samples.push_back(qint16(std::lround(32767 * right * wave)));
    }
    return samples;
}

TEST(LevelMeterTest, MeasuresAtThePlayHeadNotAtTheLastSampleAppended)
{
    LevelMeter meter(Rate, 2);
    const std::vector<qint16> silence(size_t(Rate), 0); // half a second of stereo
    const std::vector<qint16> loud = tone(0.5, 0.5, 0.25);
    meter.append(silence.data(), Rate / 2);
    meter.append(loud.data(), Rate / 2);
    ASSERT_EQ(meter.appendedFrames(), Rate);

    meter.setPlayhead(Rate / 4, true);
    meter.update();
    EXPECT_EQ(meter.averagePower(0), LevelMeter::SilenceDb);
    EXPECT_EQ(meter.peakPower(1), LevelMeter::SilenceDb);

    meter.setPlayhead(Rate * 3 / 4, true);
    meter.update();
    // A sine reads its peak level on both readings: -6 dB and -12 dB.
    EXPECT_NEAR(meter.peakPower(0), -6.02, 0.05);
    EXPECT_NEAR(meter.averagePower(0), -6.02, 0.05);
    EXPECT_NEAR(meter.peakPower(1), -12.04, 0.05);
    EXPECT_NEAR(meter.averagePower(1), -12.04, 0.05);

    // Paused: nothing leaves the output.
    meter.setPlayhead(Rate * 3 / 4, false);
    meter.update();
    EXPECT_EQ(meter.averagePower(0), LevelMeter::SilenceDb);

    // A play head beyond what was appended reads the newest samples; a restart forgets them.
    meter.setPlayhead(Rate * 10, true);
    meter.update();
    EXPECT_NEAR(meter.peakPower(0), -6.02, 0.05);
    meter.restart();
    meter.setPlayhead(100, true);
    meter.update();
    EXPECT_EQ(meter.peakPower(0), LevelMeter::SilenceDb);
    EXPECT_EQ(meter.appendedFrames(), 0);
}

TEST(LevelMeterTest, FullScaleMonoAndChannelsOutOfRange)
{
    LevelMeter meter(Rate, 1);
    std::vector<qint16> square;
    for (int i = 0; i < Rate / 10; ++i)
        square.push_back((i / 22) % 2 ? 32767 : -32768);
    meter.append(square.data(), qint64(square.size()));
    meter.setPlayhead(qint64(square.size()), true);
    meter.update();
    // A full-scale square has more power than any sine: capped at 0 dB.
    EXPECT_EQ(meter.peakPower(0), 0.0f);
    EXPECT_EQ(meter.averagePower(0), 0.0f);
    EXPECT_EQ(meter.peakPower(1), meter.peakPower(0));
    EXPECT_EQ(meter.averagePower(-1), LevelMeter::SilenceDb);
    EXPECT_EQ(meter.averagePower(2), LevelMeter::SilenceDb);
}

TEST(LevelMeterTest, HistoryIsBoundedAndWrapsAround)
{
    LevelMeter meter(Rate, 2, /*historySeconds=*/0.5);
    const std::vector<qint16> quiet = tone(0.4, 0.1, 0.1);
    const std::vector<qint16> loud = tone(0.4, 0.8, 0.8);
    meter.append(quiet.data(), qint64(quiet.size() / 2));
    meter.append(loud.data(), qint64(loud.size() / 2)); // wraps past the half second kept
    meter.setPlayhead(qint64(0.8 * Rate), true);
    meter.update();
    EXPECT_NEAR(meter.peakPower(0), 20 * std::log10(0.8), 0.05);
    // Only what is still kept is measured, never the overwritten places of older frames.
    meter.setPlayhead(qint64(0.35 * Rate), true);
    meter.update();
    EXPECT_NEAR(meter.peakPower(0), -20, 0.05);
    meter.setPlayhead(qint64(0.2 * Rate), true);
    meter.update();
    EXPECT_EQ(meter.peakPower(0), LevelMeter::SilenceDb);
}

// Readings from a meter thread while the player's thread appends and moves the head:
// nothing tears (each reading is one of the two levels played).
TEST(LevelMeterTest, ReadsFromAnotherThreadWhileSamplesArrive)
{
    LevelMeter meter(Rate, 2);
    const std::vector<qint16> a = tone(0.1, 0.5, 0.5);
    std::atomic<bool> done{false};
    std::atomic<int> odd{0};
    std::thread reader([&] {
        while (!done) {
            meter.update();
            const float level = meter.peakPower(0);
            if (level != LevelMeter::SilenceDb && std::abs(level + 6.02f) > 0.1f)
                ++odd;
        }
    });
    for (int round = 0; round < 200; ++round) {
        meter.append(a.data(), qint64(a.size() / 2));
        meter.setPlayhead(meter.appendedFrames(), true);
        if (round % 50 == 0)
            meter.restart();
    }
    done = true;
    reader.join();
    EXPECT_EQ(odd.load(), 0);
}

} // namespace
