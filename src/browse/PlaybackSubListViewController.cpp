#include "PlaybackSubListViewController.h"

#include "PlaybackSubListCell.h"
#include "app/PlayInfoPanel.h"
#include "app/ZivoAppDelegate.h"
#include "library/AsyncAndCacheImageOperatorManager.h"
#include "library/PlaylistStore.h"
#include "library/SongCache.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/Translations.h"
#include "platform/Window.h"

namespace {
constexpr int barTop = 120;
const QColor deletedColor(255, 92, 92);
} // namespace

PlaybackSubListViewController::PlaybackSubListViewController(QObject *parent) : ZivoViewController(parent)
{}

View *PlaybackSubListViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, barTop, Window::width, NavigationBar::height);
    connect(m_bar->setLeftButton(Translations::text("Main Playlists")), &Button::clicked, this,
            &PlaybackSubListViewController::goBack);
    connect(m_bar->setRightButton(Translations::text("Menu")), &Button::clicked, this,
            &PlaybackSubListViewController::goMusicMainView);
    m_folderNameLabel = new Label(QRect(100, barTop, 120, NavigationBar::height), root);
    m_folderNameLabel->setAlignment(Qt::AlignCenter);
    m_folderNameLabel->setFontSize(11, true);
    const int top = barTop + NavigationBar::height;
    m_listTableView = new TableView(TableView::Plain, root);
    m_listTableView->setGeometry(0, top, Window::width, Window::height - top);
    m_listTableView->setRowHeight(rowHeight);
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    m_listTableView->setAccessibleName(Translations::text("Songs"));
    return root;
}

void PlaybackSubListViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_folderNameLabel->setText(m_folderDName);
    m_songArray = PlaylistStore::load().entries(m_folderDName);
    m_listTableView->reloadData();
}

void PlaybackSubListViewController::viewDidAppear(bool animated)
{
    ZivoViewController::viewDidAppear(animated);
    if (appDelegate())
        appDelegate()->viewPlayInfoPanelAni();
}

void PlaybackSubListViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_folderDName.clear();
    m_songArray.clear();
    m_listTableView->reloadData();
}

bool PlaybackSubListViewController::escapePressed()
{
    goBack();
    return true;
}

int PlaybackSubListViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_songArray.size());
}

TableViewCell *PlaybackSubListViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    auto *cell = qobject_cast<PlaybackSubListCell *>(table->dequeueReusableCellWithIdentifier(identifier));
    if (!cell) {
        cell = new PlaybackSubListCell(identifier);
        cell->setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
        cell->setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
    }
    cell->textLabel()->setFontSize(10.5);
    cell->detailTextLabel()->setFontSize(8.25);
    cell->detailTextLabel()->setTextColor(QColor(170, 176, 186));
    cell->imageView()->setImage(ImageView::imageNamed(QString::fromLatin1(SongCache::kDefaultArtworkName)));
    const QString entry = m_songArray.value(indexPath.row);
    const QString fileName = PlaylistStore::fileNameOfEntry(entry);
    cell->textLabel()->setText(fileName);
    // Looked at each time the row shows: a file deleted meanwhile shows at the next reload.
    if (PlaylistStore::entryFileExists(entry)) {
        cell->textLabel()->setTextColor(Qt::white);
        cell->detailTextLabel()->setText(fileName);
        AsyncAndCacheImageOperatorManager::setAsyncImageURL(cell,
                                                            QUrl::fromLocalFile(PlaylistStore::pathOfEntry(entry)),
                                                            cell);
    } else {
        cell->textLabel()->setTextColor(deletedColor);
        cell->detailTextLabel()->setText(Translations::text("Deleted files."));
    }
    return cell;
}

void PlaybackSubListViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const int row = indexPath.row;
    if (row < 0 || row >= m_songArray.size())
        return;
    table->reloadRowsAtIndexPaths({indexPath});
    table->selectRowAtIndexPath(indexPath);
    PlayInfoPanel *panel = appDelegate() ? appDelegate()->playInfoPanel() : nullptr;
    if (!panel)
        return;
    // A tap always starts at the tapped entry, whatever the shuffle setting; the whole
    // playlist goes to the player, deleted entries included.
    panel->setCurFolderD(m_folderDName);
    panel->setMusicURLArray(PlaylistStore::urlsOfEntries(m_songArray));
    panel->setPlayListMode(1);
    panel->setMusicURLArrayIndex(row);
    panel->curURLSet();
    panel->playMusic();
}

void PlaybackSubListViewController::scrollToRow(int row, const QString &folderName)
{
    if (folderName != m_folderDName || row < 0 || row >= m_songArray.size() || !isViewLoaded())
        return;
    const IndexPath path{0, row};
    m_listTableView->reloadRowsAtIndexPaths({path});
    m_listTableView->selectRowAtIndexPath(path);
    m_listTableView->scrollToRowAtIndexPath(path, TableView::Middle, true);
}

void PlaybackSubListViewController::delFileAtIndex(const QUrl &url)
{
    PlaylistStore::deleteSongFile(url);
    m_listTableView->reloadData();
}

void PlaybackSubListViewController::goBack()
{
    if (!appDelegate())
        return;
    View::removeFromSuperview(view());
    appDelegate()->addPlaybackListFileListView();
}

void PlaybackSubListViewController::goMusicMainView()
{
    if (!appDelegate())
        return;
    appDelegate()->closePlayInfoPanelAni();
    View::removeFromSuperview(view());
    appDelegate()->addMusicMainView();
}
