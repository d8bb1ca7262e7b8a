#include "library/ImportTargetName.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char *what;
    QString title;
    QString artist;
    QString source;
    QString expected; // empty: only the safety rules are checked
};

// One path component that every file system takes and no listing hides.
void expectSafe(const QString &name, const char *what)
{
    EXPECT_FALSE(name.contains(QLatin1Char('/'))) << what << ": " << qPrintable(name);
    EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << what << ": " << qPrintable(name);
    EXPECT_FALSE(name.startsWith(QLatin1Char(' '))) << what << ": " << qPrintable(name);
    EXPECT_LE(QFile::encodeName(name).size(), ImportTargetName::kMaxNameBytes) << what;
    EXPECT_TRUE(name.endsWith(QLatin1String(".m4a"))) << what << ": " << qPrintable(name);
    EXPECT_GT(name.size(), 4) << what;
    for (QChar c : name)
        EXPECT_NE(c.category(), QChar::Other_Control) << what;
    // Whole characters only: the name survives the trip through the file system's bytes.
    EXPECT_EQ(QString::fromUtf8(QFile::encodeName(name)), name) << what;
}

TEST(ImportTargetName, TitleDashArtistUnlessThatIsNoSafeFileName)
{
    const QString src = QStringLiteral("/music/Artist/track01.flac");
    const QList<Case> cases = {
        {"plain", "Intro", "Band", src, "Intro-Band.m4a"},
        {"Korean", QStringLiteral("사랑"), QStringLiteral("가수"), src, QStringLiteral("사랑-가수.m4a")},
        {"spaces inside stay", "Back in Black", "AC DC", src, "Back in Black-AC DC.m4a"},
        {"no artist keeps the dash", "Intro", QString(), src, "Intro-.m4a"},
        {"slash in the title", "AC/DC Live", "Band", src, "AC_DC Live-Band.m4a"},
        {"slash in the artist", "Thunderstruck", "AC/DC", src, "Thunderstruck-AC_DC.m4a"},
        {"climbing out", "../../etc/passwd", "x", src, "_.._etc_passwd-x.m4a"},
        {"dot-dot title", "..", "x", src, "track01-x.m4a"},
        {"empty title", "", "Band", src, "track01-Band.m4a"},
        {"no title", QString(), "Band", src, "track01-Band.m4a"},
        {"blank title", "  . ", "Band", src, "track01-Band.m4a"},
        {"hidden name", ".hidden", "Band", src, "hidden-Band.m4a"},
        {"ends in dots and spaces", "Song", "Artist. . ", src, "Song-Artist.m4a"},
        {"control characters", QStringLiteral("Intro\n\tTab\x01"), "Band", src, "Intro__Tab_-Band.m4a"},
        {"NUL", QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b"), "Band", src, "a_b-Band.m4a"},
        {"lone surrogate", QString(QChar(0xD800)) + QStringLiteral("x"), "Band", src,
         QString(QChar::ReplacementCharacter) + QStringLiteral("x-Band.m4a")},
        {"nothing at all", QString(), QString(), QStringLiteral("/music/.mp3"), "-.m4a"},
    };
    for (const Case &c : cases) {
        const QString name = ImportTargetName::fileName(c.title, c.artist, c.source);
        EXPECT_EQ(name, c.expected) << c.what;
        expectSafe(name, c.what);
    }
}

TEST(ImportTargetName, LongNamesAreCutAtCharactersKeepingTheExtension)
{
    const QString src = QStringLiteral("/music/x.mp3");
    // ASCII: exactly the limit.
    const QString ascii = ImportTargetName::fileName(QString(300, QLatin1Char('a')), QStringLiteral("Band"), src);
    EXPECT_EQ(QFile::encodeName(ascii).size(), ImportTargetName::kMaxNameBytes);
    EXPECT_EQ(ascii, QString(251, QLatin1Char('a')) + QStringLiteral(".m4a"));
    expectSafe(ascii, "ascii");

    // Three bytes a character: never a broken character at the cut.
    const QString korean = ImportTargetName::fileName(QString(200, QChar(0xC0AC)), QStringLiteral("가수"), src);
    expectSafe(korean, "korean");
    EXPECT_EQ(korean, QString(83, QChar(0xC0AC)) + QStringLiteral(".m4a"));
    EXPECT_EQ(QString::fromUtf8(QFile::encodeName(korean)), korean);

    // Four-byte characters (surrogate pairs) and combining marks stay whole.
    const QString note = QString::fromUtf8("\xF0\x9F\x8E\xB5"); // U+1F3B5
    const QString emoji = ImportTargetName::fileName(note.repeated(100), QStringLiteral("Band"), src);
    expectSafe(emoji, "emoji");
    EXPECT_EQ(emoji, note.repeated(62) + QStringLiteral(".m4a"));
    const QString accented = QStringLiteral("e") + QChar(0x0301); // e and a combining acute: 3 bytes
    const QString combined = ImportTargetName::fileName(accented.repeated(120), QStringLiteral("Band"), src);
    expectSafe(combined, "combining");
    EXPECT_EQ(combined, accented.repeated(83) + QStringLiteral(".m4a"));
}

} // namespace
