#include "transfer/UploadCommit.h"

#include "platform/FileManager.h"

#include <QFile>
#include <QFuture>
#include <QMutex>
#include <QPromise>
#include <QThreadPool>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
QMutex g_gateLock;
std::function<void()> g_gate;

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

void UploadCommit::setWorkerGate(std::function<void()> gate)
{
    QMutexLocker locker(&g_gateLock);
    g_gate = std::move(gate);
}

void UploadCommit::start(std::unique_ptr<UploadCommit> commit, QObject *context, std::function<void(Result)> done)
{
    auto promise = std::make_shared<QPromise<Result>>();
    QFuture<Result> future = promise->future();
    promise->start();
    std::shared_ptr<UploadCommit> work(std::move(commit));
    QThreadPool::globalInstance()->start([promise, work] {
        promise->addResult(work->run());
        promise->finish();
    });
    future.then(context, [done = std::move(done)](const Result &result) { done(result); });
}

UploadCommit::Result UploadCommit::run()
{
    std::function<void()> gate;
    {
        QMutexLocker locker(&g_gateLock);
        gate = g_gate;
    }
    if (gate)
        gate();
    Result result;
    for (const Item &item : m_items) {
        if (!item.file->sync()) {
            const int error = errno;
            result.status = UploadPartFile::isNoSpace(error) ? 507 : 500;
            result.message = QStringLiteral("The file could not be stored: %1").arg(systemText(error));
            return result;
        }
    }
    for (const Item &item : m_items) {
        // Replaces an existing file of that name in one step, only now that the new one is whole.
        if (!item.file->commit(item.directory + QLatin1Char('/') + item.name)) {
            const QString reason = systemText(errno);
            FileManager::flushFolder(item.directory);
            result.status = 500;
            result.message = result.stored.isEmpty()
                ? QStringLiteral("The file could not be stored: %1").arg(reason)
                : QStringLiteral("\"%1\" could not be stored (%2); stored: %3.")
                      .arg(item.name, reason, result.stored.join(QStringLiteral(", ")));
            return result;
        }
        result.stored.append(item.name);
    }
    if (!m_items.empty())
        FileManager::flushFolder(m_items.front().directory);
    return result;
}
