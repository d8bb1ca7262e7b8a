#pragma once

#include <QMap>
#include <QString>

// The machine's IPv4 addresses, one per interface name.
class localhostAddresses
{
public:
    localhostAddresses() = delete;

    // Lists the addresses and posts "LocalhostAdressesResolved" with them (a QVariantMap
    // from interface name to dotted address) on the calling thread. Meant for a background thread.
    static void list();
    // The same look-up, run on the global thread pool.
    static void listInBackground();
    static QMap<QString, QString> addresses();
};
