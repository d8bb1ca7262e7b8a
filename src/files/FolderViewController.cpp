#include "FolderViewController.h"

#include "app/PlayInfoPanel.h"
#include "app/ZivoAppDelegate.h"
#include "library/NotificationNames.h"
#include "library/PlaylistStore.h"
#include "library/ZivoModel.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/NotificationCenter.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/Window.h"

#include <QHash>
#include <QUrl>

namespace {
constexpr int promptHeight = 22;
constexpr int messageHeight = 24;

QUrl songUrl(const QString &folder, const QString &fileName)
{
    return ZivoModel::makeURLArrayWithFileNames({fileName}, ZivoModel::getPathWithFolderName(folder)).value(0);
}

// The song's playlist entry: "Rock/a.mp3", "/a.mp3" in the root.
QString playlistEntry(const QString &folder, const QString &fileName)
{
    return ZivoModel::makeFolderRNameAndFileNameWith({fileName}, folder).value(0);
}
} // namespace

FolderViewController::FolderViewController(QObject *parent) : ZivoViewController(parent)
{}

View *FolderViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, 0, Window::width, NavigationBar::height);
    m_bar->setTitle(Translations::text("Move Files"));
    m_closeButton = m_bar->setRightButton(Translations::text("close"));
    connect(m_closeButton, &Button::clicked, this, &FolderViewController::closeView);

    int y = NavigationBar::height;
    m_promptLabel = new Label(QRect(10, y + 2, Window::width - 20, promptHeight), root);
    m_promptLabel->setText(Translations::text("Please select the folder you want to move."));
    m_promptLabel->setFontSize(10);
    m_promptLabel->setTextColor(QColor(170, 178, 192));
    y += promptHeight + 2;
    m_folderMessageLabel = new Label(QRect(10, y, Window::width - 20, messageHeight), root);
    m_folderMessageLabel->setFontSize(13, true);
    m_folderMessageLabel->setTextColor(QColor(46, 204, 196));
    m_folderMessageLabel->setText(
        QStringLiteral("0%1 0%2 %3")
            .arg(Translations::text("folder(s)"), Translations::text("file(s)"), Translations::text("selected")));
    y += messageHeight + 2;

    m_folderTableView = new TableView(TableView::Plain, root);
    m_folderTableView->setGeometry(0, y, Window::width, Window::height - y);
    m_folderTableView->setRowHeight(rowHeight);
    m_folderTableView->setDataSource(this);
    m_folderTableView->setDelegate(this);
    m_folderTableView->setAccessibleName(Translations::text("Folders"));
    return root;
}

void FolderViewController::reloadFolder()
{
    view();
    m_folderListArray = ZivoModel::folderSortToTopDocument(ZivoModel::getFolderList());
    m_folderTableView->reloadData();
}

void FolderViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_folderMessageLabel->setText(m_folderMessage);
    m_folderMessageLabel->setAccessibleName(m_folderMessage);
}

void FolderViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_folderListArray.clear();
    m_selectedPathListArray.clear();
    m_folderMessage.clear();
    m_comanderClass = nullptr;
    m_folderTableView->reloadData();
}

bool FolderViewController::escapePressed()
{
    closeView();
    return true;
}

void FolderViewController::closeView()
{
    View::removeFromSuperview(view());
}

QString FolderViewController::resultMessage(int moved, int notMoved)
{
    if (notMoved == 0)
        return Translations::text("moved the files.");
    return Translations::text("%1 moved, %2 not moved: a file of that name is already there, or it is gone.")
        .arg(moved)
        .arg(notMoved);
}

void FolderViewController::moveInto(const QString &destination)
{
    MoveCommander *commander = m_comanderClass;
    if (!commander) {
        closeView();
        return;
    }
    int moved = 0;
    int notMoved = 0;
    QHash<QUrl, QUrl> movedSongs;
    QHash<QString, QString> movedEntries;
    for (const FileMove &file : commander->filesToMove(m_selectedPathListArray)) {
        if (ZivoModel::moveFileFrom(file.folder, destination, file.fileName)) {
            ++moved;
            movedSongs.insert(songUrl(file.folder, file.fileName), songUrl(destination, file.fileName));
            movedEntries.insert(playlistEntry(file.folder, file.fileName), playlistEntry(destination, file.fileName));
        } else {
            ++notMoved;
        }
    }
    m_selectedPathListArray.clear();
    // A moved song stays in its playlists.
    if (!movedEntries.isEmpty())
        PlaylistStore::load().followMovedSongs(movedEntries);
    commander->filesMoved();
    // The player follows a moved song, and goes on past one that has gone meanwhile.
    if (ZivoAppDelegate *delegate = appDelegate())
        if (PlayInfoPanel *panel = delegate->playInfoPanel())
            panel->songFilesChanged(movedSongs);
    NotificationCenter::defaultCenter().postNotificationName(Notify::viewMessageAni, resultMessage(moved, notMoved));
    closeView();
}

int FolderViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_folderListArray.size());
}

TableViewCell *FolderViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = new TableViewCell(TableViewCell::Default, identifier);
        cell->setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
        cell->setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
    }
    const QString folder = m_folderListArray.value(indexPath.row);
    cell->textLabel()->setText(folder);
    cell->setIndentationLevel(folder == ZivoModel::documentsFolderName ? 0 : 1);
    cell->imageView()->setImage(ImageView::imageNamed(QStringLiteral("folder_orange_open.png")));
    return cell;
}

void FolderViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < 0 || indexPath.row >= m_folderListArray.size())
        return;
    moveInto(m_folderListArray.at(indexPath.row));
}
