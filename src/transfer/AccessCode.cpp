#include "transfer/AccessCode.h"

#include <QRandomGenerator>

QString AccessCode::generate()
{
    return QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(1000000), digits, 10, QLatin1Char('0'));
}
