#include "transfer/HTTPServer.h"

#include "library/NotificationNames.h"
#include "platform/NotificationCenter.h"
#include "transfer/HTTPConnection.h"
#include "transfer/MDNSPublisher.h"

#include <QDebug>

HTTPServer::HTTPServer() : m_listener(std::make_unique<AsyncSocket>(this))
{
    setConnectionClass<HTTPConnection>();
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
    HTTPConnection *connection = m_connectionFactory(newSocket, this);
    QMutexLocker locker(&m_connectionsLock);
    m_connections.append(connection);
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
    if (found)
        found->deleteLater();
}
