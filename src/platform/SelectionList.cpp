#include "SelectionList.h"

void SelectionList::toggle(const QString &value)
{
    if (m_values.contains(value))
        m_values.removeAll(value);
    else
        m_values.append(value);
}

void SelectionList::selectAllOrNone(const QStringList &all)
{
    if (m_values.size() != all.size())
        m_values = all;
    else
        m_values.clear();
}
