#include "Switch.h"

#include "FocusRing.h"

#include <QPainter>

Switch::Switch(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    resize(sizeHint());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    // Toggled, not clicked: a screen reader's toggle action flips the switch without a click.
    // setOn() blocks the signal, so only the user's changes are announced.
    connect(this, &QAbstractButton::toggled, this, [this](bool on) { emit valueChanged(on); });
}

void Switch::setOn(bool on)
{
    const QSignalBlocker quiet(this);
    setChecked(on);
    update();
}

void Switch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.4);
    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = track.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isOn() ? QColor(46, 204, 196) : QColor(58, 62, 74));
    painter.drawRoundedRect(track, radius, radius);
    const qreal knob = track.height() - 4;
    const qreal x = isOn() ? track.right() - 2 - knob : track.left() + 2;
    painter.setBrush(QColor(245, 247, 250));
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
    if (hasFocus())
        FocusRing::paint(painter, rect(), radius + 1);
}
