#include "TestHome.h"

#include "platform/Date.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSize>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QVariantMap readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return PropertyList::fromXml(file.readAll()).value_or(QVariant()).toMap();
}

TEST(UserDefaults, WritesAreVisibleAtOnceAndSavedShortlyAfter)
{
    TestHome home;
    UserDefaults &store = UserDefaults::standard();
    store.setObject(QStringLiteral("1"), QStringLiteral("flag"));
    EXPECT_EQ(store.stringForKey(QStringLiteral("flag")), QStringLiteral("1"));
    EXPECT_FALSE(QFile::exists(store.filePath())) << "the save is debounced";
    EXPECT_TRUE(waitUntil([&] { return readFile(store.filePath()).value("flag") == QStringLiteral("1"); }));

    store.removeObjectForKey(QStringLiteral("flag"));
    EXPECT_FALSE(store.objectForKey(QStringLiteral("flag")).isValid());
    EXPECT_TRUE(waitUntil([&] { return !readFile(store.filePath()).contains("flag"); }));
}

TEST(UserDefaults, TypedReadsAnswerOnlyTheirTypes)
{
    TestHome home;
    UserDefaults &store = UserDefaults::standard();
    store.setObject(qlonglong(4), QStringLiteral("number"));
    store.setObject(QStringLiteral("text"), QStringLiteral("string"));
    store.setObject(QVariantList{1, 2}, QStringLiteral("array"));
    store.setObject(QVariantMap{{"a", 1}}, QStringLiteral("dict"));

    EXPECT_EQ(store.stringForKey(QStringLiteral("number")), QStringLiteral("4"));
    EXPECT_TRUE(store.stringForKey(QStringLiteral("array")).isNull());
    EXPECT_TRUE(store.stringForKey(QStringLiteral("missing")).isNull());
    EXPECT_EQ(store.arrayForKey(QStringLiteral("array")).size(), 2);
    EXPECT_TRUE(store.arrayForKey(QStringLiteral("string")).isEmpty());
    EXPECT_EQ(store.dictionaryForKey(QStringLiteral("dict")).value("a").toInt(), 1);
    EXPECT_TRUE(store.dictionaryForKey(QStringLiteral("array")).isEmpty());
}

TEST(UserDefaults, RefusesValuesThatAreNotPropertyListsAndKeepsTheOldOne)
{
    TestHome home;
    UserDefaults &store = UserDefaults::standard();
    store.setObject(QStringLiteral("kept"), QStringLiteral("key"));
    store.setObject(QVariant::fromValue(QSize(2, 2)), QStringLiteral("key"));
    store.setObject(QVariantMap{{QStringLiteral("nested"), QVariantList{QSize(1, 1)}}}, QStringLiteral("key"));
    EXPECT_EQ(store.stringForKey(QStringLiteral("key")), QStringLiteral("kept"));
    EXPECT_TRUE(store.synchronize());
    home.restart();
    EXPECT_EQ(UserDefaults::standard().stringForKey(QStringLiteral("key")), QStringLiteral("kept"));
}

TEST(UserDefaults, ReopeningRestoresEveryValueIncludingNanosecondDates)
{
    TestHome home;
    const Date date(1765045346987654321LL);
    UserDefaults::standard().setObject(QVariant::fromValue(date), QStringLiteral("when"));
    UserDefaults::standard().setObject(QVariantMap{{"nested", QVariantList{QStringLiteral("x")}}},
                                       QStringLiteral("tree"));
    home.restart(); // closing saves
    UserDefaults &store = UserDefaults::standard();
    EXPECT_EQ(store.objectForKey(QStringLiteral("when")), QVariant::fromValue(date));
    EXPECT_EQ(store.dictionaryForKey(QStringLiteral("tree")).value("nested").toList().value(0).toString(),
              QStringLiteral("x"));
}

TEST(UserDefaults, WritesFromAnotherThreadAreSavedByTheMainThread)
{
    TestHome home;
    UserDefaults &store = UserDefaults::standard();
    QThread *worker = QThread::create([&store] { store.setObject(QStringLiteral("v"), QStringLiteral("bg")); });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_TRUE(waitUntil([&] { return readFile(store.filePath()).value("bg") == QStringLiteral("v"); }));
}

TEST(UserDefaults, UnreadableFileIsMovedAsideAndTheStoreStartsEmpty)
{
    TestHome home;
    UserDefaults::resetStandard();
    const QString path = UserDefaults::standard().filePath();
    UserDefaults::resetStandard();
    const QByteArray garbage("<?xml version=\"1.0\"?><plist><dict><key>half");
    for (const QString &aside : {path + ".corrupt", path + ".corrupt-2"}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage);
        file.close();

        UserDefaults &store = UserDefaults::standard();
        EXPECT_TRUE(store.dictionaryRepresentation().isEmpty());
        EXPECT_FALSE(QFile::exists(path));
        QFile kept(aside);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << "an earlier corrupt file is not replaced";
        EXPECT_EQ(kept.readAll(), garbage);
        store.setObject(QStringLiteral("fresh"), QStringLiteral("k"));
        UserDefaults::resetStandard();
        EXPECT_EQ(readFile(path).value("k"), QStringLiteral("fresh"));
    }
}

TEST(UserDefaults, KillingTheWriterAtAnyMomentLeavesAWholeFile)
{
    TestHome home;
    const QString path = home.path() + "/Preferences/killed.plist";
    qlonglong lastSeen = 0;
    for (int attempt = 0; attempt < 12; ++attempt) {
        QProcess writer;
        writer.start(QStringLiteral(STORE_WRITER_PATH), {path});
        ASSERT_TRUE(writer.waitForReadyRead(10000)) << "the writer did not start";
        QThread::msleep(QRandomGenerator::global()->bounded(5, 120));
        writer.kill(); // SIGKILL: no chance to tidy up
        ASSERT_TRUE(writer.waitForFinished(10000));

        if (!QFile::exists(path))
            continue; // killed before its first save
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString error;
        const auto root = PropertyList::fromXml(file.readAll(), &error);
        ASSERT_TRUE(root.has_value()) << "torn file after kill: " << error.toStdString();
        const QVariantMap map = root->toMap();
        const qlonglong counter = map.value("counter").toLongLong();
        const QStringList copies = map.value("copies").toStringList();
        ASSERT_EQ(copies.size(), 3000);
        EXPECT_EQ(copies.first(), QString::number(counter));
        EXPECT_EQ(copies.last(), QString::number(counter));
        lastSeen = std::max(lastSeen, counter);
    }
    EXPECT_GT(lastSeen, 0) << "the writer never managed a save";
}

} // namespace
