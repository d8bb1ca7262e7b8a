#pragma once

#include "app/ScreenInterfaces.h"
#include "app/EditModeToolbars.h"
#include "app/ZivoViewController.h"
#include "library/PlaylistStore.h"
#include "platform/ActionSheet.h"
#include "platform/SelectionList.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <memory>

class BarButtonItem;
class NavigationBar;
class TableView;
class Toolbar;

// A playlist's songs, for editing: one row per entry with its path under Documents, or in
// red "The file has been deleted." when its file is gone. "AddMusic" opens the song
// picker, which hands the ticked songs back (addPlayListFiles); edit mode ticks entries
// (equal entries together) and deletes them; "ClearDeletedFiles" drops the entries whose
// files are gone. Song files are never touched here.
class PlayListFileListViewController : public ZivoViewController,
                                       public TableViewDataSource,
                                       public TableViewDelegate,
                                       public ActionSheetDelegate,
                                       public PlayListFilesReceiver
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "PlayListFileListCell";
    static constexpr int rowHeight = 35;
    static constexpr int deleteSheetTag = 1111;

    explicit PlayListFileListViewController(QObject *parent = nullptr);

    // Set by the management screen before it opens this one.
    void setFolderName(const QString &name) { m_folderName = name; }
    QString folderName() const { return m_folderName; }

    TableView *listTableView() const { return m_table; }
    NavigationBar *titleNavigationBar() const { return m_bar; }
    Toolbar *normalToolbar() const { return m_toolbars->normalToolbar(); }
    Toolbar *editToolbar() const { return m_toolbars->editToolbar(); }
    BarButtonItem *delButton() const { return m_delButton; }
    BarButtonItem *doneButton() const { return m_doneButton; }
    BarButtonItem *checkAllButton() const { return m_checkAllButton; }
    BarButtonItem *delFileClearButton() const { return m_delFileClearButton; }
    BarButtonItem *addButton() const { return m_addButton; }
    BarButtonItem *editButton() const { return m_editButton; }
    bool editMode() const { return m_editMode; }
    QStringList fileListArray() const { return m_fileListArray; }
    QStringList selectedFileArray() const { return m_selection.values(); }

    void editToggle();
    void delSelectedFile();
    void checkAllFile();
    void clearDelFile();
    void goFileSelectorView();
    void goBack();

    // PlayListFilesReceiver: the song picker's ticked songs, appended in its order.
    void addPlayListFiles(const QStringList &entries) override;

    // ActionSheetDelegate
    void actionSheetClickedButtonAtIndex(ActionSheet *sheet, int buttonIndex) override;

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
    void refreshDelButton();
    void reloadFromStore();

    NavigationBar *m_bar = nullptr;
    TableView *m_table = nullptr;
    std::unique_ptr<EditModeToolbars> m_toolbars;
    BarButtonItem *m_delButton = nullptr;
    BarButtonItem *m_checkAllButton = nullptr;
    BarButtonItem *m_doneButton = nullptr;
    BarButtonItem *m_delFileClearButton = nullptr;
    BarButtonItem *m_addButton = nullptr;
    BarButtonItem *m_editButton = nullptr;
    bool m_editMode = false;
    QString m_folderName;
    PlaylistStore m_store;
    QStringList m_fileListArray;
    SelectionList m_selection;
};
