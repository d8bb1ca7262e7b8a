#pragma once

#include "transfer/UploadPartFile.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QObject;

// Puts the files of one upload in place, off the event loop: each file is flushed to disk
// before the first one takes its name (a full disk or an I/O error refuses the whole
// upload rather than half of it), then the names are taken and the folders flushed too.
class UploadCommit
{
public:
    struct Item
    {
        std::unique_ptr<UploadPartFile> file;
        QString directory;
        QString name;
    };
    struct Result
    {
        QStringList stored; // the names really in place, in order
        int status = 0; // 0, or the failure's status and text
        QString message;
    };

    explicit UploadCommit(std::vector<Item> items) : m_items(std::move(items)) {}

    // Runs on a worker thread; `done` gets the result on `context`'s thread, unless
    // `context` is gone by then (the files are in place all the same).
    static void start(std::unique_ptr<UploadCommit> commit, QObject *context, std::function<void(Result)> done);
    // The work itself, on the calling thread.
    Result run();

    // Runs on the worker before anything is flushed. Lets a test hold a commit half-way.
    static void setWorkerGate(std::function<void()> gate);

private:
    std::vector<Item> m_items;
};
