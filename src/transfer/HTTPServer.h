#pragma once

#include "transfer/AsyncSocket.h"

#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class HTTPConnection;
class MDNSPublisher;
class QTimer;

// Listens (IPv4 and IPv6), makes one connection object per client and keeps the live
// ones, and advertises itself on the local network when a service type is set.
class HTTPServer : public QObject, public AsyncSocketDelegate
{
    Q_OBJECT
public:
    using ConnectionFactory = std::function<HTTPConnection *(AsyncSocket *, HTTPServer *)>;

    // What one client may take of the machine.
    struct Limits
    {
        // Connections at once; a new client beyond them closes the one idle longest. Fewer
        // when the process has few descriptors (each connection may hold a socket and a file).
        int maxConnections = 512;
        // Seconds a connection may go without progress while a request header arrives (or
        // before it starts), and while a body arrives or a response is being read.
        double headerTimeout = 30;
        double bodyTimeout = 120;
    };

    HTTPServer();
    ~HTTPServer() override;

    QObject *delegate() const { return m_delegate; }
    void setDelegate(QObject *delegate) { m_delegate = delegate; }
    QString documentRoot() const { return m_documentRoot; }
    void setDocumentRoot(const QString &path) { m_documentRoot = path; }
    // A connection class may offer `static void prepareDocumentRoot(const QString &)`: it runs
    // at every start, before the first client is accepted (to tidy what an earlier run left).
    template <class Connection>
    void setConnectionClass()
    {
        m_connectionFactory = [](AsyncSocket *socket, HTTPServer *server) { return new Connection(socket, server); };
        if constexpr (requires { Connection::prepareDocumentRoot(QString()); })
            m_prepareDocumentRoot = [](const QString &root) { Connection::prepareDocumentRoot(root); };
        else
            m_prepareDocumentRoot = nullptr;
    }
    QString domain() const { return m_domain; }
    void setDomain(const QString &domain);
    QString type() const { return m_type; }
    void setType(const QString &type);
    QString name() const { return m_name; }
    void setName(const QString &name);
    // The name under which the service is actually published (empty until it is).
    QString publishedName() const;
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }
    // Where to listen: "" for every address (the default), "localhost" for loopback only.
    QString interface() const { return m_interface; }
    void setInterface(const QString &interface) { m_interface = interface; }
    // A non-null password protects every request with HTTP authentication (any user
    // name, this password); null: open to everyone. Read by each request.
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    const Limits &limits() const { return m_limits; }
    void setLimits(const Limits &limits) { m_limits = limits; }
    QMap<QString, QString> TXTRecordDictionary() const { return m_txtRecord; }
    void setTXTRecordDictionary(const QMap<QString, QString> &record);

    bool start(AsyncSocketError *error = nullptr);
    bool stop();
    bool isRunning() const;
    int numberOfHTTPConnections() const;

    void onSocketDidAcceptNewSocket(AsyncSocket *listener, AsyncSocket *newSocket) override;

private:
    void connectionDidDie(QObject *connection);
    void makeRoomForOneMore();
    void closeStalledConnections();

    std::unique_ptr<AsyncSocket> m_listener;
    QObject *m_delegate = nullptr;
    QString m_documentRoot;
    ConnectionFactory m_connectionFactory;
    std::function<void(const QString &)> m_prepareDocumentRoot;
    Limits m_limits;
    int m_capacity = 0;
    QTimer *m_trimTimer = nullptr;
    QTimer *m_stallSweep = nullptr;
    std::unique_ptr<MDNSPublisher> m_netService;
    QString m_domain = QStringLiteral("local.");
    QString m_type;
    QString m_name;
    QString m_interface;
    quint16 m_port = 5551;
    QString m_password;
    QMap<QString, QString> m_txtRecord;
    mutable QMutex m_connectionsLock;
    QList<HTTPConnection *> m_connections;
};
