#include "transfer/MDNSPublisher.h"

#include <QDebug>
#include <QSysInfo>

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>
#include <avahi-common/timeval.h>

namespace {
// Avahi spells types and domains without the final dot.
QByteArray withoutFinalDot(const QString &text)
{
    QString trimmed = text;
    while (trimmed.endsWith(QLatin1Char('.')))
        trimmed.chop(1);
    return trimmed.toUtf8();
}
} // namespace

MDNSPublisher::MDNSPublisher(const QString &domain, const QString &type, const QString &name, quint16 port)
    : m_domain(domain), m_type(type), m_name(name.isEmpty() ? QSysInfo::machineHostName() : name), m_port(port)
{}

MDNSPublisher::~MDNSPublisher()
{
    if (m_poll)
        avahi_threaded_poll_stop(m_poll);
    if (m_client)
        avahi_client_free(m_client); // frees the entry group too
    if (m_poll)
        avahi_threaded_poll_free(m_poll);
}

void MDNSPublisher::setTXTRecord(const QMap<QString, QString> &record)
{
    if (!m_poll) {
        m_txt = record;
        return;
    }
    // The Avahi thread reads the record when it (re-)registers the service.
    avahi_threaded_poll_lock(m_poll);
    m_txt = record;
    if (!m_group) {
        avahi_threaded_poll_unlock(m_poll);
        return;
    }
    AvahiStringList *list = nullptr;
    for (auto it = m_txt.cbegin(); it != m_txt.cend(); ++it)
        list = avahi_string_list_add_pair(list, it.key().toUtf8().constData(), it.value().toUtf8().constData());
    const QByteArray name = publishedName().toUtf8();
    avahi_entry_group_update_service_txt_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                name.constData(), withoutFinalDot(m_type).constData(),
                                                withoutFinalDot(m_domain).constData(), list);
    avahi_string_list_free(list);
    avahi_threaded_poll_unlock(m_poll);
}

void MDNSPublisher::publish()
{
    m_poll = avahi_threaded_poll_new();
    if (!m_poll) {
        qInfo().noquote() << "HTTP Server: mDNS publishing unavailable (no Avahi event loop); running unpublished";
        return;
    }
    // Created before the poll thread runs, so the first callbacks cannot race this assignment.
    if (!connectClient()) {
        avahi_threaded_poll_free(m_poll);
        m_poll = nullptr;
        return;
    }
    avahi_threaded_poll_start(m_poll);
}

// A client that waits for the daemon when there is none (or none yet), instead of failing.
bool MDNSPublisher::connectClient()
{
    int error = 0;
    m_client = avahi_client_new(avahi_threaded_poll_get(m_poll), AVAHI_CLIENT_NO_FAIL,
                                reinterpret_cast<AvahiClientCallback>(&MDNSPublisher::clientCallback), this, &error);
    if (!m_client) {
        qInfo().noquote() << QStringLiteral("HTTP Server: mDNS publishing unavailable (%1); running unpublished")
                                 .arg(QString::fromUtf8(avahi_strerror(error)));
        return false;
    }
    if (avahi_client_get_state(m_client) == AVAHI_CLIENT_CONNECTING)
        qInfo().noquote() << "HTTP Server: no mDNS daemon yet; publishing as soon as one runs";
    return true;
}

// A client that lost its daemon is dead for good: a new one, made on the poll thread once the
// failing client's callback has returned, waits for the daemon to come back.
void MDNSPublisher::reconnectLater(unsigned delayMs)
{
    const AvahiPoll *api = avahi_threaded_poll_get(m_poll);
    timeval when{};
    api->timeout_new(
        api, avahi_elapse_time(&when, delayMs, 0),
        [](AvahiTimeout *timeout, void *self) {
            auto *publisher = static_cast<MDNSPublisher *>(self);
            avahi_threaded_poll_get(publisher->m_poll)->timeout_free(timeout);
            if (publisher->m_client)
                avahi_client_free(publisher->m_client); // frees the entry group too
            publisher->m_client = nullptr;
            publisher->m_group = nullptr;
            if (!publisher->connectClient())
                publisher->reconnectLater(5000); // not even the message bus: try again later
        },
        this);
}

void MDNSPublisher::setPublishedName(const QString &name)
{
    QMutexLocker locker(&m_lock);
    m_publishedName = name;
}

QString MDNSPublisher::publishedName() const
{
    QMutexLocker locker(&m_lock);
    return m_publishedName;
}

void MDNSPublisher::clientCallback(AvahiClient *client, int state, void *self)
{
    auto *publisher = static_cast<MDNSPublisher *>(self);
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        // Also after the host name changed: the emptied group is filled again.
        publisher->registerService(client);
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        publisher->setPublishedName({});
        if (publisher->m_group)
            avahi_entry_group_reset(publisher->m_group);
        break;
    case AVAHI_CLIENT_FAILURE:
        publisher->setPublishedName({});
        if (avahi_client_errno(client) == AVAHI_ERR_DISCONNECTED) {
            qInfo().noquote() << "HTTP Server: the mDNS daemon went away; publishing again when it is back";
            publisher->reconnectLater(0);
        } else {
            qInfo().noquote() << QStringLiteral("HTTP Server: mDNS publishing failed (%1)")
                                     .arg(QString::fromUtf8(avahi_strerror(avahi_client_errno(client))));
        }
        break;
    default:
        break;
    }
}

void MDNSPublisher::groupCallback(AvahiEntryGroup *group, int state, void *self)
{
    auto *publisher = static_cast<MDNSPublisher *>(self);
    if (state == AVAHI_ENTRY_GROUP_COLLISION) {
        // Someone else on the network has the name: take the next free one ("name #2").
        char *next = avahi_alternative_service_name(publisher->m_name.toUtf8().constData());
        publisher->m_name = QString::fromUtf8(next);
        avahi_free(next);
        avahi_entry_group_reset(group);
        publisher->registerService(avahi_entry_group_get_client(group));
    } else if (state == AVAHI_ENTRY_GROUP_ESTABLISHED) {
        publisher->setPublishedName(publisher->m_name);
    } else if (state == AVAHI_ENTRY_GROUP_FAILURE) {
        publisher->setPublishedName({});
    }
}

void MDNSPublisher::registerService(AvahiClient *client)
{
    if (!m_group)
        m_group = avahi_entry_group_new(client,
                                        reinterpret_cast<AvahiEntryGroupCallback>(&MDNSPublisher::groupCallback), this);
    if (!m_group || !avahi_entry_group_is_empty(m_group))
        return; // none to be had, or already registered
    AvahiStringList *list = nullptr;
    for (auto it = m_txt.cbegin(); it != m_txt.cend(); ++it)
        list = avahi_string_list_add_pair(list, it.key().toUtf8().constData(), it.value().toUtf8().constData());
    int rc = 0;
    // A name another program on this machine already publishes is refused at once.
    for (int attempt = 0; attempt < 100; ++attempt) {
        rc = avahi_entry_group_add_service_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                  m_name.toUtf8().constData(), withoutFinalDot(m_type).constData(),
                                                  withoutFinalDot(m_domain).constData(), nullptr, m_port, list);
        if (rc != AVAHI_ERR_COLLISION)
            break;
        char *next = avahi_alternative_service_name(m_name.toUtf8().constData());
        m_name = QString::fromUtf8(next);
        avahi_free(next);
    }
    avahi_string_list_free(list);
    if (rc < 0 || avahi_entry_group_commit(m_group) < 0)
        qInfo().noquote() << QStringLiteral("HTTP Server: mDNS publishing failed (%1)")
                                 .arg(QString::fromUtf8(avahi_strerror(avahi_client_errno(client))));
}
