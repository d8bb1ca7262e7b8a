#include "platform/AccessibleTableViewCell.h"
#include "platform/BarButtonItem.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NameInputBar.h"
#include "platform/NavigationBar.h"
#include "platform/NotificationCenter.h"
#include "platform/SelectionList.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/TableViewDataSource.h"
#include "platform/TextField.h"
#include "platform/Toolbar.h"
#include "platform/ViewAnimation.h"

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QAccessibleInterface>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct KeyboardNotices
{
    KeyboardNotices()
    {
        NotificationCenter::defaultCenter().addObserver(&owner, TextField::keyboardWillShowNotification,
                                                        [this](const Notification &n) { frames << n.userInfo; });
    }
    QObject owner;
    QList<QVariantMap> frames;
};

TEST(UiKitTextField, TakingTheFocusShowsAKeyboardWithoutHeight)
{
    KeyboardNotices notices;
    QWidget window;
    window.resize(320, 100);
    TextField field(QRect(8, 8, 200, 30), &window);
    field.setAccessibleName("Playlist name");
    window.show();
    EXPECT_FALSE(field.isFirstResponder());

    field.becomeFirstResponder();
    EXPECT_TRUE(field.isFirstResponder());
    ASSERT_EQ(notices.frames.size(), 1);
    const QVariant frame = notices.frames[0].value(TextField::keyboardFrameEndUserInfoKey);
    ASSERT_TRUE(frame.isValid()) << "the notice carries the keyboard's frame";
    EXPECT_EQ(frame.toRect().height(), 0) << "the desktop has no on-screen keyboard";
    field.becomeFirstResponder();
    EXPECT_EQ(notices.frames.size(), 1) << "a keyboard that is up does not show again";
    field.resignFirstResponder();
    EXPECT_FALSE(field.isFirstResponder());
    field.becomeFirstResponder();
    EXPECT_EQ(notices.frames.size(), 2);

    // Assistive technologies find the field by its name and can type into it.
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&field);
    ASSERT_TRUE(face);
    EXPECT_EQ(face->role(), QAccessible::EditableText);
    EXPECT_EQ(face->text(QAccessible::Name), "Playlist name");
    ASSERT_TRUE(face->editableTextInterface());
    face->editableTextInterface()->replaceText(0, 0, "Road");
    EXPECT_EQ(field.text(), "Road");
    QSignalSpy returned(&field, &QLineEdit::returnPressed);
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(returned.size(), 1) << "Enter is the keyboard's return key";
}

TEST(UiKitNameInputBar, WaitsParkedRisesAboveTheKeyboardAndParksKeepingTheText)
{
    View screen(QRect(0, 0, 320, 480));
    NameInputBar bar("Folder name", "Create", "Cancel", &screen);
    screen.show();
    EXPECT_TRUE(View::isHidden(&bar)) << "parked out of reach";
    EXPECT_EQ(View::frame(&bar).top(), 480);
    EXPECT_EQ(bar.field()->accessibleName(), "Folder name");
    // The parts lie inside the bar, apart, each caption whole.
    EXPECT_LT(bar.field()->geometry().right(), bar.okButton()->geometry().left());
    EXPECT_LT(bar.okButton()->geometry().right(), bar.cancelButton()->geometry().left());
    EXPECT_LE(bar.cancelButton()->geometry().right(), 320);

    bar.open();
    EXPECT_FALSE(View::isHidden(&bar));
    EXPECT_TRUE(bar.field()->isFirstResponder());
    bar.rideAboveKeyboard(QRect(0, 264, 320, 216));
    ViewAnimation::finishAll();
    EXPECT_EQ(View::frame(&bar), QRect(0, 480 - NameInputBar::height - 216, 320, NameInputBar::height));
    bar.rideAboveKeyboard(QRect());
    ViewAnimation::finishAll();
    EXPECT_EQ(View::frame(&bar).bottom(), 479) << "no keyboard on the desktop: at the bottom";

    QSignalSpy submitted(&bar, &NameInputBar::submitted);
    QSignalSpy cancelled(&bar, &NameInputBar::cancelled);
    bar.field()->setText("Jazz");
    QTest::keyClick(bar.field(), Qt::Key_Return);
    bar.okButton()->click();
    bar.cancelButton()->click();
    EXPECT_EQ(submitted.size(), 2) << "Enter and OK";
    EXPECT_EQ(cancelled.size(), 1);

    bar.rideAboveKeyboard(QRect(0, 264, 320, 216));
    bar.park(); // mid-animation: the animation must not carry it back up
    ViewAnimation::finishAll();
    EXPECT_TRUE(View::isHidden(&bar));
    EXPECT_EQ(View::frame(&bar).top(), 480);
    EXPECT_FALSE(bar.field()->isFirstResponder());
    EXPECT_EQ(bar.field()->text(), "Jazz") << "what to do with the text is the screen's choice";
}

TEST(UiKitToolbar, CountingButtonsAreEnabledByTheirCount)
{
    Toolbar bar;
    bar.resize(320, Toolbar::height);
    BarButtonItem *del = bar.addItem("Delete(0)");
    BarButtonItem *all = bar.addItem("Select All");
    BarButtonItem *done = bar.addItem("Done");
    bar.show();
    del->setTitleWithCount("Delete", 0);
    EXPECT_EQ(del->text(), "Delete(0)");
    EXPECT_FALSE(del->isEnabled());
    del->setTitleWithCount("Delete", 12);
    EXPECT_EQ(del->text(), "Delete(12)");
    EXPECT_TRUE(del->isEnabled());
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(del);
    EXPECT_EQ(face->text(QAccessible::Name), "Delete(12)") << "the name is the caption as shown";
    EXPECT_FALSE(face->state().disabled);
    del->setTitleWithCount("Delete", 0);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(del)->state().disabled);
    EXPECT_EQ(bar.items(), QList<BarButtonItem *>({del, all, done}));

    // The buttons lie inside the bar, left to right, apart, each wide enough for its caption
    // (a caption that grows gets room), and a bar of long captions still fits.
    const auto laidOut = [&bar] {
        QRect previous;
        for (BarButtonItem *item : bar.items()) {
            const QRect r = item->geometry();
            if (r.left() < 0 || r.right() >= bar.width() || r.top() < 0 || r.bottom() >= View::frame(&bar).height())
                return false;
            if (!previous.isNull() && r.left() <= previous.right())
                return false;
            previous = r;
        }
        return true;
    };
    EXPECT_TRUE(laidOut());
    del->setTitleWithCount("Delete", 1234);
    EXPECT_TRUE(laidOut());
    EXPECT_GE(del->width(), del->fontMetrics().horizontalAdvance(del->text()));
    all->setCaption("A caption far too long for a third of the bar");
    EXPECT_TRUE(laidOut());

    // A crowded bar (a folder's files in edit mode): the captions take a smaller font
    // rather than a second line, which the button's height would cut.
    Toolbar crowded;
    crowded.resize(320, Toolbar::height);
    for (const char *caption : {"Move Files(2)", "Delete(2)", "Select All", "Done"})
        crowded.addItem(caption);
    for (BarButtonItem *item : crowded.items()) {
        EXPECT_GE(item->width(), item->fontMetrics().horizontalAdvance(item->text())) << item->text().toStdString();
        EXPECT_GE(item->font().pointSizeF(), BarButtonItem::smallestFontPoints);
    }
    crowded.items().first()->setCaption("Move");
    EXPECT_EQ(crowded.items().first()->font().pointSizeF(), BarButtonItem::fontPoints) << "room again, full size again";
}

TEST(UiKitNavigationBar, ALongTitleShrinksToFitBetweenTheButtons)
{
    NavigationBar bar;
    bar.setLeftButton("Menu");
    bar.setTitle("Rock");
    Label *title = bar.findChild<Label *>();
    ASSERT_TRUE(title);
    const qreal normal = title->font().pointSizeF();
    bar.setTitle("Manage Playlists");
    EXPECT_LT(title->font().pointSizeF(), normal);
    EXPECT_EQ(title->text(), "Manage Playlists");
    EXPECT_LE(title->fontMetrics().horizontalAdvance(title->text()), title->width());
    EXPECT_GE(title->x(), bar.leftButton()->geometry().right()) << "clear of the button";
    // Far too long: an ellipsis at the end; the title and its name stay whole.
    bar.setTitle("Songs for the long drive home through the mountains");
    EXPECT_TRUE(title->text().endsWith(QChar(0x2026)));
    EXPECT_LE(title->fontMetrics().horizontalAdvance(title->text()), title->width());
    EXPECT_EQ(bar.title(), "Songs for the long drive home through the mountains");
    EXPECT_EQ(title->accessibleName(), bar.title());
    bar.setTitle("Rock");
    EXPECT_EQ(title->font().pointSizeF(), normal) << "a short title is back to the normal size";
}

// Rows of a list where row 0 is coloured and ticked (a deleted song in a list in edit mode).
class MarkedRows : public TableViewDataSource
{
public:
    int numberOfRowsInSection(TableView *, int) override { return 40; }
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &p) override
    {
        TableViewCell *cell = table->dequeueReusableCellWithIdentifier("Song");
        if (!cell)
            cell = new TableViewCell(TableViewCell::Subtitle, "Song");
        cell->textLabel()->setText(QString::number(p.row));
        if (p.row == 0) {
            cell->textLabel()->setTextColor(Qt::red);
            cell->textLabel()->setFontSize(20);
            cell->detailTextLabel()->setTextColor(Qt::red);
            cell->setEditCheck(TableViewCell::EditCheck::Checked);
            marked = cell;
        }
        return cell;
    }
    TableViewCell *marked = nullptr;
};

TEST(UiKitTable, ARowColouredForItsSongDoesNotColourTheNextOne)
{
    MarkedRows rows;
    TableView table;
    table.resize(320, 300);
    table.setDataSource(&rows);
    table.show();
    table.reloadData();
    ASSERT_TRUE(rows.marked);
    TableViewCell *plain = table.cellForRowAtIndexPath({0, 1});
    const QColor normalColour = plain->textLabel()->palette().color(QPalette::WindowText);
    const qreal normalSize = plain->textLabel()->font().pointSizeF();
    EXPECT_EQ(rows.marked->textLabel()->palette().color(QPalette::WindowText), QColor(Qt::red));

    // Scrolled away, the red row's cell comes back for another row, as a plain row.
    TableViewCell *red = rows.marked;
    table.scrollToRowAtIndexPath({0, 39}, TableView::Bottom);
    TableViewCell *reused = nullptr;
    for (const IndexPath &p : table.indexPathsForVisibleRows())
        if (table.cellForRowAtIndexPath(p) == red)
            reused = red;
    ASSERT_TRUE(reused) << "the cell was reused";
    EXPECT_NE(reused->textLabel()->text(), "0");
    EXPECT_EQ(reused->textLabel()->palette().color(QPalette::WindowText), normalColour);
    EXPECT_EQ(reused->detailTextLabel()->palette().color(QPalette::WindowText),
              plain->detailTextLabel()->palette().color(QPalette::WindowText));
    EXPECT_EQ(reused->textLabel()->font().pointSizeF(), normalSize);
    EXPECT_EQ(reused->editCheck(), TableViewCell::EditCheck::None);
    EXPECT_TRUE(reused->imageView()->image().isNull()) << "no tick picture left behind";
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(reused)->state().checkable);
}

TEST(UiKitTable, TickedRowsShowTheirTickAndSayItToAssistiveTechnologies)
{
    AccessibleTableViewCell::installFactory(); // as a list does
    TableViewCell cell(TableViewCell::Subtitle, "Row");
    cell.textLabel()->setText("Road");
    cell.imageView()->setImage(ImageView::imageNamed("list_playbackListSetting.png"));
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(&cell)->state().checkable);
    cell.setEditCheck(TableViewCell::EditCheck::Unchecked);
    EXPECT_EQ(cell.imageView()->image().toImage(), ImageView::imageNamed("listCheckOff.png").toImage());
    QAccessible::State state = QAccessible::queryAccessibleInterface(&cell)->state();
    EXPECT_TRUE(state.checkable);
    EXPECT_FALSE(state.checked);
    cell.setEditCheck(TableViewCell::EditCheck::Checked);
    EXPECT_EQ(cell.imageView()->image().toImage(), ImageView::imageNamed("listCheckOn.png").toImage());
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&cell)->state().checked);
    EXPECT_NE(ImageView::imageNamed("listCheckOn.png").toImage(), ImageView::imageNamed("listCheckOff.png").toImage());
}

TEST(UiKitSelection, TicksAreKeptByValueInTheOrderTicked)
{
    SelectionList ticks;
    ticks.toggle("b");
    ticks.toggle("a");
    ticks.toggle("c");
    EXPECT_EQ(ticks.values(), QStringList({"b", "a", "c"}));
    ticks.toggle("a");
    EXPECT_EQ(ticks.values(), QStringList({"b", "c"}));

    // Select all takes the list's order (duplicates included); a second time clears.
    const QStringList all{"x", "y", "x"};
    ticks.selectAllOrNone(all);
    EXPECT_EQ(ticks.values(), all);
    EXPECT_EQ(ticks.count(), 3);
    ticks.toggle("x");
    EXPECT_EQ(ticks.values(), QStringList({"y"})) << "equal values are one choice";
    ticks.selectAllOrNone(all);
    EXPECT_EQ(ticks.values(), all);
    ticks.selectAllOrNone(all);
    EXPECT_TRUE(ticks.isEmpty());
}

} // namespace
