#include "F3BarGauge.h"

#include <QPainter>
#include <QRadialGradient>
#include <QThread>

#include <algorithm>
#include <cmath>

F3BarGauge::F3BarGauge(QWidget *parent) : View(parent)
{
    setDefaults();
}

F3BarGauge::F3BarGauge(const QRect &frame, QWidget *parent) : View(frame, parent)
{
    setDefaults();
}

void F3BarGauge::setDefaults()
{
    // The view itself is not opaque: what lies behind shows through the clear parts.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAttribute(Qt::WA_TranslucentBackground, true);
    QMutexLocker lock(&m_mutex);
    m_state = State();
    m_state.m_iWarningBarIdx = zoneStart(m_state.m_flWarnThreshold, m_state.m_iNumBars);
    m_state.m_iDangerBarIdx = zoneStart(m_state.m_flDangerThreshold, m_state.m_iNumBars);
}

int F3BarGauge::zoneStart(float threshold, int bars)
{
    // NaN counts as no threshold; a threshold beyond the gauge starts its zone past the last bar.
    if (!(threshold > 0.0f))
        return -1;
    const double at = std::min(double(threshold) * bars, double(bars));
    return int(at);
}

bool F3BarGauge::applyValue(float value)
{
    State &s = m_state;
    // Readings that are not numbers light nothing; infinities stand at the ends of the
    // range. Nothing unbounded reaches an integer conversion.
    if (std::isnan(value))
        value = s.m_flMinLimit;
    else if (std::isinf(value))
        value = value > 0 ? std::max(s.m_flMaxLimit, s.m_flMinLimit) : -std::numeric_limits<float>::max();
    s.m_flValue = value;

    const int bars = s.m_iNumBars;
    const int oldOn = s.m_iOnIdx, oldOff = s.m_iOffIdx, oldPeak = s.m_iPeakBarIdx;
    s.m_iOnIdx = value >= s.m_flMinLimit ? 0 : bars;
    // In single precision, as the values come: 0.9 on 10 bars lights 9.
    const float span = s.m_flMaxLimit - s.m_flMinLimit;
    float scaled;
    if (span > 0)
        scaled = (value - s.m_flMinLimit) / span * float(bars);
    else // no range: all or nothing
        scaled = value >= s.m_flMaxLimit ? float(bars) : 0.0f;
    // Above the maximum every bar is lit, far below the minimum none: -1 and the bar count
    // draw the same as anything further out.
    s.m_iOffIdx = int(std::clamp(scaled, -1.0f, float(bars)));
    if (s.m_fHoldPeak && value > s.m_flPeakValue) {
        s.m_flPeakValue = value;
        s.m_iPeakBarIdx = std::min(s.m_iOffIdx, bars - 1);
    }
    return s.m_iOnIdx != oldOn || s.m_iOffIdx != oldOff || s.m_iPeakBarIdx != oldPeak;
}

void F3BarGauge::setValue(float value)
{
    bool changed;
    {
        QMutexLocker lock(&m_mutex);
        changed = applyValue(value);
    }
    if (changed)
        requestRedraw();
}

void F3BarGauge::requestRedraw()
{
    ++m_redrawRequests;
    if (QThread::currentThread() == thread()) {
        update();
        return;
    }
    // From another thread: one pending redraw at a time, run on the main thread.
    if (m_redrawPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_redrawPending = false;
            update();
        },
        Qt::QueuedConnection);
}

float F3BarGauge::value() const
{
    QMutexLocker lock(&m_mutex);
    return m_state.m_flValue;
}

void F3BarGauge::setNumBars(int count)
{
    {
        QMutexLocker lock(&m_mutex);
        State &s = m_state;
        s.m_flPeakValue = -std::numeric_limits<float>::infinity();
        // At least one bar: the drawing divides the bounds by the count.
        s.m_iNumBars = std::max(count, 1);
        applyValue(s.m_flValue);
        s.m_iWarningBarIdx = zoneStart(s.m_flWarnThreshold, s.m_iNumBars);
        s.m_iDangerBarIdx = zoneStart(s.m_flDangerThreshold, s.m_iNumBars);
    }
    update();
}

int F3BarGauge::numBars() const
{
    QMutexLocker lock(&m_mutex);
    return m_state.m_iNumBars;
}

void F3BarGauge::setWarnThreshold(float threshold)
{
    QMutexLocker lock(&m_mutex);
    m_state.m_flWarnThreshold = threshold;
    m_state.m_iWarningBarIdx = zoneStart(threshold, m_state.m_iNumBars);
}

float F3BarGauge::warnThreshold() const
{
    QMutexLocker lock(&m_mutex);
    return m_state.m_flWarnThreshold;
}

void F3BarGauge::setDangerThreshold(float threshold)
{
    QMutexLocker lock(&m_mutex);
    m_state.m_flDangerThreshold = threshold;
    m_state.m_iDangerBarIdx = zoneStart(threshold, m_state.m_iNumBars);
}

float F3BarGauge::dangerThreshold() const
{
    QMutexLocker lock(&m_mutex);
    return m_state.m_flDangerThreshold;
}

void F3BarGauge::resetPeak()
{
    {
        QMutexLocker lock(&m_mutex);
        m_state.m_flPeakValue = -std::numeric_limits<float>::infinity();
        m_state.m_iPeakBarIdx = -1;
    }
    update();
}

float F3BarGauge::peakValue() const
{
    QMutexLocker lock(&m_mutex);
    return m_state.m_flPeakValue;
}

F3BarGauge::Indexes F3BarGauge::indexes() const
{
    QMutexLocker lock(&m_mutex);
    const State &s = m_state;
    return {s.m_iOnIdx, s.m_iOffIdx, s.m_iPeakBarIdx, s.m_iWarningBarIdx, s.m_iDangerBarIdx};
}

// Plain stores: they take effect at the next setValue or redraw.
#define F3_ACCESSORS(Type, getter, setter, field)                                                                      \
    void F3BarGauge::setter(Type v)                                                                                    \
    {                                                                                                                  \
        QMutexLocker lock(&m_mutex);                                                                                   \
        m_state.field = v;                                                                                             \
    }                                                                                                                  \
    Type F3BarGauge::getter() const                                                                                    \
    {                                                                                                                  \
        QMutexLocker lock(&m_mutex);                                                                                   \
        return m_state.field;                                                                                          \
    }
F3_ACCESSORS(float, maxLimit, setMaxLimit, m_flMaxLimit)
F3_ACCESSORS(float, minLimit, setMinLimit, m_flMinLimit)
F3_ACCESSORS(bool, holdPeak, setHoldPeak, m_fHoldPeak)
F3_ACCESSORS(bool, litEffect, setLitEffect, m_fLitEffect)
F3_ACCESSORS(bool, reverse, setReverse, m_fReverseDirection)
#undef F3_ACCESSORS

#define F3_COLOR(getter, setter, field)                                                                                \
    void F3BarGauge::setter(const QColor &c)                                                                           \
    {                                                                                                                  \
        QMutexLocker lock(&m_mutex);                                                                                   \
        m_state.field = c;                                                                                             \
    }                                                                                                                  \
    QColor F3BarGauge::getter() const                                                                                  \
    {                                                                                                                  \
        QMutexLocker lock(&m_mutex);                                                                                   \
        return m_state.field;                                                                                          \
    }
F3_COLOR(outerBorderColor, setOuterBorderColor, m_clrOuterBorder)
F3_COLOR(innerBorderColor, setInnerBorderColor, m_clrInnerBorder)
F3_COLOR(backgroundColor, setBackgroundColor, m_clrBackground)
F3_COLOR(normalBarColor, setNormalBarColor, m_clrNormal)
F3_COLOR(warningBarColor, setWarningBarColor, m_clrWarning)
F3_COLOR(dangerBarColor, setDangerBarColor, m_clrDanger)
#undef F3_COLOR

void F3BarGauge::paintEvent(QPaintEvent *)
{
    State s;
    {
        QMutexLocker lock(&m_mutex);
        s = m_state;
    }
    QPainter painter(this);
    const QRectF bounds = rect();
    const qreal x = bounds.x(), y = bounds.y(), w = bounds.width(), h = bounds.height();
    const int n = s.m_iNumBars;
    const bool column = h >= w;
    const qreal size = std::floor((column ? h : w) / n);
    const QRectF area = column ? QRectF(x, y, w, n * size) : QRectF(x, y, n * size, h);

    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(bounds, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(area, s.m_clrBackground);

    for (int i = 0; i < n; ++i) {
        const qreal o = i * size;
        QRectF bar;
        if (column)
            bar = s.m_fReverseDirection ? QRectF(x + 1, y + o, w - 2, size)
                                        : QRectF(x + 1, area.bottom() - (o + size), w - 2, size);
        else
            bar = s.m_fReverseDirection ? QRectF(area.right() - (o + size), y + 1, size, h - 2)
                                        : QRectF(x + o, y + 1, size, h - 2);
        painter.setPen(QPen(s.m_clrInnerBorder, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bar);

        QColor color = s.m_clrNormal;
        if (s.m_iDangerBarIdx >= 0 && i >= s.m_iDangerBarIdx)
            color = s.m_clrDanger;
        else if (s.m_iWarningBarIdx >= 0 && i >= s.m_iWarningBarIdx)
            color = s.m_clrWarning;
        const bool lit = (s.m_iOnIdx <= i && i < s.m_iOffIdx) || i == s.m_iPeakBarIdx;
        const QRectF inner = bar.adjusted(1, 1, -1, -1);
        painter.save();
        painter.setClipRect(inner);
        drawBar(painter, inner, color, lit, s.m_clrBackground, s.m_fLitEffect);
        painter.restore();
    }
    painter.setPen(QPen(s.m_clrOuterBorder, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(1, 1, -1, -1));
}

void F3BarGauge::drawBar(QPainter &painter, const QRectF &rect, const QColor &color, bool lit, const QColor &background,
                         bool litEffect) const
{
    if (!lit) {
        painter.fillRect(rect, background);
        QColor faint = color;
        faint.setAlphaF(0.2f);
        painter.fillRect(rect, faint);
        return;
    }
    if (!litEffect) {
        painter.fillRect(rect, color);
        return;
    }
    // The zone colour at the centre, darker by 0.3 per channel (where above 0.3) from half
    // the diagonal outwards.
    const QColor rgba = color.toRgb();
    const auto darker = [](float c) { return c > 0.3f ? c - 0.3f : c; };
    const QColor dark =
        QColor::fromRgbF(darker(rgba.redF()), darker(rgba.greenF()), darker(rgba.blueF()), rgba.alphaF());
    const qreal diagonal = std::hypot(rect.width(), rect.height());
    QRadialGradient gradient(rect.center(), diagonal);
    gradient.setColorAt(0.0, rgba);
    gradient.setColorAt(0.5, dark);
    gradient.setColorAt(1.0, dark);
    painter.fillRect(rect, gradient);
}

void F3BarGauge::setPlayerMeterLook(int bars)
{
    setNumBars(bars);
    setLitEffect(false);
    const QColor grey = QColor::fromRgbF(0.2f, 0.2f, 0.2f, 1.0f);
    setNormalBarColor(grey);
    setWarningBarColor(grey);
    setDangerBarColor(grey);
    setBackgroundColor(Qt::transparent);
    setOuterBorderColor(Qt::transparent);
    setInnerBorderColor(Qt::transparent);
}
