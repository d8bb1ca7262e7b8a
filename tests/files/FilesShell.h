#pragma once

#include "TestHome.h"
#include <gtest/gtest.h>
#include "support/ShellFakes.h"

#include "app/ZivoAppDelegate.h"
#include "files/FileManagerSubViewController.h"
#include "files/FileManagerViewController.h"
#include "files/FolderViewController.h"
#include "library/NotificationNames.h"
#include "library/ZivoModel.h"
#include "platform/ActionSheet.h"
#include "platform/AlertView.h"
#include "platform/BarButtonItem.h"
#include "platform/Label.h"
#include "platform/NotificationCenter.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/Window.h"

#include <QFile>

// The shell with the three folder and file management screens, a recording menu and a fake
// panel; texts are the keys themselves (no string table), so tests compare the system's
// texts. Every overlay message posted is noted in `messages`.
struct FilesShell
{
    static ScreenFactory screens()
    {
        ScreenFactory factory = recordingMenu();
        factory.add(Screen::FileManager, [] { return std::make_unique<FileManagerViewController>(); });
        factory.add(Screen::FileManagerSub, [] { return std::make_unique<FileManagerSubViewController>(); });
        factory.add(Screen::Folder, [] { return std::make_unique<FolderViewController>(); });
        return factory;
    }

    FilesShell()
    {
        Translations::uninstall();
        ZivoModel::appInit();
        delegate.setPlayInfoPanel(&player);
        NotificationCenter::defaultCenter().addObserver(&owner, Notify::viewMessageAni, [this](const Notification &n) {
            messages << n.object.toString();
        });
    }
    ~FilesShell()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            delete alert;
        for (ActionSheet *sheet : ActionSheet::visibleSheets())
            delete sheet;
    }

    // Launched and in the folder manager, as the menu's "Manage Folders" leaves it.
    void openFolders()
    {
        delegate.didFinishLaunchingWithOptions();
        View::removeFromSuperview(delegate.screen(Screen::MusicMain)->view());
        delegate.addFileManagerView();
    }
    // From the folder manager into one folder's files (a tap on its row).
    void openFolder(const QString &folder)
    {
        const int row = int(folders()->sectionTitleArray().indexOf(folder));
        ASSERT_GE(row, 0) << folder.toStdString();
        folders()->listTableView()->activateRow({0, row});
        ASSERT_TRUE(files()->isOnScreen());
    }

    FileManagerViewController *folders() const
    {
        return qobject_cast<FileManagerViewController *>(delegate.screen(Screen::FileManager));
    }
    FileManagerSubViewController *files() const
    {
        return qobject_cast<FileManagerSubViewController *>(delegate.screen(Screen::FileManagerSub));
    }
    FolderViewController *picker() const
    {
        return qobject_cast<FolderViewController *>(delegate.screen(Screen::Folder));
    }

    // Taps the row with that title (the first one), as a user would.
    static bool tap(TableView *table, const QString &title)
    {
        for (int row = 0; row < table->numberOfRowsInSection(0); ++row) {
            TableViewCell *cell = table->cellForRowAtIndexPath({0, row});
            if (cell && cell->textLabel()->text() == title) {
                table->activateRow({0, row});
                return true;
            }
        }
        return false;
    }
    static TableViewCell *row(TableView *table, const QString &title)
    {
        for (int row = 0; row < table->numberOfRowsInSection(0); ++row)
            if (TableViewCell *cell = table->cellForRowAtIndexPath({0, row});
                cell && cell->textLabel()->text() == title)
                return cell;
        return nullptr;
    }
    static QStringList titles(TableView *table)
    {
        QStringList list;
        for (int row = 0; row < table->numberOfRowsInSection(0); ++row)
            if (TableViewCell *cell = table->cellForRowAtIndexPath({0, row}))
                list << cell->textLabel()->text();
        return list;
    }
    static AlertView *onlyAlert()
    {
        const QList<AlertView *> alerts = AlertView::visibleAlerts();
        return alerts.size() == 1 ? alerts.first() : nullptr;
    }
    static ActionSheet *onlySheet()
    {
        const QList<ActionSheet *> sheets = ActionSheet::visibleSheets();
        return sheets.size() == 1 ? sheets.first() : nullptr;
    }
    // Answers the only sheet with its destructive ("Delete") or its cancel button.
    static bool answerSheet(bool destroy)
    {
        ActionSheet *sheet = onlySheet();
        if (!sheet)
            return false;
        sheet->dismissWithClickedButtonIndex(destroy ? sheet->destructiveButtonIndex() : sheet->cancelButtonIndex());
        return true;
    }

    QString doc(const QString &relative) const { return home.documents() + "/" + relative; }
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TestHome home;
    FakePlayer player;
    QObject owner;
    QStringList messages;
    ZivoAppDelegate delegate{screens()};
};
