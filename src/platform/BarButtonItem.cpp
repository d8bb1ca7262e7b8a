#include "BarButtonItem.h"

#include "Toolbar.h"

BarButtonItem::BarButtonItem(const QString &title, QWidget *parent) : Button(parent)
{
    setFontSize(fontPoints, true);
    setFill(QColor(46, 52, 66), QColor(46, 204, 196), 8);
    setTitleColor(QColor(110, 116, 128), Disabled);
    setTitle(title);
}

void BarButtonItem::setTitleWithCount(const QString &title, int count)
{
    setCaption(QStringLiteral("%1(%2)").arg(title).arg(count));
    setEnabled(count > 0);
}

void BarButtonItem::setCaption(const QString &title)
{
    if (title == text())
        return;
    setTitle(title);
    if (auto *bar = qobject_cast<Toolbar *>(parentWidget()))
        bar->layoutItems();
}
