#include "transfer/WebserverViewController.h"

#include "app/ZivoAppDelegate.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "platform/ActivityIndicator.h"
#include "platform/Bundle.h"
#include "platform/IdleTimer.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/NotificationCenter.h"
#include "platform/Button.h"
#include "platform/Sandbox.h"
#include "platform/Switch.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/TextView.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "transfer/AccessCode.h"
#include "transfer/HTTPServer.h"
#include "transfer/InterfaceRoles.h"
#include "transfer/MyHTTPConnection.h"
#include "transfer/StorageUsage.h"
#include "transfer/URLProbe.h"
#include "transfer/localhostAddresses.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QPainter>

Q_LOGGING_CATEGORY(lcTransferScreen, "orbo.transfer.screen")

namespace {
const QString cellIdentifier = QStringLiteral("WebserverViewCell");
// The code row has a second line, so cells of its own.
const QString codeCellIdentifier = QStringLiteral("WebserverViewCodeCell");
const QColor sleepLabelStopped(170, 174, 182);
const QColor sleepLabelRunning(48, 110, 230);

QString noConnection()
{
    return Translations::text("No Connection");
}

bool flagIsOn(const QString &key)
{
    return UserDefaults::standard().stringForKey(key) == QLatin1String("1");
}

// The small rounded label beside the switch: light grey while stopped, blue while serving.
class SleepModeLabel : public Label
{
public:
    using Label::Label;
    void setFill(const QColor &colour)
    {
        m_fill = colour;
        update();
    }
    QColor fill() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_fill);
        painter.drawRoundedRect(QRectF(rect()), 3, 3);
        painter.end();
        Label::paintEvent(event);
    }

private:
    QColor m_fill = sleepLabelStopped;
};
} // namespace

WebserverViewController::WebserverViewController(quint16 port, QObject *parent)
    : ZivoViewController(parent),
      m_port(port),
      m_addressLister(&localhostAddresses::listInBackground),
      m_idleTimer(&IdleTimer::shared()),
      m_probe(std::make_unique<URLProbe>())
{
    m_wifiText = m_mobileText = noConnection();
    NotificationCenter &center = NotificationCenter::defaultCenter();
    // The address listing answers on its own thread: the screen is touched on the main one.
    center.addObserver(this, TransferNotify::addressesResolved, [this](const Notification &notification) {
        const QVariantMap addresses = notification.object.toMap();
        QPointer<WebserverViewController> self(this);
        DispatchQueue::mainAsync([self, addresses] {
            if (self)
                self->displayInfoUpdate(&addresses);
        });
    });
    center.addObserver(this, TransferNotify::serverMessage, [this](const Notification &notification) {
        const QString message = notification.object.toString();
        if (DispatchQueue::isMainThread()) {
            webservPromptUpdate(message);
            return;
        }
        QPointer<WebserverViewController> self(this);
        DispatchQueue::mainAsync([self, message] {
            if (self)
                self->webservPromptUpdate(message);
        });
    });
}

WebserverViewController::~WebserverViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    stopServer();
    setKeepAwake(false);
    m_storageQueue.waitForIdle();
}

void WebserverViewController::setStorageFolders(const QString &home, const QString &documents)
{
    m_storageHome = home;
    m_storageDocuments = documents;
}

bool WebserverViewController::isServing() const
{
    return m_httpServer && m_httpServer->isRunning();
}

bool WebserverViewController::requiresCode() const
{
    return flagIsOn(SettingsKeys::transferRequireCodeKey);
}

bool WebserverViewController::keepsAwake() const
{
    return m_idleTimer->hasHold(this);
}

// ---------------------------------------------------------------------------
// Layout

View *WebserverViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_titleNavigationBar = new NavigationBar(root);
    m_titleNavigationBar->setGeometry(0, 0, Window::width, NavigationBar::height);
    m_titleNavigationBar->setTitle(Translations::text("File Transfer Title"));
    root->setAccessibleName(Translations::text("File Transfer Title"));
    connect(m_titleNavigationBar->setLeftButton(Translations::text("Close")), &Button::clicked, this,
            &WebserverViewController::closeView);
    connect(m_titleNavigationBar->setRightButton(Translations::text("Help")), &Button::clicked, this,
            &WebserverViewController::addHelpView);

    m_listTableView = new TableView(TableView::Grouped, root);
    m_listTableView->setGeometry(0, NavigationBar::height, Window::width, Window::height - NavigationBar::height);
    m_listTableView->setAccessibleName(Translations::text("File Transfer Title"));
    m_listTableView->setDataSource(this);
    m_listTableView->setDelegate(this);
    return root;
}

int WebserverViewController::numberOfRowsInSection(TableView *, int section)
{
    return section == ServerSection ? ServerRowCount : 1;
}

int WebserverViewController::heightForRowAtIndexPath(TableView *, const IndexPath &indexPath)
{
    switch (indexPath.section) {
    case MessageSection:
        return 120;
    case StorageSection:
        return 35;
    default:
        return 44;
    }
}

QString WebserverViewController::titleForHeaderInSection(TableView *, int section)
{
    switch (section) {
    case ServerSection:
        return Translations::text("File Transfer");
    case MessageSection:
        return Translations::text("File Transfer Messages");
    default:
        return Translations::text("Memory usage");
    }
}

QString WebserverViewController::titleForFooterInSection(TableView *, int section)
{
    if (section == ServerSection)
        return Translations::text("enter into the browser PC");
    if (section == StorageSection)
        return QStringLiteral("Orbo Pro Ver %1\n%2").arg(Bundle::version(), Translations::text("Publisher line"));
    return {};
}

TableViewCell *WebserverViewController::cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    const bool codeRow = indexPath.section == ServerSection && indexPath.row == CodeRow;
    const QString &identifier = codeRow ? codeCellIdentifier : cellIdentifier;
    TableViewCell *cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell)
        cell = new TableViewCell(codeRow ? TableViewCell::Subtitle : TableViewCell::Default, identifier);
    cell->setSelectionHighlight(false);
    cell->setAccessibleDescription(QString());
    cell->textLabel()->setFontSize(12, true);
    if (indexPath.section == MessageSection) {
        auto *prompt = new TextView(QRect(0, 0, 286, 110));
        prompt->setAccessibleName(Translations::text("File Transfer Messages"));
        prompt->setFontSize(11);
        prompt->setText(m_messages);
        m_messagePrompt = prompt;
        cell->setAccessoryView(prompt);
        return cell;
    }
    if (indexPath.section == StorageSection) {
        auto *storage = new Label(QRect(0, 0, 286, 30));
        storage->setAlignment(Qt::AlignCenter);
        storage->setFontSize(10);
        storage->setAccessibleName(Translations::text("Memory usage"));
        storage->setText(m_storageText);
        storage->setAccessibleDescription(m_storageText);
        m_diskSizeLabel = storage;
        cell->setAccessoryView(storage);
        return cell;
    }
    switch (indexPath.row) {
    case StartRow: {
        cell->textLabel()->setText(Translations::text("Start the server"));
        // The switch centred at x 200 of the row and the sleep-mode label at x 265.
        auto *holder = new View(QRect(0, 0, 120, 31));
        auto *startSwitch = new Switch(holder);
        startSwitch->setGeometry(0, 0, 51, 31);
        startSwitch->setAccessibleName(Translations::text("Start the server"));
        startSwitch->setOn(isServing());
        connect(startSwitch, &Switch::valueChanged, this, &WebserverViewController::startStopServer);
        auto *sleepLabel = new SleepModeLabel(QRect(64, 6, 48, 19), holder);
        sleepLabel->setAlignment(Qt::AlignCenter);
        sleepLabel->setFontSize(8, true);
        sleepLabel->setText(Translations::text("Awake"));
        m_startSwitch = startSwitch;
        m_sleepModeLabel = sleepLabel;
        refreshSleepModeLabel();
        cell->setAccessoryView(holder);
        break;
    }
    case WifiRow:
    case MobileRow: {
        const bool wifi = indexPath.row == WifiRow;
        const QString title = wifi ? Translations::text("WiFi URL") : Translations::text("3G URL");
        cell->textLabel()->setText(title);
        auto *label = new Label(QRect(0, 0, 170, 30));
        label->setFontSize(10.5);
        label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAccessibleName(title);
        const QString &text = wifi ? m_wifiText : m_mobileText;
        label->setText(text);
        label->setAccessibleDescription(text);
        if (wifi) {
            m_wifiLable = label;
        } else {
            m_g3Lable = label;
            auto *spinner = new ActivityIndicator(label);
            spinner->setGeometry(80 - 10, 5, 20, 20);
            m_activityView = spinner;
            setProbing(m_probing);
        }
        cell->setAccessoryView(label);
        break;
    }
    case CodeRow: {
        m_codeCell = cell;
        cell->textLabel()->setText(Translations::text("Require a code"));
        auto *codeSwitch = new Switch;
        codeSwitch->resize(51, 31);
        codeSwitch->setAccessibleName(Translations::text("Require a code"));
        codeSwitch->setOn(requiresCode());
        connect(codeSwitch, &Switch::valueChanged, this, &WebserverViewController::requireCodeChanged);
        m_codeSwitch = codeSwitch;
        cell->setAccessoryView(codeSwitch);
        refreshCodeRow();
        break;
    }
    default:
        break;
    }
    return cell;
}

void WebserverViewController::didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath)
{
    // The rows are not choices; their switches are.
    table->deselectRowAtIndexPath(indexPath, true);
}

// ---------------------------------------------------------------------------
// Appearing and leaving

void WebserverViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view();
    setStorageText(Translations::text("Loading information ..."));
    setWifiText(noConnection());
    setMobileText(noConnection());
    m_listTableView->reloadData();
    checkUseDisk();
}

void WebserverViewController::viewDidDisappear(bool animated)
{
    ZivoViewController::viewDidDisappear(animated);
    setMessages(QString());
    stopServer();
    refreshSwitches();
    setProbing(false);
    setKeepAwake(false);
    followSleepSetting();
    refreshSleepModeLabel();
}

bool WebserverViewController::escapePressed()
{
    closeView();
    return true;
}

void WebserverViewController::closeView()
{
    View::removeFromSuperview(view());
    if (appDelegate())
        appDelegate()->addMusicMainView();
}

void WebserverViewController::addHelpView()
{
    if (appDelegate())
        appDelegate()->addHelpView();
}

// ---------------------------------------------------------------------------
// The server

void WebserverViewController::startStopServer(bool on)
{
    if (!on) {
        setWifiText(noConnection());
        setMobileText(noConnection());
        setMessages(Translations::text("Server Stopped") + QLatin1Char('\n'));
        stopServer();
        refreshSwitches();
        setKeepAwake(false);
        followSleepSetting();
        refreshSleepModeLabel();
        setProbing(false);
        return;
    }
    showCautionUnlessDeclined();

    stopServer();
    m_httpServer = std::make_unique<HTTPServer>();
    m_httpServer->setType(QStringLiteral("_http._tcp."));
    m_httpServer->setConnectionClass<MyHTTPConnection>();
    m_httpServer->setDocumentRoot(Sandbox::documentsPath());
    m_httpServer->setPort(m_port);
    m_accessCode = requiresCode() ? AccessCode::generate() : QString();
    if (!m_accessCode.isEmpty())
        m_httpServer->setPassword(m_accessCode);

    if (m_addressLister)
        m_addressLister();
    setMessages(Translations::text("Sever Started") + QLatin1Char('\n'));
    AsyncSocketError error;
    if (!m_httpServer->start(&error)) {
        // Nothing listens: say why, and show the switch as it really is.
        const QString why =
            error.reason.isEmpty() ? error.description : QStringLiteral("%1 (%2)").arg(error.description, error.reason);
        setMessages(why + QLatin1Char('\n'));
        stopServer();
        refreshSwitches();
        refreshSleepModeLabel();
        return;
    }
    displayInfoUpdate();
    refreshSwitches();
    refreshCodeRow();
    setKeepAwake(true);
    refreshSleepModeLabel();
}

void WebserverViewController::stopServer()
{
    m_probe->cancel();
    if (m_httpServer) {
        m_httpServer->stop();
        m_httpServer.reset();
    }
    m_accessCode.clear();
    refreshCodeRow();
}

void WebserverViewController::requireCodeChanged(bool on)
{
    UserDefaults::standard().setObject(on ? QStringLiteral("1") : QStringLiteral("0"),
                                       SettingsKeys::transferRequireCodeKey);
    if (m_httpServer) {
        m_accessCode = on ? AccessCode::generate() : QString();
        m_httpServer->setPassword(on ? m_accessCode : QString());
    }
    refreshCodeRow();
}

QString WebserverViewController::urlText(const QString &address, quint16 port)
{
    return QStringLiteral("http://%1:%2").arg(address).arg(port);
}

void WebserverViewController::showCautionUnlessDeclined()
{
    if (flagIsOn(SettingsKeys::caution3gmsgkey))
        return;
    auto *alert = new AlertView(Translations::text("Caution"), Translations::text("communication charges."), this,
                                Translations::text("OK"), {Translations::text("Don't show again")});
    alert->setTag(cautionAlertTag);
    alert->show();
}

void WebserverViewController::alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex)
{
    if (alertView->tag() == cautionAlertTag && buttonIndex == 1)
        UserDefaults::standard().setObject(QStringLiteral("1"), SettingsKeys::caution3gmsgkey);
}

// ---------------------------------------------------------------------------
// Addresses

void WebserverViewController::displayInfoUpdate(const QVariantMap *addresses)
{
    if (addresses) {
        m_addresses.clear();
        for (auto it = addresses->cbegin(); it != addresses->cend(); ++it)
            m_addresses.insert(it.key(), it.value().toString());
    }
    // Addresses that arrive after the server stopped belong to no server.
    if (m_addresses.isEmpty() || !isServing())
        return;
    const quint16 port = m_httpServer->port();
    const QString wifi = InterfaceRoles::wifiAddress(m_addresses);
    setWifiText(wifi.isEmpty() ? noConnection() : urlText(wifi, port));
    const QString mobile = InterfaceRoles::mobileAddress(m_addresses);
    if (mobile.isEmpty()) {
        setProbing(false);
        setMobileText(noConnection());
        return;
    }
    checkMobileAddress(mobile, port);
}

void WebserverViewController::checkMobileAddress(const QString &address, quint16 port)
{
    const QString url = urlText(address, port);
    setMobileText(QString());
    setProbing(true);
    // Only an answer through the mobile link shows the address.
    m_probe->fetch(QUrl(url), [this, url](bool gotData) {
        setProbing(false);
        setMobileText(gotData ? url : noConnection());
    });
}

// ---------------------------------------------------------------------------
// Messages and storage

void WebserverViewController::webservPromptUpdate(const QString &message)
{
    setMessages(message + m_messages);
    checkUseDisk();
}

void WebserverViewController::checkUseDisk()
{
    // Uploads in a row need one more measurement after the running one, not one each.
    if (m_storageRunning) {
        m_storageAgain = true;
        return;
    }
    m_storageRunning = 1;
    const QString documents = m_storageDocuments.isEmpty() ? Sandbox::documentsPath() : m_storageDocuments;
    // The program's home: the folder that holds Documents.
    const QString home = m_storageHome.isEmpty() ? QFileInfo(documents).absolutePath() : m_storageHome;
    QPointer<WebserverViewController> self(this);
    m_storageQueue.async([self, home, documents] {
        const QString text = StorageUsage::text(StorageUsage::measure(home, documents));
        DispatchQueue::mainAsync([self, text] {
            if (!self)
                return;
            self->m_storageRunning = 0;
            ++self->m_storageMeasurements;
            self->setStorageText(text);
            if (self->m_storageAgain) {
                self->m_storageAgain = false;
                self->checkUseDisk();
            }
        });
    });
}

bool WebserverViewController::waitForStorage(int msecs)
{
    return m_storageQueue.waitForIdle(msecs);
}

// ---------------------------------------------------------------------------
// What the rows show

void WebserverViewController::setMessages(const QString &text)
{
    m_messages = text;
    if (m_messagePrompt)
        m_messagePrompt->setText(text);
}

void WebserverViewController::setWifiText(const QString &text)
{
    m_wifiText = text;
    if (m_wifiLable) {
        m_wifiLable->setText(text);
        m_wifiLable->setAccessibleDescription(text);
    }
}

void WebserverViewController::setMobileText(const QString &text)
{
    m_mobileText = text;
    if (m_g3Lable) {
        m_g3Lable->setText(text);
        m_g3Lable->setAccessibleDescription(text);
    }
}

void WebserverViewController::setStorageText(const QString &text)
{
    m_storageText = text;
    if (m_diskSizeLabel) {
        m_diskSizeLabel->setText(text);
        m_diskSizeLabel->setAccessibleDescription(text);
    }
}

void WebserverViewController::setProbing(bool probing)
{
    m_probing = probing;
    if (!m_activityView)
        return;
    if (probing) {
        m_activityView->show();
        m_activityView->startAnimating();
    } else {
        m_activityView->stopAnimating();
        m_activityView->hide();
    }
}

void WebserverViewController::setKeepAwake(bool on)
{
    if (on)
        m_idleTimer->addHold(this);
    else
        m_idleTimer->releaseHold(this);
}

void WebserverViewController::followSleepSetting()
{
    m_idleTimer->setIdleTimerDisabled(flagIsOn(SettingsKeys::ScreenAutoSleepModeKey));
}

void WebserverViewController::refreshSwitches()
{
    if (m_startSwitch)
        m_startSwitch->setOn(isServing());
}

void WebserverViewController::refreshCodeRow()
{
    if (m_codeSwitch)
        m_codeSwitch->setOn(requiresCode());
    if (!m_codeCell)
        return;
    QString detail;
    if (!m_accessCode.isEmpty())
        detail = Translations::text("Code: %1 (any user name)").arg(m_accessCode);
    else if (requiresCode())
        detail = Translations::text("A new code at every start");
    else
        detail = Translations::text("Anyone on the network can upload");
    m_codeCell->detailTextLabel()->setText(detail);
    m_codeCell->setAccessibleDescription(detail);
}

void WebserverViewController::refreshSleepModeLabel()
{
    if (!m_sleepModeLabel)
        return;
    static_cast<SleepModeLabel *>(m_sleepModeLabel.data())
        ->setFill(isServing() ? sleepLabelRunning : sleepLabelStopped);
}

Switch *WebserverViewController::startSwitch() const
{
    return m_startSwitch;
}

Switch *WebserverViewController::codeSwitch() const
{
    return m_codeSwitch;
}

Label *WebserverViewController::wifiLable() const
{
    return m_wifiLable;
}

Label *WebserverViewController::g3Lable() const
{
    return m_g3Lable;
}

TextView *WebserverViewController::messagePrompt() const
{
    return m_messagePrompt;
}

Label *WebserverViewController::diskSizeLabel() const
{
    return m_diskSizeLabel;
}

Label *WebserverViewController::sleepModeLabel() const
{
    return m_sleepModeLabel;
}

ActivityIndicator *WebserverViewController::activityView() const
{
    return m_activityView;
}

QColor WebserverViewController::sleepModeColour() const
{
    return m_sleepModeLabel ? static_cast<SleepModeLabel *>(m_sleepModeLabel.data())->fill() : QColor();
}
