#include "TestHome.h"

#include "playback/LevelMeterLoop.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

TEST(LevelMeterLoop, ANewLoopEndsTheOldOneFirst)
{
    LevelMeterLoop loop(1);
    std::atomic<int> first{0}, second{0};
    loop.start([&] {
        ++first;
        return true;
    });
    ASSERT_TRUE(waitUntil([&] { return first > 3; }, 3000));
    loop.start([&] {
        ++second;
        return true;
    });
    // From here on the first loop never takes another pass: it was ended before this one began.
    const int frozen = first;
    EXPECT_EQ(LevelMeterLoop::liveLoops(), 1);
    ASSERT_TRUE(waitUntil([&] { return second > 20; }, 3000));
    EXPECT_EQ(first, frozen);
    loop.stop();
    EXPECT_EQ(LevelMeterLoop::liveLoops(), 0);
    EXPECT_FALSE(loop.isRunning());
}

TEST(LevelMeterLoop, ALoopWithNothingPlayingSleepsUntilWokenAndStillStops)
{
    LevelMeterLoop loop(1);
    std::atomic<int> passes{0};
    std::atomic<bool> playing{false};
    loop.start([&] {
        ++passes;
        return playing.load();
    });
    ASSERT_TRUE(waitUntil([&] { return passes == 1; }, 3000));
    // Nothing plays: no further passes until woken.
    QThread::msleep(30);
    EXPECT_EQ(passes, 1);
    playing = true;
    loop.wake();
    ASSERT_TRUE(waitUntil([&] { return passes > 5; }, 3000));
    playing = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            const int seen = passes;
            QThread::msleep(10);
            return passes == seen;
        },
        3000));
    // A sleeping loop ends at once when stopped (stop waits for it).
    loop.stop();
    EXPECT_EQ(LevelMeterLoop::liveLoops(), 0);
    loop.stop();
}

} // namespace
