#pragma once

#include <QString>

// Where loaded text goes: a list row's second line.
class TextSink
{
public:
    virtual ~TextSink() = default;
    virtual void setText(const QString &text) = 0;
};
