#include "LevelMeterLoop.h"

#include <chrono>

LevelMeterLoop::LevelMeterLoop(int intervalMs) : m_intervalMs(intervalMs)
{}

LevelMeterLoop::~LevelMeterLoop()
{
    stop();
}

void LevelMeterLoop::start(Pass pass)
{
    stop();
    {
        std::lock_guard lock(m_mutex);
        m_stopping = false;
        m_woken = false;
    }
    // Counted from here until the thread has ended, so a loop that outlives its stop shows.
    ++s_live;
    m_thread = std::thread([this, pass = std::move(pass)] { run(pass); });
}

void LevelMeterLoop::stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_signal.notify_all();
    m_thread.join();
}

void LevelMeterLoop::wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_signal.notify_all();
}

void LevelMeterLoop::run(Pass pass)
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        // Sleep first, as the meters are read after each interval.
        m_signal.wait_for(lock, std::chrono::milliseconds(m_intervalMs), [this] { return m_stopping; });
        if (m_stopping)
            break;
        m_woken = false;
        lock.unlock();
        const bool playing = pass();
        lock.lock();
        if (!playing)
            m_signal.wait(lock, [this] { return m_stopping || m_woken; });
    }
    --s_live;
}
