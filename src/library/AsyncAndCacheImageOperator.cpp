#include "AsyncAndCacheImageOperator.h"

#include "ImageSink.h"
#include "SongCache.h"
#include "TextSink.h"
#include "ZivoModel.h"
#include "platform/DispatchQueue.h"

#include <QDir>

AsyncAndCacheImageOperator::AsyncAndCacheImageOperator(const QUrl &url, ImageSink *imageView, TextSink *label)
    : _url(url), _imageView(imageView), _label(label)
{}

void AsyncAndCacheImageOperator::setLoadCompleteWithTarget(Completion completion)
{
    _loadComplete = std::move(completion);
}

QString AsyncAndCacheImageOperator::_cacheImagePath()
{
    return SongCache::cacheImagePath();
}

void AsyncAndCacheImageOperator::main()
{
    if (!_canceled) {
        const QStringList components = _url.toLocalFile().split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const QString fileName = components.value(components.size() - 1);
        const QString folder = components.value(components.size() - 2);

        QVariantMap record;
        QImage image;
        if (SongCache::hasTagFile(folder, fileName)) {
            record = SongCache::readTagFile(folder, fileName);
            const QByteArray artwork = SongCache::readArtwork(folder, fileName);
            if (!artwork.isEmpty())
                image = QImage::fromData(artwork, "PNG");
        } else {
            record = ZivoModel::getFileInfoDicWithURL(_url);
            const QByteArray artwork = record.value(QStringLiteral("artwork")).toByteArray();
            if (!artwork.isEmpty())
                image = QImage::fromData(artwork, "PNG");
            SongCache::ensureFolder();
            SongCache::store(folder, fileName, record);
        }
        const QString text = SongCache::detailText(record);
        if (!_canceled) {
            if (!image.isNull() && _imageView)
                _imageView->setImage(image);
            if (!text.isEmpty() && _label)
                _label->setText(text);
        }
    }
    if (_loadComplete)
        DispatchQueue::mainSync([this] { _loadComplete(this); });
}
