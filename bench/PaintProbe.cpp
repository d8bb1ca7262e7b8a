#include "PaintProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

bool PaintProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        painted = true;
    return QObject::eventFilter(watched, event);
}

double PaintProbe::timeToPaint(QWidget *target, const std::function<void()> &act)
{
    PaintProbe probe;
    target->installEventFilter(&probe);
    QElapsedTimer clock;
    clock.start();
    act();
    while (!probe.painted && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    target->removeEventFilter(&probe);
    return ms;
}
