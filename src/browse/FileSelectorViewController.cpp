#include "FileSelectorViewController.h"

#include "FileSelectorSubViewController.h"
#include "app/FolderSizeTexts.h"
#include "app/Util.h"
#include "app/ZivoAppDelegate.h"
#include "library/ZivoModel.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/Window.h"

namespace {
using Screen = ZivoAppDelegate::Screen;
}

FileSelectorViewController::FileSelectorViewController(QObject *parent)
    : ZivoViewController(parent), m_sizes(new FolderSizeTexts(this))
{
    connect(m_sizes, &FolderSizeTexts::textReady, this, &FileSelectorViewController::folderSizeReady);
}

FileSelectorViewController::~FileSelectorViewController() = default;

View *FileSelectorViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_bar = new NavigationBar(root);
    m_bar->setGeometry(0, 0, Window::width, NavigationBar::height);
    m_bar->setTitle(Translations::text("Select Folder"));
    m_closeButton = m_bar->setRightButton(Translations::text("close"));
    connect(m_closeButton, &Button::clicked, this, &FileSelectorViewController::closeView);
    m_listTableView = new TableView(TableView::Plain, root);
    m_listTableView->setGeometry(0, NavigationBar::height, Window::width, Window::height - NavigationBar::height);
    m_listTableView->setRowHeight(rowHeight);
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    m_listTableView->setAccessibleName(Translations::text("Folders"));
    return root;
}

void FileSelectorViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    // Sizes are summed afresh on each visit: songs may have come or gone since.
    m_sizes->forget();
    m_sectionTitleArray = ZivoModel::folderSortToTopDocument(ZivoModel::getFolderList());
    m_allSectionArray.clear();
    for (const QString &folder : std::as_const(m_sectionTitleArray))
        m_allSectionArray.append(ZivoModel::getFileListAtFolder(folder));
    m_listTableView->reloadData();
}

void FileSelectorViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    m_sizes->forget();
    m_sectionTitleArray.clear();
    m_allSectionArray.clear();
    m_listTableView->reloadData();
}

bool FileSelectorViewController::escapePressed()
{
    closeView();
    return true;
}

void FileSelectorViewController::closeView()
{
    View::removeFromSuperview(view());
}

int FileSelectorViewController::numberOfRowsInSection(TableView *, int)
{
    return int(m_sectionTitleArray.size());
}

TableViewCell *FileSelectorViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const QString identifier = QString::fromLatin1(cellIdentifier);
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = new TableViewCell(TableViewCell::Subtitle, identifier);
        cell->setBackgroundImage(ImageView::imageNamed(QStringLiteral("tableListCellBlack.png")));
        cell->setSelectedBackgroundImage(ImageView::imageNamed(QStringLiteral("musicListCellSellected.png")));
    }
    const QString folder = m_sectionTitleArray.value(indexPath.row);
    const QStringList files = m_allSectionArray.value(indexPath.row);
    cell->textLabel()->setText(folder);
    cell->imageView()->setImage(ImageView::imageNamed(QStringLiteral("folder_orange_open.png")));
    cell->setIndentationLevel(folder == ZivoModel::documentsFolderName ? 0 : 1);
    cell->detailTextLabel()->setText(m_sizes->textFor(folder, files));
    return cell;
}

void FileSelectorViewController::folderSizeReady(const QString &folder, const QString &text)
{
    // The row that asked may show another folder by now (its cell was reused): only the
    // rows showing this folder at this moment take the text.
    for (const IndexPath &path : m_listTableView->indexPathsForVisibleRows())
        if (m_sectionTitleArray.value(path.row) == folder)
            if (TableViewCell *cell = m_listTableView->cellForRowAtIndexPath(path))
                cell->detailTextLabel()->setText(text);
}

void FileSelectorViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    const int row = indexPath.row;
    auto *songs = appDelegate()
        ? qobject_cast<FileSelectorSubViewController *>(appDelegate()->screen(Screen::FileSelectorSub))
        : nullptr;
    if (row < 0 || row >= m_sectionTitleArray.size() || !songs)
        return;
    songs->setFolderDName(m_sectionTitleArray[row]);
    songs->setFileNameArray(m_allSectionArray.value(row));
    appDelegate()->addFileSelectorSubView();
}

FolderSizeQueue &FileSelectorViewController::folderSizeQueue() const
{
    return m_sizes->queue();
}
