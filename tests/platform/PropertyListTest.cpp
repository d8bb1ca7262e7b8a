#include "platform/Date.h"
#include "platform/PropertyList.h"

#include <QSize>
#include <QStringList>

#include <gtest/gtest.h>

#include <ctime>
#include <limits>

namespace {

QVariantMap sample()
{
    return QVariantMap{
        {"text", QStringLiteral("Unicode\u2122 (UTF-8) \uD55C\uAE00 <&> \"quoted\"")},
        {"lines", QStringLiteral("first\r\nsecond\rthird\n\tindented")},
        {"empty", QString("")},
        {"integer", qlonglong(-42)},
        {"encoding", qlonglong(2147483648LL + 0x0422)},
        {"real", 0.1 + 0.2},
        {"yes", true},
        {"no", false},
        {"date", QVariant::fromValue(Date(1765045346123456789LL))},
        {"beforeEpoch", QVariant::fromValue(Date(-1'500'000'001LL))},
        {"bytes", QByteArray("\x00\x01\xff png", 8)},
        {"list", QVariantList{QStringLiteral("a"), qlonglong(1), QVariantList{}, QVariantMap{}}},
        {"names", QStringList{QStringLiteral("b"), QStringLiteral("Documents")}},
        {"escapes", QStringLiteral("\x1b$B\x30\x21\x1b(B bell\x07")},
        {"loneSurrogate", QString(QChar(0xD800)) + QStringLiteral("x")},
        // Keys are folder names in the listing cache, and a folder name may hold anything.
        {QStringLiteral("folderfilelist/a\x01b"), QStringLiteral("control character in a key")},
    };
}

TEST(PropertyList, RoundTripsEveryValueTypeExactly)
{
    const QVariantMap in = sample();
    const auto xml = PropertyList::toXml(in);
    ASSERT_TRUE(xml.has_value());
    QString error;
    const auto out = PropertyList::fromXml(*xml, &error);
    ASSERT_TRUE(out.has_value()) << error.toStdString();
    const QVariantMap map = out->toMap();

    EXPECT_EQ(map.value("text").toString(), in.value("text").toString());
    EXPECT_EQ(map.value("lines").toString(), in.value("lines").toString()) << "carriage returns must survive";
    EXPECT_EQ(map.value("empty").typeId(), QMetaType::QString);
    EXPECT_EQ(map.value("integer").toLongLong(), -42);
    EXPECT_EQ(map.value("encoding").toLongLong(), 2147483648LL + 0x0422);
    EXPECT_EQ(map.value("real").toDouble(), 0.1 + 0.2);
    EXPECT_EQ(map.value("yes").typeId(), QMetaType::Bool);
    EXPECT_TRUE(map.value("yes").toBool());
    EXPECT_FALSE(map.value("no").toBool());
    EXPECT_EQ(map.value("date").value<Date>(), Date(1765045346123456789LL));
    EXPECT_EQ(map.value("beforeEpoch").value<Date>(), Date(-1'500'000'001LL));
    EXPECT_EQ(map.value("date"), in.value("date")) << "dates compare as QVariants";
    EXPECT_EQ(map.value("bytes").toByteArray(), in.value("bytes").toByteArray());
    EXPECT_EQ(map.value("list").toList().size(), 4);
    EXPECT_EQ(map.value("names").toStringList(), (QStringList{"b", "Documents"}));
    EXPECT_EQ(map.value("escapes").toString(), in.value("escapes").toString()) << "control characters survive";
    EXPECT_EQ(map.value("loneSurrogate").toString(), in.value("loneSurrogate").toString());
    EXPECT_EQ(map.keys(), in.keys());
}

TEST(PropertyList, RefusesValuesThatWouldNotReadBack)
{
    EXPECT_FALSE(PropertyList::isPropertyList(QVariant()));
    EXPECT_FALSE(PropertyList::isPropertyList(QVariantList{QVariant::fromValue(QSize(1, 1))}));
    EXPECT_FALSE(PropertyList::isPropertyList(qQNaN()));
    EXPECT_TRUE(PropertyList::isPropertyList(sample()));
    EXPECT_TRUE(PropertyList::isPropertyList(QStringLiteral("\U0001F3B5 emoji pair")));
}

TEST(PropertyList, RejectsDamagedDocuments)
{
    const QByteArray whole = *PropertyList::toXml(sample());
    QString error;
    EXPECT_FALSE(PropertyList::fromXml(whole.left(whole.size() / 2), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(PropertyList::fromXml("", &error).has_value());
    EXPECT_FALSE(PropertyList::fromXml("not xml at all", &error).has_value());
    EXPECT_FALSE(PropertyList::fromXml("<plist><integer>12abc</integer></plist>", &error).has_value());
    EXPECT_FALSE(PropertyList::fromXml("<plist><date>yesterday</date></plist>", &error).has_value());
    EXPECT_FALSE(PropertyList::fromXml("<plist><dict><string>no key</string></dict></plist>", &error).has_value());
    EXPECT_FALSE(PropertyList::fromXml("<plist><string>a</string><string>b</string></plist>", &error).has_value());
    EXPECT_FALSE(PropertyList::fromXml("<plist><unknown/></plist>", &error).has_value());
    EXPECT_TRUE(PropertyList::fromXml("<plist><dict><key>k</key><true/></dict></plist>", &error).has_value());
}

TEST(PropertyList, DamagedBase64IsRefusedNotReadAsWhateverSurvives)
{
    const auto data = PropertyList::fromXml("<plist><data>AAECAw==</data></plist>");
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->toByteArray(), QByteArray("\x00\x01\x02\x03", 4));
    EXPECT_EQ(PropertyList::fromXml("<plist><data>AAECAw</data></plist>").value_or(QVariant()).toByteArray(),
              QByteArray("\x00\x01\x02\x03", 4))
        << "padding may be left out";
    EXPECT_EQ(PropertyList::fromXml("<plist><data></data></plist>").value_or(QVariant()).typeId(),
              QMetaType::QByteArray);
    // Other writers wrap and indent base64: white space between the groups is no damage.
    EXPECT_EQ(PropertyList::fromXml("<plist><data>\n\tAAEC Aw==\n</data></plist>").value_or(QVariant()).toByteArray(),
              QByteArray("\x00\x01\x02\x03", 4));
    // Foreign characters, characters after the padding, wrong padding, a cut-off group.
    for (const char *bad : {"AAE*Aw==", "!!!!", "AAECAw=x", "AAECAw=", "AAECA", "A", "AAECAw==AA=="}) {
        QString error;
        EXPECT_FALSE(PropertyList::fromXml(QByteArray("<plist><data>") + bad + "</data></plist>", &error).has_value())
            << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
    // The same for text that had to be stored as base64, as a value and as a key.
    const auto text = PropertyList::fromXml("<plist><string encoding=\"base64-utf16be\">AEgAaQ==</string></plist>");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->toString(), QStringLiteral("Hi"));
    for (const char *bad : {"AEg*AGk=", "!!!!", "AEgA", "AEgAa"}) {
        EXPECT_FALSE(
            PropertyList::fromXml(QByteArray("<plist><string encoding=\"base64-utf16be\">") + bad + "</string></plist>")
                .has_value())
            << bad;
        EXPECT_FALSE(PropertyList::fromXml(QByteArray("<plist><dict><key encoding=\"base64-utf16be\">") + bad
                                           + "</key><true/></dict></plist>")
                         .has_value())
            << bad;
    }
}

TEST(Date, IsoTextKeepsNanosecondsAndAcceptsShorterFractions)
{
    const Date date(1765045346000000007LL);
    EXPECT_EQ(date.toIsoString(), QStringLiteral("2025-12-06T18:22:26.000000007Z"));
    EXPECT_EQ(Date::fromIsoString(date.toIsoString()), date);
    EXPECT_EQ(Date::fromIsoString("2025-12-06T18:22:26Z"), Date(1765045346000000000LL));
    EXPECT_EQ(Date::fromIsoString("2025-12-06T18:22:26.5Z"), Date(1765045346500000000LL));
    EXPECT_FALSE(Date::fromIsoString("2025-13-06T18:22:26Z").has_value());
    EXPECT_FALSE(Date::fromIsoString("2025-12-06 18:22:26").has_value());
    EXPECT_FALSE(Date::fromIsoString("2025-02-29T00:00:00Z").has_value());
}

TEST(Date, EveryRepresentableDateRoundTripsWhateverTheLocalTimeZone)
{
    // The hour that New York skips when its clocks go forward must still read back.
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    ::tzset();
    const Date skipped(1741486500000000000LL);
    EXPECT_EQ(skipped.toIsoString(), QStringLiteral("2025-03-09T02:15:00.000000000Z"));
    for (const Date date : {skipped, Date(std::numeric_limits<std::int64_t>::min()),
                            Date(std::numeric_limits<std::int64_t>::max()), Date(-1), Date(0)})
        EXPECT_EQ(Date::fromIsoString(date.toIsoString()), date) << date.toIsoString().toStdString();
    EXPECT_EQ(Date(-1).toIsoString(), QStringLiteral("1969-12-31T23:59:59.999999999Z"));
    oldZone.isNull() ? qunsetenv("TZ") : qputenv("TZ", oldZone);
    ::tzset();

    // Time stamps beyond the nanosecond range saturate instead of wrapping around.
    EXPECT_EQ(Date::fromSeconds(253402300800LL, 0), Date(std::numeric_limits<std::int64_t>::max()));
    EXPECT_EQ(Date::fromSeconds(-253402300800LL, 0), Date(std::numeric_limits<std::int64_t>::min()));
    EXPECT_FALSE(Date::fromIsoString("9999-12-31T00:00:00Z").has_value());
}

} // namespace
