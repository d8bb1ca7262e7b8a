#pragma once

#include "platform/DispatchQueue.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>

// Adds up the sizes of a folder's songs off the main thread, for the rows that show a
// folder with its size. One long-lived serial queue ("FileManagerCellQueue") does the
// work in request order; each result comes back later on the main thread as summed(),
// never inside request(), so the main thread never waits for the disk. A row must look up
// which folder it shows when the result arrives: it may show another one by then.
class FolderSizeQueue : public QObject
{
    Q_OBJECT
public:
    // Bytes of the named files in a folder (the test seam; the default is sumOfSizes).
    using Summer = std::function<double(const QString &folderPath, const QStringList &fileNames)>;

    static const QString queueLabel; // "FileManagerCellQueue"

    explicit FolderSizeQueue(QObject *parent = nullptr);
    // Drops the results still to come and waits for the one being summed.
    ~FolderSizeQueue() override;

    // Sums the sizes of the files of the folder (a display name, "Documents" for the root).
    void request(const QString &folder, const QStringList &fileNames);
    // Drops every result not handed back yet (the rows asking for them are gone).
    void cancelAll();
    // For tests and benchmarks: true once every request so far has been summed.
    bool waitForIdle(int msecs);
    void setSummer(Summer summer) { m_summer = std::move(summer); }

    // The size attributes of the regular files among the names under the folder's path,
    // summed as a floating-point number of bytes; names that are gone count nothing.
    static double sumOfSizes(const QString &folderPath, const QStringList &fileNames);

signals:
    void summed(const QString &folder, int fileCount, double bytes);

private:
    std::atomic<quint64> m_generation{0};
    Summer m_summer = &FolderSizeQueue::sumOfSizes;
    // Declared last, so it goes first: its destructor waits while the rest still exists.
    DispatchQueue m_queue{queueLabel};
};
