#include "MprisService.h"

#include "MprisPlayerAdaptor.h"
#include "MprisRootAdaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMpris, "orbo.mpris")

MprisService::MprisService(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
}

MprisService::~MprisService()
{
    if (m_player)
        m_player->setListener(nullptr);
    if (m_registered) {
        m_bus.unregisterObject(objectPath);
        m_bus.unregisterService(serviceName);
    }
}

bool MprisService::registerOnBus()
{
    if (m_registered)
        return true;
    if (!m_bus.isConnected()) {
        qCInfo(lcMpris) << "no session bus: media remote commands are not available";
        return false;
    }
    if (!m_bus.registerObject(objectPath, this, QDBusConnection::ExportAdaptors)) {
        qCInfo(lcMpris).noquote() << "cannot export the media remote:" << m_bus.lastError().message();
        return false;
    }
    if (!m_bus.registerService(serviceName)) {
        qCInfo(lcMpris).noquote() << "cannot take" << serviceName << ":" << m_bus.lastError().message();
        m_bus.unregisterObject(objectPath);
        return false;
    }
    m_registered = true;
    return true;
}

bool MprisService::isRunningElsewhere(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<QString> owner = bus.interface()->serviceOwner(serviceName);
    return owner.isValid() && !owner.value().isEmpty() && owner.value() != bus.baseService();
}

bool MprisService::raiseRunningInstance(const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage raise =
        QDBusMessage::createMethodCall(serviceName, objectPath, QStringLiteral("org.mpris.MediaPlayer2"),
                                       QStringLiteral("Raise"));
    // Events keep flowing while waiting, so a player on this very thread can answer too.
    const QDBusMessage reply = QDBusConnection(bus).call(raise, QDBus::BlockWithGui, 3000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        qCInfo(lcMpris).noquote() << "the running player did not answer Raise:" << reply.errorMessage();
        return false;
    }
    return true;
}

void MprisService::setPlaybackStatus(const QString &status)
{
    if (status == m_status)
        return;
    m_status = status;
    findChild<MprisPlayerAdaptor *>()->announceChanges();
}

void MprisService::setPlayer(MprisPlayer *player)
{
    if (m_player)
        m_player->setListener(nullptr);
    m_player = player;
    if (m_player)
        m_player->setListener(this);
    playerChanged();
}

void MprisService::playerChanged()
{
    findChild<MprisPlayerAdaptor *>()->announceChanges();
}

void MprisService::playerSeeked(qint64 positionUs)
{
    emit findChild<MprisPlayerAdaptor *>()->Seeked(positionUs);
}
