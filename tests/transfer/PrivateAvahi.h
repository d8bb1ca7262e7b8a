#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// An avahi-daemon of the test's own, on a message bus of its own, in a network namespace
// that has only the loopback interface (nothing is announced on the real network) and a
// mount namespace whose /run is private (where the daemon keeps its pid file). Needs the
// superuser for the namespaces; isRunning() is false, with whyNot() saying why, otherwise.
class PrivateAvahi
{
public:
    PrivateAvahi();
    ~PrivateAvahi();

    bool isRunning() const { return m_running; }
    QString whyNot() const { return m_whyNot; }
    // For DBUS_SYSTEM_BUS_ADDRESS of the daemon's clients.
    QString busAddress() const;
    // Kills the daemon (which is started again at once) and waits until the new one runs.
    bool restartDaemon();

    struct Service
    {
        QString name;
        quint16 port = 0;
    };
    // The services of a type that the daemon knows now ("_http._tcp").
    QList<Service> browse(const QString &type) const;

private:
    bool waitForDaemon(qint64 oldPid);
    qint64 daemonPid() const;

    QTemporaryDir m_dir;
    QProcess m_namespace;
    bool m_running = false;
    QString m_whyNot;
};
