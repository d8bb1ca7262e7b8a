#pragma once

#include "View.h"

#include <QList>

class BarButtonItem;

// The bar at the bottom of a screen: a row of bar buttons spread evenly over its width,
// in the order they were added.
class Toolbar : public View
{
    Q_OBJECT
public:
    static constexpr int height = 44;

    explicit Toolbar(QWidget *parent = nullptr);

    // A new button with that caption at the right end of the bar.
    BarButtonItem *addItem(const QString &title);
    QList<BarButtonItem *> items() const { return m_items; }

    // Places the buttons again (a caption changed its width).
    void layoutItems();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QList<BarButtonItem *> m_items;
};
