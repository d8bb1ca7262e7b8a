#include "TestHome.h"
#include "library/EncodingTable.h"
#include "library/TextDecoder.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// Byte strings were produced with Python's codecs, independently of ICU and glibc.
namespace {
quint32 numberOf(const char *name)
{
    const QString wanted = QString::fromUtf8(name);
    for (const EncodingTable::Row &row : EncodingTable::rows()) {
        if (row.name == wanted)
            return row.number;
    }
    ADD_FAILURE() << "no row " << name;
    return 0;
}

std::optional<QString> decode(const char *hex, const char *encodingName)
{
    return TextDecoder::decode(QByteArray::fromHex(hex), numberOf(encodingName));
}

struct Sample
{
    const char *encoding;
    const char *hex;
    const char *text; // UTF-8
};

void expectDecodes(std::initializer_list<Sample> samples)
{
    for (const Sample &s : samples) {
        const std::optional<QString> text = decode(s.hex, s.encoding);
        ASSERT_TRUE(text.has_value()) << s.encoding << ": " << s.text;
        EXPECT_EQ(*text, QString::fromUtf8(s.text)) << s.encoding;
    }
}

void expectFails(std::initializer_list<Sample> samples)
{
    for (const Sample &s : samples)
        EXPECT_FALSE(decode(s.hex, s.encoding).has_value()) << s.encoding << ": " << s.hex << " (" << s.text << ")";
}

TEST(TextDecoder, DecodesEastAsianText)
{
    expectDecodes({
        {"Korean (EUC)", "c7d1 b1b9 beee 20 b3eb b7a1", "한국어 노래"},
        {"Korean (Mac OS)", "c7d1 b1b9 beee", "한국어"},
        {"Korean (Windows DOS)", "8c63 b9e6 b0a2 c7cf", "똠방각하"},
        {"Korean (ISO 2022-KR)", "1b242943 0e 4751 3139 3e6e 0f", "한국어"},
        {"Japanese (Shift JIS)", "93fa 967b 8cea 82cc 89cc", "日本語の歌"},
        {"Japanese (Windows DOS)", "93fa 967b 8cea 82cc 89cc", "日本語の歌"},
        {"Japanese (Mac OS)", "93fa 967b 8cea", "日本語"},
        {"Japanese (EUC)", "c6fc cbdc b8ec a4ce b2ce", "日本語の歌"},
        {"Japanese (ISO 2022-JP)", "1b2442 467c 4b5c 386c 1b2842 206f6b", "日本語 ok"},
        {"Japanese (Shift JIS X0213)", "9058 efe3 8a4f", "森鷗外"},
        {"Japanese (Shift JIS X0213)", "93fa 967b 8cea", "日本語"},
        {"Chinese (GBK)", "d6d0 cec4 b8e8 c7fa", "中文歌曲"},
        {"Chinese (GB 18030)", "d6d0 cec4 b8e8 c7fa a2e3", "中文歌曲€"},
        {"Simplified Chinese (EUC)", "d6d0 cec4", "中文"},
        {"Traditional Chinese (Big 5)", "a4a4 a4e5 ba71 a6b1", "中文歌曲"},
        {"Traditional Chinese (Big 5 HKSCS)", "adbb b4e4 9df2", "香港𨋢"},
    });
}

TEST(TextDecoder, RejectsInvalidEastAsianBytes)
{
    expectFails({
        // EUC-KR takes 8C as a C1 control and 63 as 'c' without complaint.
        {"Korean (EUC)", "8c63 b9e6 b0a2 c7cf", "똠방각하 in CP949"},
        {"Korean (Mac OS)", "8c63", "똠 in CP949"},
        {"Korean (EUC)", "c741", "bad trail byte"},
        {"Korean (ISO 2022-KR)", "1b242943 0e c7", "eight-bit byte after shift out"},
        {"Japanese (Shift JIS)", "9058 efe3 8a4f", "森鷗外 in Shift JIS X0213"},
        {"Japanese (Shift JIS)", "8220", "bad trail byte"},
        {"Japanese (Shift JIS)", "93", "lead byte cut off"},
        {"Japanese (Shift JIS X0213)", "8220", "bad trail byte"},
        {"Japanese (Shift JIS X0213)", "93fa 96", "lead byte cut off"},
        {"Japanese (EUC)", "c6fc a1", "lead byte cut off"},
        {"Japanese (ISO 2022-JP)", "1b2442 ff", "eight-bit byte in JIS X 0208"},
        {"Chinese (GBK)", "8120", "bad trail byte"},
        {"Chinese (GB 18030)", "8130", "four-byte form cut off"},
        {"Traditional Chinese (Big 5)", "a120", "bad trail byte"},
        {"Traditional Chinese (Big 5 HKSCS)", "a120", "bad trail byte"},
        {"Traditional Chinese (EUC)", "c4", "lead byte cut off"},
        // User-defined areas come out as private use, which no font shows.
        {"Traditional Chinese (Big 5)", "a4a4 8140", "user-defined area"},
        {"Korean (Windows DOS)", "c9a1", "user-defined area"},
    });
}

TEST(TextDecoder, DecodesSingleByteTables)
{
    expectDecodes({
        {"Cyrillic (Windows)", "cff0e8e2e5f2 20 ece8f0", "Привет мир"},
        {"Cyrillic (KOI8-R)", "f0d2c9d7c5d4 20 cdc9d2", "Привет мир"},
        {"Cyrillic (ISO 8859-5)", "bfe0d8d2d5e2 20 dcd8e0", "Привет мир"},
        {"Cyrillic (DOS)", "8fe0a8a2a5e2", "Привет"},
        {"Cyrillic (Mac OS)", "8ff0e8e2e5f2 ff", "Привет€"},
        {"Cyrillic (Mac OS Ukrainian)", "8ff0e8e2e5f2 ff", "Привет€"},
        {"Western (Mac OS Roman)", "436166 8e 20 63 72 8f 6d 65", "Café crème"},
        // The Apple logo lives in private use and must survive.
        {"Western (Mac OS Roman)", "f0", "\xEF\xA3\xBF"},
        {"Western (Windows Latin 1)", "436166e9 20 93 71756f7465 94", "Café “quote”"},
        {"Western (ISO Latin 1)", "636166e9", "café"},
        {"Western (DOS Latin 1)", "43616682", "Café"},
        {"Central European (Mac OS)", "fc976490", "Łódź"},
        {"Central European (Windows Latin 2)", "a3f3649f", "Łódź"},
        {"Greek (Mac OS)", "bae1ece8eddbf2e1", "Καλημέρα"},
        {"Greek (Windows)", "cae1ebe7ecddf1e1", "Καλημέρα"},
        {"Greek (ISO 8859-7)", "cae1ebe7ecddf1e1", "Καλημέρα"},
        {"Turkish (Mac OS)", "de61726bdd", "Şarkı"},
        {"Icelandic (Mac OS)", "de9772dd7572 20 80", "Þórður Ä"},
        {"Romanian (Mac OS)", "af7469696edfbe", "Știință"},
        {"Arabic (Windows)", "e3d1cdc8c7", "مرحبا"},
        {"Thai (Windows DOS)", "cac7d1cab4d5", "สวัสดี"},
        {"Thai (Mac OS)", "cac7d1cab4d5", "สวัสดี"},
        {"Western (EBCDIC US)", "c8859393 96", "Hello"},
    });
}

TEST(TextDecoder, RejectsUndefinedSingleBytes)
{
    expectFails({
        // Tables that define every byte can only be caught by what they produce.
        {"Western (Windows Latin 1)", "436166 81", "undefined byte 0x81"},
        {"Central European (Windows Latin 2)", "81", "undefined byte"},
        {"Cyrillic (Windows)", "98", "undefined byte"},
        {"Greek (Windows)", "aa", "undefined byte"},
        {"Western (ISO Latin 1)", "636166 85", "C1 control"},
        {"Cyrillic (ISO 8859-5)", "9f", "C1 control"},
        {"Thai (Windows DOS)", "cac7 db", "undefined byte ICU maps to private use"},
        {"Thai (Mac OS)", "80", "Apple punctuation the stand-in lacks"},
        {"Devanagari (Mac OS)", "80", "Apple extra the stand-in lacks"},
        {"Western (ISO Latin 3)", "a5", "undefined byte"},
        {"Hebrew (Windows)", "d9", "undefined byte"},
        {"Western (ASCII)", "636166e9", "café in Latin-1"},
    });
}

TEST(TextDecoder, Utf8IsStrictAndDropsTheByteOrderMark)
{
    expectDecodes({
        {"Unicode™ (UTF-8)", "636166c3a9 20 e697a5e69cac", "café 日本"},
        {"Unicode™ (UTF-8)", "efbbbf 636166c3a9", "café"},
        // Private use is kept in Unicode rows: Apple users' tags carry the Apple logo.
        {"Unicode™ (UTF-8)", "efa3bf 206d7573696b", "\xEF\xA3\xBF musik"},
        // Only a leading mark is dropped; elsewhere it is text.
        {"Unicode™ (UTF-8)", "efbbbf 41 efbbbf", "A\xEF\xBB\xBF"},
    });
    expectFails({
        {"Unicode™ (UTF-8)", "636166e9", "café in Latin-1"},
        {"Unicode™ (UTF-8)", "c328", "bad continuation"},
        {"Unicode™ (UTF-8)", "e697", "cut off"},
        {"Unicode™ (UTF-8)", "c0af", "overlong slash"},
        {"Unicode™ (UTF-8)", "eda080", "encoded surrogate"},
        {"Unicode™ (UTF-8)", "c285", "C1 control"},
    });
}

TEST(TextDecoder, Utf16HonoursTheByteOrderMarkAndReadsBigEndianWithout)
{
    expectDecodes({
        {"Unicode™ (UTF-16)", "0048 0069 0020 00e9", "Hi é"},
        {"Unicode™ (UTF-16)", "feff 0048 0069 0020 00e9", "Hi é"},
        {"Unicode™ (UTF-16)", "fffe 4800 6900 2000 3dd8 00de", "Hi 😀"},
        {"Unicode™ (UTF-16)", "", ""},
    });
    expectFails({
        {"Unicode™ (UTF-16)", "0048 00", "odd length"},
        {"Unicode™ (UTF-16)", "fffe 00d8 4100", "lead surrogate without trail"},
        {"Unicode™ (UTF-16)", "0041 dc00", "trail surrogate alone"},
        {"Unicode™ (UTF-16)", "0041 d83d", "lead surrogate at the end"},
    });
}

TEST(TextDecoder, NonLossyAsciiRowUsesItsEscapes)
{
    EXPECT_EQ(TextDecoder::decode("caf\\351", 7), QString::fromUtf8("café"));
    EXPECT_FALSE(TextDecoder::decode("caf\xE9", 7).has_value());
    // Escapes of C1 controls are as wrong as the raw bytes elsewhere.
    EXPECT_FALSE(TextDecoder::decode("\\u0085", 7).has_value());
}

TEST(TextDecoder, RowsWithoutACodecLeaveTextAlone)
{
    for (const char *name : {"Tibetan (Mac OS)", "Keyboard Symbols (Mac OS)"})
        EXPECT_FALSE(TextDecoder::decode("Hello", numberOf(name)).has_value()) << name;
}

// A converter left mid-sequence by a failure must not spoil the next text.
TEST(TextDecoder, FailureDoesNotCarryOverToTheNextCall)
{
    for (const Sample &s :
         {Sample{"Japanese (ISO 2022-JP)", "1b2442 467c ff", ""}, Sample{"Japanese (Shift JIS X0213)", "93fa 8220", ""},
          Sample{"Chinese (GB 18030)", "d6d0 8130", ""}, Sample{"Unicode™ (UTF-16)", "fffe 4800 00d8 41", ""}}) {
        EXPECT_FALSE(decode(s.hex, s.encoding).has_value()) << s.encoding;
        const quint32 number = numberOf(s.encoding);
        const QByteArray hello = number == 10 ? QByteArray::fromHex("00480069") : QByteArray("Hi");
        EXPECT_EQ(TextDecoder::decode(hello, number), QStringLiteral("Hi")) << s.encoding;
    }
}

TEST(TextDecoder, DecodesFromSeveralThreadsAtOnce)
{
    // Shared with the threads, which outlive the test if they never finish.
    struct Shared
    {
        QList<Sample> samples;
        std::atomic<int> wrong = 0;
        std::atomic<int> finished = 0;
    };
    const auto shared = std::make_shared<Shared>();
    shared->samples = {
        {"Japanese (ISO 2022-JP)", "1b2442 467c 4b5c 386c 1b2842 206f6b", "日本語 ok"},
        {"Japanese (Shift JIS X0213)", "9058 efe3 8a4f", "森鷗外"},
        {"Korean (EUC)", "c7d1 b1b9 beee", "한국어"},
        {"Chinese (GB 18030)", "d6d0 cec4 b8e8 c7fa a2e3", "中文歌曲€"},
    };
    constexpr int kThreads = 4;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([shared, t] {
            for (int i = 0; i < 500; ++i) {
                const Sample &s = shared->samples[(t + i) % shared->samples.size()];
                if (decode(s.hex, s.encoding) != QString::fromUtf8(s.text))
                    ++shared->wrong;
            }
            ++shared->finished;
        });
    }
    const bool finished = waitUntil([&] { return shared->finished == kThreads; }, 30000);
    for (std::thread &thread : threads)
        finished ? thread.join() : thread.detach();
    ASSERT_TRUE(finished) << "the decoding threads did not finish";
    EXPECT_EQ(shared->wrong.load(), 0);
}
} // namespace
