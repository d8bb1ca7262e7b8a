#pragma once

#include <QMetaType>
#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

// A point in time with the file system's own precision (nanoseconds since the
// Unix epoch, UTC). QDateTime stops at milliseconds, which is not enough to
// compare a stored folder modification date with a fresh one for equality.
class Date
{
public:
    constexpr Date() = default;
    constexpr explicit Date(std::int64_t nanosecondsSinceEpoch) : m_ns(nanosecondsSinceEpoch) {}

    static Date now();
    // A file system time stamp, saturated to the representable range.
    static Date fromSeconds(std::int64_t seconds, std::int64_t nanoseconds);

    std::int64_t nanosecondsSinceEpoch() const { return m_ns; }

    // ISO 8601 in UTC with nine fractional digits, e.g. "2026-12-06T18:22:26.123456789Z".
    QString toIsoString() const;
    // Accepts what toIsoString writes, fewer (or no) fractional digits, and a time-zone
    // offset instead of "Z". Nothing outside the nanosecond range (1677..2262).
    static std::optional<Date> fromIsoString(const QString &text);

    friend constexpr bool operator==(Date, Date) = default;
    friend constexpr auto operator<=>(Date, Date) = default;

private:
    std::int64_t m_ns = 0;
};

Q_DECLARE_METATYPE(Date)
