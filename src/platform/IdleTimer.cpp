#include "IdleTimer.h"

#include <QDBusInterface>
#include <QDBusReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcIdle, "orbo.idletimer")

namespace {
const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString interface = QStringLiteral("org.freedesktop.ScreenSaver");
} // namespace

IdleTimer &IdleTimer::shared()
{
    static IdleTimer timer(QDBusConnection::sessionBus());
    return timer;
}

IdleTimer::IdleTimer(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{}

IdleTimer::~IdleTimer()
{
    if (m_inhibiting)
        uninhibit();
}

void IdleTimer::setIdleTimerDisabled(bool disabled)
{
    m_disabled = disabled;
    apply();
}

void IdleTimer::addHold(const void *owner)
{
    m_holds.insert(owner);
    apply();
}

void IdleTimer::releaseHold(const void *owner)
{
    m_holds.remove(owner);
    apply();
}

void IdleTimer::setInBackground(bool background)
{
    m_background = background;
    apply();
}

void IdleTimer::apply()
{
    const bool wanted = isIdleTimerDisabled();
    if (wanted && !m_inhibiting)
        inhibit();
    else if (!wanted && m_inhibiting)
        uninhibit();
}

void IdleTimer::inhibit()
{
    if (!m_bus.isConnected()) {
        if (!m_warned)
            qCInfo(lcIdle) << "no session bus: the screen may still dim while Orbo runs";
        m_warned = true;
        return;
    }
    QDBusInterface screenSaver(service, path, interface, m_bus);
    screenSaver.setTimeout(2000);
    const QDBusReply<uint> reply = screenSaver.call(QStringLiteral("Inhibit"), QStringLiteral("Orbo"),
                                                    QStringLiteral("Screen sleep is off in the settings"));
    if (reply.isValid()) {
        m_cookie = reply.value();
        m_inhibiting = true;
    } else if (!m_warned) {
        m_warned = true;
        qCInfo(lcIdle).noquote() << "screen saver not reachable:" << reply.error().message();
    }
}

void IdleTimer::uninhibit()
{
    QDBusInterface screenSaver(service, path, interface, m_bus);
    screenSaver.setTimeout(2000);
    screenSaver.call(QStringLiteral("UnInhibit"), m_cookie);
    m_cookie = 0;
    m_inhibiting = false;
}
