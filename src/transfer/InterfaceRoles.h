#pragma once

#include <QMap>
#include <QString>

#include <vector>

// Which of the desktop's network interfaces stands for the phone's Wi-Fi and mobile links:
// the one table of name prefixes, read from the top. The Wi-Fi URL uses the first wireless
// interface that has an address, else the first wired one; the mobile URL a mobile-broadband
// one. Loopback and the bridges of containers and virtual machines never count.
class InterfaceRoles
{
public:
    InterfaceRoles() = delete;

    enum class Role { Ignored, Wireless, Wired, Mobile };
    struct Rule
    {
        const char *prefix;
        Role role;
    };

    static const std::vector<Rule> &rules();
    // The role of the first rule whose prefix begins the name; Ignored when none does.
    static Role roleOf(const QString &interfaceName);

    // From interface name -> IPv4 address (interfaces in name order); empty when none fits.
    static QString wifiAddress(const QMap<QString, QString> &addresses);
    static QString mobileAddress(const QMap<QString, QString> &addresses);
};
