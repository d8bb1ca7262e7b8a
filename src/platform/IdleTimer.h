#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>

// The application's idle timer (screen dimming and locking). Disabling it holds an
// org.freedesktop.ScreenSaver inhibition on the session bus; enabling it releases it.
// isIdleTimerDisabled() is the state the application set, which is what the settings
// screen shows; without a session bus the state is kept, logged once, and nothing fails.
//
// Work that must keep the desktop awake whatever has the focus (serving uploads while the
// user is in the browser) takes a hold instead: the application's own switching on focus
// does not end it, only releasing it does, or the application going to the background
// (minimised), which pauses every hold until it comes back.
class IdleTimer : public QObject
{
    Q_OBJECT
public:
    static IdleTimer &shared();
    // A timer on a bus of one's own (tests use a private bus).
    explicit IdleTimer(const QDBusConnection &bus, QObject *parent = nullptr);
    ~IdleTimer() override;

    void setIdleTimerDisabled(bool disabled);
    // The application's setting, or a hold that is in force.
    bool isIdleTimerDisabled() const { return m_disabled || holdInForce(); }

    // Holds by their owner; each owner counts once.
    void addHold(const void *owner);
    void releaseHold(const void *owner);
    bool hasHold(const void *owner) const { return m_holds.contains(owner); }
    // Minimised: holds pause; restored: they are in force again.
    void setInBackground(bool background);
    bool isInBackground() const { return m_background; }
    // True while the screen saver holds our inhibition.
    bool isInhibiting() const { return m_inhibiting; }

private:
    bool holdInForce() const { return !m_holds.isEmpty() && !m_background; }
    void apply();
    void inhibit();
    void uninhibit();

    QDBusConnection m_bus;
    bool m_disabled = false;
    QSet<const void *> m_holds;
    bool m_background = false;
    uint m_cookie = 0;
    bool m_inhibiting = false;
    bool m_warned = false;
};
