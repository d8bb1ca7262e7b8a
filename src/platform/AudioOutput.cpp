#include "AudioOutput.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QLoggingCategory>
#include <QMediaDevices>

#include <algorithm>

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
    if (!nullOutputRequested())
        openSink();
    m_nullConsumedBytes = 0;
    m_clock.start();
}

bool AudioOutput::openSink()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(m_format)) {
        qCInfo(lcAudio) << "no audio output device, using the null output";
        return false;
    }
    m_sink = new QAudioSink(device, m_format, this);
    m_sink->setBufferSize(m_format.bytesForDuration(100000));
    m_device = m_sink->start();
    if (!m_device || m_sink->error() != QAudio::NoError) {
        qCInfo(lcAudio) << "audio output could not start, using the null output";
        delete m_sink;
        m_sink = nullptr;
        m_device = nullptr;
        return false;
    }
    m_deviceId = device.id();
    qCDebug(lcAudio) << "playing through" << device.description() << m_deviceId;
    m_sinkBytes = 0;
    m_corked = false;
    if (!m_devices) {
        m_devices = new QMediaDevices(this);
        connect(m_devices, &QMediaDevices::audioOutputsChanged, this, &AudioOutput::checkDevice);
    }
    // Nothing to play yet: hold the stream, so that it does not tick while idle.
    if (m_pending.isEmpty() || m_suspended)
        cork(true);
    return true;
}

void AudioOutput::dropSink()
{
    m_sink->disconnect(this);
    m_sink->deleteLater();
    m_sink = nullptr;
    m_device = nullptr;
    m_corked = false;
}

void AudioOutput::cork(bool corked)
{
    if (!m_sink || m_corked == corked)
        return;
    m_corked = corked;
    if (corked) {
        // A held stream reports no played time of its own: keep what it had.
        m_corkedUSecs = m_sink->processedUSecs();
        m_sink->suspend();
    } else {
        m_sink->resume();
    }
}

void AudioOutput::write(const QByteArray &pcm)
{
    start();
    if (m_pending.isEmpty() && isNull() && !m_suspended) {
        // The null clock counts from the first sample after a pause in the stream.
        m_baseUSecs = playedUSecs();
        m_nullConsumedBytes = 0;
        m_clock.restart();
    }
    m_pending += pcm;
    m_wasPlaying = true;
    if (m_suspended)
        return;
    cork(false);
    pump();
    if (!m_pump.isActive() && isPlaying())
        m_pump.start();
}

void AudioOutput::clear()
{
    if (isNull()) {
        m_baseUSecs = playedUSecs();
    } else {
        // Drop what the device still holds as well; a new stream counts from zero.
        m_baseUSecs = playedUSecs();
        m_sink->reset();
        m_device = m_sink->start();
        m_sinkBytes = 0;
        m_corked = false;
        cork(true);
    }
    m_pending.clear();
    m_nullConsumedBytes = 0;
    m_clock.restart();
}

void AudioOutput::suspend()
{
    if (m_suspended)
        return;
    m_suspended = true;
    if (isNull()) {
        m_baseUSecs = playedUSecs();
        m_nullConsumedBytes = 0;
    }
    cork(true);
    m_pump.stop();
}

void AudioOutput::resume()
{
    if (!m_suspended)
        return;
    m_suspended = false;
    // The device may have gone while this output was held.
    checkDevice();
    // After a lost device, go on through whatever is the default now.
    if (m_started && isNull() && m_lookAgain && !nullOutputRequested()) {
        m_lookAgain = false;
        const qint64 played = playedUSecs();
        if (openSink())
            m_baseUSecs = played;
    }
    m_nullConsumedBytes = 0;
    m_clock.restart();
    if (!m_pending.isEmpty()) {
        cork(false);
        pump();
    }
    if (!m_pump.isActive() && m_wasPlaying)
        m_pump.start();
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
    return m_sink && !m_corked && m_sink->state() == QAudio::ActiveState;
}

qint64 AudioOutput::playedUSecs() const
{
    if (m_sink)
        return m_baseUSecs + (m_corked ? m_corkedUSecs : m_sink->processedUSecs());
    return m_baseUSecs + m_format.durationForBytes(m_nullConsumedBytes);
}

qint64 AudioOutput::queuedUSecs() const
{
    return m_format.durationForBytes(m_pending.size());
}

void AudioOutput::checkDevice()
{
    if (!m_sink)
        return;
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    const bool present = std::any_of(outputs.begin(), outputs.end(),
                                     [this](const QAudioDevice &device) { return device.id() == m_deviceId; });
    if (!present)
        loseDevice();
}

void AudioOutput::loseDevice()
{
    if (m_sink) {
        qCInfo(lcAudio) << "the audio output device went away";
        // Whatever was handed to it is gone with it: count it as played, so the clock
        // stays in step with the samples that follow.
        m_baseUSecs += m_format.durationForBytes(m_sinkBytes);
        dropSink();
    } else {
        m_baseUSecs = playedUSecs();
    }
    m_nullConsumedBytes = 0;
    m_clock.restart();
    m_lookAgain = true;
    // Playing on: through the default device at once. A suspended output looks when it resumes.
    if (!m_suspended && !nullOutputRequested()) {
        const qint64 played = playedUSecs();
        if (openSink()) {
            m_lookAgain = false;
            m_baseUSecs = played;
            if (!m_pending.isEmpty())
                cork(false);
        }
    }
    emit deviceLost();
    if (!m_suspended && !m_pending.isEmpty() && !m_pump.isActive())
        m_pump.start();
}

void AudioOutput::pump()
{
    if (m_suspended)
        return;
    // Not every sound system tells when its outputs change (PulseAudio through Qt 6.4
    // does not): look at the list twice a second while playing, on the pump's own beat.
    if (m_sink && ++m_passesSinceCheck >= 50) {
        m_passesSinceCheck = 0;
        checkDevice();
    }
    // A negative free space is what a stream that died without telling reports.
    if (m_sink && (sinkFailed() || m_sink->bytesFree() < 0)) {
        // The device went away mid-stream (headset unplugged, sound server restarted).
        qCInfo(lcAudio) << "audio output failed";
        loseDevice();
    }
    bool moved = false;
    if (m_sink && m_device) {
        const qint64 free = std::min<qint64>(m_sink->bytesFree(), m_pending.size());
        if (free > 0) {
            const qint64 written = m_device->write(m_pending.constData(), free);
            if (written > 0) {
                m_pending.remove(0, written);
                m_sinkBytes += written;
                moved = true;
            }
        }
    } else if (!m_sink && !m_pending.isEmpty()) {
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
            moved = bytes > 0;
        }
    }
    if (m_wasPlaying && !isPlaying()) {
        m_wasPlaying = false;
        if (isNull()) {
            m_baseUSecs = playedUSecs();
            m_nullConsumedBytes = 0;
        }
        m_pump.stop();
        cork(true);
        // After a failed device, the next sound looks for one again (it may be back).
        if (m_lookAgain && isNull()) {
            m_lookAgain = false;
            m_started = false;
        }
        emit drained();
        return;
    }
    if (moved || m_sink)
        emit progressed();
}
