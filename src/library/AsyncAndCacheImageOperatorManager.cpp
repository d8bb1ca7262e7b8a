#include "AsyncAndCacheImageOperatorManager.h"

#include "AsyncAndCacheImageOperator.h"

#include <algorithm>

AsyncAndCacheImageOperatorManager &AsyncAndCacheImageOperatorManager::shared()
{
    static AsyncAndCacheImageOperatorManager manager;
    return manager;
}

void AsyncAndCacheImageOperatorManager::setAsyncImageURL(ImageSink *imageView, const QUrl &url, TextSink *label)
{
    if (url.isEmpty() || url.toLocalFile().isEmpty())
        return;
    shared().addImageOperator(std::make_shared<AsyncAndCacheImageOperator>(url, imageView, label));
}

void AsyncAndCacheImageOperatorManager::setMaxAsyncCount(int count)
{
    _maxAsyncCount = count;
}

void AsyncAndCacheImageOperatorManager::addImageOperator(std::shared_ptr<AsyncAndCacheImageOperator> imageOperator)
{
    ImageSink *view = imageOperator->imageView();
    auto sameView = [view](const std::shared_ptr<AsyncAndCacheImageOperator> &o) { return o->imageView() == view; };
    const auto waiting = std::find_if(_standByImageOperators.begin(), _standByImageOperators.end(), sameView);
    if (waiting != _standByImageOperators.end())
        _standByImageOperators.erase(waiting);
    for (const auto &running : _loadImageOperators)
        if (sameView(running))
            running->cancel();
    _standByImageOperators.append(std::move(imageOperator));
    _load();
}

void AsyncAndCacheImageOperatorManager::_load()
{
    while (_currentAscynCount < _maxAsyncCount && !_standByImageOperators.isEmpty()) {
        ++_currentAscynCount;
        std::shared_ptr<AsyncAndCacheImageOperator> next = _standByImageOperators.takeFirst();
        _loadImageOperators.append(next);
        next->setLoadCompleteWithTarget([this](AsyncAndCacheImageOperator *done) { _loadComplete(done); });
        _loadThread(next);
    }
}

void AsyncAndCacheImageOperatorManager::_loadThread(const std::shared_ptr<AsyncAndCacheImageOperator> &imageOperator)
{
    // The shared pointer keeps the operator alive while it runs, even once the manager
    // has dropped it from the running list in its completion.
    std::shared_ptr<AsyncAndCacheImageOperator> keepAlive = imageOperator;
    keepAlive->main();
}

void AsyncAndCacheImageOperatorManager::_loadComplete(AsyncAndCacheImageOperator *imageOperator)
{
    ImageSink *view = imageOperator->imageView();
    const auto running = std::find_if(_loadImageOperators.begin(), _loadImageOperators.end(),
                                      [view](const auto &o) { return o->imageView() == view; });
    if (running != _loadImageOperators.end())
        _loadImageOperators.erase(running);
    --_currentAscynCount;
    _load();
}
