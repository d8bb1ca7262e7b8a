#include "transfer/RequestOrigin.h"

#include <QByteArray>
#include <QString>
#include <QSysInfo>

#include <arpa/inet.h>

#include <optional>

namespace {
struct Authority
{
    QByteArray host; // without brackets
    bool bracketed = false;
    int port = -1; // -1: none given; 0: not a valid port
};

std::optional<Authority> parseAuthority(QByteArrayView text)
{
    Authority authority;
    QByteArrayView rest;
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        if (close < 0)
            return std::nullopt;
        authority.host = text.sliced(1, close - 1).toByteArray();
        authority.bracketed = true;
        rest = text.sliced(close + 1);
    } else {
        const qsizetype colon = text.indexOf(':');
        authority.host = (colon < 0 ? text : text.first(colon)).toByteArray();
        rest = colon < 0 ? QByteArrayView() : text.sliced(colon);
    }
    if (!rest.isEmpty()) {
        if (!rest.startsWith(':') || rest.size() < 2 || rest.size() > 6)
            return std::nullopt;
        int port = 0;
        for (char c : rest.sliced(1)) {
            if (c < '0' || c > '9')
                return std::nullopt;
            port = port * 10 + (c - '0');
        }
        if (port == 0 || port > 65535)
            return std::nullopt;
        authority.port = port;
    }
    return authority;
}

bool isOwnName(const Authority &authority)
{
    if (authority.bracketed) {
        QByteArray address = authority.host;
        if (const qsizetype zone = address.indexOf('%'); zone >= 0)
            address.truncate(zone); // a link-local address with its interface
        in6_addr parsed{};
        return ::inet_pton(AF_INET6, address.constData(), &parsed) == 1;
    }
    in_addr v4{};
    if (::inet_pton(AF_INET, authority.host.constData(), &v4) == 1)
        return true;
    QByteArray name = authority.host.toLower();
    if (name.endsWith('.'))
        name.chop(1);
    if (name.isEmpty())
        return false;
    if (name == "localhost")
        return true;
    const QByteArray machine = QSysInfo::machineHostName().toUtf8().toLower();
    const QByteArray firstLabel = machine.left(machine.indexOf('.') < 0 ? machine.size() : machine.indexOf('.'));
    return !machine.isEmpty() && (name == machine || name == machine + ".local" || name == firstLabel + ".local");
}
} // namespace

bool RequestOrigin::isOwnHost(QByteArrayView host)
{
    const std::optional<Authority> authority = parseAuthority(host.trimmed());
    return authority && isOwnName(*authority);
}

bool RequestOrigin::isOwnOrigin(QByteArrayView origin, quint16 port)
{
    const QByteArrayView text = origin.trimmed();
    constexpr QByteArrayView scheme("http://");
    if (text.size() <= scheme.size()
        || QByteArrayView(text.first(scheme.size())).compare(scheme, Qt::CaseInsensitive) != 0)
        return false;
    const std::optional<Authority> authority = parseAuthority(text.sliced(scheme.size()));
    return authority && isOwnName(*authority) && (authority->port < 0 ? 80 : authority->port) == port;
}
