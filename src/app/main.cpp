#include "app/ZivoAppDelegate.h"
#include "browse/MusicAllListViewController.h"
#include "browse/MusicListViewController.h"
#include "browse/MusicMainViewController.h"
#include "platform/Window.h"
#include "settings/EncodingsViewController.h"
#include "settings/HelpViewController.h"
#include "settings/SettingsViewController.h"
#include "browse/MusicSubListViewController.h"
#include "files/FileManagerSubViewController.h"
#include "files/FileManagerViewController.h"
#include "files/FolderViewController.h"
#include "browse/FileSelectorSubViewController.h"
#include "browse/FileSelectorViewController.h"
#include "browse/PlayListFileListViewController.h"
#include "browse/PlayListViewController.h"
#include "browse/PlaybackListViewController.h"
#include "browse/PlaybackSubListViewController.h"
#include "platform/Bundle.h"
#include "platform/MediaLibrary.h"
#include "platform/MemoryTuning.h"
#include "platform/MprisService.h"
#include "platform/QuitOnSignal.h"
#include "platform/Sandbox.h"
#include "platform/Translations.h"
#include "playback/MprisPlayerBridge.h"
#include "playback/MusicDetailViewController.h"
#include "playback/PlayInfoPanelViewController.h"
#include "platform/UserDefaults.h"
#include "transfer/HeadlessTransfer.h"
#include "transfer/WebserverViewController.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
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
ScreenFactory screenFactory(quint16 transferPort, PlayInfoPanelViewController &nowPlaying)
{
    ScreenFactory screens;
    screens.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
    screens.add(Screen::MusicAllList, [] { return std::make_unique<MusicAllListViewController>(); });
    screens.add(Screen::MusicList, [] { return std::make_unique<MusicListViewController>(); });
    screens.add(Screen::MusicSubList, [] { return std::make_unique<MusicSubListViewController>(); });
    // Playlists: managing them, playing them, and the song picker.
    screens.add(Screen::PlayList, [] { return std::make_unique<PlayListViewController>(); });
    screens.add(Screen::PlayListFileList, [] { return std::make_unique<PlayListFileListViewController>(); });
    screens.add(Screen::PlaybackList, [] { return std::make_unique<PlaybackListViewController>(); });
    screens.add(Screen::PlaybackSubList, [] { return std::make_unique<PlaybackSubListViewController>(); });
    screens.add(Screen::FileSelector, [] { return std::make_unique<FileSelectorViewController>(); });
    screens.add(Screen::FileSelectorSub, [] { return std::make_unique<FileSelectorSubViewController>(); });
    // Folder and file management: the folders, a folder's files and the move picker.
    screens.add(Screen::FileManager, [] { return std::make_unique<FileManagerViewController>(); });
    screens.add(Screen::FileManagerSub, [] { return std::make_unique<FileManagerSubViewController>(); });
    screens.add(Screen::Folder, [] { return std::make_unique<FolderViewController>(); });
    screens.add(Screen::Webserver, [transferPort] { return std::make_unique<WebserverViewController>(transferPort); });
    screens.add(Screen::Settings, [] { return std::make_unique<SettingsViewController>(); });
    screens.add(Screen::Help, [] { return std::make_unique<HelpViewController>(); });
    screens.add(Screen::Encodings, [] { return std::make_unique<EncodingsViewController>(); });
    screens.add(Screen::MusicDetail, [&nowPlaying] { return std::make_unique<MusicDetailViewController>(nowPlaying); });
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
    // The desktop finds the entry, and with it the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orbo.Orbo"));
    if (qobject_cast<QApplication *>(&app))
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/org.orbo.Orbo-256.png")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orbo, a music player for the songs in its Documents folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption
        homeOption(QStringLiteral("home"),
                   QStringLiteral("Keep the songs, caches and settings under <dir> (Documents, Caches, Preferences)."),
                   QStringLiteral("dir"));
    parser.addOption(homeOption);
    const QCommandLineOption transferPortOption(
        QStringLiteral("transfer-port"),
        QStringLiteral("Serve the Wi-Fi transfer screen's page on <port> (default 5551, 0: any free one)."),
        QStringLiteral("port"), QString::number(WebserverViewController::defaultPort));
    parser.addOption(transferPortOption);
    const QCommandLineOption musicLibraryOption(QStringLiteral("music-library"),
                                                QStringLiteral(
                                                    "Import songs from <dir> (default: the desktop's music folder)."),
                                                QStringLiteral("dir"));
    parser.addOption(musicLibraryOption);
    parser.addOptions(HeadlessTransfer::commandLineOptions());
    parser.process(app);

    bool portOk = false;
    const uint transferPort = parser.value(transferPortOption).toUInt(&portOk);
    if (!portOk || transferPort > 65535) {
        std::fprintf(stderr, "orbo: invalid port %s\n", qPrintable(parser.value(transferPortOption)));
        return 2;
    }

    if (parser.isSet(homeOption))
        Sandbox::setHome(parser.value(homeOption));
    if (parser.isSet(musicLibraryOption))
        MediaLibrary::setDefaultFolder(QDir(parser.value(musicLibraryOption)).absolutePath());
    if (!Sandbox::createFolders()) {
        std::fprintf(stderr, "orbo: cannot create the folders under %s\n", qPrintable(Sandbox::documentsPath()));
        return 1;
    }

    // One player per desktop session: the media remote's bus name is ours, or the running
    // Orbo is asked to show its window and this start ends there.
    MprisService mpris;
    if (!mpris.registerOnBus() && MprisService::isRunningElsewhere()) {
        if (MprisService::raiseRunningInstance()) {
            std::fprintf(stderr, "orbo: already running; its window was raised\n");
            return 0;
        }
        // Two players on one library would overwrite each other's settings.
        std::fprintf(stderr, "orbo: another Orbo is running but does not answer; not starting a second one\n");
        return 1;
    }
    QuitOnSignal quitOnSignal;

    // The shell: string tables, then the application delegate's launch sequence (first-run
    // defaults, the window with the main menu, the beeps).
    Translations::install();
    // The panel first: the full-screen player is made with it.
    auto panel = std::make_unique<PlayInfoPanelViewController>();
    PlayInfoPanelViewController &nowPlaying = *panel;
    std::optional<ZivoAppDelegate> delegate(std::in_place, screenFactory(quint16(transferPort), nowPlaying));
    delegate->installPlayInfoPanel(std::move(panel));
    delegate->didFinishLaunchingWithOptions();
    MprisPlayerBridge remotePlayer(nowPlaying);
    mpris.setPlayer(&remotePlayer);
    QObject::connect(&mpris, &MprisService::raiseRequested, delegate->window(), [&delegate] {
        qInfo("orbo: raising the window (asked over the session bus)");
        Window *window = delegate->window();
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window->show();
        window->raise();
        window->activateWindow();
    });

    const int status = app.exec();
    mpris.setPlayer(nullptr);
    delegate.reset();
    UserDefaults::resetStandard();
    return status;
}
