#pragma once

class QWidget;

// What the shell asks of the full-screen player.
class MusicDetail
{
public:
    virtual ~MusicDetail() = default;
    virtual QWidget *detailView() = 0;
    virtual void playOrPauseMusic() = 0;
    virtual void pauseMusic() = 0;
    virtual void uiMusicNext() = 0;
    virtual void uiMusicPrev() = 0;
};
