#include "transfer/localhostAddresses.h"

#include "library/NotificationNames.h"
#include "platform/NotificationCenter.h"

#include <QThreadPool>
#include <QVariant>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

QMap<QString, QString> localhostAddresses::addresses()
{
    QMap<QString, QString> result;
    ifaddrs *list = nullptr;
    if (::getifaddrs(&list) != 0)
        return result;
    for (ifaddrs *entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const auto *in = reinterpret_cast<const sockaddr_in *>(entry->ifa_addr);
        const auto *bytes = reinterpret_cast<const unsigned char *>(&in->sin_addr.s_addr);
        result.insert(QString::fromLocal8Bit(entry->ifa_name),
                      QStringLiteral("%1.%2.%3.%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]));
    }
    ::freeifaddrs(list);
    return result;
}

void localhostAddresses::list()
{
    QVariantMap map;
    const QMap<QString, QString> found = addresses();
    for (auto it = found.cbegin(); it != found.cend(); ++it)
        map.insert(it.key(), it.value());
    NotificationCenter::defaultCenter().postNotificationName(TransferNotify::addressesResolved, map);
}

void localhostAddresses::listInBackground()
{
    QThreadPool::globalInstance()->start([] { list(); });
}
