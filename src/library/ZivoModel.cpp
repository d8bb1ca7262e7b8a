#include "ZivoModel.h"

#include "SettingsKeys.h"
#include "SongCache.h"
#include "TagReader.h"
#include "TextDecoder.h"
#include "LibraryErrorReporter.h"
#include "platform/Bundle.h"
#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/Sandbox.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"

#include <QCollator>
#include <QDebug>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QVariantMap>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <filesystem>

#include <fcntl.h>
#include <stdio.h>

namespace {
const QString kFolderModifyDate = QStringLiteral("foldermodifydate");
const QString kFolderFileList = QStringLiteral("folderfilelist");

QString cacheKey(const QString &folderName)
{
    return SettingsKeys::folderListCachePrefix + folderName;
}

QVariant dateValue(const Date &date)
{
    return QVariant::fromValue(date);
}

void storeFileList(const QString &folderName, const Date &date, const QStringList &names)
{
    UserDefaults::standard().setObject(QVariantMap{{kFolderModifyDate, dateValue(date)}, {kFolderFileList, names}},
                                       cacheKey(folderName));
}
} // namespace

const QString ZivoModel::documentsFolderName = QStringLiteral("Documents");
const QString ZivoModel::rootRelativeName = QStringLiteral("/");

void ZivoModel::appInit()
{
    using namespace SettingsKeys;
    UserDefaults &defaults = UserDefaults::standard();
    if (!defaults.objectForKey(appinitkey).isValid()) {
        defaults.setObject(QStringLiteral("1"), appsettingplaymodekey);
        defaults.setObject(QStringLiteral("0"), appsettingloopmodekey);
        defaults.setObject(QVariantMap(), playlistfolderkey);
        const QString version = Bundle::version();
        defaults.setObject(version, appinitkey);
        defaults.setObject(version, reviewDontShowVerKey);
        defaults.setObject(QVariantList{dateValue(Date::now())}, folderlistkey);
        defaults.synchronize();
    }
    if (!defaults.objectForKey(selectedEncodingNumberKey).isValid()) {
        defaults.setObject(QVariant::fromValue<qlonglong>(4), selectedEncodingNumberKey);
        defaults.setObject(QStringLiteral("Unicode\u2122 (UTF-8)"), selectedEncodingNameKey);
    }
}

QString ZivoModel::getPathWithFolderName(const QString &folderName)
{
    const QString documents = Sandbox::documentsPath();
    return folderName == documentsFolderName ? documents : FileManager::appendingPathComponent(documents, folderName);
}

QString ZivoModel::folderNameOfSong(const QUrl &songUrl)
{
    const QFileInfo song(songUrl.toLocalFile());
    if (QDir::cleanPath(song.absolutePath()) == QDir::cleanPath(Sandbox::documentsPath()))
        return documentsFolderName;
    return song.dir().dirName();
}

QString ZivoModel::folderRName(const QString &folderName)
{
    return folderName == documentsFolderName ? rootRelativeName : folderName;
}

bool ZivoModel::isHiddenName(const QString &name)
{
    return name == QLatin1String("___Uploader") || name == QLatin1String("CIC");
}

bool ZivoModel::isSongFileName(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == QLatin1String("mp3") || suffix == QLatin1String("m4a");
}

ZivoModel::RootScan ZivoModel::scanDocuments()
{
    const QString documents = Sandbox::documentsPath();
    const std::optional<Date> date = FileManager::modificationDate(documents);
    RootScan scan{{documentsFolderName}, {}};
    for (const QString &name : FileManager::contentsOfDirectory(documents)) {
        if (isHiddenName(name))
            continue;
        if (FileManager::isDirectory(FileManager::appendingPathComponent(documents, name)))
            scan.folders.append(name);
        else if (isSongFileName(name))
            scan.songs.append(name);
    }
    // Without a date there is nothing to validate a cache entry against.
    if (date) {
        QVariantList folderList{dateValue(*date)};
        for (const QString &folder : scan.folders)
            folderList.append(folder);
        UserDefaults::standard().setObject(folderList, SettingsKeys::folderlistkey);
        storeFileList(documentsFolderName, *date, scan.songs);
    }
    return scan;
}

QStringList ZivoModel::getFolderListAtDocumentsNoCache()
{
    return scanDocuments().folders;
}

QStringList ZivoModel::getFileListAtDocumentsNoCache()
{
    return scanDocuments().songs;
}

QStringList ZivoModel::getFolderList()
{
    const QVariantList cached = UserDefaults::standard().arrayForKey(SettingsKeys::folderlistkey);
    const std::optional<Date> date = FileManager::modificationDate(Sandbox::documentsPath());
    if (date && !cached.isEmpty() && cached.first() == dateValue(*date)) {
        QStringList folders;
        folders.reserve(cached.size() - 1);
        for (auto it = std::next(cached.cbegin()); it != cached.cend(); ++it)
            folders.append(it->toString());
        return folders;
    }
    return getFolderListAtDocumentsNoCache();
}

QStringList ZivoModel::getFileListAtFolder(const QString &folderName)
{
    const QVariantMap entry = UserDefaults::standard().dictionaryForKey(cacheKey(folderName));
    const QString path = getPathWithFolderName(folderName);
    const std::optional<Date> date = FileManager::modificationDate(path);
    if (!date)
        return {};
    if (entry.value(kFolderModifyDate) == dateValue(*date))
        return entry.value(kFolderFileList).toStringList();
    if (folderName == documentsFolderName)
        return getFileListAtDocumentsNoCache();
    // Sub-folders list every entry, whatever its kind.
    const QStringList names = FileManager::contentsOfDirectory(path);
    storeFileList(folderName, *date, names);
    return names;
}

QStringList ZivoModel::listDirOnlyDir(const QString &path)
{
    QStringList folders;
    for (const QString &name : FileManager::contentsOfDirectory(path))
        if (!isHiddenName(name) && FileManager::isDirectory(FileManager::appendingPathComponent(path, name)))
            folders.append(name);
    return folders;
}

QStringList ZivoModel::folderSortToTopDocument(const QStringList &folderNames)
{
    QStringList sorted = folderNames;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    const qsizetype at = sorted.indexOf(documentsFolderName);
    if (at > 0)
        sorted.move(at, 0);
    return sorted;
}

QStringList ZivoModel::indexTileSortName(const QStringList &names)
{
    QStringList titles;
    titles.reserve(names.size());
    for (const QString &name : names) {
        const QString composed = name.normalized(QString::NormalizationForm_KC);
        titles.append(composed.size() >= 3 ? QStringLiteral("%1..").arg(composed.left(2)) : composed);
    }
    return titles;
}

QList<QUrl> ZivoModel::makeURLArrayWithFileNames(const QStringList &fileNames, const QString &filePath)
{
    QList<QUrl> urls;
    urls.reserve(fileNames.size());
    for (const QString &name : fileNames)
        urls.append(QUrl::fromLocalFile(FileManager::appendingPathComponent(filePath, name)));
    return urls;
}

QStringList ZivoModel::makeFolderRNameAndFileNameWith(const QStringList &fileNames, const QString &folderNm)
{
    const QString relative = folderRName(folderNm);
    QStringList references;
    references.reserve(fileNames.size());
    for (const QString &name : fileNames)
        references.append(FileManager::appendingPathComponent(relative, name));
    return references;
}

QString ZivoModel::removeCountString(const QString &title)
{
    if (title.isEmpty())
        return QStringLiteral("");
    const QString separator = QStringLiteral(" [");
    const QString last = title.split(separator).last();
    QString result = title;
    return result.remove(separator + last);
}

// --- tags and text encoding ---

const QString ZivoModel::encoderBitRateKey = QStringLiteral("AVEncoderBitRateKey");

QVariantMap ZivoModel::getFileInfoDicWithURL(const QUrl &url)
{
    const QString suffix = QFileInfo(url.path()).suffix().toLower();
    if (suffix == QLatin1String("mp3"))
        return TagReader::read(url.toLocalFile(), TagReader::Kind::Mp3);
    if (suffix == QLatin1String("m4a"))
        return TagReader::read(url.toLocalFile(), TagReader::Kind::M4a);
    return {};
}

QString ZivoModel::convertEncodeWithString(const QString &text)
{
    // Text beyond Latin-1 anywhere, even after a NUL, was already decoded by the tag reader.
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; }))
        return text;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() == 0)
            break;
        bytes.append(char(c.unicode()));
    }
    const quint32 encoding =
        quint32(UserDefaults::standard().objectForKey(SettingsKeys::selectedEncodingNumberKey).toLongLong());
    return TextDecoder::decode(bytes, encoding).value_or(text);
}

QString ZivoModel::getMusicDuration(float seconds)
{
    // Truncation toward zero; values a 32-bit integer cannot hold are clamped, not undefined.
    qint32 total = 0;
    if (std::isfinite(seconds))
        total = qint32(std::clamp(double(seconds), double(INT32_MIN), double(INT32_MAX)));
    auto twoDigits = [](qint32 value) {
        const QString text = QString::number(value);
        return value <= 9 ? QStringLiteral("0") + text : text;
    };
    return QStringLiteral("%1:%2").arg(twoDigits((total / 60) % 60), twoDigits(total % 60));
}

QString ZivoModel::getBitRateStr(const QVariant &settings)
{
    const QVariantMap map = settings.toMap();
    if (!settings.isValid() || !map.contains(encoderBitRateKey))
        return QStringLiteral("NoInfo");
    const float value = map.value(encoderBitRateKey).toFloat();
    qint32 rate = std::isfinite(value) ? qint32(std::clamp(double(value), double(INT32_MIN), double(INT32_MAX))) : 0;
    if (value >= 1000)
        rate /= 1000;
    return QStringLiteral("%1kbps").arg(rate);
}

// --- folder and file operations ---

namespace {
namespace fs = std::filesystem;

fs::path toPath(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

bool pathExists(const fs::path &path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

// rename() that never replaces an existing target.
bool moveNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: check first (a narrow race, same user only).
    return !pathExists(toPath(to)) && ::rename(source.constData(), target.constData()) == 0;
}

// Copies a file or a folder; never overwrites, and removes a half-made copy on failure.
bool copyNoReplace(const QString &from, const QString &to)
{
    const fs::path source = toPath(from);
    const fs::path target = toPath(to);
    std::error_code error;
    if (pathExists(target) || !pathExists(source))
        return false;
    fs::copy(source, target, fs::copy_options::recursive, error);
    if (error) {
        std::error_code ignored;
        fs::remove_all(target, ignored);
        return false;
    }
    return true;
}
} // namespace

namespace {
LibraryErrorReporter *&errorReporter()
{
    static LibraryErrorReporter *reporter = nullptr;
    return reporter;
}

void reportError(const QString &title, const QString &message, const QString &button)
{
    if (LibraryErrorReporter *reporter = errorReporter())
        reporter->reportError(title, message, button);
    else
        qWarning().noquote() << title << "-" << message;
}
} // namespace

void ZivoModel::setErrorReporter(LibraryErrorReporter *reporter)
{
    errorReporter() = reporter;
}

// True when the path lies strictly inside the Documents folder (symbolic links and ".."
// resolved), so that no name or path can reach anything else.
bool ZivoModel::isInsideDocuments(const QString &path)
{
    std::error_code error;
    const fs::path documents = fs::weakly_canonical(toPath(Sandbox::documentsPath()), error);
    if (error)
        return false;
    const fs::path target = fs::weakly_canonical(toPath(path), error);
    if (error || target == documents)
        return false;
    auto d = documents.begin();
    auto t = target.begin();
    for (; d != documents.end(); ++d, ++t)
        if (t == target.end() || *d != *t)
            return false;
    return t != target.end();
}

bool ZivoModel::createDir(const QString &path)
{
    std::error_code error;
    if (QDir::cleanPath(path) == QDir::cleanPath(Sandbox::documentsPath()))
        return true; // always there: creating a folder that exists succeeds
    if (!isInsideDocuments(path))
        error = std::make_error_code(std::errc::permission_denied);
    else
        fs::create_directories(toPath(path), error);
    if (error)
        reportError(Translations::text("Error"), QString::fromStdString(error.message()), Translations::text("OK"));
    return !error;
}

void ZivoModel::deleteDir(const QString &givenPath)
{
    // "…/Documents/" names the same folder as "…/Documents".
    const QString path = QDir::cleanPath(givenPath);
    std::error_code error;
    if (QFileInfo(path).fileName() == documentsFolderName) {
        // The root itself stays: only its songs go.
        const QString folder = QFileInfo(path).absoluteFilePath();
        for (const QString &name : getFileListAtFolder(documentsFolderName)) {
            const QString song = FileManager::appendingPathComponent(folder, name);
            if (isInsideDocuments(song))
                fs::remove_all(toPath(song), error);
        }
        return;
    }
    if (isInsideDocuments(path))
        fs::remove_all(toPath(path), error);
}

void ZivoModel::deleteFile(const QString &folderName, const QString &fileName)
{
    const QString path = FileManager::appendingPathComponent(getPathWithFolderName(folderName), fileName);
    std::error_code error;
    if (!fileName.isEmpty() && isInsideDocuments(path))
        fs::remove_all(toPath(path), error);
}

void ZivoModel::copyFileFrom(const QString &sourcePath, const QString &destinationPath)
{
    if (isInsideDocuments(destinationPath))
        copyNoReplace(sourcePath, destinationPath);
}

void ZivoModel::moveFileFrom(const QString &sourceFolder, const QString &destinationFolder, const QString &fileName)
{
    // Folder and file names are single path components: the cache names are built from them
    // too, and must stay inside the cache folder.
    const auto component = [](const QString &name) {
        return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
            && name != QLatin1String("..");
    };
    if (!component(sourceFolder) || !component(destinationFolder) || !component(fileName))
        return;
    const QString from = FileManager::appendingPathComponent(getPathWithFolderName(sourceFolder), fileName);
    const QString to = FileManager::appendingPathComponent(getPathWithFolderName(destinationFolder), fileName);
    if (isInsideDocuments(from) && isInsideDocuments(to))
        moveNoReplace(from, to);
    // The cached artwork moves with the song and the tag file is copied, whatever became
    // of the move itself; each step fails alone when its source is missing or its target exists.
    moveNoReplace(SongCache::artworkFilePath(sourceFolder, fileName),
                  SongCache::artworkFilePath(destinationFolder, fileName));
    moveNoReplace(SongCache::fullArtworkFilePath(sourceFolder, fileName),
                  SongCache::fullArtworkFilePath(destinationFolder, fileName));
    copyNoReplace(SongCache::tagFilePath(sourceFolder, fileName), SongCache::tagFilePath(destinationFolder, fileName));
}
