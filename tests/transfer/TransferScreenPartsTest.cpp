#include "TestHome.h"

#include "platform/Translations.h"
#include "transfer/HTTPServer.h"
#include "transfer/InterfaceRoles.h"
#include "transfer/MyHTTPConnection.h"
#include "transfer/StorageUsage.h"
#include "transfer/URLProbe.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// --- Which interface stands for which link ---

struct AddressCase
{
    const char *what;
    QMap<QString, QString> addresses;
    QString wifi;
    QString mobile;
};

TEST(InterfaceRoles, FakeAddressListsGiveTheWifiAndMobileAddresses)
{
    const QList<AddressCase> cases = {
        {"nothing at all", {}, "", ""},
        {"only loopback", {{"lo", "127.0.0.1"}}, "", ""},
        {"wired only", {{"lo", "127.0.0.1"}, {"eth0", "192.0.2.9"}}, "192.0.2.9", ""},
        {"predictable wired name", {{"enp3s0", "10.0.0.5"}}, "10.0.0.5", ""},
        {"the second wired interface when it is the only one", {{"en1", "10.0.0.6"}}, "10.0.0.6", ""},
        {"wireless wins over wired, whatever the order of names",
         {{"eth0", "192.0.2.9"}, {"wlp2s0", "192.168.1.20"}},
         "192.168.1.20",
         ""},
        {"the first wireless one", {{"wlan1", "192.168.1.21"}, {"wlan0", "192.168.1.20"}}, "192.168.1.20", ""},
        {"containers and virtual machines never count",
         {{"docker0", "172.17.0.1"},
          {"br-4f2a", "172.18.0.1"},
          {"virbr0", "192.168.122.1"},
          {"veth12ab", "169.254.3.3"}},
         "",
         ""},
        {"a bridge is not read as wired", {{"br-en0", "172.18.0.1"}, {"eth1", "192.0.2.10"}}, "192.0.2.10", ""},
        {"mobile broadband", {{"wwan0", "100.64.1.2"}, {"wlan0", "192.168.1.20"}}, "192.168.1.20", "100.64.1.2"},
        {"other mobile names", {{"wwp0s20", "100.64.1.3"}}, "", "100.64.1.3"},
        {"a dial-up link", {{"ppp0", "100.64.1.4"}}, "", "100.64.1.4"},
        {"an interface without an address", {{"wlan0", ""}, {"eth0", "192.0.2.9"}}, "192.0.2.9", ""},
        {"unknown names are skipped", {{"tun0", "10.8.0.2"}, {"ib0", "10.9.0.2"}}, "", ""},
    };
    for (const AddressCase &c : cases) {
        EXPECT_EQ(InterfaceRoles::wifiAddress(c.addresses), c.wifi) << c.what;
        EXPECT_EQ(InterfaceRoles::mobileAddress(c.addresses), c.mobile) << c.what;
    }
    EXPECT_EQ(InterfaceRoles::roleOf("lo"), InterfaceRoles::Role::Ignored);
    EXPECT_EQ(InterfaceRoles::roleOf("wlo1"), InterfaceRoles::Role::Wireless);
    EXPECT_EQ(InterfaceRoles::roleOf("eno1"), InterfaceRoles::Role::Wired);
}

// --- The storage line ---

TEST(StorageUsage, GigabytesAndTheLinesFormat)
{
    EXPECT_EQ(StorageUsage::gigabytes(0), 0.0f);
    EXPECT_EQ(StorageUsage::gigabytes(quint64(1) << 30), 1.0f);
    EXPECT_EQ(StorageUsage::gigabytes(quint64(3) << 29), 1.5f);
    // 1000 GiB less one byte still reads as 1000.0 at one decimal.
    EXPECT_FLOAT_EQ(StorageUsage::gigabytes((quint64(1000) << 30) - 1), 1000.0f);
    const StorageUsage::Figures figures{quint64(1288490189), quint64(32212254720), quint64(68719476736)};
    EXPECT_EQ(StorageUsage::text(figures), "USED:1.2GB  FREE:30.0GB  TOTAL:64.0GB");

    ASSERT_TRUE(Translations::install(QLocale(QLocale::Korean)));
    EXPECT_EQ(StorageUsage::text({}), QString("사용:0.0GB  남음:0.0GB  전체:0.0GB"));
    Translations::uninstall();
}

// du's apparent size of the tree, less the folder's own entry: an independent count.
quint64 duBytes(const QString &folder)
{
    QProcess du;
    du.start("du", {"-sb", folder});
    if (!du.waitForFinished(10000))
        return 0;
    struct stat st
    {};
    ::lstat(QFile::encodeName(folder).constData(), &st);
    return du.readAllStandardOutput().split('\t').first().toULongLong() - quint64(st.st_size);
}

TEST(StorageUsage, TheWalkCountsEveryEntryOnceAndFollowsNoLink)
{
    TestHome home;
    const QString docs = home.documents();
    home.writeFile("a.mp3", QByteArray(12345, 'a'));
    home.writeFile("Rock/b.mp3", QByteArray(70000, 'b'));
    home.writeFile("Rock/Live/c.m4a", QByteArray(3, 'c'));
    home.makeFolder("Empty");
    // Links out of the library count as the links they are, never as what they point at.
    QTemporaryDir outside;
    QFile big(outside.path() + "/big.bin");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(1 << 20, 'z'));
    big.close();
    ASSERT_EQ(::symlink(QFile::encodeName(big.fileName()).constData(),
                        QFile::encodeName(docs + "/big.mp3").constData()),
              0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path()).constData(),
                        QFile::encodeName(docs + "/Elsewhere").constData()),
              0);
    // A link to its own folder would loop for ever if it were followed.
    ASSERT_EQ(::symlink("..", QFile::encodeName(docs + "/Rock/up").constData()), 0);

    const quint64 used = StorageUsage::usedBytes(docs);
    EXPECT_EQ(used, duBytes(docs));
    EXPECT_GT(used, quint64(12345 + 70000 + 3));
    EXPECT_LT(used, quint64(1 << 20));
    EXPECT_EQ(StorageUsage::usedBytes(home.path() + "/missing"), 0u);

    const StorageUsage::Figures figures = StorageUsage::measure(home.path(), docs);
    EXPECT_EQ(figures.used, used);
    EXPECT_GT(figures.total, 0u);
    EXPECT_LE(figures.free, figures.total);
}

// --- The mobile probe ---

TEST(URLProbe, AnAnswerCountsAndARefusedConnectionDoesNot)
{
    TestHome home;
    HTTPServer server;
    server.setConnectionClass<MyHTTPConnection>();
    server.setDocumentRoot(home.documents());
    server.setInterface("localhost");
    server.setPort(0);
    ASSERT_TRUE(server.start());
    URLProbe probe;
    std::optional<bool> answer;
    probe.fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server.port())), [&](bool got) { answer = got; });
    EXPECT_TRUE(probe.isRunning());
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }, 8000));
    EXPECT_TRUE(*answer);

    // A server that asks for a code still answers.
    server.setPassword("123456");
    answer.reset();
    probe.fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server.port())), [&](bool got) { answer = got; });
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }, 8000));
    EXPECT_TRUE(*answer);

    // Nobody listens on a port that was just given back.
    quint16 closed = 0;
    {
        QTcpServer spare;
        ASSERT_TRUE(spare.listen(QHostAddress::LocalHost, 0));
        closed = spare.serverPort();
    }
    answer.reset();
    probe.fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(closed)), [&](bool got) { answer = got; });
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }, 8000));
    EXPECT_FALSE(*answer);

    // A cancelled probe never answers.
    answer.reset();
    probe.fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server.port())), [&](bool got) { answer = got; });
    probe.cancel();
    waitUntil([] { return false; }, 200);
    EXPECT_FALSE(answer.has_value());
    server.stop();
}

} // namespace
