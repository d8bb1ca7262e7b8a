#pragma once

#include <QAccessibleWidget>

class TableViewCell;

// A table row as assistive technologies (and the end-to-end tests) see it: a list item
// named by its title, described by its detail line, selectable, and pressed like a tap.
class AccessibleTableViewCell : public QAccessibleWidget
{
public:
    explicit AccessibleTableViewCell(TableViewCell *cell);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

    // Registered once with Qt: rows and tables get these interfaces.
    static void installFactory();

private:
    TableViewCell *cell() const;
};
