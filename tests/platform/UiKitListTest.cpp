#include "platform/ActionSheet.h"
#include "platform/ActivityIndicator.h"
#include "platform/Button.h"
#include "platform/TableSectionIndex.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/Slider.h"
#include "platform/Switch.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"
#include "platform/Window.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Three sections of 30 rows ("A0".."C29"), with headers, a footer on the last and an index.
class Letters : public TableViewDataSource, public TableViewDelegate
{
public:
    int numberOfSectionsInTableView(TableView *) override { return 3; }
    int numberOfRowsInSection(TableView *, int) override { return 30; }
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &p) override
    {
        TableViewCell *cell = table->dequeueReusableCellWithIdentifier("Row");
        if (!cell) {
            cell = new TableViewCell(TableViewCell::Subtitle, "Row");
            ++made;
        }
        cell->textLabel()->setText(QString(QChar('A' + p.section)) + QString::number(p.row));
        return cell;
    }
    QString titleForHeaderInSection(TableView *, int s) override { return QString(QChar('A' + s)); }
    QString titleForFooterInSection(TableView *, int s) override { return s == 2 ? "The end" : QString(); }
    QStringList sectionIndexTitlesForTableView(TableView *) override { return {"A", "B", "C"}; }
    int heightForRowAtIndexPath(TableView *, const IndexPath &p) override { return p.row == 0 ? 60 : -1; }
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &p) override
    {
        selected << p;
        table->deselectRowAtIndexPath(p, true);
    }

    int made = 0;
    QList<IndexPath> selected;
};

struct List
{
    List()
    {
        table.resize(320, 440);
        table.setDataSource(&letters);
        table.setDelegate(&letters);
        table.show();
        table.reloadData();
    }
    Letters letters;
    TableView table;
};

TEST(UiKitTable, SectionsHeadersFootersAndRowHeights)
{
    List list;
    EXPECT_EQ(list.table.numberOfSections(), 3);
    EXPECT_EQ(list.table.numberOfRowsInSection(1), 30);
    // Section A: header 26, row 0 is 60 high, then 44 each.
    EXPECT_EQ(list.table.rectForRowAtIndexPath({0, 0}).top(), 26);
    EXPECT_EQ(list.table.rectForRowAtIndexPath({0, 0}).height(), 60);
    EXPECT_EQ(list.table.rectForRowAtIndexPath({0, 1}).top(), 86);
    EXPECT_EQ(list.table.rectForRowAtIndexPath({1, 0}).top(), 26 + 60 + 29 * 44 + 26);
    EXPECT_TRUE(list.table.rectForRowAtIndexPath({3, 0}).isNull());
    // The index strip leaves room on the right.
    EXPECT_EQ(list.table.rectForRowAtIndexPath({0, 0}).width(), list.table.viewport()->width() - TableView::indexWidth);
    EXPECT_EQ(list.table.sectionIndexTitles(), QStringList({"A", "B", "C"}));
}

TEST(UiKitTable, RowTextsAndBackgroundPicturesDrawInTheirOwnColours)
{
    List list;
    TableViewCell *cell = list.table.cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(cell);
    cell->textLabel()->setTextColor(QColor(250, 250, 250));
    // The text of a row's label is drawn light (the list's ground must not turn it black).
    const QImage text = View::snapshot(cell->textLabel());
    int light = 0, dark = 0;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x) {
            const QColor c = text.pixelColor(x, y);
            if (c.alpha() > 200)
                (c.lightness() > 200 ? light : dark) += 1;
        }
    EXPECT_GT(light, 10);
    EXPECT_EQ(dark, 0);

    // A background picture fills the row; another one shows while it is selected.
    QPixmap normal(10, 10), selected(10, 10);
    normal.fill(QColor(10, 20, 30));
    selected.fill(QColor(200, 100, 0));
    cell->setBackgroundImage(normal);
    cell->setSelectedBackgroundImage(selected);
    EXPECT_EQ(View::snapshot(cell).pixelColor(2, 2), QColor(10, 20, 30));
    cell->setSelected(true);
    EXPECT_EQ(View::snapshot(cell).pixelColor(2, 2), QColor(200, 100, 0));
}

TEST(UiKitTable, OnlyRowsInViewHaveCellsAndCellsAreReused)
{
    List list;
    const int inView = int(list.table.indexPathsForVisibleRows().size());
    EXPECT_GT(inView, 5);
    EXPECT_LT(inView, 15);
    EXPECT_EQ(list.letters.made, inView);
    EXPECT_EQ(list.table.cellForRowAtIndexPath({0, 1})->textLabel()->text(), "A1");
    // Scrolling through all ninety rows makes only a few more cells.
    for (int s = 0; s < 3; ++s)
        for (int r = 0; r < 30; r += 5)
            list.table.scrollToRowAtIndexPath({s, r});
    EXPECT_LT(list.letters.made, inView + 6);
    list.table.scrollToRowAtIndexPath({2, 29}, TableView::Bottom);
    ASSERT_NE(list.table.cellForRowAtIndexPath({2, 29}), nullptr);
    EXPECT_EQ(list.table.cellForRowAtIndexPath({2, 29})->textLabel()->text(), "C29");
    EXPECT_EQ(list.table.cellForRowAtIndexPath({0, 1}), nullptr);
    const QRect last = list.table.rectForRowAtIndexPath({2, 29});
    EXPECT_LE(last.bottom() - list.table.contentOffset(), list.table.viewport()->height());
    // The section index jumps to its section.
    list.table.touchSectionIndexTitle(1);
    EXPECT_EQ(list.table.contentOffset(), list.table.rectForRowAtIndexPath({1, 0}).top() - 26);
    EXPECT_EQ(list.table.cellForRowAtIndexPath({1, 0})->textLabel()->text(), "B0");
}

TEST(UiKitTable, AReloadGivesEachRowItsOwnCellBackAndTicksAreAnnounced)
{
    List list;
    QList<TableViewCell *> before;
    for (const IndexPath &p : list.table.indexPathsForVisibleRows())
        before << list.table.cellForRowAtIndexPath(p);
    list.table.reloadData();
    list.table.reloadData();
    QList<TableViewCell *> after;
    for (const IndexPath &p : list.table.indexPathsForVisibleRows())
        after << list.table.cellForRowAtIndexPath(p);
    EXPECT_EQ(after, before) << "a screen reader's focus stays on its row";

    // A tick is a state change of "checked" that a screen reader hears of.
    TableViewCell *cell = before.value(1);
    ASSERT_TRUE(cell);
    cell->setEditCheck(TableViewCell::EditCheck::Unchecked);
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(cell);
    ASSERT_TRUE(face);
    EXPECT_TRUE(face->state().checkable);
    EXPECT_FALSE(face->state().checked);
    cell->setEditCheck(TableViewCell::EditCheck::Checked);
    EXPECT_TRUE(face->state().checked);
}

// Rows built afresh every time, never taken from the pool (as a settings list does).
class FreshRows : public TableViewDataSource
{
public:
    int numberOfRowsInSection(TableView *, int) override { return 6; }
    TableViewCell *cellForRowAtIndexPath(TableView *, const IndexPath &p) override
    {
        auto *cell = new TableViewCell(TableViewCell::Default, "Setting");
        cell->textLabel()->setText(QString::number(p.row));
        return cell;
    }
};

TEST(UiKitTable, CellsThatAreNeverReusedDoNotPileUp)
{
    FreshRows rows;
    TableView table;
    table.resize(320, 436);
    table.setDataSource(&rows);
    table.show();
    table.reloadData();
    int highest = 0;
    for (int i = 0; i < 200; ++i) {
        table.reloadData();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        highest = std::max(highest, int(table.viewport()->findChildren<TableViewCell *>().size()));
    }
    EXPECT_LE(table.cellsInPool(), 436 / 44 + 2);
    EXPECT_LE(highest, 6 + 436 / 44 + 2) << "the widget tree stays bounded";
    EXPECT_EQ(table.cellForRowAtIndexPath({0, 5})->textLabel()->text(), "5");
}

TEST(UiKitTable, RowsHeadersAndTheIndexAreReachableOverAccessibility)
{
    List list;
    TableViewCell *cell = list.table.cellForRowAtIndexPath({0, 2});
    ASSERT_NE(cell, nullptr);
    cell->detailTextLabel()->setText("detail of A2");
    QAccessibleInterface *row = QAccessible::queryAccessibleInterface(cell);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->role(), QAccessible::ListItem);
    EXPECT_EQ(row->text(QAccessible::Name), "A2");
    EXPECT_EQ(row->text(QAccessible::Description), "detail of A2");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&list.table)->role(), QAccessible::List);
    // Pressing the row over accessibility is a tap.
    row->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(list.letters.selected.size(), 1);
    EXPECT_EQ(list.letters.selected.first(), (IndexPath{0, 2}));
    // The header in view and the index buttons are widgets with names.
    ASSERT_FALSE(list.table.visibleSectionLabels().isEmpty());
    EXPECT_EQ(list.table.visibleSectionLabels().first()->text(), "A");
    QStringList index;
    for (Button *button : list.table.sectionIndex()->buttons())
        index << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
    EXPECT_EQ(index, QStringList({"A", "B", "C"}));
    list.table.sectionIndex()->buttons().at(2)->pressed();
    EXPECT_EQ(list.table.contentOffset(), list.table.rectForRowAtIndexPath({2, 0}).top() - 26);
}

TEST(UiKitTable, TheKeyboardMovesThroughTheRowsAndOpensOne)
{
    List list;
    QFocusEvent tabIn(QEvent::FocusIn, Qt::TabFocusReason);
    list.table.setFocus(Qt::TabFocusReason);
    QCoreApplication::sendEvent(&list.table, &tabIn);
    EXPECT_EQ(list.table.currentRow(), (IndexPath{0, 0}));
    for (int i = 0; i < 31; ++i)
        QTest::keyClick(&list.table, Qt::Key_Down);
    EXPECT_EQ(list.table.currentRow(), (IndexPath{1, 1})) << "Down runs on into the next section";
    ASSERT_NE(list.table.cellForRowAtIndexPath({1, 1}), nullptr) << "the row was scrolled into view";
    QTest::keyClick(&list.table, Qt::Key_Return);
    ASSERT_EQ(list.letters.selected.size(), 1);
    EXPECT_EQ(list.letters.selected.first(), (IndexPath{1, 1}));
    QTest::keyClick(&list.table, Qt::Key_End);
    EXPECT_EQ(list.table.currentRow(), (IndexPath{2, 29}));
    QTest::keyClick(&list.table, Qt::Key_Home);
    EXPECT_EQ(list.table.currentRow(), (IndexPath{0, 0}));
}

TEST(UiKitTable, ATapSelectsTheRowAndTellsTheDelegate)
{
    List list;
    TableViewCell *cell = list.table.cellForRowAtIndexPath({0, 2});
    ASSERT_NE(cell, nullptr);
    QTest::mouseClick(cell->textLabel(), Qt::LeftButton);
    ASSERT_EQ(list.letters.selected.size(), 1);
    EXPECT_EQ(list.letters.selected.first(), (IndexPath{0, 2}));
    EXPECT_EQ(list.table.indexPathForSelectedRow(), (IndexPath{-1, -1})); // the delegate deselected it
    list.table.selectRowAtIndexPath({0, 3});
    EXPECT_TRUE(list.table.cellForRowAtIndexPath({0, 3})->isSelected());
    list.table.reloadData();
    EXPECT_TRUE(list.table.cellForRowAtIndexPath({0, 3})->isSelected());
}

TEST(UiKitTable, TheSearchFieldReportsItsText)
{
    List list;
    const int firstRowTop = list.table.rectForRowAtIndexPath({0, 0}).top();
    list.table.setSearchFieldVisible(true);
    EXPECT_EQ(list.table.rectForRowAtIndexPath({0, 0}).top(), firstRowTop + 44);
    QStringList texts;
    QObject::connect(&list.table, &TableView::searchTextChanged, [&](const QString &t) { texts << t; });
    QTest::keyClicks(list.table.searchField(), "ab");
    EXPECT_EQ(texts, QStringList({"a", "ab"}));
}

TEST(UiKitControls, SwitchSliderIndicatorAndBar)
{
    Switch toggle;
    QList<bool> changes;
    QObject::connect(&toggle, &Switch::valueChanged, [&](bool on) { changes << on; });
    toggle.setOn(true);
    EXPECT_TRUE(toggle.isOn());
    EXPECT_TRUE(changes.isEmpty()); // set from code: no event
    toggle.click();
    EXPECT_FALSE(toggle.isOn());
    EXPECT_EQ(changes, QList<bool>({false}));

    Slider slider;
    slider.setRange(0, 240);
    slider.setValue(60);
    EXPECT_NEAR(slider.value(), 60, 0.05);
    slider.setValue(500);
    EXPECT_NEAR(slider.value(), 240, 0.05);
    double reported = -1;
    QObject::connect(&slider, qOverload<double>(&Slider::valueChanged), [&](double v) { reported = v; });
    slider.triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_NEAR(reported, 0, 0.05);

    Window window;
    window.show();
    ActivityIndicator spinner;
    window.addSubview(&spinner);
    EXPECT_FALSE(spinner.isVisible());
    spinner.startAnimating();
    EXPECT_TRUE(spinner.isAnimating());
    EXPECT_TRUE(spinner.isVisible());
    spinner.stopAnimating();
    EXPECT_FALSE(spinner.isVisible());
    View::removeFromSuperview(&spinner);

    NavigationBar bar;
    bar.setTitle("Settings");
    Button *close = bar.setLeftButton("Close");
    EXPECT_EQ(bar.title(), "Settings");
    EXPECT_EQ(bar.leftButton(), close);
    EXPECT_EQ(bar.rightButton(), nullptr);
    EXPECT_EQ(close->currentTitle(), "Close");
}

class Choice : public ActionSheetDelegate
{
public:
    void actionSheetClickedButtonAtIndex(ActionSheet *, int index) override { answers << index; }
    QList<int> answers;
};

TEST(UiKitControls, ActionSheetsPutTheDestructiveButtonFirst)
{
    Window window;
    window.makeKeyAndVisible();
    Choice choice;
    auto *sheet = new ActionSheet("Delete 3 files?", &choice, "Cancel", "Delete", {"Move"});
    sheet->show();
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "Delete");
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "Move");
    EXPECT_EQ(sheet->cancelButtonIndex(), 2);
    for (Button *button : sheet->findChildren<Button *>())
        if (button->currentTitle() == "Delete")
            button->click();
    EXPECT_EQ(choice.answers, QList<int>({0}));
    EXPECT_TRUE(ActionSheet::visibleSheets().isEmpty());
}

} // namespace
