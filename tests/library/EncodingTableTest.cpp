#include "library/EncodingTable.h"
#include "library/TextDecoder.h"

#include <QSet>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {
TEST(EncodingTable, HasEightyTwoRowsWithDistinctNumbersAndNames)
{
    const QList<EncodingTable::Row> &rows = EncodingTable::rows();
    ASSERT_EQ(rows.size(), 82);
    QSet<quint32> numbers;
    QSet<QString> names;
    for (const EncodingTable::Row &row : rows) {
        numbers.insert(row.number);
        names.insert(row.name);
    }
    EXPECT_EQ(numbers.size(), rows.size());
    EXPECT_EQ(names.size(), rows.size());
}

TEST(EncodingTable, StoredNumbersAndNamesOfKnownRows)
{
    // The first-run default stored by ZivoModel::appInit.
    EXPECT_EQ(EncodingTable::indexOfNumber(4), 26);
    EXPECT_EQ(EncodingTable::nameForNumber(4), QString::fromUtf8("Unicode\xE2\x84\xA2 (UTF-8)"));
    EXPECT_EQ(EncodingTable::nameForNumber(10), QString::fromUtf8("Unicode\xE2\x84\xA2 (UTF-16)"));
    EXPECT_EQ(EncodingTable::indexOfNumber(10), 25);

    EXPECT_EQ(EncodingTable::nameForNumber(2147486016u), QStringLiteral("Korean (EUC)"));
    EXPECT_EQ(EncodingTable::indexOfNumber(2147486016u), 73);
    EXPECT_EQ(EncodingTable::rows().first().number, 30u);
    EXPECT_EQ(EncodingTable::rows().first().name, QStringLiteral("Western (Mac OS Roman)"));
    EXPECT_EQ(EncodingTable::rows().last().number, 2147486722u);
    EXPECT_EQ(EncodingTable::rows().last().name, QStringLiteral("Western (EBCDIC US)"));
}

// The stored numbers are what saved settings hold, and the names what they show: the
// whole list, in display order, is a contract that no row may break.
TEST(EncodingTable, EveryRowInOrderWithItsStoredNumberAndName)
{
    // Extended codes are stored with the top bit set (0x940 as 2147486016).
    const auto x = [](quint32 code) { return quint32(2147483648u + code); };
    const std::vector<std::pair<quint32, std::string>> expected = {
        {30, "Western (Mac OS Roman)"},
        {x(0x1), "Japanese (Mac OS)"},
        {x(0x2), "Traditional Chinese (Mac OS)"},
        {x(0x3), "Korean (Mac OS)"},
        {x(0x4), "Arabic (Mac OS)"},
        {x(0x5), "Hebrew (Mac OS)"},
        {x(0x6), "Greek (Mac OS)"},
        {x(0x7), "Cyrillic (Mac OS)"},
        {x(0x9), "Devanagari (Mac OS)"},
        {x(0xA), "Gurmukhi (Mac OS)"},
        {x(0xB), "Gujarati (Mac OS)"},
        {x(0x15), "Thai (Mac OS)"},
        {x(0x19), "Simplified Chinese (Mac OS)"},
        {x(0x1A), "Tibetan (Mac OS)"},
        {x(0x1D), "Central European (Mac OS)"},
        {6, "Symbol (Mac OS)"},
        {x(0x22), "Dingbats (Mac OS)"},
        {x(0x23), "Turkish (Mac OS)"},
        {x(0x24), "Croatian (Mac OS)"},
        {x(0x25), "Icelandic (Mac OS)"},
        {x(0x26), "Romanian (Mac OS)"},
        {x(0x29), "Keyboard Symbols (Mac OS)"},
        {x(0x8C), "Farsi (Mac OS)"},
        {x(0x98), "Cyrillic (Mac OS Ukrainian)"},
        {x(0xFC), "Western (Mac VT100)"},
        {10, "Unicode\u2122 (UTF-16)"},
        {4, "Unicode\u2122 (UTF-8)"},
        {5, "Western (ISO Latin 1)"},
        {9, "Central European (ISO Latin 2)"},
        {x(0x203), "Western (ISO Latin 3)"},
        {x(0x204), "Central European (ISO Latin 4)"},
        {x(0x205), "Cyrillic (ISO 8859-5)"},
        {x(0x206), "Arabic (ISO 8859-6)"},
        {x(0x207), "Greek (ISO 8859-7)"},
        {x(0x208), "Hebrew (ISO 8859-8)"},
        {x(0x209), "Turkish (ISO Latin 5)"},
        {x(0x20A), "Nordic (ISO Latin 6)"},
        {x(0x20B), "Thai (ISO 8859-11)"},
        {x(0x20D), "Baltic Rim (ISO Latin 7)"},
        {x(0x20E), "Celtic (ISO Latin 8)"},
        {x(0x20F), "Western (ISO Latin 9)"},
        {x(0x400), "Latin-US (DOS)"},
        {x(0x405), "Greek (DOS)"},
        {x(0x406), "Baltic Rim (DOS)"},
        {x(0x410), "Western (DOS Latin 1)"},
        {x(0x412), "Central European (DOS Latin 2)"},
        {x(0x414), "Turkish (DOS)"},
        {x(0x416), "Icelandic (DOS)"},
        {x(0x419), "Arabic (DOS)"},
        {x(0x41B), "Cyrillic (DOS)"},
        {x(0x41D), "Thai (Windows DOS)"},
        {8, "Japanese (Windows DOS)"},
        {x(0x421), "Simplified Chinese (Windows DOS)"},
        {x(0x422), "Korean (Windows DOS)"},
        {x(0x423), "Traditional Chinese (Windows DOS)"},
        {12, "Western (Windows Latin 1)"},
        {15, "Central European (Windows Latin 2)"},
        {11, "Cyrillic (Windows)"},
        {13, "Greek (Windows)"},
        {14, "Turkish (Windows Latin 5)"},
        {x(0x505), "Hebrew (Windows)"},
        {x(0x506), "Arabic (Windows)"},
        {x(0x507), "Baltic Rim (Windows)"},
        {x(0x508), "Vietnamese (Windows)"},
        {1, "Western (ASCII)"},
        {x(0x628), "Japanese (Shift JIS X0213)"},
        {x(0x631), "Chinese (GBK)"},
        {x(0x632), "Chinese (GB 18030)"},
        {21, "Japanese (ISO 2022-JP)"},
        {x(0x840), "Korean (ISO 2022-KR)"},
        {3, "Japanese (EUC)"},
        {x(0x930), "Simplified Chinese (EUC)"},
        {x(0x931), "Traditional Chinese (EUC)"},
        {x(0x940), "Korean (EUC)"},
        {x(0xA01), "Japanese (Shift JIS)"},
        {x(0xA02), "Cyrillic (KOI8-R)"},
        {x(0xA03), "Traditional Chinese (Big 5)"},
        {x(0xA04), "Western (Mac Mail)"},
        {x(0xA06), "Traditional Chinese (Big 5 HKSCS)"},
        {2, "Western (NextStep)"},
        {7, "Non-lossy ASCII"},
        {x(0xC02), "Western (EBCDIC US)"},
    };
    std::vector<std::pair<quint32, std::string>> actual;
    for (const EncodingTable::Row &row : EncodingTable::rows())
        actual.emplace_back(row.number, row.name.toStdString());
    EXPECT_EQ(actual, expected);
}

TEST(EncodingTable, NumbersInNoRowHaveNoNameAndNoDecoding)
{
    // 0x940 without the extended flag, and a built-in number no row uses.
    for (const quint32 number : {0x940u, 0u, 99u, EncodingTable::extended(0x8)}) {
        EXPECT_EQ(EncodingTable::indexOfNumber(number), -1) << number;
        EXPECT_TRUE(EncodingTable::nameForNumber(number).isNull()) << number;
        EXPECT_EQ(EncodingTable::rowForNumber(number), nullptr) << number;
        EXPECT_FALSE(TextDecoder::decode("Hello", number).has_value()) << number;
    }
}

// Every codec named in the table must exist on this system and decode plain
// text; rows without one must leave every text alone.
TEST(EncodingTable, EveryRowDecodesPlainTextOrHasNoCodec)
{
    using Backend = EncodingTable::Backend;
    int withCodec = 0;
    for (const EncodingTable::Row &row : EncodingTable::rows()) {
        const std::string label = row.name.toStdString();
        QByteArray hello = "Hello";
        if (row.backend == Backend::Utf16)
            hello = QByteArray::fromHex("0048 0065 006c 006c 006f");
        else if (row.name == QStringLiteral("Western (EBCDIC US)"))
            hello = QByteArray::fromHex("c8 85 93 93 96");

        const std::optional<QString> text = TextDecoder::decode(hello, row.number);
        if (row.backend == Backend::None) {
            EXPECT_EQ(row.codecName, nullptr) << label;
            EXPECT_FALSE(text.has_value()) << label;
            continue;
        }
        ++withCodec;
        ASSERT_TRUE(text.has_value()) << label << " (" << (row.codecName ? row.codecName : "built in") << ")";
        // Symbol and Dingbats put Greek letters and signs where ASCII has its letters.
        if (row.name == QStringLiteral("Symbol (Mac OS)"))
            EXPECT_EQ(*text, QString::fromUtf8("Ηελλο")) << label;
        else if (row.name == QStringLiteral("Dingbats (Mac OS)"))
            EXPECT_EQ(*text, QString::fromUtf8("★❅●●❏")) << label;
        else
            EXPECT_EQ(*text, QStringLiteral("Hello")) << label;
    }
    // 59 exact ICU rows (the two Unicode ones among them), Shift JIS X0213, Non-lossy
    // ASCII, seven tables of our own and 12 same-script stand-ins; 2 rows have nothing.
    EXPECT_EQ(withCodec, 80);
}
} // namespace
