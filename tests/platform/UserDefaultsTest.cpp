#include "TestHome.h"

#include "platform/Date.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>
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

// Collects the warnings of one logging category while it lives.
class WarningCapture
{
public:
    explicit WarningCapture(const char *category)
    {
        s_category = category;
        s_messages.clear();
        m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type == QtWarningMsg && context.category && qstrcmp(context.category, s_category) == 0)
                s_messages << text;
        });
    }
    ~WarningCapture() { qInstallMessageHandler(m_previous); }
    const QStringList &messages() const { return s_messages; }

private:
    static inline const char *s_category = nullptr;
    static inline QStringList s_messages;
    QtMessageHandler m_previous = nullptr;
};

TEST(UserDefaults, AFailedSaveIsReportedAndTriedAgainUntilTheValueIsOnDisk)
{
    TestHome home;
    UserDefaults &store = UserDefaults::standard();
    const QString path = store.filePath();
    const QString preferences = QFileInfo(path).path();
    store.setObject(QStringLiteral("old"), QStringLiteral("k"));
    ASSERT_TRUE(store.synchronize());

    // The folder is now a plain file: nothing can be saved below it, not even by root.
    const auto blockFolder = [&] {
        ASSERT_TRUE(QDir(preferences).removeRecursively());
        QFile blocker(preferences);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    };
    const auto restoreFolder = [&] {
        ASSERT_TRUE(QFile::remove(preferences));
        ASSERT_TRUE(QDir().mkpath(preferences));
    };
    blockFolder();
    WarningCapture warnings("orbo.defaults");
    store.setObject(QStringLiteral("new"), QStringLiteral("k"));
    EXPECT_FALSE(store.synchronize());
    ASSERT_EQ(warnings.messages().size(), 1);
    EXPECT_TRUE(warnings.messages().first().contains(path)) << warnings.messages().first().toStdString();
    EXPECT_EQ(store.stringForKey(QStringLiteral("k")), QStringLiteral("new")) << "the value is kept in memory";
    EXPECT_FALSE(store.synchronize()) << "still not saved";
    restoreFolder();
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(readFile(path).value("k"), QStringLiteral("new"));

    // A failed save on its own timer is kept for the save at closing time.
    blockFolder();
    store.setObject(QStringLiteral("last"), QStringLiteral("k"));
    const qsizetype before = warnings.messages().size();
    ASSERT_TRUE(waitUntil([&] { return warnings.messages().size() > before; })) << "the timed save did not run";
    restoreFolder();
    home.restart();
    EXPECT_EQ(readFile(path).value("k"), QStringLiteral("last"));
}

// Under strace: the new file's contents reach the disk (fsync) before it takes the old
// file's name, so a power cut leaves the old settings or the new ones, never an empty file.
TEST(UserDefaults, TheNewFileIsFlushedBeforeItReplacesTheOldOne)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is not installed (Debian package strace): the order of the system calls cannot be seen";
    TestHome home;
    const QString path = home.path() + "/Preferences/traced.plist";
    const QString log = home.path() + "/strace.log";
    for (const bool traced : {false, true}) { // the first run makes the old file
        QProcess writer;
        // The leak checker of a sanitizer build cannot run under a tracer.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0");
        writer.setProcessEnvironment(environment);
        if (traced)
            writer.start(strace,
                         {"-f", "-qq", "-s", "16", "-o", log, "-e",
                          "trace=write,pwrite64,writev,fsync,fdatasync,rename,renameat,renameat2,linkat",
                          QStringLiteral(STORE_WRITER_PATH), path, "--once"});
        else
            writer.start(QStringLiteral(STORE_WRITER_PATH), {path, "--once"});
        ASSERT_TRUE(writer.waitForFinished(20000));
        if (traced && writer.exitCode() != 0 && !QFile::exists(log))
            GTEST_SKIP() << "strace cannot trace here: " << writer.readAllStandardError().toStdString();
        ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    }
    EXPECT_EQ(readFile(path).value("once"), QStringLiteral("saved once"));

    QFile trace(log);
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QRegularExpression quotedPath(QStringLiteral("\"([^\"]*)\""));
    const QRegularExpression contents(R"(^(?:\d+ +)?(?:write|pwrite64|writev)\((\d+), \[?\{?(?:iov_base=)?"<\?xml)");
    const QRegularExpression flush(R"(^(?:\d+ +)?(?:fsync|fdatasync)\((\d+)\) += 0)");
    const QRegularExpression publish(R"(^(?:\d+ +)?(?:rename|renameat|renameat2|linkat)\(.*\) += 0)");
    QString contentsFd;
    bool flushed = false;
    bool published = false;
    QStringList lines;
    while (!trace.atEnd() && !published) {
        const QString line = QString::fromUtf8(trace.readLine()).trimmed();
        lines << line;
        if (const auto match = contents.match(line); match.hasMatch()) {
            contentsFd = match.captured(1);
            flushed = false;
        } else if (const auto synced = flush.match(line); synced.hasMatch()) {
            flushed = flushed || synced.captured(1) == contentsFd;
        } else if (publish.match(line).hasMatch()) {
            // The destination is the call's last path.
            QString destination;
            for (const auto &quoted : quotedPath.globalMatch(line))
                destination = quoted.captured(1);
            published = destination == path;
        }
    }
    ASSERT_TRUE(published) << "the settings file never took its name:\n" << lines.join('\n').toStdString();
    ASSERT_FALSE(contentsFd.isEmpty()) << lines.join('\n').toStdString();
    EXPECT_TRUE(flushed) << "not flushed before the rename:\n" << lines.join('\n').toStdString();
}

} // namespace
