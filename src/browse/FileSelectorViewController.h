#pragma once

#include "app/ZivoViewController.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

class Button;
class FolderSizeQueue;
class FolderSizeTexts;
class NavigationBar;
class PlayListFilesReceiver;
class TableView;

// The song picker's first step, laid over the screen that opened it: one row per folder
// ("Documents" first) with its number of songs and their total size, summed off the main
// thread. Choosing a folder lays the song step over this one.
class FileSelectorViewController : public ZivoViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "FileSelectorViewCell";
    static constexpr int rowHeight = 50;

    explicit FileSelectorViewController(QObject *parent = nullptr);
    ~FileSelectorViewController() override;

    // Who gets the ticked songs (the playlist's song screen); not owned.
    void setComanderClass(PlayListFilesReceiver *receiver) { m_comanderClass = receiver; }
    PlayListFilesReceiver *comanderClass() const { return m_comanderClass; }

    TableView *listTableView() const { return m_listTableView; }
    NavigationBar *titleNavigationBar() const { return m_bar; }
    Button *closeButton() const { return m_closeButton; }
    QStringList sectionTitleArray() const { return m_sectionTitleArray; }
    QList<QStringList> allSectionArray() const { return m_allSectionArray; }
    FolderSizeQueue &folderSizeQueue() const;

    void closeView();

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
    // A folder's sum has come: the rows that show that folder now take it.
    void folderSizeReady(const QString &folder, const QString &text);

    NavigationBar *m_bar = nullptr;
    Button *m_closeButton = nullptr;
    TableView *m_listTableView = nullptr;
    PlayListFilesReceiver *m_comanderClass = nullptr;
    QStringList m_sectionTitleArray;
    QList<QStringList> m_allSectionArray;
    FolderSizeTexts *m_sizes;
};
