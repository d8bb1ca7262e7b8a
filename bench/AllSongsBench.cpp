// Figures of the all-songs list, with the real screens on the offscreen platform.
//   allsongs_bench HOME   100 folders of 100 cached songs (made on first use): time from the
//                         menu tap to the first painted all-songs list and, in the same run,
//                         to the painted folder list (the peer); the frame time while scrolling
//                         the whole library; the time from a keystroke in the search field to
//                         the painted result, beside a bare repaint of the same list; the
//                         resident memory before and with the list open.
#include "PaintProbe.h"
#include "SampleStats.h"
#include "app/ZivoAppDelegate.h"
#include "browse/MusicAllListViewController.h"
#include "browse/MusicListViewController.h"
#include "browse/MusicMainViewController.h"
#include "library/SettingsKeys.h"
#include "library/SongCache.h"
#include "platform/Sandbox.h"
#include "platform/TableView.h"
#include "platform/UserDefaults.h"
#include "playback/PlayInfoPanelViewController.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Screen = ZivoAppDelegate::Screen;

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

ScreenFactory screens()
{
    ScreenFactory factory;
    factory.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
    factory.add(Screen::MusicAllList, [] { return std::make_unique<MusicAllListViewController>(); });
    factory.add(Screen::MusicList, [] { return std::make_unique<MusicListViewController>(); });
    return factory;
}

void print(const char *what, const SampleStats &s)
{
    std::printf("%s %.2f %.2f %.2f\n", what, s.median, s.p95, s.max);
}

void makeLibrary()
{
    if (QDir(Sandbox::documentsPath() + "/Folder 000").exists())
        return;
    QImage cover(92, 92, QImage::Format_RGB32);
    cover.fill(QColor(160, 90, 40));
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
            const QString name = QString::asprintf("Song %02d-%03d.mp3", f, s);
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

int run()
{
    makeLibrary();
    UserDefaults::standard().setObject(QStringLiteral("YES"), SettingsKeys::demoMusicCopyKey);
    ZivoAppDelegate delegate{screens()};
    auto made = std::make_unique<PlayInfoPanelViewController>();
    delegate.installPlayInfoPanel(std::move(made));
    delegate.didFinishLaunchingWithOptions();
    runFor(900); // the opening animation
    const double before = residentMb();
    QWidget *menu = delegate.screen(Screen::MusicMain)->view();
    auto *all = qobject_cast<MusicAllListViewController *>(delegate.screen(Screen::MusicAllList));
    auto *folders = qobject_cast<MusicListViewController *>(delegate.screen(Screen::MusicList));
    all->view();
    folders->view();

    // Tap to paint, the two lists taking turns so that a slow moment falls on both.
    std::vector<double> toAll, toFolders;
    for (int visit = 0; visit < 15; ++visit) {
        toAll.push_back(PaintProbe::timeToPaint(all->listTableView()->viewport(), [&] {
            View::removeFromSuperview(menu);
            delegate.addMusicAllListView();
        }));
        runFor(30);
        all->goMusicMainView();
        runFor(30);
        toFolders.push_back(PaintProbe::timeToPaint(folders->listTableView()->viewport(), [&] {
            View::removeFromSuperview(menu);
            delegate.addMusicListView();
        }));
        runFor(30);
        folders->goMusicMainView();
        runFor(30);
    }
    print("open-all", SampleStats::of(toAll));
    print("open-folders", SampleStats::of(toFolders));

    View::removeFromSuperview(menu);
    delegate.addMusicAllListView();
    runFor(50);
    TableView *table = all->listTableView();
    // The whole library top to bottom, 12 points a frame, each frame laid out and painted.
    std::vector<double> frames;
    const int last = table->numberOfSections() - 1;
    const QRect end = table->rectForRowAtIndexPath({last, table->numberOfRowsInSection(last) - 1});
    const int bottom = end.bottom() - table->viewport()->height();
    for (int y = 12; y <= bottom; y += 12) {
        QElapsedTimer clock;
        clock.start();
        table->setContentOffset(y);
        table->viewport()->repaint();
        frames.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    print("scroll-all", SampleStats::of(frames));
    std::printf("resident %.1f %.1f\n", before, residentMb());

    // Keystrokes: typing "Song 42-0", "4", "7", then deleting back, as a user would.
    table->setContentOffset(0);
    QLineEdit *field = table->searchField();
    std::vector<double> keys;
    const QStringList typed{"S",         "So",       "Son",       "Song",       "Song ",       "Song 4",
                            "Song 42",   "Song 42-", "Song 42-0", "Song 42-04", "Song 42-047", "Song 42-04",
                            "Song 42-0", "Song 42",  "Song 4",    "Song",       "S",           ""};
    for (int round = 0; round < 5; ++round)
        for (const QString &text : typed)
            keys.push_back(PaintProbe::timeToPaint(table->viewport(), [&] { field->setText(text); }));
    print("search-key", SampleStats::of(keys));
    // The peer: the same list painted again with nothing changed.
    std::vector<double> repaints;
    for (int i = 0; i < int(keys.size()); ++i)
        repaints.push_back(PaintProbe::timeToPaint(table->viewport(), [&] { table->viewport()->update(); }));
    print("repaint", SampleStats::of(repaints));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: allsongs_bench HOME\n");
        return 2;
    }
    Sandbox::setHome(QString::fromLocal8Bit(argv[1]));
    Sandbox::createFolders();
    return run();
}
