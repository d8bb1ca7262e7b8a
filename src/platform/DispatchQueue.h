#pragma once

#include <QString>
#include <QThreadPool>

#include <functional>

// A serial queue: work items run one after another, in the order given, on one
// background thread. Plus the hand-off of work to the main thread.
class DispatchQueue
{
public:
    explicit DispatchQueue(const QString &label);
    // Waits for the queued work to finish.
    ~DispatchQueue();

    DispatchQueue(const DispatchQueue &) = delete;
    DispatchQueue &operator=(const DispatchQueue &) = delete;

    QString label() const { return m_label; }

    void async(std::function<void()> work);
    // Blocks until everything queued so far has run, or the time is up (-1: no limit).
    // True when the queue is idle.
    bool waitForIdle(int msecs = -1);

    static bool isMainThread();
    // Runs the work on the main thread's event loop, later (never, once the application is gone).
    static void mainAsync(std::function<void()> work);
    // Runs the work on the main thread and returns when it has run (at once on the main thread).
    static void mainSync(const std::function<void()> &work);

private:
    const QString m_label;
    QThreadPool m_pool;
};
