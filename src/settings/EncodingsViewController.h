#pragma once

#include "app/ZivoViewController.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QList>
#include <QStringList>

class NavigationBar;
class TableView;

// The tag encoding picker: every encoding by name, a check mark at the stored one. A
// choice is stored at once and the list redrawn; the picker stays open. Closing it asks
// the shell to refresh the settings screen and the now-playing panel, then uncovers the
// settings screen. The two lists exist only while the screen is shown.
class EncodingsViewController : public ZivoViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
public:
    static constexpr qreal fontSize = 13;
    static constexpr qreal minimumFontSize = 9;

    explicit EncodingsViewController(QObject *parent = nullptr);

    void closeView();
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool escapePressed() override;

    NavigationBar *titleNavigationBar() const { return m_titleNavigationBar; }
    TableView *tableView() const { return m_tableView; }
    const QList<quint32> &encodingNumbers() const { return m_encodingNumbers; }
    const QStringList &encodingNames() const { return m_encodingNames; }

    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    QString titleForHeaderInSection(TableView *table, int section) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

protected:
    View *loadView() override;

private:
    NavigationBar *m_titleNavigationBar = nullptr;
    TableView *m_tableView = nullptr;
    QList<quint32> m_encodingNumbers;
    QStringList m_encodingNames;
};
