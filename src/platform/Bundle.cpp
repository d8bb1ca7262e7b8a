#include "Bundle.h"

#include <QCoreApplication>
#include <QFileInfo>

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
