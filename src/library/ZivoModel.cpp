#include "ZivoModel.h"

#include "SettingsKeys.h"
#include "SongCache.h"
#include "TagReader.h"
#include "TextDecoder.h"
#include "UploadPartName.h"
#include "LibraryErrorReporter.h"
#include "platform/Bundle.h"
#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/Sandbox.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"

#include <QCollator>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QVariantMap>

#include <unicode/ucol.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>

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
    // Sub-folders list every entry, whatever its kind, but an upload still on its way.
    QStringList names = FileManager::contentsOfDirectory(path);
    names.removeIf([](const QString &name) { return UploadPartName::matches(name); });
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

namespace {
// ICU's root collation, case-insensitive (accents still count): the order of names when
// the locale has no collation of its own. Comparing with one collator from several
// threads is safe.
const UCollator *rootCollator()
{
    static const UCollator *const collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator *opened = ucol_open("", &status);
        if (U_FAILURE(status))
            return static_cast<UCollator *>(nullptr);
        ucol_setStrength(opened, UCOL_SECONDARY);
        return opened;
    }();
    return collator;
}
} // namespace

QStringList ZivoModel::folderSortToTopDocument(const QStringList &folderNames)
{
    QStringList sorted = folderNames;
    // The C locale of servers and containers has no collation: Qt would compare code
    // points there ("Eve, Zed, émile"), so the root collation stands in.
    const UCollator *root = QLocale().language() == QLocale::C ? rootCollator() : nullptr;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(sorted.begin(), sorted.end(), [&](const QString &a, const QString &b) {
        if (root)
            return ucol_strcoll(root, reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
                                reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size()))
                == UCOL_LESS;
        return collator.compare(a, b) < 0;
    });
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
    return fs::path(FileManager::fileSystemRepresentation(path).toStdString());
}

bool isWithin(const fs::path &inner, const fs::path &outer)
{
    auto o = outer.begin();
    auto i = inner.begin();
    for (; o != outer.end(); ++o, ++i)
        if (i == inner.end() || *o != *i)
            return false;
    return true;
}

// True when the path names an entry strictly inside the Documents folder: the folder
// holding it lies in Documents once links and ".." are resolved, and its own name is a
// real name (not "." or ".."). The entry itself is not followed, so a link in the library
// is removed or moved as a link, never as what it points to; a path that leads out of
// the library through a link is refused.
bool insideDocuments(const QString &path)
{
    std::error_code error;
    const fs::path documents = fs::weakly_canonical(toPath(Sandbox::documentsPath()), error);
    if (error)
        return false;
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const fs::path entry = toPath(trimmed);
    const fs::path name = entry.filename();
    if (name.empty() || name == "." || name == "..")
        return false;
    const fs::path folder = fs::weakly_canonical(entry.parent_path(), error);
    return !error && isWithin(folder, documents);
}

Q_LOGGING_CATEGORY(lcLibrary, "orbo.library")

// The operations that report nothing still say why they did nothing.
bool confined(const QString &path, const char *operation)
{
    if (insideDocuments(path))
        return true;
    qCWarning(lcLibrary).noquote() << operation << "refused:" << path
                                   << "does not lie inside the Documents folder (links resolved)";
    return false;
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

bool ZivoModel::isInsideDocuments(const QString &path)
{
    return insideDocuments(path);
}

bool ZivoModel::createDir(const QString &path)
{
    std::error_code error;
    if (QDir::cleanPath(path) == QDir::cleanPath(Sandbox::documentsPath()))
        return true; // always there: creating a folder that exists succeeds
    QString message;
    if (!isInsideDocuments(path)) {
        message = Translations::text("Folders can only be made inside the Documents folder.");
    } else {
        fs::create_directories(toPath(path), error);
        if (error)
            message = QString::fromStdString(error.message());
    }
    if (!message.isEmpty())
        reportError(Translations::text("Error"), message, Translations::text("OK"));
    return message.isEmpty();
}

void ZivoModel::deleteDir(const QString &givenPath)
{
    // "…/Documents/" names the same folder as "…/Documents".
    const QString path = QDir::cleanPath(givenPath);
    if (QFileInfo(path).fileName() == documentsFolderName) {
        // The root itself stays: only its songs go.
        const QString folder = QFileInfo(path).absoluteFilePath();
        for (const QString &name : getFileListAtFolder(documentsFolderName)) {
            const QString song = FileManager::appendingPathComponent(folder, name);
            if (confined(song, "deleteDir"))
                FileManager::removeItem(song);
        }
        return;
    }
    if (confined(path, "deleteDir"))
        FileManager::removeItem(path);
}

void ZivoModel::deleteFile(const QString &folderName, const QString &fileName)
{
    const QString path = FileManager::appendingPathComponent(getPathWithFolderName(folderName), fileName);
    if (!fileName.isEmpty() && confined(path, "deleteFile"))
        FileManager::removeItem(path);
}

bool ZivoModel::copyFileFrom(const QString &sourcePath, const QString &destinationPath)
{
    return confined(destinationPath, "copyFileFrom") && FileManager::copyItem(sourcePath, destinationPath);
}

bool ZivoModel::moveFileFrom(const QString &sourceFolder, const QString &destinationFolder, const QString &fileName)
{
    // Folder and file names are single path components: the cache names are built from them
    // too, and must stay inside the cache folder.
    const auto component = [](const QString &name) {
        return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
            && name != QLatin1String("..");
    };
    if (!component(sourceFolder) || !component(destinationFolder) || !component(fileName))
        return false;
    const QString from = FileManager::appendingPathComponent(getPathWithFolderName(sourceFolder), fileName);
    const QString to = FileManager::appendingPathComponent(getPathWithFolderName(destinationFolder), fileName);
    if (!confined(from, "moveFileFrom") || !confined(to, "moveFileFrom") || !FileManager::moveItem(from, to))
        return false;
    // The cached artwork moves with the song and the tag file is copied; each step fails
    // alone when its source is missing or its target exists. A song that stayed keeps its
    // cache: its artwork and tags must not be handed to another song of that name.
    FileManager::moveItem(SongCache::artworkFilePath(sourceFolder, fileName),
                          SongCache::artworkFilePath(destinationFolder, fileName));
    FileManager::moveItem(SongCache::fullArtworkFilePath(sourceFolder, fileName),
                          SongCache::fullArtworkFilePath(destinationFolder, fileName));
    FileManager::copyReplacedWholeFile(SongCache::tagFilePath(sourceFolder, fileName),
                                       SongCache::tagFilePath(destinationFolder, fileName));
    return true;
}
