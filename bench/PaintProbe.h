#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Notes when a widget has been painted: the benchmarks' measure of "on screen".
class PaintProbe : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // Runs `act`, then the event loop until `target` has been painted (5 s at most);
    // milliseconds from the start of `act`.
    static double timeToPaint(QWidget *target, const std::function<void()> &act);
};
