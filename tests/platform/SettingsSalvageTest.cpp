#include "TestHome.h"

#include "platform/Date.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray plist(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n"
        + body + "\n</plist>\n";
}

// A store as other tools leave it: playlists and choices next to one value of each kind
// this store cannot hold, and the variants other writers use for what it can.
const QByteArray kDamaged = plist(R"(<dict>
	<key>playlistfolderkey</key>
	<dict>
		<key>Morning</key>
		<array>
			<string>Rock/a.mp3</string>
			<date>9999-12-31T23:59:59Z</date>
			<string>/b.mp3</string>
		</array>
	</dict>
	<key>appsettingplaymodekey</key>
	<string>0</string>
	<key>farFuture</key>
	<date>4000-01-01T00:00:00Z</date>
	<key>huge</key>
	<real>1e400</real>
	<key>long</key>
	<integer>12345678901234567890123</integer>
	<key>uid</key>
	<uid>7</uid>
	<key>badData</key>
	<data>@@@@</data>
	<key>offset</key>
	<date>2024-03-01T09:30:00+09:00</date>
	<key>offsetCompact</key>
	<date>2024-03-01T00:30:00-0500</date>
	<key>wrapped</key>
	<data>
	SGVsbG8sIHdy
	YXBwZWQgd29y
	bGQh
	</data>
	<key>selectedEncodingNumberKey</key>
	<integer>2147486016</integer>
</dict>)");

Date utc(int year, unsigned month, unsigned day, int hour, int minute)
{
    using namespace std::chrono;
    const sys_days date = year_month_day{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
    return Date::fromSeconds(std::int64_t(date.time_since_epoch().count()) * 86400 + hour * 3600 + minute * 60, 0);
}

TEST(PropertyListReading, ReadsWhatCanBeReadAndNamesWhatWasSkipped)
{
    QString error;
    QStringList skipped;
    const std::optional<QVariant> root = PropertyList::fromXml(kDamaged, &error, &skipped);
    ASSERT_TRUE(root.has_value()) << error.toStdString();
    const QVariantMap map = root->toMap();
    EXPECT_EQ(map.value("playlistfolderkey").toMap().value("Morning").toList(), (QVariantList{"Rock/a.mp3", "/b.mp3"}));
    EXPECT_EQ(map.value("appsettingplaymodekey"), QVariant("0"));
    EXPECT_EQ(map.value("selectedEncodingNumberKey").toLongLong(), 2147486016LL);
    for (const char *gone : {"farFuture", "huge", "long", "uid", "badData"})
        EXPECT_FALSE(map.contains(gone)) << gone;
    EXPECT_EQ(skipped.size(), 6) << skipped.join('\n').toStdString();
    EXPECT_EQ(skipped.filter("\"long\"").size(), 1) << "each skipped value names its key";
    EXPECT_EQ(skipped.filter("<date>").size(), 2);

    // Time-zone offsets and wrapped base64, as other writers produce them.
    EXPECT_EQ(map.value("offset").value<Date>(), utc(2024, 3, 1, 0, 30));
    EXPECT_EQ(map.value("offsetCompact").value<Date>(), utc(2024, 3, 1, 5, 30));
    EXPECT_EQ(map.value("wrapped").toByteArray(), QByteArray("Hello, wrapped world!"));
}

TEST(PropertyListReading, DatesTakeEveryOffsetFormAndRefuseNonsense)
{
    const Date noon = utc(2024, 6, 1, 12, 0);
    for (const char *text :
         {"2024-06-01T12:00:00Z", "2024-06-01T14:00:00+02:00", "2024-06-01T14:00:00+0200", "2024-06-01T14:00:00+02",
          "2024-06-01T07:00:00-05:00", "2024-06-01T12:00:00.000+00:00", "2024-06-01T21:45:00+09:45"}) {
        const std::optional<Date> date = Date::fromIsoString(text);
        ASSERT_TRUE(date.has_value()) << text;
        EXPECT_EQ(*date, noon) << text;
    }
    for (const char *text : {"2024-06-01T12:00:00+24:00", "2024-06-01T12:00:00+02:60", "2024-06-01T12:00:00+2",
                             "2024-06-01T12:00:00", "9999-12-31T23:59:59Z"})
        EXPECT_FALSE(Date::fromIsoString(text).has_value()) << text;
}

TEST(PropertyListReading, DamageToTheDocumentItselfStillRefusesIt)
{
    QStringList skipped{"stale"};
    EXPECT_FALSE(PropertyList::fromXml(plist("<dict><key>a</key><string>x</string>"), nullptr, &skipped));
    EXPECT_TRUE(skipped.isEmpty());
    EXPECT_FALSE(PropertyList::fromXml(plist("<date>4000-01-01T00:00:00Z</date>")).has_value())
        << "without its top-level value there is nothing to read";
    EXPECT_FALSE(PropertyList::fromXml(plist("<dict><string>no key</string></dict>")).has_value());
}

TEST(UserDefaults, OneBadValueCostsOnlyThatValueAndTheOriginalIsKept)
{
    TestHome home;
    const QString path = UserDefaults::standard().filePath();
    UserDefaults::resetStandard();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kDamaged);
    file.close();

    UserDefaults &store = UserDefaults::standard();
    EXPECT_EQ(store.stringForKey("appsettingplaymodekey"), QStringLiteral("0"));
    EXPECT_EQ(store.dictionaryForKey("playlistfolderkey").value("Morning").toList().size(), 2);
    EXPECT_FALSE(store.objectForKey("huge").isValid());

    QFile kept(path + ".corrupt");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << "the original is kept beside the store";
    EXPECT_EQ(kept.readAll(), kDamaged);
    kept.close();
    ASSERT_TRUE(QFile::exists(path)) << "the store itself stays in place";

    // The store is written again without the bad values, so the next start reads it whole.
    UserDefaults::resetStandard();
    UserDefaults::standard();
    EXPECT_EQ(UserDefaults::standard().stringForKey("appsettingplaymodekey"), QStringLiteral("0"));
    EXPECT_FALSE(QFile::exists(path + ".corrupt-2")) << "nothing was skipped the second time";
}

} // namespace
