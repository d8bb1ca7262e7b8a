#include "MprisPlayerAdaptor.h"

#include "MprisService.h"
#include "RemoteControl.h"

#include <QDBusConnection>
#include <QDBusMessage>

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service) : QDBusAbstractAdaptor(service), m_service(service)
{}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return m_service->playbackStatus();
}

void MprisPlayerAdaptor::announceStatus()
{
    QDBusMessage signal =
        QDBusMessage::createSignal(MprisService::objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player")
           << QVariantMap{{QStringLiteral("PlaybackStatus"), playbackStatus()}} << QStringList();
    m_service->m_bus.send(signal);
}

void MprisPlayerAdaptor::Play()
{
    RemoteControl::shared().deliverSubtype(RemoteControlEvent::Play);
}
void MprisPlayerAdaptor::Pause()
{
    RemoteControl::shared().deliverSubtype(RemoteControlEvent::Pause);
}
void MprisPlayerAdaptor::Stop()
{
    RemoteControl::shared().deliverSubtype(RemoteControlEvent::Stop);
}
void MprisPlayerAdaptor::PlayPause()
{
    RemoteControl::shared().deliverSubtype(RemoteControlEvent::TogglePlayPause);
}
void MprisPlayerAdaptor::Next()
{
    RemoteControl::shared().deliverSubtype(RemoteControlEvent::NextTrack);
}
void MprisPlayerAdaptor::Previous()
{
    RemoteControl::shared().deliverSubtype(RemoteControlEvent::PreviousTrack);
}

// The player has no seeking: these are accepted and ignored, as CanSeek says.
void MprisPlayerAdaptor::Seek(qlonglong)
{}
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &, qlonglong)
{}
void MprisPlayerAdaptor::OpenUri(const QString &)
{}
