#pragma once

#include "MediaItem.h"
#include "TableViewDataSource.h"
#include "TableViewDelegate.h"
#include "ViewController.h"

#include <QList>
#include <QSet>

class Label;
class MediaLibrary;
class MediaPickerController;
class NavigationBar;
class TableView;

class MediaPickerControllerDelegate
{
public:
    virtual ~MediaPickerControllerDelegate() = default;
    // Done: the items picked, in the list's order (empty when none was picked).
    virtual void mediaPickerDidPickMediaItems(MediaPickerController *picker, const QList<MediaItem> &items) = 0;
    virtual void mediaPickerDidCancel(MediaPickerController *picker) = 0;
};

// The song picker over the music library: a prompt, the songs sorted by artist then title
// with a search field, a check mark on each picked song, Done and Cancel. It shows what the
// library knows at once and follows its scan. The delegate closes it (dismiss).
class MediaPickerController : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 50;
    static constexpr const char *cellIdentifier = "MediaPickerCell";

    explicit MediaPickerController(MediaLibrary &library, QObject *parent = nullptr);

    void setDelegate(MediaPickerControllerDelegate *delegate) { m_delegate = delegate; }
    void setPrompt(const QString &prompt);
    QString prompt() const { return m_prompt; }
    // Off: a tap picks one song and ends the picker.
    void setAllowsPickingMultipleItems(bool allows) { m_allowsMultiple = allows; }

    // Lays the picker over the key window, on top; dismiss takes it away again.
    void present();
    void dismiss();

    // The rows shown now (the search applied) and the items picked, in list order.
    QList<MediaItem> shownItems() const;
    QList<MediaItem> selectedItems() const;
    bool isSelected(const MediaItem &item) const { return m_selected.contains(item.path); }
    void setSearchText(const QString &text);
    void done();
    void cancel();

    TableView *tableView() const { return m_table; }
    NavigationBar *navigationBar() const { return m_bar; }
    Label *promptLabel() const { return m_promptLabel; }
    // The line under the rows: reading, no songs, or how many there are.
    QString statusText() const;

    void viewWillAppear(bool animated) override;
    bool escapePressed() override;

    // TableViewDataSource / TableViewDelegate
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    QString titleForFooterInSection(TableView *table, int section) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

protected:
    View *loadView() override;

private:
    void reloadItems();
    void applySearch();
    bool matchesSearch(const MediaItem &item) const;

    MediaLibrary &m_library;
    MediaPickerControllerDelegate *m_delegate = nullptr;
    QString m_prompt;
    bool m_allowsMultiple = false;
    QList<MediaItem> m_items;
    QList<qsizetype> m_shown; // indexes into m_items
    QSet<QString> m_selected; // paths
    QString m_search;
    Label *m_promptLabel = nullptr;
    NavigationBar *m_bar = nullptr;
    TableView *m_table = nullptr;
};
