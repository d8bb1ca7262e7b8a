// The folder cache builder against a bare loop doing only the irreducible work on the
// same songs (tag read, picture decode, scale, PNG encode, two small file writes).
//   cache_bench generate DIR COUNT   makes COUNT tagged songs with 500 x 500 JPEG covers
//   cache_bench builder DIR          runs the builder over DIR/Documents/Bench
//   cache_bench bare DIR             runs the bare loop over the same songs
//   cache_bench rows DIR             fills a list row from the cache for every song
// Each run prints one line "mode songs seconds peak_kb cpu_seconds".
#include "support/SongFixtures.h"

#include "library/FolderCacheBuilder.h"
#include "library/ProgressOverlayHost.h"
#include "library/SongCache.h"
#include "library/ZivoModel.h"
#include "platform/ImageCodec.h"
#include "platform/MemoryTuning.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <cstdio>

#include <sys/resource.h>

namespace {

long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

class NoOverlay : public ProgressOverlayHost
{
public:
    void viewMessageProgress(const Notification &) override {}
    void setMessageProgress(float) override {}
};

QString folder()
{
    return ZivoModel::getPathWithFolderName(QStringLiteral("Bench"));
}

QStringList songs()
{
    QDir dir(folder());
    return dir.entryList(QDir::Files, QDir::Name);
}

int generate(int count)
{
    QDir().mkpath(folder());
    for (int i = 0; i < count; ++i) {
        SongFixtures::Tags tags;
        tags.title = QStringLiteral("Song %1").arg(i);
        tags.album = QStringLiteral("Album %1").arg(i / 10);
        tags.artist = QStringLiteral("Artist %1").arg(i % 37);
        tags.picture = SongFixtures::jpeg(500, 500, QColor::fromHsv(i % 360, 200, 200), Qt::white);
        const QString path = folder() + QStringLiteral("/%1 song.mp3").arg(i, 4, 10, QLatin1Char('0'));
        if (!SongFixtures::writeMp3(path, SongFixtures::Tagging::Id3v23, tags))
            return 1;
    }
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double g_cpuStart = 0;

void report(const char *mode, qsizetype count, double seconds)
{
    std::printf("%s %lld %.3f %ld %.3f\n", mode, static_cast<long long>(count), seconds, peakKb(),
                cpuSeconds() - g_cpuStart);
}

int runBuilder()
{
    const QStringList list = songs();
    NoOverlay overlay;
    FolderCacheBuilder builder(&overlay);
    QElapsedTimer timer;
    timer.start();
    g_cpuStart = cpuSeconds();
    builder.optimizeList(list, QUrl::fromLocalFile(folder() + QLatin1Char('/') + list.first()), nullptr);
    builder.waitForIdle();
    report("builder", list.size(), timer.nsecsElapsed() / 1e9);
    return SongCache::hasTagFile(QStringLiteral("Bench"), list.last()) ? 0 : 1;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

int runBare()
{
    const QStringList list = songs();
    const QString out = Sandbox::cachesPath() + QStringLiteral("/bare/");
    QDir().mkpath(out);
    QElapsedTimer timer;
    timer.start();
    g_cpuStart = cpuSeconds();
    for (const QString &name : list) {
        TagLib::MPEG::File file(QFile::encodeName(folder() + QLatin1Char('/') + name).constData(), false);
        TagLib::ID3v2::Tag *tag = file.ID3v2Tag();
        QByteArray text =
            QByteArray(tag->title().toCString(true)) + tag->album().toCString(true) + tag->artist().toCString(true);
        QImage image;
        const TagLib::ID3v2::FrameList pictures = tag->frameList("APIC");
        if (!pictures.isEmpty()) {
            auto *frame = static_cast<TagLib::ID3v2::AttachedPictureFrame *>(pictures.front());
            // Decoding straight at the small size is part of the irreducible work.
            QByteArray bytes(frame->picture().data(), frame->picture().size());
            QBuffer in(&bytes);
            QImageReader reader(&in);
            reader.setScaledSize(QSize(92, 92));
            image = reader.read();
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        writeFile(out + name + QStringLiteral("@2x.png"), png);
        writeFile(out + name + QStringLiteral(".plist"), text);
    }
    report("bare", list.size(), timer.nsecsElapsed() / 1e9);
    return 0;
}

int runRows()
{
    const QStringList list = songs();
    QElapsedTimer timer;
    timer.start();
    g_cpuStart = cpuSeconds();
    qsizetype withArtwork = 0;
    for (const QString &name : list)
        withArtwork += SongCache::row(QStringLiteral("Bench"), name).artwork.isNull() ? 0 : 1;
    report("rows", list.size(), timer.nsecsElapsed() / 1e9);
    return withArtwork == list.size() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program does at start, for both modes.
    MemoryTuning::keepFreedMemoryForReuse();
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: cache_bench generate|builder|bare|rows DIR [COUNT]\n");
        return 2;
    }
    Sandbox::setHome(args.at(2));
    Sandbox::createFolders();
    ZivoModel::appInit();
    int status = 2;
    const QString mode = args.at(1);
    if (mode == QLatin1String("generate"))
        status = generate(args.value(3, QStringLiteral("1000")).toInt());
    else if (mode == QLatin1String("builder"))
        status = runBuilder();
    else if (mode == QLatin1String("bare"))
        status = runBare();
    else if (mode == QLatin1String("rows"))
        status = runRows();
    UserDefaults::resetStandard();
    return status;
}
