#include "PlaybackListCell.h"

#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/Translations.h"

#include <algorithm>

namespace {
constexpr int buttonSide = 40;
}

PlaybackListCell::PlaybackListCell(QWidget *parent)
    : TableViewCell(Subtitle, QString::fromLatin1(reuseIdentifier), parent), m_playButton(new Button(this))
{
    resize(width(), rowHeight);
    setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
    setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
    m_playButton->resize(buttonSide, buttonSide);
    m_playButton->setImage(ImageView::imageNamed(QStringLiteral("list_play.png")));
    m_playButton->setImage(ImageView::imageNamed(QStringLiteral("list_play_on.png")), Button::Highlighted);
    m_playButton->setAccessibleName(Translations::text("Play"));
    layoutSubviews();
}

void PlaybackListCell::setPlaylist(int row, const QString &name, const QString &subtitle)
{
    textLabel()->setText(name);
    textLabel()->setFontSize(10.5, true);
    detailTextLabel()->setText(subtitle);
    detailTextLabel()->setFontSize(8.25);
    imageView()->setImage(ImageView::imageNamed(QStringLiteral("list_playbackList.png")));
    m_playButton->setTag(row);
    m_playButton->setAccessibleDescription(name);
    layoutSubviews();
}

void PlaybackListCell::layoutSubviews()
{
    TableViewCell::layoutSubviews();
    const int x = width() - buttonSide - 8;
    m_playButton->move(x, (height() - buttonSide) / 2);
    m_playButton->raise();
    for (Label *label : {textLabel(), detailTextLabel()}) {
        QRect frame = label->geometry();
        frame.setRight(std::min(frame.right(), x - 6));
        label->setGeometry(frame);
    }
}
