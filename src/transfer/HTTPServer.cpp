#include "transfer/HTTPServer.h"

#include "library/NotificationNames.h"
#include "platform/MemoryTuning.h"
#include "platform/NotificationCenter.h"
#include "transfer/HTTPConnection.h"
#include "transfer/MDNSPublisher.h"

#include <QDebug>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>

namespace {
// Descriptors kept for everything else the process opens (settings, songs, the event loop).
constexpr rlim_t kReservedDescriptors = 64;
// A burst of clients is over once none has gone for this long: its memory goes back then.
constexpr int kTrimDelayMs = 1000;

// Desktop sessions start programs with a soft limit of 1024 descriptors and a far higher
// hard one: take all that is allowed. Returns the soft limit in force.
rlim_t raiseDescriptorLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        // "Unlimited" is not a number of descriptors the kernel accepts; its usual ceiling is.
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY ? rlim_t(1) << 20 : limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur;
}
} // namespace

HTTPServer::HTTPServer()
    : m_listener(std::make_unique<AsyncSocket>(this)), m_trimTimer(new QTimer(this)), m_stallSweep(new QTimer(this))
{
    setConnectionClass<HTTPConnection>();
    m_trimTimer->setSingleShot(true);
    m_trimTimer->setInterval(kTrimDelayMs);
    connect(m_trimTimer, &QTimer::timeout, this, [] { MemoryTuning::releaseFreeMemory(); });
    // One look at all connections now and then costs less than a timer per connection
    // moved with every request.
    connect(m_stallSweep, &QTimer::timeout, this, &HTTPServer::closeStalledConnections);
    NotificationCenter::defaultCenter().addObserver(this, TransferNotify::connectionDidDie,
                                                    [this](const Notification &notification) {
                                                        connectionDidDie(notification.object.value<QObject *>());
                                                    });
}

HTTPServer::~HTTPServer()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    stop();
}

void HTTPServer::setDomain(const QString &domain)
{
    if (domain != m_domain)
        m_domain = domain;
}

void HTTPServer::setType(const QString &type)
{
    if (type != m_type)
        m_type = type;
}

void HTTPServer::setName(const QString &name)
{
    if (name != m_name)
        m_name = name;
}

QString HTTPServer::publishedName() const
{
    return m_netService ? m_netService->publishedName() : QString();
}

void HTTPServer::setTXTRecordDictionary(const QMap<QString, QString> &record)
{
    if (record == m_txtRecord)
        return;
    m_txtRecord = record;
    if (m_netService)
        m_netService->setTXTRecord(record);
}

bool HTTPServer::start(AsyncSocketError *error)
{
    const rlim_t descriptors = raiseDescriptorLimit();
    const rlim_t room = descriptors > 2 * kReservedDescriptors ? (descriptors - kReservedDescriptors) / 2 : 1;
    m_capacity = int(std::min<rlim_t>(rlim_t(std::max(m_limits.maxConnections, 1)), room));
    if (m_prepareDocumentRoot && !m_documentRoot.isEmpty())
        m_prepareDocumentRoot(m_documentRoot);
    // A quarter of the shorter time-out, at most a second: a connection goes at most that late.
    const double shorter = std::min(m_limits.headerTimeout, m_limits.bodyTimeout);
    m_stallSweep->setInterval(int(std::clamp(shorter * 250.0, 10.0, 1000.0)));
    AsyncSocketError failure;
    if (!m_listener->acceptOnAddress(m_interface, m_port, &failure)) {
        qWarning().noquote() << QStringLiteral("Failed to start HTTP Server: %1").arg(failure.toString());
        if (error)
            *error = failure;
        return false;
    }
    m_port = m_listener->localPort();
    qInfo().noquote() << QStringLiteral("Started HTTP server on port %1").arg(m_port);
    if (!m_type.isEmpty()) {
        m_netService = std::make_unique<MDNSPublisher>(m_domain, m_type, m_name, m_port);
        m_netService->setTXTRecord(m_txtRecord);
        m_netService->publish();
    }
    return true;
}

bool HTTPServer::stop()
{
    m_stallSweep->stop();
    m_netService.reset();
    m_listener->disconnect();
    QList<HTTPConnection *> connections;
    {
        QMutexLocker locker(&m_connectionsLock);
        connections.swap(m_connections);
    }
    qDeleteAll(connections);
    return true;
}

bool HTTPServer::isRunning() const
{
    return m_listener->socket4FD() >= 0 || m_listener->socket6FD() >= 0;
}

int HTTPServer::numberOfHTTPConnections() const
{
    QMutexLocker locker(&m_connectionsLock);
    return int(m_connections.size());
}

void HTTPServer::onSocketDidAcceptNewSocket(AsyncSocket *, AsyncSocket *newSocket)
{
    makeRoomForOneMore();
    HTTPConnection *connection = m_connectionFactory(newSocket, this);
    QMutexLocker locker(&m_connectionsLock);
    m_connections.append(connection);
    if (!m_stallSweep->isActive())
        m_stallSweep->start();
}

void HTTPServer::closeStalledConnections()
{
    QList<HTTPConnection *> connections;
    {
        QMutexLocker locker(&m_connectionsLock);
        connections = m_connections;
    }
    if (connections.isEmpty()) {
        m_stallSweep->stop();
        return;
    }
    const qint64 now = HTTPConnection::monotonicMs();
    for (HTTPConnection *connection : std::as_const(connections))
        connection->closeIfStalled(now);
}

// A new client is always served: at the limit, the connection that waited longest without
// doing anything goes (an idle one first, one in the middle of a request only if none is idle).
void HTTPServer::makeRoomForOneMore()
{
    HTTPConnection *victim = nullptr;
    {
        QMutexLocker locker(&m_connectionsLock);
        int open = 0;
        for (HTTPConnection *connection : std::as_const(m_connections)) {
            if (connection->isClosed())
                continue;
            ++open;
            const auto rank = [](const HTTPConnection *c) { return std::pair(!c->isIdle(), c->lastProgress()); };
            if (!victim || rank(connection) < rank(victim))
                victim = connection;
        }
        if (open < m_capacity)
            victim = nullptr;
    }
    if (victim)
        victim->evict();
}

void HTTPServer::connectionDidDie(QObject *object)
{
    HTTPConnection *found = nullptr;
    {
        QMutexLocker locker(&m_connectionsLock);
        for (HTTPConnection *connection : std::as_const(m_connections)) {
            if (static_cast<QObject *>(connection) == object) {
                found = connection;
                break;
            }
        }
        if (found)
            m_connections.removeOne(found);
    }
    // The connection is still inside its own callback: let it return first.
    if (found) {
        found->deleteLater();
        m_trimTimer->start();
    }
}
