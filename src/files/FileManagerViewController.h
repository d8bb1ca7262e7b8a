#pragma once

#include "MoveCommander.h"
#include "app/EditModeToolbars.h"
#include "app/ZivoViewController.h"
#include "platform/ActionSheet.h"
#include "platform/NameInputBar.h"
#include "platform/SelectionList.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <memory>

class BarButtonItem;
class Button;
class FolderSizeQueue;
class FolderSizeTexts;
class NavigationBar;
class TableView;
class TextField;
class Toolbar;
class View;

// The folder manager: every folder ("Documents" first) with its number of files and their
// size, summed off the main thread. "New Folder" brings up a name bar; edit mode ticks
// folders, deletes them after a confirmation or hands their files to the move picker. A
// tap outside edit mode opens the folder's files.
class FileManagerViewController : public ZivoViewController,
                                  public TableViewDataSource,
                                  public TableViewDelegate,
                                  public ActionSheetDelegate,
                                  public MoveCommander
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "FileManagerCell";
    static constexpr int rowHeight = 50;
    static constexpr int deleteSheetTag = 1111;

    explicit FileManagerViewController(QObject *parent = nullptr);
    ~FileManagerViewController() override;

    TableView *listTableView() const { return m_listTableView; }
    NavigationBar *titleNavigationBar() const { return m_bar; }
    View *folderNameInputView() const { return m_nameBar; }
    TextField *folderNameTextField() const { return m_nameBar->field(); }
    Toolbar *viewToobar() const { return m_toolbars->normalToolbar(); }
    Toolbar *folderMenuToobar() const { return m_toolbars->editToolbar(); }
    BarButtonItem *moveButton() const { return m_moveButton; }
    BarButtonItem *delButton() const { return m_delButton; }
    BarButtonItem *doneButton() const { return m_doneButton; }
    BarButtonItem *editButton() const { return m_editButton; }
    BarButtonItem *addButton() const { return m_addButton; }
    int listMode() const { return m_listMode; }
    QStringList sectionTitleArray() const { return m_sectionTitleArray; }
    QList<QStringList> allSectionArray() const { return m_allSectionArray; }
    QStringList selectedPathListArray() const { return m_selection.values(); }
    FolderSizeQueue &folderSizeQueue() const;

    void reloadList();
    bool isSelectedPathList(const QString &folder) const { return m_selection.contains(folder); }
    void goMusicMainView();
    void viewFolderNameInputView();
    void clickFolerNameInputButton();
    void cancelFolerNameInput();
    void viewFolderMenuView();
    void doneFileMenu();
    void delCheckedFiles();
    void moveCheckedFiles();
    void reloadInfoFileMenuView();

    // MoveCommander: selected folders stand for all their files.
    QList<FileMove> filesToMove(const QStringList &selectedPaths) const override;
    void filesMoved() override;

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
    int selectedFileCount() const;
    void folderSizeReady(const QString &folder, const QString &text);
    void forgetSizes();

    NavigationBar *m_bar = nullptr;
    TableView *m_listTableView = nullptr;
    NameInputBar *m_nameBar = nullptr;
    std::unique_ptr<EditModeToolbars> m_toolbars;
    BarButtonItem *m_moveButton = nullptr;
    BarButtonItem *m_delButton = nullptr;
    BarButtonItem *m_doneButton = nullptr;
    BarButtonItem *m_editButton = nullptr;
    BarButtonItem *m_addButton = nullptr;
    int m_listMode = 0;
    QStringList m_sectionTitleArray;
    QList<QStringList> m_allSectionArray;
    SelectionList m_selection;
    FolderSizeTexts *m_sizes;
};
