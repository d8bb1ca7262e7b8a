#include "FileSelectorSubViewController.h"

#include "FileSelectorViewController.h"
#include "app/ScreenInterfaces.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/ZivoModel.h"
#include "platform/BarButtonItem.h"
#include "platform/Button.h"
#include "platform/FileManager.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Toolbar.h"
#include "platform/Translations.h"
#include "platform/Window.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace {
using Screen = ZivoAppDelegate::Screen;
}

FileSelectorSubViewController::FileSelectorSubViewController(QObject *parent) : ZivoViewController(parent)
{}

View *FileSelectorSubViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, 0, Window::width, NavigationBar::height);
    connect(m_bar->setLeftButton(Translations::text("Back")), &Button::clicked, this,
            &FileSelectorSubViewController::goBack);
    connect(m_bar->setRightButton(Translations::text("Select All")), &Button::clicked, this,
            &FileSelectorSubViewController::checkAllFile);
    const int tableBottom = Window::height - Toolbar::height;
    m_listTableView = new TableView(TableView::Plain, root);
    m_listTableView->setGeometry(0, NavigationBar::height, Window::width, tableBottom - NavigationBar::height);
    m_listTableView->setRowHeight(rowHeight);
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    m_listTableView->setAccessibleName(Translations::text("Songs"));
    m_toolbar = new Toolbar(root);
    m_toolbar->setGeometry(0, tableBottom, Window::width, Toolbar::height);
    m_addButton = m_toolbar->addItem(QString());
    m_addButton->setTitleWithCount(Translations::text("AddMusic"), 0);
    connect(m_addButton, &Button::clicked, this, &FileSelectorSubViewController::sendSelectedFiles);
    return root;
}

void FileSelectorSubViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    m_selection.clear();
    m_listTableView->reloadData();
    m_bar->setTitle(m_folderDName);
    refreshAddButton();
}

void FileSelectorSubViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_selection.clear();
    m_fileNameArray.clear();
    m_listTableView->reloadData();
}

bool FileSelectorSubViewController::escapePressed()
{
    goBack();
    return true;
}

void FileSelectorSubViewController::goBack()
{
    View::removeFromSuperview(view());
}

QString FileSelectorSubViewController::entryOf(const QString &fileName) const
{
    return ZivoModel::makeFolderRNameAndFileNameWith({fileName}, m_folderDName).value(0);
}

void FileSelectorSubViewController::refreshAddButton()
{
    m_addButton->setTitleWithCount(Translations::text("AddMusic"), m_selection.count());
}

void FileSelectorSubViewController::checkAllFile()
{
    m_selection.selectAllOrNone(ZivoModel::makeFolderRNameAndFileNameWith(m_fileNameArray, m_folderDName));
    refreshAddButton();
    m_listTableView->reloadData();
}

void FileSelectorSubViewController::sendSelectedFiles()
{
    auto *folders = appDelegate()
        ? qobject_cast<FileSelectorViewController *>(appDelegate()->screen(Screen::FileSelector))
        : nullptr;
    if (folders && folders->comanderClass())
        folders->comanderClass()->addPlayListFiles(m_selection.values());
    if (folders)
        folders->closeView();
    View::removeFromSuperview(view());
}

QString FileSelectorSubViewController::detailText(const QDateTime &modified, double bytes, const QLocale &locale)
{
    // The long date without its weekday, as the platform's long style writes it.
    static const QRegularExpression weekday(QStringLiteral("\\s*,?\\s*dddd\\s*,?\\s*"));
    QString format = locale.dateFormat(QLocale::LongFormat);
    format.replace(weekday, QStringLiteral(" "));
    format = format.trimmed();
    return QStringLiteral("%1 %2 %3")
        .arg(locale.toString(modified.date(), format), locale.toString(modified.time(), QLocale::ShortFormat),
             Util::getByteStr(bytes));
}

int FileSelectorSubViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_fileNameArray.size());
}

TableViewCell *FileSelectorSubViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell)
        cell = new TableViewCell(TableViewCell::Subtitle, identifier);
    const QString fileName = m_fileNameArray.value(indexPath.row);
    const QFileInfo file(
        FileManager::appendingPathComponent(ZivoModel::getPathWithFolderName(m_folderDName), fileName));
    cell->textLabel()->setFontSize(10.5);
    cell->detailTextLabel()->setFontSize(8.25);
    cell->textLabel()->setText(fileName);
    cell->detailTextLabel()->setText(detailText(file.lastModified(), double(file.size()), QLocale()));
    cell->setEditCheck(m_selection.contains(entryOf(fileName)) ? TableViewCell::EditCheck::Checked
                                                               : TableViewCell::EditCheck::Unchecked);
    return cell;
}

void FileSelectorSubViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < 0 || indexPath.row >= m_fileNameArray.size())
        return;
    m_selection.toggle(entryOf(m_fileNameArray[indexPath.row]));
    refreshAddButton();
    m_listTableView->reloadData();
}
