#include "MusicAllListViewController.h"

#include "DemoSongInstaller.h"
#include "app/PlayInfoPanel.h"
#include "app/ZivoAppDelegate.h"
#include "library/AsyncAndCacheImageOperatorManager.h"
#include "library/NotificationNames.h"
#include "library/SongCache.h"
#include "library/ZivoModel.h"
#include "platform/Button.h"
#include "platform/FileManager.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/NotificationCenter.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/Window.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>

namespace {
using Screen = ZivoAppDelegate::Screen;
// The now-playing panel covers the top 120 points; the bar and the rows lie below it.
constexpr int barTop = 120;
} // namespace

MusicAllListViewController::MusicAllListViewController(QObject *parent) : ZivoViewController(parent)
{}

View *MusicAllListViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, barTop, Window::width, NavigationBar::height);
    m_bar->setTitle(Translations::text("Main All Songs"));
    connect(m_bar->setLeftButton(Translations::text("Menu")), &Button::clicked, this,
            &MusicAllListViewController::goMusicMainView);
    connect(m_bar->setRightButton(Translations::text("Now Playing")), &Button::clicked, this,
            &MusicAllListViewController::goMusicDetailView);
    m_folderManagerButton = new Button(QRect(204, barTop + 7, 30, 30), root);
    m_folderManagerButton->setImage(ImageView::imageNamed(QStringLiteral("list_folder.png")));
    m_folderManagerButton->setAccessibleName(Translations::text("Main Managing Folders"));
    connect(m_folderManagerButton, &Button::clicked, this, &MusicAllListViewController::goFileManagerView);

    const int top = barTop + NavigationBar::height;
    m_listTableView = new TableView(TableView::Plain, root);
    m_listTableView->setGeometry(0, top, Window::width, Window::height - top);
    m_listTableView->setBackgroundImage(ImageView::imageNamed(QStringLiteral("listBackground.png")));
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    m_listTableView->setAccessibleName(Translations::text("Songs"));
    m_listTableView->setSearchFieldVisible(true);
    connect(m_listTableView, &TableView::searchTextChanged, this, &MusicAllListViewController::searchTextChanged);
    return root;
}

void MusicAllListViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    // The full-screen player's and the folder manager's buttons only where those screens are.
    View::setHidden(m_bar->rightButton(), !(appDelegate() && appDelegate()->hasScreen(Screen::MusicDetail)));
    View::setHidden(m_folderManagerButton, !(appDelegate() && appDelegate()->hasScreen(Screen::FileManager)));
    buildLists();
    if (DemoSongInstaller::isOfferDue())
        offerDemoSongs();
}

void MusicAllListViewController::viewDidAppear(bool animated)
{
    ZivoViewController::viewDidAppear(animated);
    if (appDelegate())
        appDelegate()->viewPlayInfoPanelAni();
    AsyncAndCacheImageOperatorManager::shared().setMaxAsyncCount(4);
}

void MusicAllListViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    endSearch();
    m_allSectionArraySearch.clear();
    if (appDelegate())
        appDelegate()->closePlayInfoPanelAni();
    m_sectionTitleArray.clear();
    m_allSectionArray.clear();
    m_mp3NameListArray.clear();
    m_sectionShortTitleArray.clear();
    m_listTableView->reloadData();
}

bool MusicAllListViewController::escapePressed()
{
    // Escape first leaves the search, then the screen.
    if (m_searching) {
        endSearch();
        return true;
    }
    goMusicMainView();
    return true;
}

// ---------------------------------------------------------------------------
// The lists

QString MusicAllListViewController::entryFor(const QString &folder, const QString &fileName)
{
    return folder == ZivoModel::documentsFolderName ? fileName : folder + QLatin1Char('/') + fileName;
}

void MusicAllListViewController::buildLists()
{
    endSearch();
    m_sectionTitleArray = ZivoModel::folderSortToTopDocument(ZivoModel::getFolderList());
    m_sectionShortTitleArray =
        QStringList{TableView::searchIndexTitle()} + ZivoModel::indexTileSortName(m_sectionTitleArray);
    m_allSectionArray.clear();
    m_mp3NameListArray.clear();
    for (const QString &folder : std::as_const(m_sectionTitleArray)) {
        const QStringList files = ZivoModel::getFileListAtFolder(folder);
        for (const QString &file : files)
            m_mp3NameListArray << entryFor(folder, file);
        m_allSectionArray << files;
    }
    m_listTableView->reloadData();
}

const QList<QStringList> &MusicAllListViewController::shownSections() const
{
    return m_searching ? m_allSectionArraySearch : m_allSectionArray;
}

void MusicAllListViewController::searchTextChanged(const QString &text)
{
    // Each folder's songs whose names hold the text as it is (case counts), folder by folder.
    m_searching = !text.isEmpty();
    m_allSectionArraySearch.clear();
    if (m_searching)
        for (const QStringList &files : std::as_const(m_allSectionArray)) {
            QStringList found;
            for (const QString &file : files)
                if (file.contains(text, Qt::CaseSensitive))
                    found << file;
            m_allSectionArraySearch << found;
        }
    m_listTableView->reloadData();
    if (!m_searching)
        becomeFirstResponder();
}

void MusicAllListViewController::endSearch()
{
    if (m_listTableView && m_listTableView->searchField() && !m_listTableView->searchField()->text().isEmpty())
        m_listTableView->searchField()->clear(); // which ends the search through searchTextChanged
}

int MusicAllListViewController::numberOfSectionsInTableView(TableView *)
{
    return int(shownSections().size());
}

int MusicAllListViewController::numberOfRowsInSection(TableView *, int section)
{
    return int(shownSections().value(section).size());
}

QString MusicAllListViewController::titleForHeaderInSection(TableView *, int section)
{
    const qsizetype count = shownSections().value(section).size();
    // A folder with nothing to show takes no room: a library kept in folders does not open
    // on an empty "Documents", and a search shows only the folders where it found songs.
    if (count == 0)
        return {};
    return QStringLiteral("%1 (%2%3)")
        .arg(m_sectionTitleArray.value(section))
        .arg(count)
        .arg(Translations::text("musicCount"));
}

QStringList MusicAllListViewController::sectionIndexTitlesForTableView(TableView *)
{
    return m_searching ? QStringList() : m_sectionShortTitleArray;
}

int MusicAllListViewController::sectionForSectionIndexTitle(TableView *table, const QString &, int index)
{
    // The search symbol goes to the very top, where the search field is, and to no section.
    if (index == 0) {
        table->setContentOffset(0);
        return -1;
    }
    return index - 1;
}

TableViewCell *MusicAllListViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
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

    const QStringList &files = shownSections().value(indexPath.section);
    const QString folder = m_sectionTitleArray.value(indexPath.section);
    const QString fileName = files.value(indexPath.row);
    const QUrl song =
        QUrl::fromLocalFile(FileManager::appendingPathComponent(ZivoModel::getPathWithFolderName(folder), fileName));
    // The folder's cache is brought up to date in the background (once per folder while
    // its songs are not cached); the row shows what the cache holds now. Only an uncached
    // row asks: the builder takes one folder at a time and ignores requests meanwhile, so a
    // cached folder's row above must not take the turn of the uncached folders below it
    // (the reload after each folder asks again for the next).
    const QString cacheFolder = SongCache::folderOfSong(song);
    if (appDelegate() && !SongCache::hasTagFile(cacheFolder, fileName))
        appDelegate()->optimizeList(m_allSectionArray.value(indexPath.section), song, this);
    const SongCache::Row row = SongCache::row(cacheFolder, fileName);
    cell->textLabel()->setText(row.title);
    cell->detailTextLabel()->setText(row.detail);
    cell->imageView()->setImage(row.artwork.isNull()
                                    ? ImageView::imageNamed(QString::fromLatin1(SongCache::kDefaultArtworkName))
                                    : QPixmap::fromImage(row.artwork));
    return cell;
}

// ---------------------------------------------------------------------------
// Playing

void MusicAllListViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    if (!m_searching) {
        playRow(indexPath);
        return;
    }
    // A search result: the same song's row of the full list, which the list then shows.
    table->deselectRowAtIndexPath(indexPath);
    const QString fileName = m_allSectionArraySearch.value(indexPath.section).value(indexPath.row);
    const int row = int(m_allSectionArray.value(indexPath.section).indexOf(fileName));
    if (row < 0)
        return;
    endSearch();
    const IndexPath full{indexPath.section, row};
    playRow(full);
    m_listTableView->scrollToRowAtIndexPath(full, TableView::Middle, true);
}

void MusicAllListViewController::playRow(const IndexPath &indexPath)
{
    const QStringList files = m_allSectionArray.value(indexPath.section);
    if (indexPath.row < 0 || indexPath.row >= files.size())
        return;
    m_listTableView->reloadRowsAtIndexPaths({indexPath});
    m_listTableView->selectRowAtIndexPath(indexPath);
    PlayInfoPanel *panel = appDelegate() ? appDelegate()->playInfoPanel() : nullptr;
    if (!panel)
        return;
    // The song's place in the whole library: the songs of the sections before it, then its row.
    int index = indexPath.row;
    for (int s = 0; s < indexPath.section; ++s)
        index += int(m_allSectionArray[s].size());
    // The whole library, in section order, from the tapped song, whatever the shuffle setting.
    panel->setCurFolderD(Translations::text("All Songs"));
    panel->setMusicURLArray(
        ZivoModel::makeURLArrayWithFileNames(m_mp3NameListArray,
                                             ZivoModel::getPathWithFolderName(ZivoModel::documentsFolderName)));
    panel->setPlayListMode(2);
    panel->setMusicURLArrayIndex(index);
    panel->curURLSet();
    panel->playMusic();
}

void MusicAllListViewController::scrollToRow(int row, const QString &)
{
    if (row < 0 || row >= m_mp3NameListArray.size() || !isViewLoaded() || m_searching)
        return;
    const QString entry = m_mp3NameListArray[row];
    const qsizetype slash = entry.indexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? ZivoModel::documentsFolderName : entry.left(slash);
    const int section = int(m_sectionTitleArray.indexOf(folder));
    const int songRow = int(m_allSectionArray.value(section).indexOf(slash < 0 ? entry : entry.mid(slash + 1)));
    if (section < 0 || songRow < 0)
        return;
    const IndexPath path{section, songRow};
    m_listTableView->selectRowAtIndexPath(path);
    m_listTableView->scrollToRowAtIndexPath(path, TableView::Middle, true);
}

void MusicAllListViewController::delFileAtIndex(const QUrl &url)
{
    const QString folder = ZivoModel::folderNameOfSong(url);
    const QString fileName = QFileInfo(url.toLocalFile()).fileName();
    ZivoModel::deleteFile(folder, fileName);
    m_mp3NameListArray.removeAll(entryFor(folder, fileName));
    const int section = int(m_sectionTitleArray.indexOf(folder));
    if (section >= 0)
        m_allSectionArray[section].removeAll(fileName);
    if (m_searching)
        searchTextChanged(m_listTableView->searchField()->text());
    else
        m_listTableView->reloadData();
}

void MusicAllListViewController::reloadData()
{
    if (isViewLoaded())
        m_listTableView->reloadData();
}

// ---------------------------------------------------------------------------
// The demo songs

void MusicAllListViewController::offerDemoSongs()
{
    if (m_demoOffer)
        return;
    m_demoOffer = new AlertView(Translations::text("DEMO Songs"), Translations::text("install the demo songs?"), this,
                                QStringLiteral("YES"), {QStringLiteral("NO")});
    m_demoOffer->show();
}

void MusicAllListViewController::alertViewClickedButtonAtIndex(AlertView *, int buttonIndex)
{
    // The answered alert is only deleted later; forget it now, so that the next appearance
    // offers again. "NO" changes nothing: the offer comes back the next time the list appears.
    m_demoOffer = nullptr;
    if (buttonIndex != 0)
        return;
    DemoSongInstaller::install();
    buildLists();
}

// ---------------------------------------------------------------------------
// Leaving

void MusicAllListViewController::goMusicMainView()
{
    if (!appDelegate())
        return;
    View::removeFromSuperview(view());
    appDelegate()->addMusicMainView();
}

void MusicAllListViewController::goFileManagerView()
{
    if (!appDelegate() || !appDelegate()->hasScreen(Screen::FileManager))
        return;
    View::removeFromSuperview(view());
    appDelegate()->addFileManagerView();
}

void MusicAllListViewController::goMusicDetailView()
{
    NotificationCenter::defaultCenter().postNotificationName(Notify::addMusicDetailView);
}
