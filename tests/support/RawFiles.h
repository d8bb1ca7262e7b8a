#pragma once

#include <QByteArray>

// Files made and read by their exact name bytes, with plain system calls, the way other
// programs leave names that are not UTF-8 (Qt's file classes would change such names).
class RawFiles
{
public:
    RawFiles() = delete;

    // Creates the file (never replacing one) with the contents.
    static bool write(const QByteArray &path, const QByteArray &contents);
    // The contents, or "<missing>".
    static QByteArray read(const QByteArray &path);
    // True when the entry exists (a link counts, wherever it points).
    static bool exists(const QByteArray &path);
};
