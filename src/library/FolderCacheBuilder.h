#pragma once

#include "platform/DispatchQueue.h"

#include <QStringList>
#include <QUrl>

#include <atomic>

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
    // Stops a run between two songs; waits for it while serving the main thread.
    ~FolderCacheBuilder();

    // list: the file names of one folder in list order; curFileUrl: one song of that
    // folder; table: the list to reload when done, or nullptr.
    void optimizeList(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table);

    bool isOptimizing() const { return m_isOptimizing; }

    // Blocks until the current run has finished (serving the main thread meanwhile), or
    // until the time is up (-1: no limit). True when the builder is idle.
    bool waitForIdle(int msecs = -1);
    // Ends a run between two songs (the overlay is closed) and waits for it: for quitting.
    bool stop(int msecs = -1);

private:
    void build(const QStringList &list, const QUrl &curFileUrl, ReloadableList *table);

    ProgressOverlayHost *m_overlay;
    bool m_isOptimizing = false;
    std::atomic<bool> m_stopping{false};
    DispatchQueue m_queue{QStringLiteral("optimazingQueue")};
};
