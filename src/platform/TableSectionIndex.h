#pragma once

#include <QStringList>
#include <QWidget>

class Button;

// The section index down the right edge of a table list: one small button per title,
// taking the list to its section the moment it is pressed.
class TableSectionIndex : public QWidget
{
    Q_OBJECT
public:
    explicit TableSectionIndex(QWidget *parent = nullptr);

    void setTitles(const QStringList &titles);
    QStringList titles() const { return m_titles; }
    QList<Button *> buttons() const { return m_buttons; }
    // The accessible name of the title at index (the search symbol reads as "Search").
    static QString spokenTitle(const QString &title);

signals:
    void touched(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutButtons();

    QStringList m_titles;
    QList<Button *> m_buttons;
};
