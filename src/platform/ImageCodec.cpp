#include "ImageCodec.h"

#include <QBuffer>
#include <QImageReader>

QImage ImageCodec::decode(const QByteArray &data, const QSize &targetSize)
{
    if (data.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize size = reader.size();
    const bool large = size.isValid() && qint64(size.width()) * size.height() > kMaxFullPixels;
    if (targetSize.isValid() && size.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)
        && (size.width() > targetSize.width() || size.height() > targetSize.height())) {
        reader.setScaledSize(targetSize);
    } else if (large) {
        return {};
    }
    return reader.read();
}

QByteArray ImageCodec::pngData(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return png;
}
