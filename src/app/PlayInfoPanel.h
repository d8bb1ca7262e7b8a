#pragma once

#include <QHash>
#include <QList>
#include <QUrl>

class QString;
class QWidget;

// What the shell and the list screens ask of the now-playing panel. The panel (with the
// only audio player) implements it; until it is installed the shell routes player
// commands nowhere.
class PlayInfoPanel
{
public:
    virtual ~PlayInfoPanel() = default;
    virtual QWidget *panelView() = 0;
    virtual bool isPlaying() const = 0;
    // 0 folder, 1 playlist, 2 all songs.
    virtual int playListMode() const = 0;
    // True once a song has been loaded into the player.
    virtual bool hasAudioURL() const = 0;
    virtual void playMusicNext() = 0;
    virtual void playMusicPrev() = 0;
    virtual void playMusicNextUi() = 0;
    virtual void playMusicPrevUi() = 0;
    virtual void playOrPauseMusic() = 0;
    virtual void pauseMusic() = 0;
    virtual void curFileDel() = 0;
    virtual void scrollLabelRestart() = 0;
    virtual void setCurrentEncodingText(const QString &name) = 0;

    // Starting a list: set the songs, the index, the mode and the title (in any order), then
    // curURLSet() and playMusic().
    virtual void setMusicURLArray(const QList<QUrl> &urls) = 0;
    virtual void setMusicURLArrayIndex(int index) = 0;
    virtual void setPlayListMode(int mode) = 0;
    virtual void setCurFolderD(const QString &title) = 0;
    virtual void curURLSet() = 0;
    virtual void playMusic() = 0;
    // The song being played (empty before the first).
    virtual QUrl curURL() const = 0;
    // Songs of the library were moved (old URL to new URL) or deleted. The list follows the
    // moved songs and drops those that are gone; when the song being played is gone, the
    // next one of the list that exists takes its place (playing or held, as it was), and
    // with none left the panel stops and shows that nothing is chosen.
    virtual void songFilesChanged(const QHash<QUrl, QUrl> &moved) = 0;
};
