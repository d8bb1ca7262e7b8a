#include "ScrollView.h"

#include <QKeyEvent>
#include <QNativeGestureEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

ScrollView::ScrollView(QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
}

void ScrollView::setContentView(QWidget *content)
{
    setWidget(content);
    if (content && m_contentSize.isEmpty())
        m_contentSize = content->size();
}

void ScrollView::setContentSize(const QSize &size)
{
    m_contentSize = size;
    if (QWidget *content = widget())
        content->resize((QSizeF(size) * m_scale).toSize());
}

void ScrollView::setZoomScale(qreal scale)
{
    scale = std::clamp(scale, m_minimum, m_maximum);
    if (qFuzzyCompare(scale, m_scale))
        return;
    QWidget *content = widget();
    // Keep the point under the centre of the view where it is.
    const QPointF centre(horizontalScrollBar()->value() + viewport()->width() / 2.0,
                         verticalScrollBar()->value() + viewport()->height() / 2.0);
    const qreal factor = scale / m_scale;
    m_scale = scale;
    if (content)
        content->resize((QSizeF(m_contentSize) * m_scale).toSize());
    horizontalScrollBar()->setValue(qRound(centre.x() * factor - viewport()->width() / 2.0));
    verticalScrollBar()->setValue(qRound(centre.y() * factor - viewport()->height() / 2.0));
    emit zoomScaleChanged(m_scale);
}

bool ScrollView::event(QEvent *event)
{
    if (event->type() == QEvent::NativeGesture) {
        auto *gesture = static_cast<QNativeGestureEvent *>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            setZoomScale(m_scale * (1.0 + gesture->value()));
            return true;
        }
    }
    return QScrollArea::event(event);
}

void ScrollView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps > 0)
            zoomIn();
        else if (steps < 0)
            zoomOut();
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

void ScrollView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        return;
    case Qt::Key_Minus:
        zoomOut();
        return;
    case Qt::Key_0:
        setZoomScale(1.0);
        return;
    default:
        QScrollArea::keyPressEvent(event);
    }
}
