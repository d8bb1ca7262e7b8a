#pragma once

class QWidget;

// What the shell and the now-playing panel ask of the full-screen player.
class MusicDetail
{
public:
    virtual ~MusicDetail() = default;
    virtual QWidget *detailView() = 0;
    // Toggles the player (open or not), and the player's buttons follow.
    virtual void playOrPauseMusic() = 0;
    virtual void pauseMusic() = 0;
    // The player moved to another song: the new one slides in (from the right, or the left).
    virtual void uiMusicNext() = 0;
    virtual void uiMusicPrev() = 0;
    // The panel's once-a-second refresh, while the full-screen player is open.
    virtual void detailSetInfo() = 0;
    // Shuffle or repeat changed on the panel.
    virtual void reloadRandomReplayButton() = 0;
    // Left and right levels (0 ... 1) for its meters; called on the panel's meter thread
    // while the full-screen player is open, so it may only hand the values to its gauges.
    virtual void setLevelMeterValues(float left, float right) = 0;
};
