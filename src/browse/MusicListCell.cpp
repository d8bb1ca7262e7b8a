#include "MusicListCell.h"

#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/Translations.h"

namespace {
constexpr int buttonSide = 40;
}

MusicListCell::MusicListCell(QWidget *parent)
    : TableViewCell(Subtitle, QString::fromLatin1(reuseIdentifier), parent), m_playButton(new Button(this))
{
    resize(width(), rowHeight);
    setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
    setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
    m_playButton->resize(buttonSide, buttonSide);
    m_playButton->setImage(ImageView::imageNamed(QStringLiteral("list_play.png")));
    m_playButton->setImage(ImageView::imageNamed(QStringLiteral("list_play_on.png")), Button::Highlighted);
    layoutSubviews();
}

void MusicListCell::setFolder(int row, const QString &name, const QString &subtitle)
{
    textLabel()->setText(name);
    textLabel()->setFontSize(10.5, true);
    detailTextLabel()->setText(subtitle);
    detailTextLabel()->setFontSize(8.25);
    imageView()->setImage(ImageView::imageNamed(QStringLiteral("list_folder.png")));
    m_playButton->setTag(row);
    m_playButton->setAccessibleName(Translations::text("Play"));
    m_playButton->setAccessibleDescription(name);
    layoutSubviews();
}

void MusicListCell::layoutSubviews()
{
    TableViewCell::layoutSubviews();
    // The play button on the right; the texts end before it.
    const int x = width() - buttonSide - 8;
    m_playButton->move(x, (height() - buttonSide) / 2);
    m_playButton->raise();
    for (Label *label : {textLabel(), detailTextLabel()}) {
        QRect frame = label->geometry();
        frame.setRight(std::min(frame.right(), x - 6));
        label->setGeometry(frame);
    }
}
