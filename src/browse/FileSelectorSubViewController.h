#pragma once

#include "app/ZivoViewController.h"
#include "platform/SelectionList.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QStringList>

class BarButtonItem;
class NavigationBar;
class TableView;
class Toolbar;

// The song picker's second step, laid over the folder step: the folder's songs with their
// date and size, each ticked or not. "AddMusic(n)" hands the ticked songs, as playlist
// entries in the order they were ticked, to the screen that opened the picker and closes
// both steps.
class FileSelectorSubViewController : public ZivoViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "FileSelectorSubViewCell";
    static constexpr int rowHeight = 50;

    explicit FileSelectorSubViewController(QObject *parent = nullptr);

    // Set by the folder step before it lays this one over itself.
    void setFolderDName(const QString &folder) { m_folderDName = folder; }
    QString folderDName() const { return m_folderDName; }
    void setFileNameArray(const QStringList &files) { m_fileNameArray = files; }
    QStringList fileNameArray() const { return m_fileNameArray; }
    QStringList selectedFolderRFileNameArray() const { return m_selection.values(); }

    TableView *listTableView() const { return m_listTableView; }
    NavigationBar *navigationBar() const { return m_bar; }
    BarButtonItem *addButton() const { return m_addButton; }

    void goBack();
    void checkAllFile();
    void sendSelectedFiles();

    // A song's detail line: its date in the locale's long style without the weekday
    // ("7 December 2026"), the time in the short style, then the byte size.
    static QString detailText(const QDateTime &modified, double bytes, const QLocale &locale);

    // TableViewDataSource / TableViewDelegate
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool escapePressed() override;

protected:
    View *loadView() override;

private:
    QString entryOf(const QString &fileName) const;
    void refreshAddButton();

    NavigationBar *m_bar = nullptr;
    TableView *m_listTableView = nullptr;
    Toolbar *m_toolbar = nullptr;
    BarButtonItem *m_addButton = nullptr;
    QString m_folderDName;
    QStringList m_fileNameArray;
    SelectionList m_selection;
};
