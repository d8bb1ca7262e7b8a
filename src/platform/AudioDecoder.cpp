#include "AudioDecoder.h"

#include "FfmpegLog.h"
#include "FileManager.h"

#include <QFile>
#include <QLoggingCategory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdlib>

Q_LOGGING_CATEGORY(lcDecoder, "orbo.audio.decoder")

namespace {
QString errorText(int code)
{
    return FfmpegLog::errorText(code);
}
} // namespace

AudioDecoder::AudioDecoder()
{
    FfmpegLog::install();
}

AudioDecoder::~AudioDecoder()
{
    close();
}

void AudioDecoder::close()
{
    m_resampler.close();
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
    avformat_close_input(&m_input);
    m_stream = -1;
}

bool AudioDecoder::open(const QString &path, QString *error)
{
    close();
    m_path = path;
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        close();
        return false;
    };
    // Names that are not UTF-8 are carried as escapes: open the exact bytes on disk.
    const QByteArray name = FileManager::fileSystemRepresentation(path);
    // MP3: seek by the frames themselves, not by the estimate of a table of contents
    // or the bit rate, which can be a tenth of a second or more away.
    AVDictionary *options = nullptr;
    av_dict_set(&options, "usetoc", "0", 0);
    int result = avformat_open_input(&m_input, name.constData(), nullptr, &options);
    av_dict_free(&options);
    if (result < 0)
        return fail(QStringLiteral("cannot open: %1").arg(errorText(result)));
    result = avformat_find_stream_info(m_input, nullptr);
    if (result < 0)
        return fail(QStringLiteral("cannot read the stream: %1").arg(errorText(result)));
    const AVCodec *codec = nullptr;
    m_stream = av_find_best_stream(m_input, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (m_stream < 0 || !codec)
        return fail(QStringLiteral("no audio stream that can be decoded"));
    const AVStream *stream = m_input->streams[m_stream];
    m_codec = avcodec_alloc_context3(codec);
    if (!m_codec || avcodec_parameters_to_context(m_codec, stream->codecpar) < 0)
        return fail(QStringLiteral("cannot set up the decoder"));
    m_codec->pkt_timebase = stream->time_base;
    result = avcodec_open2(m_codec, codec, nullptr);
    if (result < 0)
        return fail(QStringLiteral("cannot open the decoder: %1").arg(errorText(result)));
    if (m_codec->sample_rate < 1000 || m_codec->sample_rate > 384000 || m_codec->ch_layout.nb_channels < 1)
        return fail(QStringLiteral("unusable sample rate or channel count"));

    m_format.setSampleRate(m_codec->sample_rate);
    m_format.setChannelCount(m_codec->ch_layout.nb_channels == 1 ? 1 : 2);
    m_format.setSampleFormat(QAudioFormat::Int16);
    m_resampler.setOutput(m_format.channelCount(), AV_SAMPLE_FMT_S16, m_format.sampleRate());

    if (m_input->duration > 0 && m_input->duration != AV_NOPTS_VALUE)
        m_duration = double(m_input->duration) / AV_TIME_BASE;
    else if (stream->duration > 0 && stream->duration != AV_NOPTS_VALUE)
        m_duration = double(stream->duration) * av_q2d(stream->time_base);
    else
        m_duration = 0;
    m_bitRate =
        stream->codecpar->bit_rate > 0 ? stream->codecpar->bit_rate : (m_input->bit_rate > 0 ? m_input->bit_rate : 0);
    if (!(m_duration > 0))
        return fail(QStringLiteral("the duration is unknown or zero"));

    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (!m_frame || !m_packet)
        return fail(QStringLiteral("out of memory"));
    m_frameHeld = m_draining = m_ended = false;
    m_nextFrame = -1;
    m_dropBefore = 0;
    m_failures = 0;
    m_cleanFrames = 0;
    m_failure.clear();

    // A file is playable only when its first samples decode; that frame is kept for the first read.
    for (;;) {
        const Step step = receive();
        if (step == Step::Frame) {
            m_frameHeld = true;
            return true;
        }
        if (step == Step::End)
            return fail(QStringLiteral("no samples could be decoded"));
        if (step == Step::Error)
            return fail(m_failure.isEmpty() ? QStringLiteral("no samples could be decoded") : m_failure);
    }
}

bool AudioDecoder::countFailure(const QString &what)
{
    if (m_failures == 0) {
        const double at = m_nextFrame >= 0 ? double(m_nextFrame) / sampleRate() : 0.0;
        qCWarning(lcDecoder).noquote()
            << QStringLiteral("%1: %2 at %3 s, skipping the damaged stretch").arg(m_path, what).arg(at, 0, 'f', 2);
    }
    m_cleanFrames = 0;
    if (++m_failures >= GiveUpFailures) {
        m_failure = QStringLiteral("%1: too many decoding errors (%2), giving up").arg(m_path, what);
        qCWarning(lcDecoder).noquote() << m_failure;
        return false;
    }
    return true;
}

// Moves one packet of the song into the decoder; false when the file is to be given up.
bool AudioDecoder::feedPacket()
{
    for (;;) {
        const int read = av_read_frame(m_input, m_packet);
        if (read == AVERROR_EOF) {
            m_draining = true;
            avcodec_send_packet(m_codec, nullptr);
            return true;
        }
        if (read < 0)
            return countFailure(QStringLiteral("read error (%1)").arg(errorText(read)));
        if (m_packet->stream_index != m_stream) {
            av_packet_unref(m_packet);
            continue;
        }
        const int sent = avcodec_send_packet(m_codec, m_packet);
        av_packet_unref(m_packet);
        if (sent < 0 && sent != AVERROR(EAGAIN))
            return countFailure(QStringLiteral("decode error (%1)").arg(errorText(sent)));
        return true;
    }
}

AudioDecoder::Step AudioDecoder::receive()
{
    for (;;) {
        if (m_ended)
            return Step::End;
        const int result = avcodec_receive_frame(m_codec, m_frame);
        if (result == 0) {
            if (m_frame->nb_samples <= 0) {
                av_frame_unref(m_frame);
                continue;
            }
            return Step::Frame;
        }
        if (result == AVERROR_EOF) {
            m_ended = true;
            return Step::End;
        }
        if (result == AVERROR(EAGAIN)) {
            if (m_draining) {
                m_ended = true;
                return Step::End;
            }
            if (!feedPacket())
                return Step::Error;
            continue;
        }
        if (!countFailure(QStringLiteral("decode error (%1)").arg(errorText(result))))
            return Step::Error;
    }
}

qint64 AudioDecoder::frameStart(const AVFrame *frame) const
{
    qint64 pts = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE)
        return m_nextFrame >= 0 ? m_nextFrame : 0;
    const AVStream *stream = m_input->streams[m_stream];
    if (stream->start_time != AV_NOPTS_VALUE)
        pts -= stream->start_time;
    const qint64 start = av_rescale_q(pts, stream->time_base, AVRational{1, sampleRate()});
    // Rounding in the time stamps is not a gap: a frame that starts within a millisecond
    // of where the last one ended continues it.
    if (m_nextFrame >= 0 && std::llabs(start - m_nextFrame) <= std::max(2, sampleRate() / 1000))
        return m_nextFrame;
    return start;
}

AudioDecoder::Status AudioDecoder::read(PcmChunk &chunk, qint64 minFrames)
{
    chunk.samples.clear();
    chunk.startFrame = 0;
    if (!m_input)
        return Status::End;
    const int bytesPerFrame = m_format.bytesPerFrame();
    qint64 frames = 0;
    while (frames < minFrames) {
        if (!m_frameHeld) {
            const Step step = receive();
            if (step == Step::End)
                break;
            if (step == Step::Error)
                return frames > 0 ? Status::Samples : Status::Failed;
            m_frameHeld = true;
        }
        const qint64 start = frameStart(m_frame);
        const qint64 count = m_frame->nb_samples;
        if (frames > 0 && start != chunk.startFrame + frames)
            break; // a gap: this frame begins the next chunk
        m_frameHeld = false;
        SwrContext *resampler = m_resampler.forFrame(m_frame);
        if (!resampler) {
            av_frame_unref(m_frame);
            if (!countFailure(QStringLiteral("unsupported sample layout")))
                return frames > 0 ? Status::Samples : Status::Failed;
            continue;
        }
        // Sample-rate changes inside a file are resampled; the output may differ a little in length.
        const int room = swr_get_out_samples(resampler, int(count));
        const qsizetype at = chunk.samples.size();
        chunk.samples.resize(at + qsizetype(room) * bytesPerFrame);
        uint8_t *out[] = {reinterpret_cast<uint8_t *>(chunk.samples.data() + at)};
        const int made =
            swr_convert(resampler, out, room, const_cast<const uint8_t **>(m_frame->extended_data), int(count));
        av_frame_unref(m_frame);
        if (made < 0) {
            chunk.samples.resize(at);
            if (!countFailure(QStringLiteral("conversion error (%1)").arg(errorText(made))))
                return frames > 0 ? Status::Samples : Status::Failed;
            continue;
        }
        chunk.samples.resize(at + qsizetype(made) * bytesPerFrame);
        m_nextFrame = start + made;
        m_cleanFrames += made;
        if (m_cleanFrames >= sampleRate())
            m_failures = 0;

        // Samples before a seek's target (and before the song's start) are dropped.
        const qint64 dropTo = std::max<qint64>(m_dropBefore, 0);
        qint64 first = start;
        if (start < dropTo) {
            const qint64 drop = std::min<qint64>(dropTo - start, made);
            chunk.samples.remove(at, qsizetype(drop) * bytesPerFrame);
            first = start + drop;
        }
        const qint64 kept = (chunk.samples.size() - at) / bytesPerFrame;
        if (kept == 0)
            continue;
        if (frames == 0)
            chunk.startFrame = first;
        frames += kept;
    }
    return frames > 0 ? Status::Samples : Status::End;
}

void AudioDecoder::seek(qint64 frame)
{
    if (!m_input)
        return;
    frame = std::max<qint64>(frame, 0);
    const AVStream *stream = m_input->streams[m_stream];
    // Decoding starts a little earlier: the first frames after a jump lack what came
    // before them (MP3's bit reservoir, AAC's overlapping windows) and come out wrong.
    const qint64 preroll = sampleRate() / 10;
    // Not clamped at 0: near the start that finds the encoder's priming packets, which
    // the decoder needs as much.
    qint64 target = av_rescale_q(frame - preroll, AVRational{1, sampleRate()}, stream->time_base);
    if (stream->start_time != AV_NOPTS_VALUE)
        target += stream->start_time;
    if (av_seek_frame(m_input, m_stream, target, AVSEEK_FLAG_BACKWARD) < 0) {
        // No index to seek by: start over and decode up to the target.
        av_seek_frame(m_input, m_stream, stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0,
                      AVSEEK_FLAG_BACKWARD);
    }
    avcodec_flush_buffers(m_codec);
    av_frame_unref(m_frame);
    m_frameHeld = m_draining = m_ended = false;
    m_nextFrame = -1;
    m_dropBefore = frame;
    m_resampler.discardBuffered();
}
