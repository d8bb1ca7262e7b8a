#pragma once

#include <QObject>

// An event of the media remote (earphones, MPRIS, media keys). The numbers are the
// remote's own: type 2 is a remote-control event, subtypes 100 to 105 its buttons.
struct RemoteControlEvent
{
    enum Type { Touches = 0, Motion = 1, RemoteControl = 2 };
    enum Subtype {
        Play = 100,
        Pause = 101,
        Stop = 102,
        TogglePlayPause = 103,
        NextTrack = 104,
        PreviousTrack = 105,
        BeginSeekingBackward = 106,
    };
    int type = RemoteControl;
    int subtype = 0;
};

// Routes remote events to the key window's first responder once the application has
// asked to receive them. Every source (MPRIS, media keys) delivers through here.
class RemoteControl : public QObject
{
    Q_OBJECT
public:
    static RemoteControl &shared();

    void beginReceivingRemoteControlEvents() { m_receiving = true; }
    void endReceivingRemoteControlEvents() { m_receiving = false; }
    bool isReceiving() const { return m_receiving; }

    // True when a responder took the event.
    bool deliver(const RemoteControlEvent &event);
    bool deliverSubtype(int subtype) { return deliver({RemoteControlEvent::RemoteControl, subtype}); }

signals:
    void delivered(int type, int subtype);

private:
    bool m_receiving = false;
};
