#include "TextView.h"

#include <QPainter>
#include <QPaintEvent>

TextView::TextView(QWidget *parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setAttribute(Qt::WA_TranslucentBackground);
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QTextEdit { background: transparent; }"));
    setTextColor(Qt::white);
}

TextView::TextView(const QRect &frame, QWidget *parent) : TextView(parent)
{
    setGeometry(frame);
}

void TextView::setText(const QString &text)
{
    setPlainText(text);
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(m_alignment);
    cursor.mergeBlockFormat(format);
    centreVertically();
}

void TextView::centreVertically()
{
    // Short texts sit in the middle of the frame; long ones start at the top and scroll.
    int top = 0;
    if (m_alignment & Qt::AlignVCenter) {
        document()->setTextWidth(viewport()->width() > 0 ? viewport()->width() : width());
        top = std::max(0, int((height() - document()->size().height()) / 2));
    }
    setViewportMargins(0, top, 0, 0);
}

void TextView::setBackgroundColor(const QColor &color, qreal cornerRadius)
{
    m_background = color;
    m_cornerRadius = cornerRadius;
    update();
}

bool TextView::event(QEvent *event)
{
    // The frame's own paint (the viewport, with the text, is painted over it): the stylesheet
    // cannot fill a translucent scroll area, so the plate is drawn here.
    if (event->type() == QEvent::Paint && m_background.alpha() > 0) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_background);
        painter.drawRoundedRect(QRectF(rect()), m_cornerRadius, m_cornerRadius);
    }
    return QTextEdit::event(event);
}

void TextView::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    centreVertically();
}

void TextView::setTextColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

void TextView::setFontSize(qreal points, bool bold)
{
    QFont f = font();
    f.setPointSizeF(points);
    f.setBold(bold);
    setFont(f);
    document()->setDefaultFont(f);
}

void TextView::setTextAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    setText(text());
}
