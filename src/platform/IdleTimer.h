#pragma once

#include <QDBusConnection>
#include <QObject>

// The application's idle timer (screen dimming and locking). Disabling it holds an
// org.freedesktop.ScreenSaver inhibition on the session bus; enabling it releases it.
// isIdleTimerDisabled() is the state the application set, which is what the settings
// screen shows; without a session bus the state is kept, logged once, and nothing fails.
class IdleTimer : public QObject
{
    Q_OBJECT
public:
    static IdleTimer &shared();
    // A timer on a bus of one's own (tests use a private bus).
    explicit IdleTimer(const QDBusConnection &bus, QObject *parent = nullptr);
    ~IdleTimer() override;

    void setIdleTimerDisabled(bool disabled);
    bool isIdleTimerDisabled() const { return m_disabled; }
    // True while the screen saver holds our inhibition.
    bool isInhibiting() const { return m_inhibiting; }

private:
    void inhibit();
    void uninhibit();

    QDBusConnection m_bus;
    bool m_disabled = false;
    uint m_cookie = 0;
    bool m_inhibiting = false;
    bool m_warned = false;
};
