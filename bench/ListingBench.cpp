// Lists a folder of 10,000 files through the library listing, once with the cache
// entry valid and once with it removed before every call, and reports both medians.
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kFiles = 10000;
constexpr int kRuns = 41;

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename Prepare>
std::vector<double> measure(Prepare prepare, qsizetype &count)
{
    std::vector<double> micros;
    for (int run = 0; run < kRuns; ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        const QStringList names = ZivoModel::getFileListAtFolder(QStringLiteral("Big"));
        micros.push_back(timer.nsecsElapsed() / 1000.0);
        count = names.size();
    }
    return micros;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    Sandbox::setHome(home.path());
    Sandbox::createFolders();
    ZivoModel::appInit();

    const QString folder = ZivoModel::getPathWithFolderName(QStringLiteral("Big"));
    QDir().mkpath(folder);
    for (int i = 0; i < kFiles; ++i) {
        QFile file(folder + QStringLiteral("/song %1 with a typical name.mp3").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
    }

    const QString key = SettingsKeys::folderListCachePrefix + QStringLiteral("Big");
    qsizetype uncachedCount = 0;
    qsizetype cachedCount = 0;
    const double uncached = median(measure([&] { UserDefaults::standard().removeObjectForKey(key); }, uncachedCount));
    const double cached = median(measure([] {}, cachedCount));

    std::printf("getFileListAtFolder, folder of %d files, median of %d runs\n", kFiles, kRuns);
    std::printf("  uncached (directory read): %10.1f us  (%lld names)\n", uncached,
                static_cast<long long>(uncachedCount));
    std::printf("  cached (one stat):         %10.1f us  (%lld names)\n", cached, static_cast<long long>(cachedCount));
    std::printf("  ratio uncached/cached:     %10.1f x\n", uncached / cached);
    UserDefaults::resetStandard();
    return uncachedCount == kFiles && cachedCount == kFiles ? 0 : 1;
}
