#pragma once

#include "platform/TableViewCell.h"

class Button;
class ImageView;
class Label;

// A row of the folder list: the folder's picture, its name, the number of its files, and
// a play button on the right that plays the whole folder. The button carries the row as
// its tag and is named for assistive technologies after the folder.
class MusicListCell : public TableViewCell
{
    Q_OBJECT
public:
    static constexpr const char *reuseIdentifier = "MusicListCell";
    static constexpr int rowHeight = 50;

    explicit MusicListCell(QWidget *parent = nullptr);

    Label *mainTitleLabel() const { return textLabel(); }
    Label *subTitleLabel() const { return detailTextLabel(); }
    ImageView *mainImageView() const { return imageView(); }
    Button *playButton() const { return m_playButton; }

    // Fills the row for a folder.
    void setFolder(int row, const QString &name, const QString &subtitle);

    void layoutSubviews() override;

private:
    Button *m_playButton;
};
