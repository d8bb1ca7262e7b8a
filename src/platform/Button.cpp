#include "Button.h"

#include "FocusRing.h"

#include <QKeyEvent>
#include <QPainter>

Button::Button(QWidget *parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    // Tab reaches it, a click does not take the focus (no ring after a mouse press).
    setFocusPolicy(Qt::TabFocus);
    m_titleColors.insert(Normal, Qt::white);
}

Button::Button(const QRect &frame, QWidget *parent) : Button(parent)
{
    setGeometry(frame);
}

void Button::setImage(const QPixmap &image, State state)
{
    m_images.insert(state, image);
    update();
}

void Button::setBackgroundImage(const QPixmap &image, State state)
{
    m_backgrounds.insert(state, image);
    update();
}

void Button::setTitle(const QString &title, State state)
{
    m_titles.insert(state, title);
    if (state == Normal)
        setText(title); // accessible name and shortcuts
    update();
}

void Button::setTitleColor(const QColor &color, State state)
{
    m_titleColors.insert(state, color);
    update();
}

void Button::setFontSize(qreal points, bool bold)
{
    QFont f = font();
    f.setPointSizeF(points);
    f.setBold(bold);
    setFont(f);
}

void Button::setFill(const QColor &normal, const QColor &highlighted, qreal cornerRadius)
{
    m_fill = normal;
    m_fillHighlighted = highlighted;
    m_fillRadius = cornerRadius;
    update();
}

Button::State Button::currentState() const
{
    if (!isEnabled())
        return Disabled;
    return isDown() ? Highlighted : Normal;
}

QString Button::currentTitle() const
{
    return look(m_titles, currentState());
}

QSize Button::sizeHint() const
{
    const QPixmap background = m_backgrounds.value(Normal);
    if (!background.isNull())
        return background.deviceIndependentSize().toSize();
    const QSize text = fontMetrics().size(0, m_titles.value(Normal));
    return {text.width() + 24, std::max(text.height() + 12, 30)};
}

void Button::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const State state = currentState();
    const bool dim = state == Disabled && m_dimWhenDisabled;
    if (dim)
        painter.setOpacity(0.35);

    const QColor fill = state == Highlighted ? m_fillHighlighted : m_fill;
    if (fill.alpha() > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()), m_fillRadius, m_fillRadius);
    }
    if (const QPixmap background = look(m_backgrounds, state); !background.isNull())
        painter.drawPixmap(rect(), background);
    if (const QPixmap image = look(m_images, state); !image.isNull()) {
        QRectF target(QPointF(), image.deviceIndependentSize());
        target.moveCenter(QRectF(rect()).center());
        painter.drawPixmap(target, image, image.rect());
    }
    if (const QString title = look(m_titles, state); !title.isEmpty()) {
        painter.setPen(look(m_titleColors, state));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, title);
    }
    if (hasFocus())
        FocusRing::paint(painter, rect(), std::max<qreal>(m_fillRadius, 6));
}

void Button::keyPressEvent(QKeyEvent *event)
{
    // Enter works like Space, as in any desktop dialog.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
