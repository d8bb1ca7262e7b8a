#pragma once

#include "app/ScreenInterfaces.h"
#include "app/ZivoViewController.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QStringList>

class Button;
class Label;
class NavigationBar;
class TableView;

// A playlist's songs for playing: one row per entry with its artwork, album and artist,
// or in red "Deleted files." when its file is gone. A tap plays the whole playlist
// (missing files included) from that entry; the list follows the player to the row of
// the song that plays now.
class PlaybackSubListViewController : public ZivoViewController,
                                      public TableViewDataSource,
                                      public TableViewDelegate,
                                      public ListScrollTarget,
                                      public SongFileDeleter
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "PlaybackSubListCell";
    static constexpr int rowHeight = 50;

    explicit PlaybackSubListViewController(QObject *parent = nullptr);

    // Set by the playlist list before it opens this screen.
    void setFolderDName(const QString &name) { m_folderDName = name; }
    QString folderDName() const { return m_folderDName; }
    QStringList songArray() const { return m_songArray; }

    TableView *listTableView() const { return m_listTableView; }
    Label *folderNameLabel() const { return m_folderNameLabel; }
    NavigationBar *navigationBar() const { return m_bar; }

    void goBack();
    void goMusicMainView();

    // ListScrollTarget: shows and selects the row, when the playlist is the one shown.
    void scrollToRow(int row, const QString &folderName) override;
    // SongFileDeleter: deletes the file; the entry stays and shows as deleted.
    bool holdsSongs() const override { return !m_folderDName.isEmpty(); }
    void delFileAtIndex(const QUrl &url) override;

    // TableViewDataSource / TableViewDelegate
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool escapePressed() override;

protected:
    View *loadView() override;

private:
    NavigationBar *m_bar = nullptr;
    Label *m_folderNameLabel = nullptr;
    TableView *m_listTableView = nullptr;
    QString m_folderDName;
    QStringList m_songArray;
};
