#pragma once

#include "MoveCommander.h"
#include "app/EditModeToolbars.h"
#include "app/ZivoViewController.h"
#include "platform/ActionSheet.h"
#include "platform/SelectionList.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QStringList>

#include <memory>

class BarButtonItem;
class NavigationBar;
class TableView;
class Toolbar;

// The file manager: the files of one folder with their date and size. Edit mode ticks
// files (one by one or all at once), deletes them after a confirmation (edit mode stays
// on) or hands them to the move picker. Tapping a file outside edit mode does nothing.
class FileManagerSubViewController : public ZivoViewController,
                                     public TableViewDataSource,
                                     public TableViewDelegate,
                                     public ActionSheetDelegate,
                                     public MoveCommander
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "FileManagerSubViewCell";
    static constexpr int rowHeight = 35;
    static constexpr int deleteSheetTag = 1111;

    explicit FileManagerSubViewController(QObject *parent = nullptr);

    void setFolderName(const QString &folder) { m_folderName = folder; }
    void setFileNameArray(const QStringList &names) { m_fileNameArray = names; }
    QString folderName() const { return m_folderName; }
    QStringList fileNameArray() const { return m_fileNameArray; }
    QStringList selectedPathListArray() const { return m_selection.values(); }
    int listMode() const { return m_listMode; }

    TableView *listTableView() const { return m_listTableView; }
    NavigationBar *navigationBar() const { return m_bar; }
    Toolbar *viewToobar() const { return m_toolbars->normalToolbar(); }
    Toolbar *fileMenuToobar() const { return m_toolbars->editToolbar(); }
    BarButtonItem *moveButton() const { return m_moveButton; }
    BarButtonItem *delButton() const { return m_delButton; }
    BarButtonItem *selectAllButton() const { return m_selectAllButton; }
    BarButtonItem *doneButton() const { return m_doneButton; }
    BarButtonItem *editButton() const { return m_editButton; }

    bool isSelectedPathList(const QString &fileName) const { return m_selection.contains(fileName); }
    void goBack();
    void viewFileMenuView();
    void doneFileMenu();
    void checkAllFile();
    void reloadList();
    void reloadInfoFileMenuView();
    void delCheckedFiles();
    void moveCheckedFiles();

    // MoveCommander: the selection is relative paths, "Rock/a.mp3" ("Documents/a.mp3").
    QList<FileMove> filesToMove(const QStringList &selectedPaths) const override;
    void filesMoved() override;

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
    NavigationBar *m_bar = nullptr;
    TableView *m_listTableView = nullptr;
    std::unique_ptr<EditModeToolbars> m_toolbars;
    BarButtonItem *m_moveButton = nullptr;
    BarButtonItem *m_delButton = nullptr;
    BarButtonItem *m_selectAllButton = nullptr;
    BarButtonItem *m_doneButton = nullptr;
    BarButtonItem *m_editButton = nullptr;
    int m_listMode = 0;
    QString m_folderName;
    QStringList m_fileNameArray;
    SelectionList m_selection;
    // Whether a file was ticked or unticked since the screen appeared.
    bool m_selectionTouched = false;
};
