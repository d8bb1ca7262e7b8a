#pragma once

#include <QString>
#include <QVariantMap>

// What the desktop's media remote (MPRIS) reads from the player and asks of it beyond the
// remote's buttons: the state, the song, the position and volume, stopping and seeking.
// The player tells its listener when any of it changed, and when it jumped in the song.
class MprisPlayer
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void playerChanged() = 0;
        virtual void playerSeeked(qint64 positionUs) = 0;
    };

    virtual ~MprisPlayer() = default;

    // "Playing", "Paused" or "Stopped".
    virtual QString playbackStatus() const = 0;
    // The MPRIS metadata of the song (mpris:trackid, mpris:length, xesam:title ...); empty
    // without one.
    virtual QVariantMap metadata() const = 0;
    // Microseconds into the song.
    virtual qint64 position() const = 0;
    // 0 ... 1.
    virtual double volume() const = 0;
    virtual void setVolume(double volume) = 0;
    // A song is loaded: there is something to play, pause and move on from.
    virtual bool hasTrack() const = 0;
    virtual bool canSeek() const = 0;
    virtual void stop() = 0;
    // Jumps to the position (microseconds, within the song).
    virtual void setPosition(qint64 positionUs) = 0;

    void setListener(Listener *listener) { m_listener = listener; }

protected:
    void notifyChanged()
    {
        if (m_listener)
            m_listener->playerChanged();
    }
    void notifySeeked(qint64 positionUs)
    {
        if (m_listener)
            m_listener->playerSeeked(positionUs);
    }

private:
    Listener *m_listener = nullptr;
};
