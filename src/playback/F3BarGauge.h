#pragma once

#include "platform/View.h"

#include <QColor>
#include <QMutex>

#include <atomic>
#include <limits>

// A segmented bar gauge: a column (taller than wide, bar 0 at the bottom) or a row (bar 0
// at the left) of equal bars; those from the start up to the value are lit, coloured by
// zone (normal, warning, danger), with an optional held peak bar.
//
// setValue may be called from any thread (the meter thread feeds it ~30 times a second):
// the state it changes is guarded, the paint works on a copy, and the redraw is handed
// to the main thread only when the lit range changes.
class F3BarGauge : public View
{
    Q_OBJECT
public:
    explicit F3BarGauge(QWidget *parent = nullptr);
    explicit F3BarGauge(const QRect &frame, QWidget *parent = nullptr);

    void setValue(float value);
    float value() const;
    void setNumBars(int count);
    int numBars() const;
    void setWarnThreshold(float threshold);
    float warnThreshold() const;
    void setDangerThreshold(float threshold);
    float dangerThreshold() const;
    void setMaxLimit(float limit);
    float maxLimit() const;
    void setMinLimit(float limit);
    float minLimit() const;
    void setHoldPeak(bool on);
    bool holdPeak() const;
    void setLitEffect(bool on);
    bool litEffect() const;
    void setReverse(bool on);
    bool reverse() const;
    float peakValue() const;
    void resetPeak();
    // The look of the players' level meters: the bar count given, dark grey bars over faint
    // ones, no lit effect, no borders, no bar background.
    void setPlayerMeterLook(int bars);

    void setOuterBorderColor(const QColor &color);
    QColor outerBorderColor() const;
    void setInnerBorderColor(const QColor &color);
    QColor innerBorderColor() const;
    // The bars' background (not the view's own).
    void setBackgroundColor(const QColor &color);
    QColor backgroundColor() const;
    void setNormalBarColor(const QColor &color);
    QColor normalBarColor() const;
    void setWarningBarColor(const QColor &color);
    QColor warningBarColor() const;
    void setDangerBarColor(const QColor &color);
    QColor dangerBarColor() const;

    // The computed indexes (for tests and the drawing): first lit bar, first unlit bar after
    // the lit run, the peak bar and the zone starts (-1: none).
    struct Indexes
    {
        int on = 0;
        int off = 0;
        int peak = -1;
        int warning = -1;
        int danger = -1;
    };
    Indexes indexes() const;
    // How many redraws setValue has asked for.
    int redrawRequests() const { return m_redrawRequests; }

protected:
    void paintEvent(QPaintEvent *event) override;
    // One bar into its rectangle: lit in the zone colour (flat or with the radial lit
    // effect), unlit as the background with a faint wash of the zone colour.
    void drawBar(QPainter &painter, const QRectF &rect, const QColor &color, bool lit, const QColor &background,
                 bool litEffect) const;

private:
    struct State
    {
        bool m_fHoldPeak = false;
        bool m_fLitEffect = true;
        bool m_fReverseDirection = false;
        float m_flValue = 0.0f;
        float m_flPeakValue = -std::numeric_limits<float>::infinity();
        float m_flMaxLimit = 1.0f;
        float m_flMinLimit = 0.0f;
        float m_flWarnThreshold = 0.6f;
        float m_flDangerThreshold = 0.8f;
        int m_iNumBars = 10;
        int m_iOnIdx = 0;
        int m_iOffIdx = 0;
        int m_iPeakBarIdx = -1;
        int m_iWarningBarIdx = 6;
        int m_iDangerBarIdx = 8;
        QColor m_clrOuterBorder = Qt::gray;
        QColor m_clrInnerBorder = Qt::black;
        QColor m_clrBackground = Qt::black;
        QColor m_clrNormal = Qt::green;
        QColor m_clrWarning = Qt::yellow;
        QColor m_clrDanger = Qt::red;
    };

    void setDefaults();
    // Under the lock: stores the value and recomputes the lit range and the peak; true when
    // an index changed.
    bool applyValue(float value);
    static int zoneStart(float threshold, int bars);
    void requestRedraw();

    mutable QMutex m_mutex;
    State m_state;
    std::atomic<bool> m_redrawPending{false};
    std::atomic<int> m_redrawRequests{0};
};
