#include "DispatchQueue.h"

#include <QCoreApplication>
#include <QThread>

DispatchQueue::DispatchQueue(const QString &label) : m_label(label)
{
    m_pool.setObjectName(label);
    m_pool.setMaxThreadCount(1);
    // An idle queue keeps no thread alive for long.
    m_pool.setExpiryTimeout(5000);
}

DispatchQueue::~DispatchQueue()
{
    m_pool.waitForDone();
}

void DispatchQueue::async(std::function<void()> work)
{
    // One thread and one priority: the pool runs items first in, first out.
    m_pool.start(std::move(work));
}

bool DispatchQueue::waitForIdle(int msecs)
{
    return m_pool.waitForDone(msecs);
}

bool DispatchQueue::isMainThread()
{
    auto *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void DispatchQueue::mainAsync(std::function<void()> work)
{
    // While the application quits (it waits for the global pool after letting go of its
    // instance) there is no main thread to hand work to: it is dropped.
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

void DispatchQueue::mainSync(const std::function<void()> &work)
{
    if (isMainThread())
        work();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), work, Qt::BlockingQueuedConnection);
}
