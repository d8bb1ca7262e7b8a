#pragma once

#include "library/UploadPartName.h"

#include <QByteArray>
#include <QString>

#include <memory>

// One file of an upload on its way into the library: written in the folder it is meant
// for, without a name where the file system allows (so that a killed process leaves
// nothing) or else under a hidden temporary name, and put in place only once it is whole
// and on disk. Removed with the object unless it was put in place. Failures leave errno set.
class UploadPartFile
{
public:
    static constexpr const char *kPrefix = UploadPartName::prefix;

    // Nothing, with errno set, when the folder takes no new file.
    static std::unique_ptr<UploadPartFile> create(const QString &directory);
    ~UploadPartFile();
    UploadPartFile(const UploadPartFile &) = delete;
    UploadPartFile &operator=(const UploadPartFile &) = delete;

    // Appends all the bytes or fails. A short write is a full disk (ENOSPC), which it
    // is; the next write would only say so.
    bool write(const char *data, qsizetype size);
    // Gives the file its temporary name and closes it: of the files of one upload, only
    // the one being written keeps a descriptor.
    bool park();
    // Brings the contents to the disk, with the permissions of a new file.
    bool sync();
    // Takes the name `target` in one step, replacing a file of that name.
    bool commit(const QString &target);

    static bool isTemporaryName(const QString &fileName);
    // Removes what uploads cut off by a kill left behind, in `root` and its folders.
    static void removeStale(const QString &root);
    // Errors that mean the disk (or the space this process may use) is full.
    static bool isNoSpace(int error);

private:
    UploadPartFile(QByteArray directory, QByteArray path, int descriptor);
    bool giveName();

    const QByteArray m_directory;
    QByteArray m_path; // empty while the file has no name
    int m_descriptor = -1;
    bool m_committed = false;
};
