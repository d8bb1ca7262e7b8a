#pragma once

#include "app/ScreenInterfaces.h"
#include "app/ZivoViewController.h"
#include "library/ReloadableList.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QStringList>

class Label;
class NavigationBar;
class TableView;

// A folder's song list: one row per file with its album and artist from the song cache
// (the cache builder fills the folder's cache behind its progress overlay when a row
// shows a song not cached yet). A tap plays the folder from that song; the list follows
// the player to the row of the song that plays now.
class MusicSubListViewController : public ZivoViewController,
                                   public TableViewDataSource,
                                   public TableViewDelegate,
                                   public ListScrollTarget,
                                   public SongFileDeleter,
                                   public ReloadableList
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "MusicSubListCell";
    static constexpr int rowHeight = 50;

    explicit MusicSubListViewController(QObject *parent = nullptr);

    // Set by the folder list before it opens this screen.
    void setFolderDName(const QString &folder) { m_folderDName = folder; }
    QString folderDName() const { return m_folderDName; }
    void setFileNameArray(const QStringList &files) { m_fileNameArray = files; }
    QStringList fileNameArray() const { return m_fileNameArray; }

    TableView *listTableView() const { return m_listTableView; }
    Label *folderNameLabel() const { return m_folderNameLabel; }
    NavigationBar *navigationBar() const { return m_bar; }

    void backFolder();
    void goMusicDetailView();

    // ListScrollTarget: shows and selects the row, when the folder is the one shown.
    void scrollToRow(int row, const QString &folderName) override;
    // SongFileDeleter
    bool holdsSongs() const override { return !m_folderDName.isEmpty(); }
    void delFileAtIndex(const QUrl &url) override;
    // ReloadableList: the cache builder is done.
    void reloadData() override;

    // TableViewDataSource / TableViewDelegate
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    int heightForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool escapePressed() override;

protected:
    View *loadView() override;

private:
    QString folderPath() const;

    NavigationBar *m_bar = nullptr;
    Label *m_folderNameLabel = nullptr;
    TableView *m_listTableView = nullptr;
    QString m_folderDName;
    QStringList m_fileNameArray;
};
