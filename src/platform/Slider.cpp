#include "Slider.h"

#include "FocusRing.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {
// A track picture drawn over a span: its rounded ends kept, its middle stretched.
void drawTrack(QPainter &painter, const QPixmap &picture, const QRectF &span)
{
    if (picture.isNull() || span.width() <= 0)
        return;
    const QSizeF size = picture.deviceIndependentSize();
    const qreal ratio = picture.devicePixelRatio();
    const qreal cap = std::min({size.height() / 2, size.width() / 2, span.width() / 2});
    const QRectF left(0, 0, cap * ratio, size.height() * ratio);
    const QRectF middle(cap * ratio, 0, (size.width() - 2 * cap) * ratio, size.height() * ratio);
    const QRectF right((size.width() - cap) * ratio, 0, cap * ratio, size.height() * ratio);
    painter.drawPixmap(QRectF(span.left(), span.top(), cap, span.height()), picture, left);
    painter.drawPixmap(QRectF(span.left() + cap, span.top(), span.width() - 2 * cap, span.height()), picture, middle);
    painter.drawPixmap(QRectF(span.right() - cap, span.top(), cap, span.height()), picture, right);
}
} // namespace

Slider::Slider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    QSlider::setRange(0, steps);
    applyLook();
    connect(this, &QSlider::valueChanged, this, [this](int) { emit valueChanged(value()); });
}

void Slider::applyLook()
{
    // With a thumb picture the style's handle takes the picture's size, so that presses
    // find the thumb where it is drawn.
    const QSize thumb = m_thumb.isNull() ? QSize(18, 18) : m_thumb.deviceIndependentSize().toSize();
    setStyleSheet(QStringLiteral("QSlider::groove:horizontal { height: 4px; background: #3a3e4a; border-radius: 2px; }"
                                 "QSlider::sub-page:horizontal { background: #2eccc4; border-radius: 2px; }"
                                 "QSlider::handle:horizontal { width: %1px; height: %2px; margin: -%3px 0;"
                                 " border-radius: %4px; background: #f5f7fa; }")
                      .arg(thumb.width())
                      .arg(thumb.height())
                      .arg(std::max(0, (thumb.height() - 4) / 2))
                      .arg(thumb.width() / 2));
}

void Slider::setRange(double minimum, double maximum)
{
    const double current = value();
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(current);
}

double Slider::value() const
{
    return m_minimum + (m_maximum - m_minimum) * QSlider::value() / steps;
}

void Slider::setValue(double value)
{
    const double span = m_maximum - m_minimum;
    const double fraction = span > 0 ? std::clamp((value - m_minimum) / span, 0.0, 1.0) : 0.0;
    const QSignalBlocker quiet(this);
    QSlider::setValue(int(std::lround(fraction * steps)));
    update();
}

void Slider::setThumbImage(const QPixmap &image)
{
    m_thumb = image;
    applyLook();
    update();
}

void Slider::setMinimumTrackImage(const QPixmap &image)
{
    m_minimumTrack = image;
    update();
}

void Slider::setMaximumTrackImage(const QPixmap &image)
{
    m_maximumTrack = image;
    update();
}

void Slider::paintEvent(QPaintEvent *event)
{
    if (m_thumb.isNull() && m_minimumTrack.isNull() && m_maximumTrack.isNull()) {
        QSlider::paintEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The track runs between the two places the thumb's centre can reach.
    const qreal trackHeight = m_minimumTrack.isNull() ? 4 : m_minimumTrack.deviceIndependentSize().height();
    const qreal left = handle.width() / 2.0, right = width() - handle.width() / 2.0;
    const qreal top = (height() - trackHeight) / 2, at = handle.center().x() + 0.5;
    drawTrack(painter, m_minimumTrack, QRectF(left, top, at - left, trackHeight));
    drawTrack(painter, m_maximumTrack, QRectF(at, top, right - at, trackHeight));
    if (!m_thumb.isNull()) {
        const QSizeF thumb = m_thumb.deviceIndependentSize();
        painter.drawPixmap(QRectF(QPointF(at - thumb.width() / 2, (height() - thumb.height()) / 2), thumb), m_thumb,
                           QRectF(QPointF(0, 0), QSizeF(m_thumb.size())));
    }
    if (hasFocus())
        FocusRing::paint(painter, rect(), height() / 2.0);
}
