#include "FileManagerSubViewController.h"

#include "FolderViewController.h"
#include "app/PlayInfoPanel.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/ZivoModel.h"
#include "platform/BarButtonItem.h"
#include "platform/Button.h"
#include "platform/FileManager.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Toolbar.h"
#include "platform/Translations.h"
#include "platform/Window.h"

#include <QDateTime>
#include <QLocale>

namespace {
using Screen = ZivoAppDelegate::Screen;

// "<date> <size>": the modification date in the locale's short date and time (the long
// date, with its weekday, leaves no room for the size on a narrow row), and the size text
// of the song picker.
QString fileDetail(const QString &path)
{
    QString date;
    if (const auto modified = FileManager::modificationDate(path)) {
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(modified->nanosecondsSinceEpoch() / 1000000);
        const QLocale locale;
        date = locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + locale.toString(when.time(), QLocale::ShortFormat);
    }
    return QStringLiteral("%1 %2").arg(date, Util::getByteStr(double(FileManager::fileSize(path).value_or(0))));
}
} // namespace

FileManagerSubViewController::FileManagerSubViewController(QObject *parent) : ZivoViewController(parent)
{}

View *FileManagerSubViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, 0, Window::width, NavigationBar::height);
    connect(m_bar->setLeftButton(Translations::text("Back")), &Button::clicked, this,
            &FileManagerSubViewController::goBack);

    const int tableBottom = Window::height - Toolbar::height;
    m_listTableView = new TableView(TableView::Plain, root);
    m_listTableView->setGeometry(0, NavigationBar::height, Window::width, tableBottom - NavigationBar::height);
    m_listTableView->setRowHeight(rowHeight);
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    m_listTableView->setAccessibleName(Translations::text("Files"));

    m_toolbars = std::make_unique<EditModeToolbars>(root, QRect(0, tableBottom, Window::width, Toolbar::height));
    m_editButton = viewToobar()->addItem(Translations::text("Edit List"));
    connect(m_editButton, &Button::clicked, this, &FileManagerSubViewController::viewFileMenuView);

    m_moveButton = fileMenuToobar()->addItem(Translations::text("Move Files(0)"));
    m_delButton = fileMenuToobar()->addItem(Translations::text("Del(0)"));
    m_selectAllButton = fileMenuToobar()->addItem(Translations::text("Select All"));
    m_doneButton = fileMenuToobar()->addItem(Translations::text("Done"));
    connect(m_moveButton, &Button::clicked, this, &FileManagerSubViewController::moveCheckedFiles);
    connect(m_delButton, &Button::clicked, this, &FileManagerSubViewController::delCheckedFiles);
    connect(m_selectAllButton, &Button::clicked, this, &FileManagerSubViewController::checkAllFile);
    connect(m_doneButton, &Button::clicked, this, &FileManagerSubViewController::doneFileMenu);
    return root;
}

void FileManagerSubViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_listMode = 0;
    m_toolbars->reset();
    m_selection.clear();
    m_bar->setTitle(m_folderName);
    // The delete counter reads as at load until the first selection change.
    m_selectionTouched = false;
    reloadInfoFileMenuView();
    m_listTableView->reloadData();
}

void FileManagerSubViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_folderName.clear();
    m_fileNameArray.clear();
    m_selection.clear();
    m_listMode = 0;
    m_listTableView->reloadData();
}

bool FileManagerSubViewController::escapePressed()
{
    if (m_listMode == 1)
        doneFileMenu();
    else
        goBack();
    return true;
}

void FileManagerSubViewController::goBack()
{
    if (!appDelegate())
        return;
    View::removeFromSuperview(view());
    appDelegate()->addFileManagerView();
}

void FileManagerSubViewController::reloadList()
{
    m_fileNameArray = ZivoModel::getFileListAtFolder(m_folderName);
    m_listTableView->reloadData();
}

// ---------------------------------------------------------------------------
// Edit mode

void FileManagerSubViewController::viewFileMenuView()
{
    m_selection.clear();
    m_toolbars->setEditing(true);
    m_listMode = 1;
    reloadInfoFileMenuView();
    m_listTableView->reloadData();
}

void FileManagerSubViewController::doneFileMenu()
{
    m_listMode = 0;
    m_selection.clear();
    reloadInfoFileMenuView();
    m_toolbars->setEditing(false);
    m_listTableView->reloadData();
}

void FileManagerSubViewController::checkAllFile()
{
    m_selectionTouched = true;
    m_selection.selectAllOrNone(m_fileNameArray);
    reloadInfoFileMenuView();
    m_listTableView->reloadData();
}

void FileManagerSubViewController::reloadInfoFileMenuView()
{
    m_moveButton->setTitleWithCount(Translations::text("Move Files"), m_selection.count());
    if (m_selectionTouched) {
        m_delButton->setTitleWithCount(Translations::text("Delete"), m_selection.count());
    } else {
        m_delButton->setCaption(Translations::text("Del(0)"));
        m_delButton->setEnabled(false);
    }
}

void FileManagerSubViewController::delCheckedFiles()
{
    if (m_selection.isEmpty())
        return;
    auto *sheet =
        new ActionSheet(QStringLiteral("%1%2").arg(m_selection.count()).arg(Translations::text("Delete the file N")),
                        this, Translations::text("Cancel"), Translations::text("Delete"));
    sheet->setTag(deleteSheetTag);
    sheet->show();
}

void FileManagerSubViewController::actionSheetClickedButtonAtIndex(ActionSheet *sheet, int buttonIndex)
{
    if (sheet->tag() != deleteSheetTag || buttonIndex != sheet->destructiveButtonIndex())
        return;
    for (const QString &name : m_selection.values())
        ZivoModel::deleteFile(m_folderName, name);
    m_selection.clear();
    reloadList();
    reloadInfoFileMenuView();
    // The player goes on past a deleted song.
    if (PlayInfoPanel *panel = appDelegate() ? appDelegate()->playInfoPanel() : nullptr)
        panel->songFilesChanged({});
    Util::viewMessageViewAutoClose(Translations::text("Deleted"));
}

void FileManagerSubViewController::moveCheckedFiles()
{
    auto *picker =
        appDelegate() ? qobject_cast<FolderViewController *>(appDelegate()->screen(Screen::Folder)) : nullptr;
    if (!picker || m_selection.isEmpty())
        return;
    picker->setComanderClass(this);
    picker->setFolderMessage(
        QStringLiteral("%1%2").arg(m_selection.count()).arg(Translations::text("N files selected")));
    QStringList paths;
    for (const QString &name : m_selection.values())
        paths.append(FileManager::appendingPathComponent(m_folderName, name));
    picker->setSelectedPathListArray(paths);
    picker->reloadFolder();
    appDelegate()->addFolderView();
}

QList<FileMove> FileManagerSubViewController::filesToMove(const QStringList &selectedPaths) const
{
    QList<FileMove> files;
    for (const QString &path : selectedPaths) {
        // Folder names hold no slash, so the first one ends the folder: a file name keeps
        // whatever follows it.
        const qsizetype slash = path.indexOf(QLatin1Char('/'));
        if (slash > 0)
            files.append({path.left(slash), path.mid(slash + 1)});
    }
    return files;
}

void FileManagerSubViewController::filesMoved()
{
    m_selection.clear();
    reloadList();
    reloadInfoFileMenuView();
}

// ---------------------------------------------------------------------------
// Rows

int FileManagerSubViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_fileNameArray.size());
}

TableViewCell *FileManagerSubViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = new TableViewCell(TableViewCell::Subtitle, identifier);
        cell->setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
        cell->setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
        cell->textLabel()->setFontSize(14);
        cell->detailTextLabel()->setFontSize(11);
    }
    const QString name = m_fileNameArray.value(indexPath.row);
    cell->textLabel()->setText(name);
    cell->detailTextLabel()->setText(
        fileDetail(FileManager::appendingPathComponent(ZivoModel::getPathWithFolderName(m_folderName), name)));
    cell->imageView()->setImage(ImageView::imageNamed(QStringLiteral("MP3IconSmall.png")));
    cell->setEditCheck(m_listMode == 1 ? (m_selection.contains(name) ? TableViewCell::EditCheck::Checked
                                                                     : TableViewCell::EditCheck::Unchecked)
                                       : TableViewCell::EditCheck::None);
    return cell;
}

void FileManagerSubViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    if (m_listMode != 1 || indexPath.row < 0 || indexPath.row >= m_fileNameArray.size())
        return;
    m_selectionTouched = true;
    m_selection.toggle(m_fileNameArray.at(indexPath.row));
    reloadInfoFileMenuView();
    m_listTableView->reloadData();
}
