#pragma once

#include <QMap>
#include <QMutex>
#include <QString>

struct AvahiThreadedPoll;
struct AvahiClient;
struct AvahiEntryGroup;

// Advertises one service by multicast DNS through the Avahi daemon. Without a running
// daemon it logs one line and waits for one: the server works unpublished meanwhile. The
// service is published again after a name collision (under the next free name) and after
// the daemon restarts.
class MDNSPublisher
{
public:
    // The type as in "_http._tcp."; an empty name means the machine's host name.
    MDNSPublisher(const QString &domain, const QString &type, const QString &name, quint16 port);
    ~MDNSPublisher();

    MDNSPublisher(const MDNSPublisher &) = delete;
    MDNSPublisher &operator=(const MDNSPublisher &) = delete;

    void setTXTRecord(const QMap<QString, QString> &record);
    void publish();
    QString publishedName() const;

private:
    static void clientCallback(AvahiClient *client, int state, void *self);
    static void groupCallback(AvahiEntryGroup *group, int state, void *self);
    void registerService(AvahiClient *client);
    bool connectClient();
    void reconnectLater(unsigned delayMs);
    void setPublishedName(const QString &name);

    QString m_domain;
    QString m_type;
    QString m_name;
    quint16 m_port;
    QMap<QString, QString> m_txt;
    mutable QMutex m_lock;
    QString m_publishedName;
    AvahiThreadedPoll *m_poll = nullptr;
    AvahiClient *m_client = nullptr;
    AvahiEntryGroup *m_group = nullptr;
};
