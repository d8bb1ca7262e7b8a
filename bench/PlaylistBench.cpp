// Playlist figures, each in a home folder of its own:
//
//   playlist_bench change <home>   a store of 100 playlists of 500 entries; the time of one
//                                  change (append an entry) including the write and flush
//   playlist_bench paint <home>    a playlist of 1,000 entries; the time from opening its
//                                  song screen (managing, and playing) to the first paint
//   playlist_bench sums <home>     100 folders of 100 files under <home>/Documents; the time
//                                  for the picker's sums of every folder, on its queue
//
// Each prints one line "<mode> <figures...>"; bench/playlists turns them into the report.
#include "app/ZivoAppDelegate.h"
#include "browse/MusicMainViewController.h"
#include "browse/PlayListFileListViewController.h"
#include "browse/PlaybackSubListViewController.h"
#include "library/FolderSizeQueue.h"
#include "library/PlaylistStore.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/Sandbox.h"
#include "platform/TableView.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

int change()
{
    // 100 playlists of 500 entries, written once as a whole.
    QVariantMap playlists;
    for (int p = 0; p < 100; ++p) {
        QStringList entries;
        for (int e = 0; e < 500; ++e)
            entries << QStringLiteral("Folder %1/Song number %2 of the collection.mp3").arg(e % 40).arg(e);
        playlists.insert(QStringLiteral("Playlist %1").arg(p, 3, 10, QLatin1Char('0')), entries);
    }
    UserDefaults::standard().setObject(playlists, SettingsKeys::playlistfolderkey);
    UserDefaults::standard().synchronize();

    // A screen's copy, as on appearing; then one change at a time, each written and flushed.
    PlaylistStore store = PlaylistStore::load();
    QList<double> times;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer clock;
        clock.start();
        store.appendEntries(QStringLiteral("Playlist %1").arg(i * 3, 3, 10, QLatin1Char('0')),
                            {QStringLiteral("Rock/added %1.mp3").arg(i)});
        times << clock.nsecsElapsed() / 1e6;
    }
    std::printf("change %.2f %.2f %lld\n", median(times), *std::max_element(times.begin(), times.end()),
                QFileInfo(Sandbox::settingsFilePath()).size());
    return 0;
}

// Runs the event loop until the widget has been painted once after arm().
class PaintProbe : public QObject
{
public:
    void arm(QWidget *widget)
    {
        m_painted = false;
        widget->installEventFilter(this);
    }
    bool wait()
    {
        QElapsedTimer limit;
        limit.start();
        while (!m_painted && limit.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return m_painted;
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            m_painted = true;
            watched->removeEventFilter(this);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_painted = false;
};

int paint()
{
    QStringList entries;
    for (int i = 0; i < 1000; ++i) {
        const QString entry = QStringLiteral("Folder %1/Song %2.mp3").arg(i % 20).arg(i);
        if (i < 40) {
            QDir().mkpath(QFileInfo(PlaylistStore::pathOfEntry(entry)).absolutePath());
            QFile song(PlaylistStore::pathOfEntry(entry));
            if (song.open(QIODevice::WriteOnly))
                song.write(QByteArray(4096, 's'));
        }
        entries << entry;
    }
    ZivoModel::appInit();
    PlaylistStore store = PlaylistStore::load();
    store.addPlaylist(QStringLiteral("Big"));
    store.appendEntries(QStringLiteral("Big"), entries);

    ScreenFactory screens;
    screens.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
    screens.add(Screen::PlayListFileList, [] { return std::make_unique<PlayListFileListViewController>(); });
    screens.add(Screen::PlaybackSubList, [] { return std::make_unique<PlaybackSubListViewController>(); });
    ZivoAppDelegate delegate(screens);
    delegate.didFinishLaunchingWithOptions();
    PaintProbe probe;
    probe.arm(delegate.screen(Screen::MusicMain)->view());
    probe.wait();

    int rows = 0;
    const auto open = [&](Screen which, const std::function<void()> &prepare, TableView *table) {
        QList<double> times;
        for (int run = 0; run < 7; ++run) {
            View::removeFromSuperview(delegate.currentViewController()->view());
            QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            prepare();
            probe.arm(table->viewport());
            if (which == Screen::PlayListFileList)
                delegate.addPlayListFileListView();
            else
                delegate.addPlaybackSubListView();
            if (!probe.wait())
                return -1.0;
            times << clock.nsecsElapsed() / 1e6;
            rows = table->numberOfRowsInSection(0);
        }
        return median(times);
    };
    auto *managed = qobject_cast<PlayListFileListViewController *>(delegate.screen(Screen::PlayListFileList));
    auto *playing = qobject_cast<PlaybackSubListViewController *>(delegate.screen(Screen::PlaybackSubList));
    managed->view();
    playing->view();
    const double manage = open(
        Screen::PlayListFileList, [&] { managed->setFolderName("Big"); }, managed->listTableView());
    const double play = open(
        Screen::PlaybackSubList, [&] { playing->setFolderDName("Big"); }, playing->listTableView());
    std::printf("paint %.2f %.2f %d\n", manage, play, rows);
    return manage < 0 || play < 0 ? 1 : 0;
}

int sums()
{
    // The picker's folders, listed as it lists them and summed as its rows ask; the time
    // from the listing until the last sum is back.
    QElapsedTimer clock;
    clock.start();
    const QStringList folders = ZivoModel::folderSortToTopDocument(ZivoModel::getFolderList());
    QList<QStringList> files;
    for (const QString &folder : folders)
        files << ZivoModel::getFileListAtFolder(folder);
    FolderSizeQueue queue;
    int done = 0;
    double total = 0;
    QObject::connect(&queue, &FolderSizeQueue::summed, [&](const QString &, int, double bytes) {
        ++done;
        total += bytes;
    });
    int asked = 0;
    for (int i = 0; i < folders.size(); ++i)
        if (!files[i].isEmpty()) {
            queue.request(folders[i], files[i]);
            ++asked;
        }
    while (done < asked && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    std::printf("sums %.3f %d %.0f\n", clock.nsecsElapsed() / 1e6, done, total);
    return done == asked ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: playlist_bench change|paint|sums <home>\n");
        return 2;
    }
    Sandbox::setHome(QString::fromLocal8Bit(argv[2]));
    Sandbox::createFolders();
    const char *mode = argv[1];
    int status = 2;
    if (std::strcmp(mode, "change") == 0)
        status = change();
    else if (std::strcmp(mode, "paint") == 0)
        status = paint();
    else if (std::strcmp(mode, "sums") == 0)
        status = sums();
    UserDefaults::resetStandard();
    return status;
}
