#include "library/ZivoModel.h"
#include "platform/Bundle.h"
#include "platform/QuitOnSignal.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"
#include "transfer/HeadlessTransfer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
// --help and --version print text only: they must work without a display.
bool wantsTextOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char *flag : {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], flag) == 0)
                return true;
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    if (HeadlessTransfer::isRequested(argc, argv))
        return HeadlessTransfer::run(argc, argv);
    std::unique_ptr<QCoreApplication> instance = wantsTextOnly(argc, argv)
        ? std::make_unique<QCoreApplication>(argc, argv)
        : std::make_unique<QApplication>(argc, argv);
    QCoreApplication &app = *instance;
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
    QuitOnSignal quitOnSignal;

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
