#include "transfer/LoopbackClient.h"

#include "TestHome.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackClient::LoopbackClient(quint16 port, bool ipv6)
{
    m_fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return;
    int rc = -1;
    if (ipv6) {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(port);
        address.sin6_addr = in6addr_loopback;
        rc = ::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    } else {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        rc = ::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    }
    if (rc != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
}

LoopbackClient::~LoopbackClient()
{
    close();
}

void LoopbackClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void LoopbackClient::pump()
{
    if (m_fd < 0 || m_closedByPeer)
        return;
    char buffer[65536];
    for (;;) {
        const ssize_t rc = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (rc > 0) {
            m_received.append(buffer, rc);
            continue;
        }
        if (rc == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            m_closedByPeer = true;
        return;
    }
}

bool LoopbackClient::send(const QByteArray &data)
{
    qsizetype sent = 0;
    return waitUntil(
               [&] {
                   while (sent < data.size()) {
                       const ssize_t rc =
                           ::send(m_fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
                       if (rc < 0)
                           return errno != EAGAIN && errno != EWOULDBLOCK ? (sent = -1, true) : false;
                       sent += rc;
                   }
                   return true;
               },
               20000)
        && sent == data.size();
}

bool LoopbackClient::readUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs)
{
    return waitUntil(
               [&] {
                   pump();
                   return done(m_received) || m_closedByPeer;
               },
               timeoutMs)
        && done(m_received);
}

bool LoopbackClient::waitForClose(int timeoutMs)
{
    return waitUntil(
        [&] {
            pump();
            return m_closedByPeer;
        },
        timeoutMs);
}

std::optional<LoopbackClient::Response> LoopbackClient::readResponse(bool head, int timeoutMs)
{
    Response response;
    qsizetype headerEnd = -1;
    auto complete = [&](const QByteArray &bytes) {
        headerEnd = bytes.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return false;
        response = Response();
        const QList<QByteArray> lines = bytes.left(headerEnd).split('\n');
        response.status = lines.value(0).split(' ').value(1).toInt();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                response.headers.insert(line.left(colon).toLower(), line.mid(colon + 1).trimmed());
        }
        const qsizetype length = head ? 0 : response.headers.value("content-length").toLongLong();
        return bytes.size() >= headerEnd + 4 + length;
    };
    if (!readUntil(complete, timeoutMs))
        return std::nullopt;
    const qsizetype length = head ? 0 : response.headers.value("content-length").toLongLong();
    response.body = m_received.mid(headerEnd + 4, length);
    m_received.remove(0, headerEnd + 4 + length);
    return response;
}
