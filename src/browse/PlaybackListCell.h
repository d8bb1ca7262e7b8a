#pragma once

#include "platform/TableViewCell.h"

class Button;
class Label;

// A row of the playlists for playing: the playlist's name, its number of songs, and a play
// button on the right that plays the whole playlist. The button carries the row as its
// tag and is named "Play" for assistive technologies, described by the playlist's name.
class PlaybackListCell : public TableViewCell
{
    Q_OBJECT
public:
    static constexpr const char *reuseIdentifier = "PlaybackListCell";
    static constexpr int rowHeight = 50;

    explicit PlaybackListCell(QWidget *parent = nullptr);

    Label *mainTitleLabel() const { return textLabel(); }
    Label *subTitleLabel() const { return detailTextLabel(); }
    Button *playButton() const { return m_playButton; }

    void setPlaylist(int row, const QString &name, const QString &subtitle);

    void layoutSubviews() override;

private:
    Button *m_playButton;
};
