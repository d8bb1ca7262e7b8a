#pragma once

#include "app/ScreenInterfaces.h"
#include "app/ZivoViewController.h"
#include "library/ReloadableList.h"
#include "platform/AlertView.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QList>
#include <QPointer>
#include <QStringList>

class Button;
class NavigationBar;
class TableView;

// "All Songs": every song of the library in one list, a section per folder (the root,
// "Documents", first), with a section index and a search field that filters by file name
// as the user types. A tap plays the whole library, in section order, from that song. Until
// the user accepts them, the screen offers to install the demo songs each time it appears.
class MusicAllListViewController : public ZivoViewController,
                                   public TableViewDataSource,
                                   public TableViewDelegate,
                                   public ListScrollTarget,
                                   public SongFileDeleter,
                                   public ReloadableList,
                                   public AlertViewDelegate
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "MusicAllListCell";

    explicit MusicAllListViewController(QObject *parent = nullptr);

    TableView *listTableView() const { return m_listTableView; }
    NavigationBar *navigationBar() const { return m_bar; }
    Button *folderManagerButton() const { return m_folderManagerButton; }
    QStringList sectionTitleArray() const { return m_sectionTitleArray; }
    QList<QStringList> allSectionArray() const { return m_allSectionArray; }
    QStringList mp3NameListArray() const { return m_mp3NameListArray; }
    QStringList sectionShortTitleArray() const { return m_sectionShortTitleArray; }
    QList<QStringList> allSectionArraySearch() const { return m_allSectionArraySearch; }
    // The offer of the demo songs while it is shown.
    AlertView *demoOffer() const { return m_demoOffer; }

    // True while the search field holds text: the list shows the results.
    bool isSearching() const { return m_searching; }
    // What the search field does on every change of its text.
    void searchTextChanged(const QString &text);
    // The library's song entry for a song: the file name in the root, "folder/name" elsewhere.
    static QString entryFor(const QString &folder, const QString &fileName);

    void goMusicMainView();
    void goFileManagerView();
    void goMusicDetailView();

    // ListScrollTarget: the row of the song at that index of the whole library.
    void scrollToRow(int row, const QString &folderName) override;
    // SongFileDeleter
    bool holdsSongs() const override { return !m_sectionTitleArray.isEmpty(); }
    void delFileAtIndex(const QUrl &url) override;
    // ReloadableList: the cache builder is done.
    void reloadData() override;
    // AlertViewDelegate: the demo offer's answer ("YES" is button 0).
    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override;

    // TableViewDataSource / TableViewDelegate
    int numberOfSectionsInTableView(TableView *table) override;
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    QString titleForHeaderInSection(TableView *table, int section) override;
    QStringList sectionIndexTitlesForTableView(TableView *table) override;
    int sectionForSectionIndexTitle(TableView *table, const QString &title, int index) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool escapePressed() override;

protected:
    View *loadView() override;

private:
    void buildLists();
    void endSearch();
    void offerDemoSongs();
    // Plays the library from the song at that row of the full list.
    void playRow(const IndexPath &indexPath);
    const QList<QStringList> &shownSections() const;

    NavigationBar *m_bar = nullptr;
    Button *m_folderManagerButton = nullptr;
    TableView *m_listTableView = nullptr;
    QStringList m_sectionTitleArray;
    QList<QStringList> m_allSectionArray;
    QStringList m_mp3NameListArray;
    QStringList m_sectionShortTitleArray;
    QList<QStringList> m_allSectionArraySearch;
    bool m_searching = false;
    QPointer<AlertView> m_demoOffer;
};
