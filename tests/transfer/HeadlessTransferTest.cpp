#include "TestHome.h"
#include "transfer/LoopbackClient.h"
#include "transfer/PrivateAvahi.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSysInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

// `orbo --headless --transfer` on loopback, port 0, optionally with few file descriptors.
struct HeadlessServer
{
    QTemporaryDir home;
    QProcess process;
    quint16 port = 0;
    struct Limits
    {
        rlim_t descriptors = 0; // soft limit; 0 leaves it as it is
        rlim_t hardDescriptors = 0; // 0: the same as the soft limit
        rlim_t fileSize = 0; // largest file the server may write, in bytes; 0: no limit
    };
    explicit HeadlessServer(rlim_t descriptorLimit = 0, const QString &language = {})
        : HeadlessServer(Limits{descriptorLimit, 0, 0}, language)
    {}
    explicit HeadlessServer(const Limits &limits, const QString &language = {},
                            const QMap<QString, QString> &variables = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!language.isEmpty())
            environment.insert(QStringLiteral("LC_ALL"), language);
        for (auto it = variables.cbegin(); it != variables.cend(); ++it)
            environment.insert(it.key(), it.value());
        process.setProcessEnvironment(environment);
        process.setChildProcessModifier([limits] {
            if (limits.descriptors) {
                const rlimit limit{limits.descriptors,
                                   limits.hardDescriptors ? limits.hardDescriptors : limits.descriptors};
                ::setrlimit(RLIMIT_NOFILE, &limit);
            }
            if (limits.fileSize) {
                // A write past the limit then fails as a full disk does, instead of killing.
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{limits.fileSize, limits.fileSize};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
        });
        process.start(QStringLiteral(ORBO_PATH),
                      {"--headless", "--transfer", "--port", "0", "--address", "localhost", "--home", home.path()});
        const QRegularExpression started("Started HTTP server on port (\\d+)");
        for (int i = 0; i < 400 && !port; ++i) {
            process.waitForReadyRead(25);
            log += process.readAllStandardError();
            const auto match = started.match(QString::fromUtf8(log));
            if (match.hasMatch())
                port = quint16(match.captured(1).toUInt());
        }
    }
    ~HeadlessServer()
    {
        if (process.processId() > 0)
            ::kill(pid_t(process.processId()), SIGTERM);
        process.waitForFinished(10000);
    }
    QByteArray log;
    QByteArray successPage() const
    {
        LoopbackClient client(port);
        client.send("GET /success HTTP/1.1\r\n\r\n");
        auto response = client.readResponse(false, 10000);
        return response && response->status == 200 ? response->body : QByteArray();
    }
    bool served() const { return !successPage().isEmpty(); }
};

TEST(HeadlessTransfer, ServesUntilSigtermAndStopsCleanly)
{
    HeadlessServer server(0, QStringLiteral("ko_KR.UTF-8"));
    ASSERT_NE(server.port, 0) << server.log.constData() << server.process.errorString().toStdString();
    // The pages speak the user's language without a window too.
    EXPECT_TRUE(server.successPage().contains(QString("파일을 올렸습니다.").toUtf8()));
    ::kill(pid_t(server.process.processId()), SIGTERM);
    ASSERT_TRUE(server.process.waitForFinished(10000));
    EXPECT_EQ(server.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.process.exitCode(), 0);
}

TEST(HeadlessTransfer, AThousandIdleConnectionsDoNotKeepANewClientWaiting)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < 1200 && limit.rlim_max >= 1200) {
        limit.rlim_cur = 1200;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    ASSERT_GE(limit.rlim_cur, rlim_t(1100)) << "this test needs 1100 file descriptors";
    HeadlessServer server(4096);
    ASSERT_NE(server.port, 0);
    std::vector<std::unique_ptr<LoopbackClient>> idle;
    for (int i = 0; i < 1000; ++i) {
        idle.push_back(std::make_unique<LoopbackClient>(server.port, i % 2 == 1));
        ASSERT_TRUE(idle.back()->isConnected());
    }
    idle[0]->send("GET /suc"); // one of them even half-way through a request
    EXPECT_TRUE(server.served());
}

TEST(HeadlessTransfer, RunningOutOfDescriptorsNeverCrashesTheServer)
{
#ifdef __SANITIZE_ADDRESS__
    // UBSan's type check probes memory through a pipe; in a process without a spare
    // descriptor the probe fails and it reports a false "invalid vptr". The release run covers this.
    GTEST_SKIP() << "not meaningful under the sanitizers";
#endif
    HeadlessServer server(48);
    ASSERT_NE(server.port, 0);
    {
        std::vector<std::unique_ptr<LoopbackClient>> flood;
        for (int i = 0; i < 120; ++i)
            flood.push_back(std::make_unique<LoopbackClient>(server.port));
        waitUntil([] { return false; }, 300);
        EXPECT_EQ(server.process.state(), QProcess::Running);
    }
    // Once the flood is gone, clients are served again.
    EXPECT_TRUE(waitUntil([&] { return server.served(); }, 10000));
    EXPECT_EQ(server.process.state(), QProcess::Running);
}

// One line of /proc/<pid>/status, in kB ("VmRSS", "VmHWM"); -1 when absent.
long statusKb(const QProcess &process, const char *key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(QByteArray(key) + ':'))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

bool raiseOwnDescriptorLimit(rlim_t wanted)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < wanted && limit.rlim_max >= wanted) {
        limit.rlim_cur = wanted;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur >= wanted;
}

TEST(HeadlessTransfer, AtTheUsualDescriptorLimitIdleConnectionsCannotLockOthersOut)
{
    ASSERT_TRUE(raiseOwnDescriptorLimit(1300)) << "this test needs 1300 file descriptors";
    // Soft and hard limit 1024: raising the soft limit cannot help, the server must cope.
    HeadlessServer server(HeadlessServer::Limits{1024, 1024, 0});
    ASSERT_NE(server.port, 0);
    std::vector<std::unique_ptr<LoopbackClient>> idle;
    for (int i = 0; i < 1100; ++i) {
        idle.push_back(std::make_unique<LoopbackClient>(server.port, i % 2 == 1));
        ASSERT_TRUE(idle.back()->isConnected());
    }
    EXPECT_TRUE(server.served());
    EXPECT_TRUE(server.served());
    EXPECT_EQ(server.process.state(), QProcess::Running);
}

TEST(HeadlessTransfer, RaisesItsDescriptorLimitToTheHardLimit)
{
    HeadlessServer server(HeadlessServer::Limits{512, 2048, 0});
    ASSERT_NE(server.port, 0);
    QFile limits(QStringLiteral("/proc/%1/limits").arg(server.process.processId()));
    ASSERT_TRUE(limits.open(QIODevice::ReadOnly));
    QByteArray line;
    for (const QByteArray &entry : limits.readAll().split('\n'))
        if (entry.startsWith("Max open files"))
            line = entry;
    EXPECT_EQ(line.simplified(), "Max open files 2048 2048 files") << line.constData();
}

TEST(HeadlessTransfer, MemoryStaysBoundedAndGoesBackAfterABurst)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's allocator keeps freed memory by design";
#endif
    ASSERT_TRUE(raiseOwnDescriptorLimit(1100)) << "this test needs 1100 file descriptors";
    HeadlessServer server;
    ASSERT_NE(server.port, 0);
    ASSERT_TRUE(server.served());
    waitUntil([] { return false; }, 300);
    const long baseline = statusKb(server.process, "VmRSS");
    {
        std::vector<std::unique_ptr<LoopbackClient>> clients;
        const QByteArray line = "X-Filler: " + QByteArray(8000, 'h') + "\r\n";
        QByteArray fields;
        for (int i = 0; i < 16; ++i)
            fields += "--xyz\r\nContent-Disposition: form-data; name=\"f" + QByteArray::number(i) + "\"\r\n\r\n"
                + QByteArray(60000, 'v') + "\r\n";
        for (int i = 0; i < 1000; ++i) {
            clients.push_back(std::make_unique<LoopbackClient>(server.port));
            // Half of them send the largest header lines they may, the rest large form fields;
            // none of them ever finishes its request.
            if (i % 2 == 0)
                clients.back()->send("GET / HTTP/1.1\r\n" + line.repeated(99));
            else
                clients.back()->send("POST / HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=xyz\r\n"
                                     "Content-Length: 99999999\r\n\r\n"
                                     + fields);
        }
        waitUntil([] { return false; }, 1000);
        const long peak = statusKb(server.process, "VmHWM");
        std::fprintf(stderr, "RSS baseline %ld kB, peak %ld kB\n", baseline, peak);
        EXPECT_LT(peak - baseline, 200 * 1024);
    }
    long after = 0;
    EXPECT_TRUE(waitUntil(
        [&] {
            after = statusKb(server.process, "VmRSS");
            return after < baseline + 10 * 1024;
        },
        10000))
        << "baseline " << baseline << " kB, after " << after << " kB";
    EXPECT_TRUE(server.served());
}

TEST(HeadlessTransfer, AFullDiskIsAnsweredAtOnceWithInsufficientStorage)
{
    HeadlessServer server(HeadlessServer::Limits{0, 0, 1024 * 1024});
    ASSERT_NE(server.port, 0);
    LoopbackClient client(server.port);
    const QByteArray head = "--xyz\r\nContent-Disposition: form-data; name=\"file\"; filename=\"big.mp3\"\r\n\r\n";
    client.send("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=xyz\r\n"
                "Content-Length: 10000000\r\n\r\n"
                + head + QByteArray(2 * 1024 * 1024, 's'));
    // The rest of the 10 MB body never comes: the answer must not wait for it.
    auto response = client.readResponse(false, 5000);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 507);
    EXPECT_TRUE(client.waitForClose());
    const QString documents = server.home.path() + QStringLiteral("/Documents");
    EXPECT_TRUE(waitUntil(
        [&] { return QDir(documents).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty(); }));
    EXPECT_TRUE(server.served());
}

TEST(HeadlessTransfer, IsPublishedAgainAfterANameCollisionAndADaemonRestart)
{
    PrivateAvahi avahi;
    if (!avahi.isRunning())
        GTEST_SKIP() << avahi.whyNot().toStdString();
    // Another program already publishes a web site under this machine's name.
    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", avahi.busAddress());
    other.setProcessEnvironment(environment);
    const QString name = QSysInfo::machineHostName();
    other.start("avahi-publish", {"--service", name, "_http._tcp", "1"});
    QByteArray otherLog;
    ASSERT_TRUE(waitUntil([&] {
        otherLog += other.readAllStandardOutput() + other.readAllStandardError();
        return otherLog.contains("Established");
    })) << otherLog.constData();

    HeadlessServer server(HeadlessServer::Limits{}, {}, {{"DBUS_SYSTEM_BUS_ADDRESS", avahi.busAddress()}});
    ASSERT_NE(server.port, 0);
    QList<PrivateAvahi::Service> services;
    const auto published = [&] {
        services = avahi.browse("_http._tcp");
        for (const PrivateAvahi::Service &service : std::as_const(services))
            if (service.port == server.port)
                return service.name;
        return QString();
    };
    QString publishedName;
    EXPECT_TRUE(waitUntil([&] { return !(publishedName = published()).isEmpty(); }, 15000));
    EXPECT_EQ(publishedName, name + " #2");

    other.kill();
    other.waitForFinished(5000);
    ASSERT_TRUE(avahi.restartDaemon());
    EXPECT_TRUE(waitUntil([&] { return !published().isEmpty(); }, 15000)) << server.log.constData();
    EXPECT_EQ(server.process.state(), QProcess::Running);
}

} // namespace
