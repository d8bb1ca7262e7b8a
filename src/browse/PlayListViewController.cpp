#include "PlayListViewController.h"

#include "PlayListFileListViewController.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "platform/BarButtonItem.h"
#include "platform/Button.h"
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
} // namespace

PlayListViewController::PlayListViewController(QObject *parent) : ZivoViewController(parent)
{}

View *PlayListViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, 0, Window::width, NavigationBar::height);
    m_bar->setTitle(Translations::text("Managing PlayLists"));
    connect(m_bar->setLeftButton(Translations::text("Menu")), &Button::clicked, this,
            &PlayListViewController::goMusicMainView);

    const int tableBottom = Window::height - Toolbar::height;
    m_table = new TableView(TableView::Plain, root);
    m_table->setGeometry(0, NavigationBar::height, Window::width, tableBottom - NavigationBar::height);
    m_table->setRowHeight(rowHeight);
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    m_table->setAccessibleName(Translations::text("Main Playlists"));

    m_toolbars = std::make_unique<EditModeToolbars>(root, QRect(0, tableBottom, Window::width, Toolbar::height));
    m_addButton = normalToolbar()->addItem(Translations::text("Add List"));
    m_editButton = normalToolbar()->addItem(Translations::text("Edit List"));
    connect(m_addButton, &Button::clicked, this, &PlayListViewController::viewFolderNameInputView);
    connect(m_editButton, &Button::clicked, this, &PlayListViewController::editToggle);

    m_delButton = editToolbar()->addItem(Translations::text("Del(0)"));
    m_doneButton = editToolbar()->addItem(Translations::text("Done"));
    connect(m_delButton, &Button::clicked, this, &PlayListViewController::delSelectedFile);
    connect(m_doneButton, &Button::clicked, this, &PlayListViewController::editToggle);

    // The name bar: parked below the bottom edge until "Add List".
    // The name bar: parked below the bottom edge until "Add List". The alert's button is
    // not translated; the bar's OK follows it.
    m_nameBar =
        new NameInputBar(Translations::text("Playlist name"), QStringLiteral("OK"), Translations::text("Cancel"), root);
    connect(m_nameBar, &NameInputBar::submitted, this, &PlayListViewController::clickFolerNameInputButton);
    connect(m_nameBar, &NameInputBar::cancelled, this, &PlayListViewController::cancelFolerNameInput);
    return root;
}

void PlayListViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_editMode = false;
    m_bar->setTitle(Translations::text("Managing PlayLists"));
    m_toolbars->reset();
    m_nameBar->park();
    m_store = PlaylistStore::load();
    m_songFolderArray = m_store.names();
    m_selection.clear();
    refreshDelButton();
    m_table->reloadData();
    NotificationCenter::defaultCenter()
        .addObserver(this, TextField::keyboardWillShowNotification, [this](const Notification &n) {
            m_nameBar->rideAboveKeyboard(n.userInfo.value(TextField::keyboardFrameEndUserInfoKey).toRect());
        });
}

void PlayListViewController::viewWillDisappear(bool animated)
{
    NotificationCenter::defaultCenter().removeObserver(this, TextField::keyboardWillShowNotification);
    ZivoViewController::viewWillDisappear(animated);
}

void PlayListViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_store = PlaylistStore();
    m_songFolderArray.clear();
    m_selection.clear();
    m_editMode = false;
    m_table->reloadData();
}

bool PlayListViewController::escapePressed()
{
    if (!View::isHidden(m_nameBar))
        cancelFolerNameInput();
    else if (m_editMode)
        editToggle();
    else
        goMusicMainView();
    return true;
}

// ---------------------------------------------------------------------------
// The name bar

void PlayListViewController::viewFolderNameInputView()
{
    m_nameBar->open();
}

void PlayListViewController::cancelFolerNameInput()
{
    m_nameBar->park();
    m_nameBar->field()->clear();
}

void PlayListViewController::clickFolerNameInputButton()
{
    const QString name = m_nameBar->field()->text();
    switch (m_store.refusalFor(name)) {
    case PlaylistStore::Refusal::InvalidName:
        Util::alertViewQuick(Translations::text("Error Add to Playlists"), Translations::text("Please enter a name..."),
                             QStringLiteral("OK"));
        return;
    case PlaylistStore::Refusal::NameExists:
        Util::alertViewQuick(Translations::text("Error Add to Playlists"),
                             Translations::text("Entered a name that already exists."), QStringLiteral("OK"));
        return;
    case PlaylistStore::Refusal::None:
        break;
    }
    m_store.addPlaylist(name);
    m_songFolderArray = m_store.names();
    m_nameBar->park();
    m_nameBar->field()->clear();
    Util::viewMessageViewAutoClose(QStringLiteral("[%1] %2").arg(name, Translations::text("Added to your playlist.")));
    m_table->reloadData();
}

// ---------------------------------------------------------------------------
// Edit mode

void PlayListViewController::editToggle()
{
    m_editMode = !m_editMode;
    if (m_editMode) {
        m_bar->setTitle(Translations::text("PlayLists Edit"));
    } else {
        m_bar->setTitle(Translations::text("Managing PlayLists"));
    }
    m_toolbars->setEditing(m_editMode);
    m_selection.clear();
    m_table->reloadData();
    refreshDelButton();
}

void PlayListViewController::refreshDelButton()
{
    m_delButton->setTitleWithCount(Translations::text("Del"), m_selection.count());
}

void PlayListViewController::delSelectedFile()
{
    if (m_selection.isEmpty())
        return;
    const QString title = m_selection.count() == 1
        ? QStringLiteral("%1 %2").arg(m_selection.values().first(), Translations::text("Delete the folder"))
        : QStringLiteral("%1%2").arg(m_selection.count()).arg(Translations::text("Delete the folder N"));
    auto *sheet = new ActionSheet(title, this, Translations::text("Cancel"), Translations::text("Delete"));
    sheet->setTag(deleteSheetTag);
    sheet->show();
}

void PlayListViewController::actionSheetClickedButtonAtIndex(ActionSheet *sheet, int buttonIndex)
{
    if (sheet->tag() != deleteSheetTag || buttonIndex != sheet->destructiveButtonIndex())
        return;
    m_store.removePlaylists(m_selection.values());
    m_songFolderArray = m_store.names();
    m_selection.clear();
    refreshDelButton();
    m_table->reloadData();
    Util::viewMessageViewAutoClose(Translations::text("Deleted"));
}

// ---------------------------------------------------------------------------
// Rows

int PlayListViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_songFolderArray.size());
}

TableViewCell *PlayListViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = new TableViewCell(TableViewCell::Subtitle, identifier);
        cell->setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
        cell->setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
    }
    const QString name = m_songFolderArray.value(indexPath.row);
    cell->textLabel()->setText(name);
    cell->detailTextLabel()->setText(
        QStringLiteral("%1%2").arg(m_store.entries(name).size()).arg(Translations::text("Songs")));
    cell->imageView()->setImage(ImageView::imageNamed(QStringLiteral("list_playbackListSetting.png")));
    if (m_editMode)
        cell->setEditCheck(m_selection.contains(name) ? TableViewCell::EditCheck::Checked
                                                      : TableViewCell::EditCheck::Unchecked);
    return cell;
}

void PlayListViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    const QString name = m_songFolderArray.value(indexPath.row);
    if (indexPath.row < 0 || indexPath.row >= m_songFolderArray.size())
        return;
    if (m_editMode) {
        m_selection.toggle(name);
        refreshDelButton();
        m_table->reloadData();
        return;
    }
    auto *songs = appDelegate()
        ? qobject_cast<PlayListFileListViewController *>(appDelegate()->screen(Screen::PlayListFileList))
        : nullptr;
    if (!songs)
        return;
    songs->setFolderName(name);
    appDelegate()->addPlayListFileListView();
    View::removeFromSuperview(view());
}

void PlayListViewController::goMusicMainView()
{
    if (!appDelegate())
        return;
    View::removeFromSuperview(view());
    appDelegate()->addMusicMainView();
}
