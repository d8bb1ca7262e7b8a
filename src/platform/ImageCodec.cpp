#include "ImageCodec.h"

#include <QPainter>

#include <QBuffer>
#include <QImageReader>

bool ImageCodec::jpegNeedsWholeImageBuffer(const QByteArray &data)
{
    // The decoder's own rule, taken at the first scan: a buffer of the whole picture unless
    // the first frame header is sequential (SOF0, SOF1) and the first scan carries every
    // component of the frame. Anything that cannot be read that far counts as needing one.
    const auto byte = [&](qsizetype i) { return i < data.size() ? uchar(data.at(i)) : 0; };
    if (byte(0) != 0xFF || byte(1) != 0xD8)
        return true;
    int frameMarker = -1;
    int frameComponents = 0;
    qsizetype i = 2;
    while (i + 3 < data.size()) {
        if (byte(i) != 0xFF)
            return true; // stray bytes between segments
        const uchar marker = byte(i + 1);
        if (marker == 0xFF) {
            ++i; // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            i += 2; // markers without a segment
            continue;
        }
        if (marker == 0xD9)
            return true;
        const qsizetype length = (qsizetype(byte(i + 2)) << 8) | byte(i + 3);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && frameMarker < 0) {
            frameMarker = marker;
            frameComponents = byte(i + 9); // after length, precision, height and width
        }
        if (marker == 0xDA) {
            const int scanComponents = byte(i + 4);
            return (frameMarker != 0xC0 && frameMarker != 0xC1) || scanComponents < frameComponents;
        }
        i += 2 + length;
    }
    return true;
}

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
    // A progressive or multi-scan JPEG keeps every coefficient of the full picture in memory
    // however small it is decoded: only a sequential one may be large.
    if (large && reader.format() == "jpeg" && jpegNeedsWholeImageBuffer(data))
        return {};
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

QImage ImageCodec::stretched(const QImage &image, int width, int height)
{
    // Pictures decoded straight at the wanted size need no second drawing.
    if (image.size() == QSize(width, height))
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, width, height), image);
    painter.end();
    return canvas;
}
