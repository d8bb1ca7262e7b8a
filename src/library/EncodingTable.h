#pragma once

#include <QList>
#include <QString>

// The legacy text encodings the user can pick for reinterpreting song tag text,
// in display order. Each row's stored number is what the settings keep: either
// a built-in number or extendedFlag plus an extended code. Stateless.
class EncodingTable
{
public:
    EncodingTable() = delete;

    static constexpr quint32 extendedFlag = 0x80000000u;
    static constexpr quint32 extended(quint32 code) { return extendedFlag | code; }

    // How a row's bytes are turned into text.
    enum class Backend {
        None, // no usable table: the text is left as it is
        Icu, // ICU converter named by codecName
        Iconv, // glibc iconv converter named by codecName
        Utf8, // ICU UTF-8 after dropping a byte-order mark
        Utf16, // byte-order mark sniffing, then ICU UTF-16BE/LE
        NonLossyAscii, // backslash escapes, see NonLossyAsciiDecoder
        SingleByte, // a table of our own, SingleByteTable named by codecName
    };

    struct Row
    {
        quint32 number;
        QString name;
        Backend backend = Backend::None;
        // Converter name for Icu and Iconv rows, table name for SingleByte rows, otherwise null.
        const char *codecName = nullptr;
        // The codec is the nearest one of the same script, not the exact table.
        bool approximate = false;
    };

    static const QList<Row> &rows();
    // -1 when the number is in no row.
    static int indexOfNumber(quint32 number);
    // Null when the number is in no row.
    static QString nameForNumber(quint32 number);
    // Null when the number is in no row.
    static const Row *rowForNumber(quint32 number);
};
