#pragma once

#include <QtContainerFwd>

class QString;
class QUrl;

// The few calls the shell makes into particular screens, checked by the compiler.

// The settings screen reads its switches and rows again.
class SettingsReload
{
public:
    virtual ~SettingsReload() = default;
    virtual void reloadSettings() = 0;
};

// The folder list opens straight into the import folder on its next appearance.
class FolderListJump
{
public:
    virtual ~FolderListJump() = default;
    virtual void setGoSublistFlg(bool on) = 0;
};

// A song list follows the player: the row of the song that plays now is shown and
// selected, when the list shows that folder (or playlist).
class ListScrollTarget
{
public:
    virtual ~ListScrollTarget() = default;
    virtual void scrollToRow(int row, const QString &folderName) = 0;
};

// A list screen deletes a song the player was playing, and rebuilds its rows.
class SongFileDeleter
{
public:
    virtual ~SongFileDeleter() = default;
    // Whether the screen holds a list the song can be in (its rows were built).
    virtual bool holdsSongs() const = 0;
    virtual void delFileAtIndex(const QUrl &url) = 0;
};

// The screen that opened the song picker takes the ticked songs as playlist entries
// ("Rock/song.mp3", "/song.mp3"), in the picker's order.
class PlayListFilesReceiver
{
public:
    virtual ~PlayListFilesReceiver() = default;
    virtual void addPlayListFiles(const QStringList &entries) = 0;
};
