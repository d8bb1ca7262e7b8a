// How the connection engine frames requests and what it refuses to hold.
#include "TestHome.h"
#include "transfer/HTTPConnection.h"
#include "transfer/HTTPDataResponse.h"
#include "transfer/HTTPServer.h"
#include "transfer/LoopbackClient.h"
#include "transfer/RequestMemoryBudget.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Takes POST bodies and answers with what it received; serves the root's files otherwise.
class EchoConnection : public HTTPConnection
{
public:
    using HTTPConnection::HTTPConnection;
    bool supportsMethod(const QByteArray &method, const QByteArray &path) override
    {
        return method == "POST" || HTTPConnection::supportsMethod(method, path);
    }
    void prepareForBodyWithSize(quint64) override { m_body.clear(); }
    void processDataChunk(const QByteArray &chunk) override { m_body += chunk; }
    std::unique_ptr<HTTPResponse> httpResponseForMethod(const QByteArray &method, const QByteArray &uri) override
    {
        if (method != "POST")
            return HTTPConnection::httpResponseForMethod(method, uri); // the files of the root
        return std::make_unique<HTTPDataResponse>("got:" + m_body);
    }

private:
    QByteArray m_body;
};

struct EchoServer
{
    QTemporaryDir root;
    HTTPServer server;
    explicit EchoServer(const HTTPServer::Limits &limits = {})
    {
        server.setLimits(limits);
        server.setConnectionClass<EchoConnection>();
        server.setDocumentRoot(root.path());
        server.setInterface("localhost");
        server.setPort(0);
        EXPECT_TRUE(server.start());
    }
    ~EchoServer()
    {
        server.stop();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST(HTTPConnectionLimits, AmbiguousBodyFramingIsRefusedAndCloses)
{
    EchoServer echo;
    const QByteArray next = "GET /x HTTP/1.1\r\n\r\n";
    for (const QByteArray &headers :
         {QByteArray("Content-Length: 5abc\r\n"), QByteArray("Content-Length: +5\r\n"),
          QByteArray("Content-Length: -0\r\n"), QByteArray("Content-Length: 5\r\nContent-Length: 6\r\n"),
          QByteArray("Content-Length: 5, 6\r\n"), QByteArray("Transfer-Encoding: chunked\r\n"),
          QByteArray("Content-Length: 5\r\nTransfer-Encoding: identity\r\n"), QByteArray("Content-Length: \r\n")}) {
        LoopbackClient client(echo.server.port());
        client.send("POST / HTTP/1.1\r\n" + headers + "\r\nhello" + next);
        auto response = client.readResponse();
        ASSERT_TRUE(response) << headers.constData();
        EXPECT_EQ(response->status, 400) << headers.constData();
        EXPECT_TRUE(client.waitForClose()) << headers.constData();
        EXPECT_TRUE(client.received().isEmpty()) << headers.constData();
    }
    { // A GET may not carry a transfer coding either.
        LoopbackClient client(echo.server.port());
        client.send("GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n");
        auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 400);
        EXPECT_TRUE(client.waitForClose());
    }
    // The same length repeated is one length.
    LoopbackClient client(echo.server.port());
    client.send("POST / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 5\r\n\r\nhello");
    auto response = client.readResponse();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->body, "got:hello");
}

TEST(HTTPConnectionLimits, ConnectionCloseFromTheClientClosesAfterTheResponse)
{
    EchoServer echo;
    for (const QByteArray &value : {QByteArray("close"), QByteArray("Keep-Alive, CLOSE")}) {
        LoopbackClient client(echo.server.port());
        client.send("POST / HTTP/1.1\r\nConnection: " + value + "\r\nContent-Length: 2\r\n\r\nhi"
                    + "POST / HTTP/1.1\r\nContent-Length: 2\r\n\r\nho");
        auto response = client.readResponse();
        ASSERT_TRUE(response) << value.constData();
        EXPECT_EQ(response->body, "got:hi");
        EXPECT_EQ(response->headers.value("connection"), "close");
        EXPECT_TRUE(client.waitForClose()) << value.constData();
        EXPECT_TRUE(client.received().isEmpty()) << value.constData();
    }
    // Without it the connection stays for the next request.
    LoopbackClient client(echo.server.port());
    client.send("POST / HTTP/1.1\r\nContent-Length: 2\r\n\r\nhiPOST / HTTP/1.1\r\nContent-Length: 2\r\n\r\nho");
    ASSERT_EQ(client.readResponse()->body, "got:hi");
    ASSERT_EQ(client.readResponse()->body, "got:ho");
}

TEST(HTTPConnectionLimits, AHeaderBlockIsBoundedInAllNotOnlyPerLine)
{
    EchoServer echo;
    QByteArray headers;
    for (int i = 0; i < 40; ++i)
        headers += "X-Filler-" + QByteArray::number(i) + ": " + QByteArray(1000, 'h') + "\r\n";
    LoopbackClient client(echo.server.port());
    client.send("GET / HTTP/1.1\r\n" + headers + "\r\n");
    auto response = client.readResponse();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 431);
    EXPECT_TRUE(client.waitForClose());

    // Ordinary headers well inside the bound are fine.
    LoopbackClient fine(echo.server.port());
    fine.send("POST / HTTP/1.1\r\n" + headers.left(headers.indexOf("X-Filler-19")) + "Content-Length: 1\r\n\r\nx");
    auto ok = fine.readResponse();
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->status, 200);
}

HTTPServer::Limits quick(double headerTimeout, double bodyTimeout)
{
    HTTPServer::Limits limits;
    limits.headerTimeout = headerTimeout;
    limits.bodyTimeout = bodyTimeout;
    return limits;
}

TEST(HTTPConnectionLimits, ConnectionsWithoutProgressAreClosed)
{
    EchoServer echo(quick(0.2, 0.2));
    LoopbackClient silent(echo.server.port());
    LoopbackClient halfHeader(echo.server.port());
    halfHeader.send("GET / HTTP/1.1\r\nHost: x");
    LoopbackClient halfBody(echo.server.port());
    halfBody.send("POST / HTTP/1.1\r\nContent-Length: 100\r\n\r\nonly part of it");
    for (LoopbackClient *client : {&silent, &halfHeader, &halfBody})
        EXPECT_TRUE(client->waitForClose());
    EXPECT_TRUE(halfBody.received().isEmpty());

    // A response nobody reads: once the buffers are full nothing moves.
    QFile big(echo.root.path() + "/big.bin");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(48 * 1024 * 1024));
    big.close();
    LoopbackClient stalled(echo.server.port());
    stalled.send("GET /big.bin HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(waitUntil([&] { return echo.server.numberOfHTTPConnections() == 0; }, 10000));
}

TEST(HTTPConnectionLimits, ASlowClientThatKeepsSendingIsNotCutOff)
{
    // Far more time between bytes than any machine needs, far less than the time-out.
    EchoServer echo(quick(2.0, 2.0));
    LoopbackClient client(echo.server.port());
    const QByteArray request = "POST / HTTP/1.1\r\nContent-Length: 40\r\n\r\n" + QByteArray(40, 'b');
    for (char c : request) {
        client.send(QByteArray(1, c));
        waitUntil([] { return false; }, 50); // 3.5 s in all
    }
    auto response = client.readResponse();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->body, "got:" + QByteArray(40, 'b'));
}

TEST(HTTPConnectionLimits, ANewClientIsServedAtTheLimitByClosingTheLongestIdle)
{
    HTTPServer::Limits limits;
    limits.maxConnections = 3;
    EchoServer echo(limits);
    const quint16 port = echo.server.port();
    // The oldest is in the middle of a body, so it is not idle and stays.
    LoopbackClient uploading(port);
    uploading.send("POST / HTTP/1.1\r\nContent-Length: 4\r\n\r\nab");
    ASSERT_TRUE(waitUntil([&] { return echo.server.numberOfHTTPConnections() == 1; }));
    waitUntil([] { return false; }, 20);
    LoopbackClient longestIdle(port);
    ASSERT_TRUE(waitUntil([&] { return echo.server.numberOfHTTPConnections() == 2; }));
    waitUntil([] { return false; }, 20);
    LoopbackClient recentlyActive(port);
    recentlyActive.send("GE");
    ASSERT_TRUE(waitUntil([&] { return echo.server.numberOfHTTPConnections() == 3; }));
    waitUntil([] { return false; }, 20);

    LoopbackClient newcomer(port);
    newcomer.send("GET /x HTTP/1.1\r\n\r\n");
    auto served = newcomer.readResponse();
    ASSERT_TRUE(served);
    EXPECT_EQ(served->status, 404);
    EXPECT_TRUE(longestIdle.waitForClose());
    recentlyActive.send("T /x HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(recentlyActive.readResponse());
    uploading.send("cd");
    auto uploaded = uploading.readResponse();
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(uploaded->body, "got:abcd");
}

// Sets the shared budget for one test.
struct BudgetLimit
{
    const qsizetype saved = RequestMemoryBudget::limit();
    explicit BudgetLimit(qsizetype bytes) { RequestMemoryBudget::setLimit(bytes); }
    ~BudgetLimit() { RequestMemoryBudget::setLimit(saved); }
};

TEST(HTTPConnectionLimits, AllConnectionsTogetherShareOneMemoryBudget)
{
    const BudgetLimit budget(20000);
    EchoServer echo;
    const QByteArray line = "X-Filler: " + QByteArray(990, 'f') + "\r\n";
    LoopbackClient first(echo.server.port());
    first.send("GET /x HTTP/1.1\r\n" + line.repeated(14));
    ASSERT_TRUE(waitUntil([] { return RequestMemoryBudget::inUse() > 14000; }));
    LoopbackClient second(echo.server.port());
    second.send("GET /x HTTP/1.1\r\n" + line.repeated(10));
    auto refused = second.readResponse();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503);
    EXPECT_TRUE(second.waitForClose());

    first.send("\r\n");
    auto served = first.readResponse();
    ASSERT_TRUE(served);
    EXPECT_EQ(served->status, 404);
    // Nothing of a finished request stays counted, also while its connection stays open.
    EXPECT_TRUE(waitUntil([] { return RequestMemoryBudget::inUse() == 0; }));
}

// Records the tags of the writes a response is made of.
class TagRecorder : public HTTPConnection
{
public:
    using HTTPConnection::HTTPConnection;
    static inline std::vector<long> tags;
    void onSocketDidWriteDataWithTag(AsyncSocket *socket, long tag) override
    {
        tags.push_back(tag);
        HTTPConnection::onSocketDidWriteDataWithTag(socket, tag);
    }
};

TEST(HTTPConnectionLimits, FileBodiesGoOutInTheSameChunksAndTags)
{
    QTemporaryDir root;
    QByteArray bytes(300000, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 % 251);
    QFile file(root.path() + "/song.mp3");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    HTTPServer server;
    server.setConnectionClass<TagRecorder>();
    server.setDocumentRoot(root.path());
    server.setInterface("localhost");
    server.setPort(0);
    ASSERT_TRUE(server.start());
    LoopbackClient client(server.port());
    struct Case
    {
        QByteArray range;
        QByteArray body;
        std::vector<long> tags;
    };
    const long header = HTTPConnection::HTTP_PARTIAL_RESPONSE_HEADER;
    const long whole = HTTPConnection::HTTP_PARTIAL_RESPONSE_BODY;
    const long one = HTTPConnection::HTTP_PARTIAL_RANGE_RESPONSE_BODY;
    for (const Case &c : {Case{{}, bytes, {header, whole, whole, whole}},
                          Case{"bytes=1000-270000", bytes.mid(1000, 269001), {header, one, one, one}},
                          Case{"bytes=-5", bytes.right(5), {header, one}}}) {
        TagRecorder::tags.clear();
        client.send("GET /song.mp3 HTTP/1.1\r\n" + (c.range.isEmpty() ? QByteArray() : "Range: " + c.range + "\r\n")
                    + "\r\n");
        auto response = client.readResponse();
        ASSERT_TRUE(response) << c.range.constData();
        EXPECT_EQ(response->body, c.body) << c.range.constData();
        EXPECT_TRUE(waitUntil([&] { return TagRecorder::tags.size() >= c.tags.size(); }));
        EXPECT_EQ(TagRecorder::tags, c.tags) << c.range.constData();
    }
    server.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(HTTPConnectionLimits, AFileThatShrinksWhileSentClosesTheConnection)
{
    EchoServer echo;
    QFile big(echo.root.path() + "/big.bin");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(48 * 1024 * 1024));
    big.close();
    LoopbackClient client(echo.server.port());
    client.send("GET /big.bin HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(client.readUntil([](const QByteArray &bytes) { return bytes.contains("\r\n\r\n"); }));
    ASSERT_TRUE(big.resize(1024 * 1024));
    // The promised length can no longer be sent: the client must not wait for it.
    EXPECT_TRUE(client.waitForClose(10000)) << client.received().size() << " " << QFileInfo(big).size();
    EXPECT_LT(client.received().size(), 48 * 1024 * 1024);
}

} // namespace
