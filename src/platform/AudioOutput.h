#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QAudioSink;
class QIODevice;
class QMediaDevices;

// Where PCM samples go: the default output device through QAudioSink, or, when there
// is no device or it cannot start (headless machines, CI), a null output that consumes
// the samples on a real-time clock so that playing still takes as long as it should.
// Samples are pushed with write(); several outputs can play at once (the device mixes).
//
// An output with nothing to play, or suspended, holds its device stream paused and
// runs no timer, so it costs no wake-ups. When the device in use goes away (it leaves
// the system's list of outputs, looked at twice a second while playing and on resume;
// or the stream fails), deviceLost() is emitted, the
// samples handed to it count as played, and the rest goes on through the default
// device (the null output when there is none); a suspended output looks for the
// default device when it resumes.
class AudioOutput : public QObject
{
    Q_OBJECT
public:
    explicit AudioOutput(const QAudioFormat &format, QObject *parent = nullptr);
    ~AudioOutput() override;

    // Opens the device (or the null output). Idempotent; always leaves an output ready.
    void start();
    bool isStarted() const { return m_started; }
    bool isNull() const { return m_sink == nullptr; }

    void write(const QByteArray &pcm);
    // Drops what has not been played yet.
    void clear();
    // Holds playback where it is (what is queued stays queued); resume() goes on.
    void suspend();
    void resume();
    bool isSuspended() const { return m_suspended; }
    // True while samples are queued or still being played.
    bool isPlaying() const;
    // Microseconds of samples played since start(); never goes back, also across
    // clear() and a change of device.
    qint64 playedUSecs() const;
    // Microseconds of samples written but not yet handed to the device.
    qint64 queuedUSecs() const;
    QAudioFormat format() const { return m_format; }

    // What happens when the device in use disappears; called by the output itself and
    // usable as a seam where no device can be unplugged.
    void loseDevice();

    // True when the environment asks for the null output (ORBO_AUDIO_OUTPUT=null).
    static bool nullOutputRequested();

signals:
    // Everything written has been played.
    void drained();
    // Emitted on each pass of the pump while samples flow: the played clock moved.
    void progressed();
    void deviceLost();

private:
    void pump();
    bool openSink();
    void dropSink();
    bool sinkFailed() const;
    void checkDevice();
    void cork(bool corked);

    QAudioFormat m_format;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_device = nullptr;
    QMediaDevices *m_devices = nullptr;
    QByteArray m_deviceId;
    QByteArray m_pending;
    QTimer m_pump;
    QElapsedTimer m_clock;
    qint64 m_baseUSecs = 0; // played before the current sink or null-clock run
    qint64 m_nullConsumedBytes = 0; // consumed by the null clock since m_clock started
    qint64 m_sinkBytes = 0; // handed to the current sink stream
    qint64 m_corkedUSecs = 0; // the sink's played time when it was held
    int m_passesSinceCheck = 0;
    bool m_started = false;
    bool m_wasPlaying = false;
    bool m_lookAgain = false;
    bool m_suspended = false;
    bool m_corked = false;
};
