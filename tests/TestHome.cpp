#include "TestHome.h"

#include "platform/FileManager.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

TestHome::TestHome()
{
    UserDefaults::resetStandard();
    Sandbox::setHome(m_dir.path());
    Sandbox::createFolders();
}

TestHome::~TestHome()
{
    UserDefaults::resetStandard();
    // QTemporaryDir cannot remove names that are not UTF-8; the file manager works on their bytes.
    FileManager::removeItem(m_dir.path());
}

QString TestHome::documents() const
{
    return Sandbox::documentsPath();
}

void TestHome::restart()
{
    UserDefaults::resetStandard();
    UserDefaults::standard();
}

QString TestHome::writeFile(const QString &relativePath, const QByteArray &contents) const
{
    const QString path = documents() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(contents);
    return path;
}

QString TestHome::makeFolder(const QString &relativePath) const
{
    const QString path = documents() + QLatin1Char('/') + relativePath;
    QDir().mkpath(path);
    return path;
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}
