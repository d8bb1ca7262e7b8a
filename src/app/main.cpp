#include "library/ZivoModel.h"
#include "platform/Bundle.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QWidget>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orbo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Orbo"));
    QApplication::setApplicationVersion(QStringLiteral(ORBO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orbo, a music player for the songs in its Documents folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption homeOption(
        QStringLiteral("home"),
        QStringLiteral("Keep the songs, caches and settings under <dir> (Documents, Caches, Preferences)."),
        QStringLiteral("dir"));
    parser.addOption(homeOption);
    parser.process(app);

    if (parser.isSet(homeOption))
        Sandbox::setHome(parser.value(homeOption));
    if (!Sandbox::createFolders()) {
        std::fprintf(stderr, "orbo: cannot create the folders under %s\n",
                     qPrintable(Sandbox::documentsPath()));
        return 1;
    }

    ZivoModel::appInit();

    // The phone's screen, in points; Qt scales it to the desktop's pixel ratio.
    QWidget window;
    window.setWindowTitle(QStringLiteral("Orbo"));
    window.setFixedSize(320, 568);
    window.setStyleSheet(QStringLiteral("background-color: black;"));
    window.show();

    const int status = app.exec();
    UserDefaults::resetStandard();
    return status;
}
