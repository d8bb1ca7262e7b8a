#pragma once

#include <QString>

// The file name an imported song takes in the import folder: "<title>-<artist>.m4a".
// Tag text can hold anything, so the name is reduced to one safe path component: "/" and
// control characters become "_", dots and spaces at the ends go (no hidden file, no ".."),
// a title that leaves nothing falls back to the source file's name, and the name is
// shortened to the file system's limit keeping its extension. A name that is already safe
// is kept exactly.
class ImportTargetName
{
public:
    ImportTargetName() = delete;

    // Longest file name in bytes (NAME_MAX on Linux file systems).
    static constexpr int kMaxNameBytes = 255;
    static constexpr const char *kExtension = "m4a";

    // title and artist as the library item has them (a null string: the item has none);
    // sourcePath: the song file the item stands for.
    static QString fileName(const QString &title, const QString &artist, const QString &sourcePath);
};
