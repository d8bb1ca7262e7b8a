#include "MediaPickerController.h"

#include "Button.h"
#include "Label.h"
#include "MediaLibrary.h"
#include "NavigationBar.h"
#include "TableView.h"
#include "TableViewCell.h"
#include "Translations.h"
#include "Window.h"

#include <QLineEdit>

namespace {
constexpr int promptHeight = 28;

QString detailOf(const MediaItem &item)
{
    QStringList parts;
    if (item.artist)
        parts << *item.artist;
    if (item.albumTitle)
        parts << *item.albumTitle;
    return parts.join(QStringLiteral(" – "));
}
} // namespace

MediaPickerController::MediaPickerController(MediaLibrary &library, QObject *parent)
    : ViewController(parent), m_library(library)
{
    connect(&m_library, &MediaLibrary::itemsChanged, this, &MediaPickerController::reloadItems);
    connect(&m_library, &MediaLibrary::scanFinished, this, [this] {
        if (m_table)
            m_table->reloadData(); // the status line under the rows
    });
}

View *MediaPickerController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_promptLabel = new Label(QRect(8, 0, Window::width - 16, promptHeight), root);
    m_promptLabel->setAlignment(Qt::AlignCenter);
    m_promptLabel->setFontSize(10);
    m_promptLabel->setTextColor(QColor(170, 176, 186));
    m_promptLabel->setText(m_prompt);
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, promptHeight, Window::width, NavigationBar::height);
    m_bar->setTitle(Translations::text("Songs"));
    connect(m_bar->setLeftButton(Translations::text("Cancel")), &Button::clicked, this, &MediaPickerController::cancel);
    connect(m_bar->setRightButton(Translations::text("Done")), &Button::clicked, this, &MediaPickerController::done);
    const int top = promptHeight + NavigationBar::height;
    m_table = new TableView(TableView::Plain, root);
    m_table->setGeometry(0, top, Window::width, Window::height - top);
    m_table->setRowHeight(rowHeight);
    m_table->setAccessibleName(Translations::text("Songs"));
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    m_table->setSearchFieldVisible(true);
    connect(m_table, &TableView::searchTextChanged, this, [this](const QString &text) {
        m_search = text;
        applySearch();
    });
    return root;
}

void MediaPickerController::setPrompt(const QString &prompt)
{
    m_prompt = prompt;
    if (m_promptLabel)
        m_promptLabel->setText(prompt);
}

void MediaPickerController::present()
{
    if (Window *window = Window::keyWindow())
        window->addSubview(view());
}

void MediaPickerController::dismiss()
{
    if (isViewLoaded())
        View::removeFromSuperview(view());
}

void MediaPickerController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    view();
    reloadItems();
    m_library.refresh();
}

bool MediaPickerController::escapePressed()
{
    cancel();
    return true;
}

void MediaPickerController::reloadItems()
{
    m_items = m_library.items();
    // Picks of songs that are gone are dropped; the others stay picked.
    QSet<QString> present;
    for (const MediaItem &item : std::as_const(m_items))
        present.insert(item.path);
    m_selected.intersect(present);
    applySearch();
}

bool MediaPickerController::matchesSearch(const MediaItem &item) const
{
    const QString text = m_search.trimmed();
    if (text.isEmpty())
        return true;
    for (const std::optional<QString> &field :
         {std::optional<QString>(item.displayTitle()), item.artist, item.albumTitle})
        if (field && field->contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

void MediaPickerController::applySearch()
{
    m_shown.clear();
    for (qsizetype i = 0; i < m_items.size(); ++i)
        if (matchesSearch(m_items.at(i)))
            m_shown.append(i);
    if (m_table)
        m_table->reloadData();
}

void MediaPickerController::setSearchText(const QString &text)
{
    view();
    m_table->searchField()->setText(text); // tells searchTextChanged
}

QList<MediaItem> MediaPickerController::shownItems() const
{
    QList<MediaItem> shown;
    for (qsizetype index : m_shown)
        shown.append(m_items.at(index));
    return shown;
}

QList<MediaItem> MediaPickerController::selectedItems() const
{
    QList<MediaItem> picked;
    for (const MediaItem &item : m_items)
        if (m_selected.contains(item.path))
            picked.append(item);
    return picked;
}

void MediaPickerController::done()
{
    if (m_delegate)
        m_delegate->mediaPickerDidPickMediaItems(this, selectedItems());
}

void MediaPickerController::cancel()
{
    if (m_delegate)
        m_delegate->mediaPickerDidCancel(this);
}

QString MediaPickerController::statusText() const
{
    if (m_items.isEmpty() && (m_library.isScanning() || !m_library.isLoaded()))
        return Translations::text("Reading the music library...");
    if (m_items.isEmpty())
        return Translations::text("No songs in %1").arg(m_library.folder());
    if (!m_search.trimmed().isEmpty() && m_shown.isEmpty())
        return Translations::text("No songs match the search.");
    return {};
}

int MediaPickerController::numberOfRowsInSection(TableView *, int)
{
    return int(m_shown.size());
}

TableViewCell *MediaPickerController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell)
        cell = new TableViewCell(TableViewCell::Subtitle, identifier);
    cell->textLabel()->setFontSize(10.5);
    cell->textLabel()->setTextColor(Qt::white);
    cell->detailTextLabel()->setFontSize(8.25);
    cell->detailTextLabel()->setTextColor(QColor(170, 176, 186));
    const MediaItem &item = m_items.at(m_shown.value(indexPath.row));
    cell->textLabel()->setText(item.displayTitle());
    cell->detailTextLabel()->setText(detailOf(item));
    cell->setAccessoryType(isSelected(item) ? TableViewCell::Checkmark : TableViewCell::None);
    return cell;
}

QString MediaPickerController::titleForFooterInSection(TableView *, int)
{
    return statusText();
}

void MediaPickerController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    if (indexPath.row < 0 || indexPath.row >= m_shown.size())
        return;
    const MediaItem &item = m_items.at(m_shown.at(indexPath.row));
    table->deselectRowAtIndexPath(indexPath);
    if (!m_allowsMultiple) {
        m_selected = {item.path};
        done();
        return;
    }
    if (!m_selected.remove(item.path))
        m_selected.insert(item.path);
    table->reloadRowsAtIndexPaths({indexPath});
}
