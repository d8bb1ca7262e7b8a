#pragma once

#include "platform/Label.h"

#include <QElapsedTimer>
#include <QTimer>

// A label that shows its text as an endless marquee: a copy of the text enters at the
// right edge, travels left until it has left at the left edge, and starts again at once.
// A text that fits takes 10 s per pass, a longer one proportionally longer, so the speed
// is (width + text width) / duration. The label itself draws no text (assistive
// technologies still read it); the moving copy is clipped to the label.
//
// The copy moves one point at a time on a timer of its own (a few dozen steps a second),
// and only while the label is on screen.
class ScrollLabel : public Label
{
    Q_OBJECT
public:
    explicit ScrollLabel(QWidget *parent = nullptr);
    explicit ScrollLabel(const QRect &frame, QWidget *parent = nullptr);

    // (Re)starts the marquee with the current text from just beyond the right edge.
    void startScroll();
    // Holds the text still at the left edge (where it can be read).
    void stopScroll();
    bool isScrolling() const { return m_scrolling; }

    // The moving copy ("scrollLabel"), its width and the duration of one pass.
    QWidget *scrollLabel() const { return m_scrollLabel; }
    int textWidth() const;
    int scrollDurationMs() const { return m_durationMs; }
    // Where the copy stands after `elapsedMs` of a pass: W at the start, -T at the end.
    int offsetAt(qint64 elapsedMs) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void step();

    QWidget *m_scrollLabel;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_durationMs = 10000;
    int m_distance = 0; // W + T
    bool m_scrolling = false;
};
