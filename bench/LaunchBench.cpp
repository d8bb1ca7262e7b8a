// Starts the shell exactly as the orbo program does (string tables, the delegate's
// launch sequence, the media remote) and reports, on the first paint of the main menu,
// the wall-clock time (CLOCK_REALTIME, ns) and the resident memory; then again after the
// opening animation has run. bench/run turns these into time-from-process-start figures.
//
//   launch_bench <home>
#include "app/ZivoAppDelegate.h"
#include "browse/MusicMainViewController.h"
#include "platform/MprisService.h"
#include "platform/Sandbox.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
long long nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // After this paint has been delivered.
            QTimer::singleShot(0, [] { std::printf("painted %lld %ld\n", nowNs(), residentKb()); });
            QTimer::singleShot(1200, [] {
                std::printf("settled %ld\n", residentKb());
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: launch_bench <home>\n");
        return 2;
    }
    Sandbox::setHome(QString::fromLocal8Bit(argv[1]));
    Sandbox::createFolders();
    Translations::install();
    FirstPaint probe;
    {
        ScreenFactory screens;
        screens.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
        ZivoAppDelegate delegate(screens);
        delegate.screen(Screen::MusicMain)->view()->installEventFilter(&probe);
        delegate.didFinishLaunchingWithOptions();
        MprisService mpris;
        mpris.registerOnBus();
        app.exec();
    }
    UserDefaults::resetStandard();
    return 0;
}
