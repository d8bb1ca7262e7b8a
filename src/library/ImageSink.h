#pragma once

#include <QImage>

// Where a loaded picture goes: a list row's image view. Its identity also names the
// row, so that a newer request for the same row supersedes an older one.
class ImageSink
{
public:
    virtual ~ImageSink() = default;
    virtual void setImage(const QImage &image) = 0;
};
