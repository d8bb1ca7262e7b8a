// Figures of the music library import, printed as "name value..." lines for bench/import:
//   export SRC DST             seconds for one export (copy or encode, tags, flush, naming)
//   cancel SRC DIR RUNS        milliseconds from cancelExport to the end of the export (the
//                              unfinished file gone), for exports cancelled at 10 to 90 %
//   library DIR N              makes N tagged songs in DIR (copies of one small MP3)
//   scan DIR INDEX             seconds for a scan without an index, the index written, the
//                              index read back (the next open), and a scan with it
#include "platform/AssetExportSession.h"
#include "platform/MediaLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <algorithm>
#include <cstdio>
#include <future>

namespace {

AssetExportSession::Result runExport(AssetExportSession &session)
{
    std::promise<AssetExportSession::Result> done;
    std::future<AssetExportSession::Result> result = done.get_future();
    session.exportAsynchronouslyWithCompletionHandler(
        [&done](const AssetExportSession::Result &r) { done.set_value(r); });
    return result.get();
}

int exportOnce(const QString &source, const QString &target)
{
    AssetExportSession session(QUrl::fromLocalFile(source));
    session.setOutputURL(QUrl::fromLocalFile(target));
    session.setMetadata({QStringLiteral("Title"), QStringLiteral("Artist"), QStringLiteral("Album"),
                         QStringLiteral("Lyrics"), QByteArray()});
    QElapsedTimer clock;
    clock.start();
    const AssetExportSession::Result result = runExport(session);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    if (result.status != AssetExportSession::Status::Completed) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("export %.4f %s\n", seconds, session.copiesStream() ? "copy" : "encode");
    return 0;
}

int cancelLatency(const QString &source, const QString &dir, int runs)
{
    QList<double> latencies;
    for (int run = 0; run < runs; ++run) {
        const float cancelAt = 0.1f + 0.8f * float(run) / float(std::max(1, runs - 1));
        AssetExportSession session(QUrl::fromLocalFile(source));
        session.setOutputURL(QUrl::fromLocalFile(dir + QStringLiteral("/cancelled.m4a")));
        std::promise<void> done;
        std::future<void> ended = done.get_future();
        session.exportAsynchronouslyWithCompletionHandler(
            [&done](const AssetExportSession::Result &) { done.set_value(); });
        while (session.progress() < cancelAt && session.status() != AssetExportSession::Status::Completed)
            QThread::usleep(200);
        QElapsedTimer clock;
        clock.start();
        session.cancelExport();
        ended.wait();
        latencies.append(double(clock.nsecsElapsed()) / 1e6);
        if (session.status() != AssetExportSession::Status::Cancelled) {
            std::fprintf(stderr, "the export ended before the cancel\n");
            return 1;
        }
        const QStringList left = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        if (!left.isEmpty()) {
            std::fprintf(stderr, "left behind: %s\n", qPrintable(left.join(QStringLiteral(", "))));
            return 1;
        }
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("cancel %.3f %.3f %.3f\n", latencies.at(latencies.size() / 2), latencies.first(), latencies.last());
    return 0;
}

int makeLibrary(const QString &dir, int count)
{
    const QString seed = dir + QStringLiteral("/seed.mp3");
    QFile audio(seed);
    if (!audio.exists()) {
        std::fprintf(stderr, "put a short MP3 at %s first\n", qPrintable(seed));
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        const QString folder = dir + QStringLiteral("/artist%1/album%2").arg(i % 200).arg(i % 7);
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/track%1.mp3").arg(i);
        if (!QFile::copy(seed, path))
            return 1;
        TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
        TagLib::ID3v2::Tag *tag = file.ID3v2Tag(true);
        tag->setTitle(TagLib::String(QStringLiteral("Track %1").arg(i).toStdString()));
        tag->setArtist(TagLib::String(QStringLiteral("Artist %1").arg(i % 200).toStdString()));
        tag->setAlbum(TagLib::String(QStringLiteral("Album %1").arg(i % 7).toStdString()));
        file.save(TagLib::MPEG::File::ID3v2);
    }
    QFile::remove(seed);
    return 0;
}

int scan(const QString &dir, const QString &index)
{
    QElapsedTimer clock;
    clock.start();
    const MediaLibrary::Scan first = MediaLibrary::scan(dir, {});
    const double firstSeconds = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    MediaLibrary::writeIndex(index, dir, first.items);
    const double writeSeconds = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    const std::optional<QList<MediaItem>> known = MediaLibrary::readIndex(index, dir);
    const double readSeconds = double(clock.nsecsElapsed()) / 1e9;
    if (!known || known->size() != first.items.size())
        return 1;
    clock.restart();
    const MediaLibrary::Scan again = MediaLibrary::scan(dir, *known);
    const double againSeconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("scan %lld %.4f %.4f %.4f %.4f %d\n", static_cast<long long>(first.items.size()), firstSeconds,
                writeSeconds, readSeconds, againSeconds, again.filesRead);
    return again.items == first.items ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("export") && args.size() == 4)
        return exportOnce(args[2], args[3]);
    if (mode == QLatin1String("cancel") && args.size() == 5)
        return cancelLatency(args[2], args[3], args[4].toInt());
    if (mode == QLatin1String("library") && args.size() == 4)
        return makeLibrary(args[2], args[3].toInt());
    if (mode == QLatin1String("scan") && args.size() == 4)
        return scan(args[2], args[3]);
    std::fprintf(stderr, "usage: import_bench export SRC DST | cancel SRC DIR RUNS | library DIR N | scan DIR INDEX\n");
    return 2;
}
