#include "library/EncodingTable.h"
#include "library/TextDecoder.h"

#include <QSet>

#include <gtest/gtest.h>

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
