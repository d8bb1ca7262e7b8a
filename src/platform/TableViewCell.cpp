#include "TableViewCell.h"

#include <QAccessible>
#include <QFontMetrics>

#include "FocusRing.h"
#include "ImageView.h"
#include "Label.h"

#include <QPainter>
#include <QPainterPath>

namespace {
const QColor titleColor(Qt::white);
const QColor detailColor(150, 158, 172);

void resetLook(Label *label, qreal points, bool bold, const QColor &color)
{
    label->setFontSize(points, bold);
    label->setTextColor(color);
}
} // namespace

TableViewCell::TableViewCell(Style style, const QString &reuseIdentifier, QWidget *parent)
    : View(QRect(0, 0, 320, 44), parent), m_style(style), m_reuseIdentifier(reuseIdentifier)
{
    m_imageView = new ImageView(this);
    m_textLabel = new Label(this);
    resetLook(m_textLabel, 13, true, titleColor);
    m_detailTextLabel = new Label(this);
    resetLook(m_detailTextLabel, 10, false, detailColor);
    m_detailTextLabel->setVisible(style == Subtitle);
    layoutSubviews();
}

void TableViewCell::setAccessoryType(Accessory accessory)
{
    m_accessory = accessory;
    layoutSubviews();
    update();
}

void TableViewCell::setAccessoryView(QWidget *view)
{
    if (m_accessoryView && m_accessoryView != view) {
        // Gone from the row at once, deleted once its own event (a click) has returned.
        m_accessoryView->hide();
        m_accessoryView->deleteLater();
    }
    m_accessoryView = view;
    if (view) {
        view->setParent(this);
        view->show();
    }
    layoutSubviews();
}

void TableViewCell::setEditCheck(EditCheck check)
{
    // Screen readers (and their caches) hear of a tick as it happens.
    QAccessible::State changed;
    changed.checked = (m_editCheck == EditCheck::Checked) != (check == EditCheck::Checked);
    changed.checkable = (m_editCheck == EditCheck::None) != (check == EditCheck::None);
    m_editCheck = check;
    if (changed.checked || changed.checkable) {
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    if (check != EditCheck::None)
        m_imageView->setImage(ImageView::imageNamed(check == EditCheck::Checked ? QStringLiteral("listCheckOn.png")
                                                                                : QStringLiteral("listCheckOff.png")));
    layoutSubviews();
}

void TableViewCell::announceTexts()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

void TableViewCell::setBackgroundImage(const QPixmap &image)
{
    m_backgroundImage = image;
    update();
}

void TableViewCell::setSelectedBackgroundImage(const QPixmap &image)
{
    m_selectedBackgroundImage = image;
    update();
}

void TableViewCell::setIndentationLevel(int level)
{
    m_indentation = level;
    layoutSubviews();
}

void TableViewCell::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

void TableViewCell::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    update();
}

void TableViewCell::setKeyboardFocused(bool focused)
{
    if (m_keyboardFocused == focused)
        return;
    m_keyboardFocused = focused;
    update();
}

void TableViewCell::prepareForReuse()
{
    m_textLabel->clear();
    m_detailTextLabel->clear();
    // A row coloured for its song (a deleted file in red) must not colour the next one.
    resetLook(m_textLabel, 13, true, titleColor);
    resetLook(m_detailTextLabel, 10, false, detailColor);
    m_keyboardFocused = false;
    m_imageView->setImage(QPixmap());
    setAccessoryView(nullptr);
    m_accessory = None;
    m_editCheck = EditCheck::None;
    m_indentation = 0;
    m_selected = m_highlighted = false;
    layoutSubviews();
    update();
}

void TableViewCell::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    layoutSubviews();
}

void TableViewCell::layoutSubviews()
{
    const int h = height();
    int left = 10 + m_indentation * 10;
    const bool hasImage = !m_imageView->image().isNull();
    m_imageView->setVisible(hasImage);
    if (hasImage) {
        const int side = h - 12;
        m_imageView->setGeometry(left, 6, side, side);
        left += side + 10;
    }
    int right = width() - 10;
    if (m_accessoryView) {
        const QSize size = m_accessoryView->size();
        m_accessoryView->move(right - size.width(), (h - size.height()) / 2);
        right -= size.width() + 8;
    } else if (m_accessory != None) {
        right -= 20;
    }
    if (m_style == Subtitle) {
        // Both lines as tall as their fonts, the pair centred: low rows do not clip them.
        const int titleHeight = QFontMetrics(m_textLabel->font()).height();
        const int detailHeight = QFontMetrics(m_detailTextLabel->font()).height();
        const int top = std::max(0, (h - titleHeight - detailHeight) / 2);
        m_textLabel->setGeometry(left, top, right - left, titleHeight);
        m_detailTextLabel->setGeometry(left, top + titleHeight, right - left, detailHeight);
    } else {
        m_textLabel->setGeometry(left, 0, right - left, h);
    }
}

void TableViewCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool lit = m_selectionHighlight && (m_highlighted || m_selected);
    const QPixmap &picture = lit && !m_selectedBackgroundImage.isNull() ? m_selectedBackgroundImage : m_backgroundImage;
    if (!picture.isNull()) {
        painter.drawPixmap(rect(), picture);
        if (lit && m_selectedBackgroundImage.isNull())
            painter.fillRect(rect(), QColor(46, 204, 196, 50));
    } else {
        painter.fillRect(rect(), lit ? QColor(36, 70, 78) : QColor(18, 20, 27));
    }
    painter.fillRect(QRect(10, height() - 1, width() - 10, 1), QColor(255, 255, 255, 18));
    const QPointF c(width() - 18, height() / 2.0);
    if (m_accessory == DisclosureIndicator && !m_accessoryView) {
        painter.setPen(QPen(QColor(130, 138, 150), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath chevron;
        chevron.moveTo(c + QPointF(-3, -6));
        chevron.lineTo(c + QPointF(3, 0));
        chevron.lineTo(c + QPointF(-3, 6));
        painter.drawPath(chevron);
    } else if (m_accessory == Checkmark && !m_accessoryView) {
        painter.setPen(QPen(QColor(46, 204, 196), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(c + QPointF(-6, 0));
        tick.lineTo(c + QPointF(-2, 5));
        tick.lineTo(c + QPointF(6, -6));
        painter.drawPath(tick);
    }
    if (m_keyboardFocused)
        FocusRing::paint(painter, rect().adjusted(1, 1, -1, -1), 6);
}
