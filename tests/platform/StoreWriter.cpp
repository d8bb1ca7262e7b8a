// Rewrites the settings store as fast as it can until it is killed. Each round stores
// a counter and a list holding that counter many times, so a reader can tell a
// consistent file from a torn one. With "--once" it stores one value, saves once and ends.
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool once = argc == 3 && std::strcmp(argv[2], "--once") == 0;
    if (argc != 2 && !once) {
        std::fprintf(stderr, "usage: store_writer FILE [--once]\n");
        return 2;
    }
    UserDefaults store(QString::fromLocal8Bit(argv[1]));
    if (once) {
        store.setObject(QStringLiteral("saved once"), QStringLiteral("once"));
        return store.synchronize() ? 0 : 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (qlonglong round = 1;; ++round) {
        const QString text = QString::number(round);
        store.setObject(round, QStringLiteral("counter"));
        store.setObject(QStringList(3000, text), QStringLiteral("copies"));
        store.synchronize();
    }
}
