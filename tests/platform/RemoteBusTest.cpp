#include "TestHome.h"
#include "support/ShellFakes.h"

#include "app/ZivoAppDelegate.h"
#include "browse/MusicMainViewController.h"
#include "library/SettingsKeys.h"
#include "platform/IdleTimer.h"
#include "platform/MprisService.h"
#include "platform/SoundPlayer.h"
#include "platform/UserDefaults.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDeadlineTimer>
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

// The player as the media remote sees it, scripted by the test.
class ScriptedMprisPlayer : public MprisPlayer
{
public:
    QString playbackStatus() const override { return status; }
    QVariantMap metadata() const override { return song; }
    qint64 position() const override { return at; }
    double volume() const override { return level; }
    void setVolume(double v) override { level = v; }
    bool hasTrack() const override { return !song.isEmpty(); }
    bool canSeek() const override { return hasTrack(); }
    void stop() override { ++stops; }
    void setPosition(qint64 positionUs) override { positions << positionUs; }
    void changed() { notifyChanged(); }
    void jumped(qint64 us) { notifySeeked(us); }

    QString status = "Stopped";
    QVariantMap song;
    qint64 at = 0;
    double level = 1.0;
    int stops = 0;
    QList<qint64> positions;
};

// Collects the player interface's signals as a desktop would see them.
class BusListener : public QObject
{
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    QList<qlonglong> seeks;

public slots:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        if (interface == "org.mpris.MediaPlayer2.Player")
            changes << changed;
    }
    void seeked(qlonglong position) { seeks << position; }
};

TEST(MediaRemote, MprisCommandsDoWhatTheySayThroughTheRemoteOrThePlayer)
{
    PrivateBus bus;
    REQUIRE_BUS(bus);
    TestHome home;
    FakePlayer player;
    ZivoAppDelegate delegate(recordingMenu());
    delegate.setPlayInfoPanel(&player);
    delegate.setMusicDetail(&player.detail);
    delegate.didFinishLaunchingWithOptions();

    MprisService service(bus.connect("orbo-service"));
    ASSERT_TRUE(service.registerOnBus());
    QDBusConnection client = bus.connect("orbo-client");
    Remote remote{client};
    EXPECT_EQ(propertyOf(client, "org.mpris.MediaPlayer2", "Identity").toString(), "Orbo");
    EXPECT_EQ(propertyOf(client, "org.mpris.MediaPlayer2.Player", "PlaybackStatus").toString(), "Stopped");

    // Without a song there is nothing to play, pause or move on from.
    ScriptedMprisPlayer song;
    service.setPlayer(&song);
    for (const char *method : {"Play", "Pause", "PlayPause", "Next", "Previous"})
        ASSERT_TRUE(callAndWait(remote, method)) << method;
    EXPECT_TRUE(player.calls.isEmpty()) << player.calls.join(", ").toStdString();
    EXPECT_FALSE(propertyOf(client, "org.mpris.MediaPlayer2.Player", "CanPlay").toBool());

    // Play only plays, Pause only pauses, PlayPause toggles: each through the remote (a beep,
    // then the player toggles) when it changes something.
    song.song = {{"xesam:title", "Tone"},
                 {"mpris:length", qlonglong(10000000)},
                 {"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/org/orbo/Orbo/track/1"))}};
    song.status = "Paused";
    struct Step
    {
        const char *status;
        const char *method;
        bool toggles;
    };
    for (const Step &step :
         {Step{"Paused", "Play", true}, Step{"Playing", "Play", false}, Step{"Playing", "Pause", true},
          Step{"Paused", "Pause", false}, Step{"Paused", "PlayPause", true}, Step{"Playing", "PlayPause", true},
          Step{"Stopped", "Play", true}}) {
        song.status = step.status;
        player.calls.clear();
        ASSERT_TRUE(callAndWait(remote, step.method)) << step.method;
        EXPECT_EQ(player.calls, step.toggles ? QStringList{"detail.playOrPauseMusic"} : QStringList())
            << step.method << " while " << step.status;
    }
    EXPECT_EQ(delegate.beeps().playSound()->playCount(), 1); // still playing: not restarted
    // Stop stops: the player itself, no toggle.
    player.calls.clear();
    ASSERT_TRUE(callAndWait(remote, "Stop"));
    EXPECT_EQ(song.stops, 1);
    EXPECT_TRUE(player.calls.isEmpty());

    ASSERT_TRUE(callAndWait(remote, "Next"));
    EXPECT_EQ(player.calls, QStringList({"panel.playMusicNextUi", "detail.uiMusicNext"}));
    EXPECT_EQ(delegate.beeps().nextSound()->playCount(), 1);
    player.calls.clear();
    ASSERT_TRUE(callAndWait(remote, "Previous"));
    EXPECT_EQ(player.calls, QStringList({"panel.playMusicPrevUi", "detail.uiMusicPrev"}));
    EXPECT_EQ(delegate.beeps().prevSound()->playCount(), 1);

    // Seeking: relative from the position, clamped at the start; beyond the end is the next song.
    player.calls.clear();
    song.at = 1000000;
    ASSERT_TRUE(callAndWait(remote, "Seek", {QVariant::fromValue<qlonglong>(2000000)}));
    ASSERT_TRUE(callAndWait(remote, "Seek", {QVariant::fromValue<qlonglong>(-5000000)}));
    EXPECT_EQ(song.positions, QList<qint64>({3000000, 0}));
    ASSERT_TRUE(callAndWait(remote, "Seek", {QVariant::fromValue<qlonglong>(20000000)}));
    EXPECT_EQ(player.calls, QStringList({"panel.playMusicNextUi", "detail.uiMusicNext"}));
    // SetPosition only for this song and within it.
    song.positions.clear();
    const auto track = [](const char *path) { return QVariant::fromValue(QDBusObjectPath(path)); };
    ASSERT_TRUE(callAndWait(remote, "SetPosition", {track("/org/orbo/Orbo/track/1"), qlonglong(4000000)}));
    ASSERT_TRUE(callAndWait(remote, "SetPosition", {track("/org/orbo/Orbo/track/2"), qlonglong(5000000)}));
    ASSERT_TRUE(callAndWait(remote, "SetPosition", {track("/org/orbo/Orbo/track/1"), qlonglong(11000000)}));
    ASSERT_TRUE(callAndWait(remote, "SetPosition", {track("/org/orbo/Orbo/track/1"), qlonglong(-1)}));
    EXPECT_EQ(song.positions, QList<qint64>({4000000}));

    // 106 (or any other event type) does nothing and stays silent.
    player.calls.clear();
    RemoteControl::shared().deliverSubtype(106);
    RemoteControl::shared().deliver({RemoteControlEvent::Motion, 100});
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(delegate.beeps().nextSound()->playCount(), 1);

    // The song, position and volume read back; the volume is set within 0 ... 1.
    const QVariantMap metadata =
        qdbus_cast<QVariantMap>(propertyOf(client, "org.mpris.MediaPlayer2.Player", "Metadata").value<QDBusArgument>());
    EXPECT_EQ(metadata.value("xesam:title").toString(), "Tone");
    EXPECT_EQ(propertyOf(client, "org.mpris.MediaPlayer2.Player", "Position").toLongLong(), 1000000);
    EXPECT_TRUE(propertyOf(client, "org.mpris.MediaPlayer2.Player", "CanSeek").toBool());
    song.level = 0.5;
    QDBusPendingCall set =
        asyncCall(client, "org.freedesktop.DBus.Properties", "Set",
                  {"org.mpris.MediaPlayer2.Player", "Volume", QVariant::fromValue(QDBusVariant(QVariant(1.7)))});
    ASSERT_TRUE(waitUntil([&] { return set.isFinished(); }, 5000));
    EXPECT_EQ(song.level, 1.0);
    set = asyncCall(client, "org.freedesktop.DBus.Properties", "Set",
                    {"org.mpris.MediaPlayer2.Player", "Volume", QVariant::fromValue(QDBusVariant(QVariant(0.25)))});
    ASSERT_TRUE(waitUntil([&] { return set.isFinished(); }, 5000));
    EXPECT_EQ(song.level, 0.25);

    // Changes are announced (only what changed), and so are jumps in the song.
    BusListener listener;
    ASSERT_TRUE(client.connect(MprisService::serviceName, MprisService::objectPath, "org.freedesktop.DBus.Properties",
                               "PropertiesChanged", &listener,
                               SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    ASSERT_TRUE(client.connect(MprisService::serviceName, MprisService::objectPath, "org.mpris.MediaPlayer2.Player",
                               "Seeked", &listener, SLOT(seeked(qlonglong))));
    song.changed(); // settle what the player reports now
    ASSERT_TRUE(waitUntil([&] { return !listener.changes.isEmpty(); }, 5000));
    listener.changes.clear();
    song.status = "Playing";
    song.changed();
    song.jumped(3000000);
    ASSERT_TRUE(waitUntil([&] { return !listener.changes.isEmpty() && !listener.seeks.isEmpty(); }, 5000));
    EXPECT_EQ(listener.changes.first(), QVariantMap({{"PlaybackStatus", "Playing"}}));
    EXPECT_EQ(listener.seeks, QList<qlonglong>({3000000}));
    EXPECT_EQ(propertyOf(client, "org.mpris.MediaPlayer2.Player", "PlaybackStatus").toString(), "Playing");
    service.setPlayer(nullptr);

    // Without a player the status set on the service is what the bus reads.
    service.setPlaybackStatus("Paused");
    EXPECT_EQ(propertyOf(client, "org.mpris.MediaPlayer2.Player", "PlaybackStatus").toString(), "Paused");
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
