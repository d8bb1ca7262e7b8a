#pragma once

#include <QByteArray>

// Digests, hexadecimal and Base64 forms, and strict decimal number parsing for the HTTP layer.
class DDData
{
public:
    DDData() = delete;

    static QByteArray md5Digest(const QByteArray &data);
    static QByteArray sha1Digest(const QByteArray &data);
    // Two lower-case digits per byte.
    static QByteArray hexStringValue(const QByteArray &data);
    static QByteArray base64Encoded(const QByteArray &data);
    // Skips characters outside the alphabet and stops at "=".
    static QByteArray base64Decoded(const QByteArray &text);

    // Base-10 conversions in the manner of strtoll and friends: leading white space is
    // skipped, conversion stops at the first non-digit; false without digits or on
    // overflow. The unsigned forms also refuse a minus sign rather than wrap around.
    static bool parseStringIntoSInt64(const QByteArray &text, qint64 *value);
    static bool parseStringIntoUInt64(const QByteArray &text, quint64 *value);
};
