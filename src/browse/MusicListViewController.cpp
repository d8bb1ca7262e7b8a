#include "MusicListViewController.h"

#include "MusicListCell.h"
#include "MusicSubListViewController.h"
#include "app/PlayInfoPanel.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/Button.h"
#include "platform/NavigationBar.h"
#include "platform/NotificationCenter.h"
#include "platform/TableView.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"

#include <QFileInfo>

namespace {
using Screen = ZivoAppDelegate::Screen;
// The now-playing panel covers the top 120 points; the bar and the rows lie below it.
constexpr int barTop = 120;
const QString importFolder = QStringLiteral("iPod_Songs");
} // namespace

MusicListViewController::MusicListViewController(QObject *parent) : ZivoViewController(parent)
{}

View *MusicListViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, barTop, Window::width, NavigationBar::height);
    m_bar->setTitle(Translations::text("Main Folder Play"));
    connect(m_bar->setLeftButton(Translations::text("Menu")), &Button::clicked, this,
            &MusicListViewController::goMusicMainView);
    connect(m_bar->setRightButton(Translations::text("Now Playing")), &Button::clicked, this,
            &MusicListViewController::goMusicDetailView);
    const int top = barTop + NavigationBar::height;
    m_listTableView = new TableView(TableView::Plain, root);
    m_listTableView->setGeometry(0, top, Window::width, Window::height - top);
    m_listTableView->setRowHeight(MusicListCell::rowHeight);
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    m_listTableView->setAccessibleName(Translations::text("Folders"));
    return root;
}

void MusicListViewController::buildLists()
{
    m_sectionTitleArray = ZivoModel::folderSortToTopDocument(ZivoModel::getFolderList());
    m_allSectionArray.clear();
    for (const QString &folder : std::as_const(m_sectionTitleArray))
        m_allSectionArray.append(ZivoModel::getFileListAtFolder(folder));
    m_listTableView->reloadData();
}

void MusicListViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    // The full-screen player's button only where there is one.
    View::setHidden(m_bar->rightButton(), !(appDelegate() && appDelegate()->hasScreen(Screen::MusicDetail)));
    buildLists();
}

void MusicListViewController::viewDidAppear(bool animated)
{
    ZivoViewController::viewDidAppear(animated);
    if (appDelegate())
        appDelegate()->viewPlayInfoPanelAni();
    // After an import: straight into its folder, once it exists.
    if (m_goSublistFlg && m_sectionTitleArray.contains(importFolder)) {
        m_goSublistFlg = false;
        openFolder(importFolder, m_allSectionArray.value(int(m_sectionTitleArray.indexOf(importFolder))));
    }
}

void MusicListViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_sectionTitleArray.clear();
    m_allSectionArray.clear();
    m_listTableView->reloadData();
}

bool MusicListViewController::escapePressed()
{
    goMusicMainView();
    return true;
}

int MusicListViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_sectionTitleArray.size());
}

int MusicListViewController::heightForRowAtIndexPath(TableView *, const IndexPath &)
{
    return MusicListCell::rowHeight;
}

TableViewCell *MusicListViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    auto *cell =
        qobject_cast<MusicListCell *>(table->dequeueReusableCellWithIdentifier(MusicListCell::reuseIdentifier));
    if (!cell) {
        cell = new MusicListCell;
        connect(cell->playButton(), &Button::clicked, this, [this, cell] { playFolder(cell->playButton()); });
    }
    const int row = indexPath.row;
    cell->setFolder(row, m_sectionTitleArray.value(row),
                    QStringLiteral("%1%2").arg(m_allSectionArray.value(row).size()).arg(Translations::text("Files")));
    return cell;
}

void MusicListViewController::didSelectRowAtIndexPath(TableView *, const IndexPath &indexPath)
{
    const int row = indexPath.row;
    if (row < 0 || row >= m_sectionTitleArray.size())
        return;
    openFolder(m_sectionTitleArray[row], m_allSectionArray.value(row));
}

void MusicListViewController::openFolder(const QString &folder, const QStringList &files)
{
    auto *songs = appDelegate()
        ? qobject_cast<MusicSubListViewController *>(appDelegate()->screen(Screen::MusicSubList))
        : nullptr;
    if (!songs)
        return;
    songs->setFolderDName(folder);
    songs->setFileNameArray(files);
    appDelegate()->addMusicSubListView();
    View::removeFromSuperview(view());
}

void MusicListViewController::playFolder(Button *sender)
{
    Util::FlipRightAnimation(sender);
    const int row = sender->tag();
    const QString folder = m_sectionTitleArray.value(row);
    const QStringList files = m_allSectionArray.value(row);
    if (files.isEmpty()) {
        Util::viewMessageViewAutoClose(Translations::text("There is no music to play."));
        return;
    }
    PlayInfoPanel *panel = appDelegate() ? appDelegate()->playInfoPanel() : nullptr;
    if (!panel)
        return;
    panel->setCurFolderD(folder);
    panel->setMusicURLArray(ZivoModel::makeURLArrayWithFileNames(files, ZivoModel::getPathWithFolderName(folder)));
    // Under shuffle the folder starts anywhere; otherwise at its first song.
    const bool shuffle =
        UserDefaults::standard().stringForKey(SettingsKeys::appsettingplaymodekey) == QLatin1String("0");
    panel->setMusicURLArrayIndex(shuffle ? Util::randomIntNoOverlap(int(files.size())) : 0);
    panel->setPlayListMode(0);
    panel->curURLSet();
    panel->playMusic();
}

void MusicListViewController::delFileAtIndex(const QUrl &url)
{
    ZivoModel::deleteFile(ZivoModel::folderNameOfSong(url), QFileInfo(url.toLocalFile()).fileName());
    buildLists();
}

void MusicListViewController::goMusicMainView()
{
    if (!appDelegate())
        return;
    appDelegate()->closePlayInfoPanelAni();
    View::removeFromSuperview(view());
    appDelegate()->addMusicMainView();
}

void MusicListViewController::goMusicDetailView()
{
    NotificationCenter::defaultCenter().postNotificationName(Notify::addMusicDetailView);
}
