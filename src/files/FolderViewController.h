#pragma once

#include "MoveCommander.h"
#include "app/ZivoViewController.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QStringList>

class Button;
class Label;
class NavigationBar;
class TableView;

// The move destination picker, laid over the screen that asked for it (the commander):
// one row per folder ("Documents" first); a tap moves every selected file into that
// folder. A name already taken there is never replaced: such a file stays where it was,
// and the message says how many moved and how many did not. The player's list and the
// playlists follow the songs that moved. Closing it moves nothing and leaves the
// commander's selection as it was.
class FolderViewController : public ZivoViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
public:
    static constexpr const char *cellIdentifier = "CellFolder";
    static constexpr int rowHeight = 44;

    explicit FolderViewController(QObject *parent = nullptr);

    // Prepared by the commander in this order, then shown by the delegate (addFolderView).
    void setComanderClass(MoveCommander *commander) { m_comanderClass = commander; }
    void setFolderMessage(const QString &message) { m_folderMessage = message; }
    void setSelectedPathListArray(const QStringList &paths) { m_selectedPathListArray = paths; }
    void reloadFolder();

    MoveCommander *comanderClass() const { return m_comanderClass; }
    QString folderMessage() const { return m_folderMessage; }
    QStringList selectedPathListArray() const { return m_selectedPathListArray; }
    QStringList folderListArray() const { return m_folderListArray; }
    TableView *folderTableView() const { return m_folderTableView; }
    NavigationBar *titleNavigationBar() const { return m_bar; }
    Label *folderMessageLabel() const { return m_folderMessageLabel; }
    Button *closeButton() const { return m_closeButton; }

    void closeView();
    // Moves the selection into the folder (a display name) and closes the picker.
    void moveInto(const QString &destination);

    // The overlay text after a move: "moved the files." when all moved, else both counts.
    static QString resultMessage(int moved, int notMoved);

    // TableViewDataSource / TableViewDelegate
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool escapePressed() override;

protected:
    View *loadView() override;

private:
    NavigationBar *m_bar = nullptr;
    Button *m_closeButton = nullptr;
    Label *m_promptLabel = nullptr;
    Label *m_folderMessageLabel = nullptr;
    TableView *m_folderTableView = nullptr;
    QStringList m_folderListArray;
    QStringList m_selectedPathListArray;
    QString m_folderMessage;
    MoveCommander *m_comanderClass = nullptr;
};
