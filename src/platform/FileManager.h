#pragma once

#include "Date.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <optional>

class QFile;

// The file-system calls of the library, without Qt's sorting or caching in between:
// names come in the order the directory returns them.
//
// File names are bytes, and a library copied from an old system holds names that are
// not UTF-8 (EUC-KR or Shift_JIS bytes, say). The program keeps every name as text:
// valid UTF-8 reads as its characters, and each byte that is not part of valid UTF-8
// reads as one private-use character, U+EF80 to U+EFFF for the bytes 0x80 to 0xFF (the
// bytes of a name that spells one of those characters in UTF-8 are escaped alike). On
// the way back every such character becomes its byte again, so a name read from disk
// always names the same file. Every path that reaches the system goes through
// fileSystemRepresentation; QFile::encodeName and Qt's own file classes would turn
// the escapes into different bytes.
class FileManager
{
public:
    FileManager() = delete;

    static QByteArray fileSystemRepresentation(const QString &path);
    static QString stringWithFileSystemRepresentation(const QByteArray &bytes);

    // Entry names (hidden ones included) in directory order; empty when unreadable.
    static QStringList contentsOfDirectory(const QString &path);
    // True for a directory or a link to one.
    static bool isDirectory(const QString &path);
    // True for a regular file or a link to one (not a pipe, socket or device).
    static bool isRegularFile(const QString &path);
    // True when the entry exists; a link counts, wherever it points.
    static bool fileExists(const QString &path);
    // The modification date at the file system's precision; nothing if the path cannot be read.
    static std::optional<Date> modificationDate(const QString &path);
    // The path with every link and "." or ".." resolved; empty when it does not exist.
    static QString canonicalPath(const QString &path);

    // Opens the file on a descriptor of its own (reading, or writing with Truncate and
    // Append as asked; a missing file is created for writing).
    static bool openFile(QFile &file, const QString &path, QIODevice::OpenMode mode);

    // Moves a file or folder, never replacing an existing target. Between file systems,
    // where rename() cannot go, a file is copied beside its target, flushed, put in place
    // and only then removed from its old place.
    static bool moveItem(const QString &from, const QString &to);
    // Copies a file or a folder with everything in it, never replacing an existing
    // target; a copy that fails half-way is removed.
    static bool copyItem(const QString &from, const QString &to);
    // Removes a file, or a folder with everything in it. A link is removed itself,
    // never what it points to.
    static bool removeItem(const QString &path);

    // The rename step of moveItem, for tests that need it to report a move between file
    // systems (EXDEV) without a second file system. Null restores the system's.
    using RenameCall = int (*)(const char *from, const char *to);
    static void setRenameCall(RenameCall call);

    // Joins a path and a name with exactly one separator.
    static QString appendingPathComponent(const QString &path, const QString &component);

    // The process's file creation mask (read once, without changing it).
    static mode_t processUmask();
    // Flushes a folder's entries to the disk, so new names survive a power cut.
    static void flushFolder(const QString &path);
};
