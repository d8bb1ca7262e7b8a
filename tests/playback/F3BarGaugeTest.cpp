#include "playback/F3BarGauge.h"

#include <QCoreApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

namespace {

using Indexes = F3BarGauge::Indexes;

TEST(F3BarGauge, LitRangeAndZonesFromTheValue)
{
    F3BarGauge gauge(QRect(0, 0, 20, 100));
    // Defaults: 10 bars, warning from 0.6, danger from 0.8.
    EXPECT_EQ(gauge.numBars(), 10);
    EXPECT_EQ(gauge.indexes().warning, 6);
    EXPECT_EQ(gauge.indexes().danger, 8);
    EXPECT_TRUE(gauge.litEffect());
    EXPECT_EQ(gauge.peakValue(), -std::numeric_limits<float>::infinity());

    struct Case
    {
        int bars;
        float value;
        int on, off;
    };
    for (const Case &c : {Case{10, 0.0f, 0, 0}, Case{10, -0.05f, 10, 0}, Case{10, 0.55f, 0, 5}, Case{13, 1.0f, 0, 13},
                          Case{13, 0.99f, 0, 12}, Case{13, 0.5f, 0, 6}, Case{13, 0.1f, 0, 1}, Case{13, 1.8f, 0, 13}}) {
        gauge.setNumBars(c.bars);
        gauge.setValue(c.value);
        EXPECT_EQ(gauge.indexes().on, c.on) << c.bars << " bars at " << c.value;
        EXPECT_EQ(gauge.indexes().off, c.off) << c.bars << " bars at " << c.value;
    }

    // More bars move the zone starts and recompute the lit range.
    gauge.setNumBars(10);
    gauge.setValue(0.5f);
    gauge.setNumBars(20);
    EXPECT_EQ(gauge.indexes().warning, 12);
    EXPECT_EQ(gauge.indexes().danger, 16);
    EXPECT_EQ(gauge.indexes().off, 10);
    // A threshold of 0 or less disables its zone.
    gauge.setWarnThreshold(0.0f);
    gauge.setDangerThreshold(-0.3f);
    EXPECT_EQ(gauge.indexes().warning, -1);
    EXPECT_EQ(gauge.indexes().danger, -1);
    EXPECT_FLOAT_EQ(gauge.warnThreshold(), 0.0f);
    EXPECT_FLOAT_EQ(gauge.dangerThreshold(), -0.3f);
}

TEST(F3BarGauge, HeldPeakStaysUntilReset)
{
    F3BarGauge gauge(QRect(0, 0, 20, 100));
    gauge.setHoldPeak(true);
    gauge.setValue(0.9f);
    gauge.setValue(0.2f);
    EXPECT_EQ(gauge.indexes().off, 2);
    EXPECT_EQ(gauge.indexes().peak, 9);
    EXPECT_FLOAT_EQ(gauge.peakValue(), 0.9f);
    // Above the maximum the peak sits on the last bar.
    gauge.setValue(3.0f);
    EXPECT_EQ(gauge.indexes().peak, 9);
    gauge.resetPeak();
    EXPECT_EQ(gauge.indexes().peak, -1);
    EXPECT_EQ(gauge.peakValue(), -std::numeric_limits<float>::infinity());
}

TEST(F3BarGauge, ReadingsThatAreNotNumbersOrUnboundedStayInRange)
{
    F3BarGauge gauge(QRect(0, 0, 20, 100));
    gauge.setNumBars(13);
    gauge.setHoldPeak(true);
    struct Case
    {
        float value;
        int off;
    };
    const float inf = std::numeric_limits<float>::infinity();
    for (const Case &c : {Case{std::nanf(""), 0}, Case{inf, 13}, Case{-inf, -1}, Case{1e30f, 13}, Case{-1e30f, -1},
                          Case{std::numeric_limits<float>::max(), 13}}) {
        gauge.setValue(c.value);
        const Indexes at = gauge.indexes();
        EXPECT_EQ(at.off, c.off) << c.value;
        EXPECT_GE(at.peak, -1) << c.value;
        EXPECT_LE(at.peak, 12) << c.value;
        EXPECT_TRUE(std::isfinite(gauge.value())) << c.value;
    }
    EXPECT_EQ(gauge.indexes().on, 0);
    EXPECT_TRUE(std::isfinite(gauge.peakValue()));
    // An empty range (min = max) lights all or nothing; a count of 0 bars is one bar.
    gauge.setMinLimit(0.5f);
    gauge.setMaxLimit(0.5f);
    gauge.setValue(0.7f);
    EXPECT_EQ(gauge.indexes().off, 13);
    gauge.setValue(0.2f);
    EXPECT_EQ(gauge.indexes().off, 0);
    gauge.setNumBars(0);
    EXPECT_EQ(gauge.numBars(), 1);
    EXPECT_FALSE(gauge.grab().isNull());
}

TEST(F3BarGauge, RedrawsOnlyWhenTheLitRangeChanges)
{
    F3BarGauge gauge(QRect(0, 0, 20, 100));
    const int before = gauge.redrawRequests();
    for (float v : {0.51f, 0.52f, 0.55f, 0.59f})
        gauge.setValue(v);
    EXPECT_EQ(gauge.redrawRequests(), before + 1);
    gauge.setValue(0.61f);
    EXPECT_EQ(gauge.redrawRequests(), before + 2);
    gauge.setValue(0.61f);
    EXPECT_EQ(gauge.redrawRequests(), before + 2);
}

// The colour at the centre of bar i of a 20 x 100 column (10 bars of 10 points), or of a
// 100 x 20 row.
QColor barColour(const QImage &image, int i, bool column, bool reverse)
{
    const int offset = i * 10 + 5;
    if (column)
        return image.pixelColor(10, reverse ? offset : 99 - offset);
    return image.pixelColor(reverse ? 99 - offset : offset, 10);
}

TEST(F3BarGauge, DrawsZonesLitAndUnlitBarsInEveryDirection)
{
    const QColor green(0, 200, 0), yellow(220, 220, 0), red(230, 0, 0);
    for (bool column : {true, false})
        for (bool reverse : {false, true}) {
            SCOPED_TRACE(std::string(column ? "column" : "row") + (reverse ? " reversed" : ""));
            F3BarGauge gauge(column ? QRect(0, 0, 20, 100) : QRect(0, 0, 100, 20));
            gauge.setLitEffect(false);
            gauge.setReverse(reverse);
            gauge.setNormalBarColor(green);
            gauge.setWarningBarColor(yellow);
            gauge.setDangerBarColor(red);
            gauge.setBackgroundColor(Qt::black);
            gauge.setValue(0.65f);
            const QImage image = gauge.grab().toImage();
            ASSERT_EQ(image.size(), column ? QSize(20, 100) : QSize(100, 20));
            for (int i : {0, 5})
                EXPECT_EQ(barColour(image, i, column, reverse), green) << i;
            // Unlit: the zone colour at a fifth over the background.
            const auto faint = [](const QColor &c) { return QColor(c.red() / 5, c.green() / 5, c.blue() / 5); };
            const auto near = [](const QColor &a, const QColor &b) {
                return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2
                    && std::abs(a.blue() - b.blue()) <= 2;
            };
            EXPECT_TRUE(near(barColour(image, 6, column, reverse), faint(yellow)))
                << barColour(image, 6, column, reverse).name().toStdString();
            EXPECT_TRUE(near(barColour(image, 9, column, reverse), faint(red)));
            EXPECT_TRUE(near(barColour(image, 3, column, reverse), green));
        }
}

TEST(F3BarGauge, TheLitEffectGlowsFromTheCentre)
{
    F3BarGauge gauge(QRect(0, 0, 100, 20));
    gauge.setNumBars(2);
    gauge.setNormalBarColor(QColor(200, 200, 200));
    gauge.setValue(1.0f);
    const QImage image = gauge.grab().toImage();
    const QColor centre = image.pixelColor(25, 10);
    const QColor edge = image.pixelColor(3, 3);
    EXPECT_GE(centre.red(), 180);
    EXPECT_LT(edge.red(), centre.red());
    EXPECT_GE(edge.red(), 200 - 80) << "no darker than the 0.3 step";
}

TEST(F3BarGauge, ValuesFromAnotherThreadWhileItPaints)
{
    F3BarGauge gauge(QRect(0, 0, 20, 100));
    gauge.setNumBars(13);
    gauge.setHoldPeak(true);
    std::atomic<bool> done{false};
    std::atomic<int> paints{0};
    std::thread meter([&] {
        // The values start once a paint has begun, however the two threads are scheduled.
        while (paints == 0)
            std::this_thread::yield();
        const float values[] = {0.1f, 0.9f, std::nanf(""), 0.5f, 2.0f, -1.0f, 0.33f};
        for (int i = 0; i < 20000; ++i)
            gauge.setValue(values[i % 7]);
        gauge.setValue(0.5f);
        done = true;
    });
    do {
        ++paints;
        gauge.grab();
    } while (!done);
    meter.join();
    // The redraws asked for from the thread arrive on this one.
    QCoreApplication::processEvents();
    EXPECT_GT(paints.load(), 0);
    EXPECT_EQ(gauge.indexes().off, 6);
    EXPECT_EQ(gauge.indexes().peak, 12);
}

} // namespace
