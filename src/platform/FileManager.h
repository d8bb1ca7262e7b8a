#pragma once

#include "Date.h"

#include <QString>
#include <QStringList>

#include <optional>

#include <sys/types.h>

// The few file-system queries the library listing needs, without Qt's sorting or
// caching in between: names come in the order the directory returns them.
class FileManager
{
public:
    FileManager() = delete;

    // Entry names (hidden ones included) in directory order; empty when unreadable.
    static QStringList contentsOfDirectory(const QString &path);
    // True for a directory or a link to one.
    static bool isDirectory(const QString &path);
    // The modification date at the file system's precision; nothing if the path cannot be read.
    static std::optional<Date> modificationDate(const QString &path);

    // Joins a path and a name with exactly one separator.
    static QString appendingPathComponent(const QString &path, const QString &component);

    // The process's file creation mask (read once, without changing it).
    static mode_t processUmask();
    // Flushes a folder's entries to the disk, so new names survive a power cut.
    static void flushFolder(const QString &path);
};
