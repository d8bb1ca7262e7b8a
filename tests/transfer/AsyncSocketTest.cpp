#include "TestHome.h"
#include "transfer/AsyncSocket.h"
#include "transfer/LoopbackClient.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

// Accepts clients, keeps their sockets and records every callback.
struct Recorder : AsyncSocketDelegate
{
    std::vector<std::unique_ptr<AsyncSocket>> clients;
    std::vector<std::pair<long, QByteArray>> reads;
    std::vector<long> writes;
    std::optional<AsyncSocketError> error;
    bool sawWillDisconnect = false;
    bool errorWasNull = false;
    int disconnects = 0;
    std::function<void(AsyncSocket *)> onConnect;
    std::function<void(AsyncSocket *, const QByteArray &, long)> onRead;

    void onSocketDidAcceptNewSocket(AsyncSocket *, AsyncSocket *socket) override { clients.emplace_back(socket); }
    void onSocketDidConnectToHost(AsyncSocket *socket, const QString &host, quint16) override
    {
        EXPECT_TRUE(host == "127.0.0.1" || host == "::1") << host.toStdString();
        if (onConnect)
            onConnect(socket);
    }
    void onSocketDidReadData(AsyncSocket *socket, const QByteArray &data, long tag) override
    {
        reads.emplace_back(tag, data);
        if (onRead)
            onRead(socket, data, tag);
    }
    void onSocketDidWriteDataWithTag(AsyncSocket *, long tag) override { writes.push_back(tag); }
    void onSocketWillDisconnectWithError(AsyncSocket *, const AsyncSocketError *e) override
    {
        sawWillDisconnect = true;
        errorWasNull = !e;
        if (e)
            error = *e;
    }
    void onSocketDidDisconnect(AsyncSocket *) override { ++disconnects; }
    AsyncSocket *client() { return clients.empty() ? nullptr : clients.front().get(); }
};

struct Listener
{
    Recorder recorder;
    AsyncSocket socket{&recorder};
    quint16 port = 0;
    Listener()
    {
        AsyncSocketError error;
        EXPECT_TRUE(socket.acceptOnAddress("localhost", 0, &error)) << error.description.toStdString();
        port = socket.localPort();
    }
    AsyncSocket *waitForClient()
    {
        waitUntil([&] { return recorder.client() && recorder.client()->isConnected(); });
        return recorder.client();
    }
};

TEST(AsyncSocket, ListensOnOneSharedPortForIPv4AndIPv6AndRefusesMisuse)
{
    Listener listener;
    ASSERT_NE(listener.port, 0);
    ASSERT_GE(listener.socket.socket4FD(), 0);
    ASSERT_GE(listener.socket.socket6FD(), 0);
    sockaddr_in6 address{};
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(listener.socket.socket6FD(), reinterpret_cast<sockaddr *>(&address), &length), 0);
    EXPECT_EQ(ntohs(address.sin6_port), listener.port);

    LoopbackClient v6(listener.port, true);
    ASSERT_TRUE(v6.isConnected());
    AsyncSocket *client = listener.waitForClient();
    ASSERT_TRUE(client);
    EXPECT_TRUE(client->isIPv6());
    EXPECT_EQ(client->connectedHost(), "::1");
    EXPECT_TRUE(client->description().startsWith("<AsyncSocket "));

    EXPECT_THROW(listener.socket.acceptOnPort(0), AsyncSocketException);
    AsyncSocket orphan;
    EXPECT_THROW(orphan.acceptOnPort(0), AsyncSocketException);

    // The port is taken now: a second listener fails with the general socket error.
    Recorder other;
    AsyncSocket second(&other);
    AsyncSocketError error;
    EXPECT_FALSE(second.acceptOnAddress("localhost", listener.port, &error));
    EXPECT_EQ(error.domain, "AsyncSocketErrorDomain");
    EXPECT_EQ(error.code, -1);
    EXPECT_EQ(error.description, "General CFSocket error");
    EXPECT_FALSE(error.reason.isEmpty());
}

TEST(AsyncSocket, TerminatorReadsSurviveSplitPacketsAndPipelining)
{
    Listener listener;
    listener.recorder.onConnect = [](AsyncSocket *s) { s->readDataToData(AsyncSocket::CRLFData(), -1, 8190, 15); };
    listener.recorder.onRead = [](AsyncSocket *s, const QByteArray &data, long) {
        if (data == "body?\r\n")
            s->readDataToLength(5, -1, 16);
        else
            s->readDataToData(AsyncSocket::CRLFData(), -1, 8190, 15);
    };
    LoopbackClient client(listener.port);
    ASSERT_TRUE(listener.waitForClient());
    client.send("GET / HTTP/1.1\r");
    waitUntil([] { return false; }, 50);
    EXPECT_TRUE(listener.recorder.reads.empty());
    // The rest of the terminator, two more lines, a fixed-length read and a line: one packet.
    client.send("\nHost: x\r\nbody?\r\n12345tail\r\n");
    ASSERT_TRUE(waitUntil([&] { return listener.recorder.reads.size() == 5; }));
    const auto &reads = listener.recorder.reads;
    EXPECT_EQ(reads[0].second, "GET / HTTP/1.1\r\n");
    EXPECT_EQ(reads[1].second, "Host: x\r\n");
    EXPECT_EQ(reads[2].second, "body?\r\n");
    EXPECT_EQ(reads[3], std::make_pair(16L, QByteArray("12345")));
    EXPECT_EQ(reads[4], std::make_pair(15L, QByteArray("tail\r\n")));
}

TEST(AsyncSocket, AnOverlongLineClosesWithTheMaxedOutError)
{
    Listener listener;
    listener.recorder.onConnect = [](AsyncSocket *s) { s->readDataToData(AsyncSocket::CRLFData(), -1, 8190, 15); };
    LoopbackClient client(listener.port);
    client.send(QByteArray(8190, 'a'));
    ASSERT_TRUE(waitUntil([&] { return listener.recorder.disconnects == 1; }));
    ASSERT_TRUE(listener.recorder.error);
    EXPECT_EQ(listener.recorder.error->code, AsyncSocket::ReadMaxedOutError);
    EXPECT_EQ(listener.recorder.error->description, "Read operation reached set maximum length");
    EXPECT_TRUE(listener.recorder.reads.empty());
    EXPECT_TRUE(client.waitForClose());
}

TEST(AsyncSocket, IgnoresEmptyRequestsAndDisconnectsAfterTheLastWriteOnALaterTurn)
{
    Listener listener;
    LoopbackClient client(listener.port);
    AsyncSocket *socket = listener.waitForClient();
    ASSERT_TRUE(socket);
    socket->readDataToLength(0, -1, 1);
    socket->writeData(QByteArray(), -1, 2);
    const QByteArray big(300000, 'z');
    socket->writeData("hello", -1, 3);
    socket->writeData(big, 5, 4);
    socket->disconnectAfterWriting();
    socket->writeData("ignored", -1, 5);
    EXPECT_EQ(listener.recorder.disconnects, 0);
    EXPECT_TRUE(client.waitForClose());
    EXPECT_EQ(client.received(), "hello" + big);
    ASSERT_TRUE(waitUntil([&] { return listener.recorder.disconnects == 1; }));
    EXPECT_EQ(listener.recorder.writes, (std::vector<long>{3, 4}));
    EXPECT_TRUE(listener.recorder.reads.empty());
    EXPECT_FALSE(listener.recorder.sawWillDisconnect);
}

TEST(AsyncSocket, APeerThatHangsUpGivesANullErrorThenTheDisconnectNotice)
{
    Listener listener;
    listener.recorder.onConnect = [](AsyncSocket *s) { s->readDataToLength(10, -1, 7); };
    {
        LoopbackClient client(listener.port);
        ASSERT_TRUE(listener.waitForClient());
        client.send("abc");
    }
    ASSERT_TRUE(waitUntil([&] { return listener.recorder.disconnects == 1; }));
    EXPECT_TRUE(listener.recorder.sawWillDisconnect);
    EXPECT_TRUE(listener.recorder.errorWasNull);
    EXPECT_TRUE(listener.recorder.reads.empty());
}

TEST(AsyncSocket, AReadTimesOutWithItsOwnError)
{
    Listener listener;
    listener.recorder.onConnect = [](AsyncSocket *s) { s->readDataToData(AsyncSocket::LFData(), 0.05, 1); };
    LoopbackClient client(listener.port);
    ASSERT_TRUE(waitUntil([&] { return listener.recorder.disconnects == 1; }));
    ASSERT_TRUE(listener.recorder.error);
    EXPECT_EQ(listener.recorder.error->code, AsyncSocket::ReadTimeoutError);
}

} // namespace
