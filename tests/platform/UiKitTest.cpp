#include "platform/ActionSheet.h"
#include "support/ShellFakes.h"

#include "platform/AlertView.h"
#include "platform/Bundle.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/RemoteControl.h"
#include "platform/ViewAnimation.h"
#include "platform/ViewController.h"
#include "platform/Window.h"

#include <QAbstractAnimation>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(UiKitWindow, AddingAndRemovingRunsTheLifecycleAndKeepsZOrder)
{
    Window window;
    window.makeKeyAndVisible();
    EXPECT_EQ(window.size(), QSize(320, 480));
    QStringList journal;
    RecordingScreen a("a", &journal), b("b", &journal);
    View plain(QRect(0, 0, 10, 10));

    window.addSubview(a.view());
    window.addSubview(&plain);
    window.addSubview(b.view());
    EXPECT_EQ(window.subviews(), QList<QWidget *>({a.view(), &plain, b.view()}));
    // Adding again only brings it to the front: no second appearance.
    window.addSubview(a.view());
    EXPECT_EQ(window.subviews(), QList<QWidget *>({&plain, b.view(), a.view()}));
    window.insertSubviewBelow(&plain, a.view());
    EXPECT_EQ(window.subviews(), QList<QWidget *>({b.view(), &plain, a.view()}));
    View::removeFromSuperview(a.view());
    EXPECT_FALSE(a.isOnScreen());
    EXPECT_EQ(journal,
              QStringList(
                  {"a.willAppear", "a.didAppear", "b.willAppear", "b.didAppear", "a.willDisappear", "a.didDisappear"}));
    // The screen that appeared last answers the remote until it leaves.
    EXPECT_TRUE(b.isFirstResponder());
    View::removeFromSuperview(b.view());
    EXPECT_EQ(window.firstResponder(), nullptr);
    View::removeFromSuperview(&plain);
}

TEST(UiKitWindow, HiddenAndAlphaSurviveAddingAndRemoving)
{
    Window window;
    window.show();
    View view(QRect(0, 0, 50, 50));
    View::setHidden(&view, true);
    window.addSubview(&view);
    EXPECT_FALSE(view.isVisible());
    View::setHidden(&view, false);
    EXPECT_TRUE(view.isVisible());
    View::setAlpha(&view, 0.4);
    View::removeFromSuperview(&view);
    window.addSubview(&view);
    EXPECT_DOUBLE_EQ(View::alpha(&view), 0.4);
    View::setAlpha(&view, 3);
    EXPECT_DOUBLE_EQ(View::alpha(&view), 1.0);
    View::setCenter(&view, QPoint(100, 100));
    EXPECT_EQ(view.geometry(), QRect(75, 75, 50, 50));
    View::removeFromSuperview(&view);
}

TEST(UiKitAnimation, NamedAnimationsRecordTheirParametersAndReplaceEachOther)
{
    ViewAnimation::clearHistory();
    View view(QRect(0, 0, 40, 40));
    QList<bool> ends;
    ViewAnimation("one", 400).delay(100).alpha(&view, 0.0).completion([&](bool f) { ends << f; }).start();
    ViewAnimation("two", 300).frame(&view, QRect(10, 10, 40, 40)).completion([&](bool f) { ends << f; }).start();
    EXPECT_TRUE(ends.isEmpty()); // different properties run side by side
    ViewAnimation("three", 200).alpha(&view, 0.5).completion([&](bool f) { ends << f; }).start();
    EXPECT_EQ(ends, QList<bool>({false})); // "one" was replaced
    ViewAnimation::finishAll();
    EXPECT_EQ(ends, QList<bool>({false, true, true}));
    EXPECT_DOUBLE_EQ(View::alpha(&view), 0.5);
    EXPECT_EQ(view.geometry(), QRect(10, 10, 40, 40));
    const QList<ViewAnimation::Record> history = ViewAnimation::history();
    ASSERT_EQ(history.size(), 3);
    EXPECT_EQ(history[0].name, "one");
    EXPECT_EQ(history[0].delayMs, 100);
    EXPECT_EQ(history[0].properties, QStringList({"alpha"}));
    EXPECT_EQ(history[1].properties, QStringList({"frame"}));

    ViewAnimation("center", 100).center(&view, QPoint(100, 200)).start();
    ViewAnimation::finishAll();
    EXPECT_EQ(View::center(&view), QPoint(100, 200));
}

TEST(UiKitAnimation, FlipFromRightIsNamedAndEndsWithTheViewAsItIs)
{
    Window window;
    window.show();
    View view(QRect(20, 20, 60, 60));
    view.setBackgroundColor(Qt::red);
    window.addSubview(&view);
    ViewAnimation::clearHistory();
    QAbstractAnimation *flip = ViewAnimation::flipFromRight(&view, "FlipRightAnimation", 500, QEasingCurve::InOutQuad);
    EXPECT_EQ(ViewAnimation::last("FlipRightAnimation").durationMs, 500);
    EXPECT_EQ(ViewAnimation::last("FlipRightAnimation").properties, QStringList({"flip"}));
    flip->setCurrentTime(125); // a quarter in: the picture is squeezed
    QImage mid = View::snapshot(&window);
    EXPECT_NE(mid.pixelColor(22, 50), QColor(Qt::red));
    EXPECT_EQ(mid.pixelColor(50, 50), QColor(Qt::red));
    // Past the edge the new face turns in, squeezed as well, not all at once.
    view.setBackgroundColor(Qt::blue);
    flip->setCurrentTime(375);
    QImage back = View::snapshot(&window);
    EXPECT_NE(back.pixelColor(22, 50), QColor(Qt::blue));
    EXPECT_EQ(back.pixelColor(50, 50), QColor(Qt::blue));
    flip->setCurrentTime(500);
    EXPECT_EQ(ViewAnimation::running("FlipRightAnimation"), nullptr);
    EXPECT_EQ(View::snapshot(&window).pixelColor(22, 50), QColor(Qt::blue));
    // The snapshot as PNG bytes decodes to the same picture.
    const QImage decoded = QImage::fromData(View::pngRepresentation(&view), "PNG");
    EXPECT_EQ(decoded.size(), QSize(60, 60));
    EXPECT_EQ(decoded.pixelColor(30, 30), QColor(Qt::blue));
    View::removeFromSuperview(&view);
}

class Answers : public AlertViewDelegate
{
public:
    void alertViewClickedButtonAtIndex(AlertView *alert, int index) override
    {
        answers << qMakePair(alert->tag(), index);
    }
    QList<QPair<int, int>> answers;
};

TEST(UiKitAlert, ButtonsAreNumberedWithTheCancelButtonFirst)
{
    Window window;
    window.makeKeyAndVisible();
    Answers delegate;
    auto *alert = new AlertView("Title", "Message", &delegate, "Cancel", {"One", "Two"});
    alert->setTag(7);
    alert->show();
    EXPECT_EQ(alert->numberOfButtons(), 3);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->buttonTitleAtIndex(2), "Two");
    EXPECT_EQ(window.subviews().last(), alert);
    // Pressing the on-screen button "Two" answers index 2.
    for (Button *button : alert->findChildren<Button *>())
        if (button->currentTitle() == "Two")
            button->click();
    EXPECT_EQ(delegate.answers, (QList<QPair<int, int>>{{7, 2}}));
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    AlertView noCancel("T", "M", nullptr, QString(), {"A"});
    EXPECT_EQ(noCancel.cancelButtonIndex(), -1);
    EXPECT_EQ(noCancel.buttonTitleAtIndex(0), "A");
}

TEST(UiKitAlert, AlertsAndSheetsStayAboveLaterViewsAndAreFreedWithoutAWindow)
{
    {
        QPointer<AlertView> early = new AlertView("Early", "No window yet", nullptr, "OK");
        QPointer<ActionSheet> sheet = new ActionSheet("Early", nullptr, "Cancel", "Delete");
        early->show();
        sheet->show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(early.isNull()) << "an alert nobody can see is freed";
        EXPECT_TRUE(sheet.isNull());
    }
    Window window;
    window.makeKeyAndVisible();
    auto *alert = new AlertView("Title", "Message", nullptr, "OK");
    alert->show();
    View overlay(QRect(0, 0, 100, 50));
    window.addSubview(&overlay); // a message arriving while the alert is up
    EXPECT_EQ(window.subviews().last(), alert);
    EXPECT_EQ(window.subviews().value(window.subviews().size() - 2), &overlay);
    alert->dismissWithClickedButtonIndex(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window.removeSubview(&overlay);
}

TEST(UiKitImages, NamesWithoutAnExtensionFindTheirDoubleResolutionPicture)
{
    const QPixmap withExtension = ImageView::imageNamed("info-icons-05-RND-OFF.png");
    const QPixmap without = ImageView::imageNamed("info-icons-05-RND-OFF");
    ASSERT_FALSE(without.isNull());
    EXPECT_EQ(without.cacheKey(), withExtension.cacheKey());
    EXPECT_EQ(without.deviceIndependentSize(), QSizeF(72, 72));
    EXPECT_TRUE(ImageView::imageNamed("no-such-picture").isNull());
    EXPECT_FALSE(Bundle::pathForResource("Orbo_Melody_Play-01", "wav").isEmpty());
    EXPECT_TRUE(Bundle::pathForResource("Orbo_Melody_Play-01", "mp3").isEmpty());
}

TEST(UiKitButton, LooksFollowTheState)
{
    Button button(QRect(0, 0, 80, 40));
    button.setTitle("Go");
    button.setTitle("Going", Button::Highlighted);
    EXPECT_EQ(button.currentState(), Button::Normal);
    EXPECT_EQ(button.currentTitle(), "Go");
    button.setDown(true);
    EXPECT_EQ(button.currentTitle(), "Going");
    button.setDown(false);
    button.setEnabled(false);
    EXPECT_EQ(button.currentState(), Button::Disabled);
    EXPECT_EQ(button.currentTitle(), "Go"); // no disabled title: the normal one
    int clicks = 0;
    QObject::connect(&button, &Button::clicked, [&] { ++clicks; });
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
    button.setEnabled(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

// A screen with a way back.
class BackScreen : public ViewController
{
public:
    bool escapePressed() override
    {
        ++backs;
        return true;
    }
    int backs = 0;
};

TEST(UiKitWindow, EscapeTakesTheTopmostScreenBack)
{
    Window window;
    window.makeKeyAndVisible();
    BackScreen below, top;
    ViewController plain;
    window.addSubview(below.view());
    window.addSubview(top.view());
    window.addSubview(plain.view()); // a screen without a back button does not swallow it
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(top.backs, 1);
    EXPECT_EQ(below.backs, 0);
    window.removeSubview(plain.view());
    window.removeSubview(top.view());
    window.removeSubview(below.view());
}

TEST(UiKitWindow, MediaKeysBecomeRemoteEvents)
{
    Window window;
    window.makeKeyAndVisible();
    struct Listener : RecordingScreen
    {
        Listener() : RecordingScreen("l") {}
        void remoteControlReceivedWithEvent(const RemoteControlEvent &e) override { subtypes << e.subtype; }
        QList<int> subtypes;
    } screen;
    window.addSubview(screen.view());
    for (Qt::Key key : {Qt::Key_MediaPlay, Qt::Key_MediaTogglePlayPause, Qt::Key_MediaStop, Qt::Key_MediaNext,
                        Qt::Key_MediaPrevious, Qt::Key_A}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &press);
    }
    EXPECT_EQ(screen.subtypes, QList<int>({100, 103, 102, 104, 105}));
    View::removeFromSuperview(screen.view());
}

} // namespace

namespace {
TEST(UiKitAnimation, AutoReverseRepeatsThereAndBack)
{
    View view(QRect(0, 0, 10, 10));
    QAbstractAnimation *blink =
        ViewAnimation("blink", 1000).autoreverses(true).repeatCount(3).alpha(&view, 0.2).start();
    EXPECT_EQ(blink->totalDuration(), 6000);
    blink->setCurrentTime(500);
    EXPECT_GT(View::alpha(&view), 0.25);
    EXPECT_LT(View::alpha(&view), 0.95);
    blink->setCurrentTime(1000);
    EXPECT_NEAR(View::alpha(&view), 0.2, 0.01);
    blink->setCurrentTime(1500);
    EXPECT_GT(View::alpha(&view), 0.25);
    blink->setCurrentTime(1999);
    EXPECT_NEAR(View::alpha(&view), 1.0, 0.01);
    blink->setCurrentTime(3000);
    EXPECT_NEAR(View::alpha(&view), 0.2, 0.01);
    blink->stop();
}
} // namespace
