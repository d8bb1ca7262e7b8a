#include "app/ZivoAppDelegate.h"
#include "browse/MusicListViewController.h"
#include "browse/MusicMainViewController.h"
#include "browse/MusicSubListViewController.h"
#include "platform/Bundle.h"
#include "platform/MediaLibrary.h"
#include "platform/MemoryTuning.h"
#include "platform/MprisService.h"
#include "platform/QuitOnSignal.h"
#include "platform/Sandbox.h"
#include "platform/Translations.h"
#include "playback/MprisPlayerBridge.h"
#include "playback/PlayInfoPanelViewController.h"
#include "platform/UserDefaults.h"
#include "transfer/HeadlessTransfer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

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

// Every screen of the program, made once by the application delegate at start. The shell
// knows screens only through this table, so the screens' folders depend on the shell and
// never the other way round.
ScreenFactory screenFactory()
{
    ScreenFactory screens;
    screens.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
    screens.add(Screen::MusicList, [] { return std::make_unique<MusicListViewController>(); });
    screens.add(Screen::MusicSubList, [] { return std::make_unique<MusicSubListViewController>(); });
    return screens;
}
} // namespace

int main(int argc, char *argv[])
{
    if (HeadlessTransfer::isRequested(argc, argv))
        return HeadlessTransfer::run(argc, argv);
    MemoryTuning::keepFreedMemoryForReuse();
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
    const QCommandLineOption
        homeOption(QStringLiteral("home"),
                   QStringLiteral("Keep the songs, caches and settings under <dir> (Documents, Caches, Preferences)."),
                   QStringLiteral("dir"));
    parser.addOption(homeOption);
    const QCommandLineOption musicLibraryOption(QStringLiteral("music-library"),
                                                QStringLiteral(
                                                    "Import songs from <dir> (default: the desktop's music folder)."),
                                                QStringLiteral("dir"));
    parser.addOption(musicLibraryOption);
    parser.addOptions(HeadlessTransfer::commandLineOptions());
    parser.process(app);

    if (parser.isSet(homeOption))
        Sandbox::setHome(parser.value(homeOption));
    if (parser.isSet(musicLibraryOption))
        MediaLibrary::setDefaultFolder(QDir(parser.value(musicLibraryOption)).absolutePath());
    if (!Sandbox::createFolders()) {
        std::fprintf(stderr, "orbo: cannot create the folders under %s\n", qPrintable(Sandbox::documentsPath()));
        return 1;
    }

    QuitOnSignal quitOnSignal;

    // The shell: string tables, the application delegate's launch sequence (first-run
    // defaults, the window with the main menu, the beeps), then the desktop's media remote.
    Translations::install();
    std::optional<ZivoAppDelegate> delegate(std::in_place, screenFactory());
    auto panel = std::make_unique<PlayInfoPanelViewController>();
    PlayInfoPanelViewController &nowPlaying = *panel;
    delegate->installPlayInfoPanel(std::move(panel));
    delegate->didFinishLaunchingWithOptions();
    MprisPlayerBridge remotePlayer(nowPlaying);
    MprisService mpris;
    mpris.setPlayer(&remotePlayer);
    mpris.registerOnBus();

    const int status = app.exec();
    mpris.setPlayer(nullptr);
    delegate.reset();
    UserDefaults::resetStandard();
    return status;
}
