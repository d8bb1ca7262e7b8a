#include "PlayListFileListViewController.h"

#include "FileSelectorViewController.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/ZivoModel.h"
#include "platform/FileManager.h"
#include "platform/BarButtonItem.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Toolbar.h"
#include "platform/Translations.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

namespace {
using Screen = ZivoAppDelegate::Screen;
const QColor deletedColor(255, 92, 92);
} // namespace

PlayListFileListViewController::PlayListFileListViewController(QObject *parent) : ZivoViewController(parent)
{}

View *PlayListFileListViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, 0, Window::width, NavigationBar::height);
    connect(m_bar->setLeftButton(Translations::text("Back")), &Button::clicked, this,
            &PlayListFileListViewController::goBack);

    const int tableBottom = Window::height - Toolbar::height;
    m_table = new TableView(TableView::Plain, root);
    m_table->setGeometry(0, NavigationBar::height, Window::width, tableBottom - NavigationBar::height);
    m_table->setRowHeight(rowHeight);
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    m_table->setAccessibleName(Translations::text("Songs"));

    m_toolbars = std::make_unique<EditModeToolbars>(root, QRect(0, tableBottom, Window::width, Toolbar::height));
    m_addButton = normalToolbar()->addItem(Translations::text("AddMusic"));
    m_delFileClearButton = normalToolbar()->addItem(Translations::text("ClearDeletedFiles"));
    m_editButton = normalToolbar()->addItem(Translations::text("Edit"));
    connect(m_addButton, &Button::clicked, this, &PlayListFileListViewController::goFileSelectorView);
    connect(m_delFileClearButton, &Button::clicked, this, &PlayListFileListViewController::clearDelFile);
    connect(m_editButton, &Button::clicked, this, &PlayListFileListViewController::editToggle);

    m_delButton = editToolbar()->addItem(Translations::text("Del(0)"));
    m_delButton->setEnabled(false);
    m_checkAllButton = editToolbar()->addItem(Translations::text("Select All"));
    m_doneButton = editToolbar()->addItem(Translations::text("Done"));
    connect(m_delButton, &Button::clicked, this, &PlayListFileListViewController::delSelectedFile);
    connect(m_checkAllButton, &Button::clicked, this, &PlayListFileListViewController::checkAllFile);
    connect(m_doneButton, &Button::clicked, this, &PlayListFileListViewController::editToggle);
    return root;
}

void PlayListFileListViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_editMode = false;
    m_bar->setTitle(m_folderName);
    m_toolbars->reset();
    m_selection.clear();
    reloadFromStore();
    m_table->reloadData();
}

void PlayListFileListViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_store = PlaylistStore();
    m_fileListArray.clear();
    m_selection.clear();
    m_editMode = false;
    m_table->reloadData();
}

bool PlayListFileListViewController::escapePressed()
{
    if (m_editMode)
        editToggle();
    else
        goBack();
    return true;
}

void PlayListFileListViewController::reloadFromStore()
{
    m_store = PlaylistStore::load();
    m_fileListArray = m_store.entries(m_folderName);
}

void PlayListFileListViewController::goBack()
{
    if (!appDelegate())
        return;
    View::removeFromSuperview(view());
    appDelegate()->addPlayListView({});
}

// ---------------------------------------------------------------------------
// Adding songs

void PlayListFileListViewController::goFileSelectorView()
{
    auto *picker = appDelegate()
        ? qobject_cast<FileSelectorViewController *>(appDelegate()->screen(Screen::FileSelector))
        : nullptr;
    if (!picker)
        return;
    picker->setComanderClass(this);
    appDelegate()->addFileSelectorView();
}

void PlayListFileListViewController::addPlayListFiles(const QStringList &entries)
{
    m_store.appendEntries(m_folderName, entries);
    m_fileListArray = m_store.entries(m_folderName);
    m_table->reloadData();
    Util::viewMessageViewAutoClose(Translations::text("Added music"));
}

// ---------------------------------------------------------------------------
// Edit mode, deleting and clearing

void PlayListFileListViewController::editToggle()
{
    m_editMode = !m_editMode;
    if (m_editMode) {
        m_bar->setTitle(m_folderName + Translations::text("Edit"));
    } else {
        m_bar->setTitle(m_folderName);
    }
    m_toolbars->setEditing(m_editMode);
    m_selection.clear();
    m_table->reloadData();
    refreshDelButton();
}

void PlayListFileListViewController::refreshDelButton()
{
    m_delButton->setTitleWithCount(Translations::text("Delete"), m_selection.count());
}

void PlayListFileListViewController::checkAllFile()
{
    m_selection.selectAllOrNone(m_fileListArray);
    refreshDelButton();
    m_table->reloadData();
}

void PlayListFileListViewController::delSelectedFile()
{
    if (m_selection.isEmpty())
        return;
    auto *sheet =
        new ActionSheet(QStringLiteral("%1%2").arg(m_selection.count()).arg(Translations::text("Delete the Music N")),
                        this, Translations::text("Cancel"), Translations::text("Delete"));
    sheet->setTag(deleteSheetTag);
    sheet->show();
}

void PlayListFileListViewController::actionSheetClickedButtonAtIndex(ActionSheet *sheet, int buttonIndex)
{
    if (sheet->tag() != deleteSheetTag || buttonIndex != sheet->destructiveButtonIndex())
        return;
    m_store.removeEntries(m_folderName, m_selection.values());
    m_fileListArray = m_store.entries(m_folderName);
    m_selection.clear();
    refreshDelButton();
    m_table->reloadData();
    Util::viewMessageViewAutoClose(Translations::text("Deleted"));
}

void PlayListFileListViewController::clearDelFile()
{
    if (m_store.removeMissingEntries(m_folderName) == 0) {
        Util::viewMessageViewAutoClose(Translations::text("There are no files to clean up."));
        return;
    }
    m_fileListArray = m_store.entries(m_folderName);
    m_selection.clear();
    refreshDelButton();
    m_table->reloadData();
    Util::viewMessageViewAutoClose(Translations::text("Cleared."));
}

// ---------------------------------------------------------------------------
// Rows

int PlayListFileListViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_fileListArray.size());
}

TableViewCell *PlayListFileListViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell)
        cell = new TableViewCell(TableViewCell::Subtitle, identifier);
    const QString entry = m_fileListArray.value(indexPath.row);
    cell->textLabel()->setFontSize(10.5);
    cell->detailTextLabel()->setFontSize(7.5);
    cell->textLabel()->setText(PlaylistStore::fileNameOfEntry(entry));
    // Looked at each time the row shows: a file deleted meanwhile shows at the next reload.
    if (PlaylistStore::entryFileExists(entry)) {
        cell->detailTextLabel()->setText(FileManager::appendingPathComponent(ZivoModel::documentsFolderName, entry));
    } else {
        cell->textLabel()->setTextColor(deletedColor);
        cell->detailTextLabel()->setText(Translations::text("The file has been deleted."));
    }
    cell->imageView()->setImage(ImageView::imageNamed(QStringLiteral("MP3IconSmall.png")));
    if (m_editMode)
        cell->setEditCheck(m_selection.contains(entry) ? TableViewCell::EditCheck::Checked
                                                       : TableViewCell::EditCheck::Unchecked);
    return cell;
}

void PlayListFileListViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    if (!m_editMode || indexPath.row < 0 || indexPath.row >= m_fileListArray.size())
        return;
    m_selection.toggle(m_fileListArray[indexPath.row]);
    refreshDelButton();
    m_table->reloadData();
}
