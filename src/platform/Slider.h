#pragma once

#include <QPixmap>
#include <QSlider>

// A horizontal slider over a range of floating-point values, drawn in the kit's colours
// or, once given pictures, with a thumb picture over a track whose part left of the thumb
// and part right of it have pictures of their own.
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

    void setThumbImage(const QPixmap &image);
    void setMinimumTrackImage(const QPixmap &image);
    void setMaximumTrackImage(const QPixmap &image);
    QPixmap thumbImage() const { return m_thumb; }
    QPixmap minimumTrackImage() const { return m_minimumTrack; }
    QPixmap maximumTrackImage() const { return m_maximumTrack; }

signals:
    // While the user drags (continuous) and on release; also for a change from the
    // keyboard or a screen reader, which has no press or release (isSliderDown() false).
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyLook();

    static constexpr int steps = 10000;
    double m_minimum = 0;
    double m_maximum = 1;
    QPixmap m_thumb;
    QPixmap m_minimumTrack;
    QPixmap m_maximumTrack;
};
