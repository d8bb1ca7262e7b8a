#pragma once

#include "app/ScreenInterfaces.h"
#include "app/ZivoViewController.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QList>
#include <QStringList>

class Button;
class NavigationBar;
class TableView;

// The folder list ("Folder Play"): one row per folder of the library, the root
// ("Documents") first, with its number of files and a play button that plays the whole
// folder; a tap opens the folder's song list. It rebuilds its lists each time it will
// appear and drops them when it has gone.
class MusicListViewController : public ZivoViewController,
                                public TableViewDataSource,
                                public TableViewDelegate,
                                public FolderListJump,
                                public SongFileDeleter
{
    Q_OBJECT
public:
    explicit MusicListViewController(QObject *parent = nullptr);

    TableView *listTableView() const { return m_listTableView; }
    NavigationBar *navigationBar() const { return m_bar; }
    QStringList sectionTitleArray() const { return m_sectionTitleArray; }
    QList<QStringList> allSectionArray() const { return m_allSectionArray; }
    bool goSublistFlg() const { return m_goSublistFlg; }

    // Plays the folder of the row whose play button was pressed.
    void playFolder(Button *sender);
    void goMusicMainView();
    void goMusicDetailView();

    // FolderListJump
    void setGoSublistFlg(bool on) override { m_goSublistFlg = on; }
    // SongFileDeleter: deletes the file, then lists again.
    bool holdsSongs() const override { return !m_sectionTitleArray.isEmpty(); }
    void delFileAtIndex(const QUrl &url) override;

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
    void buildLists();
    void openFolder(const QString &folder, const QStringList &files);

    NavigationBar *m_bar = nullptr;
    TableView *m_listTableView = nullptr;
    bool m_goSublistFlg = false;
    QStringList m_sectionTitleArray;
    QList<QStringList> m_allSectionArray;
};
