#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The level meters' background loop: one thread that takes a pass about every 33 ms.
// A pass answers whether something is playing; when not, the loop sleeps until wake()
// instead of polling, so a paused song costs no wake-ups. start() ends the loop that
// runs (and waits for it) before the new one begins: there is never more than one.
class LevelMeterLoop
{
public:
    // True: keep taking passes; false: nothing plays, sleep until woken.
    using Pass = std::function<bool()>;

    explicit LevelMeterLoop(int intervalMs = 33);
    ~LevelMeterLoop();

    LevelMeterLoop(const LevelMeterLoop &) = delete;
    LevelMeterLoop &operator=(const LevelMeterLoop &) = delete;

    void start(Pass pass);
    // Ends the loop and waits for its thread (a pass in progress finishes first).
    void stop();
    // A sleeping loop takes a pass at once.
    void wake();
    bool isRunning() const { return m_thread.joinable(); }
    int intervalMs() const { return m_intervalMs; }

    // Loops started and not yet ended in this process, for tests.
    static int liveLoops() { return s_live; }

private:
    void run(Pass pass);

    const int m_intervalMs;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_signal;
    bool m_stopping = false; // guarded by m_mutex
    bool m_woken = false; // guarded by m_mutex
    static inline std::atomic<int> s_live{0};
};
