#include "Bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace {
QString &root()
{
    static QString value = QStringLiteral(":/bundle/");
    return value;
}
} // namespace

QString Bundle::version()
{
    const QString set = QCoreApplication::applicationVersion();
    return set.isEmpty() ? QStringLiteral(ORBO_VERSION) : set;
}

QString Bundle::pathForResource(const QString &name, const QString &type)
{
    const QString path = root() + name + (type.isEmpty() ? QString() : QLatin1Char('.') + type);
    return QFileInfo(path).isFile() ? path : QString();
}

QString Bundle::resourceRoot()
{
    return root();
}

void Bundle::setResourceRoot(const QString &newRoot)
{
    root() = newRoot.endsWith(QLatin1Char('/')) ? newRoot : newRoot + QLatin1Char('/');
}

QString Bundle::installedResourceFolder(const QString &name)
{
    // Asked for on every upload page asset: resolved once per name and setting of the variable.
    static QMutex lock;
    static QHash<QString, QString> found;
    const QString fromEnvironment = qEnvironmentVariable("ORBO_RESOURCES_DIR");
    const QString key = fromEnvironment + QLatin1Char('\n') + name;
    const QMutexLocker locked(&lock);
    if (const auto it = found.constFind(key); it != found.constEnd() && !it->isEmpty())
        return *it;
    const QString path = findInstalledResourceFolder(name, fromEnvironment);
    found.insert(key, path);
    return path;
}

QString Bundle::findInstalledResourceFolder(const QString &name, const QString &fromEnvironment)
{
    QStringList candidates;
    if (!fromEnvironment.isEmpty())
        candidates << fromEnvironment;
    // Installed: <prefix>/bin/orbo and <prefix>/share/orbo/<name>.
    candidates << QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orbo");
#ifdef ORBO_BUILD_RESOURCES_DIR
    // Run from the build tree (and in the tests): what the build made (the demo songs)...
    candidates << QStringLiteral(ORBO_BUILD_RESOURCES_DIR);
#endif
#ifdef ORBO_SOURCE_RESOURCES_DIR
    // ... and the sources' own resources (the upload page).
    candidates << QStringLiteral(ORBO_SOURCE_RESOURCES_DIR);
#endif
    for (const QString &candidate : std::as_const(candidates)) {
        const QString path = QDir::cleanPath(candidate + QLatin1Char('/') + name);
        if (QFileInfo(path).isDir())
            return QFileInfo(path).canonicalFilePath();
    }
    return {};
}
