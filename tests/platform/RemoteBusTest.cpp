#include "TestHome.h"
#include "support/ShellFakes.h"

#include "app/ZivoAppDelegate.h"
#include "browse/MusicMainViewController.h"
#include "library/SettingsKeys.h"
#include "platform/IdleTimer.h"
#include "platform/MprisService.h"
#include "platform/SoundPlayer.h"
#include "platform/UserDefaults.h"

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QDBusInterface>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// A session bus of the test's own: dbus-daemon started here and stopped at the end.
class PrivateBus
{
public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_daemon.start(daemon, {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (!m_daemon.waitForStarted(5000))
            return;
        for (int i = 0; i < 100 && !m_daemon.canReadLine(); ++i)
            m_daemon.waitForReadyRead(50);
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString &name : m_names)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
    bool available() const { return !m_address.isEmpty(); }
    QDBusConnection connect(const QString &name)
    {
        m_names << name;
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};

#define REQUIRE_BUS(bus)                                                                                               \
    if (!(bus).available())                                                                                            \
    GTEST_SKIP() << "dbus-daemon is not installed (Debian package dbus-daemon): no private bus to test on"

// Calls a method without blocking the thread that serves the other end.
// (QDBusInterface would introspect, blocking, on construction: plain messages instead.)
QDBusPendingCall asyncCall(QDBusConnection &client, const QString &interface, const QString &method,
                           const QVariantList &args = {})
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(MprisService::serviceName, MprisService::objectPath, interface, method);
    message.setArguments(args);
    return client.asyncCall(message);
}

struct Remote
{
    QDBusConnection client;
};

bool callAndWait(Remote &remote, const QString &method, const QVariantList &args = {})
{
    QDBusPendingCall call = asyncCall(remote.client, "org.mpris.MediaPlayer2.Player", method, args);
    if (!waitUntil([&] { return call.isFinished(); }, 5000))
        return false;
    return !call.isError();
}

// Reads a property without blocking the thread that serves it.
QVariant propertyOf(QDBusConnection &client, const QString &interface, const QString &name)
{
    QDBusPendingCall call = asyncCall(client, "org.freedesktop.DBus.Properties", "Get", {interface, name});
    if (!waitUntil([&] { return call.isFinished(); }, 5000) || call.isError())
        return {};
    return call.reply().arguments().value(0).value<QDBusVariant>().variant();
}

TEST(MediaRemote, MprisCommandsReachTheCurrentScreenAsRemoteEvents)
{
    PrivateBus bus;
    REQUIRE_BUS(bus);
    TestHome home;
    FakePlayer player;
    ZivoAppDelegate delegate(recordingMenu());
    delegate.setPlayInfoPanel(&player);
    delegate.setMusicDetail(&player);
    delegate.didFinishLaunchingWithOptions();

    MprisService service(bus.connect("orbo-service"));
    ASSERT_TRUE(service.registerOnBus());
    QDBusConnection client = bus.connect("orbo-client");
    Remote remote{client};
    EXPECT_EQ(propertyOf(client, "org.mpris.MediaPlayer2", "Identity").toString(), "Orbo");
    EXPECT_EQ(propertyOf(client, "org.mpris.MediaPlayer2.Player", "PlaybackStatus").toString(), "Stopped");

    // Play, Pause, Stop and PlayPause (100 to 103): a beep, then the player toggles.
    for (const char *method : {"Play", "Pause", "Stop", "PlayPause"}) {
        player.calls.clear();
        ASSERT_TRUE(callAndWait(remote, method)) << method;
        EXPECT_EQ(player.calls, QStringList({"detail.playOrPauseMusic"})) << method;
    }
    EXPECT_EQ(delegate.beeps().playSound()->playCount(), 1); // still playing: not restarted
    player.calls.clear();
    ASSERT_TRUE(callAndWait(remote, "Next"));
    EXPECT_EQ(player.calls, QStringList({"panel.playMusicNextUi", "detail.uiMusicNext"}));
    EXPECT_EQ(delegate.beeps().nextSound()->playCount(), 1);
    player.calls.clear();
    ASSERT_TRUE(callAndWait(remote, "Previous"));
    EXPECT_EQ(player.calls, QStringList({"panel.playMusicPrevUi", "detail.uiMusicPrev"}));
    EXPECT_EQ(delegate.beeps().prevSound()->playCount(), 1);

    // Seeking is not offered, and 106 (or any other event type) does nothing and stays silent.
    player.calls.clear();
    ASSERT_TRUE(callAndWait(remote, "Seek", {QVariant::fromValue<qlonglong>(1000)}));
    RemoteControl::shared().deliverSubtype(106);
    RemoteControl::shared().deliver({RemoteControlEvent::Motion, 100});
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(delegate.beeps().playSound()->playCount(), 1);
    EXPECT_EQ(delegate.beeps().nextSound()->playCount(), 1);

    // With the beeps off the commands still work.
    UserDefaults::standard().setObject(QStringLiteral("1"), SettingsKeys::beepSoundModeKey);
    ASSERT_TRUE(waitUntil([&] { return !delegate.beeps().nextSound()->isPlaying(); }, 3000));
    ASSERT_TRUE(callAndWait(remote, "Next"));
    EXPECT_EQ(player.calls, QStringList({"panel.playMusicNextUi", "detail.uiMusicNext"}));
    EXPECT_EQ(delegate.beeps().nextSound()->playCount(), 1);

    // The status is announced and read back.
    service.setPlaybackStatus("Playing");
    EXPECT_EQ(propertyOf(client, "org.mpris.MediaPlayer2.Player", "PlaybackStatus").toString(), "Playing");
}

TEST(MediaRemote, ASecondInstanceCannotTakeTheName)
{
    PrivateBus bus;
    REQUIRE_BUS(bus);
    MprisService first(bus.connect("first"));
    MprisService second(bus.connect("second"));
    EXPECT_TRUE(first.registerOnBus());
    EXPECT_FALSE(second.registerOnBus());
    MprisService nowhere(QDBusConnection(QStringLiteral("not-connected")));
    EXPECT_FALSE(nowhere.registerOnBus());
}

TEST(MediaRemote, ASecondStartRaisesTheRunningPlayer)
{
    PrivateBus bus;
    REQUIRE_BUS(bus);
    MprisService running(bus.connect("running"));
    ASSERT_TRUE(running.registerOnBus());
    int raised = 0;
    QObject::connect(&running, &MprisService::raiseRequested, [&] { ++raised; });
    EXPECT_FALSE(MprisService::isRunningElsewhere(bus.connect("running")));

    const QDBusConnection second = bus.connect("second");
    MprisService again(second);
    EXPECT_FALSE(again.registerOnBus());
    EXPECT_TRUE(MprisService::isRunningElsewhere(second));
    EXPECT_TRUE(MprisService::raiseRunningInstance(second));
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(propertyOf(const_cast<QDBusConnection &>(second), "org.mpris.MediaPlayer2", "CanRaise").toBool(), true);
    EXPECT_EQ(propertyOf(const_cast<QDBusConnection &>(second), "org.mpris.MediaPlayer2", "DesktopEntry").toString(),
              "org.orbo.Orbo");

    // Nobody there: nothing to raise.
    PrivateBus empty;
    REQUIRE_BUS(empty);
    EXPECT_FALSE(MprisService::isRunningElsewhere(empty.connect("alone")));
    EXPECT_FALSE(MprisService::raiseRunningInstance(empty.connect("alone2")));
}

// The desktop's screen saver, as far as the idle timer uses it.
class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::atomic<int> inhibitions{0};
    std::atomic<uint> lastReleased{0};

public slots:
    uint Inhibit(const QString &, const QString &)
    {
        ++inhibitions;
        return 40 + inhibitions;
    }
    void UnInhibit(uint cookie)
    {
        --inhibitions;
        lastReleased = cookie;
    }
};

TEST(IdleTimerBus, DisablingHoldsOneInhibitionAndEnablingReleasesIt)
{
    PrivateBus bus;
    REQUIRE_BUS(bus);
    // The screen saver answers from its own thread, as another process would.
    QThread thread;
    FakeScreenSaver saver;
    saver.moveToThread(&thread);
    thread.start();
    QDBusConnection service = bus.connect("screensaver");
    ASSERT_TRUE(service.registerObject("/org/freedesktop/ScreenSaver", &saver, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService("org.freedesktop.ScreenSaver"));
    {
        IdleTimer timer(bus.connect("orbo"));
        EXPECT_FALSE(timer.isIdleTimerDisabled());
        timer.setIdleTimerDisabled(true);
        timer.setIdleTimerDisabled(true);
        EXPECT_TRUE(timer.isIdleTimerDisabled());
        EXPECT_TRUE(timer.isInhibiting());
        EXPECT_EQ(saver.inhibitions, 1);
        timer.setIdleTimerDisabled(false);
        EXPECT_FALSE(timer.isInhibiting());
        EXPECT_EQ(saver.inhibitions, 0);
        EXPECT_EQ(saver.lastReleased, 41u);
        timer.setIdleTimerDisabled(true);
        EXPECT_EQ(saver.inhibitions, 1);
    }
    // A timer that goes away releases what it held.
    EXPECT_EQ(saver.inhibitions, 0);
    QThread *home = QThread::currentThread();
    QMetaObject::invokeMethod(
        &saver, [&] { saver.moveToThread(home); }, Qt::QueuedConnection);
    EXPECT_TRUE(waitUntil([&] { return saver.thread() == home; }));
    thread.quit();
    EXPECT_TRUE(thread.wait(QDeadlineTimer(5000)));
}

TEST(IdleTimerBus, HoldsOutlastFocusChangesAndPauseWhileMinimised)
{
    PrivateBus bus;
    REQUIRE_BUS(bus);
    QThread thread;
    FakeScreenSaver saver;
    saver.moveToThread(&thread);
    thread.start();
    QDBusConnection service = bus.connect("screensaver");
    ASSERT_TRUE(service.registerObject("/org/freedesktop/ScreenSaver", &saver, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService("org.freedesktop.ScreenSaver"));
    {
        IdleTimer timer(bus.connect("orbo"));
        int transfer = 0, other = 0;
        timer.addHold(&transfer);
        timer.addHold(&transfer); // an owner counts once
        EXPECT_TRUE(timer.isIdleTimerDisabled());
        EXPECT_EQ(saver.inhibitions, 1);
        // Losing focus resets the application's own setting, not a hold.
        timer.setIdleTimerDisabled(false);
        EXPECT_EQ(saver.inhibitions, 1);
        EXPECT_TRUE(timer.isIdleTimerDisabled());
        timer.setInBackground(true);
        EXPECT_EQ(saver.inhibitions, 0);
        EXPECT_FALSE(timer.isIdleTimerDisabled());
        timer.setInBackground(false);
        EXPECT_EQ(saver.inhibitions, 1);
        timer.addHold(&other);
        timer.releaseHold(&transfer);
        EXPECT_EQ(saver.inhibitions, 1);
        timer.releaseHold(&other);
        EXPECT_EQ(saver.inhibitions, 0);
        EXPECT_FALSE(timer.hasHold(&transfer));
        // The user's own setting still holds in the background, as it always did.
        timer.setIdleTimerDisabled(true);
        timer.setInBackground(true);
        EXPECT_EQ(saver.inhibitions, 1);
        timer.setIdleTimerDisabled(false);
        EXPECT_EQ(saver.inhibitions, 0);
    }
    QThread *home = QThread::currentThread();
    QMetaObject::invokeMethod(
        &saver, [&] { saver.moveToThread(home); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

TEST(IdleTimerBus, WithoutAScreenSaverTheStateIsStillKept)
{
    PrivateBus bus;
    REQUIRE_BUS(bus);
    IdleTimer timer(bus.connect("lonely"));
    timer.setIdleTimerDisabled(true);
    EXPECT_TRUE(timer.isIdleTimerDisabled());
    EXPECT_FALSE(timer.isInhibiting());
    IdleTimer noBus{QDBusConnection(QStringLiteral("none"))};
    noBus.setIdleTimerDisabled(true);
    EXPECT_TRUE(noBus.isIdleTimerDisabled());
}

} // namespace

#include "RemoteBusTest.moc"
