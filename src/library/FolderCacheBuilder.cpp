#include "FolderCacheBuilder.h"
#include "NotificationNames.h"

#include "ProgressOverlayHost.h"
#include "ReloadableList.h"
#include "SongCache.h"
#include "ZivoModel.h"
#include "platform/NotificationCenter.h"
#include "platform/Translations.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <memory>

FolderCacheBuilder::FolderCacheBuilder(ProgressOverlayHost *overlay) : m_overlay(overlay)
{}

FolderCacheBuilder::~FolderCacheBuilder()
{
    m_stopping = true;
    {
        std::lock_guard lock(m_handoffMutex);
        m_destroying = true;
    }
    m_handoffDone.notify_all();
    m_queue.waitForIdle();
}

bool FolderCacheBuilder::onMain(std::function<void()> work)
{
    auto done = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        &m_mainContext,
        [this, work = std::move(work), done] {
            work();
            {
                std::lock_guard lock(m_handoffMutex);
                *done = true;
            }
            m_handoffDone.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_handoffMutex);
    m_handoffDone.wait(lock, [&] { return *done || m_destroying; });
    return *done;
}

bool FolderCacheBuilder::waitForIdle(int msecs)
{
    // The run hands work to the main thread synchronously: keep its events flowing
    // until a marker queued behind the run comes back. The marker may come back after
    // the time is up, so it reaches the loop only through state it shares.
    struct Wait
    {
        QEventLoop *loop = nullptr;
        bool done = false;
    };
    QEventLoop loop;
    const auto wait = std::make_shared<Wait>(Wait{&loop, false});
    m_queue.async([wait] {
        DispatchQueue::mainAsync([wait] {
            wait->done = true;
            if (wait->loop)
                wait->loop->quit();
        });
    });
    if (msecs >= 0)
        QTimer::singleShot(msecs, &loop, &QEventLoop::quit);
    loop.exec();
    wait->loop = nullptr;
    return wait->done;
}

void FolderCacheBuilder::optimizeList(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table)
{
    if (m_isOptimizing)
        return;
    m_isOptimizing = true;
    m_queue.async([this, list, curFileUrl, table] { build(list, curFileUrl, table); });
}

void FolderCacheBuilder::build(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table)
{
    const QString songPath = curFileUrl.toLocalFile();
    const QString folder = SongCache::folderOfSong(curFileUrl);
    const QString directory = QFileInfo(songPath).path();

    if (SongCache::hasTagFile(folder, QFileInfo(songPath).fileName()) || list.isEmpty() || m_stopping) {
        onMain([this] { m_isOptimizing = false; });
        return;
    }
    if (!onMain([this] {
            SongCache::ensureFolder();
            m_isOptimizing = true;
        }))
        return;
    if (!onMain([this] {
            const QString text = Translations::text("optimizing list...");
            m_overlay->viewMessageProgress({QStringLiteral("progressNofi"), QVariantList{text, 0.0f}, {}});
        }))
        return;

    const qsizetype count = list.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QString &name = list.at(i);
        if (m_stopping) // quitting: the next song is not read
            return;
        if (!SongCache::hasTagFile(folder, name)) {
            const QUrl url = QUrl::fromLocalFile(directory + QLatin1Char('/') + name);
            SongCache::store(folder, name, ZivoModel::getFileInfoDicWithURL(url));
        }
        const bool handedOver = onMain([this, i, count, table] {
            m_overlay->setMessageProgress(float(i) / float(count));
            if (i + 1 == count) {
                m_isOptimizing = false;
                if (table)
                    table->reloadData();
                NotificationCenter::defaultCenter().postNotificationName(Notify::closeMessageProgress);
            }
        });
        if (!handedOver)
            return;
    }
}
