#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <string_view>

// A single-byte encoding as a table of 256 entries, for the Apple encodings that neither
// ICU nor glibc ship (Croatian, Symbol, Dingbats, Farsi, NextStep, Icelandic, Romanian).
// The tables are generated from perl's Encode module by
// resources/tools/make-single-byte-tables.pl into SingleByteTables.inc. Stateless.
class SingleByteTable
{
public:
    // The table of that name ("MacCroatian", "nextstep", ...), or null.
    static const SingleByteTable *named(const char *name);

    // The text of the bytes; nothing when one of them is undefined in the table.
    std::optional<QString> decode(const QByteArray &bytes) const;

    const char *name;
    // The UTF-16 text of each byte (one unit, or a character with a variant tag); empty
    // for a byte the encoding does not define.
    std::array<std::u16string_view, 256> entries;
};
