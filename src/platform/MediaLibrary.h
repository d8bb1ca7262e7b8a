#pragma once

#include "DispatchQueue.h"
#include "MediaItem.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <optional>

// The desktop's music collection: every song below one folder (the user's XDG music folder
// unless another is given), read with TagLib into items sorted by artist, then title.
// Scans run on a queue of their own and report to the main thread. What a scan found is
// kept in an index in the caches folder, so a later scan (and the next start) reads only
// the files that are new or changed, and the list is there at once.
class MediaLibrary : public QObject
{
    Q_OBJECT
public:
    // The folder new libraries use: set by the program's command line, else the XDG music folder.
    static void setDefaultFolder(const QString &folder);
    static QString defaultFolder();
    // Lower-case file name extensions of the songs a scan lists.
    static const QStringList &songSuffixes();
    // Where the index is kept (in the program's caches folder).
    static QString indexPath();

    explicit MediaLibrary(QObject *parent = nullptr);
    // Stops a running scan and waits for it.
    ~MediaLibrary() override;

    QString folder() const { return m_folder; }
    // Another folder: the items are dropped; the next refresh scans it.
    void setFolder(const QString &folder);

    // The items known now, sorted. Empty until the index or a scan has delivered them.
    QList<MediaItem> items() const { return m_items; }
    // True once items reflect the index or a finished scan.
    bool isLoaded() const { return m_loaded; }
    bool isScanning() const { return m_scanning; }
    // Looks at the folder again in the background (nothing when a scan runs already):
    // itemsChanged() when the list differs, then scanFinished().
    void refresh();

    // One scan on the calling thread. known: items of an earlier scan, reused for the files
    // whose size and modification time are unchanged. stop (optional) ends it early.
    struct Scan
    {
        QList<MediaItem> items;
        int filesRead = 0; // read with TagLib; the others came from `known`
        bool complete = true;
    };
    static Scan scan(const QString &folder, const QList<MediaItem> &known, const std::atomic<bool> *stop = nullptr);
    // Artist (songs without one last), then title, as the collation of the locale orders them.
    static void sortItems(QList<MediaItem> &items);
    // The index file: written atomically; read back only for the same folder.
    static bool writeIndex(const QString &indexFile, const QString &folder, const QList<MediaItem> &items);
    static std::optional<QList<MediaItem>> readIndex(const QString &indexFile, const QString &folder);

    // How many files the last finished scan read with TagLib (for tests).
    int lastFilesRead() const { return m_lastFilesRead; }

signals:
    void itemsChanged();
    void scanFinished();

private:
    void deliver(const QString &folder, const QList<MediaItem> &items, bool finished, int filesRead);

    QString m_folder;
    QList<MediaItem> m_items;
    bool m_loaded = false;
    bool m_scanning = false;
    bool m_refreshPending = false;
    int m_lastFilesRead = 0;
    std::atomic<bool> m_stopping{false};
    // Queued hand-offs to this context are dropped with the library.
    QObject m_mainContext;
    DispatchQueue m_queue{QStringLiteral("musicLibraryQueue")};
};
