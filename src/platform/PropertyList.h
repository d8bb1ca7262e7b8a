#pragma once

#include <QByteArray>
#include <QString>
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

    // Integers read back as qlonglong, reals as double, arrays as QVariantList.
    static std::optional<QVariant> fromXml(const QByteArray &xml, QString *error = nullptr);
};
