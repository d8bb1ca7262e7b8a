#include "ImageView.h"

#include "Bundle.h"

#include <QFileInfo>
#include <QHash>
#include <QPainter>

ImageView::ImageView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

ImageView::ImageView(const QPixmap &image, QWidget *parent) : ImageView(parent)
{
    setImage(image);
    resize(image.deviceIndependentSize().toSize());
}

void ImageView::setImage(const QPixmap &image)
{
    m_image = image;
    m_scaled = QPixmap();
    update();
}

void ImageView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    // Scaled once for the size and the screen's pixel ratio, so a repaint (a label moving
    // over the picture, say) is a plain copy rather than a smooth scaling of the whole picture.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_scaled.isNull() || m_scaled.size() != pixels) {
        QImage scaled = m_image.toImage();
        if (scaled.size() != pixels)
            scaled = scaled.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // In the format the window is drawn in: nothing to convert at each repaint.
        m_scaled = QPixmap::fromImage(scaled.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        m_scaled.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawPixmap(rect().topLeft(), m_scaled);
}

QPixmap ImageView::imageNamed(const QString &name)
{
    QString base = name;
    QString type = QFileInfo(name).suffix();
    if (type.isEmpty())
        type = QStringLiteral("png");
    else
        base.chop(type.size() + 1);
    // Pictures are loaded once and shared, as the platform's loader does.
    static QHash<QString, QPixmap> cache;
    const QString key = Bundle::resourceRoot() + base + QLatin1Char('.') + type;
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;

    QPixmap pixmap;
    if (const QString twice = Bundle::pathForResource(base + QStringLiteral("@2x"), type); !twice.isEmpty()) {
        pixmap.load(twice);
        pixmap.setDevicePixelRatio(2);
    } else if (const QString once = Bundle::pathForResource(base, type); !once.isEmpty()) {
        pixmap.load(once);
    }
    if (!pixmap.isNull())
        cache.insert(key, pixmap);
    return pixmap;
}
