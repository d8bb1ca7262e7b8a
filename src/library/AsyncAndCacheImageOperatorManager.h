#pragma once

#include <QList>
#include <QUrl>

#include <memory>

class AsyncAndCacheImageOperator;
class ImageSink;
class TextSink;

// Runs the row loaders in request order, at most _maxAsyncCount at a time. A new
// request for a row drops that row's waiting request and cancels its running one, so a
// reused row never shows the previous song's picture.
class AsyncAndCacheImageOperatorManager
{
public:
    static AsyncAndCacheImageOperatorManager &shared();

    // The image view's entry point: load the song's artwork into the view and its album
    // and artist into the label. Nothing happens without a URL and a path.
    static void setAsyncImageURL(ImageSink *imageView, const QUrl &url, TextSink *label);

    void addImageOperator(std::shared_ptr<AsyncAndCacheImageOperator> imageOperator);
    void setMaxAsyncCount(int count);

    int maxAsyncCount() const { return _maxAsyncCount; }
    int currentAsyncCount() const { return _currentAscynCount; }
    qsizetype waitingCount() const { return _standByImageOperators.size(); }
    qsizetype runningCount() const { return _loadImageOperators.size(); }

private:
    AsyncAndCacheImageOperatorManager() = default;

    void _load();
    void _loadThread(const std::shared_ptr<AsyncAndCacheImageOperator> &imageOperator);
    void _loadComplete(AsyncAndCacheImageOperator *imageOperator);

    int _maxAsyncCount = 2;
    int _currentAscynCount = 0;
    QList<std::shared_ptr<AsyncAndCacheImageOperator>> _standByImageOperators;
    QList<std::shared_ptr<AsyncAndCacheImageOperator>> _loadImageOperators;
};
