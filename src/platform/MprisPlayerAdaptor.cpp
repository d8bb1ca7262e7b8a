#include "MprisPlayerAdaptor.h"

#include "MprisPlayer.h"
#include "MprisService.h"
#include "RemoteControl.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <algorithm>

#include <cmath>

namespace {
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString playing = QStringLiteral("Playing");
} // namespace

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service) : QDBusAbstractAdaptor(service), m_service(service)
{
    m_announced = announcedProperties();
}

MprisPlayer *MprisPlayerAdaptor::player() const
{
    return m_service->player();
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return player() ? player()->playbackStatus() : m_service->playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return player() ? player()->metadata() : QVariantMap();
}

double MprisPlayerAdaptor::volume() const
{
    return player() ? player()->volume() : 1.0;
}

void MprisPlayerAdaptor::setVolume(double volume)
{
    if (player() && std::isfinite(volume))
        player()->setVolume(std::clamp(volume, 0.0, 1.0));
}

qlonglong MprisPlayerAdaptor::position() const
{
    return player() ? player()->position() : 0;
}

bool MprisPlayerAdaptor::hasTrack() const
{
    return player() && player()->hasTrack();
}

bool MprisPlayerAdaptor::canSeek() const
{
    return player() && player()->canSeek();
}

QVariantMap MprisPlayerAdaptor::announcedProperties() const
{
    return {{QStringLiteral("PlaybackStatus"), playbackStatus()},
            {QStringLiteral("Metadata"), metadata()},
            {QStringLiteral("Volume"), volume()},
            {QStringLiteral("CanGoNext"), hasTrack()},
            {QStringLiteral("CanGoPrevious"), hasTrack()},
            {QStringLiteral("CanPlay"), hasTrack()},
            {QStringLiteral("CanPause"), hasTrack()},
            {QStringLiteral("CanSeek"), canSeek()}};
}

void MprisPlayerAdaptor::announceChanges()
{
    const QVariantMap now = announcedProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    m_announced = now;
    if (changed.isEmpty() || !m_service->isRegistered())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(MprisService::objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << playerInterface << changed << QStringList();
    m_service->m_bus.send(signal);
}

// Play and Pause do what they say: each toggles only from the other state.
void MprisPlayerAdaptor::Play()
{
    if (hasTrack() && playbackStatus() != playing)
        RemoteControl::shared().deliverSubtype(RemoteControlEvent::Play);
}
void MprisPlayerAdaptor::Pause()
{
    if (hasTrack() && playbackStatus() == playing)
        RemoteControl::shared().deliverSubtype(RemoteControlEvent::Pause);
}
void MprisPlayerAdaptor::PlayPause()
{
    if (hasTrack())
        RemoteControl::shared().deliverSubtype(RemoteControlEvent::TogglePlayPause);
}
void MprisPlayerAdaptor::Stop()
{
    if (player())
        player()->stop();
}
void MprisPlayerAdaptor::Next()
{
    if (hasTrack())
        RemoteControl::shared().deliverSubtype(RemoteControlEvent::NextTrack);
}
void MprisPlayerAdaptor::Previous()
{
    if (hasTrack())
        RemoteControl::shared().deliverSubtype(RemoteControlEvent::PreviousTrack);
}

void MprisPlayerAdaptor::Seek(qlonglong offset)
{
    if (!canSeek())
        return;
    const qlonglong length = metadata().value(QStringLiteral("mpris:length")).toLongLong();
    const qlonglong target = std::max<qlonglong>(position() + offset, 0);
    // Beyond the end is the next song.
    if (target > length)
        Next();
    else
        player()->setPosition(target);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &track, qlonglong position)
{
    if (!canSeek())
        return;
    const QVariantMap song = metadata();
    // A position meant for another song, or outside this one, is ignored.
    if (song.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>() != track)
        return;
    if (position < 0 || position > song.value(QStringLiteral("mpris:length")).toLongLong())
        return;
    player()->setPosition(position);
}

void MprisPlayerAdaptor::OpenUri(const QString &)
{}
