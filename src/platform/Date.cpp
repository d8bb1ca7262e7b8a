#include "Date.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <chrono>

namespace {
constexpr std::int64_t kNsPerSecond = 1'000'000'000;

// Floor division, so dates before 1970 keep a fraction in [0, 1 s).
std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
} // namespace

Date Date::now()
{
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

QString Date::toIsoString() const
{
    const std::int64_t seconds = floorDiv(m_ns, kNsPerSecond);
    const std::int64_t fraction = m_ns - seconds * kNsPerSecond;
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc());
    return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QLatin1Char('.')
        + QStringLiteral("%1").arg(fraction, 9, 10, QLatin1Char('0')) + QLatin1Char('Z');
}

std::optional<Date> Date::fromIsoString(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2})(?:\.(\d{1,9}))?Z$)"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    QDateTime utc = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!utc.isValid())
        return std::nullopt;
    utc.setTimeZone(QTimeZone::utc());
    std::int64_t fraction = 0;
    if (match.hasCaptured(2)) {
        const QString digits = match.captured(2).leftJustified(9, QLatin1Char('0'));
        fraction = digits.toLongLong();
    }
    return Date(utc.toSecsSinceEpoch() * kNsPerSecond + fraction);
}
