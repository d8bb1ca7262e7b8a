#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>

class QSocketNotifier;
class QTimer;
class AsyncSocket;

// A failure handed to the delegate: domain, code and a readable description.
struct AsyncSocketError
{
    QString domain;
    int code = 0;
    QString description;
    QString reason; // the system's own words, when it gave any

    // The whole error for a log line.
    QString toString() const;
};

// Misuse of the socket by its owner (accepting without a delegate, twice, ...).
class AsyncSocketException : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

// Everything is optional; the defaults do nothing (and let a connection go on).
class AsyncSocketDelegate
{
public:
    virtual ~AsyncSocketDelegate() = default;
    virtual void onSocketDidAcceptNewSocket(AsyncSocket *, AsyncSocket *) {}
    virtual bool onSocketWillConnect(AsyncSocket *) { return true; }
    virtual void onSocketDidConnectToHost(AsyncSocket *, const QString &, quint16) {}
    virtual void onSocketDidReadData(AsyncSocket *, const QByteArray &, long) {}
    virtual void onSocketDidReadPartialDataOfLength(AsyncSocket *, qsizetype, long) {}
    virtual void onSocketDidWriteDataWithTag(AsyncSocket *, long) {}
    // Some bytes of the current write went out, not all of them yet.
    virtual void onSocketDidWritePartialDataOfLength(AsyncSocket *, qsizetype, long) {}
    // Only when the socket closes because of an error; the error is null when the peer simply ended.
    virtual void onSocketWillDisconnectWithError(AsyncSocket *, const AsyncSocketError *) {}
    // After every close, always on a later turn of the event loop.
    virtual void onSocketDidDisconnect(AsyncSocket *) {}
};

// A non-blocking TCP socket driven by the Qt event loop. Reads and writes are queued
// with a time-out and a tag and complete through delegate calls carrying the tag back.
// One thread only, so no locks. Outgoing connections and TLS are not offered: the
// program only ever accepts.
class AsyncSocket : public QObject
{
    Q_OBJECT
public:
    enum ErrorCode {
        CFSocketError = -1,
        CanceledError = 1,
        ConnectTimeoutError = 2,
        ReadMaxedOutError = 3,
        ReadTimeoutError = 4,
        WriteTimeoutError = 5,
    };
    static const QString errorDomain; // "AsyncSocketErrorDomain"

    explicit AsyncSocket(AsyncSocketDelegate *delegate = nullptr, long userData = 0);
    ~AsyncSocket() override;

    AsyncSocketDelegate *delegate() const { return m_delegate; }
    void setDelegate(AsyncSocketDelegate *delegate) { m_delegate = delegate; }
    long userData() const { return m_userData; }
    void setUserData(long userData) { m_userData = userData; }
    bool canSafelySetDelegate() const;
    void enablePreBuffering() { m_flags |= PreBuffering; }

    static QByteArray CRLFData() { return QByteArrayLiteral("\r\n"); }
    static QByteArray CRData() { return QByteArrayLiteral("\r"); }
    static QByteArray LFData() { return QByteArrayLiteral("\n"); }
    static QByteArray ZeroData() { return QByteArray(1, '\0'); }

    // Listens on every address ("" ), on loopback ("localhost"/"loopback") or on one
    // resolved name, IPv4 and IPv6 on the same port (also for port 0).
    bool acceptOnPort(quint16 port, AsyncSocketError *error = nullptr);
    bool acceptOnAddress(const QString &address, quint16 port, AsyncSocketError *error = nullptr);

    void readDataToLength(qsizetype length, double timeout, long tag);
    void readDataToData(const QByteArray &terminator, double timeout, long tag);
    void readDataToData(const QByteArray &terminator, double timeout, qsizetype maxLength, long tag);
    void readDataWithTimeout(double timeout, long tag);
    void writeData(const QByteArray &data, double timeout, long tag);
    // Sends `length` bytes of an open file from `offset` straight from the file system
    // cache. The descriptor must stay open until the write completes (or the socket closes);
    // a file that ends early closes the socket with an error.
    void writeFile(int fileDescriptor, quint64 offset, qsizetype length, double timeout, long tag);

    void disconnect();
    void disconnectAfterReading();
    void disconnectAfterWriting();
    void disconnectAfterReadingAndWriting();
    // Once the queued writes are out: half-closes the connection, then discards what the
    // peer still sends until it closes its side or `lingerSeconds` pass, and closes. An
    // immediate close with unread bytes would reset the connection, and a peer still
    // sending its request could lose the response it was about to read.
    void disconnectAfterWritingGracefully(double lingerSeconds);
    // Meaningful only inside onSocketWillDisconnectWithError: what was read but not delivered.
    QByteArray unreadData();

    bool isConnected() const;
    QString connectedHost() const;
    quint16 connectedPort() const;
    QString localHost() const;
    quint16 localPort() const;
    bool isIPv4() const;
    bool isIPv6() const;
    float progressOfReadReturningTag(long *tag, qsizetype *done, qsizetype *total) const;
    float progressOfWriteReturningTag(long *tag, qsizetype *done, qsizetype *total) const;
    QString description() const;

    // The native handles (-1 when absent).
    int socket4FD() const { return m_fd4; }
    int socket6FD() const { return m_fd6; }

    static AsyncSocketError posixError(int errnoValue);

private:
    enum Flag : quint16 {
        PreBuffering = 1 << 0,
        DidPassConnectMethod = 1 << 1,
        DidCompleteOpenForRead = 1 << 2,
        DidCompleteOpenForWrite = 1 << 3,
        StartingTLS = 1 << 4,
        ForbidReadsWrites = 1 << 5,
        DisconnectAfterReads = 1 << 6,
        DisconnectAfterWrites = 1 << 7,
        ClosingWithError = 1 << 8,
        LingerAfterWrites = 1 << 9,
    };
    struct ReadPacket;
    struct WritePacket;

    void acceptPending(int listenFD);
    void adoptAcceptedSocket(int fd);
    void streamsOpened();
    void scheduleDequeueRead();
    void scheduleDequeueWrite();
    void scheduleDequeue(bool &deferred, bool &scheduled, void (AsyncSocket::*dequeue)());
    template <typename Work>
    void handleEvent(Work &&work);
    void maybeDequeueRead();
    void maybeDequeueWrite();
    void doBytesAvailable();
    void doSendBytes();
    void completeCurrentRead();
    void endCurrentRead();
    void completeCurrentWrite();
    void endCurrentWrite();
    void readTimedOut();
    void writeTimedOut();
    void maybeScheduleDisconnect();
    void startLingering();
    void drainLingering();
    void closeWithError(const AsyncSocketError *error);
    void close();
    void setReadWatch(bool on);
    void setWriteWatch(bool on);
    static AsyncSocketError errorWithCode(int code);

    AsyncSocketDelegate *m_delegate = nullptr;
    long m_userData = 0;
    quint16 m_flags = PreBuffering;

    int m_fd4 = -1; // listening IPv4, or the connected socket when it is IPv4
    int m_fd6 = -1;
    int m_fd = -1; // the connected socket
    QSocketNotifier *m_listen4 = nullptr;
    QSocketNotifier *m_listen6 = nullptr;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    bool m_streamReadable = false; // no EAGAIN seen since the last readiness event
    bool m_streamEnded = false;
    bool m_lingering = false; // half-closed, discarding what the peer still sends
    double m_lingerSeconds = 0;
    qsizetype m_lingerDrained = 0;

    QList<std::shared_ptr<ReadPacket>> m_readQueue;
    std::shared_ptr<ReadPacket> m_currentRead;
    QTimer *m_readTimer = nullptr;
    QByteArray m_partialReadBuffer;
    QList<std::shared_ptr<WritePacket>> m_writeQueue;
    std::shared_ptr<WritePacket> m_currentWrite;
    QTimer *m_writeTimer = nullptr;
    bool m_readDequeueScheduled = false;
    bool m_writeDequeueScheduled = false;
    bool m_disconnectScheduled = false;
    // While one of this socket's own events runs, dequeues its callbacks ask for are
    // run when it returns (never inside the caller's request) instead of being posted.
    bool m_handlingEvent = false;
    bool m_readDequeueDeferred = false;
    bool m_writeDequeueDeferred = false;
    quint64 m_generation = 0; // bumped by close: cancels deferred work queued before it
};
