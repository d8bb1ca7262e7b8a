#include "MusicSubListViewController.h"

#include "app/PlayInfoPanel.h"
#include "app/ZivoAppDelegate.h"
#include "library/NotificationNames.h"
#include "library/SongCache.h"
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

#include <QFileInfo>
#include <QPixmap>

namespace {
using Screen = ZivoAppDelegate::Screen;
constexpr int barTop = 120;
} // namespace

MusicSubListViewController::MusicSubListViewController(QObject *parent) : ZivoViewController(parent)
{}

View *MusicSubListViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, barTop, Window::width, NavigationBar::height);
    connect(m_bar->setLeftButton(Translations::text("Folders")), &Button::clicked, this,
            &MusicSubListViewController::backFolder);
    connect(m_bar->setRightButton(Translations::text("Now Playing")), &Button::clicked, this,
            &MusicSubListViewController::goMusicDetailView);
    m_folderNameLabel = new Label(QRect(84, barTop, 152, NavigationBar::height), root);
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

void MusicSubListViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    View::setHidden(m_bar->rightButton(), !(appDelegate() && appDelegate()->hasScreen(Screen::MusicDetail)));
    m_folderNameLabel->setText(m_folderDName);
    m_listTableView->reloadData();
}

void MusicSubListViewController::viewDidAppear(bool animated)
{
    ZivoViewController::viewDidAppear(animated);
    if (appDelegate())
        appDelegate()->viewPlayInfoPanelAni();
}

void MusicSubListViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_folderDName.clear();
    m_fileNameArray.clear();
    m_listTableView->reloadData();
}

bool MusicSubListViewController::escapePressed()
{
    backFolder();
    return true;
}

QString MusicSubListViewController::folderPath() const
{
    return ZivoModel::getPathWithFolderName(m_folderDName);
}

int MusicSubListViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_fileNameArray.size());
}

int MusicSubListViewController::heightForRowAtIndexPath(TableView *, const IndexPath &)
{
    return rowHeight;
}

TableViewCell *MusicSubListViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = new TableViewCell(TableViewCell::Subtitle, identifier);
        cell->setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
        cell->setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
    }
    cell->textLabel()->setFontSize(10.5);
    cell->textLabel()->setTextColor(Qt::white);
    cell->detailTextLabel()->setFontSize(8.25);
    cell->detailTextLabel()->setTextColor(QColor(170, 176, 186));

    const QString fileName = m_fileNameArray.value(indexPath.row);
    const QUrl song = QUrl::fromLocalFile(folderPath() + QLatin1Char('/') + fileName);
    // The folder's cache is brought up to date in the background (once per folder while
    // its songs are not cached); the row shows what the cache holds now.
    if (appDelegate())
        appDelegate()->optimizeList(m_fileNameArray, song, this);
    const SongCache::Row row = SongCache::row(SongCache::folderOfSong(song), fileName);
    cell->textLabel()->setText(row.title);
    cell->detailTextLabel()->setText(row.detail);
    cell->imageView()->setImage(row.artwork.isNull()
                                    ? ImageView::imageNamed(QString::fromLatin1(SongCache::kDefaultArtworkName))
                                    : QPixmap::fromImage(row.artwork));
    return cell;
}

void MusicSubListViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const int row = indexPath.row;
    if (row < 0 || row >= m_fileNameArray.size())
        return;
    table->reloadRowsAtIndexPaths({indexPath});
    table->selectRowAtIndexPath(indexPath);
    PlayInfoPanel *panel = appDelegate() ? appDelegate()->playInfoPanel() : nullptr;
    if (!panel)
        return;
    // A tap always starts at the tapped song, whatever the shuffle setting.
    panel->setCurFolderD(m_folderDName);
    panel->setMusicURLArray(ZivoModel::makeURLArrayWithFileNames(m_fileNameArray, folderPath()));
    panel->setPlayListMode(0);
    panel->setMusicURLArrayIndex(row);
    panel->curURLSet();
    panel->playMusic();
}

void MusicSubListViewController::scrollToRow(int row, const QString &folderName)
{
    if (folderName != m_folderDName || row < 0 || row >= m_fileNameArray.size() || !isViewLoaded())
        return;
    const IndexPath path{0, row};
    m_listTableView->reloadRowsAtIndexPaths({path});
    m_listTableView->selectRowAtIndexPath(path);
    m_listTableView->scrollToRowAtIndexPath(path, TableView::Middle, true);
}

void MusicSubListViewController::delFileAtIndex(const QUrl &url)
{
    const QString fileName = QFileInfo(url.toLocalFile()).fileName();
    m_fileNameArray.removeAll(fileName);
    ZivoModel::deleteFile(m_folderDName, fileName);
    m_listTableView->reloadData();
}

void MusicSubListViewController::reloadData()
{
    if (isViewLoaded())
        m_listTableView->reloadData();
}

void MusicSubListViewController::backFolder()
{
    if (!appDelegate())
        return;
    View::removeFromSuperview(view());
    appDelegate()->addMusicListView();
}

void MusicSubListViewController::goMusicDetailView()
{
    NotificationCenter::defaultCenter().postNotificationName(Notify::addMusicDetailView);
}
