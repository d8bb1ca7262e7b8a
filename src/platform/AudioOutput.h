#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QAudioSink;
class QIODevice;

// Where PCM samples go: the default output device through QAudioSink, or, when there
// is no device or it cannot start (headless machines, CI), a null output that consumes
// the samples on a real-time clock so that playing still takes as long as it should.
// Samples are pushed with write(); several outputs can play at once (the device mixes).
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
    // True while samples are queued or still being played.
    bool isPlaying() const;
    // Microseconds of samples played since start().
    qint64 playedUSecs() const;
    QAudioFormat format() const { return m_format; }

    // True when the environment asks for the null output (ORBO_AUDIO_OUTPUT=null).
    static bool nullOutputRequested();

signals:
    // Everything written has been played.
    void drained();

private:
    void pump();
    bool sinkFailed() const;

    QAudioFormat m_format;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_device = nullptr;
    QByteArray m_pending;
    QTimer m_pump;
    QElapsedTimer m_clock;
    qint64 m_nullConsumedBytes = 0;
    qint64 m_clockBaseUSecs = 0;
    bool m_started = false;
    bool m_wasPlaying = false;
    bool m_lookAgain = false;
};
