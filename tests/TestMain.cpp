#include "TestWatchdog.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Widgets need a platform; tests never open a real window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Far beyond any test's need, even under the sanitizers on a busy machine.
    const std::chrono::seconds limit = TestWatchdog::configuredLimit(std::chrono::seconds(90));
    if (limit.count() > 0)
        ::testing::UnitTest::GetInstance()->listeners().Append(new TestWatchdog(limit));
    return RUN_ALL_TESTS();
}
