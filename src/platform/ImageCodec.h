#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

// Picture decoding and PNG encoding with bounds: a picture whose header claims a huge
// size is decoded at a reduced size where the format allows it, and refused otherwise,
// so that a hostile cover cannot take more than the bounds below or more than a moment.
class ImageCodec
{
public:
    ImageCodec() = delete;

    // Largest picture decoded at full size: 8 megapixels, 32 MB as 32-bit pixels.
    static constexpr qint64 kMaxFullPixels = 8'000'000;
    // Largest coefficient buffer of a progressive or multi-scan JPEG: 256 MB, about
    // 44 megapixels without chroma subsampling (89 with the usual 4:2:0).
    static constexpr qint64 kMaxJpegCoefficientBytes = 256LL * 1024 * 1024;
    // Ceiling for any single decoded image, in MB.
    static constexpr int kAllocationLimitMb = 48;

    // Decodes picture bytes (any format Qt reads). With a target size, formats that can
    // decode at a reduced size (JPEG) are decoded straight to that size, stretched.
    // A null image when the bytes do not decode or the picture is too large.
    static QImage decode(const QByteArray &data, const QSize &targetSize = QSize());

    static QByteArray pngData(const QImage &image);
    // The image drawn stretched into a new width x height canvas (aspect ratio not kept).
    static QImage stretched(const QImage &image, int width, int height);

    // True for a JPEG that is progressive or holds several scans (or cannot be read as far as
    // its first scan), which the decoder can only read through a buffer of the whole
    // picture's coefficients.
    static bool jpegNeedsWholeImageBuffer(const QByteArray &data);
    // The bytes of that buffer, from the first frame header; nothing when it cannot be read.
    static std::optional<qint64> jpegCoefficientBufferBytes(const QByteArray &data);
};
