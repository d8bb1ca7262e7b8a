#pragma once

#include <QCommandLineOption>
#include <QList>

// `orbo --headless --transfer [--port N] [--address A] [--require-code] [--home DIR]`: the Wi-Fi transfer
// server on the home's Documents, without a display, until SIGINT or SIGTERM.
class HeadlessTransfer
{
public:
    HeadlessTransfer() = delete;

    static bool isRequested(int argc, char *argv[]);
    static int run(int argc, char *argv[]);
    // --headless, --transfer, --port, --address and --require-code, in that order (the window's
    // --help lists them too).
    static QList<QCommandLineOption> commandLineOptions();
};
