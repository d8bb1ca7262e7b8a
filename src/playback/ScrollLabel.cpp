#include "ScrollLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int passMs = 10000;

// The moving copy: it paints the outer label's text and is no label of its own for
// assistive technologies (the outer label is the one they read).
class MarqueeText : public QWidget
{
public:
    explicit MarqueeText(ScrollLabel *owner) : QWidget(owner), m_owner(owner)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setFont(m_owner->font());
        painter.setPen(m_owner->palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_owner->text());
    }

private:
    ScrollLabel *m_owner;
};
} // namespace

ScrollLabel::ScrollLabel(QWidget *parent) : Label(parent), m_scrollLabel(new MarqueeText(this))
{
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ScrollLabel::step);
}

ScrollLabel::ScrollLabel(const QRect &frame, QWidget *parent) : ScrollLabel(parent)
{
    setGeometry(frame);
    m_scrollLabel->setGeometry(0, 0, frame.width(), frame.height());
}

int ScrollLabel::textWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(text());
}

void ScrollLabel::startScroll()
{
    const int w = width(), h = height(), t = textWidth();
    m_scrollLabel->resize(std::max(t, w), h);
    // A text that fits (as wide as the label, too) takes 10 s per pass.
    m_durationMs = t > w && w > 0 ? int(std::lround(double(passMs) * t / w)) : passMs;
    m_distance = w + t;
    m_scrolling = true;
    m_scrollLabel->move(w, 0);
    m_scrollLabel->update();
    m_clock.start();
    // One point per step.
    m_timer.setInterval(std::clamp(m_distance > 0 ? m_durationMs / m_distance : passMs, 16, 1000));
    if (isVisible())
        m_timer.start();
}

void ScrollLabel::stopScroll()
{
    m_scrolling = false;
    m_timer.stop();
    m_scrollLabel->resize(std::max(textWidth(), width()), height());
    m_scrollLabel->move(0, 0);
    m_scrollLabel->update();
}

int ScrollLabel::offsetAt(qint64 elapsedMs) const
{
    if (m_durationMs <= 0)
        return width();
    const double fraction = double(elapsedMs % m_durationMs) / m_durationMs;
    return width() - int(std::floor(fraction * m_distance));
}

void ScrollLabel::step()
{
    // From the clock, not a count of steps: a late timer does not slow the text down.
    m_scrollLabel->move(offsetAt(m_clock.elapsed()), 0);
}

void ScrollLabel::paintEvent(QPaintEvent *)
{
    // Only the moving copy shows the text.
}

void ScrollLabel::showEvent(QShowEvent *event)
{
    Label::showEvent(event);
    if (m_scrolling)
        m_timer.start();
}

void ScrollLabel::hideEvent(QHideEvent *event)
{
    Label::hideEvent(event);
    m_timer.stop();
}

void ScrollLabel::changeEvent(QEvent *event)
{
    Label::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        m_scrollLabel->update();
}
