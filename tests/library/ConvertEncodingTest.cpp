#include "TestHome.h"
#include "support/SongFixtures.h"

#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char *label;
    quint32 encoding;
    QByteArray stored; // the bytes in the tag's Latin-1 frame
    const char *expected; // UTF-8 of the decoded text; nullptr: shown unchanged
};

void selectEncoding(quint32 number)
{
    UserDefaults::standard().setObject(qlonglong(number), SettingsKeys::selectedEncodingNumberKey);
}

// Writes the bytes into a Latin-1 title frame, reads the song back and converts the
// title, as the lists do when they show it.
QString shownTitle(const TestHome &home, const QByteArray &stored)
{
    SongFixtures::Tags tags;
    tags.title = QString::fromLatin1(stored);
    const QString song = home.documents() + "/legacy.mp3";
    if (!SongFixtures::writeMp3(song, SongFixtures::Tagging::Id3v23, tags))
        return QStringLiteral("<fixture failed>");
    const QString title = ZivoModel::getFileInfoDicWithURL(QUrl::fromLocalFile(song)).value("title").toString();
    return ZivoModel::convertEncodeWithString(title);
}

TEST(ConvertEncoding, LegacyTagTextOfEachScriptFamilyThroughTheWholePath)
{
    TestHome home;
    ZivoModel::appInit();
    const Case cases[] = {
        {"EUC-KR", 2147486016u, "\xB3\xEB\xB7\xA1", "노래"},
        {"CP949", 2147484706u, "\x8C\x63\xB9\xE6\xB0\xA2\xC7\xCF", "똠방각하"},
        {"CP949-only bytes under EUC-KR", 2147486016u, "\x8C\x63\xB9\xE6\xB0\xA2\xC7\xCF", nullptr},
        {"Shift_JIS", 2147486209u, "\x93\x8C\x8B\x9E\x82\xCC\x8B\xF3", "東京の空"},
        {"EUC-JP", 3u, "\xC5\xEC\xB5\xFE\xA4\xCE\xB6\xF5", "東京の空"},
        {"Shift_JIS bytes under EUC-JP", 3u, "\x93\x8C\x8B\x9E\x82\xCC\x8B\xF3", nullptr},
        {"GBK", 2147485233u, "\xD6\xD0\xCE\xC4\xB8\xE8\xC7\xFA", "中文歌曲"},
        {"GB 18030 four-byte", 2147485234u, "\xB8\xE8\x94\x39\xC1\x39", "歌🎵"},
        {"GB 18030 four-byte under GBK", 2147485233u, "\xB8\xE8\x94\x39\xC1\x39", nullptr},
        {"Big5", 2147486211u, "\xA4\xA4\xA4\xE5\xBA\x71\xA6\xB1", "中文歌曲"},
        {"CP1251", 11u, "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
        {"KOI8-R", 2147486210u, "\xF0\xD2\xC9\xD7\xC5\xD4", "Привет"},
        {"Mac OS Roman", 30u, "\x63\x61\x66\x8E", "café"},
        {"undefined Windows Latin 1 byte", 12u, "\x63\x61\x66\x81", nullptr},
        {"Latin-1 text under UTF-8", 4u, "\x63\x61\x66\xE9", nullptr},
        {"UTF-8 bytes in a Latin-1 frame", 4u, "caf\xC3\xA9", "café"},
        {"ASCII under EUC-KR", 2147486016u, "Plain title", "Plain title"},
        {"a number in no row", 999u, "\xB3\xEB\xB7\xA1", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        selectEncoding(c.encoding);
        const QString expected = c.expected ? QString::fromUtf8(c.expected) : QString::fromLatin1(c.stored);
        EXPECT_EQ(shownTitle(home, c.stored), expected);
    }
}

TEST(ConvertEncoding, TextTheTagReaderAlreadyDecodedIsLeftAlone)
{
    TestHome home;
    ZivoModel::appInit();
    selectEncoding(2147486016u);
    EXPECT_EQ(ZivoModel::convertEncodeWithString(QString::fromUtf8("노래")), QString::fromUtf8("노래"));
    EXPECT_EQ(ZivoModel::convertEncodeWithString(QString()), QString());
    const QString decodedAfterNul = QStringLiteral("abc") + QChar(0) + QString::fromUtf8("한");
    EXPECT_EQ(ZivoModel::convertEncodeWithString(decodedAfterNul), decodedAfterNul);
    // Only the bytes before a zero byte count.
    EXPECT_EQ(ZivoModel::convertEncodeWithString(QString::fromLatin1("\xB3\xEB\xB7\xA1\0junk", 9)),
              QString::fromUtf8("노래"));
}

} // namespace
