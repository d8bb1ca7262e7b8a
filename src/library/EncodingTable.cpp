#include "EncodingTable.h"

namespace {
using Backend = EncodingTable::Backend;
using Row = EncodingTable::Row;

constexpr quint32 ext(quint32 code)
{
    return EncodingTable::extended(code);
}

Row icu(quint32 number, const QString &name, const char *codec)
{
    return Row{number, name, Backend::Icu, codec, false};
}

// A stand-in of the same script: the letters match, the rest is rejected or may
// differ, which beats leaving the text unreadable.
Row near(quint32 number, const QString &name, const char *codec)
{
    return Row{number, name, Backend::Icu, codec, true};
}

// Apple tables that Debian's ICU and glibc do not ship, generated from perl's (SingleByteTable).
Row table(quint32 number, const QString &name, const char *tableName)
{
    return Row{number, name, Backend::SingleByte, tableName, false};
}

Row none(quint32 number, const QString &name)
{
    return Row{number, name, Backend::None, nullptr, false};
}

QList<Row> buildRows()
{
    return {
        icu(30, QStringLiteral("Western (Mac OS Roman)"), "macos-0_2-10.2"),
        // The Apple extensions of these CJK tables are rejected; the common codes match.
        near(ext(0x1), QStringLiteral("Japanese (Mac OS)"), "Shift_JIS"),
        near(ext(0x2), QStringLiteral("Traditional Chinese (Mac OS)"), "Big5"),
        // Not CP949: its extension codes would turn Apple's into the wrong Hangul.
        near(ext(0x3), QStringLiteral("Korean (Mac OS)"), "EUC-KR"),
        near(ext(0x4), QStringLiteral("Arabic (Mac OS)"), "ISO-8859-6"),
        near(ext(0x5), QStringLiteral("Hebrew (Mac OS)"), "ISO-8859-8"),
        icu(ext(0x6), QStringLiteral("Greek (Mac OS)"), "macos-6_2-10.4"),
        icu(ext(0x7), QStringLiteral("Cyrillic (Mac OS)"), "macos-7_3-10.2"),
        // Apple's Indic tables share the ISCII-91 layout for the letters.
        near(ext(0x9), QStringLiteral("Devanagari (Mac OS)"), "ISCII,version=0"),
        near(ext(0xA), QStringLiteral("Gurmukhi (Mac OS)"), "ISCII,version=2"),
        near(ext(0xB), QStringLiteral("Gujarati (Mac OS)"), "ISCII,version=3"),
        // ISO 8859-11 is TIS-620 plus NBSP: the Thai letters match, and Apple's
        // punctuation at 0x80-0x9F comes out as C1 controls, which are rejected.
        // (ICU's TIS-620 alias is windows-874, which would accept them as other signs.)
        near(ext(0x15), QStringLiteral("Thai (Mac OS)"), "ISO-8859-11"),
        near(ext(0x19), QStringLiteral("Simplified Chinese (Mac OS)"), "GB2312"),
        none(ext(0x1A), QStringLiteral("Tibetan (Mac OS)")),
        icu(ext(0x1D), QStringLiteral("Central European (Mac OS)"), "macos-29-10.2"),
        // Symbol and Dingbats are not ASCII-compatible: letters come out Greek or as signs.
        table(6, QStringLiteral("Symbol (Mac OS)"), "MacSymbol"),
        table(ext(0x22), QStringLiteral("Dingbats (Mac OS)"), "MacDingbats"),
        icu(ext(0x23), QStringLiteral("Turkish (Mac OS)"), "macos-35-10.2"),
        table(ext(0x24), QStringLiteral("Croatian (Mac OS)"), "MacCroatian"),
        table(ext(0x25), QStringLiteral("Icelandic (Mac OS)"), "MacIcelandic"),
        table(ext(0x26), QStringLiteral("Romanian (Mac OS)"), "MacRomanian"),
        // No public table at all.
        none(ext(0x29), QStringLiteral("Keyboard Symbols (Mac OS)")),
        table(ext(0x8C), QStringLiteral("Farsi (Mac OS)"), "MacFarsi"),
        // Since Mac OS 9 Mac Cyrillic and Mac Ukrainian are the same table.
        icu(ext(0x98), QStringLiteral("Cyrillic (Mac OS Ukrainian)"), "x-MacUkraine"),
        // No published table; Latin-1 repertoire laid out like Mac Roman.
        near(ext(0xFC), QStringLiteral("Western (Mac VT100)"), "macos-0_2-10.2"),
        Row{10, QStringLiteral("Unicode\u2122 (UTF-16)"), Backend::Utf16, nullptr, false},
        Row{4, QStringLiteral("Unicode\u2122 (UTF-8)"), Backend::Utf8, nullptr, false},
        icu(5, QStringLiteral("Western (ISO Latin 1)"), "ISO-8859-1"),
        icu(9, QStringLiteral("Central European (ISO Latin 2)"), "ISO-8859-2"),
        icu(ext(0x203), QStringLiteral("Western (ISO Latin 3)"), "ISO-8859-3"),
        icu(ext(0x204), QStringLiteral("Central European (ISO Latin 4)"), "ISO-8859-4"),
        icu(ext(0x205), QStringLiteral("Cyrillic (ISO 8859-5)"), "ISO-8859-5"),
        icu(ext(0x206), QStringLiteral("Arabic (ISO 8859-6)"), "ISO-8859-6"),
        icu(ext(0x207), QStringLiteral("Greek (ISO 8859-7)"), "ISO-8859-7"),
        icu(ext(0x208), QStringLiteral("Hebrew (ISO 8859-8)"), "ISO-8859-8"),
        icu(ext(0x209), QStringLiteral("Turkish (ISO Latin 5)"), "ISO-8859-9"),
        icu(ext(0x20A), QStringLiteral("Nordic (ISO Latin 6)"), "ISO-8859-10"),
        icu(ext(0x20B), QStringLiteral("Thai (ISO 8859-11)"), "ISO-8859-11"),
        icu(ext(0x20D), QStringLiteral("Baltic Rim (ISO Latin 7)"), "ISO-8859-13"),
        icu(ext(0x20E), QStringLiteral("Celtic (ISO Latin 8)"), "ISO-8859-14"),
        icu(ext(0x20F), QStringLiteral("Western (ISO Latin 9)"), "ISO-8859-15"),
        icu(ext(0x400), QStringLiteral("Latin-US (DOS)"), "cp437"),
        icu(ext(0x405), QStringLiteral("Greek (DOS)"), "cp737"),
        icu(ext(0x406), QStringLiteral("Baltic Rim (DOS)"), "cp775"),
        icu(ext(0x410), QStringLiteral("Western (DOS Latin 1)"), "cp850"),
        icu(ext(0x412), QStringLiteral("Central European (DOS Latin 2)"), "cp852"),
        icu(ext(0x414), QStringLiteral("Turkish (DOS)"), "cp857"),
        icu(ext(0x416), QStringLiteral("Icelandic (DOS)"), "cp861"),
        icu(ext(0x419), QStringLiteral("Arabic (DOS)"), "cp864"),
        icu(ext(0x41B), QStringLiteral("Cyrillic (DOS)"), "cp866"),
        icu(ext(0x41D), QStringLiteral("Thai (Windows DOS)"), "windows-874"),
        icu(8, QStringLiteral("Japanese (Windows DOS)"), "windows-31j"),
        icu(ext(0x421), QStringLiteral("Simplified Chinese (Windows DOS)"), "windows-936"),
        icu(ext(0x422), QStringLiteral("Korean (Windows DOS)"), "windows-949"),
        icu(ext(0x423), QStringLiteral("Traditional Chinese (Windows DOS)"), "windows-950"),
        icu(12, QStringLiteral("Western (Windows Latin 1)"), "windows-1252"),
        icu(15, QStringLiteral("Central European (Windows Latin 2)"), "windows-1250"),
        icu(11, QStringLiteral("Cyrillic (Windows)"), "windows-1251"),
        icu(13, QStringLiteral("Greek (Windows)"), "windows-1253"),
        icu(14, QStringLiteral("Turkish (Windows Latin 5)"), "windows-1254"),
        icu(ext(0x505), QStringLiteral("Hebrew (Windows)"), "windows-1255"),
        icu(ext(0x506), QStringLiteral("Arabic (Windows)"), "windows-1256"),
        icu(ext(0x507), QStringLiteral("Baltic Rim (Windows)"), "windows-1257"),
        icu(ext(0x508), QStringLiteral("Vietnamese (Windows)"), "windows-1258"),
        icu(1, QStringLiteral("Western (ASCII)"), "US-ASCII"),
        // ICU has no JIS X 0213 table; glibc does.
        Row{ext(0x628), QStringLiteral("Japanese (Shift JIS X0213)"), Backend::Iconv, "SHIFT_JISX0213", false},
        icu(ext(0x631), QStringLiteral("Chinese (GBK)"), "GBK"),
        icu(ext(0x632), QStringLiteral("Chinese (GB 18030)"), "GB18030"),
        icu(21, QStringLiteral("Japanese (ISO 2022-JP)"), "ISO-2022-JP"),
        icu(ext(0x840), QStringLiteral("Korean (ISO 2022-KR)"), "ISO-2022-KR"),
        icu(3, QStringLiteral("Japanese (EUC)"), "EUC-JP"),
        icu(ext(0x930), QStringLiteral("Simplified Chinese (EUC)"), "GB2312"),
        icu(ext(0x931), QStringLiteral("Traditional Chinese (EUC)"), "EUC-TW"),
        icu(ext(0x940), QStringLiteral("Korean (EUC)"), "EUC-KR"),
        icu(ext(0xA01), QStringLiteral("Japanese (Shift JIS)"), "Shift_JIS"),
        icu(ext(0xA02), QStringLiteral("Cyrillic (KOI8-R)"), "KOI8-R"),
        icu(ext(0xA03), QStringLiteral("Traditional Chinese (Big 5)"), "Big5"),
        // Mac Roman permuted to line up with Latin-1; no table was ever published.
        near(ext(0xA04), QStringLiteral("Western (Mac Mail)"), "ISO-8859-1"),
        icu(ext(0xA06), QStringLiteral("Traditional Chinese (Big 5 HKSCS)"), "Big5-HKSCS"),
        table(2, QStringLiteral("Western (NextStep)"), "nextstep"),
        Row{7, QStringLiteral("Non-lossy ASCII"), Backend::NonLossyAscii, nullptr, false},
        icu(ext(0xC02), QStringLiteral("Western (EBCDIC US)"), "IBM037"),
    };
}
} // namespace

const QList<EncodingTable::Row> &EncodingTable::rows()
{
    static const QList<Row> table = buildRows();
    return table;
}

int EncodingTable::indexOfNumber(quint32 number)
{
    const QList<Row> &table = rows();
    for (int i = 0; i < table.size(); ++i) {
        if (table[i].number == number)
            return i;
    }
    return -1;
}

QString EncodingTable::nameForNumber(quint32 number)
{
    const Row *row = rowForNumber(number);
    return row ? row->name : QString();
}

const EncodingTable::Row *EncodingTable::rowForNumber(quint32 number)
{
    const int index = indexOfNumber(number);
    return index < 0 ? nullptr : &rows()[index];
}
