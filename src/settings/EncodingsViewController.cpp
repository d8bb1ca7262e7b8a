#include "settings/EncodingsViewController.h"

#include "app/ZivoAppDelegate.h"
#include "library/EncodingTable.h"
#include "library/SettingsKeys.h"
#include "platform/Button.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"

#include <QFontMetricsF>

namespace {
const QString cellIdentifier = QStringLiteral("EncodingCell");

// The largest size from `from` down to `minimum`, in half points, at which the text fits.
void shrinkToFit(Label *label, int width, qreal from, qreal minimum)
{
    qreal size = from;
    for (; size > minimum; size -= 0.5) {
        QFont font = label->font();
        font.setPointSizeF(size);
        if (QFontMetricsF(font).horizontalAdvance(label->text()) <= width)
            break;
    }
    label->setFontSize(std::max(size, minimum), true);
}

quint32 storedNumber()
{
    return quint32(UserDefaults::standard().objectForKey(SettingsKeys::selectedEncodingNumberKey).toLongLong());
}
} // namespace

EncodingsViewController::EncodingsViewController(QObject *parent) : ZivoViewController(parent)
{}

View *EncodingsViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_titleNavigationBar = new NavigationBar(root);
    m_titleNavigationBar->setGeometry(0, 0, Window::width, NavigationBar::height);
    m_titleNavigationBar->setTitle(Translations::text("ID3Tag Encoding"));
    // The screen is named by its title, so a screen reader tells it from the one below.
    root->setAccessibleName(Translations::text("ID3Tag Encoding"));
    connect(m_titleNavigationBar->setLeftButton(Translations::text("Close")), &Button::clicked, this,
            &EncodingsViewController::closeView);

    m_tableView = new TableView(TableView::Plain, root);
    m_tableView->setGeometry(0, NavigationBar::height, Window::width, Window::height - NavigationBar::height);
    m_tableView->setAccessibleName(Translations::text("AllTextEncodings"));
    m_tableView->setDataSource(this);
    m_tableView->setDelegate(this);
    return root;
}

void EncodingsViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_encodingNumbers.clear();
    m_encodingNames.clear();
    for (const EncodingTable::Row &row : EncodingTable::rows()) {
        m_encodingNumbers << row.number;
        m_encodingNames << row.name;
    }
    m_tableView->reloadData();
    // Open at the chosen encoding, not at the top of 82 rows.
    const int chosen = int(m_encodingNumbers.indexOf(storedNumber()));
    if (chosen >= 0)
        m_tableView->scrollToRowAtIndexPath({0, chosen}, TableView::Middle);
}

void EncodingsViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_encodingNumbers.clear();
    m_encodingNames.clear();
    if (m_tableView)
        m_tableView->reloadData();
}

bool EncodingsViewController::escapePressed()
{
    closeView();
    return true;
}

void EncodingsViewController::closeView()
{
    // The settings screen and the panel show the new name before the picker uncovers them.
    if (appDelegate())
        appDelegate()->settingsViewReloadSettings();
    View::removeFromSuperview(view());
}

int EncodingsViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_encodingNames.size());
}

QString EncodingsViewController::titleForHeaderInSection(TableView *, int)
{
    return Translations::text("AllTextEncodings");
}

TableViewCell *EncodingsViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell)
        cell = new TableViewCell(TableViewCell::Default, cellIdentifier);
    const int row = indexPath.row;
    cell->textLabel()->setText(m_encodingNames.value(row));
    // Room left of the check mark: the row less its margins and the accessory.
    shrinkToFit(cell->textLabel(), table->viewport()->width() - 40, fontSize, minimumFontSize);
    cell->setAccessoryType(m_encodingNumbers.value(row) == storedNumber() ? TableViewCell::Checkmark
                                                                          : TableViewCell::None);
    return cell;
}

void EncodingsViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const int row = indexPath.row;
    if (row < 0 || row >= m_encodingNumbers.size())
        return;
    UserDefaults &defaults = UserDefaults::standard();
    defaults.setObject(QVariant::fromValue<qlonglong>(m_encodingNumbers[row]), SettingsKeys::selectedEncodingNumberKey);
    defaults.setObject(m_encodingNames[row], SettingsKeys::selectedEncodingNameKey);
    // The check mark moves; the row stays selected as the list leaves it.
    table->reloadData();
}
