#pragma once

#include "ImportiPodView.h"
#include "platform/AlertView.h"
#include "platform/AssetExportSession.h"
#include "platform/MediaItem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

struct MediaFileTags;

// Copies songs picked from the music library into the folder "iPod_Songs" of Documents, one
// after another, as M4A files with their tags, cover and lyrics; writes each song's cache
// record and artwork; shows the progress overlay over the main menu, with Cancel; and at the
// end offers to open the folder. Copy-protected songs are skipped with an alert.
//
// Only the main thread touches it; an export's completion comes back through the event
// loop and counts only while it belongs to the running import.
class MusicLibraryImport : public QObject, private AlertViewDelegate
{
    Q_OBJECT
public:
    static const QString folderName; // "iPod_Songs"
    // Side of the full-size cover kept for the player, in pixels (the cover is not enlarged).
    static constexpr int kFullArtworkSize = 320;

    // goImportFolder: what "Go iPod_Songs" does (the menu opens the folder's song list).
    explicit MusicLibraryImport(std::function<void()> goImportFolder, QObject *parent = nullptr);
    ~MusicLibraryImport() override;

    // The songs picked: lays the overlay over host and copies them, from the first.
    void start(QWidget *host, const QList<MediaItem> &items);
    bool isRunning() const { return !m_mediaItemArray.isEmpty(); }

    // Copies the song at mediaItemIndex.
    void saveiPodFiles();
    // The progress bar follows the running export (every 0.2 s while one runs).
    void updateExportProgress();
    // The next song, or the end with the completion alert.
    void nextSaveiPod();
    // Cancel: the running export stops and leaves nothing; the songs copied so far stay.
    void canceliPodFileCopy();
    void invalidateTimer();

    ImportiPodView *iPodTransView() const { return m_iPodTransView; }
    QList<MediaItem> mediaItemArray() const { return m_mediaItemArray; }
    int mediaItemIndex() const { return m_mediaItemIndex; }
    AssetExportSession *exportSession() const { return m_exportSession.get(); }
    bool isProgressTimerActive() const { return m_progressTimer.isActive(); }

    // The path of the import folder.
    static QString folderPath();

private:
    enum AlertTag { DrmAlert = 1, CompleteAlert = 2 };

    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override;
    void exportDidFinish(quint64 generation, const AssetExportSession::Result &result);
    void showDrmAlert();
    void showAlert(AlertView *alert);
    void writeCacheFiles(const MediaItem &item, const MediaFileTags &details, const QImage &artwork);
    void restoreIdleTimer();
    void removeOverlay();

    std::function<void()> m_goImportFolder;
    QPointer<ImportiPodView> m_iPodTransView;
    QTimer m_progressTimer;
    QList<MediaItem> m_mediaItemArray;
    int m_mediaItemIndex = 0;
    std::unique_ptr<AssetExportSession> m_exportSession;
    // Counts the songs started; a completion or an alert of an earlier one is ignored.
    quint64 m_generation = 0;
    QString m_fileName;
    // The copy-protection alert waits for its OK before the next song; it belongs to one song.
    QPointer<AlertView> m_drmAlert;
    quint64 m_drmGeneration = 0;
    QList<QPointer<AlertView>> m_alerts;
};
