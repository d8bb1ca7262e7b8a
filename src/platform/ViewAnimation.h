#pragma once

#include <QEasingCurve>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>

class QAbstractAnimation;

// Named view animations on Qt's animation framework: alpha, frame and centre changes
// with a duration, delay, curve, repeat count, auto-reverse and completion. Every
// animation that starts is recorded with its parameters, so tests (and the log) can
// tell which animation ran. A new animation of a view's property replaces the one
// running on it (the old completion is told it did not finish).
//
//   ViewAnimation("fadeAni", 300).alpha(a, 0).alpha(b, 1).start();
class ViewAnimation
{
public:
    // The platform's default duration and curve.
    static constexpr int defaultDurationMs = 200;

    struct Record
    {
        QString name;
        int durationMs = 0;
        int delayMs = 0;
        QEasingCurve::Type curve = QEasingCurve::InOutQuad;
        int repeatCount = 0;
        bool autoreverses = false;
        // "alpha", "frame", "center" or "flip", once per animated view.
        QStringList properties;
        QList<QPointer<QWidget>> views;
        QList<QVariant> targets;
    };

    explicit ViewAnimation(const QString &name, int durationMs = defaultDurationMs);

    ViewAnimation &delay(int ms);
    ViewAnimation &curve(QEasingCurve::Type type);
    // Number of runs (a run forward and, with auto-reverse, back again); 0 means once.
    ViewAnimation &repeatCount(int count);
    ViewAnimation &autoreverses(bool on);
    ViewAnimation &alpha(QWidget *view, qreal to);
    ViewAnimation &frame(QWidget *view, const QRect &to);
    ViewAnimation &center(QWidget *view, const QPoint &to);
    // Runs when the animation ends: true when it ran to its end, false when replaced or stopped.
    ViewAnimation &completion(std::function<void(bool finished)> done);
    // Starts it; the returned animation deletes itself when it stops.
    QAbstractAnimation *start();

    // A flip of the view around its vertical axis from the right (the view is drawn
    // squeezed to nothing and back), named as given.
    static QAbstractAnimation *flipFromRight(QWidget *view, const QString &name, int durationMs,
                                             QEasingCurve::Type curve);

    // --- Observation ---
    static QList<Record> history();
    static void clearHistory();
    static int count(const QString &name);
    static Record last(const QString &name);
    // The running animation of that name, if any.
    static QAbstractAnimation *running(const QString &name);
    // Stops every running animation on a view (completion told it did not finish).
    static void stopAnimations(QWidget *view);
    // Jumps every running animation to its end, for tests.
    static void finishAll();

    struct Change
    {
        QPointer<QWidget> view;
        QString property;
        QVariant to;
    };

private:
    Record m_record;
    QList<Change> m_changes;
    std::function<void(bool)> m_completion;
};
