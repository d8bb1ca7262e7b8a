#pragma once

#include "platform/View.h"

// The rounded progress bar: a capsule outline, a dark track and a filled capsule whose
// length follows the progress. Its height is always 25 points.
class DDProgressView : public View
{
    Q_OBJECT
public:
    static constexpr int fixedHeight = 25;

    explicit DDProgressView(QWidget *parent = nullptr);
    explicit DDProgressView(const QRect &frame, QWidget *parent = nullptr);

    // Keeps the origin and width; the height becomes 25.
    void setFrame(const QRect &frame);

    // Clamped to 0..1.
    void setProgress(float progress);
    float progress() const { return m_progress; }

    QColor innerColor() const { return m_innerColor; }
    QColor outerColor() const { return m_outerColor; }
    QColor emptyColor() const { return m_emptyColor; }
    void setInnerColor(const QColor &color);
    void setOuterColor(const QColor &color);
    void setEmptyColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyDefaults();

    QColor m_innerColor;
    QColor m_outerColor;
    QColor m_emptyColor;
    float m_progress = 0;
};
