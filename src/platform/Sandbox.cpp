#include "Sandbox.h"

#include <QDir>
#include <QReadWriteLock>
#include <QStandardPaths>

namespace {
struct Paths
{
    QString documents;
    QString caches;
    QString preferences;
};

QReadWriteLock lock;

Paths standardPaths()
{
    auto base = [](QStandardPaths::StandardLocation location) {
        return QStandardPaths::writableLocation(location) + QStringLiteral("/orbo");
    };
    return {base(QStandardPaths::GenericDataLocation) + QStringLiteral("/Documents"),
            base(QStandardPaths::GenericCacheLocation), base(QStandardPaths::GenericConfigLocation)};
}

Paths &current()
{
    static Paths paths = standardPaths();
    return paths;
}

QString read(QString Paths::*member)
{
    QReadLocker locker(&lock);
    return current().*member;
}
} // namespace

void Sandbox::setHome(const QString &dir)
{
    const QString home = QDir(dir).absolutePath();
    QWriteLocker locker(&lock);
    current() = {home + QStringLiteral("/Documents"), home + QStringLiteral("/Caches"),
                 home + QStringLiteral("/Preferences")};
}

void Sandbox::useStandardLocations()
{
    QWriteLocker locker(&lock);
    current() = standardPaths();
}

QString Sandbox::documentsPath()
{
    return read(&Paths::documents);
}
QString Sandbox::cachesPath()
{
    return read(&Paths::caches);
}
QString Sandbox::preferencesPath()
{
    return read(&Paths::preferences);
}

QString Sandbox::settingsFilePath()
{
    return preferencesPath() + QStringLiteral("/settings.plist");
}

bool Sandbox::createFolders()
{
    QDir root;
    return root.mkpath(documentsPath()) && root.mkpath(cachesPath()) && root.mkpath(preferencesPath());
}
