#include "MediaLibrary.h"

#include "MediaFileTags.h"
#include "Sandbox.h"

#include <QCollator>
#include <QDataStream>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

QString &defaultFolderSetting()
{
    static QString folder;
    return folder;
}

constexpr quint32 kIndexMagic = 0x4f4d4c49; // "OMLI"
constexpr quint32 kIndexVersion = 1;

void writeOptional(QDataStream &out, const std::optional<QString> &text)
{
    out << bool(text) << text.value_or(QString());
}

std::optional<QString> readOptional(QDataStream &in)
{
    bool present = false;
    QString text;
    in >> present >> text;
    return present ? std::optional<QString>(text) : std::nullopt;
}

bool isSongFile(const fs::path &path)
{
    const QString name = QFile::decodeName(path.filename().native().c_str());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && MediaLibrary::songSuffixes().contains(name.mid(dot + 1).toLower());
}

MediaItem readItem(const QString &path, qint64 size, qint64 modifiedNs)
{
    const MediaFileTags tags = MediaFileTags::read(path);
    MediaItem item;
    item.path = path;
    item.title = tags.title;
    item.artist = tags.artist;
    item.albumTitle = tags.album;
    // Songs bought with copy protection keep it in this extension; their audio is encrypted.
    item.isProtected = path.endsWith(QLatin1String(".m4p"), Qt::CaseInsensitive);
    item.fileSize = size;
    item.modifiedNs = modifiedNs;
    return item;
}

} // namespace

void MediaLibrary::setDefaultFolder(const QString &folder)
{
    defaultFolderSetting() = folder;
}

QString MediaLibrary::defaultFolder()
{
    if (!defaultFolderSetting().isEmpty())
        return defaultFolderSetting();
    return QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
}

const QStringList &MediaLibrary::songSuffixes()
{
    static const QStringList suffixes = {QStringLiteral("mp3"),  QStringLiteral("m4a"), QStringLiteral("m4p"),
                                         QStringLiteral("flac"), QStringLiteral("ogg"), QStringLiteral("oga"),
                                         QStringLiteral("opus"), QStringLiteral("wav")};
    return suffixes;
}

QString MediaLibrary::indexPath()
{
    return Sandbox::cachesPath() + QStringLiteral("/musicLibrary.index");
}

MediaLibrary::MediaLibrary(QObject *parent) : QObject(parent), m_folder(defaultFolder())
{}

MediaLibrary::~MediaLibrary()
{
    m_stopping = true;
    m_queue.waitForIdle();
}

void MediaLibrary::setFolder(const QString &folder)
{
    if (folder == m_folder)
        return;
    m_folder = folder;
    m_items.clear();
    m_loaded = false;
    emit itemsChanged();
}

void MediaLibrary::refresh()
{
    if (m_scanning) {
        m_refreshPending = true;
        return;
    }
    m_scanning = true;
    m_refreshPending = false;
    const QString folder = m_folder;
    const QString indexFile = indexPath();
    const QList<MediaItem> known = m_items;
    const bool loaded = m_loaded;
    m_queue.async([this, folder, indexFile, known, loaded] {
        QList<MediaItem> base = known;
        if (!loaded) {
            // The index of the last run shows at once; the walk below then checks it.
            if (std::optional<QList<MediaItem>> indexed = readIndex(indexFile, folder)) {
                base = *indexed;
                deliver(folder, base, false, 0);
            }
        }
        const Scan found = scan(folder, base, &m_stopping);
        if (!found.complete)
            return; // the library is going away
        if (found.items != base || !loaded)
            writeIndex(indexFile, folder, found.items);
        deliver(folder, found.items, true, found.filesRead);
    });
}

void MediaLibrary::deliver(const QString &folder, const QList<MediaItem> &items, bool finished, int filesRead)
{
    QMetaObject::invokeMethod(
        &m_mainContext,
        [this, folder, items, finished, filesRead] {
            if (folder == m_folder && (items != m_items || !m_loaded)) {
                m_items = items;
                m_loaded = true;
                emit itemsChanged();
            }
            if (!finished)
                return;
            m_scanning = false;
            if (folder == m_folder) {
                m_lastFilesRead = filesRead;
                emit scanFinished();
            }
            // Asked again meanwhile, or the folder changed under the scan: look once more.
            if (m_refreshPending || folder != m_folder)
                refresh();
        },
        Qt::QueuedConnection);
}

MediaLibrary::Scan MediaLibrary::scan(const QString &folder, const QList<MediaItem> &known,
                                      const std::atomic<bool> *stop)
{
    Scan result;
    QHash<QString, const MediaItem *> byPath;
    byPath.reserve(known.size());
    for (const MediaItem &item : known)
        byPath.insert(item.path, &item);

    std::error_code error;
    // Links to folders are not followed: a link back up the tree would never end.
    fs::recursive_directory_iterator it(fs::path(QFile::encodeName(folder).toStdString()),
                                        fs::directory_options::skip_permission_denied, error);
    const fs::recursive_directory_iterator end;
    for (; !error && it != end; it.increment(error)) {
        if (stop && stop->load()) {
            result.complete = false;
            return result;
        }
        const fs::path &path = it->path();
        // Hidden files and folders (a trash, resource forks "._song.mp3") are no songs.
        if (path.filename().native().starts_with('.')) {
            std::error_code ignored;
            if (it->is_directory(ignored))
                it.disable_recursion_pending();
            continue;
        }
        if (!isSongFile(path))
            continue;
        struct stat status = {};
        if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        const qint64 size = status.st_size;
        const qint64 modifiedNs = qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
        const QString filePath = QFile::decodeName(path.c_str());
        const MediaItem *before = byPath.value(filePath);
        if (before && before->fileSize == size && before->modifiedNs == modifiedNs) {
            result.items.append(*before);
        } else {
            result.items.append(readItem(filePath, size, modifiedNs));
            ++result.filesRead;
        }
    }
    sortItems(result.items);
    return result;
}

void MediaLibrary::sortItems(QList<MediaItem> &items)
{
    // The "C" locale has no collation of its own (it compares code points, whatever the
    // options): people's names and titles then sort as in English.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    struct Keyed
    {
        bool noArtist;
        QCollatorSortKey artist;
        QCollatorSortKey title;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i) {
        const MediaItem &item = items.at(i);
        keyed.push_back({!item.artist, collator.sortKey(item.artist.value_or(QString())),
                         collator.sortKey(item.displayTitle()), i});
    }
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) {
        if (a.noArtist != b.noArtist)
            return b.noArtist;
        if (const int byArtist = a.artist.compare(b.artist))
            return byArtist < 0;
        if (const int byTitle = a.title.compare(b.title))
            return byTitle < 0;
        return items.at(a.index).path < items.at(b.index).path;
    });
    QList<MediaItem> sorted;
    sorted.reserve(items.size());
    for (const Keyed &k : keyed)
        sorted.append(std::move(items[k.index]));
    items = std::move(sorted);
}

bool MediaLibrary::writeIndex(const QString &indexFile, const QString &folder, const QList<MediaItem> &items)
{
    QSaveFile file(indexFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_4);
    out << kIndexMagic << kIndexVersion << folder << quint32(items.size());
    for (const MediaItem &item : items) {
        out << item.path;
        writeOptional(out, item.title);
        writeOptional(out, item.artist);
        writeOptional(out, item.albumTitle);
        out << item.isProtected << item.fileSize << item.modifiedNs;
    }
    return out.status() == QDataStream::Ok && file.commit();
}

std::optional<QList<MediaItem>> MediaLibrary::readIndex(const QString &indexFile, const QString &folder)
{
    QFile file(indexFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0, version = 0, count = 0;
    QString indexedFolder;
    in >> magic >> version >> indexedFolder >> count;
    if (in.status() != QDataStream::Ok || magic != kIndexMagic || version != kIndexVersion || indexedFolder != folder)
        return std::nullopt;
    QList<MediaItem> items;
    // A damaged count cannot make us reserve more than the file could hold.
    items.reserve(qsizetype(std::min<quint64>(count, quint64(file.size() / 16))));
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        MediaItem item;
        in >> item.path;
        item.title = readOptional(in);
        item.artist = readOptional(in);
        item.albumTitle = readOptional(in);
        in >> item.isProtected >> item.fileSize >> item.modifiedNs;
        items.append(std::move(item));
    }
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return items;
}
