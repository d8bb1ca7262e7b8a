#include "PlaylistStore.h"

#include "SettingsKeys.h"
#include "ZivoModel.h"
#include "platform/FileManager.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>

PlaylistStore PlaylistStore::load()
{
    PlaylistStore store;
    store.m_playlists = UserDefaults::standard().dictionaryForKey(SettingsKeys::playlistfolderkey);
    return store;
}

QStringList PlaylistStore::entries(const QString &name) const
{
    // Anything but text in a playlist (a hand-edited settings file) is no entry.
    QStringList list;
    const QVariantList values = m_playlists.value(name).toList();
    list.reserve(values.size());
    for (const QVariant &value : values)
        if (value.typeId() == QMetaType::QString)
            list.append(value.toString());
    return list;
}

bool PlaylistStore::isUsableName(const QString &name)
{
    if (name.isEmpty() || name.front().isSpace() || name.back().isSpace() || !name.isValidUtf16())
        return false;
    for (const QChar c : name) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return false;
        default:
            break;
        }
    }
    return true;
}

PlaylistStore::Refusal PlaylistStore::refusalFor(const QString &name) const
{
    if (!isUsableName(name))
        return Refusal::InvalidName;
    if (m_playlists.contains(name))
        return Refusal::NameExists;
    return Refusal::None;
}

bool PlaylistStore::addPlaylist(const QString &name)
{
    if (refusalFor(name) != Refusal::None)
        return false;
    m_playlists.insert(name, QStringList());
    return save();
}

bool PlaylistStore::removePlaylists(const QStringList &names)
{
    for (const QString &name : names)
        m_playlists.remove(name);
    return save();
}

bool PlaylistStore::appendEntries(const QString &name, const QStringList &added)
{
    return setEntries(name, entries(name) + added);
}

int PlaylistStore::removeEntries(const QString &name, const QStringList &selected)
{
    QStringList list = entries(name);
    const qsizetype before = list.size();
    list.removeIf([&selected](const QString &entry) { return selected.contains(entry); });
    const int removed = int(before - list.size());
    setEntries(name, list);
    return removed;
}

int PlaylistStore::removeMissingEntries(const QString &name)
{
    QStringList list = entries(name);
    const qsizetype before = list.size();
    list.removeIf([](const QString &entry) { return !entryFileExists(entry); });
    const int removed = int(before - list.size());
    if (removed > 0)
        setEntries(name, list);
    return removed;
}

bool PlaylistStore::setEntries(const QString &name, const QStringList &list)
{
    m_playlists.insert(name, list);
    return save();
}

bool PlaylistStore::save() const
{
    UserDefaults &defaults = UserDefaults::standard();
    defaults.setObject(m_playlists, SettingsKeys::playlistfolderkey);
    return defaults.synchronize();
}

QString PlaylistStore::pathOfEntry(const QString &entry)
{
    return FileManager::appendingPathComponent(ZivoModel::getPathWithFolderName(ZivoModel::documentsFolderName), entry);
}

bool PlaylistStore::entryFileExists(const QString &entry)
{
    return QFileInfo::exists(pathOfEntry(entry));
}

QList<QUrl> PlaylistStore::urlsOfEntries(const QStringList &list)
{
    return ZivoModel::makeURLArrayWithFileNames(list, ZivoModel::getPathWithFolderName(ZivoModel::documentsFolderName));
}

void PlaylistStore::deleteSongFile(const QUrl &url)
{
    // An entry holding ".." (a hand-edited store) could otherwise name a file elsewhere
    // whose folder happens to share a name with one of the library's.
    const QString path = QDir::cleanPath(url.toLocalFile());
    const QString folder = ZivoModel::folderNameOfSong(url);
    const QString fileName = QFileInfo(path).fileName();
    if (QDir::cleanPath(FileManager::appendingPathComponent(ZivoModel::getPathWithFolderName(folder), fileName))
        == path)
        ZivoModel::deleteFile(folder, fileName);
}

QString PlaylistStore::fileNameOfEntry(const QString &entry)
{
    return entry.section(QLatin1Char('/'), -1);
}
