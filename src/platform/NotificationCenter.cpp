#include "NotificationCenter.h"

#include <QMutexLocker>

#include <algorithm>

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

int NotificationCenter::addObserver(const QObject *owner, const QString &name, Observer observer)
{
    QMutexLocker lock(&m_mutex);
    const int token = m_nextToken++;
    QMetaObject::Connection watch;
    if (owner)
        watch = QObject::connect(owner, &QObject::destroyed, [this, token] { removeObserver(token); });
    m_registrations.push_back({token, owner, name, std::move(observer), watch});
    return token;
}

template <typename Match>
void NotificationCenter::remove(Match match)
{
    std::vector<QMetaObject::Connection> watches;
    {
        QMutexLocker lock(&m_mutex);
        for (const Registration &r : m_registrations)
            if (match(r))
                watches.push_back(r.ownerWatch);
        std::erase_if(m_registrations, match);
    }
    for (const QMetaObject::Connection &watch : watches)
        QObject::disconnect(watch);
}

void NotificationCenter::removeObserver(int token)
{
    remove([token](const Registration &r) { return r.token == token; });
}

void NotificationCenter::removeObserver(const QObject *owner, const QString &name)
{
    remove([&](const Registration &r) { return r.owner == owner && (name.isNull() || r.name == name); });
}

bool NotificationCenter::isRegistered(int token) const
{
    QMutexLocker lock(&m_mutex);
    return std::any_of(m_registrations.cbegin(), m_registrations.cend(),
                       [token](const Registration &r) { return r.token == token; });
}

void NotificationCenter::postNotification(const Notification &notification)
{
    // Observers may add or remove observers (or post) while being called: call a
    // snapshot, skipping any registration removed in the meantime.
    std::vector<std::pair<int, Observer>> targets;
    {
        QMutexLocker lock(&m_mutex);
        for (const Registration &r : m_registrations)
            if (r.name == notification.name)
                targets.emplace_back(r.token, r.observer);
    }
    for (const auto &[token, observer] : targets)
        if (isRegistered(token))
            observer(notification);
}

void NotificationCenter::postNotificationName(const QString &name, const QVariant &object, const QVariantMap &userInfo)
{
    postNotification({name, object, userInfo});
}
