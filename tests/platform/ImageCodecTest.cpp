#include "support/SongFixtures.h"

#include "library/TagReader.h"
#include "platform/ImageCodec.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QByteArray progressiveJpeg(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setProgressiveScanWrite(true);
    return writer.write(image) ? bytes : QByteArray();
}

// A start of image, one frame header of the given kind, size and sampling factors
// (one byte per component: horizontal and vertical), and a scan of every component.
QByteArray header(uchar marker, int width, int height, const QList<uchar> &sampling)
{
    QByteArray frame = QByteArray::fromHex("ffd8ff") + char(marker);
    const int length = 8 + 3 * int(sampling.size());
    frame += char(length >> 8) + QByteArray(1, char(length & 0xFF)) + char(8);
    frame += char(height >> 8) + QByteArray(1, char(height & 0xFF)) + char(width >> 8) + char(width & 0xFF);
    frame += char(sampling.size());
    for (int i = 0; i < sampling.size(); ++i)
        frame += char(i + 1) + QByteArray(1, char(sampling[i])) + char(0);
    const int components = int(sampling.size());
    return frame + QByteArray::fromHex("ffda") + char(0) + char(6 + 2 * components) + char(components)
        + QByteArray(2 * components + 3, '\0') + QByteArray::fromHex("1234 ffd9");
}

TEST(ImageCodec, ACommonLargeProgressiveCoverGivesArtwork)
{
    // 3000 x 3000 progressive, as covers bought online come: nine megapixels, a coefficient
    // buffer of a few tens of MB.
    const QByteArray cover = progressiveJpeg(3000, 3000);
    ASSERT_FALSE(cover.isEmpty());
    ASSERT_TRUE(ImageCodec::jpegNeedsWholeImageBuffer(cover));
    ASSERT_TRUE(ImageCodec::jpegCoefficientBufferBytes(cover).has_value());
    EXPECT_LT(*ImageCodec::jpegCoefficientBufferBytes(cover), 60'000'000);

    const QImage artwork = QImage::fromData(TagReader::artworkPng(cover), "PNG");
    ASSERT_EQ(artwork.size(), QSize(92, 92));
    EXPECT_GT(qRed(artwork.pixel(10, 46)), 200);
    EXPECT_GT(qBlue(artwork.pixel(81, 46)), 200);
}

TEST(ImageCodec, ProgressivePicturesAreJudgedByTheBufferTheDecoderNeeds)
{
    // Blocks of 8 x 8, rounded up to whole sampling units, 128 bytes each.
    const QList<uchar> full{0x11, 0x11, 0x11}; // 4:4:4
    const QList<uchar> halved{0x22, 0x11, 0x11}; // 4:2:0
    EXPECT_EQ(ImageCodec::jpegCoefficientBufferBytes(header(0xC2, 20000, 20000, full)), 2'400'000'000LL);
    EXPECT_EQ(ImageCodec::jpegCoefficientBufferBytes(header(0xC2, 20000, 20000, halved)), 1'200'000'000LL);
    EXPECT_EQ(ImageCodec::jpegCoefficientBufferBytes(header(0xC2, 3001, 3001, halved)),
              (376 * 376 + 2 * 188 * 188) * 128LL);
    EXPECT_EQ(ImageCodec::jpegCoefficientBufferBytes(header(0xC2, 6000, 6000, full)), 216'000'000LL);
    EXPECT_EQ(ImageCodec::jpegCoefficientBufferBytes(header(0xC0, 100, 50, {0x11})), 13 * 7 * 128LL) << "grey";
    EXPECT_FALSE(ImageCodec::jpegCoefficientBufferBytes(header(0xC2, 0, 100, full)).has_value());
    EXPECT_FALSE(ImageCodec::jpegCoefficientBufferBytes(QByteArray::fromHex("ffd8ffd9")).has_value());

    // Over the bound: refused before any decoding, however small the target.
    EXPECT_TRUE(ImageCodec::decode(header(0xC2, 7000, 7000, full), QSize(92, 92)).isNull());
    const QByteArray huge = SongFixtures::jpegClaiming(20000, 20000, true);
    ASSERT_GT(*ImageCodec::jpegCoefficientBufferBytes(huge), ImageCodec::kMaxJpegCoefficientBytes);
    EXPECT_TRUE(ImageCodec::decode(huge, QSize(92, 92)).isNull());
    EXPECT_TRUE(TagReader::artworkPng(huge).isEmpty());
}

} // namespace
