#include "Toolbar.h"

#include "BarButtonItem.h"

#include <QFontMetrics>

#include <algorithm>

namespace {
constexpr int buttonHeight = 30;
constexpr int minButtonWidth = 56;
constexpr int margin = 6;
} // namespace

Toolbar::Toolbar(QWidget *parent) : View(QRect(0, 0, 320, height), parent)
{
    setBackgroundColor(QColor(22, 25, 33));
}

BarButtonItem *Toolbar::addItem(const QString &title)
{
    auto *item = new BarButtonItem(title, this);
    m_items.append(item);
    item->show();
    layoutItems();
    return item;
}

void Toolbar::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    layoutItems();
}

void Toolbar::layoutItems()
{
    if (m_items.isEmpty())
        return;
    // Each button as wide as its caption with some padding; the space left over is shared
    // out evenly between and around them. When the captions are too wide, the padding goes
    // first, then the captions take a smaller font (a caption on two lines would be cut by
    // the button's height); captions that still do not fit share the bar equally.
    const int count = int(m_items.size());
    const int room = width() - 2 * margin - (count - 1) * margin;
    QList<int> widths;
    int total = 0;
    const auto measure = [&](qreal points, int padding) {
        widths.clear();
        total = 0;
        for (BarButtonItem *item : std::as_const(m_items)) {
            QFont font = item->font();
            font.setPointSizeF(points);
            widths.append(std::max(minButtonWidth, QFontMetrics(font).horizontalAdvance(item->text()) + padding));
            total += widths.last();
        }
        return total <= room;
    };
    qreal points = BarButtonItem::fontPoints;
    bool fits = measure(points, 24) || measure(points, 8);
    while (!fits && points > BarButtonItem::smallestFontPoints) {
        points -= 0.5;
        fits = measure(points, 8);
    }
    for (BarButtonItem *item : std::as_const(m_items))
        if (item->font().pointSizeF() != points)
            item->setFontSize(points, true);
    if (!fits) {
        const int each = room / count;
        std::fill(widths.begin(), widths.end(), each);
        total = each * count;
    }
    const int gap = (width() - total) / (count + 1);
    int x = gap;
    const int y = (View::frame(this).height() - buttonHeight) / 2;
    for (int i = 0; i < count; ++i) {
        m_items[i]->setGeometry(x, y, widths[i], buttonHeight);
        x += widths[i] + gap;
    }
}
