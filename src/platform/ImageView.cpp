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
    update();
}

void ImageView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_image);
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
