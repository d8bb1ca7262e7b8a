#include "TableView.h"
#include "Translations.h"

#include "TableViewCell.h"
#include "TableViewDataSource.h"
#include "TableViewDelegate.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int headerHeight = 26;
constexpr int searchHeight = 44;
constexpr int indexWidth = 18;
const QColor background(12, 14, 19);
const QColor sectionColor(28, 32, 42);
} // namespace

TableView::TableView(Style style, QWidget *parent) : QAbstractScrollArea(parent), m_style(style)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(22);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

TableView::~TableView() = default;

int TableView::numberOfRowsInSection(int section) const
{
    return section >= 0 && section < m_sections.size() ? int(m_sections[section].rowTops.size()) : 0;
}

int TableView::headerBlockHeight() const
{
    return m_search && m_search->isVisible() ? searchHeight : 0;
}

void TableView::setSearchFieldVisible(bool visible)
{
    if (visible && !m_search) {
        m_search = new QLineEdit(viewport());
        m_search->setPlaceholderText(Translations::text("Search"));
        m_search->setClearButtonEnabled(true);
        m_search->setStyleSheet(QStringLiteral(
            "QLineEdit { background: #232733; color: #eef1f5; border: none; border-radius: 8px; padding: 4px 8px; }"));
        connect(m_search, &QLineEdit::textChanged, this, &TableView::searchTextChanged);
    }
    if (m_search)
        m_search->setVisible(visible);
    layoutContent();
    updateVisibleCells();
}

void TableView::layoutContent()
{
    m_sections.clear();
    m_indexTitles.clear();
    int y = headerBlockHeight();
    const int sections = m_dataSource ? m_dataSource->numberOfSectionsInTableView(this) : 0;
    for (int s = 0; s < sections; ++s) {
        Section section;
        section.top = y;
        section.header = m_dataSource->titleForHeaderInSection(this, s);
        section.headerHeight = section.header.isEmpty() ? (m_style == Grouped ? 12 : 0) : headerHeight;
        y += section.headerHeight;
        const int rows = std::max(0, m_dataSource->numberOfRowsInSection(this, s));
        for (int r = 0; r < rows; ++r) {
            int h = m_delegate ? m_delegate->heightForRowAtIndexPath(this, {s, r}) : -1;
            if (h < 0)
                h = m_rowHeight;
            section.rowTops << y;
            section.rowHeights << h;
            y += h;
        }
        section.footer = m_dataSource->titleForFooterInSection(this, s);
        section.footerTop = y;
        if (!section.footer.isEmpty()) {
            const QRect text = fontMetrics().boundingRect(QRect(0, 0, viewport()->width() - 30, 1000),
                                                          Qt::TextWordWrap | Qt::AlignCenter, section.footer);
            section.footerHeight = text.height() + 16;
        }
        y += section.footerHeight;
        m_sections << section;
    }
    m_contentHeight = y;
    if (m_dataSource)
        m_indexTitles = m_dataSource->sectionIndexTitlesForTableView(this);
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, m_contentHeight - viewport()->height()));
    if (m_search)
        m_search->setGeometry(8, 7 - contentOffset(), viewport()->width() - 16, searchHeight - 14);
}

QRect TableView::rectForRowAtIndexPath(const IndexPath &p) const
{
    if (p.section < 0 || p.section >= m_sections.size() || p.row < 0 || p.row >= numberOfRowsInSection(p.section))
        return {};
    const Section &s = m_sections[p.section];
    const int width = viewport()->width() - (m_indexTitles.isEmpty() ? 0 : indexWidth);
    return {0, s.rowTops[p.row], width, s.rowHeights[p.row]};
}

QList<IndexPath> TableView::indexPathsForVisibleRows() const
{
    QList<IndexPath> rows;
    const int top = contentOffset(), bottom = top + viewport()->height();
    for (int s = 0; s < m_sections.size(); ++s) {
        const Section &section = m_sections[s];
        for (int r = 0; r < section.rowTops.size(); ++r) {
            const int y = section.rowTops[r];
            if (y + section.rowHeights[r] > top && y < bottom)
                rows << IndexPath{s, r};
        }
    }
    return rows;
}

void TableView::enqueue(TableViewCell *cell)
{
    cell->hide();
    cell->setHighlighted(false);
    m_pool[cell->reuseIdentifier()] << cell;
}

void TableView::trimPool()
{
    // A data source that makes new cells instead of reusing them must not grow the pool:
    // more waiting cells than fit in the view are never needed again.
    const int keep = viewport()->height() / std::max(16, m_rowHeight) + 2;
    for (QList<TableViewCell *> &waiting : m_pool)
        while (waiting.size() > keep)
            waiting.takeFirst()->deleteLater(); // it may be in the middle of its own event
}

TableViewCell *TableView::dequeueReusableCellWithIdentifier(const QString &identifier)
{
    QList<TableViewCell *> &waiting = m_pool[identifier];
    if (waiting.isEmpty())
        return nullptr;
    TableViewCell *cell = waiting.takeLast();
    cell->prepareForReuse();
    return cell;
}

int TableView::cellsInPool() const
{
    int count = 0;
    for (const auto &list : m_pool)
        count += int(list.size());
    return count;
}

void TableView::updateVisibleCells()
{
    const QList<IndexPath> wanted = indexPathsForVisibleRows();
    // Cells of rows that left the view go back to the pool first, so they can be reused.
    for (auto it = m_visible.begin(); it != m_visible.end();) {
        if (!wanted.contains(it.key())) {
            enqueue(it.value());
            it = m_visible.erase(it);
        } else {
            ++it;
        }
    }
    const int offset = contentOffset();
    for (const IndexPath &p : wanted) {
        TableViewCell *cell = m_visible.value(p);
        if (!cell) {
            cell = m_dataSource->cellForRowAtIndexPath(this, p);
            if (!cell)
                continue;
            // A cell the data source did not take from the pool must not stay in it.
            for (auto &list : m_pool)
                list.removeAll(cell);
            cell->setParent(viewport());
            cell->setSelected(p == m_selected);
            m_visible.insert(p, cell);
        }
        const QRect r = rectForRowAtIndexPath(p).translated(0, -offset);
        cell->setGeometry(r);
        cell->layoutSubviews();
        cell->show();
    }
    trimPool();
    if (m_search)
        m_search->move(8, 7 - offset);
    viewport()->update();
}

TableViewCell *TableView::cellForRowAtIndexPath(const IndexPath &indexPath) const
{
    return m_visible.value(indexPath);
}

void TableView::reloadData()
{
    for (TableViewCell *cell : std::as_const(m_visible))
        enqueue(cell);
    m_visible.clear();
    layoutContent();
    if (m_selected.section >= numberOfSections() || m_selected.row >= numberOfRowsInSection(m_selected.section))
        m_selected = {-1, -1};
    updateVisibleCells();
}

void TableView::reloadRowsAtIndexPaths(const QList<IndexPath> &rows)
{
    for (const IndexPath &p : rows)
        if (TableViewCell *cell = m_visible.take(p))
            enqueue(cell);
    updateVisibleCells();
}

void TableView::selectRowAtIndexPath(const IndexPath &indexPath)
{
    if (TableViewCell *old = m_visible.value(m_selected))
        old->setSelected(false);
    m_selected = indexPath;
    if (TableViewCell *cell = m_visible.value(indexPath))
        cell->setSelected(true);
}

void TableView::deselectRowAtIndexPath(const IndexPath &indexPath, bool)
{
    if (indexPath != m_selected)
        return;
    if (TableViewCell *cell = m_visible.value(indexPath))
        cell->setSelected(false);
    m_selected = {-1, -1};
}

int TableView::contentOffset() const
{
    return verticalScrollBar()->value();
}

void TableView::setContentOffset(int y)
{
    verticalScrollBar()->setValue(y);
}

void TableView::scrollToRowAtIndexPath(const IndexPath &indexPath, ScrollPosition position, bool)
{
    const QRect r = rectForRowAtIndexPath(indexPath);
    if (r.isNull())
        return;
    const int view = viewport()->height();
    int y = r.top();
    if (position == Middle)
        y = r.center().y() - view / 2;
    else if (position == Bottom)
        y = r.bottom() + 1 - view;
    setContentOffset(y);
    updateVisibleCells();
}

QRect TableView::indexStripRect() const
{
    return {viewport()->width() - indexWidth, 0, indexWidth, viewport()->height()};
}

void TableView::touchSectionIndexTitle(int index)
{
    if (index < 0 || index >= m_indexTitles.size() || !m_dataSource)
        return;
    const int section = m_dataSource->sectionForSectionIndexTitle(this, m_indexTitles[index], index);
    if (section < 0 || section >= m_sections.size())
        return;
    setContentOffset(m_sections[section].top);
    updateVisibleCells();
}

IndexPath TableView::indexPathAt(const QPoint &point) const
{
    const int y = point.y() + contentOffset();
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it) {
        const QRect r = rectForRowAtIndexPath(it.key());
        if (y >= r.top() && y <= r.bottom() && point.x() < r.right())
            return it.key();
    }
    return {-1, -1};
}

bool TableView::viewportEvent(QEvent *event)
{
    // Presses on a cell that the cell does not take (its labels, its background) arrive
    // here in viewport coordinates.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        if (!m_indexTitles.isEmpty() && indexStripRect().contains(at)) {
            if (event->type() == QEvent::MouseButtonPress) {
                const int index = int(qreal(at.y()) * m_indexTitles.size() / std::max(1, viewport()->height()));
                touchSectionIndexTitle(std::clamp(index, 0, int(m_indexTitles.size()) - 1));
            }
            return true;
        }
        const IndexPath row = indexPathAt(at);
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressed = row;
            if (TableViewCell *cell = m_visible.value(row))
                cell->setHighlighted(true);
        } else {
            if (TableViewCell *cell = m_visible.value(m_pressed))
                cell->setHighlighted(false);
            if (row.section >= 0 && row == m_pressed) {
                selectRowAtIndexPath(row);
                if (m_delegate)
                    m_delegate->didSelectRowAtIndexPath(this, row);
            }
            m_pressed = {-1, -1};
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TableView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutContent();
    updateVisibleCells();
}

void TableView::scrollContentsBy(int, int)
{
    updateVisibleCells();
}

void TableView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), background);
    const int offset = contentOffset();
    const int width = viewport()->width() - (m_indexTitles.isEmpty() ? 0 : indexWidth);
    for (const Section &s : std::as_const(m_sections)) {
        if (!s.header.isEmpty()) {
            const QRect r(0, s.top - offset, width, s.headerHeight);
            painter.fillRect(r, sectionColor);
            painter.setPen(QColor(150, 210, 205));
            QFont f = font();
            f.setBold(true);
            painter.setFont(f);
            painter.drawText(r.adjusted(12, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, s.header);
        }
        if (!s.footer.isEmpty()) {
            painter.setPen(QColor(130, 138, 150));
            painter.setFont(font());
            painter.drawText(QRect(15, s.footerTop - offset + 8, width - 30, s.footerHeight - 16),
                             Qt::AlignCenter | Qt::TextWordWrap, s.footer);
        }
    }
    if (!m_indexTitles.isEmpty()) {
        const QRect strip = indexStripRect();
        const qreal step = qreal(strip.height()) / m_indexTitles.size();
        QFont small = font();
        small.setPointSizeF(7.5);
        small.setBold(true);
        painter.setFont(small);
        painter.setPen(QColor(46, 204, 196));
        for (int i = 0; i < m_indexTitles.size(); ++i)
            painter.drawText(QRectF(strip.left(), strip.top() + i * step, strip.width(), step), Qt::AlignCenter,
                             m_indexTitles[i]);
    }
}
