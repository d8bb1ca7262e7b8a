#include "TestWatchdog.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Widgets need a platform; tests never open a real window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // What the libraries underneath write on their own (Qt's runtime folder, the sound
    // server's cookie, the bus daemon's service folder) lands in this run's own temporary
    // folder, as do the programs the tests start; each test keeps its files in a TestHome.
    const QTemporaryDir runHome;
    if (runHome.isValid()) {
        for (const char *name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
            const QString path = runHome.filePath(QString::fromLatin1(name).toLower());
            QDir().mkpath(path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv(name, QFile::encodeName(path));
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Far beyond any test's need, even under the sanitizers on a busy machine.
    const std::chrono::seconds limit = TestWatchdog::configuredLimit(std::chrono::seconds(90));
    if (limit.count() > 0)
        ::testing::UnitTest::GetInstance()->listeners().Append(new TestWatchdog(limit));
    return RUN_ALL_TESTS();
}
