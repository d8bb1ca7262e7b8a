#include "transfer/HeadlessTransfer.h"

#include "library/ZivoModel.h"
#include "library/NotificationNames.h"
#include "platform/NotificationCenter.h"
#include "platform/QuitOnSignal.h"
#include "platform/Sandbox.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "transfer/AccessCode.h"
#include "transfer/HTTPServer.h"
#include "transfer/MyHTTPConnection.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

bool HeadlessTransfer::isRequested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return true;
    return false;
}

QList<QCommandLineOption> HeadlessTransfer::commandLineOptions()
{
    return {
        QCommandLineOption(QStringLiteral("headless"), QStringLiteral("Run without a window (with --transfer).")),
        QCommandLineOption(QStringLiteral("transfer"),
                           QStringLiteral("With --headless: serve the Wi-Fi transfer page until stopped.")),
        QCommandLineOption(QStringLiteral("port"),
                           QStringLiteral("With --headless: listen on <port> (default 5551, 0: any free one)."),
                           QStringLiteral("port"), QStringLiteral("5551")),
        QCommandLineOption(QStringLiteral("address"),
                           QStringLiteral("With --headless: listen only on <address> (\"localhost\" for loopback); "
                                          "default: all."),
                           QStringLiteral("address")),
        QCommandLineOption(QStringLiteral("require-code"),
                           QStringLiteral("With --headless: ask every client for a new six-digit code (HTTP Digest, "
                                          "any user name), printed at start.")),
    };
}

int HeadlessTransfer::run(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orbo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORBO_VERSION));
    // The upload page is in the user's language too.
    Translations::install();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orbo without a display."));
    parser.addHelpOption();
    const QList<QCommandLineOption> options = commandLineOptions();
    const QCommandLineOption &transfer = options.at(1);
    const QCommandLineOption &port = options.at(2);
    const QCommandLineOption &address = options.at(3);
    const QCommandLineOption &requireCode = options.at(4);
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("Keep the songs, caches and settings under <dir>."),
                                  QStringLiteral("dir"));
    parser.addOptions(options);
    parser.addOption(home);
    parser.process(app);

    if (!parser.isSet(transfer)) {
        std::fprintf(stderr, "orbo: --headless needs --transfer (nothing else runs without a display)\n");
        return 2;
    }
    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    if (!portOk || portNumber > 65535) {
        std::fprintf(stderr, "orbo: invalid port %s\n", qPrintable(parser.value(port)));
        return 2;
    }
    if (parser.isSet(home))
        Sandbox::setHome(parser.value(home));
    if (!Sandbox::createFolders()) {
        std::fprintf(stderr, "orbo: cannot create the folders under %s\n", qPrintable(Sandbox::documentsPath()));
        return 1;
    }
    ZivoModel::appInit();
    QuitOnSignal quitOnSignal;

    NotificationCenter::defaultCenter().addObserver(&app, TransferNotify::serverMessage,
                                                    [](const Notification &notification) {
                                                        std::fputs(notification.object.toString().toUtf8().constData(),
                                                                   stderr);
                                                        std::fflush(stderr);
                                                    });
    int status = 0;
    {
        HTTPServer server;
        server.setType(QStringLiteral("_http._tcp."));
        server.setConnectionClass<MyHTTPConnection>();
        server.setDocumentRoot(Sandbox::documentsPath());
        server.setPort(quint16(portNumber));
        if (parser.isSet(address))
            server.setInterface(parser.value(address));
        if (parser.isSet(requireCode)) {
            const QString code = AccessCode::generate();
            server.setPassword(code);
            std::fprintf(stderr, "Access code: %s (any user name)\n", qPrintable(code));
        }
        AsyncSocketError error;
        if (!server.start(&error))
            status = 1;
        else
            status = app.exec();
        server.stop();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    UserDefaults::resetStandard();
    return status;
}
