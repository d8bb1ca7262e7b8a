#include "ZivoModel.h"

#include "SettingsKeys.h"
#include "platform/Bundle.h"
#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"

#include <QCollator>
#include <QFileInfo>
#include <QVariantMap>

#include <algorithm>

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
