#pragma once

#include <QScrollArea>

// A scrolling view over one content view that can be zoomed between a smallest and a
// largest scale: Ctrl with the wheel, a touchpad pinch, the + and - keys (0 for the
// original size), or zoomIn()/zoomOut(). The content keeps its own size at scale 1
// (contentSize); zooming resizes it, so a picture drawn to its frame stays sharp.
class ScrollView : public QScrollArea
{
    Q_OBJECT
public:
    explicit ScrollView(QWidget *parent = nullptr);

    void setContentView(QWidget *content);
    QWidget *contentView() const { return widget(); }
    void setContentSize(const QSize &size);
    QSize contentSize() const { return m_contentSize; }

    void setMinimumZoomScale(qreal scale) { m_minimum = scale; }
    void setMaximumZoomScale(qreal scale) { m_maximum = scale; }
    qreal minimumZoomScale() const { return m_minimum; }
    qreal maximumZoomScale() const { return m_maximum; }
    qreal zoomScale() const { return m_scale; }
    // Clamped to the limits; the point of the content under the view's centre stays there.
    void setZoomScale(qreal scale);
    void zoomIn() { setZoomScale(m_scale * step); }
    void zoomOut() { setZoomScale(m_scale / step); }

    static constexpr qreal step = 1.25;

signals:
    void zoomScaleChanged(qreal scale);

protected:
    bool event(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QSize m_contentSize;
    qreal m_scale = 1.0;
    qreal m_minimum = 1.0;
    qreal m_maximum = 1.0;
};
