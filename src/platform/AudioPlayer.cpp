#include "AudioPlayer.h"

#include "AudioDecodeThread.h"
#include "AudioDecoder.h"
#include "AudioOutput.h"
#include "LevelMeter.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcPlayer, "orbo.audio.player")

namespace {

// The decoder runs up to two seconds ahead; the output is topped up to a quarter second
// beyond what its device holds, so a pause, seek or volume change is heard soon.
constexpr double DecodeAheadSeconds = 2.0;
constexpr qint64 OutputQueueUSecs = 250000;

} // namespace

AudioPlayer::AudioPlayer(const QUrl &url, QObject *parent) : QObject(parent), m_url(url)
{
    auto decoder = std::make_unique<AudioDecoder>();
    QString error;
    if (!url.isLocalFile()) {
        qCInfo(lcPlayer) << "cannot play" << url << ": not a local file";
        return;
    }
    if (!decoder->open(url.toLocalFile(), &error)) {
        qCInfo(lcPlayer).noquote() << "cannot play" << url.toLocalFile() << ":" << error;
        return;
    }
    m_duration = decoder->duration();
    m_bitRate = decoder->bitRate();
    m_format = decoder->format();
    m_output = new AudioOutput(m_format, this);
    connect(m_output, &AudioOutput::progressed, this, [this] {
        publishPlayhead();
        feed();
    });
    connect(m_output, &AudioOutput::drained, this, [this] {
        if (m_endReached && m_playing)
            finish();
        else
            feed();
    });
    connect(m_output, &AudioOutput::deviceLost, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { emit routeChanged(OldDeviceUnavailable); }, Qt::QueuedConnection);
    });
    m_meter = std::make_unique<LevelMeter>(m_format.sampleRate(), m_format.channelCount());
    const auto aheadFrames = qint64(DecodeAheadSeconds * m_format.sampleRate());
    m_decode = std::make_unique<AudioDecodeThread>(std::move(decoder), aheadFrames, [this] {
        QMetaObject::invokeMethod(
            this, [this] { feed(); }, Qt::QueuedConnection);
    });
}

AudioPlayer::~AudioPlayer()
{
    // The decoding thread first: it may still be posting to this object.
    m_decode.reset();
}

QVariantMap AudioPlayer::settings() const
{
    QVariantMap settings;
    if (!m_output)
        return settings;
    if (m_bitRate > 0)
        settings.insert(EncoderBitRateKey, m_bitRate);
    settings.insert(SampleRateKey, double(m_format.sampleRate()));
    settings.insert(NumberOfChannelsKey, m_format.channelCount());
    return settings;
}

bool AudioPlayer::play()
{
    if (!m_output || m_failed)
        return false;
    if (m_playing)
        return true;
    if (m_rewind)
        restartAt(0);
    m_playing = true;
    m_output->start();
    m_output->resume();
    publishPlayhead();
    feed();
    return true;
}

void AudioPlayer::pause()
{
    if (!m_playing)
        return;
    m_playing = false;
    m_output->suspend();
    publishPlayhead();
}

void AudioPlayer::stop()
{
    if (!m_output)
        return;
    const qint64 at = currentFrame();
    pause();
    restartAt(at);
}

double AudioPlayer::currentTime() const
{
    if (!m_output)
        return 0;
    return double(currentFrame()) / m_format.sampleRate();
}

void AudioPlayer::setCurrentTime(double seconds)
{
    if (!m_output || m_failed)
        return;
    const double at = std::isfinite(seconds) ? std::clamp(seconds, 0.0, m_duration) : 0.0;
    restartAt(qint64(std::llround(at * m_format.sampleRate())));
    feed();
}

void AudioPlayer::setVolume(float volume)
{
    m_volume = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 1.0f;
}

void AudioPlayer::updateMeters()
{
    if (m_meter && m_metering)
        m_meter->update();
}

float AudioPlayer::averagePowerForChannel(int channel) const
{
    return m_meter && m_metering ? m_meter->averagePower(channel) : LevelMeter::SilenceDb;
}

float AudioPlayer::peakPowerForChannel(int channel) const
{
    return m_meter && m_metering ? m_meter->peakPower(channel) : LevelMeter::SilenceDb;
}

void AudioPlayer::beginInterruption()
{
    m_interrupted = m_interrupted || m_playing;
    pause();
    emit interruptionBegan();
}

void AudioPlayer::endInterruption()
{
    emit interruptionEnded();
    if (m_interrupted) {
        m_interrupted = false;
        play();
    }
}

qint64 AudioPlayer::playedFrames() const
{
    const qint64 usecs = m_output->playedUSecs() - m_segmentBaseUSecs;
    const qint64 frames = usecs * m_format.sampleRate() / 1000000;
    return std::clamp<qint64>(frames, 0, m_segmentFrames);
}

qint64 AudioPlayer::currentFrame() const
{
    if (m_rewind)
        return 0;
    if (m_marks.empty())
        return m_seekFrame;
    const qint64 played = playedFrames();
    // The last mark at or before the play head says where in the song it is.
    auto mark = std::upper_bound(m_marks.begin(), m_marks.end(), played,
                                 [](qint64 frame, const Mark &m) { return frame < m.written; });
    if (mark != m_marks.begin())
        --mark;
    return mark->song + std::max<qint64>(played - mark->written, 0);
}

void AudioPlayer::publishPlayhead()
{
    const qint64 played = playedFrames();
    while (m_marks.size() > 1 && m_marks[1].written <= played)
        m_marks.pop_front();
    m_meter->setPlayhead(played, m_playing);
}

void AudioPlayer::restartAt(qint64 songFrame)
{
    m_rewind = false;
    m_output->clear();
    m_segmentBaseUSecs = m_output->playedUSecs();
    m_segmentFrames = 0;
    m_seekFrame = songFrame;
    m_marks.clear();
    m_endReached = false;
    m_failure.clear();
    m_meter->restart();
    m_meter->setPlayhead(0, m_playing);
    m_decode->seek(songFrame);
}

void AudioPlayer::write(PcmChunk &chunk)
{
    const int bytesPerFrame = m_format.bytesPerFrame();
    const qint64 frames = chunk.samples.size() / bytesPerFrame;
    if (frames == 0)
        return;
    const qint64 expected = m_marks.empty() ? -1 : m_marks.back().song + (m_segmentFrames - m_marks.back().written);
    if (chunk.startFrame != expected)
        m_marks.push_back(Mark{m_segmentFrames, chunk.startFrame});
    auto *samples = reinterpret_cast<qint16 *>(chunk.samples.data());
    const qint64 count = frames * m_format.channelCount();
    if (m_volume < 1.0f) {
        const auto gain = qint32(std::lround(m_volume * 65536.0f));
        for (qint64 i = 0; i < count; ++i)
            samples[i] = qint16((qint32(samples[i]) * gain) / 65536);
    }
    m_meter->append(samples, frames);
    m_segmentFrames += frames;
    m_output->write(chunk.samples);
}

void AudioPlayer::feed()
{
    if (!m_playing || !m_output)
        return;
    while (!m_endReached && m_output->queuedUSecs() < OutputQueueUSecs) {
        std::optional<AudioDecodeThread::Item> item = m_decode->take();
        if (!item)
            return; // the decoding thread calls again when it has more
        switch (item->kind) {
        case AudioDecodeThread::Item::Kind::Samples:
            write(item->chunk);
            break;
        case AudioDecodeThread::Item::Kind::Failed:
            m_failure = item->failure.isEmpty() ? QStringLiteral("decoding failed") : item->failure;
            m_endReached = true;
            break;
        case AudioDecodeThread::Item::Kind::End:
            m_endReached = true;
            break;
        }
    }
    if (m_endReached && !m_output->isPlaying())
        finish();
}

void AudioPlayer::finish()
{
    const QString failure = m_failure;
    m_playing = false;
    m_output->suspend();
    publishPlayhead();
    if (failure.isEmpty()) {
        // Back at the start; decoding it again waits for a play(), which may never come.
        m_rewind = true;
    } else {
        m_failed = true;
        m_endReached = true;
    }
    QMetaObject::invokeMethod(
        this,
        [this, failure] {
            if (!failure.isEmpty())
                emit decodeError(failure);
            emit finished(failure.isEmpty());
        },
        Qt::QueuedConnection);
}
