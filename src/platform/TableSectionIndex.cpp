#include "TableSectionIndex.h"

#include "Button.h"
#include "TableView.h"
#include "Translations.h"

#include <QPainter>

namespace {
// The search symbol at the top of an index.
QPixmap magnifier()
{
    QPixmap picture(QSize(20, 20));
    picture.setDevicePixelRatio(2);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(46, 204, 196), 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(QRectF(1.5, 1.5, 5.5, 5.5));
    painter.drawLine(QPointF(6.3, 6.3), QPointF(9, 9));
    return picture;
}
} // namespace

TableSectionIndex::TableSectionIndex(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(Translations::text("Section index"));
}

QString TableSectionIndex::spokenTitle(const QString &title)
{
    return title == TableView::searchIndexTitle() ? Translations::text("Search") : title;
}

void TableSectionIndex::setTitles(const QStringList &titles)
{
    if (titles == m_titles)
        return;
    m_titles = titles;
    qDeleteAll(m_buttons);
    m_buttons.clear();
    QFont small = font();
    small.setPointSizeF(7.5);
    small.setBold(true);
    for (int i = 0; i < titles.size(); ++i) {
        auto *button = new Button(this);
        if (titles[i] == TableView::searchIndexTitle())
            button->setImage(magnifier());
        else
            button->setTitle(titles[i]);
        button->setTitleColor(QColor(46, 204, 196));
        button->setFont(small);
        button->setAccessibleName(spokenTitle(titles[i]));
        // A press jumps at once, as a finger running down the index expects.
        connect(button, &Button::pressed, this, [this, i] { emit touched(i); });
        button->show();
        m_buttons << button;
    }
    layoutButtons();
}

void TableSectionIndex::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}

void TableSectionIndex::layoutButtons()
{
    if (m_buttons.isEmpty())
        return;
    const qreal step = qreal(height()) / m_buttons.size();
    for (int i = 0; i < m_buttons.size(); ++i) {
        const int top = int(i * step), bottom = int((i + 1) * step);
        m_buttons[i]->setGeometry(0, top, width(), std::max(1, bottom - top));
    }
}
