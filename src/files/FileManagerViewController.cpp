#include "FileManagerViewController.h"

#include "FileManagerSubViewController.h"
#include "FolderViewController.h"
#include "app/PlayInfoPanel.h"
#include "app/FolderSizeTexts.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/FolderNameRule.h"
#include "library/NotificationNames.h"
#include "library/ZivoModel.h"
#include "platform/BarButtonItem.h"
#include "platform/Button.h"
#include "platform/FileManager.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NameInputBar.h"
#include "platform/NavigationBar.h"
#include "platform/NotificationCenter.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/TextField.h"
#include "platform/Toolbar.h"
#include "platform/Translations.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

namespace {
using Screen = ZivoAppDelegate::Screen;

void tellThePlayer(ZivoAppDelegate *delegate)
{
    if (PlayInfoPanel *panel = delegate ? delegate->playInfoPanel() : nullptr)
        panel->songFilesChanged({});
}
} // namespace

FileManagerViewController::FileManagerViewController(QObject *parent)
    : ZivoViewController(parent), m_sizes(new FolderSizeTexts(this))
{
    connect(m_sizes, &FolderSizeTexts::textReady, this, &FileManagerViewController::folderSizeReady);
}

FileManagerViewController::~FileManagerViewController() = default;

View *FileManagerViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, 0, Window::width, NavigationBar::height);
    m_bar->setTitle(Translations::text("Managing Folders"));
    connect(m_bar->setLeftButton(Translations::text("Menu")), &Button::clicked, this,
            &FileManagerViewController::goMusicMainView);

    const int tableBottom = Window::height - Toolbar::height;
    m_listTableView = new TableView(TableView::Plain, root);
    m_listTableView->setGeometry(0, NavigationBar::height, Window::width, tableBottom - NavigationBar::height);
    m_listTableView->setRowHeight(rowHeight);
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    m_listTableView->setAccessibleName(Translations::text("Folders"));

    m_toolbars = std::make_unique<EditModeToolbars>(root, QRect(0, tableBottom, Window::width, Toolbar::height));
    m_addButton = viewToobar()->addItem(Translations::text("New Folder"));
    m_editButton = viewToobar()->addItem(Translations::text("Edit Folders"));
    connect(m_addButton, &Button::clicked, this, &FileManagerViewController::viewFolderNameInputView);
    connect(m_editButton, &Button::clicked, this, &FileManagerViewController::viewFolderMenuView);

    m_moveButton = folderMenuToobar()->addItem(Translations::text("Move Files(0)"));
    m_delButton = folderMenuToobar()->addItem(Translations::text("Delete Folder(0)"));
    m_doneButton = folderMenuToobar()->addItem(Translations::text("Done"));
    connect(m_moveButton, &Button::clicked, this, &FileManagerViewController::moveCheckedFiles);
    connect(m_delButton, &Button::clicked, this, &FileManagerViewController::delCheckedFiles);
    connect(m_doneButton, &Button::clicked, this, &FileManagerViewController::doneFileMenu);

    // The new-folder bar: parked below the bottom edge until "New Folder".
    m_nameBar = new NameInputBar(Translations::text("Folder name"), Translations::text("Create"),
                                 Translations::text("Cancel"), root);
    connect(m_nameBar, &NameInputBar::submitted, this, &FileManagerViewController::clickFolerNameInputButton);
    connect(m_nameBar, &NameInputBar::cancelled, this, &FileManagerViewController::cancelFolerNameInput);
    return root;
}

void FileManagerViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_listMode = 0;
    m_bar->setTitle(Translations::text("Managing Folders"));
    m_toolbars->reset();
    m_nameBar->park();
    m_selection.clear();
    reloadList();
    reloadInfoFileMenuView();
    NotificationCenter::defaultCenter()
        .addObserver(this, TextField::keyboardWillShowNotification, [this](const Notification &n) {
            m_nameBar->rideAboveKeyboard(n.userInfo.value(TextField::keyboardFrameEndUserInfoKey).toRect());
        });
}

void FileManagerViewController::viewWillDisappear(bool animated)
{
    NotificationCenter::defaultCenter().removeObserver(this, TextField::keyboardWillShowNotification);
    ZivoViewController::viewWillDisappear(animated);
}

void FileManagerViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    forgetSizes();
    m_sectionTitleArray.clear();
    m_allSectionArray.clear();
    m_selection.clear();
    m_listMode = 0;
    m_listTableView->reloadData();
}

bool FileManagerViewController::escapePressed()
{
    if (!View::isHidden(m_nameBar))
        cancelFolerNameInput();
    else if (m_listMode == 1)
        doneFileMenu();
    else
        goMusicMainView();
    return true;
}

void FileManagerViewController::goMusicMainView()
{
    if (!appDelegate())
        return;
    View::removeFromSuperview(view());
    appDelegate()->addMusicMainView();
}

void FileManagerViewController::reloadList()
{
    // Sizes are summed afresh with the list: files may have come or gone since.
    forgetSizes();
    m_sectionTitleArray = ZivoModel::folderSortToTopDocument(ZivoModel::getFolderList());
    m_allSectionArray.clear();
    for (const QString &folder : std::as_const(m_sectionTitleArray))
        m_allSectionArray.append(ZivoModel::getFileListAtFolder(folder));
    m_listTableView->reloadData();
}

void FileManagerViewController::forgetSizes()
{
    m_sizes->forget();
}

// ---------------------------------------------------------------------------
// The new-folder bar

void FileManagerViewController::viewFolderNameInputView()
{
    m_nameBar->open();
}

void FileManagerViewController::cancelFolerNameInput()
{
    m_nameBar->park();
    m_nameBar->field()->clear();
}

void FileManagerViewController::clickFolerNameInputButton()
{
    const QString name = m_nameBar->field()->text();
    const QString title = Translations::text("New Folder Error");
    switch (FolderNameRule::check(name)) {
    case FolderNameRule::Refusal::Empty:
        Util::alertViewQuick(title, Translations::text("Please enter a folder name..."), Translations::text("OK"));
        return;
    case FolderNameRule::Refusal::Invalid:
        Util::alertViewQuick(title, Translations::text("Invalid character was entered for"), Translations::text("OK"));
        return;
    case FolderNameRule::Refusal::None:
        break;
    }
    const QString path =
        FileManager::appendingPathComponent(ZivoModel::getPathWithFolderName(ZivoModel::documentsFolderName), name);
    // Success is announced only for a folder that this tap really made.
    if (FileManager::fileExists(path)) {
        Util::alertViewQuick(title, Translations::text("A folder of that name already exists."),
                             Translations::text("OK"));
        return;
    }
    if (!ZivoModel::createDir(path))
        return; // the library has shown why; the name stays for another try
    m_nameBar->park();
    reloadList();
    m_nameBar->field()->clear();
    Util::viewMessageViewAutoClose(
        QStringLiteral("[%1] %2").arg(name, Translations::text("Folder was created successfully.")));
}

// ---------------------------------------------------------------------------
// Edit mode

void FileManagerViewController::viewFolderMenuView()
{
    m_bar->setTitle(Translations::text("Edit Folders"));
    m_selection.clear();
    m_toolbars->setEditing(true);
    m_listMode = 1;
    reloadInfoFileMenuView();
    m_listTableView->reloadData();
}

void FileManagerViewController::doneFileMenu()
{
    m_bar->setTitle(Translations::text("Managing Folders"));
    m_selection.clear();
    m_toolbars->setEditing(false);
    m_listMode = 0;
    reloadInfoFileMenuView();
    m_listTableView->reloadData();
}

int FileManagerViewController::selectedFileCount() const
{
    int files = 0;
    for (const QString &folder : m_selection.values())
        files += int(m_allSectionArray.value(int(m_sectionTitleArray.indexOf(folder))).size());
    return files;
}

void FileManagerViewController::reloadInfoFileMenuView()
{
    m_moveButton->setTitleWithCount(Translations::text("Move Files"), selectedFileCount());
    m_delButton->setTitleWithCount(Translations::text("Delete Folder"), m_selection.count());
    // Both act on folders: a ticked empty folder can be deleted, and moving it moves nothing.
    m_moveButton->setEnabled(!m_selection.isEmpty());
}

void FileManagerViewController::delCheckedFiles()
{
    if (m_selection.isEmpty())
        return;
    auto *sheet = new ActionSheet(
        QStringLiteral("%1%2").arg(m_selection.count()).arg(Translations::text("Delete the realfolder N")), this,
        Translations::text("Cancel"), Translations::text("Delete"));
    sheet->setTag(deleteSheetTag);
    sheet->show();
}

void FileManagerViewController::actionSheetClickedButtonAtIndex(ActionSheet *sheet, int buttonIndex)
{
    if (sheet->tag() != deleteSheetTag || buttonIndex != sheet->destructiveButtonIndex())
        return;
    for (const QString &folder : m_selection.values())
        ZivoModel::deleteDir(ZivoModel::getPathWithFolderName(folder));
    m_selection.clear();
    reloadList();
    reloadInfoFileMenuView();
    tellThePlayer(appDelegate());
    NotificationCenter::defaultCenter().postNotificationName(Notify::viewMessageAni,
                                                             Translations::text("Deleted folder."));
}

void FileManagerViewController::moveCheckedFiles()
{
    auto *picker =
        appDelegate() ? qobject_cast<FolderViewController *>(appDelegate()->screen(Screen::Folder)) : nullptr;
    if (!picker || m_selection.isEmpty())
        return;
    picker->setComanderClass(this);
    picker->setFolderMessage(QStringLiteral("%1%2 %3%4 %5")
                                 .arg(m_selection.count())
                                 .arg(Translations::text("folder(s)"))
                                 .arg(selectedFileCount())
                                 .arg(Translations::text("file(s)"), Translations::text("selected")));
    picker->setSelectedPathListArray(m_selection.values());
    picker->reloadFolder();
    appDelegate()->addFolderView();
}

QList<FileMove> FileManagerViewController::filesToMove(const QStringList &selectedPaths) const
{
    QList<FileMove> files;
    for (const QString &folder : selectedPaths)
        for (const QString &name : m_allSectionArray.value(int(m_sectionTitleArray.indexOf(folder))))
            files.append({folder, name});
    return files;
}

void FileManagerViewController::filesMoved()
{
    m_selection.clear();
    reloadList();
    reloadInfoFileMenuView();
}

// ---------------------------------------------------------------------------
// Rows

int FileManagerViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_sectionTitleArray.size());
}

TableViewCell *FileManagerViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = new TableViewCell(TableViewCell::Subtitle, identifier);
        cell->setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
        cell->setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
    }
    const QString folder = m_sectionTitleArray.value(indexPath.row);
    const QStringList files = m_allSectionArray.value(indexPath.row);
    cell->textLabel()->setText(folder);
    cell->setIndentationLevel(folder == ZivoModel::documentsFolderName ? 0 : 1);
    cell->imageView()->setImage(ImageView::imageNamed(QStringLiteral("list_folderSetting.png")));
    cell->setEditCheck(m_listMode == 1 ? (m_selection.contains(folder) ? TableViewCell::EditCheck::Checked
                                                                       : TableViewCell::EditCheck::Unchecked)
                                       : TableViewCell::EditCheck::None);
    cell->detailTextLabel()->setText(m_sizes->textFor(folder, files));
    return cell;
}

void FileManagerViewController::folderSizeReady(const QString &folder, const QString &text)
{
    // A cell reused for another folder meanwhile keeps its own text.
    for (const IndexPath &path : m_listTableView->indexPathsForVisibleRows())
        if (m_sectionTitleArray.value(path.row) == folder)
            if (TableViewCell *cell = m_listTableView->cellForRowAtIndexPath(path)) {
                cell->detailTextLabel()->setText(text);
                cell->announceTexts();
            }
}

void FileManagerViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    const int row = indexPath.row;
    if (row < 0 || row >= m_sectionTitleArray.size())
        return;
    const QString folder = m_sectionTitleArray.at(row);
    if (m_listMode == 1) {
        m_selection.toggle(folder);
        reloadInfoFileMenuView();
        m_listTableView->reloadData();
        return;
    }
    auto *files = appDelegate()
        ? qobject_cast<FileManagerSubViewController *>(appDelegate()->screen(Screen::FileManagerSub))
        : nullptr;
    if (!files)
        return;
    files->setFolderName(folder);
    files->setFileNameArray(m_allSectionArray.value(row));
    View::removeFromSuperview(view());
    appDelegate()->addFileManagerSubView();
}

FolderSizeQueue &FileManagerViewController::folderSizeQueue() const
{
    return m_sizes->queue();
}
