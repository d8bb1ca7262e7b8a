#pragma once

#include "platform/DispatchQueue.h"

#include <QStringList>
#include <QUrl>

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class ProgressOverlayHost;
class ReloadableList;

// Fills the song cache for a whole folder in the background while the progress overlay
// shows how far it got. A run starts only when the given song has no tag file yet; calls
// that arrive while a run is in progress are dropped, not queued. isOptimizing() is read
// and written on the main thread only.
class FolderCacheBuilder
{
public:
    explicit FolderCacheBuilder(ProgressOverlayHost *overlay);
    // Ends a run at its next hand-off to the main thread (between two songs at the latest)
    // and waits for the queue, without running the main thread's events meanwhile.
    ~FolderCacheBuilder();

    // list: the file names of one folder in list order; curFileUrl: one song of that
    // folder; table: the list to reload when done, or nullptr.
    void optimizeList(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table);

    bool isOptimizing() const { return m_isOptimizing; }

    // Blocks until the current run has finished (serving the main thread meanwhile), or
    // until the time is up (-1: no limit). True when the builder is idle.
    bool waitForIdle(int msecs = -1);

private:
    void build(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table);
    // Runs work on the main thread and waits for it; false (work dropped) when the builder
    // is being destroyed meanwhile.
    bool onMain(std::function<void()> work);

    ProgressOverlayHost *m_overlay;
    bool m_isOptimizing = false;
    std::atomic<bool> m_stopping{false};
    // Queued calls to this context are dropped with the builder.
    QObject m_mainContext;
    std::mutex m_handoffMutex;
    std::condition_variable m_handoffDone;
    bool m_destroying = false; // guarded by m_handoffMutex
    DispatchQueue m_queue{QStringLiteral("optimazingQueue")};
};
