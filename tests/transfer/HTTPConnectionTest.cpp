#include "TestHome.h"
#include "transfer/DDData.h"
#include "transfer/HTTPAuthenticationRequest.h"
#include "transfer/HTTPConnection.h"
#include "transfer/HTTPServer.h"
#include "transfer/LoopbackClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.append(char(i % 251));
    return bytes;
}

// A server on loopback, port 0, serving the folder "root" with a 1000-byte file; the rest
// of the temporary home is outside the document root.
struct Served
{
    QTemporaryDir home;
    const QString root = home.path() + "/root";
    HTTPServer server;
    explicit Served(std::function<void(HTTPServer &)> configure = {})
    {
        QDir().mkpath(root);
        QFile file(root + "/file.bin");
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(fileBytes());
        file.close();
        server.setDocumentRoot(root);
        server.setInterface("localhost");
        server.setPort(0);
        if (configure)
            configure(server);
        EXPECT_TRUE(server.start());
    }
    ~Served()
    {
        server.stop();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    LoopbackClient client(bool ipv6 = false) const { return LoopbackClient(server.port(), ipv6); }
};

QByteArray get(const QByteArray &path, const QByteArray &extra = {}, const QByteArray &method = "GET")
{
    return method + ' ' + path + " HTTP/1.1\r\nHost: x\r\n" + extra + "\r\n";
}

TEST(HTTPConnection, ServesAFileWithStandardHeadersAndKeepsTheConnection)
{
    Served served;
    for (bool ipv6 : {false, true}) {
        LoopbackClient client = served.client(ipv6);
        client.send(get("/file.bin") + get("/file.bin", {}, "HEAD") + get("/missing"));
        auto first = client.readResponse();
        ASSERT_TRUE(first);
        EXPECT_EQ(first->status, 200);
        EXPECT_EQ(first->body, fileBytes());
        EXPECT_EQ(first->headers.value("accept-ranges"), "bytes");
        EXPECT_FALSE(first->headers.contains("content-type"));
        EXPECT_TRUE(first->headers.value("date").endsWith(" GMT"));
        auto head = client.readResponse(true);
        ASSERT_TRUE(head);
        EXPECT_EQ(head->status, 200);
        EXPECT_EQ(head->headers.value("content-length"), "1000");
        auto missing = client.readResponse();
        ASSERT_TRUE(missing);
        EXPECT_EQ(missing->status, 404);
        EXPECT_TRUE(client.received().isEmpty()); // HEAD sent no body
    }
}

TEST(HTTPConnection, AnswersRangesSingleAndMultipart)
{
    Served served;
    LoopbackClient client = served.client();
    const QByteArray bytes = fileBytes();
    struct Case
    {
        QByteArray range;
        int status;
        QByteArray contentRange;
        QByteArray body;
    };
    const Case cases[] = {
        {"bytes=0-99", 206, "bytes 0-99/1000", bytes.left(100)},
        {"bytes=-100", 206, "bytes 900-999/1000", bytes.right(100)},
        {"bytes=900-", 206, "bytes 900-999/1000", bytes.mid(900)},
        {"bytes=0-5000", 206, "bytes 0-999/1000", bytes},
        {"bytes=7", 206, "bytes 7-7/1000", bytes.mid(7, 1)},
        {"bytes=0-99,50-149", 200, {}, bytes},
        {"items=0-99", 200, {}, bytes},
        {"0-99", 200, {}, bytes},
        {"bytes=2000-", 200, {}, bytes},
        {"bytes=5-1", 200, {}, bytes},
        // A first byte at the very end is past the last one: nothing there to send.
        {"bytes=1000-1999", 200, {}, bytes},
        {"bytes=1000-", 200, {}, bytes},
        {"bytes=1000", 200, {}, bytes},
        {"bytes=999-1999", 206, "bytes 999-999/1000", bytes.right(1)},
        {"bytes=-1000", 206, "bytes 0-999/1000", bytes},
    };
    for (const Case &c : cases) {
        client.send(get("/file.bin", "Range: " + c.range + "\r\n"));
        auto response = client.readResponse();
        ASSERT_TRUE(response) << c.range.constData();
        EXPECT_EQ(response->status, c.status) << c.range.constData();
        EXPECT_EQ(response->headers.value("content-range"), c.contentRange) << c.range.constData();
        EXPECT_EQ(response->body, c.body) << c.range.constData();
    }

    client.send(get("/file.bin", "Range: bytes=0-9, 500-899, -5\r\n"));
    auto multi = client.readResponse();
    ASSERT_TRUE(multi);
    EXPECT_EQ(multi->status, 206);
    const QByteArray type = multi->headers.value("content-type");
    ASSERT_TRUE(type.startsWith("multipart/byteranges; boundary="));
    const QByteArray boundary = type.mid(type.indexOf('=') + 1);
    // The announced length is exact: the response ends right at the closing delimiter.
    EXPECT_TRUE(multi->body.endsWith("\r\n--" + boundary + "--\r\n"));
    EXPECT_TRUE(client.received().isEmpty());
    QByteArray expected;
    for (auto [from, to] : {std::pair{0, 9}, std::pair{500, 899}, std::pair{995, 999}}) {
        expected += "\r\n--" + boundary + "\r\nContent-Range: bytes " + QByteArray::number(from) + '-'
            + QByteArray::number(to) + "/1000\r\n\r\n" + bytes.mid(from, to - from + 1);
    }
    expected += "\r\n--" + boundary + "--\r\n";
    EXPECT_EQ(multi->body, expected);
}

TEST(HTTPConnection, RefusesMalformedRequestsTheWayEachDeserves)
{
    Served served;
    { // HTTP/1.0: 505, and the connection stays open.
        LoopbackClient client = served.client();
        client.send("GET / HTTP/1.0\r\n\r\n" + get("/file.bin"));
        auto old = client.readResponse();
        ASSERT_TRUE(old);
        EXPECT_EQ(old->status, 505);
        auto next = client.readResponse();
        ASSERT_TRUE(next);
        EXPECT_EQ(next->status, 200);
    }
    for (const QByteArray &request : {get("/file.bin", "Content-Length: 0\r\n"), // GET with a body length
                                      get("/", {}, "POST"), // POST without one
                                      get("/", "Content-Length: x\r\n", "POST"), QByteArray("GARBAGE\r\n\r\n")}) {
        LoopbackClient client = served.client();
        client.send(request + get("/file.bin"));
        auto response = client.readResponse();
        ASSERT_TRUE(response) << request.constData();
        EXPECT_EQ(response->status, 400) << request.constData();
        EXPECT_TRUE(client.waitForClose()) << request.constData();
        EXPECT_TRUE(client.received().isEmpty());
    }
    { // A method the connection does not support: 405 and closed.
        LoopbackClient client = served.client();
        client.send(get("/", "Content-Length: 0\r\n", "PUT"));
        auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 405);
        EXPECT_TRUE(client.waitForClose());
    }
    { // A line of 8190 bytes without its end: closed without a word.
        LoopbackClient client = served.client();
        client.send("GET /" + QByteArray(8185, 'a'));
        EXPECT_TRUE(client.waitForClose());
        EXPECT_TRUE(client.received().isEmpty());
    }
    { // 101 header lines: closed without a word; 100 are fine.
        LoopbackClient client = served.client();
        QByteArray many = "GET /file.bin HTTP/1.1\r\n";
        for (int i = 0; i < 99; ++i)
            many += "X-" + QByteArray::number(i) + ": y\r\n";
        client.send(many + "\r\n");
        auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);
        client.send(many + "X-last: y\r\n\r\n");
        EXPECT_TRUE(client.waitForClose());
        EXPECT_TRUE(client.received().isEmpty());
    }
}

void writeSecret(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("secret");
}

TEST(HTTPConnection, NeverServesAFileOutsideTheDocumentRoot)
{
    Served served;
    writeSecret(served.home.path() + "/outside");
    // A sibling whose name starts with the root's own name is outside it all the same.
    writeSecret(served.root + "-evil/secret");
    ASSERT_TRUE(QFile::link(served.home.path() + "/outside", served.root + "/link"));
    ASSERT_TRUE(QFile::link(served.root + "-evil", served.root + "/evil"));
    ASSERT_TRUE(QFile::link(served.root + "-evil/secret", served.root + "/evil-file"));
    LoopbackClient client = served.client();
    for (const QByteArray &path :
         {QByteArray("/../outside"), QByteArray("/%2e%2e/outside"), QByteArray("/%2E%2E%2Foutside"),
          QByteArray("/..%2foutside"), QByteArray("/link"), QByteArray("//../outside"),
          QByteArray("/file.bin/../../outside"), QByteArray("/../root-evil/secret"), QByteArray("/evil/secret"),
          QByteArray("/evil-file")}) {
        client.send(get(path));
        auto response = client.readResponse();
        ASSERT_TRUE(response) << path.constData();
        EXPECT_EQ(response->status, 404) << path.constData();
        EXPECT_FALSE(response->body.contains("secret")) << path.constData();
    }
    // A link that stays inside is served.
    ASSERT_TRUE(QFile::link(served.root + "/file.bin", served.root + "/inner-link"));
    client.send(get("/inner-link"));
    auto inner = client.readResponse();
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->status, 200);
    EXPECT_EQ(inner->body, fileBytes());
}

TEST(HTTPConnection, DatesAreInEnglishWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QDateTime when(QDate(2026, 1, 5), QTime(14, 3, 9), Qt::UTC);
    EXPECT_EQ(HTTPConnection::dateAsString(when), "Mon, 05 Jan 2026 14:03:09 GMT");
    QLocale::setDefault(saved);
}

// Protects everything with user "ann" / password "secret".
class ProtectedConnection : public HTTPConnection
{
public:
    using HTTPConnection::HTTPConnection;
    static inline bool digest = true;
    bool isPasswordProtected(const QByteArray &) override { return true; }
    bool useDigestAccessAuthentication() override { return digest; }
    QString passwordForUser(const QString &user) override
    {
        return user == "ann" ? QStringLiteral("secret") : QString();
    }
};

QByteArray md5(const QByteArray &text)
{
    return DDData::hexStringValue(DDData::md5Digest(text));
}

TEST(HTTPConnection, DigestAndBasicAuthentication)
{
    Served served([](HTTPServer &server) { server.setConnectionClass<ProtectedConnection>(); });
    ProtectedConnection::digest = true;
    LoopbackClient client = served.client();
    client.send(get("/file.bin"));
    auto challenge = client.readResponse();
    ASSERT_TRUE(challenge);
    EXPECT_EQ(challenge->status, 401);
    const QString header = QString::fromUtf8(challenge->headers.value("www-authenticate"));
    ASSERT_TRUE(header.startsWith("Digest realm=\""));
    const QByteArray realm = HTTPAuthenticationRequest::quotedValue(header, "realm").toUtf8();
    const QByteArray nonce = HTTPAuthenticationRequest::quotedValue(header, "nonce").toUtf8();
    EXPECT_TRUE(HTTPConnection::isRecentNonce(QString::fromUtf8(nonce)));

    auto authorization = [&](const QByteArray &password, const QByteArray &nc, const QByteArray &uri) {
        const QByteArray ha1 = md5("ann:" + realm + ':' + password);
        const QByteArray ha2 = md5("GET:" + uri);
        const QByteArray response = md5(ha1 + ':' + nonce + ':' + nc + ":c1:auth:" + ha2);
        return "Authorization: Digest username=\"ann\", realm=\"" + realm + "\", nonce=\"" + nonce + "\", uri=\"" + uri
            + "\", qop=auth, nc=" + nc + ", cnonce=\"c1\", response=\"" + response + "\"\r\n";
    };
    const struct
    {
        QByteArray password;
        QByteArray nc;
        QByteArray uri;
        int status;
    } steps[] = {
        {"secret", "00000001", "/file.bin", 200}, {"secret", "00000001", "/file.bin", 401}, // a replayed count
        {"secret", "00000002", "/file.bin", 200}, {"wrong", "00000003", "/file.bin", 401},
        {"secret", "00000009", "/other", 401}, // the uri must be the request's
    };
    for (const auto &step : steps) {
        client.send(get("/file.bin", authorization(step.password, step.nc, step.uri)));
        auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, step.status) << step.nc.constData() << ' ' << step.password.constData();
    }

    ProtectedConnection::digest = false;
    LoopbackClient basic = served.client();
    for (const auto &[credentials, status] :
         {std::pair{QByteArray("ann:secret"), 200}, std::pair{QByteArray("ann:nope"), 401},
          std::pair{QByteArray("bob:secret"), 401}}) {
        basic.send(get("/file.bin", "Authorization: Basic " + credentials.toBase64() + "\r\n"));
        auto response = basic.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, status) << credentials.constData();
        if (status == 401) {
            EXPECT_EQ(response->headers.value("www-authenticate"), "Basic realm=\"orbo@transfer.local\"");
        }
    }
}

TEST(HTTPServer, CountsLiveConnectionsAndReportsABusyPort)
{
    Served served;
    {
        LoopbackClient a = served.client();
        LoopbackClient b = served.client(true);
        EXPECT_TRUE(waitUntil([&] { return served.server.numberOfHTTPConnections() == 2; }));
    }
    EXPECT_TRUE(waitUntil([&] { return served.server.numberOfHTTPConnections() == 0; }));

    HTTPServer second;
    second.setInterface("localhost");
    second.setPort(served.server.port());
    AsyncSocketError error;
    EXPECT_FALSE(second.start(&error));
    EXPECT_EQ(error.domain, "AsyncSocketErrorDomain");

    // Publishing without an Avahi daemon leaves the server working.
    HTTPServer published;
    published.setInterface("localhost");
    published.setPort(0);
    published.setType("_http._tcp.");
    published.setTXTRecordDictionary({{"path", "/"}});
    ASSERT_TRUE(published.start());
    EXPECT_NE(published.port(), 0);
}

} // namespace
