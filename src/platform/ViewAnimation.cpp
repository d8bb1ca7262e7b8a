#include "ViewAnimation.h"

#include "View.h"

#include <QGraphicsOpacityEffect>
#include <QHash>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPauseAnimation>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>
#include <QVariantAnimation>

#include <limits>
#include <memory>

namespace {

struct Running
{
    QPointer<QAbstractAnimation> animation;
    QString name;
    QList<QPair<QPointer<QWidget>, QString>> targets;
    std::shared_ptr<std::function<void(bool)>> completion;
};

QList<ViewAnimation::Record> &records()
{
    static QList<ViewAnimation::Record> list;
    return list;
}

// The history is for looking back at recent animations; a long-running program keeps
// only the latest ones.
constexpr qsizetype kHistoryLimit = 256;

void appendRecord(const ViewAnimation::Record &record)
{
    QList<ViewAnimation::Record> &list = records();
    if (list.size() >= kHistoryLimit)
        list.remove(0, list.size() - kHistoryLimit + 1);
    list.append(record);
}

QList<Running> &runningList()
{
    static QList<Running> list;
    return list;
}

void forget(QAbstractAnimation *animation)
{
    auto &list = runningList();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Running &r) { return !r.animation || r.animation == animation; }),
               list.end());
}

// Stops the animations that touch (view, property); their completions hear "not finished".
void cancelConflicts(QWidget *view, const QString &property)
{
    const QList<Running> snapshot = runningList();
    for (const Running &r : snapshot) {
        for (const auto &target : r.targets) {
            if (target.first == view && (property.isEmpty() || target.second == property)) {
                if (r.animation) {
                    if (r.completion && *r.completion) {
                        auto done = std::move(*r.completion);
                        *r.completion = nullptr;
                        r.animation->stop();
                        done(false);
                    } else {
                        r.animation->stop();
                    }
                }
                break;
            }
        }
    }
}

QAbstractAnimation *propertyAnimation(QWidget *view, const QString &property, const QVariant &to, int durationMs,
                                      const QEasingCurve &curve, bool firstLeg = true)
{
    if (property == QLatin1String("alpha")) {
        // Goes through View::setAlpha so the effect is switched off again at 1.
        auto *animation = new QVariantAnimation;
        QPointer<QWidget> target(view);
        animation->setStartValue(View::alpha(view));
        animation->setEndValue(to.toReal());
        animation->setDuration(durationMs);
        animation->setEasingCurve(curve);
        // Only a running leg moves the view: setting key values also reports a value.
        QObject::connect(animation, &QVariantAnimation::valueChanged, [animation, target](const QVariant &v) {
            if (target && animation->state() == QAbstractAnimation::Running)
                View::setAlpha(target, v.toReal());
        });
        // The start value is taken when the animation begins, not when it is built.
        QObject::connect(animation, &QAbstractAnimation::stateChanged,
                         [animation, target, firstLeg](QAbstractAnimation::State now,
                                                       QAbstractAnimation::State before) {
                             if (firstLeg && target && now == QAbstractAnimation::Running
                                 && before == QAbstractAnimation::Stopped
                                 && animation->direction() == QAbstractAnimation::Forward
                                 && animation->currentLoop() == 0 && animation->currentLoopTime() == 0)
                                 animation->setStartValue(View::alpha(target));
                         });
        return animation;
    }
    auto *animation = new QPropertyAnimation(view, "geometry");
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    if (property == QLatin1String("frame")) {
        animation->setEndValue(to.toRect());
    } else {
        QRect end = view->geometry();
        const QPoint c = to.toPoint();
        end.moveTo(c.x() - end.width() / 2, c.y() - end.height() / 2);
        animation->setEndValue(end);
    }
    return animation;
}

// The value an animation of the change starts from, as the view is now.
QVariant currentValue(const ViewAnimation::Change &change)
{
    if (!change.view)
        return {};
    if (change.property == QLatin1String("alpha"))
        return View::alpha(change.view);
    return change.view->geometry();
}

// Draws a picture of the flipping view squeezed horizontally about its centre.
class FlipCover : public QWidget
{
public:
    FlipCover(QWidget *over, const QImage &picture) : QWidget(over->parentWidget()), m_picture(picture)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(over->geometry());
    }
    void setScale(qreal scale)
    {
        m_scale = scale;
        update();
    }
    void setPicture(const QImage &picture)
    {
        m_picture = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const qreal w = width() * std::abs(m_scale);
        painter.drawImage(QRectF((width() - w) / 2, 0, w, height()), m_picture);
    }

private:
    QImage m_picture;
    qreal m_scale = 1;
};

} // namespace

ViewAnimation::ViewAnimation(const QString &name, int durationMs)
{
    m_record.name = name;
    m_record.durationMs = durationMs;
}

ViewAnimation &ViewAnimation::delay(int ms)
{
    m_record.delayMs = ms;
    return *this;
}

ViewAnimation &ViewAnimation::curve(QEasingCurve::Type type)
{
    m_record.curve = type;
    return *this;
}

ViewAnimation &ViewAnimation::repeatCount(int count)
{
    m_record.repeatCount = count;
    return *this;
}

ViewAnimation &ViewAnimation::autoreverses(bool on)
{
    m_record.autoreverses = on;
    return *this;
}

ViewAnimation &ViewAnimation::alpha(QWidget *view, qreal to)
{
    m_changes.append({view, QStringLiteral("alpha"), to});
    return *this;
}

ViewAnimation &ViewAnimation::frame(QWidget *view, const QRect &to)
{
    m_changes.append({view, QStringLiteral("frame"), to});
    return *this;
}

ViewAnimation &ViewAnimation::center(QWidget *view, const QPoint &to)
{
    m_changes.append({view, QStringLiteral("center"), to});
    return *this;
}

ViewAnimation &ViewAnimation::completion(std::function<void(bool)> done)
{
    m_completion = std::move(done);
    return *this;
}

QAbstractAnimation *ViewAnimation::start()
{
    Running running;
    running.name = m_record.name;
    for (const Change &change : m_changes) {
        if (!change.view)
            continue;
        // Frame and centre both move the geometry.
        const QString slot = change.property == QLatin1String("alpha") ? change.property : QStringLiteral("geometry");
        cancelConflicts(change.view, slot);
        running.targets.append({change.view, slot});
        m_record.properties << change.property;
        m_record.views << change.view;
        m_record.targets << change.to;
    }
    appendRecord(m_record);

    const QEasingCurve easing(m_record.curve);
    auto *parallel = new QParallelAnimationGroup;
    for (const Change &change : m_changes) {
        if (!change.view)
            continue;
        QAbstractAnimation *one =
            propertyAnimation(change.view, change.property, change.to, m_record.durationMs, easing);
        if (m_record.autoreverses) {
            // There and back again: the return leg runs from the target to the value the
            // first leg started from (groups play their children forwards only).
            auto *there = qobject_cast<QVariantAnimation *>(one);
            auto *back = qobject_cast<QVariantAnimation *>(
                propertyAnimation(change.view, change.property, change.to, m_record.durationMs, easing, false));
            back->setStartValue(there->endValue());
            back->setEndValue(there->startValue().isValid() ? there->startValue() : currentValue(change));
            auto *pair = new QSequentialAnimationGroup;
            pair->addAnimation(there);
            pair->addAnimation(back);
            QObject::connect(there, &QAbstractAnimation::stateChanged, back,
                             [there, back, change](QAbstractAnimation::State now) {
                                 if (now == QAbstractAnimation::Running)
                                     back->setEndValue(there->startValue().isValid() ? there->startValue()
                                                                                     : currentValue(change));
                             });
            one = pair;
        }
        parallel->addAnimation(one);
    }
    // Qt counts the total time in int milliseconds: a run count that would overflow it
    // (999999 blinks of 3 s, some 35 days) loops until stopped instead.
    const qint64 runMs = qint64(std::max(1, m_record.durationMs)) * (m_record.autoreverses ? 2 : 1);
    const qint64 runs = std::max(1, m_record.repeatCount);
    parallel->setLoopCount(runs * runMs + m_record.delayMs > std::numeric_limits<int>::max() ? -1 : int(runs));

    QAbstractAnimation *top = parallel;
    if (m_record.delayMs > 0) {
        auto *sequence = new QSequentialAnimationGroup;
        sequence->addPause(m_record.delayMs);
        sequence->addAnimation(parallel);
        top = sequence;
    }
    running.animation = top;
    running.completion = std::make_shared<std::function<void(bool)>>(std::move(m_completion));
    auto completion = running.completion;
    QObject::connect(top, &QAbstractAnimation::finished, [top, completion] {
        forget(top);
        if (completion && *completion) {
            auto done = std::move(*completion);
            *completion = nullptr;
            done(true);
        }
    });
    QObject::connect(top, &QObject::destroyed, [top] { forget(top); });
    // A view that goes away takes its animations with it.
    for (const Change &change : m_changes)
        if (change.view)
            QObject::connect(change.view, &QObject::destroyed, top, [top] { top->stop(); });
    runningList().append(running);
    top->start(QAbstractAnimation::DeleteWhenStopped);
    return top;
}

QAbstractAnimation *ViewAnimation::flipFromRight(QWidget *view, const QString &name, int durationMs,
                                                 QEasingCurve::Type curve)
{
    Record record;
    record.name = name;
    record.durationMs = durationMs;
    record.curve = curve;
    record.properties << QStringLiteral("flip");
    record.views << view;
    record.targets << QVariant();
    appendRecord(record);
    cancelConflicts(view, QStringLiteral("flip"));

    auto *animation = new QVariantAnimation;
    animation->setStartValue(1.0);
    animation->setEndValue(-1.0);
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    if (view->parentWidget() && view->isVisible()) {
        // The cover shows the view's picture while it turns; the view itself stays as it is.
        auto *cover = new FlipCover(view, View::snapshot(view));
        cover->show();
        cover->raise();
        QPointer<QWidget> target(view);
        auto turned = std::make_shared<bool>(false);
        QObject::connect(animation, &QVariantAnimation::valueChanged, cover,
                         [cover, target, turned](const QVariant &v) {
                             if (!target)
                                 return;
                             const qreal value = v.toReal();
                             // Past the edge the other face turns in: the view as it is now.
                             if (value < 0 && !*turned) {
                                 *turned = true;
                                 cover->setPicture(View::snapshot(target));
                             }
                             cover->setScale(value);
                         });
        QObject::connect(animation, &QObject::destroyed, cover, &QObject::deleteLater);
    }
    Running running;
    running.animation = animation;
    running.name = name;
    running.targets.append({view, QStringLiteral("flip")});
    runningList().append(running);
    QObject::connect(animation, &QAbstractAnimation::finished, [animation] { forget(animation); });
    QObject::connect(animation, &QObject::destroyed, [animation] { forget(animation); });
    // A view that goes away takes its flip with it, as it does its other animations.
    QObject::connect(view, &QObject::destroyed, animation, [animation] { animation->stop(); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

QList<ViewAnimation::Record> ViewAnimation::history()
{
    return records();
}

void ViewAnimation::clearHistory()
{
    records().clear();
}

int ViewAnimation::count(const QString &name)
{
    return int(std::count_if(records().cbegin(), records().cend(), [&](const Record &r) { return r.name == name; }));
}

ViewAnimation::Record ViewAnimation::last(const QString &name)
{
    for (auto it = records().crbegin(); it != records().crend(); ++it)
        if (it->name == name)
            return *it;
    return {};
}

QAbstractAnimation *ViewAnimation::running(const QString &name)
{
    for (const Running &r : runningList())
        if (r.name == name && r.animation && r.animation->state() != QAbstractAnimation::Stopped)
            return r.animation;
    return nullptr;
}

void ViewAnimation::stopAnimations(QWidget *view)
{
    cancelConflicts(view, QString());
}

void ViewAnimation::finishAll()
{
    const QList<Running> snapshot = runningList();
    for (const Running &r : snapshot)
        if (r.animation && r.animation->state() == QAbstractAnimation::Running) {
            const int total = r.animation->totalDuration();
            if (total >= 0)
                r.animation->setCurrentTime(total);
        }
}
