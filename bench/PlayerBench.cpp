// Figures of the audio player; bench/player runs it and compares with ffmpeg.
//   player_bench decode FILE          decode + resample + meter the whole file as fast as it goes
//   player_bench latency FILE RUNS    time from making the player and play() to the first samples
//                                     handed to the output, each run with a new player
//   player_bench idle FILE SECONDS    CPU and wake-ups of the whole process while playing, then paused
//   player_bench memory FILE SECONDS  resident memory while playing, across the whole song
#include "platform/AudioDecoder.h"
#include "platform/AudioOutput.h"
#include "platform/AudioPlayer.h"
#include "platform/LevelMeter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Context switches of every thread of the process: each is a wake-up or a preemption.
long long contextSwitches()
{
    long long total = 0;
    const QStringList tasks = QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile status("/proc/self/task/" + task + "/status");
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                total += line.split(':').last().trimmed().toLongLong();
        }
    }
    return total;
}

long residentKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int decode(const QString &path)
{
    const double start = cpuSeconds();
    AudioDecoder decoder;
    QString error;
    if (!decoder.open(path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const int rate = decoder.sampleRate();
    LevelMeter meter(rate, decoder.format().channelCount());
    const qint64 meterEvery = rate * 33 / 1000; // the meter thread's pace
    qint64 frames = 0, nextReading = meterEvery;
    PcmChunk chunk;
    while (decoder.read(chunk, rate / 10) == AudioDecoder::Status::Samples) {
        const qint64 count = chunk.samples.size() / decoder.format().bytesPerFrame();
        meter.append(reinterpret_cast<const qint16 *>(chunk.samples.constData()), count);
        frames += count;
        for (; nextReading <= frames; nextReading += meterEvery) {
            meter.setPlayhead(nextReading, true);
            meter.update();
        }
    }
    std::printf("decode %.3f %.3f\n", cpuSeconds() - start, double(frames) / rate);
    return 0;
}

int latency(const QString &path, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        auto player = std::make_unique<AudioPlayer>(QUrl::fromLocalFile(path));
        player->play();
        while (!player->output()->isPlaying() && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        player.reset();
        runFor(50);
    }
    std::sort(times.begin(), times.end());
    std::printf("latency %.2f %.2f %.2f\n", times[times.size() / 2], times.front(), times.back());
    return 0;
}

void measure(const char *what, int seconds)
{
    const double cpu = cpuSeconds();
    const long long switches = contextSwitches();
    QElapsedTimer clock;
    clock.start();
    runFor(seconds * 1000);
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    std::printf("%s %.3f %.1f\n", what, (cpuSeconds() - cpu) / wall * 100.0,
                double(contextSwitches() - switches) / wall);
}

int idle(const QString &path, int seconds)
{
    AudioPlayer player(QUrl::fromLocalFile(path));
    player.setMeteringEnabled(true);
    if (!player.play())
        return 1;
    std::printf("output %s\n", player.output()->isNull() ? "null" : "device");
    runFor(1000);
    measure("playing", seconds);
    player.pause();
    runFor(500);
    measure("paused", seconds);
    return 0;
}

int memory(const QString &path, int seconds)
{
    AudioPlayer player(QUrl::fromLocalFile(path));
    if (!player.play())
        return 1;
    long lowest = 1L << 40, highest = 0;
    auto sample = [&] {
        const long kb = residentKb();
        lowest = std::min(lowest, kb);
        highest = std::max(highest, kb);
    };
    runFor(1000);
    // Play on from ten places along the whole song, then straight on.
    for (int tenth = 0; tenth < 10; ++tenth) {
        player.setCurrentTime(player.duration() * tenth / 10.0);
        for (int i = 0; i < 4; ++i) {
            runFor(250);
            sample();
        }
    }
    for (int i = 0; i < seconds; ++i) {
        runFor(1000);
        sample();
    }
    std::printf("memory %ld %ld %.1f\n", lowest, highest, player.currentTime());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: player_bench decode|latency|idle|memory FILE [N]\n");
        return 2;
    }
    const QString mode = args[1], path = args[2];
    const int n = args.size() > 3 ? args[3].toInt() : 10;
    if (mode == "decode")
        return decode(path);
    if (mode == "latency")
        return latency(path, n);
    if (mode == "idle")
        return idle(path, n);
    if (mode == "memory")
        return memory(path, n);
    return 2;
}
