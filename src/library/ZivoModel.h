#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

// The library's operations: first-run defaults, folder and file listings of the
// Documents folder with their cache, and song lists and references. Stateless;
// listings read and write the settings store and are called on the main thread.
class LibraryErrorReporter;

class ZivoModel
{
public:
    ZivoModel() = delete;

    // --- start-up ---
    static void appInit();

    // --- folders and listings ---
    // The root's display name in lists, and its relative name in song references.
    static const QString documentsFolderName; // "Documents"
    static const QString rootRelativeName; // "/"

    static QString getPathWithFolderName(const QString &folderName);
    static QString folderRName(const QString &folderName);
    // The display name of the folder holding a song: "Documents" for the root.
    static QString folderNameOfSong(const QUrl &songUrl);
    static QStringList getFolderList();
    static QStringList getFolderListAtDocumentsNoCache();
    static QStringList getFileListAtFolder(const QString &folderName);
    static QStringList getFileListAtDocumentsNoCache();
    static QStringList listDirOnlyDir(const QString &path);
    static QStringList folderSortToTopDocument(const QStringList &folderNames);
    static QStringList indexTileSortName(const QStringList &names);

    // Entries the root listings never show.
    static bool isHiddenName(const QString &name);
    // "mp3" or "m4a", in any case.
    static bool isSongFileName(const QString &name);

    // --- song lists and references ---
    static QList<QUrl> makeURLArrayWithFileNames(const QStringList &fileNames, const QString &filePath);
    static QStringList makeFolderRNameAndFileNameWith(const QStringList &fileNames, const QString &folderNm);
    static QString removeCountString(const QString &title);

    // --- tags and text encoding ---
    // The song record of an "mp3" or "m4a" file (by extension, in any case); empty otherwise.
    static QVariantMap getFileInfoDicWithURL(const QUrl &url);
    // Tag text through the user's chosen encoding; the input itself when that fails.
    static QString convertEncodeWithString(const QString &text);
    // "mm:ss" of the seconds (hours are not shown).
    static QString getMusicDuration(float seconds);
    // "<n>kbps" from the player's settings dictionary, or "NoInfo".
    static QString getBitRateStr(const QVariant &settings);
    static const QString encoderBitRateKey; // "AVEncoderBitRateKey"

    // --- folder and file operations ---
    // Paths outside the Documents folder are refused: nothing is ever written or
    // removed outside the library.
    // True when the folder exists afterwards; a failure is also shown in an alert.
    static bool createDir(const QString &path);
    // True when the path names an entry strictly inside the Documents folder: the folder
    // holding it lies in Documents once links and ".." are resolved (the entry itself is not
    // followed, so a link is handled as a link).
    static bool isInsideDocuments(const QString &path);
    // Who tells the user about a failed folder creation (the shell); without one it is logged.
    static void setErrorReporter(LibraryErrorReporter *reporter);
    static void deleteDir(const QString &path);
    static void deleteFile(const QString &folderName, const QString &fileName);
    // True when the copy was made; an existing destination is left as it is (false).
    static bool copyFileFrom(const QString &sourcePath, const QString &destinationPath);
    // True when the song now lies in the destination folder. Nothing is ever replaced: a
    // name taken there (or a source that is gone) leaves both where they were. Only a song
    // that really moved takes its cached artwork along and gets a copy of its tag file.
    static bool moveFileFrom(const QString &sourceFolder, const QString &destinationFolder, const QString &fileName);

private:
    struct RootScan
    {
        QStringList folders;
        QStringList songs;
    };
    static RootScan scanDocuments();
};
