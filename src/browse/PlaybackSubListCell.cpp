#include "PlaybackSubListCell.h"

#include "platform/ImageView.h"
#include "platform/Label.h"

#include <QPixmap>

PlaybackSubListCell::PlaybackSubListCell(const QString &reuseIdentifier, QWidget *parent)
    : TableViewCell(Subtitle, reuseIdentifier, parent)
{}

void PlaybackSubListCell::setImage(const QImage &image)
{
    imageView()->setImage(QPixmap::fromImage(image));
    layoutSubviews();
}

void PlaybackSubListCell::setText(const QString &text)
{
    detailTextLabel()->setText(text);
}
