#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// The names an upload may give: a file name that is one safe path component, and a folder
// of Documents to put the file in. The same rules decide what the upload page offers.
class UploadNames
{
public:
    UploadNames() = delete;

    // Name bytes from a client as text; nothing when they are not valid UTF-8 (a name
    // with U+FFFD in place of its bytes would name another file than the one sent).
    static std::optional<QString> decode(QByteArrayView bytes);

    // The name a file is stored under; empty when it must be refused. Only a full Windows
    // path ("C:\...\x.mp3", "\\server\share\x.mp3", as old browsers send) is cut to its last
    // piece: elsewhere a backslash belongs to the name. A slash always starts a new piece.
    static QString fileName(const QString &sent);

    // One path component that may name a file or folder in Documents: not empty, no
    // leading dot, at most 255 bytes, no separator, no control character (C0, DEL, C1),
    // no bidirectional override or isolate, not one of the library's hidden names.
    static bool isAllowedComponent(const QString &name);
    // No control character (C0, DEL, C1) and no bidirectional override or isolate.
    static bool isPrintable(const QString &name);

    // The folder an upload names ("/" or "" for the root), decided before a byte is written.
    struct Folder
    {
        QString directory; // the folder's path; empty when refused
        int status = 0; // when refused: 400 for a name that is not allowed, 404 for no such folder
        QString refusal;
    };
    static Folder folder(const QString &root, const QString &value);

    // The folders of `root` that an upload accepts, in listing order.
    static QStringList uploadFolders(const QString &root);
};
