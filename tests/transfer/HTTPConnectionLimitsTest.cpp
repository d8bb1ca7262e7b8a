// How the connection engine frames requests and what it refuses to hold.
#include "TestHome.h"
#include "transfer/HTTPConnection.h"
#include "transfer/HTTPDataResponse.h"
#include "transfer/HTTPServer.h"
#include "transfer/LoopbackClient.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Takes POST bodies and answers with what it received.
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
    std::unique_ptr<HTTPResponse> httpResponseForMethod(const QByteArray &, const QByteArray &) override
    {
        return std::make_unique<HTTPDataResponse>("got:" + m_body);
    }

private:
    QByteArray m_body;
};

struct EchoServer
{
    QTemporaryDir root;
    HTTPServer server;
    EchoServer()
    {
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

} // namespace
