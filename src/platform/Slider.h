#pragma once

#include <QSlider>

// A horizontal slider over a range of floating-point values.
class Slider : public QSlider
{
    Q_OBJECT
public:
    explicit Slider(QWidget *parent = nullptr);

    void setRange(double minimum, double maximum);
    double minimumValue() const { return m_minimum; }
    double maximumValue() const { return m_maximum; }
    double value() const;
    // Clamped to the range; does not emit valueChanged.
    void setValue(double value);

signals:
    // While the user drags (continuous) and on release.
    void valueChanged(double value);

private:
    static constexpr int steps = 10000;
    double m_minimum = 0;
    double m_maximum = 1;
};
