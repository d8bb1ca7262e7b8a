#include "DDProgressView.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// A rounded rectangle whose corner radius is half its height.
QPainterPath capsule(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}
} // namespace

DDProgressView::DDProgressView(QWidget *parent) : View(parent)
{
    applyDefaults();
    resize(width(), fixedHeight);
}

DDProgressView::DDProgressView(const QRect &frame, QWidget *parent) : DDProgressView(parent)
{
    setFrame(frame);
}

void DDProgressView::applyDefaults()
{
    setBackgroundColor(Qt::transparent);
    m_innerColor = Qt::white;
    m_outerColor = Qt::white;
    m_emptyColor = Qt::black;
}

void DDProgressView::setFrame(const QRect &frame)
{
    setGeometry(frame.x(), frame.y(), frame.width(), fixedHeight);
}

void DDProgressView::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    // Whatever sets the size (layouts, geometry animations), the height stays 25.
    if (height() != fixedHeight)
        resize(width(), fixedHeight);
}

void DDProgressView::setProgress(float progress)
{
    if (!m_innerColor.isValid())
        applyDefaults();
    // NaN counts as empty rather than poisoning the drawing.
    if (!(progress > 0))
        progress = 0;
    m_progress = std::min(progress, 1.0f);
    update();
}

void DDProgressView::setInnerColor(const QColor &color)
{
    m_innerColor = color;
    update();
}

void DDProgressView::setOuterColor(const QColor &color)
{
    m_outerColor = color;
    update();
}

void DDProgressView::setEmptyColor(const QColor &color)
{
    m_emptyColor = color;
    update();
}

void DDProgressView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();

    const QRectF outline = r.adjusted(1, 1, -1, -1);
    painter.setPen(QPen(m_outerColor, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(capsule(outline, outline.height() / 2));

    const QRectF track = r.adjusted(3, 3, -3, -3);
    const qreal radius = track.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_emptyColor);
    painter.drawPath(capsule(track, radius));

    QRectF bar = track;
    bar.setWidth(std::max(track.width() * m_progress, 2 * radius));
    painter.setBrush(m_innerColor);
    painter.drawPath(capsule(bar, radius));
}
