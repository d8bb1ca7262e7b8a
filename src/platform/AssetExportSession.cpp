#include "AssetExportSession.h"

#include "FfmpegLog.h"
#include "FileManager.h"
#include "FrameResampler.h"
#include "ImageCodec.h"
#include "MediaFileTags.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QTemporaryFile>
#include <QThreadPool>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/encryption_info.h>
#include <libswresample/swresample.h>
}

#include <taglib/mp4file.h>
#include <taglib/tfilestream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

Q_LOGGING_CATEGORY(lcExport, "orbo.export")

using Status = AssetExportSession::Status;
using Failure = AssetExportSession::Failure;
using Result = AssetExportSession::Result;

struct AssetExportSession::Job
{
    QString source;
    QString target;
    Metadata metadata;
    std::atomic<Status> status{Status::Unknown};
    std::atomic<float> progress{0.f};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> copying{false};
    bool started = false; // main thread only
    CompletionHandler handler;
};

namespace {

// Exports that have not ended yet, for waitForExports.
std::mutex runningMutex;
std::condition_variable runningChanged;
int running = 0;

QMutex hookMutex;
std::function<void(const QString &)> &packetHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

QString errorText(int code)
{
    return FfmpegLog::errorText(code);
}

Result failed(Failure failure, const QString &error)
{
    return {Status::Failed, failure, error};
}

// Writes FFmpeg's output straight into a file descriptor (the unnamed temporary file).
int writeToFd(void *opaque, uint8_t *buffer, int size)
{
    const int fd = *static_cast<int *>(opaque);
    int done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, buffer + done, size_t(size - done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return AVERROR(errno);
        }
        done += int(written);
    }
    return size;
}

int64_t seekFd(void *opaque, int64_t offset, int whence)
{
    const int fd = *static_cast<int *>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat status = {};
        return ::fstat(fd, &status) == 0 ? int64_t(status.st_size) : AVERROR(errno);
    }
    const off_t position = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(errno) : int64_t(position);
}

TagLib::String tagText(const QString &text)
{
    return TagLib::String(text.toUtf8().constData(), TagLib::String::UTF8);
}

// The cover as M4A wants it: JPEG and PNG as they are, anything else Qt reads as PNG.
std::optional<TagLib::MP4::CoverArt> coverArt(const QByteArray &picture)
{
    if (picture.startsWith("\xFF\xD8\xFF"))
        return TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::JPEG,
                                     TagLib::ByteVector(picture.constData(), uint(picture.size())));
    if (picture.startsWith("\x89PNG\r\n\x1A\n"))
        return TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::PNG,
                                     TagLib::ByteVector(picture.constData(), uint(picture.size())));
    const QImage image = ImageCodec::decode(picture);
    if (image.isNull())
        return std::nullopt;
    const QByteArray png = ImageCodec::pngData(image);
    return TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::PNG, TagLib::ByteVector(png.constData(), uint(png.size())));
}

bool writeTags(int fd, const AssetExportSession::Metadata &metadata)
{
    MediaFileTags::silenceTagLib();
    // The stream closes its own copy of the descriptor.
    const int copy = ::dup(fd);
    if (copy < 0)
        return false;
    TagLib::FileStream stream(copy, false);
    if (!stream.isOpen() || stream.readOnly())
        return false;
    TagLib::MP4::File file(&stream, false);
    TagLib::MP4::Tag *tag = file.isValid() ? file.tag() : nullptr;
    if (!tag)
        return false;
    if (metadata.title)
        tag->setTitle(tagText(*metadata.title));
    if (metadata.artist)
        tag->setArtist(tagText(*metadata.artist));
    if (metadata.album)
        tag->setAlbum(tagText(*metadata.album));
    if (metadata.lyrics)
        tag->setItem("\251lyr", TagLib::StringList(tagText(*metadata.lyrics)));
    if (const std::optional<TagLib::MP4::CoverArt> cover = coverArt(metadata.picture)) {
        TagLib::MP4::CoverArtList covers;
        covers.append(*cover);
        tag->setItem("covr", covers);
    }
    return file.save();
}

// The sample rate the encoder takes: the song's own when the encoder knows it, else the
// next one above (or the highest).
int encoderSampleRate(const AVCodec *encoder, int wanted)
{
    const int *rates = encoder->supported_samplerates;
    if (!rates)
        return wanted;
    int above = 0, highest = 0;
    for (; *rates; ++rates) {
        if (*rates == wanted)
            return wanted;
        if (*rates > wanted && (above == 0 || *rates < above))
            above = *rates;
        highest = std::max(highest, *rates);
    }
    return above ? above : highest;
}

// One export, from opening the source to naming the finished file.
class Export
{
public:
    explicit Export(AssetExportSession::Job &job) : m_job(job) { FfmpegLog::install(); }
    ~Export();

    Result run();

private:
    Result openInput();
    Result openDecoder();
    Result openOutput();
    Result copyOrEncode();
    Result finish();
    Result decodePacket(const AVPacket *packet);
    Result resample(const AVFrame *frame);
    Result encodeFrom(bool draining);
    Result writeEncoded(const AVFrame *frame);
    void noteProgress(const AVPacket *packet);
    bool cancelled() const { return m_job.cancelled.load(); }

    static int interrupt(void *opaque) { return static_cast<Export *>(opaque)->cancelled() ? 1 : 0; }

    AssetExportSession::Job &m_job;
    AVFormatContext *m_input = nullptr;
    int m_stream = -1;
    const AVCodec *m_decoderCodec = nullptr;
    AVCodecContext *m_decoder = nullptr;
    AVCodecContext *m_encoder = nullptr;
    FrameResampler m_resampler;
    AVAudioFifo *m_fifo = nullptr;
    AVFrame *m_frame = nullptr;
    AVFrame *m_encodeFrame = nullptr;
    AVPacket *m_packet = nullptr;
    AVPacket *m_encoded = nullptr;
    uint8_t **m_converted = nullptr;
    int m_convertedCapacity = 0;
    AVFormatContext *m_output = nullptr;
    AVStream *m_outStream = nullptr;
    std::unique_ptr<QTemporaryFile> m_file;
    int m_fd = -1;
    bool m_copy = false;
    double m_duration = 0;
    int64_t m_samplesEncoded = 0;
    int64_t m_samplesDecoded = 0;
    int m_decodeFailures = 0;
};

Export::~Export()
{
    if (m_output) {
        if (m_output->pb) {
            av_freep(&m_output->pb->buffer);
            avio_context_free(&m_output->pb);
        }
        avformat_free_context(m_output);
    }
    if (m_converted) {
        av_freep(&m_converted[0]);
        av_freep(&m_converted);
    }
    av_packet_free(&m_encoded);
    av_packet_free(&m_packet);
    av_frame_free(&m_encodeFrame);
    av_frame_free(&m_frame);
    av_audio_fifo_free(m_fifo);
    avcodec_free_context(&m_encoder);
    avcodec_free_context(&m_decoder);
    avformat_close_input(&m_input);
    // An unfinished file was never named: closing it is all it takes to remove it.
}

Result Export::run()
{
    Result step = openInput();
    if (step.status == Status::Unknown)
        step = openDecoder();
    if (step.status == Status::Unknown)
        step = openOutput();
    if (step.status == Status::Unknown)
        step = copyOrEncode();
    if (step.status == Status::Unknown)
        step = finish();
    return step;
}

Result Export::openInput()
{
    m_input = avformat_alloc_context();
    if (!m_input)
        return failed(Failure::Unreadable, QStringLiteral("out of memory"));
    m_input->interrupt_callback = {&Export::interrupt, this};
    const QByteArray name = QFile::encodeName(m_job.source);
    int result = avformat_open_input(&m_input, name.constData(), nullptr, nullptr);
    if (result < 0)
        return cancelled() ? Result{Status::Cancelled, Failure::None, {}}
                           : failed(Failure::Unreadable, QStringLiteral("cannot open: %1").arg(errorText(result)));
    result = avformat_find_stream_info(m_input, nullptr);
    if (result < 0)
        return cancelled() ? Result{Status::Cancelled, Failure::None, {}}
                           : failed(Failure::Unreadable, QStringLiteral("cannot read: %1").arg(errorText(result)));
    m_stream = av_find_best_stream(m_input, AVMEDIA_TYPE_AUDIO, -1, -1, &m_decoderCodec, 0);
    if (m_stream < 0)
        return failed(Failure::Unreadable, QStringLiteral("no audio stream"));
    const AVStream *stream = m_input->streams[m_stream];
    if (av_stream_get_side_data(stream, AV_PKT_DATA_ENCRYPTION_INIT_INFO, nullptr)
        || stream->codecpar->codec_tag == MKTAG('d', 'r', 'm', 's'))
        return failed(Failure::Protected, QStringLiteral("the audio is encrypted"));
    if (stream->duration > 0 && stream->duration != AV_NOPTS_VALUE)
        m_duration = double(stream->duration) * av_q2d(stream->time_base);
    else if (m_input->duration > 0 && m_input->duration != AV_NOPTS_VALUE)
        m_duration = double(m_input->duration) / AV_TIME_BASE;
    // AAC goes into the M4A as it is; without its configuration (a raw ADTS stream) it is
    // encoded again, which needs no bitstream conversion.
    m_copy = stream->codecpar->codec_id == AV_CODEC_ID_AAC && stream->codecpar->extradata_size > 0;
    m_job.copying = m_copy;
    return {};
}

Result Export::openDecoder()
{
    if (m_copy)
        return {};
    if (!m_decoderCodec)
        return failed(Failure::Protected, QStringLiteral("no decoder for the audio"));
    m_decoder = avcodec_alloc_context3(m_decoderCodec);
    if (!m_decoder || avcodec_parameters_to_context(m_decoder, m_input->streams[m_stream]->codecpar) < 0)
        return failed(Failure::Unreadable, QStringLiteral("cannot set up the decoder"));
    m_decoder->pkt_timebase = m_input->streams[m_stream]->time_base;
    const int result = avcodec_open2(m_decoder, m_decoderCodec, nullptr);
    if (result < 0)
        return failed(Failure::Protected, QStringLiteral("cannot open the decoder: %1").arg(errorText(result)));
    if (m_decoder->sample_rate <= 0 || m_decoder->ch_layout.nb_channels < 1)
        return failed(Failure::Unreadable, QStringLiteral("no sample rate or channels"));

    const AVCodec *encoder = avcodec_find_encoder_by_name("aac");
    if (!encoder)
        return failed(Failure::Unwritable, QStringLiteral("no AAC encoder"));
    m_encoder = avcodec_alloc_context3(encoder);
    if (!m_encoder)
        return failed(Failure::Unwritable, QStringLiteral("out of memory"));
    m_encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    m_encoder->sample_rate = encoderSampleRate(encoder, m_decoder->sample_rate);
    av_channel_layout_default(&m_encoder->ch_layout, AssetExportSession::kChannels);
    m_encoder->bit_rate = AssetExportSession::kBitRate;
    m_encoder->time_base = {1, m_encoder->sample_rate};
    m_encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER; // the MP4 muxer wants the configuration up front
    const int opened = avcodec_open2(m_encoder, encoder, nullptr);
    if (opened < 0)
        return failed(Failure::Unwritable, QStringLiteral("cannot open the encoder: %1").arg(errorText(opened)));
    m_resampler.setOutput(AssetExportSession::kChannels, AV_SAMPLE_FMT_FLTP, m_encoder->sample_rate);
    m_fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, AssetExportSession::kChannels, 4096);
    m_frame = av_frame_alloc();
    m_encodeFrame = av_frame_alloc();
    if (!m_fifo || !m_frame || !m_encodeFrame)
        return failed(Failure::Unwritable, QStringLiteral("out of memory"));
    return {};
}

Result Export::openOutput()
{
    const QString folder = QFileInfo(m_job.target).absolutePath();
    m_file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/.orbo-export-XXXXXX"));
    if (!m_file->open())
        return failed(Failure::Unwritable,
                      QStringLiteral("cannot write into %1: %2").arg(folder, m_file->errorString()));
    m_fd = m_file->handle();

    if (avformat_alloc_output_context2(&m_output, nullptr, "ipod", nullptr) < 0 || !m_output)
        return failed(Failure::Unwritable, QStringLiteral("no M4A muxer"));
    constexpr int bufferSize = 256 * 1024;
    auto *buffer = static_cast<uint8_t *>(av_malloc(bufferSize));
    m_output->pb = buffer ? avio_alloc_context(buffer, bufferSize, 1, &m_fd, nullptr, writeToFd, seekFd) : nullptr;
    if (!m_output->pb) {
        av_free(buffer);
        return failed(Failure::Unwritable, QStringLiteral("out of memory"));
    }
    m_output->flags |= AVFMT_FLAG_CUSTOM_IO;
    m_outStream = avformat_new_stream(m_output, nullptr);
    if (!m_outStream)
        return failed(Failure::Unwritable, QStringLiteral("out of memory"));
    const AVStream *in = m_input->streams[m_stream];
    if (m_copy) {
        if (avcodec_parameters_copy(m_outStream->codecpar, in->codecpar) < 0)
            return failed(Failure::Unwritable, QStringLiteral("out of memory"));
        m_outStream->codecpar->codec_tag = 0;
        m_outStream->time_base = in->time_base;
    } else {
        if (avcodec_parameters_from_context(m_outStream->codecpar, m_encoder) < 0)
            return failed(Failure::Unwritable, QStringLiteral("out of memory"));
        m_outStream->time_base = m_encoder->time_base;
    }
    const int result = avformat_write_header(m_output, nullptr);
    if (result < 0)
        return failed(Failure::Unwritable, QStringLiteral("cannot start the file: %1").arg(errorText(result)));
    m_packet = av_packet_alloc();
    m_encoded = av_packet_alloc();
    if (!m_packet || !m_encoded)
        return failed(Failure::Unwritable, QStringLiteral("out of memory"));
    return {};
}

void Export::noteProgress(const AVPacket *packet)
{
    float done = 0;
    const AVStream *stream = m_input->streams[m_stream];
    if (m_duration > 0 && packet->pts != AV_NOPTS_VALUE) {
        const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
        done = float(double(packet->pts - start + packet->duration) * av_q2d(stream->time_base) / m_duration);
    } else if (m_input->pb) {
        const int64_t size = avio_size(m_input->pb);
        done = size > 0 ? float(double(avio_tell(m_input->pb)) / double(size)) : 0.f;
    }
    done = std::clamp(done, 0.f, 1.f);
    if (done > m_job.progress.load())
        m_job.progress = done;
}

Result Export::copyOrEncode()
{
    const AVStream *in = m_input->streams[m_stream];
    for (;;) {
        if (cancelled())
            return {Status::Cancelled, Failure::None, {}};
        const int read = av_read_frame(m_input, m_packet);
        if (read == AVERROR_EOF)
            break;
        if (read < 0)
            return cancelled() ? Result{Status::Cancelled, Failure::None, {}}
                               : failed(Failure::Unreadable, QStringLiteral("read error: %1").arg(errorText(read)));
        if (m_packet->stream_index != m_stream) {
            av_packet_unref(m_packet);
            continue;
        }
        if (av_packet_get_side_data(m_packet, AV_PKT_DATA_ENCRYPTION_INFO, nullptr)) {
            av_packet_unref(m_packet);
            return failed(Failure::Protected, QStringLiteral("the audio is encrypted"));
        }
        noteProgress(m_packet);
        Result step;
        if (m_copy) {
            av_packet_rescale_ts(m_packet, in->time_base, m_outStream->time_base);
            m_packet->stream_index = 0;
            m_packet->pos = -1;
            const int written = av_interleaved_write_frame(m_output, m_packet);
            if (written < 0)
                step = failed(Failure::Unwritable, QStringLiteral("cannot write: %1").arg(errorText(written)));
        } else {
            step = decodePacket(m_packet);
        }
        av_packet_unref(m_packet);
        if (step.status != Status::Unknown)
            return step;
        std::function<void(const QString &)> hook;
        {
            QMutexLocker lock(&hookMutex);
            hook = packetHook();
        }
        if (hook)
            hook(m_job.source);
    }
    if (m_copy)
        return {};
    // The decoder's last frames, the resampler's tail, the last short frame, the encoder's delay.
    Result step = decodePacket(nullptr);
    if (step.status == Status::Unknown && m_resampler.context())
        step = resample(nullptr);
    if (step.status == Status::Unknown)
        step = encodeFrom(true);
    if (step.status == Status::Unknown)
        step = writeEncoded(nullptr);
    if (step.status == Status::Unknown && m_samplesDecoded == 0)
        step = failed(Failure::Unreadable, QStringLiteral("no samples could be decoded"));
    return step;
}

Result Export::decodePacket(const AVPacket *packet)
{
    const int sent = avcodec_send_packet(m_decoder, packet);
    if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_EOF) {
        // A damaged packet is skipped, as a player would; a file that is all damage is not a song.
        if (++m_decodeFailures >= 64 && m_samplesDecoded == 0)
            return failed(Failure::Unreadable, QStringLiteral("cannot decode: %1").arg(errorText(sent)));
        return {};
    }
    for (;;) {
        const int received = avcodec_receive_frame(m_decoder, m_frame);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return {};
        if (received < 0) {
            if (++m_decodeFailures >= 64 && m_samplesDecoded == 0)
                return failed(Failure::Unreadable, QStringLiteral("cannot decode: %1").arg(errorText(received)));
            return {};
        }
        m_samplesDecoded += m_frame->nb_samples;
        Result step = resample(m_frame);
        av_frame_unref(m_frame);
        if (step.status != Status::Unknown)
            return step;
    }
}

// Converts a decoded frame (or, with none, the resampler's tail) and queues it for the encoder.
Result Export::resample(const AVFrame *frame)
{
    // A change of format in the middle of a song: what the old resampler held is dropped.
    SwrContext *resampler = frame ? m_resampler.forFrame(frame) : m_resampler.context();
    if (!resampler)
        return failed(Failure::Unreadable, QStringLiteral("cannot convert the samples"));
    const int room = swr_get_out_samples(resampler, frame ? frame->nb_samples : 0);
    if (room <= 0)
        return {};
    if (room > m_convertedCapacity) {
        if (m_converted) {
            av_freep(&m_converted[0]);
            av_freep(&m_converted);
        }
        if (av_samples_alloc_array_and_samples(&m_converted, nullptr, AssetExportSession::kChannels, room,
                                               AV_SAMPLE_FMT_FLTP, 0)
            < 0) {
            m_convertedCapacity = 0;
            return failed(Failure::Unwritable, QStringLiteral("out of memory"));
        }
        m_convertedCapacity = room;
    }
    const int converted =
        swr_convert(resampler, m_converted, room, frame ? const_cast<const uint8_t **>(frame->extended_data) : nullptr,
                    frame ? frame->nb_samples : 0);
    if (converted < 0)
        return failed(Failure::Unreadable, QStringLiteral("cannot convert the samples"));
    if (converted > 0 && av_audio_fifo_write(m_fifo, reinterpret_cast<void **>(m_converted), converted) < converted)
        return failed(Failure::Unwritable, QStringLiteral("out of memory"));
    return encodeFrom(false);
}

// Hands the queued samples to the encoder in frames of its size (the last one may be shorter).
Result Export::encodeFrom(bool draining)
{
    const int frameSize = m_encoder->frame_size > 0 ? m_encoder->frame_size : 1024;
    while (av_audio_fifo_size(m_fifo) >= frameSize || (draining && av_audio_fifo_size(m_fifo) > 0)) {
        const int count = std::min(frameSize, av_audio_fifo_size(m_fifo));
        av_frame_unref(m_encodeFrame);
        m_encodeFrame->nb_samples = count;
        m_encodeFrame->format = AV_SAMPLE_FMT_FLTP;
        m_encodeFrame->sample_rate = m_encoder->sample_rate;
        if (av_channel_layout_copy(&m_encodeFrame->ch_layout, &m_encoder->ch_layout) < 0
            || av_frame_get_buffer(m_encodeFrame, 0) < 0)
            return failed(Failure::Unwritable, QStringLiteral("out of memory"));
        if (av_audio_fifo_read(m_fifo, reinterpret_cast<void **>(m_encodeFrame->data), count) < count)
            return failed(Failure::Unwritable, QStringLiteral("cannot read the samples back"));
        m_encodeFrame->pts = m_samplesEncoded;
        m_samplesEncoded += count;
        const Result step = writeEncoded(m_encodeFrame);
        if (step.status != Status::Unknown)
            return step;
    }
    return {};
}

// Encodes one frame (none: drains the encoder) and writes what comes out.
Result Export::writeEncoded(const AVFrame *frame)
{
    int result = avcodec_send_frame(m_encoder, frame);
    if (result < 0 && result != AVERROR_EOF)
        return failed(Failure::Unwritable, QStringLiteral("cannot encode: %1").arg(errorText(result)));
    for (;;) {
        result = avcodec_receive_packet(m_encoder, m_encoded);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return {};
        if (result < 0)
            return failed(Failure::Unwritable, QStringLiteral("cannot encode: %1").arg(errorText(result)));
        av_packet_rescale_ts(m_encoded, m_encoder->time_base, m_outStream->time_base);
        m_encoded->stream_index = 0;
        result = av_interleaved_write_frame(m_output, m_encoded);
        if (result < 0)
            return failed(Failure::Unwritable, QStringLiteral("cannot write: %1").arg(errorText(result)));
    }
}

Result Export::finish()
{
    int result = av_write_trailer(m_output);
    if (result >= 0) {
        avio_flush(m_output->pb);
        result = m_output->pb->error;
    }
    if (result < 0)
        return failed(Failure::Unwritable, QStringLiteral("cannot finish the file: %1").arg(errorText(result)));
    if (!writeTags(m_fd, m_job.metadata))
        return failed(Failure::Unwritable, QStringLiteral("cannot write the tags"));
    // The song gets the usual permissions of a new file, and reaches the disk before it takes its name.
    ::fchmod(m_fd, 0666 & ~FileManager::processUmask());
    if (::fdatasync(m_fd) != 0)
        return failed(Failure::Unwritable,
                      QStringLiteral("cannot store the file: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    if (cancelled())
        return {Status::Cancelled, Failure::None, {}};
    m_job.progress = 1.f;
    // Named now, whole; an earlier file of the same name is replaced in the same step.
    const QString scratch = m_file->fileName();
    if (::rename(QFile::encodeName(scratch).constData(), QFile::encodeName(m_job.target).constData()) != 0)
        return failed(Failure::Unwritable,
                      QStringLiteral("cannot name the file: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    m_file->setAutoRemove(false);
    FileManager::flushFolder(QFileInfo(m_job.target).absolutePath());
    return {Status::Completed, Failure::None, {}};
}

} // namespace

AssetExportSession::AssetExportSession(const QUrl &asset) : m_job(std::make_shared<Job>())
{
    m_job->source = asset.toLocalFile();
}

AssetExportSession::~AssetExportSession()
{
    cancelExport();
}

QUrl AssetExportSession::asset() const
{
    return QUrl::fromLocalFile(m_job->source);
}

void AssetExportSession::setOutputURL(const QUrl &url)
{
    m_job->target = url.toLocalFile();
}

QUrl AssetExportSession::outputURL() const
{
    return QUrl::fromLocalFile(m_job->target);
}

void AssetExportSession::setMetadata(const Metadata &metadata)
{
    m_job->metadata = metadata;
}

void AssetExportSession::exportAsynchronouslyWithCompletionHandler(CompletionHandler handler)
{
    if (m_job->started)
        return;
    m_job->started = true;
    m_job->handler = std::move(handler);
    m_job->status = Status::Waiting;
    {
        std::lock_guard lock(runningMutex);
        ++running;
    }
    QThreadPool::globalInstance()->start([job = m_job] {
        Result result;
        if (job->cancelled) {
            result = {Status::Cancelled, Failure::None, {}};
        } else {
            job->status = Status::Exporting;
            result = Export(*job).run();
        }
        if (result.status == Status::Failed)
            qCInfo(lcExport).noquote() << job->source << "not exported:" << result.error;
        job->status = result.status;
        if (job->handler)
            job->handler(result);
        job->handler = nullptr;
        {
            std::lock_guard lock(runningMutex);
            --running;
        }
        runningChanged.notify_all();
    });
}

void AssetExportSession::cancelExport()
{
    m_job->cancelled = true;
}

AssetExportSession::Status AssetExportSession::status() const
{
    return m_job->status;
}

float AssetExportSession::progress() const
{
    return m_job->progress;
}

bool AssetExportSession::copiesStream() const
{
    return m_job->copying;
}

bool AssetExportSession::waitForExports(int msecs)
{
    std::unique_lock lock(runningMutex);
    if (msecs < 0) {
        runningChanged.wait(lock, [] { return running == 0; });
        return true;
    }
    return runningChanged.wait_for(lock, std::chrono::milliseconds(msecs), [] { return running == 0; });
}

void AssetExportSession::setPacketHook(std::function<void(const QString &source)> hook)
{
    QMutexLocker lock(&hookMutex);
    packetHook() = std::move(hook);
}
