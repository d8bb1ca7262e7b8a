// The transfer screen's two costs a user waits for:
//  - switching the server on until it accepts a connection and the Wi-Fi URL shows
//    (median of 21 switch-ons, target under 200 ms);
//  - the storage walk over 10,000 files in 100 folders against `du -sb` on the same
//    tree, both with a warm cache, taking turns (median of 9 each, target within 1.5x).
#include "platform/Sandbox.h"
#include "platform/Switch.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "transfer/HTTPServer.h"
#include "transfer/StorageUsage.h"
#include "transfer/WebserverViewController.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

bool acceptsConnection(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    return socket.waitForConnected(1000);
}

// Runs the event loop until the condition holds; false after the bound.
template <typename Condition>
bool spinUntil(Condition condition, int boundMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > boundMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

void switchOnTimes()
{
    // A new screen every time: none knows the machine's addresses yet (a screen that was
    // switched on before shows the last known ones at once).
    std::vector<double> accepted, shown;
    bool urls = true;
    for (int run = 0; run < 21; ++run) {
        WebserverViewController screen(0);
        Window window;
        window.addSubview(screen.view());
        QElapsedTimer timer;
        timer.start();
        screen.startSwitch()->click();
        if (!screen.isServing() || !acceptsConnection(screen.httpServer()->port())) {
            std::printf("  the server did not start: %s\n", qPrintable(screen.messages()));
            return;
        }
        accepted.push_back(timer.nsecsElapsed() / 1e6);
        if (!spinUntil([&] { return screen.wifiText() != QStringLiteral("No Connection"); }, 2000))
            urls = false;
        shown.push_back(timer.nsecsElapsed() / 1e6);
        screen.startSwitch()->click();
        window.removeSubview(screen.view());
        QCoreApplication::processEvents();
    }
    std::printf("  switch-on until a connection is accepted: %.2f ms (median of %zu)\n", median(accepted),
                accepted.size());
    if (urls)
        std::printf("  switch-on until the Wi-Fi URL shows:     %.2f ms (median of %zu, worst %.2f; target < 200 ms)\n",
                    median(shown), shown.size(), *std::max_element(shown.begin(), shown.end()));
    else
        std::printf("  this machine has no wired or wireless IPv4 address: the URL time is not measured\n");
}

void storageWalk()
{
    QTemporaryDir tree;
    const QByteArray bytes(700, 'x');
    for (int folder = 0; folder < 100; ++folder) {
        const QString dir = tree.path() + QStringLiteral("/folder%1").arg(folder);
        QDir().mkpath(dir);
        for (int file = 0; file < 100; ++file) {
            QFile f(dir + QStringLiteral("/song%1.mp3").arg(file));
            f.open(QIODevice::WriteOnly);
            f.write(bytes.left(100 + file));
        }
    }
    std::vector<double> ours, du;
    quint64 sum = 0;
    for (int run = 0; run < 10; ++run) {
        QElapsedTimer timer;
        timer.start();
        sum = StorageUsage::usedBytes(tree.path());
        if (run)
            ours.push_back(timer.nsecsElapsed() / 1e6);
        QProcess process;
        timer.restart();
        process.start(QStringLiteral("du"), {QStringLiteral("-sb"), tree.path()});
        process.waitForFinished(30000);
        if (run)
            du.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("  storage walk of 10,000 files: %.2f ms, du -sb: %.2f ms, ratio %.2f (target <= 1.5); %llu bytes\n",
                median(ours), median(du), median(ours) / median(du), static_cast<unsigned long long>(sum));
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    Sandbox::setHome(home.path());
    Sandbox::createFolders();
    ZivoModel::appInit();
    UserDefaults::standard().setObject(QStringLiteral("1"), SettingsKeys::caution3gmsgkey);
    switchOnTimes();
    storageWalk();
    UserDefaults::resetStandard();
    return 0;
}
