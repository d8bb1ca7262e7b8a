#pragma once

#include "FrameResampler.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QString>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

// A run of decoded samples, contiguous in the song: interleaved 16-bit PCM in the
// decoder's format, starting at `startFrame` (sample frames from the song's start).
struct PcmChunk
{
    qint64 startFrame = 0;
    QByteArray samples;
};

// Decodes one song file (MP3, M4A with AAC or ALAC, anything FFmpeg reads) into 16-bit
// PCM at the song's own sample rate, mono or stereo (more channels are mixed down).
// Not thread-safe: one thread at a time uses it.
//
// Damaged packets are skipped (one log line per damaged stretch) and decoding goes on;
// a file that keeps failing, more than `GiveUpFailures` packets without a clean second
// of sound in between, ends in Failed.
class AudioDecoder
{
public:
    static constexpr int GiveUpFailures = 64;

    AudioDecoder();
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder &) = delete;
    AudioDecoder &operator=(const AudioDecoder &) = delete;

    // Opens the file and decodes its first samples; false, with the reason in *error,
    // when it holds no audio that can be decoded or its duration is unknown or zero.
    bool open(const QString &path, QString *error = nullptr);

    QAudioFormat format() const { return m_format; }
    int sampleRate() const { return m_format.sampleRate(); }
    // Seconds, as the container tells (estimated from the bit rate for an MP3 without an index).
    double duration() const { return m_duration; }
    // Bits per second as the stream (or else the container) reports it; 0 when unknown.
    qint64 bitRate() const { return m_bitRate; }

    enum class Status { Samples, End, Failed };
    // Decodes on until `chunk` holds at least minFrames frames, the stream ends or a gap
    // (a skipped stretch) follows; Samples whenever the chunk is not empty. End and
    // Failed come with an empty chunk, after the last samples.
    Status read(PcmChunk &chunk, qint64 minFrames);
    // The next read starts exactly at this frame (decoding from the nearest earlier
    // point and dropping the samples before it).
    void seek(qint64 frame);
    QString failure() const { return m_failure; }

private:
    enum class Step { Frame, NeedPacket, End, Error };
    Step receive();
    bool feedPacket();
    bool countFailure(const QString &what);
    qint64 frameStart(const AVFrame *frame) const;
    void close();

    AVFormatContext *m_input = nullptr;
    AVCodecContext *m_codec = nullptr;
    FrameResampler m_resampler;
    AVFrame *m_frame = nullptr;
    AVPacket *m_packet = nullptr;
    int m_stream = -1;
    QString m_path;
    QAudioFormat m_format;
    double m_duration = 0;
    qint64 m_bitRate = 0;

    bool m_frameHeld = false; // m_frame was decoded but not yet handed out
    bool m_draining = false;
    bool m_ended = false;
    qint64 m_nextFrame = -1; // where the next decoded frame should start, -1 unknown
    qint64 m_dropBefore = 0; // samples before this frame are dropped (after a seek)
    int m_failures = 0;
    qint64 m_cleanFrames = 0;
    QString m_failure;
};
