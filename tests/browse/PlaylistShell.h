#pragma once

#include "TestHome.h"
#include "support/ShellFakes.h"

#include "app/ZivoAppDelegate.h"
#include "browse/FileSelectorSubViewController.h"
#include "browse/FileSelectorViewController.h"
#include "browse/PlayListFileListViewController.h"
#include "browse/PlayListViewController.h"
#include "browse/PlaybackListViewController.h"
#include "browse/PlaybackSubListViewController.h"
#include "library/NotificationNames.h"
#include "library/PlaylistStore.h"
#include "library/ZivoModel.h"
#include "platform/ActionSheet.h"
#include "platform/AlertView.h"
#include "platform/Label.h"
#include "platform/NotificationCenter.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QAccessible>
#include <QAccessibleInterface>

// The shell with the playlist screens, a recording menu and (optionally) a fake panel;
// texts are the keys themselves (no string table), so tests compare the system's texts.
struct PlaylistShell
{
    static ScreenFactory screens()
    {
        ScreenFactory factory = recordingMenu();
        factory.add(Screen::PlayList, [] { return std::make_unique<PlayListViewController>(); });
        factory.add(Screen::PlayListFileList, [] { return std::make_unique<PlayListFileListViewController>(); });
        factory.add(Screen::PlaybackList, [] { return std::make_unique<PlaybackListViewController>(); });
        factory.add(Screen::PlaybackSubList, [] { return std::make_unique<PlaybackSubListViewController>(); });
        factory.add(Screen::FileSelector, [] { return std::make_unique<FileSelectorViewController>(); });
        factory.add(Screen::FileSelectorSub, [] { return std::make_unique<FileSelectorSubViewController>(); });
        return factory;
    }

    explicit PlaylistShell(PlayInfoPanel *fake = nullptr)
    {
        Translations::uninstall();
        // As after an earlier run: the first-run defaults (an empty store among them) are
        // in place, so that playlists a test stores before launch stay.
        ZivoModel::appInit();
        if (fake)
            delegate.setPlayInfoPanel(fake);
        NotificationCenter::defaultCenter().addObserver(&owner, Notify::viewMessageAni, [this](const Notification &n) {
            messages << n.object.toString();
        });
    }
    ~PlaylistShell()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
        for (ActionSheet *sheet : ActionSheet::visibleSheets())
            delete sheet;
    }
    // Launched, with the menu taken away (as an entry does before opening its screen).
    void launch()
    {
        delegate.didFinishLaunchingWithOptions();
        View::removeFromSuperview(delegate.screen(Screen::MusicMain)->view());
    }

    template <typename T>
    T *screen(Screen which) const
    {
        return qobject_cast<T *>(delegate.screen(which));
    }
    PlayListViewController *manager() const { return screen<PlayListViewController>(Screen::PlayList); }
    PlayListFileListViewController *songs() const
    {
        return screen<PlayListFileListViewController>(Screen::PlayListFileList);
    }
    PlaybackListViewController *playlists() const { return screen<PlaybackListViewController>(Screen::PlaybackList); }
    PlaybackSubListViewController *playlistSongs() const
    {
        return screen<PlaybackSubListViewController>(Screen::PlaybackSubList);
    }
    FileSelectorViewController *picker() const { return screen<FileSelectorViewController>(Screen::FileSelector); }
    FileSelectorSubViewController *pickerSongs() const
    {
        return screen<FileSelectorSubViewController>(Screen::FileSelectorSub);
    }
    // The topmost screen in the window.
    ViewController *top() const
    {
        const QList<QWidget *> views = delegate.window()->subviews();
        for (auto it = views.crbegin(); it != views.crend(); ++it)
            if (auto *view = qobject_cast<View *>(*it); view && view->viewController())
                if (!delegate.playInfoPanel() || view != delegate.playInfoPanel()->panelView())
                    return view->viewController();
        return nullptr;
    }

    // The cells in view, top first.
    static QList<TableViewCell *> rows(TableView *table)
    {
        QList<TableViewCell *> cells;
        for (int row = 0; row < table->numberOfRowsInSection(0); ++row)
            if (TableViewCell *cell = table->cellForRowAtIndexPath({0, row}))
                cells << cell;
        return cells;
    }
    static TableViewCell *row(TableView *table, const QString &title)
    {
        for (TableViewCell *cell : rows(table))
            if (cell->textLabel()->text() == title)
                return cell;
        return nullptr;
    }
    static QStringList titles(TableView *table)
    {
        QStringList list;
        for (TableViewCell *cell : rows(table))
            list << cell->textLabel()->text();
        return list;
    }
    static QString details(TableViewCell *cell) { return cell->detailTextLabel()->text(); }
    static QColor titleColour(TableViewCell *cell) { return cell->textLabel()->palette().color(QPalette::WindowText); }
    static QAccessible::State state(QWidget *widget) { return QAccessible::queryAccessibleInterface(widget)->state(); }

    TestHome home;
    QObject owner;
    QStringList messages;
    ZivoAppDelegate delegate{screens()};
};

// A playlist written straight into the store, as another screen would have.
inline void storePlaylist(const QString &name, const QStringList &entries)
{
    PlaylistStore store = PlaylistStore::load();
    store.addPlaylist(name);
    store.appendEntries(name, entries);
}
