#include "library/NonLossyAsciiDecoder.h"

#include <gtest/gtest.h>

namespace {
std::optional<QString> decode(const char *bytes)
{
    return NonLossyAsciiDecoder::decode(QByteArray(bytes));
}

TEST(NonLossyAsciiDecoder, DecodesEscapes)
{
    EXPECT_EQ(decode("plain text, 100%"), QStringLiteral("plain text, 100%"));
    EXPECT_EQ(decode("caf\\351"), QString::fromUtf8("café"));
    EXPECT_EQ(decode("caf\\u00e9 \\U00C9"), QString::fromUtf8("café É"));
    EXPECT_EQ(decode("a\\\\b"), QStringLiteral("a\\b"));
    EXPECT_EQ(decode("\\u65e5\\u672C"), QString::fromUtf8("日本"));
    EXPECT_EQ(decode("\\ud83d\\ude00!"), QString::fromUtf8("😀!"));
    // The escape takes exactly its digits; what follows is plain text.
    EXPECT_EQ(decode("\\3517"), QString::fromUtf8("é7"));
    EXPECT_EQ(decode("\\u00e9ff"), QString::fromUtf8("éff"));
    EXPECT_EQ(decode("\\101\\102"), QStringLiteral("AB"));
    EXPECT_EQ(decode(""), QString());
}

TEST(NonLossyAsciiDecoder, RejectsEightBitBytesAndBadEscapes)
{
    for (const char *bad : {
             "caf\xE9", // Latin-1 é as a raw byte
             "\x80", //
             "tab\\t", // unknown escape
             "\\x41", //
             "\\8", // not octal
             "\\35", // octal cut off
             "\\35a", // two octal digits only
             "\\u00e", // hex cut off at the end
             "\\u00eg", // not hex
             "\\u", //
             "end\\", // lone backslash at the end
             "\\ud83d", // high surrogate at the end
             "\\ud83dx", // high surrogate without its partner
             "\\ude00\\ud83d", // pair in the wrong order
         })
        EXPECT_FALSE(decode(bad).has_value()) << bad;
}
} // namespace
