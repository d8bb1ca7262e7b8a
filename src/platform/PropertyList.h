#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// XML property lists: strings, integers, reals, booleans, dates (Date), data
// (QByteArray), arrays (QVariantList, QStringList) and dictionaries (QVariantMap).
// Dates keep their nanoseconds, so a stored date compares equal after reading back.
// Strings holding characters that XML cannot carry are stored as base64 and read back
// whole; only dictionary keys must be plain XML text.
class PropertyList
{
public:
    static bool isPropertyList(const QVariant &value);

    // Returns nothing when the value (or anything inside it) is not a property-list type.
    static std::optional<QByteArray> toXml(const QVariant &root);

    // Integers read back as qlonglong, reals as double, arrays as QVariantList. A value
    // that cannot be held (an integer beyond 64 bits, a real beyond double, a date outside
    // 1677..2262, bad base64, an unknown element) is left out of its array or dictionary
    // and described in `skipped`; the rest is read. Nothing when the document itself is
    // damaged or its top-level value cannot be read. Dates with a time-zone offset and
    // base64 wrapped over lines, as other writers produce them, are read too.
    static std::optional<QVariant> fromXml(const QByteArray &xml, QString *error = nullptr,
                                           QStringList *skipped = nullptr);
};
