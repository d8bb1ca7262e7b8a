#include "library/EncodingTable.h"
#include "library/SingleByteTable.h"
#include "library/TextDecoder.h"

#include <QMap>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// The rows whose tables come from perl, with perl's names for them.
const QList<std::pair<const char *, QString>> kRows = {
    {"MacCroatian", QStringLiteral("Croatian (Mac OS)")}, {"MacSymbol", QStringLiteral("Symbol (Mac OS)")},
    {"MacDingbats", QStringLiteral("Dingbats (Mac OS)")}, {"MacFarsi", QStringLiteral("Farsi (Mac OS)")},
    {"nextstep", QStringLiteral("Western (NextStep)")},   {"MacIcelandic", QStringLiteral("Icelandic (Mac OS)")},
    {"MacRomanian", QStringLiteral("Romanian (Mac OS)")},
};

quint32 numberOf(const QString &name)
{
    for (const EncodingTable::Row &row : EncodingTable::rows())
        if (row.name == name)
            return row.number;
    ADD_FAILURE() << "no row " << name.toStdString();
    return 0;
}

QList<uint> codePoints(const QString &text)
{
    return text.toUcs4();
}

// Perl's own strict decoding of every byte and of all its defined bytes in one text: per
// encoding, 256 entries (code points, or nothing when perl does not decode the byte) and
// then the code points of the whole text.
struct PerlTables
{
    QMap<QString, QList<std::optional<QList<uint>>>> bytes;
    QMap<QString, QList<uint>> whole;
};

std::optional<PerlTables> askPerl()
{
    const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
    if (perl.isEmpty())
        return std::nullopt;
    const char *script = R"PERL(
use strict; use Encode ();
for my $name (@ARGV) {
    my $enc = Encode::find_encoding($name) or exit 3;
    my $all = '';
    for my $b (0 .. 255) {
        my $t = eval { $enc->decode(chr($b), Encode::FB_CROAK) };
        $all .= chr($b) if defined $t;
        print "$name $b ", (defined $t ? join(',', map { sprintf '%X', ord } split //, $t) : '-'), "\n";
    }
    my $t = $enc->decode($all, Encode::FB_CROAK);
    print "$name all ", join(',', map { sprintf '%X', ord } split //, $t), "\n";
}
)PERL";
    QStringList arguments{QStringLiteral("-e"), QString::fromLatin1(script)};
    for (const auto &[perlName, rowName] : kRows)
        arguments << QString::fromLatin1(perlName);
    QProcess process;
    process.start(perl, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt; // perl without its Encode tables
    PerlTables tables;
    const auto parse = [](const QByteArray &field) {
        QList<uint> points;
        for (const QByteArray &hex : field.split(','))
            if (!hex.isEmpty())
                points << hex.toUInt(nullptr, 16);
        return points;
    };
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 3)
            continue;
        const QString name = QString::fromLatin1(fields[0]);
        if (fields[1] == "all")
            tables.whole[name] = parse(fields[2]);
        else if (fields[2] == "-")
            tables.bytes[name].append(std::nullopt);
        else
            tables.bytes[name].append(parse(fields[2]));
    }
    return tables;
}

// Apple's Farsi table has the ASCII punctuation at 0x20-0x7E besides its right-to-left
// copies higher up; perl keeps only the copies. Those bytes keep their ASCII characters.
bool isFarsiAsciiFill(const char *name, int byte)
{
    return std::strcmp(name, "MacFarsi") == 0 && byte >= 0x20 && byte <= 0x7E;
}

TEST(SingleByteTable, EveryByteOfTheSevenAppleTablesDecodesAsPerlDecodesIt)
{
    const std::optional<PerlTables> perl = askPerl();
    if (!perl)
        GTEST_SKIP() << "perl with its Encode module is not installed";
    for (const auto &[name, rowName] : kRows) {
        const SingleByteTable *table = SingleByteTable::named(name);
        ASSERT_NE(table, nullptr) << name;
        const QList<std::optional<QList<uint>>> expected = perl->bytes.value(QString::fromLatin1(name));
        ASSERT_EQ(expected.size(), 256) << name;
        const quint32 number = numberOf(rowName);
        int defined = 0;
        for (int byte = 0; byte < 256; ++byte) {
            const QByteArray one(1, char(byte));
            const std::optional<QString> ours = TextDecoder::decode(one, number);
            std::optional<QList<uint>> theirs = expected[byte];
            if (!theirs && isFarsiAsciiFill(name, byte))
                theirs = QList<uint>{uint(byte)};
            if (!theirs) {
                EXPECT_FALSE(ours.has_value()) << name << " byte " << byte << " is undefined";
                continue;
            }
            ++defined;
            ASSERT_TRUE(ours.has_value()) << name << " byte " << byte;
            EXPECT_EQ(codePoints(*ours), *theirs) << name << " byte " << byte;
        }
        EXPECT_GT(defined, 200) << name;
    }
}

TEST(SingleByteTable, WholeTextsDecodeAsPerlDecodesThem)
{
    const std::optional<PerlTables> perl = askPerl();
    if (!perl)
        GTEST_SKIP() << "perl with its Encode module is not installed";
    for (const auto &[name, rowName] : kRows) {
        const QList<std::optional<QList<uint>>> expected = perl->bytes.value(QString::fromLatin1(name));
        ASSERT_EQ(expected.size(), 256) << name;
        QByteArray all;
        for (int byte = 0; byte < 256; ++byte)
            if (expected[byte])
                all.append(char(byte));
        const std::optional<QString> ours = TextDecoder::decode(all, numberOf(rowName));
        ASSERT_TRUE(ours.has_value()) << name;
        EXPECT_EQ(codePoints(*ours), perl->whole.value(QString::fromLatin1(name))) << name;
        // One undefined byte spoils the whole text, which then stays as it was.
        const qsizetype at = all.size() / 2;
        for (int byte = 0; byte < 256; ++byte) {
            if (!expected[byte] && !isFarsiAsciiFill(name, byte)) {
                EXPECT_FALSE(TextDecoder::decode(all.left(at) + char(byte) + all.mid(at), numberOf(rowName)))
                    << name << " byte " << byte;
                break;
            }
        }
    }
}

TEST(SingleByteTable, KnownWordsInTheNewRows)
{
    // Independent of perl: letters Apple's tables put where Mac Roman has others.
    const QList<std::tuple<QString, QByteArray, QString>> samples = {
        {QStringLiteral("Croatian (Mac OS)"), QByteArray::fromHex("c8e6f0"), QString::fromUtf8("Čćđ")},
        {QStringLiteral("Croatian (Mac OS)"), QByteArray::fromHex("4b72 e6 6b"), QString::fromUtf8("Krćk")},
        {QStringLiteral("Western (NextStep)"), QByteArray::fromHex("436166d5 20 dd74dd"),
         QString::fromUtf8("Cafà été")},
        {QStringLiteral("Symbol (Mac OS)"), QByteArray("abg"), QString::fromUtf8("αβγ")},
        {QStringLiteral("Farsi (Mac OS)"), QByteArray::fromHex("d3e4c7e5 20 c8e7 20 f8"),
         QString::fromUtf8("سلام به گ")},
    };
    for (const auto &[row, bytes, text] : samples)
        EXPECT_EQ(TextDecoder::decode(bytes, numberOf(row)), text) << row.toStdString();
    // The Apple logo is private use and, in Apple's tables, text.
    EXPECT_EQ(TextDecoder::decode(QByteArray::fromHex("f0"), numberOf(QStringLiteral("Icelandic (Mac OS)"))),
              QString(QChar(0xF8FF)));
    EXPECT_EQ(SingleByteTable::named("Tibetan"), nullptr);
}

} // namespace
