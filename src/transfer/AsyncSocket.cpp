#include "transfer/AsyncSocket.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMutex>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <optional>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

const QString AsyncSocket::errorDomain = QStringLiteral("AsyncSocketErrorDomain");

namespace {
constexpr qsizetype kReadChunk = 256;
// Bytes handed to the kernel per send call: a whole body chunk goes in one call.
constexpr qsizetype kWriteChunk = 1 << 20;
// What a lingering close reads and throws away per readiness event, and in all.
constexpr qsizetype kLingerPiece = 64 * 1024;
constexpr qsizetype kLingerLimit = 16 * 1024 * 1024;
// Dequeues run back to back inside one event before the rest wait for the next turn,
// so that one busy client cannot starve the others.
constexpr int kMaxInlineDequeues = 64;

// Name resolution is not re-entrant everywhere: one look-up at a time, process-wide.
QMutex &resolverLock()
{
    static QMutex lock;
    return lock;
}

// Kept open so that, when the process runs out of descriptors, one can be freed to
// accept and at once close the waiting client instead of leaving it hanging.
int &reserveDescriptor()
{
    static int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    return fd;
}

QString addressToString(const sockaddr_storage &address, quint16 *port)
{
    char text[INET6_ADDRSTRLEN] = {};
    const void *raw = nullptr;
    if (address.ss_family == AF_INET) {
        const auto &in = reinterpret_cast<const sockaddr_in &>(address);
        raw = &in.sin_addr;
        if (port)
            *port = ntohs(in.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto &in6 = reinterpret_cast<const sockaddr_in6 &>(address);
        raw = &in6.sin6_addr;
        if (port)
            *port = ntohs(in6.sin6_port);
    }
    if (!raw || !inet_ntop(address.ss_family, raw, text, sizeof text))
        throw std::logic_error("Cannot convert address to string.");
    return QString::fromLatin1(text);
}

bool peerAddress(int fd, sockaddr_storage *address, bool local)
{
    socklen_t length = sizeof *address;
    std::memset(address, 0, sizeof *address);
    if (fd < 0)
        return false;
    const int rc = local ? ::getsockname(fd, reinterpret_cast<sockaddr *>(address), &length)
                         : ::getpeername(fd, reinterpret_cast<sockaddr *>(address), &length);
    return rc == 0;
}
} // namespace

struct AsyncSocket::ReadPacket
{
    QByteArray buffer;
    qsizetype bytesDone = 0;
    double timeout = -1;
    qsizetype maxLength = -1;
    long tag = 0;
    QByteArray term;
    bool readAllAvailableData = false;
    bool toLength = false;
};

struct AsyncSocket::WritePacket
{
    QByteArray buffer;
    qsizetype bytesDone = 0;
    long tag = 0;
    double timeout = -1;
    // A file region instead of a buffer.
    int fileDescriptor = -1;
    quint64 fileOffset = 0;
    qsizetype fileLength = 0;

    qsizetype length() const { return fileDescriptor >= 0 ? fileLength : buffer.size(); }
};

AsyncSocket::AsyncSocket(AsyncSocketDelegate *delegate, long userData) : m_delegate(delegate), m_userData(userData)
{
    m_readQueue.reserve(5);
    m_writeQueue.reserve(5);
    m_partialReadBuffer.reserve(256);
}

AsyncSocket::~AsyncSocket()
{
    m_delegate = nullptr;
    close();
}

bool AsyncSocket::canSafelySetDelegate() const
{
    return m_readQueue.isEmpty() && m_writeQueue.isEmpty() && !m_currentRead && !m_currentWrite;
}

AsyncSocketError AsyncSocket::errorWithCode(int code)
{
    struct Text
    {
        const char *key;
        const char *english;
    };
    static const Text texts[] = {{"AsyncSocketCFSocketError", "General CFSocket error"},
                                 {"AsyncSocketCanceledError", "Connection canceled"},
                                 {"AsyncSocketConnectTimeoutError", "Attempt to connect to host timed out"},
                                 {"AsyncSocketReadMaxedOutError", "Read operation reached set maximum length"},
                                 {"AsyncSocketReadTimeoutError", "Read operation timed out"},
                                 {"AsyncSocketWriteTimeoutError", "Write operation timed out"}};
    const Text &text = texts[code < 0 ? 0 : code];
    // Looked up by key in the socket's own table; the English text stands in for a missing entry.
    QString description = QCoreApplication::translate("AsyncSocket", text.key);
    if (description == QLatin1String(text.key))
        description = QString::fromLatin1(text.english);
    return {errorDomain, code, description, {}};
}

QString AsyncSocketError::toString() const
{
    QString text = QStringLiteral("Error Domain=%1 Code=%2 \"%3\"").arg(domain).arg(code).arg(description);
    if (!reason.isEmpty())
        text += QStringLiteral(" (%1)").arg(reason);
    return text;
}

AsyncSocketError AsyncSocket::posixError(int errnoValue)
{
    return {QStringLiteral("NSPOSIXErrorDomain"), errnoValue, QString::fromLocal8Bit(std::strerror(errnoValue)), {}};
}

// ---- listening ----

bool AsyncSocket::acceptOnPort(quint16 port, AsyncSocketError *error)
{
    return acceptOnAddress(QString(), port, error);
}

bool AsyncSocket::acceptOnAddress(const QString &address, quint16 port, AsyncSocketError *error)
{
    if (!m_delegate)
        throw AsyncSocketException("Attempting to accept without a delegate. Set a delegate first.");
    if (m_fd4 >= 0 || m_fd6 >= 0 || m_fd >= 0)
        throw AsyncSocketException("Attempting to accept while connected or accepting connections. Disconnect first.");

    sockaddr_in address4{};
    sockaddr_in6 address6{};
    address4.sin_family = AF_INET;
    address6.sin6_family = AF_INET6;
    bool have4 = true;
    bool have6 = true;
    if (address.isEmpty()) {
        address4.sin_addr.s_addr = htonl(INADDR_ANY);
        address6.sin6_addr = in6addr_any;
    } else if (address == QLatin1String("localhost") || address == QLatin1String("loopback")) {
        address4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address6.sin6_addr = in6addr_loopback;
    } else {
        QMutexLocker locker(&resolverLock());
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        hints.ai_flags = AI_PASSIVE;
        addrinfo *results = nullptr;
        const int rc =
            ::getaddrinfo(address.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &results);
        if (rc != 0) {
            if (error)
                *error = {QStringLiteral("kCFStreamErrorDomainNetDB"), rc, QString::fromLocal8Bit(gai_strerror(rc)),
                          QString()};
            return false;
        }
        have4 = have6 = false;
        for (addrinfo *r = results; r; r = r->ai_next) {
            if (r->ai_family == AF_INET && !have4) {
                std::memcpy(&address4, r->ai_addr, sizeof address4);
                have4 = true;
            } else if (r->ai_family == AF_INET6 && !have6) {
                std::memcpy(&address6, r->ai_addr, sizeof address6);
                have6 = true;
            }
        }
        ::freeaddrinfo(results);
    }

    auto fail = [&](int savedErrno) {
        if (error) {
            *error = errorWithCode(CFSocketError);
            error->reason = QString::fromLocal8Bit(std::strerror(savedErrno));
        }
        if (m_fd4 >= 0)
            ::close(m_fd4);
        if (m_fd6 >= 0)
            ::close(m_fd6);
        m_fd4 = m_fd6 = -1;
        return false;
    };
    auto openListener = [](int family, const sockaddr *where, socklen_t length, int *fd) -> int {
        *fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (*fd < 0)
            return errno;
        const int on = 1;
        ::setsockopt(*fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (family == AF_INET6)
            ::setsockopt(*fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
        if (::bind(*fd, where, length) != 0 || ::listen(*fd, SOMAXCONN) != 0)
            return errno;
        return 0;
    };

    quint16 boundPort = port;
    if (have4) {
        address4.sin_port = htons(port);
        if (const int rc = openListener(AF_INET, reinterpret_cast<sockaddr *>(&address4), sizeof address4, &m_fd4))
            return fail(rc);
        sockaddr_storage bound;
        if (peerAddress(m_fd4, &bound, true))
            boundPort = ntohs(reinterpret_cast<sockaddr_in &>(bound).sin_port);
    }
    if (have6) {
        address6.sin6_port = htons(boundPort);
        const int rc = openListener(AF_INET6, reinterpret_cast<sockaddr *>(&address6), sizeof address6, &m_fd6);
        if (rc == EAFNOSUPPORT && have4) {
            // A machine without IPv6 still serves IPv4.
            m_fd6 = -1;
        } else if (rc) {
            return fail(rc);
        }
    }

    for (int fd : {m_fd4, m_fd6}) {
        if (fd < 0)
            continue;
        auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { acceptPending(fd); });
        (fd == m_fd4 ? m_listen4 : m_listen6) = notifier;
    }
    reserveDescriptor();
    m_flags |= DidPassConnectMethod;
    return true;
}

void AsyncSocket::acceptPending(int listenFD)
{
    // A bounded batch per event keeps one busy listener from starving the connections.
    for (int i = 0; i < 64; ++i) {
        const int fd = ::accept4(listenFD, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE) {
                int &reserve = reserveDescriptor();
                if (reserve >= 0) {
                    ::close(reserve);
                    const int dropped = ::accept4(listenFD, nullptr, nullptr, SOCK_CLOEXEC);
                    if (dropped >= 0)
                        ::close(dropped);
                    reserve = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
                    qWarning().noquote() << QStringLiteral(
                                                "AsyncSocket %1 is out of file descriptors; a client was turned away.")
                                                .arg(quintptr(this), 0, 16);
                }
                // Give the descriptors time to come back rather than spinning on the ready listener.
                for (QSocketNotifier *n : {m_listen4, m_listen6})
                    if (n)
                        n->setEnabled(false);
                const quint64 generation = m_generation;
                QTimer::singleShot(100, this, [this, generation] {
                    if (generation != m_generation)
                        return;
                    for (QSocketNotifier *n : {m_listen4, m_listen6})
                        if (n)
                            n->setEnabled(true);
                });
            }
            return;
        }
        auto *client = new AsyncSocket(m_delegate);
        client->m_flags = m_flags & PreBuffering;
        if (m_delegate)
            m_delegate->onSocketDidAcceptNewSocket(this, client);
        client->adoptAcceptedSocket(fd);
        if (m_fd4 < 0 && m_fd6 < 0)
            return; // the delegate stopped listening
    }
}

void AsyncSocket::adoptAcceptedSocket(int fd)
{
    m_fd = fd;
    // Responses go out as a header write and body writes: without this, Nagle's
    // algorithm holds the second piece back for the peer's delayed acknowledgement.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    // Reads wait without a time-out: keep-alive probes find a client that vanished
    // (out of Wi-Fi range, no FIN ever sent) within about two minutes, so its
    // connection, and any half-finished upload, is closed instead of kept forever.
    const int idleSeconds = 60, probeInterval = 10, probes = 6;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &probeInterval, sizeof probeInterval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
    sockaddr_storage local;
    if (peerAddress(fd, &local, true)) {
        if (local.ss_family == AF_INET)
            m_fd4 = fd;
        else if (local.ss_family == AF_INET6)
            m_fd6 = fd;
    }
    if (m_delegate && !m_delegate->onSocketWillConnect(this)) {
        close();
        return;
    }
    m_readNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, [this] {
        m_streamReadable = true;
        if (m_lingering) {
            drainLingering();
            return;
        }
        // Between two reads the watch stays on (re-arming it costs a wake-up of the
        // event loop each time); it is turned off only when it fires with nothing to read into.
        if (!m_currentRead) {
            setReadWatch(false);
            return;
        }
        handleEvent([this] { doBytesAvailable(); });
    });
    m_writeNotifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] { handleEvent([this] { doSendBytes(); }); });
    m_streamReadable = true;
    m_flags |= DidPassConnectMethod;
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation)
                handleEvent([this] { streamsOpened(); });
        },
        Qt::QueuedConnection);
}

void AsyncSocket::streamsOpened()
{
    m_flags |= DidCompleteOpenForRead | DidCompleteOpenForWrite;
    if (m_fd4 < 0 && m_fd6 < 0)
        qWarning().noquote()
            << QStringLiteral("AsyncSocket %1 couldn't determine IP version of socket").arg(quintptr(this), 0, 16);
    if (m_delegate) {
        sockaddr_storage peer;
        quint16 port = 0;
        QString host;
        if (peerAddress(m_fd, &peer, false))
            host = addressToString(peer, &port);
        const quint64 generation = m_generation;
        m_delegate->onSocketDidConnectToHost(this, host, port);
        if (generation != m_generation)
            return;
    }
    maybeDequeueRead();
    maybeDequeueWrite();
}

// ---- queues ----

void AsyncSocket::readDataToLength(qsizetype length, double timeout, long tag)
{
    if (length <= 0 || (m_flags & ForbidReadsWrites))
        return;
    auto packet = std::make_shared<ReadPacket>();
    packet->buffer.resize(length);
    packet->timeout = timeout;
    packet->tag = tag;
    packet->toLength = true;
    m_readQueue.append(packet);
    scheduleDequeueRead();
}

void AsyncSocket::readDataToData(const QByteArray &terminator, double timeout, long tag)
{
    readDataToData(terminator, timeout, -1, tag);
}

void AsyncSocket::readDataToData(const QByteArray &terminator, double timeout, qsizetype maxLength, long tag)
{
    if (terminator.isEmpty() || (maxLength >= 0 && maxLength < terminator.size()) || (m_flags & ForbidReadsWrites))
        return;
    auto packet = std::make_shared<ReadPacket>();
    packet->timeout = timeout;
    packet->maxLength = maxLength;
    packet->tag = tag;
    packet->term = terminator;
    m_readQueue.append(packet);
    scheduleDequeueRead();
}

void AsyncSocket::readDataWithTimeout(double timeout, long tag)
{
    if (m_flags & ForbidReadsWrites)
        return;
    auto packet = std::make_shared<ReadPacket>();
    packet->timeout = timeout;
    packet->tag = tag;
    packet->readAllAvailableData = true;
    m_readQueue.append(packet);
    scheduleDequeueRead();
}

void AsyncSocket::writeData(const QByteArray &data, double timeout, long tag)
{
    if (data.isEmpty() || (m_flags & ForbidReadsWrites))
        return;
    auto packet = std::make_shared<WritePacket>();
    packet->buffer = data;
    packet->timeout = timeout;
    packet->tag = tag;
    m_writeQueue.append(packet);
    scheduleDequeueWrite();
}

void AsyncSocket::writeFile(int fileDescriptor, quint64 offset, qsizetype length, double timeout, long tag)
{
    if (fileDescriptor < 0 || length <= 0 || (m_flags & ForbidReadsWrites))
        return;
    auto packet = std::make_shared<WritePacket>();
    packet->fileDescriptor = fileDescriptor;
    packet->fileOffset = offset;
    packet->fileLength = length;
    packet->timeout = timeout;
    packet->tag = tag;
    m_writeQueue.append(packet);
    scheduleDequeueWrite();
}

template <typename Work>
void AsyncSocket::handleEvent(Work &&work)
{
    if (m_handlingEvent) {
        work();
        return;
    }
    m_handlingEvent = true;
    work();
    for (int round = 0; round < kMaxInlineDequeues && (m_readDequeueDeferred || m_writeDequeueDeferred); ++round) {
        if (m_writeDequeueDeferred) {
            m_writeDequeueDeferred = false;
            maybeDequeueWrite();
        }
        if (m_readDequeueDeferred) {
            m_readDequeueDeferred = false;
            maybeDequeueRead();
        }
    }
    m_handlingEvent = false;
    if (m_readDequeueDeferred) {
        m_readDequeueDeferred = false;
        scheduleDequeueRead();
    }
    if (m_writeDequeueDeferred) {
        m_writeDequeueDeferred = false;
        scheduleDequeueWrite();
    }
}

void AsyncSocket::scheduleDequeueRead()
{
    scheduleDequeue(m_readDequeueDeferred, m_readDequeueScheduled, &AsyncSocket::maybeDequeueRead);
}

void AsyncSocket::scheduleDequeueWrite()
{
    scheduleDequeue(m_writeDequeueDeferred, m_writeDequeueScheduled, &AsyncSocket::maybeDequeueWrite);
}

// Inside one of the socket's own callbacks the dequeue waits for that callback to return;
// otherwise it runs on the next loop turn, once however often it is asked for.
void AsyncSocket::scheduleDequeue(bool &deferred, bool &scheduled, void (AsyncSocket::*dequeue)())
{
    if (m_handlingEvent) {
        deferred = true;
        return;
    }
    if (scheduled)
        return;
    scheduled = true;
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, &scheduled, dequeue] {
            if (generation != m_generation)
                return;
            scheduled = false;
            handleEvent([this, dequeue] { (this->*dequeue)(); });
        },
        Qt::QueuedConnection);
}

void AsyncSocket::maybeDequeueRead()
{
    if (m_currentRead || m_fd < 0 || !(m_flags & DidCompleteOpenForRead))
        return;
    if (m_readQueue.isEmpty()) {
        maybeScheduleDisconnect();
        return;
    }
    m_currentRead = m_readQueue.takeFirst();
    if (m_currentRead->timeout >= 0) {
        if (!m_readTimer) {
            m_readTimer = new QTimer(this);
            m_readTimer->setSingleShot(true);
            connect(m_readTimer, &QTimer::timeout, this, &AsyncSocket::readTimedOut);
        }
        m_readTimer->start(int(std::min(m_currentRead->timeout * 1000.0, 2e9)));
    }
    setReadWatch(true);
    doBytesAvailable();
}

void AsyncSocket::maybeDequeueWrite()
{
    if (m_currentWrite || m_fd < 0 || !(m_flags & DidCompleteOpenForWrite))
        return;
    if (m_writeQueue.isEmpty()) {
        maybeScheduleDisconnect();
        return;
    }
    m_currentWrite = m_writeQueue.takeFirst();
    if (m_currentWrite->timeout >= 0) {
        if (!m_writeTimer) {
            m_writeTimer = new QTimer(this);
            m_writeTimer->setSingleShot(true);
            connect(m_writeTimer, &QTimer::timeout, this, &AsyncSocket::writeTimedOut);
        }
        m_writeTimer->start(int(std::min(m_currentWrite->timeout * 1000.0, 2e9)));
    }
    doSendBytes();
}

void AsyncSocket::setReadWatch(bool on)
{
    if (m_readNotifier)
        m_readNotifier->setEnabled(on && !m_streamEnded);
}

void AsyncSocket::setWriteWatch(bool on)
{
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(on);
}

// ---- reading ----

void AsyncSocket::doBytesAvailable()
{
    if (!m_currentRead || m_fd < 0)
        return;
    const std::shared_ptr<ReadPacket> packet = m_currentRead;
    if (m_streamEnded && m_partialReadBuffer.isEmpty()) {
        closeWithError(nullptr);
        return;
    }

    qsizetype totalBytesRead = 0;
    bool done = false;
    bool maxedOut = false;
    bool ended = false;
    std::optional<AsyncSocketError> streamError;
    while (!done && !maxedOut && (!m_partialReadBuffer.isEmpty() || m_streamReadable)) {
        bool preBuffered = false;
        qsizetype wanted = 0;
        const qsizetype termLength = packet->term.size();
        if (packet->readAllAvailableData) {
            wanted = kReadChunk;
        } else if (packet->toLength) {
            wanted = packet->buffer.size() - packet->bytesDone;
        } else if ((m_flags & PreBuffering) && m_partialReadBuffer.isEmpty()) {
            wanted = kReadChunk;
            if (packet->maxLength > 0 && packet->maxLength - packet->bytesDone < wanted)
                wanted = packet->maxLength - packet->bytesDone;
            preBuffered = true;
        } else {
            // Never read past the terminator: only as many bytes as it still lacks.
            wanted = termLength;
            const char *end = packet->buffer.constData() + packet->bytesDone;
            for (qsizetype prefix = std::min(termLength - 1, packet->bytesDone); prefix > 0; --prefix) {
                if (std::memcmp(end - prefix, packet->term.constData(), size_t(prefix)) == 0) {
                    wanted = termLength - prefix;
                    break;
                }
            }
            if (packet->maxLength > 0)
                wanted = std::min(wanted, packet->maxLength - packet->bytesDone);
        }
        if (wanted <= 0)
            break;
        if (!packet->toLength && packet->buffer.size() < packet->bytesDone + wanted)
            packet->buffer.resize(std::max(packet->bytesDone + wanted, packet->buffer.size() * 2));

        char *destination = packet->buffer.data() + packet->bytesDone;
        qsizetype got = 0;
        if (!m_partialReadBuffer.isEmpty()) {
            got = std::min(wanted, m_partialReadBuffer.size());
            std::memcpy(destination, m_partialReadBuffer.constData(), size_t(got));
            m_partialReadBuffer.remove(0, got);
        } else {
            const ssize_t rc = ::recv(m_fd, destination, size_t(wanted), 0);
            if (rc < 0) {
                if (errno == EINTR)
                    continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    m_streamReadable = false;
                    break;
                }
                streamError = posixError(errno);
                break;
            }
            if (rc == 0) {
                m_streamReadable = false;
                m_streamEnded = true;
                ended = true;
                break;
            }
            got = rc;
            // A short read drained the socket: the next one would only say so (EAGAIN);
            // the read watch reports new bytes.
            if (got < wanted)
                m_streamReadable = false;
        }
        packet->bytesDone += got;
        totalBytesRead += got;

        if (packet->readAllAvailableData) {
            // Complete once the stream runs dry.
        } else if (packet->toLength) {
            done = packet->bytesDone == packet->buffer.size();
        } else if (preBuffered) {
            const qsizetype from = std::max<qsizetype>(0, packet->bytesDone - got - (termLength - 1));
            const qsizetype at =
                QByteArrayView(packet->buffer.constData(), packet->bytesDone).indexOf(packet->term, from);
            if (at >= 0) {
                const qsizetype end = at + termLength;
                m_partialReadBuffer.prepend(packet->buffer.constData() + end, packet->bytesDone - end);
                packet->bytesDone = end;
                done = true;
            }
        } else {
            done = packet->bytesDone >= termLength
                && std::memcmp(packet->buffer.constData() + packet->bytesDone - termLength, packet->term.constData(),
                               size_t(termLength))
                    == 0;
        }
        if (!done && packet->maxLength >= 0 && packet->bytesDone >= packet->maxLength)
            maxedOut = true;
    }

    if (packet->readAllAvailableData && packet->bytesDone > 0)
        done = true;
    const quint64 generation = m_generation;
    if (done) {
        completeCurrentRead();
    } else if (totalBytesRead > 0 && m_delegate) {
        m_delegate->onSocketDidReadPartialDataOfLength(this, totalBytesRead, packet->tag);
    }
    if (generation != m_generation)
        return; // the delegate closed the socket
    if (streamError) {
        closeWithError(&*streamError);
    } else if (maxedOut) {
        const AsyncSocketError error = errorWithCode(ReadMaxedOutError);
        closeWithError(&error);
    } else if (ended && !done) {
        closeWithError(nullptr);
    }
}

void AsyncSocket::completeCurrentRead()
{
    const std::shared_ptr<ReadPacket> packet = m_currentRead;
    packet->buffer.resize(packet->bytesDone);
    endCurrentRead();
    scheduleDequeueRead();
    if (m_delegate)
        m_delegate->onSocketDidReadData(this, packet->buffer, packet->tag);
}

void AsyncSocket::endCurrentRead()
{
    if (m_readTimer)
        m_readTimer->stop();
    m_currentRead.reset();
}

void AsyncSocket::readTimedOut()
{
    const AsyncSocketError error = errorWithCode(ReadTimeoutError);
    closeWithError(&error);
}

// ---- writing ----

void AsyncSocket::doSendBytes()
{
    if (!m_currentWrite || m_fd < 0) {
        setWriteWatch(false);
        return;
    }
    const std::shared_ptr<WritePacket> packet = m_currentWrite;
    const qsizetype length = packet->length();
    qsizetype written = 0;
    while (packet->bytesDone < length) {
        const qsizetype piece = std::min(kWriteChunk, length - packet->bytesDone);
        ssize_t rc = 0;
        if (packet->fileDescriptor >= 0) {
            off_t from = off_t(packet->fileOffset) + packet->bytesDone;
            rc = ::sendfile(m_fd, packet->fileDescriptor, &from, size_t(piece));
            if (rc == 0) {
                // The file is shorter than the bytes promised for it: the peer can never
                // get them, and must not wait for them.
                const AsyncSocketError error = posixError(EIO);
                closeWithError(&error);
                return;
            }
        } else {
            // While more bytes are already queued, let the kernel hold a part-filled segment
            // for them: a response header then leaves with its body.
            const bool more = packet->bytesDone + piece < length || !m_writeQueue.isEmpty();
            rc = ::send(m_fd, packet->buffer.constData() + packet->bytesDone, size_t(piece),
                        MSG_NOSIGNAL | (more ? MSG_MORE : 0));
        }
        if (rc < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                setWriteWatch(true);
                if (written > 0 && m_delegate)
                    m_delegate->onSocketDidWritePartialDataOfLength(this, written, packet->tag);
                return;
            }
            const AsyncSocketError error = posixError(errno);
            closeWithError(&error);
            return;
        }
        packet->bytesDone += rc;
        written += rc;
    }
    completeCurrentWrite();
}

void AsyncSocket::completeCurrentWrite()
{
    const long tag = m_currentWrite->tag;
    endCurrentWrite();
    scheduleDequeueWrite();
    if (m_delegate)
        m_delegate->onSocketDidWriteDataWithTag(this, tag);
}

void AsyncSocket::endCurrentWrite()
{
    if (m_writeTimer)
        m_writeTimer->stop();
    m_currentWrite.reset();
}

void AsyncSocket::writeTimedOut()
{
    const AsyncSocketError error = errorWithCode(WriteTimeoutError);
    closeWithError(&error);
}

// ---- closing ----

void AsyncSocket::disconnect()
{
    close();
}

void AsyncSocket::disconnectAfterReading()
{
    m_flags |= ForbidReadsWrites | DisconnectAfterReads;
    maybeScheduleDisconnect();
}

void AsyncSocket::disconnectAfterWriting()
{
    m_flags |= ForbidReadsWrites | DisconnectAfterWrites;
    maybeScheduleDisconnect();
}

void AsyncSocket::disconnectAfterReadingAndWriting()
{
    m_flags |= ForbidReadsWrites | DisconnectAfterReads | DisconnectAfterWrites;
    maybeScheduleDisconnect();
}

void AsyncSocket::disconnectAfterWritingGracefully(double lingerSeconds)
{
    m_lingerSeconds = lingerSeconds;
    m_flags |= ForbidReadsWrites | DisconnectAfterWrites | LingerAfterWrites;
    maybeScheduleDisconnect();
}

void AsyncSocket::maybeScheduleDisconnect()
{
    const bool afterReads = m_flags & DisconnectAfterReads;
    const bool afterWrites = m_flags & DisconnectAfterWrites;
    if (!afterReads && !afterWrites)
        return;
    const bool readsIdle = m_readQueue.isEmpty() && !m_currentRead;
    const bool writesIdle = m_writeQueue.isEmpty() && !m_currentWrite;
    if ((afterReads && !readsIdle) || (afterWrites && !writesIdle) || m_disconnectScheduled)
        return;
    m_disconnectScheduled = true;
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation != m_generation)
                return;
            if (m_flags & LingerAfterWrites)
                startLingering();
            else
                close();
        },
        Qt::QueuedConnection);
}

void AsyncSocket::startLingering()
{
    if (m_fd < 0 || m_lingering)
        return;
    m_readQueue.clear();
    endCurrentRead();
    if (m_streamEnded || ::shutdown(m_fd, SHUT_WR) != 0) {
        close();
        return;
    }
    m_lingering = true;
    m_lingerDrained = 0;
    const quint64 generation = m_generation;
    QTimer::singleShot(int(std::clamp(m_lingerSeconds * 1000.0, 0.0, 2e9)), this, [this, generation] {
        if (generation == m_generation)
            close();
    });
    if (m_readNotifier)
        m_readNotifier->setEnabled(true);
    drainLingering();
}

void AsyncSocket::drainLingering()
{
    char discard[kLingerPiece];
    for (qsizetype taken = 0; taken < kLingerPiece;) {
        const ssize_t rc = ::recv(m_fd, discard, sizeof discard, MSG_DONTWAIT);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (rc <= 0 || (m_lingerDrained += rc) > kLingerLimit) {
            close(); // the peer is done (or will not stop)
            return;
        }
        taken += rc;
    }
}

void AsyncSocket::closeWithError(const AsyncSocketError *error)
{
    m_flags |= ClosingWithError;
    if (m_flags & DidPassConnectMethod) {
        if (m_currentRead && m_currentRead->bytesDone > 0)
            m_partialReadBuffer.prepend(m_currentRead->buffer.constData(), m_currentRead->bytesDone);
        m_readQueue.clear();
        m_writeQueue.clear();
        endCurrentRead();
        endCurrentWrite();
        if (m_delegate)
            m_delegate->onSocketWillDisconnectWithError(this, error);
    }
    close();
}

QByteArray AsyncSocket::unreadData()
{
    if (!(m_flags & ClosingWithError))
        return {};
    if (m_fd >= 0) {
        char chunk[kReadChunk];
        for (;;) {
            const ssize_t rc = ::recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
            if (rc <= 0)
                break;
            m_partialReadBuffer.append(chunk, rc);
        }
    }
    return m_partialReadBuffer;
}

void AsyncSocket::close()
{
    m_readQueue.clear();
    m_writeQueue.clear();
    endCurrentRead();
    endCurrentWrite();
    ++m_generation;
    m_readDequeueScheduled = m_writeDequeueScheduled = m_disconnectScheduled = false;
    m_readDequeueDeferred = m_writeDequeueDeferred = false;
    m_partialReadBuffer.clear();

    // A notifier may be the one whose signal is running: retire it later.
    for (QSocketNotifier **n : {&m_listen4, &m_listen6, &m_readNotifier, &m_writeNotifier}) {
        if (*n) {
            (*n)->setEnabled(false);
            (*n)->deleteLater();
            *n = nullptr;
        }
    }
    if (m_fd >= 0) {
        ::close(m_fd);
    } else {
        if (m_fd4 >= 0)
            ::close(m_fd4);
        if (m_fd6 >= 0)
            ::close(m_fd6);
    }
    m_fd = m_fd4 = m_fd6 = -1;
    m_streamReadable = m_streamEnded = m_lingering = false;

    const bool notify = m_flags & DidPassConnectMethod;
    m_flags &= PreBuffering;
    if (notify && m_delegate) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_delegate)
                    m_delegate->onSocketDidDisconnect(this);
            },
            Qt::QueuedConnection);
    }
}

// ---- state ----

bool AsyncSocket::isConnected() const
{
    return m_fd >= 0 && (m_flags & DidCompleteOpenForRead) && (m_flags & DidCompleteOpenForWrite);
}

QString AsyncSocket::connectedHost() const
{
    sockaddr_storage address;
    return peerAddress(m_fd, &address, false) ? addressToString(address, nullptr) : QString();
}

quint16 AsyncSocket::connectedPort() const
{
    sockaddr_storage address;
    quint16 port = 0;
    if (peerAddress(m_fd, &address, false))
        addressToString(address, &port);
    return port;
}

QString AsyncSocket::localHost() const
{
    sockaddr_storage address;
    const int fd = m_fd >= 0 ? m_fd : (m_fd4 >= 0 ? m_fd4 : m_fd6);
    return peerAddress(fd, &address, true) ? addressToString(address, nullptr) : QString();
}

quint16 AsyncSocket::localPort() const
{
    sockaddr_storage address;
    quint16 port = 0;
    const int fd = m_fd >= 0 ? m_fd : (m_fd4 >= 0 ? m_fd4 : m_fd6);
    if (peerAddress(fd, &address, true))
        addressToString(address, &port);
    return port;
}

bool AsyncSocket::isIPv4() const
{
    return m_fd >= 0 ? m_fd4 == m_fd : m_fd4 >= 0;
}

bool AsyncSocket::isIPv6() const
{
    return m_fd >= 0 ? m_fd6 == m_fd : m_fd6 >= 0;
}

float AsyncSocket::progressOfReadReturningTag(long *tag, qsizetype *done, qsizetype *total) const
{
    if (!m_currentRead)
        return NAN;
    const qsizetype length = m_currentRead->toLength ? m_currentRead->buffer.size() : 0;
    if (tag)
        *tag = m_currentRead->tag;
    if (done)
        *done = m_currentRead->bytesDone;
    if (total)
        *total = length;
    const float ratio = length ? float(m_currentRead->bytesDone) / float(length) : NAN;
    return std::isnan(ratio) ? 1.0f : ratio;
}

float AsyncSocket::progressOfWriteReturningTag(long *tag, qsizetype *done, qsizetype *total) const
{
    if (!m_currentWrite)
        return NAN;
    if (tag)
        *tag = m_currentWrite->tag;
    if (done)
        *done = m_currentWrite->bytesDone;
    if (total)
        *total = m_currentWrite->length();
    return float(m_currentWrite->bytesDone) / float(m_currentWrite->length());
}

QString AsyncSocket::description() const
{
    QString text = QStringLiteral("<AsyncSocket %1").arg(quintptr(this), 0, 16);
    if (m_fd >= 0)
        text += QStringLiteral(" connected %1:%2").arg(connectedHost()).arg(connectedPort());
    else if (m_fd4 >= 0 || m_fd6 >= 0)
        text += QStringLiteral(" listening on port %1").arg(localPort());
    else
        text += QStringLiteral(" closed");
    text += QStringLiteral(" reads %1 writes %2 buffered %3>")
                .arg(m_readQueue.size() + (m_currentRead ? 1 : 0))
                .arg(m_writeQueue.size() + (m_currentWrite ? 1 : 0))
                .arg(m_partialReadBuffer.size());
    return text;
}
