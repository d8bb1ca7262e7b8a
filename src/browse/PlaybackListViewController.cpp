#include "PlaybackListViewController.h"

#include "PlaybackListCell.h"
#include "PlaybackSubListViewController.h"
#include "app/PlayInfoPanel.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/SettingsKeys.h"
#include "platform/Button.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"

namespace {
using Screen = ZivoAppDelegate::Screen;
// The now-playing panel covers the top 120 points; the bar and the rows lie below it.
constexpr int barTop = 120;
} // namespace

PlaybackListViewController::PlaybackListViewController(QObject *parent) : ZivoViewController(parent)
{}

View *PlaybackListViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, barTop, Window::width, NavigationBar::height);
    m_bar->setTitle(Translations::text("Main Playlists"));
    connect(m_bar->setLeftButton(Translations::text("Menu")), &Button::clicked, this,
            &PlaybackListViewController::goMusicMainView);
    const int top = barTop + NavigationBar::height;
    m_listTableView = new TableView(TableView::Plain, root);
    m_listTableView->setGeometry(0, top, Window::width, Window::height - top);
    m_listTableView->setRowHeight(PlaybackListCell::rowHeight);
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    m_listTableView->setAccessibleName(Translations::text("Main Playlists"));
    return root;
}

void PlaybackListViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_playListDic = PlaylistStore::load();
    m_songFolderArray = m_playListDic.names();
    m_listTableView->reloadData();
}

void PlaybackListViewController::viewDidAppear(bool animated)
{
    ZivoViewController::viewDidAppear(animated);
    if (appDelegate())
        appDelegate()->viewPlayInfoPanelAni();
}

void PlaybackListViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_playListDic = PlaylistStore();
    m_songFolderArray.clear();
    m_listTableView->reloadData();
}

bool PlaybackListViewController::escapePressed()
{
    goMusicMainView();
    return true;
}

int PlaybackListViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_songFolderArray.size());
}

TableViewCell *PlaybackListViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    auto *cell = qobject_cast<PlaybackListCell *>(
        table->dequeueReusableCellWithIdentifier(QString::fromLatin1(PlaybackListCell::reuseIdentifier)));
    if (!cell) {
        cell = new PlaybackListCell;
        connect(cell->playButton(), &Button::clicked, this, [this, cell] { playFolder(cell->playButton()); });
    }
    const int row = indexPath.row;
    const QString name = m_songFolderArray.value(row);
    cell->setPlaylist(row, name,
                      QStringLiteral("%1%2").arg(m_playListDic.entries(name).size()).arg(Translations::text("Songs")));
    return cell;
}

void PlaybackListViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    const int row = indexPath.row;
    auto *songs = appDelegate()
        ? qobject_cast<PlaybackSubListViewController *>(appDelegate()->screen(Screen::PlaybackSubList))
        : nullptr;
    if (row < 0 || row >= m_songFolderArray.size() || !songs)
        return;
    songs->setFolderDName(m_songFolderArray[row]);
    appDelegate()->addPlaybackSubListView();
    View::removeFromSuperview(view());
}

void PlaybackListViewController::playFolder(Button *sender)
{
    Util::FlipRightAnimation(sender);
    const QString name = m_songFolderArray.value(sender->tag());
    const QStringList entries = m_playListDic.entries(name);
    if (entries.isEmpty()) {
        Util::viewMessageViewAutoClose(Translations::text("There is no music to play."));
        return;
    }
    PlayInfoPanel *panel = appDelegate() ? appDelegate()->playInfoPanel() : nullptr;
    if (!panel)
        return;
    // Under shuffle the playlist starts anywhere; otherwise at its first song.
    const bool shuffle =
        UserDefaults::standard().stringForKey(SettingsKeys::appsettingplaymodekey) == QLatin1String("0");
    panel->setCurFolderD(name);
    panel->setMusicURLArray(PlaylistStore::urlsOfEntries(entries));
    panel->setMusicURLArrayIndex(shuffle ? Util::randomIntNoOverlap(int(entries.size())) : 0);
    panel->setPlayListMode(1);
    panel->curURLSet();
    panel->playMusic();
}

void PlaybackListViewController::delFileAtIndex(const QUrl &url)
{
    PlaylistStore::deleteSongFile(url);
    m_listTableView->reloadData();
}

void PlaybackListViewController::goMusicMainView()
{
    if (!appDelegate())
        return;
    appDelegate()->closePlayInfoPanelAni();
    View::removeFromSuperview(view());
    appDelegate()->addMusicMainView();
}
