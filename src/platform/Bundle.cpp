#include "Bundle.h"

#include <QCoreApplication>

QString Bundle::version()
{
    const QString set = QCoreApplication::applicationVersion();
    return set.isEmpty() ? QStringLiteral(ORBO_VERSION) : set;
}
