#include "Date.h"

#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <limits>

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

Date Date::fromSeconds(std::int64_t seconds, std::int64_t nanoseconds)
{
    // Saturates: a file stamped far outside 1677..2262 (the nanosecond range) still gets a
    // date that writes and reads back unchanged.
    const __int128 ns = __int128(seconds) * kNsPerSecond + nanoseconds;
    return Date(std::int64_t(
        std::clamp<__int128>(ns, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max())));
}

// Plain calendar arithmetic in UTC: no local time zone is involved, so a clock time that a
// daylight-saving jump skips locally still reads back.
QString Date::toIsoString() const
{
    using namespace std::chrono;
    const std::int64_t seconds = floorDiv(m_ns, kNsPerSecond);
    // The remainder directly: seconds * 1e9 itself overflows at the earliest date.
    const std::int64_t remainder = m_ns % kNsPerSecond;
    const std::int64_t fraction = remainder < 0 ? remainder + kNsPerSecond : remainder;
    const std::int64_t dayNumber = floorDiv(seconds, 86400);
    const std::int64_t secondOfDay = seconds - dayNumber * 86400;
    const year_month_day day{sys_days{days{dayNumber}}};
    return QString::asprintf("%04d-%02u-%02uT%02d:%02d:%02d.%09lldZ", int(day.year()), unsigned(day.month()),
                             unsigned(day.day()), int(secondOfDay / 3600), int(secondOfDay / 60 % 60),
                             int(secondOfDay % 60), static_cast<long long>(fraction));
}

std::optional<Date> Date::fromIsoString(const QString &text)
{
    using namespace std::chrono;
    // UTC ("Z") as written here, or an offset ("+09:00", "-0500", "+01") as other writers put it.
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:\.(\d{1,9}))?(?:Z|([+-])(\d{2})(?::?(\d{2}))?)$)"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.captured(group).toInt(); };
    const year_month_day day{year{number(1)}, month{unsigned(number(2))}, std::chrono::day{unsigned(number(3))}};
    const int hour = number(4), minute = number(5), second = number(6);
    if (!day.ok() || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    std::int64_t offset = 0;
    if (match.hasCaptured(8)) {
        const int offsetHours = number(9);
        const int offsetMinutes = match.hasCaptured(10) ? number(10) : 0;
        if (offsetHours > 23 || offsetMinutes > 59)
            return std::nullopt;
        offset = (offsetHours * 3600 + offsetMinutes * 60) * (match.captured(8) == QLatin1String("-") ? -1 : 1);
    }
    // The local clock time less its offset is UTC.
    const std::int64_t seconds =
        std::int64_t(sys_days{day}.time_since_epoch().count()) * 86400 + hour * 3600 + minute * 60 + second - offset;
    std::int64_t fraction = 0;
    if (match.hasCaptured(7))
        fraction = match.captured(7).leftJustified(9, QLatin1Char('0')).toLongLong();
    // Wide enough for the sum even at the ends of the range (the earliest date has a
    // negative whole second and a positive fraction).
    const __int128 ns = __int128(seconds) * kNsPerSecond + fraction;
    if (ns < std::numeric_limits<std::int64_t>::min() || ns > std::numeric_limits<std::int64_t>::max())
        return std::nullopt;
    return Date(std::int64_t(ns));
}
