#pragma once

#include "app/ScreenInterfaces.h"
#include "app/ZivoViewController.h"
#include "library/PlaylistStore.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

class Button;
class NavigationBar;
class TableView;

// The playlists for playing: one row per playlist with its number of songs and a play
// button that plays the whole playlist (from a random song under shuffle); a tap opens
// the playlist's songs. It reads the store each time it will appear and never changes it.
class PlaybackListViewController : public ZivoViewController,
                                   public TableViewDataSource,
                                   public TableViewDelegate,
                                   public SongFileDeleter
{
    Q_OBJECT
public:
    explicit PlaybackListViewController(QObject *parent = nullptr);

    TableView *listTableView() const { return m_listTableView; }
    NavigationBar *navigationBar() const { return m_bar; }
    QStringList songFolderArray() const { return m_songFolderArray; }

    // Plays the playlist of the row whose play button was pressed.
    void playFolder(Button *sender);
    void goMusicMainView();

    // SongFileDeleter: deletes the song's file; its entries stay and show as deleted.
    bool holdsSongs() const override { return !m_songFolderArray.isEmpty(); }
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
    TableView *m_listTableView = nullptr;
    PlaylistStore m_playListDic;
    QStringList m_songFolderArray;
};
