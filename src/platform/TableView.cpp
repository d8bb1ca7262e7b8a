#include "TableView.h"

#include <algorithm>

#include "AccessibleTableViewCell.h"
#include "Label.h"
#include "TableSectionIndex.h"
#include "TableViewCell.h"
#include "TableViewDataSource.h"
#include "TableViewDelegate.h"
#include "Translations.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int headerHeight = 26;
constexpr int searchHeight = 44;
const QColor background(12, 14, 19);
const QColor sectionColor(28, 32, 42);
} // namespace

TableView::TableView(Style style, QWidget *parent) : QAbstractScrollArea(parent), m_style(style)
{
    AccessibleTableViewCell::installFactory();
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(22);
    // A thin dark bar: the style's light one would stand out beside the dark rows.
    verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: #0c0e13; width: 6px; margin: 0; }"
                       "QScrollBar::handle:vertical { background: #4a5263; border-radius: 3px; min-height: 24px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_index = new TableSectionIndex(viewport());
    m_index->hide();
    connect(m_index, &TableSectionIndex::touched, this, &TableView::touchSectionIndexTitle);
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
        m_search->setAccessibleName(Translations::text("Search"));
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
    m_index->setTitles(m_indexTitles);
    m_index->setGeometry(indexStripRect());
    m_index->setVisible(!m_indexTitles.isEmpty());
    if (m_current.section >= int(m_sections.size()) || m_current.row >= numberOfRowsInSection(m_current.section))
        m_current = {-1, -1};
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
            cell->announceTexts();
        }
        const QRect r = rectForRowAtIndexPath(p).translated(0, -offset);
        cell->setGeometry(r);
        cell->layoutSubviews();
        cell->show();
    }
    trimPool();
    placeSectionLabels(offset, viewport()->width() - (m_indexTitles.isEmpty() ? 0 : indexWidth));
    if (m_search)
        m_search->move(8, 7 - offset);
    m_index->raise();
    showKeyboardFocus();
    viewport()->update();
}

Label *TableView::sectionLabel(int slot, bool footer)
{
    QList<Label *> &labels = footer ? m_footerLabels : m_headerLabels;
    while (labels.size() <= slot) {
        auto *label = new Label(viewport());
        if (footer) {
            label->setAlignment(Qt::AlignCenter);
            label->setWordWrap(true);
            label->setTextColor(QColor(130, 138, 150));
        } else {
            label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
            label->setIndent(12);
            label->setFontSize(font().pointSizeF(), true);
            label->setTextColor(QColor(150, 210, 205));
            // An opaque strip: a see-through label that claims to fill itself is left unpainted.
            label->setAttribute(Qt::WA_TranslucentBackground, false);
            label->setAttribute(Qt::WA_NoSystemBackground, false);
            label->setAutoFillBackground(true);
            QPalette palette = label->palette();
            palette.setColor(QPalette::Window, sectionColor);
            label->setPalette(palette);
        }
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        labels << label;
    }
    return labels[slot];
}

void TableView::placeSectionLabels(int offset, int width)
{
    // Headers and footers are labels of their own, so that screen readers reach them;
    // only those in view are shown.
    const int top = offset, bottom = offset + viewport()->height();
    int headers = 0, footers = 0;
    for (const Section &s : std::as_const(m_sections)) {
        if (!s.header.isEmpty()) {
            Label *label = sectionLabel(headers++, false);
            label->setText(s.header);
            label->setGeometry(0, s.top - offset, width, s.headerHeight);
            label->setVisible(s.top + s.headerHeight > top && s.top < bottom);
        }
        if (!s.footer.isEmpty()) {
            Label *label = sectionLabel(footers++, true);
            label->setText(s.footer);
            label->setGeometry(15, s.footerTop - offset + 8, width - 30, s.footerHeight - 16);
            label->setVisible(s.footerTop + s.footerHeight > top && s.footerTop < bottom);
        }
    }
    for (int i = headers; i < m_headerLabels.size(); ++i)
        m_headerLabels[i]->hide();
    for (int i = footers; i < m_footerLabels.size(); ++i)
        m_footerLabels[i]->hide();
}

QList<Label *> TableView::visibleSectionLabels() const
{
    QList<Label *> shown;
    for (Label *label : m_headerLabels + m_footerLabels)
        if (label->isVisibleTo(viewport()))
            shown << label;
    std::sort(shown.begin(), shown.end(), [](Label *a, Label *b) { return a->y() < b->y(); });
    return shown;
}

TableViewCell *TableView::cellForRowAtIndexPath(const IndexPath &indexPath) const
{
    return m_visible.value(indexPath);
}

void TableView::reloadData()
{
    // Bottom row first into the pool, so each row in view takes back its own cell: a row
    // keeps its widget (and a screen reader's focus) across a reload.
    QList<IndexPath> shown = m_visible.keys();
    std::sort(shown.begin(), shown.end(), [](const IndexPath &a, const IndexPath &b) {
        return a.section != b.section ? a.section > b.section : a.row > b.row;
    });
    for (const IndexPath &p : std::as_const(shown))
        enqueue(m_visible.value(p));
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
        const IndexPath row = indexPathAt(at);
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressed = row;
            if (TableViewCell *cell = m_visible.value(row))
                cell->setHighlighted(true);
        } else {
            if (TableViewCell *cell = m_visible.value(m_pressed))
                cell->setHighlighted(false);
            if (row.section >= 0 && row == m_pressed)
                activateRow(row);
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
    // Rows, headers, footers and the index are widgets of their own; only the ground is drawn.
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), background);
    if (m_backgroundImage.isNull())
        return;
    // Scaled once per size: scrolling repaints the ground that rows uncover.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(viewport()->size()) * ratio).toSize();
    if (m_scaledBackground.size() != pixels) {
        m_scaledBackground = m_backgroundImage.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaledBackground.setDevicePixelRatio(ratio);
    }
    painter.drawPixmap(0, 0, m_scaledBackground);
}

void TableView::setBackgroundImage(const QPixmap &image)
{
    m_backgroundImage = image;
    m_scaledBackground = QPixmap();
    viewport()->update();
}

void TableView::activateRow(const IndexPath &indexPath)
{
    if (indexPath.section < 0 || indexPath.row < 0 || indexPath.row >= numberOfRowsInSection(indexPath.section))
        return;
    selectRowAtIndexPath(indexPath);
    if (m_delegate)
        m_delegate->didSelectRowAtIndexPath(this, indexPath);
}

void TableView::activateCell(TableViewCell *cell)
{
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it)
        if (it.value() == cell) {
            const IndexPath row = it.key();
            setCurrentRow(row);
            activateRow(row);
            return;
        }
}

void TableView::setCurrentRow(const IndexPath &indexPath)
{
    m_current = indexPath;
    // Scroll only as far as needed to bring the row into view.
    const QRect r = rectForRowAtIndexPath(indexPath);
    const int top = contentOffset();
    if (!r.isNull() && r.top() < top + headerBlockHeight())
        scrollToRowAtIndexPath(indexPath, Top);
    else if (!r.isNull() && r.bottom() >= top + viewport()->height())
        scrollToRowAtIndexPath(indexPath, Bottom);
    showKeyboardFocus();
}

void TableView::showKeyboardFocus()
{
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it) {
        const bool focused = hasFocus() && it.key() == m_current;
        if (focused && !it.value()->isKeyboardFocused()) {
            it.value()->setKeyboardFocused(true);
            // Screen readers read the row the keyboard has reached.
            QAccessibleEvent event(it.value(), QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        } else if (!focused) {
            it.value()->setKeyboardFocused(false);
        }
    }
}

void TableView::moveCurrentRow(int steps)
{
    QList<IndexPath> rows;
    for (int s = 0; s < numberOfSections(); ++s)
        for (int r = 0; r < numberOfRowsInSection(s); ++r)
            rows << IndexPath{s, r};
    if (rows.isEmpty())
        return;
    const qsizetype at = rows.indexOf(m_current);
    const qsizetype next =
        at < 0 ? (steps > 0 ? 0 : rows.size() - 1) : std::clamp<qsizetype>(at + steps, 0, rows.size() - 1);
    setCurrentRow(rows[next]);
}

void TableView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Down:
        moveCurrentRow(1);
        break;
    case Qt::Key_Up:
        moveCurrentRow(-1);
        break;
    case Qt::Key_PageDown:
        moveCurrentRow(std::max(1, viewport()->height() / std::max(1, m_rowHeight)));
        break;
    case Qt::Key_PageUp:
        moveCurrentRow(-std::max(1, viewport()->height() / std::max(1, m_rowHeight)));
        break;
    case Qt::Key_Home:
        m_current = {-1, -1};
        moveCurrentRow(1);
        break;
    case Qt::Key_End:
        m_current = {-1, -1};
        moveCurrentRow(-1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_current.section >= 0)
            activateRow(m_current);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TableView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    const bool byKeyboard = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (byKeyboard && m_current.section < 0)
        moveCurrentRow(1);
    showKeyboardFocus();
}

void TableView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    showKeyboardFocus();
}
