#include "ImageCodec.h"

#include <QPainter>

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace {
// What the decoder will make of a JPEG, read from its headers as far as the first scan.
struct JpegLayout
{
    bool wholeImageBuffer = true;
    std::optional<qint64> coefficientBytes;
};

// The coefficient arrays the decoder keeps when it buffers the whole picture: per
// component its blocks of 8 x 8 (rounded up to whole sampling units), 64 coefficients
// of two bytes each.
std::optional<qint64> coefficientBytes(const QByteArray &data, qsizetype frame)
{
    const auto byte = [&](qsizetype i) { return i < data.size() ? uchar(data.at(i)) : 0; };
    const qint64 height = (qint64(byte(frame + 5)) << 8) | byte(frame + 6);
    const qint64 width = (qint64(byte(frame + 7)) << 8) | byte(frame + 8);
    const int components = byte(frame + 9);
    if (width == 0 || height == 0 || components == 0 || frame + 10 + 3 * components > data.size())
        return std::nullopt;
    int maxH = 1, maxV = 1;
    for (int c = 0; c < components; ++c) {
        maxH = std::max(maxH, byte(frame + 11 + 3 * c) >> 4);
        maxV = std::max(maxV, byte(frame + 11 + 3 * c) & 0x0F);
    }
    const auto roundUp = [](qint64 value, qint64 unit) { return unit > 0 ? (value + unit - 1) / unit * unit : value; };
    qint64 blocks = 0;
    for (int c = 0; c < components; ++c) {
        const int h = byte(frame + 11 + 3 * c) >> 4;
        const int v = byte(frame + 11 + 3 * c) & 0x0F;
        if (h == 0 || v == 0)
            return std::nullopt;
        const qint64 across = (width * h + qint64(maxH) * 8 - 1) / (qint64(maxH) * 8);
        const qint64 down = (height * v + qint64(maxV) * 8 - 1) / (qint64(maxV) * 8);
        blocks += roundUp(across, h) * roundUp(down, v);
    }
    return blocks * 64 * 2;
}

JpegLayout jpegLayout(const QByteArray &data)
{
    // The decoder's own rule, taken at the first scan: a buffer of the whole picture unless
    // the first frame header is sequential (SOF0, SOF1) and the first scan carries every
    // component of the frame. Anything that cannot be read that far counts as needing one.
    JpegLayout layout;
    const auto byte = [&](qsizetype i) { return i < data.size() ? uchar(data.at(i)) : 0; };
    if (byte(0) != 0xFF || byte(1) != 0xD8)
        return layout;
    int frameMarker = -1;
    int frameComponents = 0;
    qsizetype i = 2;
    while (i + 3 < data.size()) {
        if (byte(i) != 0xFF)
            return layout; // stray bytes between segments
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
            return layout;
        const qsizetype length = (qsizetype(byte(i + 2)) << 8) | byte(i + 3);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && frameMarker < 0) {
            frameMarker = marker;
            frameComponents = byte(i + 9); // after length, precision, height and width
            layout.coefficientBytes = coefficientBytes(data, i);
        }
        if (marker == 0xDA) {
            const int scanComponents = byte(i + 4);
            layout.wholeImageBuffer = (frameMarker != 0xC0 && frameMarker != 0xC1) || scanComponents < frameComponents;
            return layout;
        }
        i += 2 + length;
    }
    return layout;
}
} // namespace

bool ImageCodec::jpegNeedsWholeImageBuffer(const QByteArray &data)
{
    return jpegLayout(data).wholeImageBuffer;
}

std::optional<qint64> ImageCodec::jpegCoefficientBufferBytes(const QByteArray &data)
{
    return jpegLayout(data).coefficientBytes;
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
    // however small it is decoded: it is refused by what that buffer would take (or, when
    // the headers do not tell, by its size), a sequential one may be any size.
    if (reader.format() == "jpeg") {
        const JpegLayout layout = jpegLayout(data);
        if (layout.wholeImageBuffer
            && (layout.coefficientBytes ? *layout.coefficientBytes > kMaxJpegCoefficientBytes : large))
            return {};
    }
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
