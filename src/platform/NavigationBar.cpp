#include "NavigationBar.h"

#include "Button.h"
#include "Label.h"

#include <QFontMetrics>

namespace {
constexpr int maxSideWidth = 96;
} // namespace

NavigationBar::NavigationBar(QWidget *parent) : View(QRect(0, 0, 320, height), parent)
{
    setBackgroundColor(QColor(22, 25, 33));
    m_title = new Label(this);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFontSize(14, true);
    layoutBar();
}

void NavigationBar::setTitle(const QString &title)
{
    m_fullTitle = title;
    fitTitle();
}

QString NavigationBar::title() const
{
    return m_fullTitle;
}

void NavigationBar::fitTitle()
{
    // A long title gets a smaller font, down to a floor, rather than being cut at both
    // ends; one still too long at the floor ends in an ellipsis (its name stays whole).
    constexpr qreal largest = 14, smallest = 10;
    QFont font = m_title->font();
    qreal size = largest;
    for (;; size -= 0.5) {
        font.setPointSizeF(size);
        if (size <= smallest || QFontMetrics(font).horizontalAdvance(m_fullTitle) <= m_title->width() - 2)
            break;
    }
    m_title->setFontSize(size, true);
    m_title->setText(QFontMetrics(font).elidedText(m_fullTitle, Qt::ElideRight, m_title->width()));
    m_title->setAccessibleName(m_fullTitle);
}

Button *NavigationBar::sideButton(Button *&slot, const QString &title)
{
    if (!slot) {
        slot = new Button(this);
        slot->setFill(QColor(46, 52, 66), QColor(46, 204, 196), 8);
    }
    // A long title ("Now Playing") takes a smaller font rather than a second line that the
    // button's height would cut.
    QFont font = slot->font();
    font.setBold(true);
    for (qreal points = 12; points >= 8.5; points -= 0.5) {
        font.setPointSizeF(points);
        if (QFontMetrics(font).horizontalAdvance(title) + 12 <= maxSideWidth)
            break;
    }
    slot->setFont(font);
    slot->setTitle(title);
    slot->setVisible(!title.isEmpty());
    layoutBar();
    return slot;
}

Button *NavigationBar::setLeftButton(const QString &title)
{
    return sideButton(m_left, title);
}

Button *NavigationBar::setRightButton(const QString &title)
{
    return sideButton(m_right, title);
}

void NavigationBar::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    layoutBar();
}

void NavigationBar::layoutBar()
{
    const int h = View::frame(this).height();
    int side = 0;
    for (Button *button : {m_left, m_right}) {
        if (!button)
            continue;
        const int w = std::clamp(button->sizeHint().width(), 56, maxSideWidth);
        side = std::max(side, w);
        button->setGeometry(button == m_left ? 6 : width() - 6 - w, (h - 30) / 2, w, 30);
    }
    m_title->setGeometry(side + 10, 0, width() - 2 * (side + 10), h);
    fitTitle();
}
