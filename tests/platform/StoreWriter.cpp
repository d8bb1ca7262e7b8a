// Rewrites the settings store as fast as it can until it is killed. Each round stores
// a counter and a list holding that counter many times, so a reader can tell a
// consistent file from a torn one.
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: store_writer FILE\n");
        return 2;
    }
    UserDefaults store(QString::fromLocal8Bit(argv[1]));
    std::printf("ready\n");
    std::fflush(stdout);
    for (qlonglong round = 1;; ++round) {
        const QString text = QString::number(round);
        store.setObject(round, QStringLiteral("counter"));
        store.setObject(QStringList(3000, text), QStringLiteral("copies"));
        store.synchronize();
    }
}
