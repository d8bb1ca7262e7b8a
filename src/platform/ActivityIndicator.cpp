#include "ActivityIndicator.h"

#include "View.h"

#include <QPainter>

ActivityIndicator::ActivityIndicator(QWidget *parent) : QWidget(parent)
{
    resize(20, 20);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % 12;
        update();
    });
    View::setHidden(this, true);
}

void ActivityIndicator::startAnimating()
{
    m_timer.start();
    View::setHidden(this, false);
}

void ActivityIndicator::stopAnimating()
{
    m_timer.stop();
    if (m_hidesWhenStopped)
        View::setHidden(this, true);
}

void ActivityIndicator::setHidesWhenStopped(bool hides)
{
    m_hidesWhenStopped = hides;
    View::setHidden(this, hides && !isAnimating());
}

void ActivityIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal r = std::min(width(), height()) / 2.0;
    for (int i = 0; i < 12; ++i) {
        const int age = (m_step - i + 12) % 12;
        QColor spoke(236, 240, 245);
        spoke.setAlphaF(1.0 - age / 13.0);
        painter.setPen(QPen(spoke, r * 0.18, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -r * 0.45), QPointF(0, -r * 0.9));
        painter.rotate(30);
    }
}
