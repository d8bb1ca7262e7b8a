#pragma once

#include "MediaFileTags.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

// Exports one song into an M4A file (the "ipod" flavour of MP4) with FFmpeg: an AAC stream
// is copied as it is, anything else is decoded and encoded with FFmpeg's own AAC encoder
// at 256 kb/s in stereo. Title, artist, album, lyrics and the cover are written as M4A
// tags (with TagLib). The file is written unnamed beside its target and takes the target's
// name only when it is whole, so a cancelled or failed export leaves nothing behind and
// an earlier file of that name stays until the new one replaces it.
//
// The export runs on a thread of the global pool; the completion handler runs there too,
// once, when the status is final. Status and progress may be read from any thread.
class AssetExportSession
{
public:
    enum class Status { Unknown, Waiting, Exporting, Completed, Failed, Cancelled };
    // Why an export failed: the audio is encrypted or its codec cannot be opened (a
    // copy-protected song); the file holds no audio that can be read; the target cannot
    // be written.
    enum class Failure { None, Protected, Unreadable, Unwritable };

    // What is written as M4A tags: title, artist, album, lyrics and the cover as stored in the
    // source (JPEG and PNG are kept, others become PNG).
    using Metadata = MediaFileTags;
    struct Result
    {
        Status status = Status::Unknown;
        Failure failure = Failure::None;
        QString error;
    };
    using CompletionHandler = std::function<void(const Result &)>;

    static constexpr int kBitRate = 256000;
    static constexpr int kChannels = 2;

    explicit AssetExportSession(const QUrl &asset);
    // Cancels a running export without waiting for it: it ends on its own thread.
    ~AssetExportSession();
    AssetExportSession(const AssetExportSession &) = delete;
    AssetExportSession &operator=(const AssetExportSession &) = delete;

    QUrl asset() const;
    void setOutputURL(const QUrl &url);
    QUrl outputURL() const;
    void setMetadata(const Metadata &metadata);

    // Starts the export once; later calls do nothing.
    void exportAsynchronouslyWithCompletionHandler(CompletionHandler handler);
    // Stops the export at its next packet (or a read it is waiting for).
    void cancelExport();

    Status status() const;
    // 0 to 1: how much of the song's time (or else of its bytes) has been read; never goes back.
    float progress() const;
    // True once the export has chosen to copy the AAC stream rather than encode.
    bool copiesStream() const;

    // Waits until no export runs any more, or the time is up (-1: no limit).
    static bool waitForExports(int msecs = -1);
    // For tests: called on the export thread after each packet written, with the source path.
    static void setPacketHook(std::function<void(const QString &source)> hook);

    struct Job;

private:
    std::shared_ptr<Job> m_job;
};
