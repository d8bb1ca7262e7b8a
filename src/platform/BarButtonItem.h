#pragma once

#include "Button.h"

// A button of a toolbar. Buttons that act on a selection carry its size in their caption,
// "Delete(2)", and can be pressed exactly when there is something to act on.
class BarButtonItem : public Button
{
    Q_OBJECT
public:
    explicit BarButtonItem(const QString &title, QWidget *parent = nullptr);

    // The caption's size, and the smallest the toolbar shrinks it to when captions crowd.
    static constexpr qreal fontPoints = 11;
    static constexpr qreal smallestFontPoints = 8.5;

    // The caption "title(count)"; enabled exactly when count is above zero.
    void setTitleWithCount(const QString &title, int count);
    // A new caption (the toolbar makes room for it).
    void setCaption(const QString &title);
};
