#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

// The playlists: one dictionary in the settings store (playlistfolderkey) from a playlist's
// name to its entries in play order. An entry names a song by its path under Documents:
// "Rock/song.mp3", or "/song.mp3" for a song in the root. Entries are only names: a
// moved or deleted song leaves its entry pointing at nothing until it is cleared.
//
// A PlaylistStore is a screen's working copy, read when the screen will appear. Every
// change writes the whole dictionary back and flushes the store to disk at once, so a
// change survives the program being killed right after it.
class PlaylistStore
{
public:
    // Why a new playlist's name is refused.
    enum class Refusal {
        None,
        // Empty, or not usable as a key as it stands (see isUsableName).
        InvalidName,
        // The store has that name already (compared exactly, case included).
        NameExists,
    };

    // The store as it is now; a missing value reads as an empty store.
    static PlaylistStore load();

    // The playlists' names, in the store's order (the dictionary's key order).
    QStringList names() const { return m_playlists.keys(); }
    int count() const { return int(m_playlists.size()); }
    bool contains(const QString &name) const { return m_playlists.contains(name); }
    QStringList entries(const QString &name) const;
    QVariantMap dictionary() const { return m_playlists; }

    // A name is usable when it is not empty, holds no control characters or line
    // separators, and neither starts nor ends with a blank: such names would not read
    // back as typed, or could not be told apart on screen.
    static bool isUsableName(const QString &name);
    Refusal refusalFor(const QString &name) const;

    // --- Changes: each writes the store and flushes it. False when the flush failed (the
    // change stays in the settings and is written with the next save). ---

    // A new, empty playlist; refused (false, nothing written) unless refusalFor is None.
    bool addPlaylist(const QString &name);
    // Removes the playlists (song files are never touched).
    bool removePlaylists(const QStringList &names);
    // Appends the entries in their order, duplicates included.
    bool appendEntries(const QString &name, const QStringList &entries);
    // Removes every entry equal to one of the selected ones; the number removed.
    int removeEntries(const QString &name, const QStringList &selected);
    // Removes the entries whose files are gone; the number removed (0: nothing written).
    int removeMissingEntries(const QString &name);

    // --- Entries and their files ---
    // The song file of an entry: Documents joined with the entry (a leading "/" adds nothing).
    static QString pathOfEntry(const QString &entry);
    static bool entryFileExists(const QString &entry);
    // One file URL per entry, in order (missing files included).
    static QList<QUrl> urlsOfEntries(const QStringList &entries);
    // The entry's file name: its last path component.
    static QString fileNameOfEntry(const QString &entry);
    // Deletes the song file at a playlist URL, when the URL names a file of the library
    // (in Documents or one of its folders) as it stands; anything else is left alone.
    static void deleteSongFile(const QUrl &url);

private:
    bool setEntries(const QString &name, const QStringList &entries);
    bool save() const;

    QVariantMap m_playlists;
};
