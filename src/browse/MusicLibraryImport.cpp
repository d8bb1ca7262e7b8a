#include "MusicLibraryImport.h"

#include "ImportiPodView.h"
#include "app/DDProgressView.h"
#include "app/Util.h"
#include "library/ImportTargetName.h"
#include "library/SettingsKeys.h"
#include "library/SongCache.h"
#include "library/TagReader.h"
#include "library/ZivoModel.h"
#include "platform/ActivityIndicator.h"
#include "platform/Button.h"
#include "platform/DispatchQueue.h"
#include "platform/FileManager.h"
#include "platform/IdleTimer.h"
#include "platform/ImageCodec.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/MediaFileTags.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"

#include <QLoggingCategory>
#include <QPixmap>

Q_LOGGING_CATEGORY(lcImport, "orbo.import")

const QString MusicLibraryImport::folderName = QStringLiteral("iPod_Songs");

MusicLibraryImport::MusicLibraryImport(std::function<void()> goImportFolder, QObject *parent)
    : QObject(parent), m_goImportFolder(std::move(goImportFolder))
{
    m_progressTimer.setInterval(200);
    connect(&m_progressTimer, &QTimer::timeout, this, &MusicLibraryImport::updateExportProgress);
}

MusicLibraryImport::~MusicLibraryImport()
{
    // An export still running ends on its own and removes what it wrote; its completion
    // finds nobody. Alerts that would call back go with us.
    m_exportSession.reset();
    for (const QPointer<AlertView> &alert : std::as_const(m_alerts))
        delete alert.data();
    delete m_iPodTransView.data();
}

QString MusicLibraryImport::folderPath()
{
    return ZivoModel::getPathWithFolderName(folderName);
}

void MusicLibraryImport::start(QWidget *host, const QList<MediaItem> &items)
{
    if (items.isEmpty() || isRunning())
        return;
    delete m_iPodTransView.data();
    m_iPodTransView = new ImportiPodView(host);
    m_iPodTransView->show();
    connect(m_iPodTransView->iPodCancelButton(), &Button::clicked, this, &MusicLibraryImport::canceliPodFileCopy);
    m_iPodTransView->iPodCancelButton()->setFocus();
    m_mediaItemArray = items;
    m_mediaItemIndex = 0;
    saveiPodFiles();
}

void MusicLibraryImport::saveiPodFiles()
{
    if (m_mediaItemIndex < 0 || m_mediaItemIndex >= m_mediaItemArray.size() || !m_iPodTransView)
        return;
    const quint64 generation = ++m_generation;
    // 1. The desktop stays awake while songs are copied.
    IdleTimer::shared().setIdleTimerDisabled(true);
    // 2.
    ImportiPodView &overlay = *m_iPodTransView;
    overlay.iPodTransMsgLabel()->setText(Translations::text("Copy songs from iPod library"));
    overlay.iPodImageView()->setImage(ImageView::imageNamed(QString::fromLatin1(SongCache::kDefaultArtworkName)));
    // 3.
    const MediaItem &item = m_mediaItemArray.at(m_mediaItemIndex);
    overlay.iPodTitleLabel()->setText(item.displayTitle());
    overlay.iPodArtistLabel()->setText(item.artist.value_or(QString()));
    m_fileName = ImportTargetName::fileName(item.title.value_or(QString()), item.artist.value_or(QString()), item.path);
    // 4. and 5. The cover and the cache files, before the export: a song refused below keeps them too.
    const MediaFileTags details = MediaFileTags::read(item.path, MediaFileTags::WithDetails);
    const QImage artwork = ImageCodec::decode(details.picture);
    if (!artwork.isNull())
        overlay.iPodImageView()->setImage(QPixmap::fromImage(
            artwork.scaled(overlay.iPodImageView()->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    writeCacheFiles(item, details, artwork);
    // 6.
    m_exportSession.reset();
    if (!item.assetURL().isEmpty()) {
        m_exportSession = std::make_unique<AssetExportSession>(item.assetURL());
        m_exportSession->setMetadata({item.title, item.artist, item.albumTitle, details.lyrics, details.picture});
    }
    // 7. A folder that cannot be made is reported by the library; the export then fails.
    ZivoModel::createDir(folderPath());
    const QString target = FileManager::appendingPathComponent(folderPath(), m_fileName);
    // 8.
    overlay.iPodFileNameLabel()->setText(m_fileName);
    overlay.iPodFileCountLabel()->setText(
        QStringLiteral("%1/%2").arg(m_mediaItemIndex + 1).arg(m_mediaItemArray.size()));
    // 9. The export writes unnamed beside the target and replaces an older file of the same
    // name only when it is whole, so nothing is deleted beforehand.
    if (m_exportSession)
        m_exportSession->setOutputURL(QUrl::fromLocalFile(target));
    // 10. and 11.
    overlay.iPodProgressView()->setProgress(0);
    invalidateTimer();
    m_progressTimer.start();
    overlay.iPodActivityView()->startAnimating();
    // 12.
    if (!m_exportSession) {
        showDrmAlert();
        return;
    }
    QPointer<MusicLibraryImport> self(this);
    const auto finished = [self, generation](const AssetExportSession::Result &result) {
        // On the export's thread: everything happens on the main thread, if the import is still there.
        DispatchQueue::mainAsync([self, generation, result] {
            if (self)
                self->exportDidFinish(generation, result);
        });
    };
    if (!ZivoModel::isInsideDocuments(target)) {
        // The folder is a link that leads out of the library: nothing is written there.
        finished({AssetExportSession::Status::Failed, AssetExportSession::Failure::Unwritable,
                  QStringLiteral("the folder lies outside Documents")});
        return;
    }
    m_exportSession->exportAsynchronouslyWithCompletionHandler(finished);
}

void MusicLibraryImport::writeCacheFiles(const MediaItem &item, const MediaFileTags &details, const QImage &artwork)
{
    QVariantMap record;
    if (item.title)
        record.insert(QStringLiteral("title"), *item.title);
    if (item.albumTitle)
        record.insert(QStringLiteral("albumName"), *item.albumTitle);
    if (item.artist)
        record.insert(QStringLiteral("artist"), *item.artist);
    if (details.lyrics)
        record.insert(QStringLiteral("lyrics"), *details.lyrics);
    if (!SongCache::ensureFolder())
        return;
    if (!artwork.isNull()) {
        record.insert(QStringLiteral("artwork"),
                      ImageCodec::pngData(
                          Util::convertImageSize(artwork, TagReader::kArtworkSize, TagReader::kArtworkSize)));
        const QImage full = artwork.width() > kFullArtworkSize || artwork.height() > kFullArtworkSize
            ? artwork.scaled(kFullArtworkSize, kFullArtworkSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : artwork;
        SongCache::storeFullArtwork(folderName, m_fileName, ImageCodec::pngData(full));
    }
    if (!SongCache::store(folderName, m_fileName, record))
        qCWarning(lcImport).noquote() << "cannot write the cache record of" << m_fileName;
}

void MusicLibraryImport::updateExportProgress()
{
    if (m_exportSession && m_iPodTransView)
        m_iPodTransView->iPodProgressView()->setProgress(m_exportSession->progress());
}

void MusicLibraryImport::exportDidFinish(quint64 generation, const AssetExportSession::Result &result)
{
    // A cancel (or another song) came first: this completion has no import to move on.
    if (generation != m_generation || !m_exportSession || !isRunning())
        return;
    switch (result.status) {
    case AssetExportSession::Status::Completed:
        updateExportProgress();
        nextSaveiPod();
        break;
    case AssetExportSession::Status::Failed:
        // The export left no partial file behind.
        if (result.failure == AssetExportSession::Failure::Protected) {
            showDrmAlert();
        } else {
            Util::alertViewQuick(QString(Translations::text("%@ Failed")).replace(QLatin1String("%@"), m_fileName),
                                 QString(), Translations::text("OK"));
            nextSaveiPod();
        }
        break;
    default:
        break;
    }
}

void MusicLibraryImport::showDrmAlert()
{
    auto *alert = new AlertView(Translations::text("Do not support DRM"), m_fileName, this, QString(),
                                {Translations::text("OK")});
    alert->setTag(DrmAlert);
    m_drmAlert = alert;
    m_drmGeneration = m_generation;
    showAlert(alert);
}

void MusicLibraryImport::showAlert(AlertView *alert)
{
    m_alerts.removeAll(nullptr);
    m_alerts.append(alert);
    alert->show();
}

void MusicLibraryImport::nextSaveiPod()
{
    if (m_mediaItemIndex + 1 < m_mediaItemArray.size()) {
        ++m_mediaItemIndex;
        saveiPodFiles();
        return;
    }
    restoreIdleTimer();
    m_mediaItemArray.clear();
    m_exportSession.reset();
    ++m_generation;
    m_mediaItemIndex = 0;
    invalidateTimer();
    if (m_iPodTransView)
        m_iPodTransView->iPodActivityView()->stopAnimating();
    auto *alert = new AlertView(Translations::text("Complete copy songs"), QString(), this,
                                Translations::text("Go iPod_Songs"), {Translations::text("Go Home")});
    alert->setTag(CompleteAlert);
    showAlert(alert);
}

void MusicLibraryImport::canceliPodFileCopy()
{
    restoreIdleTimer();
    if (m_exportSession)
        m_exportSession->cancelExport();
    removeOverlay();
    m_mediaItemArray.clear();
    m_exportSession.reset();
    ++m_generation;
    m_mediaItemIndex = 0;
    invalidateTimer();
}

void MusicLibraryImport::invalidateTimer()
{
    m_progressTimer.stop();
}

void MusicLibraryImport::restoreIdleTimer()
{
    IdleTimer::shared().setIdleTimerDisabled(UserDefaults::standard().stringForKey(SettingsKeys::ScreenAutoSleepModeKey)
                                             == QLatin1String("1"));
}

void MusicLibraryImport::removeOverlay()
{
    if (m_iPodTransView) {
        View::removeFromSuperview(m_iPodTransView);
        m_iPodTransView->deleteLater();
    }
    m_iPodTransView = nullptr;
}

void MusicLibraryImport::alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex)
{
    if (alertView->tag() == DrmAlert) {
        if (alertView == m_drmAlert && m_drmGeneration == m_generation && isRunning())
            nextSaveiPod();
        return;
    }
    if (alertView->tag() == CompleteAlert) {
        // The overlay goes first: the menu opens nothing while it lies over it.
        removeOverlay();
        if (buttonIndex == 0 && m_goImportFolder)
            m_goImportFolder();
    }
}
