#pragma once

#include "MprisPlayer.h"

#include <QDBusConnection>
#include <QObject>

// The media remote of the desktop: MPRIS 2 on the session bus (service
// "org.mpris.MediaPlayer2.orbo", object /org/mpris/MediaPlayer2). Its Play, Pause,
// PlayPause, Next and Previous arrive at RemoteControl as the remote's events; the rest of
// the player interface talks to the MprisPlayer it is given.
class MprisService : public QObject, private MprisPlayer::Listener
{
    Q_OBJECT
public:
    static inline const QString serviceName = QStringLiteral("org.mpris.MediaPlayer2.orbo");
    static inline const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");

    explicit MprisService(const QDBusConnection &bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~MprisService() override;

    // False (logged) when there is no bus or the name is taken.
    bool registerOnBus();
    // When another process holds the name: asks it to Raise its window (a few seconds at
    // most) and answers true once it did. False without a bus or without another player.
    static bool raiseRunningInstance(const QDBusConnection &bus = QDBusConnection::sessionBus());
    // True when another connection holds the name.
    static bool isRunningElsewhere(const QDBusConnection &bus = QDBusConnection::sessionBus());
    bool isRegistered() const { return m_registered; }

    // "Playing", "Paused" or "Stopped", announced to the bus as it changes (while no
    // player is set; a player tells its own).
    void setPlaybackStatus(const QString &status);
    QString playbackStatus() const { return m_status; }

    // The player whose state, song, position and volume the bus sees (not owned; null: none).
    void setPlayer(MprisPlayer *player);
    MprisPlayer *player() const { return m_player; }

signals:
    // Raise was asked for: show the window.
    void raiseRequested();

private:
    friend class MprisPlayerAdaptor;
    void playerChanged() override;
    void playerSeeked(qint64 positionUs) override;

    MprisPlayer *m_player = nullptr;
    QDBusConnection m_bus;
    QString m_status = QStringLiteral("Stopped");
    bool m_registered = false;
};
