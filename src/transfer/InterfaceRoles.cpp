#include "transfer/InterfaceRoles.h"

namespace {
QString firstWithRole(const QMap<QString, QString> &addresses, InterfaceRoles::Role role)
{
    for (auto it = addresses.cbegin(); it != addresses.cend(); ++it)
        if (!it.value().isEmpty() && InterfaceRoles::roleOf(it.key()) == role)
            return it.value();
    return {};
}
} // namespace

const std::vector<InterfaceRoles::Rule> &InterfaceRoles::rules()
{
    // Skipped names come first, so that no rule below can ever claim them.
    static const std::vector<Rule> table = {
        {"lo", Role::Ignored},   {"docker", Role::Ignored}, {"br-", Role::Ignored}, {"virbr", Role::Ignored},
        {"veth", Role::Ignored}, {"wl", Role::Wireless},    {"en", Role::Wired},    {"eth", Role::Wired},
        {"wwan", Role::Mobile},  {"ww", Role::Mobile},      {"ppp", Role::Mobile},
    };
    return table;
}

InterfaceRoles::Role InterfaceRoles::roleOf(const QString &interfaceName)
{
    for (const Rule &rule : rules())
        if (interfaceName.startsWith(QLatin1String(rule.prefix)))
            return rule.role;
    return Role::Ignored;
}

QString InterfaceRoles::wifiAddress(const QMap<QString, QString> &addresses)
{
    const QString wireless = firstWithRole(addresses, Role::Wireless);
    return wireless.isEmpty() ? firstWithRole(addresses, Role::Wired) : wireless;
}

QString InterfaceRoles::mobileAddress(const QMap<QString, QString> &addresses)
{
    return firstWithRole(addresses, Role::Mobile);
}
