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
    int token;
    {
        QMutexLocker lock(&m_mutex);
        token = m_nextToken++;
        m_registrations.push_back({token, owner, name, std::move(observer)});
    }
    if (owner)
        QObject::connect(owner, &QObject::destroyed, [this, token] { removeObserver(token); });
    return token;
}

void NotificationCenter::removeObserver(int token)
{
    QMutexLocker lock(&m_mutex);
    std::erase_if(m_registrations, [token](const Registration &r) { return r.token == token; });
}

void NotificationCenter::removeObserver(const QObject *owner, const QString &name)
{
    QMutexLocker lock(&m_mutex);
    std::erase_if(m_registrations,
                  [&](const Registration &r) { return r.owner == owner && (name.isNull() || r.name == name); });
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
