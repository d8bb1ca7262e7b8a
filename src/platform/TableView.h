#pragma once

#include "IndexPath.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QStringList>

class Label;
class QLineEdit;
class TableSectionIndex;
class TableViewCell;
class TableViewDataSource;
class TableViewDelegate;

// A scrolling list of rows in sections with titled headers and footers, a section index
// on the right, an optional search field on top, selection, and scrolling to a row.
// Only the rows in view have cells; a row that scrolls out hands its cell back for reuse.
class TableView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum Style { Plain, Grouped };
    enum ScrollPosition { Top, Middle, Bottom };
    // The section index strip on the right: room for two letters and "..".
    static constexpr int indexWidth = 22;

    explicit TableView(Style style = Plain, QWidget *parent = nullptr);
    ~TableView() override;

    void setDataSource(TableViewDataSource *dataSource) { m_dataSource = dataSource; }
    void setDelegate(TableViewDelegate *delegate) { m_delegate = delegate; }
    void setRowHeight(int height) { m_rowHeight = height; }
    // A picture behind the rows, stretched to the list's visible area (it does not scroll).
    void setBackgroundImage(const QPixmap &image);
    int rowHeight() const { return m_rowHeight; }

    // Reads everything again from the data source.
    void reloadData();
    void reloadRowsAtIndexPaths(const QList<IndexPath> &rows);
    TableViewCell *dequeueReusableCellWithIdentifier(const QString &identifier);

    int numberOfSections() const { return int(m_sections.size()); }
    int numberOfRowsInSection(int section) const;
    // The cell of a row in view, or null.
    TableViewCell *cellForRowAtIndexPath(const IndexPath &indexPath) const;
    QList<IndexPath> indexPathsForVisibleRows() const;
    QRect rectForRowAtIndexPath(const IndexPath &indexPath) const;

    void selectRowAtIndexPath(const IndexPath &indexPath);
    void deselectRowAtIndexPath(const IndexPath &indexPath, bool animated = false);
    // The selected row, or {-1, -1}.
    IndexPath indexPathForSelectedRow() const { return m_selected; }
    void scrollToRowAtIndexPath(const IndexPath &indexPath, ScrollPosition position = Top, bool animated = false);
    int contentOffset() const;
    void setContentOffset(int y);

    // The search field above the rows.
    void setSearchFieldVisible(bool visible);
    QLineEdit *searchField() const { return m_search; }
    // The titles of the section index, as drawn; a press on one scrolls to its section.
    QStringList sectionIndexTitles() const { return m_indexTitles; }
    void touchSectionIndexTitle(int index);

    // How many cells wait for reuse (for tests).
    int cellsInPool() const;

    // The title that stands for the search symbol at the top of a section index.
    static QString searchIndexTitle() { return QStringLiteral("{search}"); }
    TableSectionIndex *sectionIndex() const { return m_index; }
    // The labels of the section headers and footers in view, top first (for tests).
    QList<Label *> visibleSectionLabels() const;

    // The row the keyboard is on, or {-1, -1}; Up and Down move it, Enter opens it.
    IndexPath currentRow() const { return m_current; }
    void setCurrentRow(const IndexPath &indexPath);
    // What a tap on the row does: select it and tell the delegate.
    void activateRow(const IndexPath &indexPath);
    // The same for a cell in view (assistive technologies press rows by their cell).
    void activateCell(TableViewCell *cell);

signals:
    void searchTextChanged(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct Section
    {
        int top = 0;
        int headerHeight = 0;
        QString header;
        QList<int> rowTops;
        QList<int> rowHeights;
        int footerTop = 0;
        int footerHeight = 0;
        QString footer;
    };

    void layoutContent();
    void updateVisibleCells();
    void placeSectionLabels(int offset, int width);
    Label *sectionLabel(int slot, bool footer);
    void moveCurrentRow(int steps);
    void showKeyboardFocus();
    void enqueue(TableViewCell *cell);
    void trimPool();
    IndexPath indexPathAt(const QPoint &viewportPoint) const;
    int headerBlockHeight() const;
    QRect indexStripRect() const;

    TableViewDataSource *m_dataSource = nullptr;
    TableViewDelegate *m_delegate = nullptr;
    Style m_style;
    int m_rowHeight = 44;
    QList<Section> m_sections;
    int m_contentHeight = 0;
    QHash<IndexPath, TableViewCell *> m_visible;
    QHash<QString, QList<TableViewCell *>> m_pool;
    IndexPath m_selected{-1, -1};
    IndexPath m_pressed{-1, -1};
    QLineEdit *m_search = nullptr;
    QStringList m_indexTitles;
    TableSectionIndex *m_index = nullptr;
    // Header and footer labels, one per section that has one; reused across reloads.
    QList<Label *> m_headerLabels;
    QList<Label *> m_footerLabels;
    IndexPath m_current{-1, -1};
    QPixmap m_backgroundImage;
    QPixmap m_scaledBackground;
};
