#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

struct Notification
{
    QString name;
    QVariant object;
    QVariantMap userInfo;
};

// Named notifications. Observers register for a name; posting calls every observer of
// that name synchronously, on the posting thread, in the order they registered.
class NotificationCenter
{
public:
    using Observer = std::function<void(const Notification &)>;

    static NotificationCenter &defaultCenter();

    // The owner identifies the observer for removal; when it is a QObject that is
    // destroyed, its observers are removed with it. Returns a token for removeObserver.
    int addObserver(const QObject *owner, const QString &name, Observer observer);
    void removeObserver(int token);
    // Every registration of the owner, or only those for one name.
    void removeObserver(const QObject *owner, const QString &name = QString());

    void postNotification(const Notification &notification);
    void postNotificationName(const QString &name, const QVariant &object = QVariant(),
                              const QVariantMap &userInfo = QVariantMap());

private:
    struct Registration
    {
        int token;
        const QObject *owner;
        QString name;
        Observer observer;
        // Removes the registration when the owner is destroyed; undone with the registration.
        QMetaObject::Connection ownerWatch;
    };

    bool isRegistered(int token) const;
    // Takes the matching registrations out; their owner watches are undone outside the lock.
    template <typename Match>
    void remove(Match match);

    mutable QMutex m_mutex;
    std::vector<Registration> m_registrations;
    int m_nextToken = 1;
};
