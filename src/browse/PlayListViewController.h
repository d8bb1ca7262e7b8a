#pragma once

#include "app/EditModeToolbars.h"
#include "app/ZivoViewController.h"
#include "library/PlaylistStore.h"
#include "platform/ActionSheet.h"
#include "platform/NameInputBar.h"
#include "platform/SelectionList.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <memory>

class BarButtonItem;
class Button;
class NavigationBar;
class TableView;
class TextField;
class Toolbar;
class View;

// Managing playlists: one row per playlist with its number of songs. "Add List" brings up
// a name bar with a text field (OK creates the playlist); edit mode ticks playlists and
// deletes them after a confirmation. A tap outside edit mode opens the playlist's songs.
// Every change is written to the store and flushed at once.
class PlayListViewController : public ZivoViewController,
                               public TableViewDataSource,
                               public TableViewDelegate,
                               public ActionSheetDelegate
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "PlayListViewCell";
    static constexpr int rowHeight = 50;
    // The tag of the delete confirmation; answers from any other sheet change nothing.
    static constexpr int deleteSheetTag = 1111;

    explicit PlayListViewController(QObject *parent = nullptr);

    TableView *songFolderTable() const { return m_table; }
    TextField *nameInputTextField() const { return m_nameBar->field(); }
    View *folderNameInputView() const { return m_nameBar; }
    Toolbar *normalToolbar() const { return m_toolbars->normalToolbar(); }
    Toolbar *editToolbar() const { return m_toolbars->editToolbar(); }
    BarButtonItem *delButton() const { return m_delButton; }
    BarButtonItem *doneButton() const { return m_doneButton; }
    BarButtonItem *addButton() const { return m_addButton; }
    BarButtonItem *editButton() const { return m_editButton; }
    NavigationBar *titleNavigationBar() const { return m_bar; }
    bool editMode() const { return m_editMode; }
    QStringList songFolderArray() const { return m_songFolderArray; }
    QStringList selectedFolderArray() const { return m_selection.values(); }
    const PlaylistStore &playListDic() const { return m_store; }

    void viewFolderNameInputView();
    void clickFolerNameInputButton();
    void cancelFolerNameInput();
    void editToggle();
    void delSelectedFile();
    void goMusicMainView();

    // ActionSheetDelegate
    void actionSheetClickedButtonAtIndex(ActionSheet *sheet, int buttonIndex) override;

    // TableViewDataSource / TableViewDelegate
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool escapePressed() override;

protected:
    View *loadView() override;

private:
    void refreshDelButton();

    NavigationBar *m_bar = nullptr;
    TableView *m_table = nullptr;
    NameInputBar *m_nameBar = nullptr;
    std::unique_ptr<EditModeToolbars> m_toolbars;
    BarButtonItem *m_delButton = nullptr;
    BarButtonItem *m_doneButton = nullptr;
    BarButtonItem *m_addButton = nullptr;
    BarButtonItem *m_editButton = nullptr;
    bool m_editMode = false;
    PlaylistStore m_store;
    QStringList m_songFolderArray;
    SelectionList m_selection;
};
