#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The names this server answers to: an IP literal, "localhost", or this machine's host
// name (plain or in ".local"). A request naming anything else in its Host header reached
// this address through another site's name (DNS rebinding), and a write whose Origin is
// anything else comes from another site's page.
class RequestOrigin
{
public:
    RequestOrigin() = delete;

    // A Host header value: "name", "name:port", "[IPv6]" or "[IPv6]:port".
    static bool isOwnHost(QByteArrayView host);
    // An Origin header value: "http://" and an own host, on `port` (80 when it names none).
    static bool isOwnOrigin(QByteArrayView origin, quint16 port);
};
