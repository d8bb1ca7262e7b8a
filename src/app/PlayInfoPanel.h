#pragma once

class QString;
class QWidget;

// What the shell asks of the now-playing panel. The panel (with the only audio player)
// implements it; until it is installed the shell routes player commands nowhere.
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
    virtual void pauseMusic() = 0;
    virtual void curFileDel() = 0;
    virtual void scrollLabelRestart() = 0;
    virtual void setCurrentEncodingText(const QString &name) = 0;
};
