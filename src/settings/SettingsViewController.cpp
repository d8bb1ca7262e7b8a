#include "settings/SettingsViewController.h"

#include "app/ZivoAppDelegate.h"
#include "library/SettingsKeys.h"
#include "platform/Bundle.h"
#include "platform/Button.h"
#include "platform/IdleTimer.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/Switch.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"

namespace {
QString storedString(const QString &key)
{
    return UserDefaults::standard().stringForKey(key);
}

const QString one = QStringLiteral("1");
const QString zero = QStringLiteral("0");
} // namespace

SettingsViewController::SettingsViewController(QObject *parent)
    : ZivoViewController(parent), m_idleTimer(&IdleTimer::shared())
{}

View *SettingsViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_titleNavigationBar = new NavigationBar(root);
    m_titleNavigationBar->setGeometry(0, 0, Window::width, NavigationBar::height);
    m_titleNavigationBar->setTitle(Translations::text("Settings"));
    root->setAccessibleName(Translations::text("Settings"));
    connect(m_titleNavigationBar->setLeftButton(Translations::text("Close")), &Button::clicked, this,
            &SettingsViewController::closeView);
    connect(m_titleNavigationBar->setRightButton(Translations::text("Help")), &Button::clicked, this,
            &SettingsViewController::addHelpView);

    // The list keeps its origin and width, 436 points high.
    m_listTableView = new TableView(TableView::Grouped, root);
    m_listTableView->setGeometry(0, NavigationBar::height, Window::width, 436);
    m_listTableView->setAccessibleName(Translations::text("Settings"));
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    return root;
}

void SettingsViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    reloadSettings();
    m_listTableView->reloadData();
}

bool SettingsViewController::escapePressed()
{
    closeView();
    return true;
}

void SettingsViewController::closeView()
{
    View::removeFromSuperview(view());
    if (appDelegate())
        appDelegate()->addMusicMainView();
}

void SettingsViewController::addEncodingsView()
{
    if (appDelegate())
        appDelegate()->addEncodingsView();
}

void SettingsViewController::addHelpView()
{
    if (appDelegate())
        appDelegate()->addHelpView();
}

// ---------------------------------------------------------------------------
// Values

bool SettingsViewController::sleepSwitchOn() const
{
    // On means the screen may sleep: the platform's state, whoever set it.
    return !m_idleTimer->isIdleTimerDisabled();
}

bool SettingsViewController::beepSwitchOn() const
{
    return storedString(SettingsKeys::beepSoundModeKey) != one;
}

void SettingsViewController::reloadSettings()
{
    if (storedString(SettingsKeys::ScreenAutoSleepModeKey) == one)
        m_idleTimer->setIdleTimerDisabled(true);
    if (m_sleepModeSwitch)
        m_sleepModeSwitch->setOn(sleepSwitchOn());
    if (m_encodingLabel) {
        const QString name = storedString(SettingsKeys::selectedEncodingNameKey);
        m_encodingLabel->setText(name);
        QWidget *holder = m_encodingLabel->parentWidget();
        if (auto *cell = qobject_cast<TableViewCell *>(holder ? holder->parentWidget() : nullptr))
            cell->setAccessibleDescription(name);
    }
    if (m_beepSoundSwitch)
        m_beepSoundSwitch->setOn(beepSwitchOn());
}

void SettingsViewController::screenSleepModeSetting(bool on)
{
    UserDefaults::standard().setObject(on ? zero : one, SettingsKeys::ScreenAutoSleepModeKey);
    m_idleTimer->setIdleTimerDisabled(!on);
}

void SettingsViewController::beepSoundModeSetting(bool on)
{
    UserDefaults::standard().setObject(on ? zero : one, SettingsKeys::beepSoundModeKey);
}

void SettingsViewController::writeReview()
{
    // Stores this version as reviewed (flushed at once) and opens the software centre's page.
    if (appDelegate())
        appDelegate()->reviewPrompt().writeReview();
}

// ---------------------------------------------------------------------------
// The list

int SettingsViewController::numberOfRowsInSection(TableView *, int section)
{
    return section == PlayerSection ? PlayerRowCount : 1;
}

QString SettingsViewController::titleForHeaderInSection(TableView *, int section)
{
    return section == PlayerSection ? Translations::text("Player Settings") : QString();
}

QString SettingsViewController::titleForFooterInSection(TableView *, int section)
{
    if (section != ReviewSection)
        return {};
    return QStringLiteral("OrboPro Ver %1\n%2").arg(Bundle::version(), Translations::text("Publisher line"));
}

TableViewCell *SettingsViewController::cellForRowAtIndexPath(TableView *, const IndexPath &indexPath)
{
    // Built afresh every time (no reuse): the rows are few and hold the screen's controls.
    auto *cell = new TableViewCell(TableViewCell::Default, QStringLiteral("SettingsCell"));
    cell->setSelectionHighlight(false);
    cell->textLabel()->setFontSize(12, true);
    if (indexPath.section == ReviewSection) {
        cell->textLabel()->setFontSize(13, true);
        cell->textLabel()->setText(Translations::text("Write a Review"));
        cell->setAccessoryType(TableViewCell::DisclosureIndicator);
        cell->setSelectionHighlight(true);
        return cell;
    }
    switch (indexPath.row) {
    case EncodingRow: {
        cell->textLabel()->setText(Translations::text("ID3Tag Encoding"));
        // The encoding's name centred near x 210, then the disclosure chevron.
        auto *holder = new View(QRect(0, 0, 160, 30));
        auto *label = new Label(QRect(0, 0, 142, 30), holder);
        label->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
        label->setFontSize(11);
        label->setTextColor(QColor(150, 210, 205));
        label->setText(storedString(SettingsKeys::selectedEncodingNameKey));
        auto *chevron = new Label(QRect(146, 0, 14, 30), holder);
        chevron->setText(QStringLiteral("›"));
        chevron->setFontSize(16, true);
        chevron->setTextColor(QColor(130, 138, 150));
        m_encodingLabel = label;
        cell->setAccessoryView(holder);
        cell->setAccessoryType(TableViewCell::DisclosureIndicator);
        cell->setSelectionHighlight(true);
        // Heard by screen readers as the row's second line.
        cell->setAccessibleDescription(label->text());
        break;
    }
    case SleepModeRow:
    case BeepSoundRow: {
        const bool sleep = indexPath.row == SleepModeRow;
        const QString title =
            sleep ? Translations::text("Screen Auto SleepMode") : Translations::text("Earphones Beep Sound");
        cell->textLabel()->setText(title);
        auto *control = new Switch;
        control->resize(51, 31);
        control->setAccessibleName(title);
        control->setOn(sleep ? sleepSwitchOn() : beepSwitchOn());
        connect(control, &Switch::valueChanged, this,
                sleep ? &SettingsViewController::screenSleepModeSetting
                      : &SettingsViewController::beepSoundModeSetting);
        (sleep ? m_sleepModeSwitch : m_beepSoundSwitch) = control;
        cell->setAccessoryView(control);
        break;
    }
    default:
        break;
    }
    return cell;
}

void SettingsViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    table->deselectRowAtIndexPath(indexPath, true);
    if (indexPath.section == PlayerSection && indexPath.row == EncodingRow)
        addEncodingsView();
    else if (indexPath.section == ReviewSection)
        writeReview();
}

Switch *SettingsViewController::sleepModeSwitch() const
{
    return m_sleepModeSwitch;
}

Switch *SettingsViewController::beepSoundSwitch() const
{
    return m_beepSoundSwitch;
}

Label *SettingsViewController::encodingLabel() const
{
    return m_encodingLabel;
}
