#pragma once

#include <QUrl>

#include <functional>

class ImageSink;
class TextSink;

// Loads one song's artwork and album/artist line for a list row: from the cache when
// the song has a tag file, otherwise from the song's tags (and then caches them).
class AsyncAndCacheImageOperator
{
public:
    using Completion = std::function<void(AsyncAndCacheImageOperator *)>;

    AsyncAndCacheImageOperator(const QUrl &url, ImageSink *imageView, TextSink *label);

    void main();
    void cancel() { _canceled = true; }
    bool isCanceled() const { return _canceled; }
    ImageSink *imageView() const { return _imageView; }
    QUrl url() const { return _url; }

    // Called with the operator on the main thread when main() has finished.
    void setLoadCompleteWithTarget(Completion completion);

    // The cache folder's path, with a trailing "/".
    static QString _cacheImagePath();

private:
    QUrl _url;
    ImageSink *_imageView;
    TextSink *_label;
    bool _canceled = false;
    Completion _loadComplete;
};
