#pragma once

#include "library/ImageSink.h"
#include "library/TextSink.h"
#include "platform/TableViewCell.h"

class ImageView;
class Label;

// A song row of a playlist for playing: a standard subtitle row that takes the song's
// artwork and its album and artist from the row loader.
class PlaybackSubListCell : public TableViewCell, public ImageSink, public TextSink
{
    Q_OBJECT
public:
    explicit PlaybackSubListCell(const QString &reuseIdentifier, QWidget *parent = nullptr);

    Label *mainTitleLabel() const { return textLabel(); }
    Label *subTitleLabel() const { return detailTextLabel(); }
    ImageView *mainImageView() const { return imageView(); }

    // ImageSink: the artwork; TextSink: the second line.
    void setImage(const QImage &image) override;
    void setText(const QString &text) override;
};
