#include "View.h"

#include "Window.h"

#include <QBuffer>
#include <QGraphicsOpacityEffect>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
const char *const hiddenProperty = "orboHidden";
}

View::View(QWidget *parent) : QWidget(parent)
{}

View::View(const QRect &frame, QWidget *parent) : QWidget(parent)
{
    setGeometry(frame);
}

void View::setBackgroundColor(const QColor &color)
{
    m_background = color;
    update();
}

void View::setCornerRadius(qreal radius)
{
    m_cornerRadius = radius;
    updateMask();
    update();
}

void View::setBorderColor(const QColor &color)
{
    m_border = color;
    update();
}

void View::paintEvent(QPaintEvent *event)
{
    if (m_background.alpha() == 0 && m_border.alpha() == 0)
        return;
    QPainter painter(this);
    if (m_cornerRadius <= 0 && m_border.alpha() == 0) {
        // Only the part being repainted: a small change over a large view (a label moving
        // over a screen) then fills a small area, not the whole view clipped.
        painter.fillRect(event->rect(), m_background);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(m_border.alpha() ? QPen(m_border, 1) : QPen(Qt::NoPen));
    painter.setBrush(m_background);
    const QRectF r = m_border.alpha() ? QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5) : QRectF(rect());
    if (m_cornerRadius > 0)
        painter.drawRoundedRect(r, m_cornerRadius, m_cornerRadius);
    else
        painter.drawRect(r);
}

void View::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateMask();
}

void View::updateMask()
{
    // The background is drawn anti-aliased; the mask only keeps children inside the corners.
    if (m_cornerRadius <= 0) {
        clearMask();
        return;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), m_cornerRadius, m_cornerRadius);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

QPoint View::center(const QWidget *view)
{
    const QRect f = view->geometry();
    return {f.x() + f.width() / 2, f.y() + f.height() / 2};
}

void View::setCenter(QWidget *view, const QPoint &center)
{
    view->move(center.x() - view->width() / 2, center.y() - view->height() / 2);
}

bool View::isHidden(const QWidget *view)
{
    return view->property(hiddenProperty).toBool();
}

void View::setHidden(QWidget *view, bool hidden)
{
    view->setProperty(hiddenProperty, hidden);
    if (view->parentWidget())
        view->setVisible(!hidden);
}

qreal View::alpha(const QWidget *view)
{
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(view->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

void View::setAlpha(QWidget *view, qreal alpha)
{
    alpha = std::clamp(alpha, 0.0, 1.0);
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(view->graphicsEffect());
    if (!effect) {
        if (alpha == 1.0)
            return;
        effect = new QGraphicsOpacityEffect(view);
        view->setGraphicsEffect(effect);
    }
    effect->setOpacity(alpha);
    // An opaque view is drawn directly, without the effect's off-screen pass.
    effect->setEnabled(alpha < 1.0);
    // A view that has faded out (a message overlay left in the window) must not keep
    // catching the clicks meant for what lies beneath it.
    view->setAttribute(Qt::WA_TransparentForMouseEvents, alpha < 0.01);
}

void View::addSubview(QWidget *parent, QWidget *view)
{
    if (auto *window = qobject_cast<Window *>(parent)) {
        window->addSubview(view);
        return;
    }
    if (view->parentWidget() != parent)
        view->setParent(parent);
    view->raise();
    view->setVisible(!isHidden(view));
}

void View::insertSubviewBelow(QWidget *parent, QWidget *view, QWidget *sibling)
{
    if (auto *window = qobject_cast<Window *>(parent)) {
        window->insertSubviewBelow(view, sibling);
        return;
    }
    if (view->parentWidget() != parent)
        view->setParent(parent);
    if (sibling && sibling->parentWidget() == parent)
        view->stackUnder(sibling);
    else
        view->raise();
    view->setVisible(!isHidden(view));
}

void View::removeFromSuperview(QWidget *view)
{
    QWidget *parent = view->parentWidget();
    if (!parent)
        return;
    if (auto *window = qobject_cast<Window *>(parent)) {
        window->removeSubview(view);
        return;
    }
    view->hide();
    view->setParent(nullptr);
}

QList<QWidget *> View::subviews(const QWidget *parent)
{
    // QObject::children() is in stacking order, bottom first, for widgets.
    QList<QWidget *> result;
    for (QObject *child : parent->children())
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            result << widget;
    return result;
}

QImage View::snapshot(QWidget *view)
{
    QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QByteArray View::pngRepresentation(QWidget *view)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    snapshot(view).save(&buffer, "PNG");
    return bytes;
}
