#pragma once

#include "AudioDecoder.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Runs an AudioDecoder on a thread of its own, a bounded stretch ahead of the player:
// it decodes until `capacityFrames` are waiting, sleeps until the queue has drained to
// half, and fills it again, so memory stays the same however long the song. While
// nothing is taken (a paused player) it sleeps without waking.
class AudioDecodeThread
{
public:
    struct Item
    {
        enum class Kind { Samples, End, Failed };
        Kind kind = Kind::Samples;
        PcmChunk chunk;
        QString failure;
    };

    // `ready` is called on the decoding thread when an item arrives after take() found
    // nothing; it must only hand the news on (a queued call), never block.
    AudioDecodeThread(std::unique_ptr<AudioDecoder> decoder, qint64 capacityFrames, std::function<void()> ready);
    // Stops the thread and waits for it.
    ~AudioDecodeThread();
    AudioDecodeThread(const AudioDecodeThread &) = delete;
    AudioDecodeThread &operator=(const AudioDecodeThread &) = delete;

    // The next item, or nothing while the thread is still at work.
    std::optional<Item> take();
    // Drops everything queued and decodes on from this frame.
    void seek(qint64 frame);
    qint64 queuedFrames() const;

private:
    void run();

    std::unique_ptr<AudioDecoder> m_decoder;
    const qint64 m_capacity;
    const qint64 m_chunkFrames;
    const int m_bytesPerFrame;
    std::function<void()> m_ready;

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Item> m_queue;
    qint64 m_queued = 0;
    quint64 m_generation = 0;
    bool m_refill = true;
    bool m_finished = false;
    bool m_waiting = false;
    bool m_quit = false;
    std::optional<qint64> m_seekTo;
    std::thread m_thread;
};
