#include "TestHome.h"
#include "support/ShellFakes.h"

#include "app/ZivoAppDelegate.h"
#include "browse/MusicMainViewController.h"
#include "library/EncodingTable.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/Bundle.h"
#include "platform/Button.h"
#include "platform/IdleTimer.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/ScrollView.h"
#include "platform/Switch.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "settings/EncodingsViewController.h"
#include "settings/HelpViewController.h"
#include "settings/SettingsViewController.h"

#include <QDir>
#include <QFontMetricsF>
#include <QUrl>

#include <gtest/gtest.h>

using Screen = ZivoAppDelegate::Screen;
using Entry = MusicMainViewController::Entry;

namespace {

// Pictures go to the test's own home, or to $ORBO_PICTURES_DIR to be looked at.
QString picturePath(const TestHome &home, const char *name)
{
    const QString dir = qEnvironmentVariable("ORBO_PICTURES_DIR", home.path());
    return dir + "/orbo-" + QLatin1String(name) + ".png";
}

UserDefaults &defaults()
{
    return UserDefaults::standard();
}

// The shell with the menu, settings, help and the picker, launched, with the fake panel.
struct Shell
{
    Shell()
    {
        IdleTimer::shared().setIdleTimerDisabled(false);
        IdleTimer::shared().setInBackground(false);
        ScreenFactory screens;
        screens.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
        screens.add(Screen::Settings, [] { return std::make_unique<SettingsViewController>(); });
        screens.add(Screen::Help, [] { return std::make_unique<HelpViewController>(); });
        screens.add(Screen::Encodings, [] { return std::make_unique<EncodingsViewController>(); });
        delegate.emplace(screens);
        delegate->setPlayInfoPanel(&player);
        delegate->didFinishLaunchingWithOptions();
        delegate->reviewPrompt().setUrlOpener([this](const QUrl &url) { opened << url; });
        menu = qobject_cast<MusicMainViewController *>(delegate->screen(Screen::MusicMain));
        settings = qobject_cast<SettingsViewController *>(delegate->screen(Screen::Settings));
        picker = qobject_cast<EncodingsViewController *>(delegate->screen(Screen::Encodings));
        help = qobject_cast<HelpViewController *>(delegate->screen(Screen::Help));
    }
    ~Shell()
    {
        delegate.reset();
        IdleTimer::shared().setIdleTimerDisabled(false);
    }
    void openSettings()
    {
        menu->button(Entry::Settings)->click();
        ASSERT_TRUE(settings->isOnScreen());
    }
    TableViewCell *pickerRow(const QString &name)
    {
        const int row = int(picker->encodingNames().indexOf(name));
        picker->tableView()->scrollToRowAtIndexPath({0, row}, TableView::Middle);
        return picker->tableView()->cellForRowAtIndexPath({0, row});
    }
    int checkedRows()
    {
        int count = 0;
        for (TableViewCell *cell : picker->tableView()->findChildren<TableViewCell *>())
            if (cell->isVisible() && cell->accessoryType() == TableViewCell::Checkmark)
                ++count;
        return count;
    }

    TestHome home;
    FakePlayer player;
    std::optional<ZivoAppDelegate> delegate;
    MusicMainViewController *menu = nullptr;
    SettingsViewController *settings = nullptr;
    EncodingsViewController *picker = nullptr;
    HelpViewController *help = nullptr;
    QList<QUrl> opened;
};

TEST(SettingsScreen, TheSwitchesStoreTheirValuesAndShowTheStoredOnes)
{
    Shell s;
    s.openSettings();
    EXPECT_EQ(s.settings->titleNavigationBar()->title(), "Settings");
    EXPECT_EQ(s.settings->listTableView()->height(), 436);
    // A fresh installation: the screen may dim, beeps on, UTF-8.
    EXPECT_TRUE(s.settings->sleepModeSwitch()->isOn());
    EXPECT_TRUE(s.settings->beepSoundSwitch()->isOn());
    EXPECT_EQ(s.settings->encodingLabel()->text(), QString("Unicode™ (UTF-8)"));

    s.settings->sleepModeSwitch()->click(); // off: keep the screen lit
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::ScreenAutoSleepModeKey), "1");
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());
    s.settings->sleepModeSwitch()->click();
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::ScreenAutoSleepModeKey), "0");
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());

    s.settings->beepSoundSwitch()->click();
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::beepSoundModeKey), "1");
    s.settings->beepSoundSwitch()->click();
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::beepSoundModeKey), "0");

    // What is stored is what the next visit shows; an unexpected value means "on".
    defaults().setObject(QStringLiteral("1"), SettingsKeys::beepSoundModeKey);
    defaults().setObject(QStringLiteral("1"), SettingsKeys::ScreenAutoSleepModeKey);
    s.settings->titleNavigationBar()->leftButton()->click();
    EXPECT_TRUE(s.menu->isOnScreen());
    s.openSettings();
    EXPECT_FALSE(s.settings->beepSoundSwitch()->isOn());
    EXPECT_FALSE(s.settings->sleepModeSwitch()->isOn());
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled()); // applied on the way in
    defaults().setObject(QStringLiteral("yes"), SettingsKeys::beepSoundModeKey);
    s.settings->reloadSettings();
    EXPECT_TRUE(s.settings->beepSoundSwitch()->isOn());
}

TEST(SettingsScreen, TheSleepSwitchShowsTheDesktopsStateWhileAnotherScreenHoldsIt)
{
    Shell s;
    int transfer = 0;
    IdleTimer::shared().addHold(&transfer);
    s.openSettings();
    EXPECT_FALSE(s.settings->sleepModeSwitch()->isOn());
    IdleTimer::shared().releaseHold(&transfer);
    s.settings->reloadSettings();
    EXPECT_TRUE(s.settings->sleepModeSwitch()->isOn());
}

TEST(SettingsScreen, TheReviewRowStoresTheVersionAndOpensTheSoftwareCentre)
{
    Shell s;
    s.openSettings();
    TableView *list = s.settings->listTableView();
    ASSERT_EQ(list->numberOfSections(), 2);
    EXPECT_EQ(list->numberOfRowsInSection(0), 3);
    EXPECT_EQ(list->numberOfRowsInSection(1), 1);
    TableViewCell *review = list->cellForRowAtIndexPath({1, 0});
    ASSERT_TRUE(review);
    EXPECT_EQ(review->textLabel()->text(), "Write a Review");
    EXPECT_EQ(review->accessoryType(), TableViewCell::DisclosureIndicator);
    EXPECT_EQ(s.settings->titleForFooterInSection(list, 1), "OrboPro Ver " + Bundle::version() + "\nPublisher line");
    EXPECT_TRUE(s.settings->titleForFooterInSection(list, 0).isEmpty());

    list->activateRow({1, 0});
    ASSERT_EQ(s.opened.size(), 1);
    EXPECT_EQ(s.opened[0], QUrl("appstream://org.orbo.Orbo"));
    EXPECT_EQ(list->indexPathForSelectedRow(), (IndexPath{-1, -1})); // deselected at once
    // Flushed at once: a restart still knows.
    s.home.restart();
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::reviewWriteVerKey), Bundle::version());
}

TEST(EncodingPicker, ListsTheEncodingsWithTheCheckMarkAtTheStoredOne)
{
    Shell s;
    s.openSettings();
    s.settings->listTableView()->activateRow({0, 0});
    ASSERT_TRUE(s.picker->isOnScreen());
    EXPECT_TRUE(s.settings->isOnScreen()); // the picker lies over it
    EXPECT_EQ(s.delegate->currentViewController(), s.picker);
    EXPECT_EQ(s.picker->titleNavigationBar()->title(), "ID3Tag Encoding");
    EXPECT_EQ(s.picker->titleForHeaderInSection(s.picker->tableView(), 0), "AllTextEncodings");

    const QList<EncodingTable::Row> &rows = EncodingTable::rows();
    ASSERT_EQ(s.picker->encodingNames().size(), 82);
    for (int i = 0; i < 82; ++i) {
        EXPECT_EQ(s.picker->encodingNames()[i], rows[i].name);
        EXPECT_EQ(s.picker->encodingNumbers()[i], rows[i].number);
    }
    TableViewCell *utf8 = s.pickerRow(QString("Unicode™ (UTF-8)"));
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->accessoryType(), TableViewCell::Checkmark);
    EXPECT_EQ(s.checkedRows(), 1);

    // Every name fits its row, shrunk if need be but never below 9 points.
    const int room = s.picker->tableView()->viewport()->width() - 40;
    for (const QString &name : s.picker->encodingNames()) {
        TableViewCell *cell = s.pickerRow(name);
        ASSERT_TRUE(cell) << name.toStdString();
        EXPECT_GE(cell->textLabel()->font().pointSizeF(), EncodingsViewController::minimumFontSize);
        EXPECT_LE(QFontMetricsF(cell->textLabel()->font()).horizontalAdvance(name), room) << name.toStdString();
    }
}

TEST(EncodingPicker, AChoiceIsStoredAtOnceAndClosingRefreshesTheSettingsAndThePanel)
{
    Shell s;
    s.openSettings();
    s.settings->addEncodingsView();
    TableViewCell *korean = s.pickerRow("Korean (EUC)");
    ASSERT_TRUE(korean);
    s.picker->tableView()->activateRow({0, int(s.picker->encodingNames().indexOf("Korean (EUC)"))});
    EXPECT_EQ(defaults().objectForKey(SettingsKeys::selectedEncodingNumberKey).toLongLong(), 2147486016LL);
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::selectedEncodingNameKey), "Korean (EUC)");
    EXPECT_TRUE(s.picker->isOnScreen()); // the picker stays open
    EXPECT_EQ(s.pickerRow("Korean (EUC)")->accessoryType(), TableViewCell::Checkmark);
    EXPECT_EQ(s.pickerRow(QString("Unicode™ (UTF-8)"))->accessoryType(), TableViewCell::None);
    // Tag text shown from now on is read in the new encoding.
    EXPECT_EQ(ZivoModel::convertEncodeWithString(QString::fromLatin1("\xc7\xd1\xb1\xdb")), QString("한글"));
    // Nothing else changed yet.
    EXPECT_EQ(s.settings->encodingLabel()->text(), QString("Unicode™ (UTF-8)"));
    EXPECT_TRUE(s.player.calls.isEmpty());

    s.picker->titleNavigationBar()->leftButton()->click();
    EXPECT_FALSE(s.picker->isOnScreen());
    EXPECT_TRUE(s.settings->isOnScreen());
    EXPECT_EQ(s.settings->encodingLabel()->text(), "Korean (EUC)");
    EXPECT_EQ(s.player.calls, QStringList{"panel.encoding Korean (EUC)"});
    // The lists exist only while the picker is shown.
    EXPECT_TRUE(s.picker->encodingNames().isEmpty());
    EXPECT_TRUE(s.picker->encodingNumbers().isEmpty());
    const QList<TableViewCell *> cells = s.settings->listTableView()->findChildren<TableViewCell *>();
    EXPECT_TRUE(std::any_of(cells.begin(), cells.end(), [](TableViewCell *cell) {
        return cell->isVisible() && cell->accessibleDescription() == "Korean (EUC)";
    }));
}

TEST(EncodingPicker, ANumberInNoRowShowsNoCheckMark)
{
    Shell s;
    defaults().setObject(QVariant::fromValue<qlonglong>(123456), SettingsKeys::selectedEncodingNumberKey);
    s.openSettings();
    s.settings->addEncodingsView();
    for (int row = 0; row < 82; row += 6) {
        s.picker->tableView()->scrollToRowAtIndexPath({0, row});
        EXPECT_EQ(s.checkedRows(), 0) << row;
    }
}

TEST(HelpScreen, ThePictureZoomsWithinItsLimitsAndClosingUncoversTheScreenBelow)
{
    Shell s;
    s.openSettings();
    s.settings->titleNavigationBar()->rightButton()->click();
    ASSERT_TRUE(s.help->isOnScreen());
    EXPECT_TRUE(s.settings->isOnScreen());
    EXPECT_EQ(s.delegate->currentViewController(), s.settings); // laid over, not current
    EXPECT_EQ(s.help->titleNavigationBar()->title(), "Help");
    ScrollView *scroll = s.help->scrollView();
    const QSize size = s.help->contentView()->size();
    EXPECT_EQ(scroll->contentSize(), size);
    EXPECT_EQ(size.width(), 320);
    EXPECT_GT(size.height(), 480); // scrolls
    EXPECT_FALSE(s.help->contentView()->image().isNull());
    EXPECT_FALSE(s.help->zoomOutButton()->isEnabled());

    s.help->zoomInButton()->click();
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), ScrollView::step);
    EXPECT_EQ(s.help->contentView()->width(), qRound(320 * ScrollView::step));
    for (int i = 0; i < 20; ++i)
        scroll->zoomIn();
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), HelpViewController::maximumZoom);
    EXPECT_FALSE(s.help->zoomInButton()->isEnabled());
    EXPECT_EQ(s.help->contentView()->size(), size * HelpViewController::maximumZoom);
    scroll->setZoomScale(0.1);
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 1.0);
    EXPECT_EQ(s.help->contentView()->size(), size);

    const QImage shot = View::snapshot(s.delegate->window());
    EXPECT_TRUE(shot.save(picturePath(s.home, "help")));
    s.help->titleNavigationBar()->leftButton()->click();
    EXPECT_FALSE(s.help->isOnScreen());
    EXPECT_TRUE(s.settings->isOnScreen());
}

TEST(SettingsScreen, Pictures)
{
    Translations::install(QLocale(QLocale::English));
    Shell s;
    s.openSettings();
    const QImage settings = View::snapshot(s.delegate->window());
    EXPECT_TRUE(settings.save(picturePath(s.home, "settings")));
    s.settings->addEncodingsView();
    const int korean = int(s.picker->encodingNames().indexOf("Korean (EUC)"));
    s.picker->tableView()->activateRow({0, korean});
    s.picker->tableView()->scrollToRowAtIndexPath({0, korean}, TableView::Middle);
    const QImage picker = View::snapshot(s.delegate->window());
    EXPECT_TRUE(picker.save(picturePath(s.home, "encodings")));
    if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
        EXPECT_TRUE(settings.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/settings.png")));
        EXPECT_TRUE(picker.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/encodings.png")));
    }
    Translations::uninstall();
}

} // namespace
