#include "AccessibleTableViewCell.h"

#include "Label.h"
#include "TableView.h"
#include "TableViewCell.h"

namespace {
TableView *tableOf(const QWidget *cell)
{
    // Cells live in the table's viewport.
    QWidget *viewport = cell->parentWidget();
    return viewport ? qobject_cast<TableView *>(viewport->parentWidget()) : nullptr;
}

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TableViewCell"))
        return new AccessibleTableViewCell(static_cast<TableViewCell *>(object));
    if (className == QLatin1String("TableView"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::List);
    return nullptr;
}
} // namespace

AccessibleTableViewCell::AccessibleTableViewCell(TableViewCell *cell) : QAccessibleWidget(cell, QAccessible::ListItem)
{}

TableViewCell *AccessibleTableViewCell::cell() const
{
    return static_cast<TableViewCell *>(widget());
}

QString AccessibleTableViewCell::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        const QString name = QAccessibleWidget::text(t);
        return name.isEmpty() ? cell()->textLabel()->text() : name;
    }
    if (t == QAccessible::Description) {
        const QString description = QAccessibleWidget::text(t);
        if (!description.isEmpty())
            return description;
        return cell()->detailTextLabel()->isVisibleTo(cell()) ? cell()->detailTextLabel()->text() : QString();
    }
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleTableViewCell::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.selectable = true;
    s.selected = cell()->isSelected();
    s.focusable = true;
    s.focused = cell()->isKeyboardFocused();
    if (cell()->accessoryType() == TableViewCell::Checkmark) {
        s.checkable = true;
        s.checked = true;
    }
    if (cell()->editCheck() != TableViewCell::EditCheck::None) {
        s.checkable = true;
        s.checked = cell()->editCheck() == TableViewCell::EditCheck::Checked;
    }
    return s;
}

QStringList AccessibleTableViewCell::actionNames() const
{
    return {pressAction()};
}

void AccessibleTableViewCell::doAction(const QString &actionName)
{
    if (actionName != pressAction())
        return;
    if (TableView *table = tableOf(cell()))
        table->activateCell(cell());
}

void AccessibleTableViewCell::installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}
