#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

// The ring a control draws around itself while it has the keyboard focus.
class FocusRing
{
public:
    FocusRing() = delete;
    static QColor color() { return {120, 230, 222}; }
    static void paint(QPainter &painter, const QRect &bounds, qreal radius)
    {
        painter.save();
        painter.setOpacity(1.0);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(color(), 2));
        painter.drawRoundedRect(QRectF(bounds).adjusted(1, 1, -1, -1), radius, radius);
        painter.restore();
    }
};
