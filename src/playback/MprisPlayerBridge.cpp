#include "MprisPlayerBridge.h"

#include "PlayInfoPanelViewController.h"

#include <QTimer>

#include <cmath>

MprisPlayerBridge::MprisPlayerBridge(PlayInfoPanelViewController &panel, QObject *parent)
    : QObject(parent), m_panel(panel)
{
    connect(&panel, &PlayInfoPanelViewController::nowPlayingChanged, this, &MprisPlayerBridge::changed);
    connect(&panel, &PlayInfoPanelViewController::seeked, this,
            [this](double seconds) { notifySeeked(qint64(std::llround(seconds * 1e6))); });
}

void MprisPlayerBridge::changed()
{
    if (m_changePending)
        return;
    m_changePending = true;
    QTimer::singleShot(0, this, [this] {
        m_changePending = false;
        notifyChanged();
    });
}

QString MprisPlayerBridge::playbackStatus() const
{
    if (m_panel.isPlaying())
        return QStringLiteral("Playing");
    return m_panel.isStopped() || !hasTrack() ? QStringLiteral("Stopped") : QStringLiteral("Paused");
}

QVariantMap MprisPlayerBridge::metadata() const
{
    return hasTrack() ? m_panel.nowPlayingInfo().mprisMetadata() : QVariantMap();
}

qint64 MprisPlayerBridge::position() const
{
    return qint64(std::llround(m_panel.currentTime() * 1e6));
}

double MprisPlayerBridge::volume() const
{
    return m_panel.volume();
}

void MprisPlayerBridge::setVolume(double volume)
{
    m_panel.setVolume(float(volume));
}

bool MprisPlayerBridge::hasTrack() const
{
    return m_panel.hasAudioURL() && m_panel.duration() > 0;
}

void MprisPlayerBridge::stop()
{
    if (hasTrack())
        m_panel.stopMusic();
}

void MprisPlayerBridge::setPosition(qint64 positionUs)
{
    m_panel.setCurrentTime(double(positionUs) / 1e6);
}
