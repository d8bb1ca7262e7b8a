#include "TestHome.h"

#include "playback/PlayerMiniAniView.h"
#include "playback/ScrollLabel.h"

#include <QFontMetrics>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(ScrollLabel, APassTakesTenSecondsOrLongerForALongerText)
{
    QWidget window;
    window.resize(320, 40);
    ScrollLabel label(QRect(0, 0, 200, 20), &window);
    label.setText("Song");
    const int t = label.textWidth();
    ASSERT_LT(t, 200);
    label.startScroll();
    EXPECT_EQ(label.scrollDurationMs(), 10000);
    EXPECT_EQ(label.scrollLabel()->geometry(), QRect(200, 0, 200, 20)) << "starts just beyond the right edge";
    EXPECT_EQ(label.offsetAt(0), 200);
    EXPECT_EQ(label.offsetAt(5000), 200 - (200 + t) / 2);
    EXPECT_NEAR(label.offsetAt(9999), -t, 1) << "ends just beyond the left edge";
    EXPECT_EQ(label.offsetAt(10000), 200) << "and starts again at once";

    // An empty text still runs its ten seconds.
    label.setText("");
    label.startScroll();
    EXPECT_EQ(label.scrollDurationMs(), 10000);

    // A text exactly as wide as the label fits.
    label.setText("A song title that is long");
    label.resize(label.textWidth(), 20);
    label.startScroll();
    EXPECT_EQ(label.scrollDurationMs(), 10000);

    // Three times the width: 30 s per pass, at (W + 3W) / 30 s = 2W/15 points a second.
    label.setText("A much longer song title that runs on and on");
    const int longText = label.textWidth();
    label.resize(longText / 3, 20);
    label.startScroll();
    const int w = label.width();
    EXPECT_NEAR(label.scrollDurationMs(), 30000, 30000.0 / w + 1);
    EXPECT_EQ(label.scrollLabel()->width(), longText);
    const double speed = double(label.offsetAt(0) - label.offsetAt(6000)) / 6.0;
    EXPECT_NEAR(speed, 2.0 * w / 15.0, 1.0);
}

TEST(ScrollLabel, MovesOnlyWhileShownAndScrolling)
{
    QWidget window;
    window.resize(320, 40);
    ScrollLabel label(QRect(10, 10, 120, 20), &window);
    label.setText("Moving along");
    label.startScroll();
    EXPECT_TRUE(label.isScrolling());
    window.show();
    const int start = label.scrollLabel()->x();
    ASSERT_TRUE(waitUntil([&] { return label.scrollLabel()->x() < start; }, 3000)) << "the copy moves left";
    window.hide();
    const int held = label.scrollLabel()->x();
    waitUntil([] { return false; }, 150);
    EXPECT_EQ(label.scrollLabel()->x(), held) << "a hidden label has no timer";
    label.stopScroll();
    EXPECT_FALSE(label.isScrolling());
    EXPECT_EQ(label.scrollLabel()->x(), 0) << "held still where it can be read";
    window.show();
    waitUntil([] { return false; }, 150);
    EXPECT_EQ(label.scrollLabel()->x(), 0);
}

TEST(PlayerMiniAniView, CyclesThreePicturesWhileShown)
{
    QWidget window;
    window.resize(40, 40);
    PlayerMiniAniView sign(&window);
    EXPECT_EQ(sign.size(), QSize(10, 9));
    EXPECT_EQ(sign.frameCount(), 3);
    EXPECT_FALSE(sign.image().isNull());
    EXPECT_FALSE(sign.isAnimating());
    window.show();
    EXPECT_TRUE(sign.isAnimating());
    EXPECT_EQ(sign.currentFrame(), 0);
    ASSERT_TRUE(waitUntil([&] { return sign.currentFrame() == 2; }, 3000));
    sign.hide();
    EXPECT_FALSE(sign.isAnimating());
    sign.show();
    EXPECT_EQ(sign.currentFrame(), 0) << "each showing starts from the first picture";
}

} // namespace
