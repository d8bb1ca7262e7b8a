#include "ImageCodec.h"

#include <QBuffer>
#include <QImageReader>

bool ImageCodec::jpegNeedsWholeImageBuffer(const QByteArray &data)
{
    const auto byte = [&](qsizetype i) { return i < data.size() ? uchar(data.at(i)) : 0; };
    if (byte(0) != 0xFF || byte(1) != 0xD8)
        return false;
    bool sequential = false;
    int scans = 0;
    qsizetype i = 2;
    while (i + 1 < data.size()) {
        if (byte(i) != 0xFF) {
            ++i; // entropy-coded data of a scan
            continue;
        }
        const uchar marker = byte(i + 1);
        if (marker == 0x00 || marker == 0xFF || (marker >= 0xD0 && marker <= 0xD7)) {
            i += marker == 0xFF ? 1 : 2; // stuffed byte, fill byte or restart marker
            continue;
        }
        if (marker == 0xD9)
            break;
        const qsizetype length = (qsizetype(byte(i + 2)) << 8) | byte(i + 3);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            sequential = marker == 0xC0 || marker == 0xC1;
        if (marker == 0xDA && ++scans > 1)
            break;
        i += 2 + length;
    }
    return !sequential || scans > 1;
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
