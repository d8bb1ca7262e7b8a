#pragma once

#include <QByteArray>
#include <QMap>

#include <functional>
#include <optional>

// A plain TCP client on 127.0.0.1 or ::1 for tests whose server runs on this thread's
// event loop: every wait keeps the loop turning.
class LoopbackClient
{
public:
    struct Response
    {
        int status = 0;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    explicit LoopbackClient(quint16 port, bool ipv6 = false);
    ~LoopbackClient();

    bool isConnected() const { return m_fd >= 0; }
    bool send(const QByteArray &data);
    bool readUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs = 5000);
    // True when the server closed the connection (after any data it sent).
    bool waitForClose(int timeoutMs = 5000);
    // One response from the received bytes (removed from them); nothing on time-out.
    std::optional<Response> readResponse(bool head = false, int timeoutMs = 5000);
    QByteArray &received() { return m_received; }
    void close();

private:
    void pump();

    int m_fd = -1;
    bool m_closedByPeer = false;
    QByteArray m_received;
};
