#include "AudioDecodeThread.h"

AudioDecodeThread::AudioDecodeThread(std::unique_ptr<AudioDecoder> decoder, qint64 capacityFrames,
                                     std::function<void()> ready)
    : m_decoder(std::move(decoder)),
      m_capacity(std::max<qint64>(capacityFrames, 1)),
      // Pieces of a tenth of a second: few hand-overs, yet the first one comes quickly.
      m_chunkFrames(std::max(1, m_decoder->sampleRate() / 10)),
      m_bytesPerFrame(m_decoder->format().bytesPerFrame()),
      m_ready(std::move(ready))
{
    m_thread = std::thread([this] { run(); });
}

AudioDecodeThread::~AudioDecodeThread()
{
    {
        std::lock_guard lock(m_lock);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::optional<AudioDecodeThread::Item> AudioDecodeThread::take()
{
    std::unique_lock lock(m_lock);
    if (m_queue.empty()) {
        m_waiting = true;
        return std::nullopt;
    }
    Item item = std::move(m_queue.front());
    m_queue.pop_front();
    m_queued -= item.chunk.samples.size() / m_bytesPerFrame;
    if (!m_refill && !m_finished && m_queued <= m_capacity / 2) {
        m_refill = true;
        lock.unlock();
        m_wake.notify_one();
    }
    return item;
}

void AudioDecodeThread::seek(qint64 frame)
{
    {
        std::lock_guard lock(m_lock);
        m_queue.clear();
        m_queued = 0;
        ++m_generation;
        m_seekTo = frame;
        m_finished = false;
        m_refill = true;
    }
    m_wake.notify_one();
}

qint64 AudioDecodeThread::queuedFrames() const
{
    std::lock_guard lock(m_lock);
    return m_queued;
}

void AudioDecodeThread::run()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_seekTo || (m_refill && !m_finished); });
        if (m_quit)
            return;
        if (m_seekTo) {
            const qint64 frame = *m_seekTo;
            m_seekTo.reset();
            lock.unlock();
            m_decoder->seek(frame);
            lock.lock();
            continue;
        }
        const quint64 generation = m_generation;
        lock.unlock();
        Item item;
        const AudioDecoder::Status status = m_decoder->read(item.chunk, m_chunkFrames);
        if (status == AudioDecoder::Status::End)
            item.kind = Item::Kind::End;
        else if (status == AudioDecoder::Status::Failed) {
            item.kind = Item::Kind::Failed;
            item.failure = m_decoder->failure();
        }
        lock.lock();
        if (generation != m_generation)
            continue; // a seek came in meanwhile: these samples are from before it
        m_queued += item.chunk.samples.size() / m_bytesPerFrame;
        m_queue.push_back(std::move(item));
        m_finished = status != AudioDecoder::Status::Samples;
        if (m_queued >= m_capacity)
            m_refill = false;
        if (m_waiting) {
            m_waiting = false;
            lock.unlock();
            m_ready();
            lock.lock();
        }
    }
}
