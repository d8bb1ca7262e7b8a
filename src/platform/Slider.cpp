#include "Slider.h"

Slider::Slider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    QSlider::setRange(0, steps);
    setStyleSheet(
        QStringLiteral("QSlider::groove:horizontal { height: 4px; background: #3a3e4a; border-radius: 2px; }"
                       "QSlider::sub-page:horizontal { background: #2eccc4; border-radius: 2px; }"
                       "QSlider::handle:horizontal { width: 18px; height: 18px; margin: -7px 0; border-radius: 9px;"
                       " background: #f5f7fa; }"));
    connect(this, &QSlider::valueChanged, this, [this](int) { emit valueChanged(value()); });
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
}
