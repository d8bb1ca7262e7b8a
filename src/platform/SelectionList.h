#pragma once

#include <QStringList>

// What is ticked in a list in edit mode (or a pick list), by value and in the order it was
// ticked. Equal values are one choice: ticking a value that is there unticks every copy.
class SelectionList
{
public:
    // Unticks the value (every copy) when it is there, else ticks it at the end.
    void toggle(const QString &value);
    // Ticks everything, in the list's order, unless as many are ticked as the list holds:
    // then unticks everything.
    void selectAllOrNone(const QStringList &all);
    bool contains(const QString &value) const { return m_values.contains(value); }
    int count() const { return int(m_values.size()); }
    bool isEmpty() const { return m_values.isEmpty(); }
    void clear() { m_values.clear(); }
    // The ticked values, in the order they were ticked.
    const QStringList &values() const { return m_values; }

private:
    QStringList m_values;
};
