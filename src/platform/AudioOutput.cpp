#include "AudioOutput.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QLoggingCategory>
#include <QMediaDevices>

Q_LOGGING_CATEGORY(lcAudio, "orbo.audio")

AudioOutput::AudioOutput(const QAudioFormat &format, QObject *parent) : QObject(parent), m_format(format)
{
    m_pump.setInterval(10);
    m_pump.setTimerType(Qt::PreciseTimer);
    connect(&m_pump, &QTimer::timeout, this, &AudioOutput::pump);
}

AudioOutput::~AudioOutput()
{
    if (m_sink)
        m_sink->stop();
}

bool AudioOutput::nullOutputRequested()
{
    return qgetenv("ORBO_AUDIO_OUTPUT") == "null";
}

void AudioOutput::start()
{
    if (m_started)
        return;
    m_started = true;
    if (!nullOutputRequested()) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (!device.isNull() && device.isFormatSupported(m_format)) {
            m_sink = new QAudioSink(device, m_format, this);
            m_sink->setBufferSize(m_format.bytesForDuration(100000));
            m_device = m_sink->start();
            if (!m_device || m_sink->error() != QAudio::NoError) {
                qCInfo(lcAudio) << "audio output could not start, using the null output";
                delete m_sink;
                m_sink = nullptr;
                m_device = nullptr;
            }
        } else {
            qCInfo(lcAudio) << "no audio output device, using the null output";
        }
    }
    m_clock.start();
}

void AudioOutput::write(const QByteArray &pcm)
{
    start();
    if (m_pending.isEmpty() && isNull()) {
        // The null clock counts from the first sample after a pause in the stream.
        m_clockBaseUSecs = playedUSecs();
        m_nullConsumedBytes = 0;
        m_clock.restart();
    }
    m_pending += pcm;
    m_wasPlaying = true;
    pump();
    if (!m_pump.isActive())
        m_pump.start();
}

void AudioOutput::clear()
{
    if (isNull() && !m_pending.isEmpty())
        m_clockBaseUSecs = playedUSecs();
    m_pending.clear();
    m_nullConsumedBytes = 0;
    m_clock.restart();
    if (m_sink) {
        // Drop what the device still holds as well.
        m_sink->reset();
        m_device = m_sink->start();
    }
}

bool AudioOutput::sinkFailed() const
{
    const QAudio::Error error = m_sink->error();
    return error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError;
}

bool AudioOutput::isPlaying() const
{
    if (!m_pending.isEmpty())
        return true;
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

qint64 AudioOutput::playedUSecs() const
{
    if (m_sink)
        return m_sink->processedUSecs();
    if (m_pending.isEmpty())
        return m_clockBaseUSecs;
    return m_clockBaseUSecs + m_format.durationForBytes(m_nullConsumedBytes);
}

void AudioOutput::pump()
{
    if (m_sink && sinkFailed()) {
        // The device went away mid-stream (headset unplugged, sound server restarted): the rest
        // plays out on the null clock, so nothing waits forever for a drain that never comes.
        qCInfo(lcAudio) << "audio output failed, using the null output";
        const qint64 played = m_sink->processedUSecs();
        m_sink->disconnect(this);
        m_sink->deleteLater();
        m_sink = nullptr;
        m_device = nullptr;
        m_clockBaseUSecs = played;
        m_nullConsumedBytes = 0;
        m_clock.restart();
        m_lookAgain = true;
    }
    if (m_sink && m_device) {
        const qint64 free = std::min<qint64>(m_sink->bytesFree(), m_pending.size());
        if (free > 0) {
            const qint64 written = m_device->write(m_pending.constData(), free);
            if (written > 0)
                m_pending.remove(0, written);
        }
    } else if (!m_pending.isEmpty()) {
        const qint64 due = m_format.bytesForDuration(m_clock.nsecsElapsed() / 1000);
        const qint64 take = std::min<qint64>(due - m_nullConsumedBytes, m_pending.size());
        if (take > 0) {
            // Whole frames only, so the stream never shifts by a byte.
            const qint64 frames = take / m_format.bytesPerFrame();
            const qint64 bytes = frames * m_format.bytesPerFrame();
            m_pending.remove(0, bytes);
            m_nullConsumedBytes += bytes;
            if (m_pending.size() < m_format.bytesPerFrame())
                m_pending.clear();
        }
    }
    if (m_wasPlaying && !isPlaying()) {
        m_wasPlaying = false;
        if (isNull())
            m_clockBaseUSecs += m_format.durationForBytes(m_nullConsumedBytes);
        m_nullConsumedBytes = 0;
        m_pump.stop();
        // After a failed device, the next sound looks for one again (it may be back).
        if (m_lookAgain) {
            m_lookAgain = false;
            m_started = false;
        }
        emit drained();
    }
}
