#pragma once

#include "platform/MprisPlayer.h"

#include <QObject>

class PlayInfoPanelViewController;

// The now-playing panel as the desktop's media remote sees it: its state, song, position
// and volume, and stopping and seeking. Changes are told to the remote once per turn of
// the event loop (a song that starts and is paused at once is one change).
class MprisPlayerBridge : public QObject, public MprisPlayer
{
    Q_OBJECT
public:
    explicit MprisPlayerBridge(PlayInfoPanelViewController &panel, QObject *parent = nullptr);

    QString playbackStatus() const override;
    QVariantMap metadata() const override;
    qint64 position() const override;
    double volume() const override;
    void setVolume(double volume) override;
    bool hasTrack() const override;
    bool canSeek() const override { return hasTrack(); }
    void stop() override;
    void setPosition(qint64 positionUs) override;

private:
    void changed();

    PlayInfoPanelViewController &m_panel;
    bool m_changePending = false;
};
