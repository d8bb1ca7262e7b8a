// Figures of folder play, with the real screens and panel on the offscreen platform.
//   folderplay_bench lists HOME     100 folders of 100 cached songs (made on first use):
//                                   time from the tap to the first painted folder list and
//                                   song list, and the frame time while scrolling them
//   folderplay_bench idle HOME SONG SECONDS (SONG inside HOME/Documents)
//                                   CPU and wake-ups of the whole process with the panel shown
//                                   over the song list, playing and then paused, and the same
//                                   for the bare audio player in the same process (the peer)
#include "PaintProbe.h"
#include "SampleStats.h"
#include "app/ZivoAppDelegate.h"
#include "browse/MusicListCell.h"
#include "browse/MusicListViewController.h"
#include "browse/MusicMainViewController.h"
#include "browse/MusicSubListViewController.h"
#include "library/SongCache.h"
#include "library/ZivoModel.h"
#include "platform/AudioPlayer.h"
#include "platform/Button.h"
#include "platform/Sandbox.h"
#include "platform/TableView.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "playback/PlayInfoPanelViewController.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

using Screen = ZivoAppDelegate::Screen;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Context switches of every thread of the process: each is a wake-up or a preemption.
long long contextSwitches()
{
    long long total = 0;
    for (const QString &task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status("/proc/self/task/" + task + "/status");
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                total += line.split(':').last().trimmed().toLongLong();
    }
    return total;
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
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
    std::fflush(stdout);
}

ScreenFactory screens()
{
    ScreenFactory factory;
    factory.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
    factory.add(Screen::MusicList, [] { return std::make_unique<MusicListViewController>(); });
    factory.add(Screen::MusicSubList, [] { return std::make_unique<MusicSubListViewController>(); });
    return factory;
}

// The shell as the program makes it, shown on the offscreen platform.
struct Shell
{
    Shell()
    {
        auto made = std::make_unique<PlayInfoPanelViewController>();
        panel = made.get();
        delegate.installPlayInfoPanel(std::move(made));
        delegate.didFinishLaunchingWithOptions();
        runFor(900); // the opening animation
    }
    ZivoAppDelegate delegate{screens()};
    PlayInfoPanelViewController *panel = nullptr;
    MusicListViewController *list() const
    {
        return qobject_cast<MusicListViewController *>(delegate.screen(Screen::MusicList));
    }
    MusicSubListViewController *songs() const
    {
        return qobject_cast<MusicSubListViewController *>(delegate.screen(Screen::MusicSubList));
    }
};

// Frame times while scrolling a list from top to bottom, 12 points a frame, each frame
// laid out and painted at once.
SampleStats scrollFrames(TableView *table)
{
    std::vector<double> frames;
    table->setContentOffset(0);
    QCoreApplication::processEvents();
    const int bottom = table->numberOfRowsInSection(0) * table->rowHeight() - table->viewport()->height();
    for (int y = 12; y <= bottom; y += 12) {
        QElapsedTimer clock;
        clock.start();
        table->setContentOffset(y);
        table->viewport()->repaint();
        frames.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return SampleStats::of(frames);
}

void makeLibrary()
{
    if (QDir(Sandbox::documentsPath() + "/Folder 000").exists())
        return;
    QImage cover(92, 92, QImage::Format_RGB32);
    cover.fill(QColor(40, 120, 160));
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        cover.save(&buffer, "PNG");
    }
    SongCache::ensureFolder();
    for (int f = 0; f < 100; ++f) {
        const QString folder = QString::asprintf("Folder %03d", f);
        QDir().mkpath(Sandbox::documentsPath() + "/" + folder);
        for (int s = 0; s < 100; ++s) {
            const QString name = QString::asprintf("Song %03d.mp3", s);
            QFile file(Sandbox::documentsPath() + "/" + folder + "/" + name);
            file.open(QIODevice::WriteOnly);
            file.write("ID3");
            QVariantMap record{{"title", name}, {"albumName", "Album " + folder}, {"artist", "Artist"}};
            if (s % 2 == 0)
                record.insert("artwork", png);
            SongCache::store(folder, name, record);
        }
    }
}

int lists()
{
    makeLibrary();
    Shell shell;
    QWidget *menu = shell.delegate.screen(Screen::MusicMain)->view();
    // Warm the listing caches once, as any visit after the first finds them.
    View::removeFromSuperview(menu);
    shell.delegate.addMusicListView();
    runFor(100);
    shell.list()->goMusicMainView();
    runFor(100);

    std::vector<double> toList, toSongs, toMenu;
    for (int run = 0; run < 15; ++run) {
        MusicListViewController *list = shell.list();
        toList.push_back(PaintProbe::timeToPaint(list->listTableView()->viewport(), [&] {
            View::removeFromSuperview(menu);
            shell.delegate.addMusicListView();
        }));
        runFor(30);
        MusicSubListViewController *songs = shell.songs();
        songs->view();
        toSongs.push_back(PaintProbe::timeToPaint(songs->listTableView()->viewport(), [&] {
            list->listTableView()->activateRow({0, 1 + run});
        }));
        runFor(30);
        // Back to the menu: the peer, a screen of a few widgets.
        View::removeFromSuperview(songs->view());
        toMenu.push_back(PaintProbe::timeToPaint(menu, [&] { shell.delegate.addMusicMainView(); }));
        runFor(30);
    }
    const SampleStats list = SampleStats::of(toList), songs = SampleStats::of(toSongs),
                      menuPaint = SampleStats::of(toMenu);
    std::printf("open-list %.2f %.2f %.2f\n", list.median, list.p95, list.max);
    std::printf("open-songs %.2f %.2f %.2f\n", songs.median, songs.p95, songs.max);
    std::printf("open-menu %.2f %.2f %.2f\n", menuPaint.median, menuPaint.p95, menuPaint.max);

    View::removeFromSuperview(menu);
    shell.delegate.addMusicListView();
    runFor(50);
    const SampleStats folderScroll = scrollFrames(shell.list()->listTableView());
    shell.list()->listTableView()->activateRow({0, 1});
    runFor(50);
    const SampleStats songScroll = scrollFrames(shell.songs()->listTableView());
    std::printf("scroll-list %.2f %.2f %.2f\n", folderScroll.median, folderScroll.p95, folderScroll.max);
    std::printf("scroll-songs %.2f %.2f %.2f\n", songScroll.median, songScroll.p95, songScroll.max);
    return 0;
}

int idle(const QString &song, int seconds)
{
    {
        // The peer: the bare player, metering on, nothing on screen.
        AudioPlayer player(QUrl::fromLocalFile(song));
        player.setMeteringEnabled(true);
        if (!player.play())
            return 1;
        runFor(1000);
        measure("player-playing", seconds);
        player.pause();
        runFor(500);
        measure("player-paused", seconds);
    }
    Shell shell;
    const QFileInfo file(song);
    View::removeFromSuperview(shell.delegate.screen(Screen::MusicMain)->view());
    shell.songs()->setFolderDName(ZivoModel::folderNameOfSong(QUrl::fromLocalFile(song)));
    shell.songs()->setFileNameArray({file.fileName()});
    shell.delegate.addMusicSubListView();
    runFor(300);
    shell.songs()->listTableView()->activateRow({0, 0});
    if (!shell.panel->isPlaying())
        return 1;
    // Past the 3-second "new list" message, to the steady state.
    runFor(3500);
    measure("panel-playing", seconds);
    shell.panel->pauseMusic();
    runFor(1500);
    measure("panel-paused", seconds);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == "lists" && argc == 3) {
        Sandbox::setHome(QString::fromLocal8Bit(argv[2]));
        Sandbox::createFolders();
        return lists();
    }
    if (mode == "idle" && argc == 5) {
        Sandbox::setHome(QString::fromLocal8Bit(argv[2]));
        Sandbox::createFolders();
        return idle(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]).toInt());
    }
    std::fprintf(stderr, "usage: folderplay_bench lists HOME | idle HOME SONG SECONDS\n");
    return 2;
}
