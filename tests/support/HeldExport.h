#pragma once

#include "platform/AssetExportSession.h"

#include <QSemaphore>
#include <QString>

#include <atomic>

// Holds an export on its own thread at one of its packets until the test lets it go: the
// export of a source whose path ends so, at its atPacket-th packet (the first unless told).
// `reached` is released once it holds; `go` lets it go on. Undone (and waited for) at the end.
struct HeldExport
{
    explicit HeldExport(const QString &sourceEnding = QString(), int atPacket = 1)
    {
        AssetExportSession::setPacketHook([this, sourceEnding, atPacket](const QString &source) {
            if (source.endsWith(sourceEnding) && ++packets >= atPacket && !held.exchange(true)) {
                reached.release();
                go.acquire();
            }
        });
    }
    ~HeldExport()
    {
        go.release(1000);
        AssetExportSession::setPacketHook(nullptr);
        AssetExportSession::waitForExports(20000);
    }
    HeldExport(const HeldExport &) = delete;
    HeldExport &operator=(const HeldExport &) = delete;

    std::atomic<bool> held{false};
    std::atomic<int> packets{0};
    QSemaphore reached;
    QSemaphore go;
};
