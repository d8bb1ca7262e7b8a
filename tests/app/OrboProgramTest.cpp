#include "platform/PropertyList.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(OrboProgram, PrintsItsVersionAndHelpWithoutADisplay)
{
    QProcess orbo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    orbo.setProcessEnvironment(env);
    orbo.start(QStringLiteral(ORBO_PATH), {"--version"});
    ASSERT_TRUE(orbo.waitForFinished(10000));
    EXPECT_EQ(orbo.exitCode(), 0);
    EXPECT_EQ(orbo.readAllStandardOutput().trimmed(), QByteArray("orbo " ORBO_VERSION));

    orbo.start(QStringLiteral(ORBO_PATH), {"--help"});
    ASSERT_TRUE(orbo.waitForFinished(10000));
    EXPECT_EQ(orbo.exitCode(), 0);
    const QByteArray help = orbo.readAllStandardOutput();
    for (const char *option : {"--home <dir>", "--music-library <dir>", "--headless", "--transfer", "--port <port>",
                               "--address <address>", "--require-code", "--transfer-port <port>"})
        EXPECT_TRUE(help.contains(option)) << option;
}

TEST(OrboProgram, StartsInItsHomeWritesTheDefaultsAndQuitsCleanlyOnSigterm)
{
    QTemporaryDir home;
    QProcess orbo;
    orbo.start(QStringLiteral(ORBO_PATH), {"--home", home.path()});
    ASSERT_TRUE(orbo.waitForStarted(10000));
    const QString settings = home.path() + "/Preferences/settings.plist";
    for (int i = 0; i < 200 && !QFile::exists(settings); ++i)
        QThread::msleep(25);
    ASSERT_TRUE(QFile::exists(settings)) << orbo.readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo(home.path() + "/Documents").isDir());
    EXPECT_TRUE(QFileInfo(home.path() + "/Caches").isDir());

    ::kill(pid_t(orbo.processId()), SIGTERM);
    ASSERT_TRUE(orbo.waitForFinished(10000));
    EXPECT_EQ(orbo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(orbo.exitCode(), 0);

    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QVariantMap values = PropertyList::fromXml(file.readAll()).value_or(QVariant()).toMap();
    EXPECT_EQ(values.value("appinitkey").toString(), QStringLiteral(ORBO_VERSION));
    EXPECT_EQ(values.value("selectedEncodingNumberKey").toLongLong(), 4);
}

} // namespace
