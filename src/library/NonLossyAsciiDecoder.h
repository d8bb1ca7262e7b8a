#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Decodes "Non-lossy ASCII": 7-bit text in which every other character is a
// backslash escape. "\\" is a backslash, "\uXXXX" (or "\UXXXX") one UTF-16 unit
// in exactly four hex digits, "\ooo" one character in exactly three octal digits.
// Anything else - a byte of 0x80 or more, an unknown or cut-off escape, or a
// surrogate without its partner - makes the whole input invalid. Stateless.
class NonLossyAsciiDecoder
{
public:
    NonLossyAsciiDecoder() = delete;

    static std::optional<QString> decode(const QByteArray &bytes);
};
