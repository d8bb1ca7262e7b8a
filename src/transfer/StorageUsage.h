#pragma once

#include <QString>

// The storage line of the transfer screen: how much the library uses (a walk of Documents
// that never follows a link, every entry counted with its own size, folders included), and
// how much of the home folder's file system is free and in all.
class StorageUsage
{
public:
    StorageUsage() = delete;

    struct Figures
    {
        quint64 used = 0;
        quint64 free = 0;
        quint64 total = 0;
    };

    static Figures measure(const QString &homeFolder, const QString &documentsFolder);
    // The sum of the sizes of everything below the folder (not the folder itself).
    static quint64 usedBytes(const QString &folder);
    // Bytes times 1/1024 three times, in single precision.
    static float gigabytes(quint64 bytes);
    // "USED:1.2GB  FREE:30.0GB  TOTAL:64.0GB", with the words from the string table.
    static QString text(const Figures &figures);
};
