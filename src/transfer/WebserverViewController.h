#pragma once

#include "app/ZivoViewController.h"
#include "platform/AlertView.h"
#include "platform/DispatchQueue.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QMap>
#include <QPointer>
#include <QVariantMap>

#include <functional>
#include <memory>

class ActivityIndicator;
class HTTPServer;
class IdleTimer;
class Label;
class NavigationBar;
class Switch;
class TableView;
class TextView;
class URLProbe;

// The Wi-Fi transfer screen: a switch that runs the upload server on the library, the
// addresses a browser reaches it under, the server's messages (newest first) and the
// storage line. While the server runs the desktop is kept awake. Leaving the screen stops
// the server. Optionally the server asks for a six-digit code, new at every start.
//
// The rows are rebuilt whenever the list shows them; what they show lives here, and the
// controls of the rows in view are reachable through the accessors below.
class WebserverViewController : public ZivoViewController,
                                public TableViewDataSource,
                                public TableViewDelegate,
                                public AlertViewDelegate
{
    Q_OBJECT
public:
    static constexpr quint16 defaultPort = 5551;
    static constexpr int cautionAlertTag = 3;
    enum Section { ServerSection, MessageSection, StorageSection, SectionCount };
    enum ServerRow { StartRow, WifiRow, MobileRow, CodeRow, ServerRowCount };

    explicit WebserverViewController(quint16 port = defaultPort, QObject *parent = nullptr);
    ~WebserverViewController() override;

    // --- Actions ---
    // The switch changed (also what a test or the keyboard does).
    void startStopServer(bool on);
    // The code switch changed: stored, and applied to a running server at once.
    void requireCodeChanged(bool on);
    void closeView();
    void addHelpView();
    // Redraws the URLs; with addresses, they replace the last known ones first.
    void displayInfoUpdate(const QVariantMap *addresses = nullptr);
    // A server message goes on top of the message view; the storage line is measured again.
    void webservPromptUpdate(const QString &message);
    // Measures the storage line in the background.
    void checkUseDisk();

    // --- State ---
    HTTPServer *httpServer() const { return m_httpServer.get(); }
    bool isServing() const;
    QString messages() const { return m_messages; }
    QString wifiText() const { return m_wifiText; }
    QString mobileText() const { return m_mobileText; }
    QString storageText() const { return m_storageText; }
    // The code the server asks for while it runs with the code switch on, else empty.
    QString accessCode() const { return m_accessCode; }
    bool requiresCode() const;
    // True while the screen keeps the desktop awake.
    bool keepsAwake() const;

    // The controls of the rows in view (null for a row out of view).
    Switch *startSwitch() const;
    Switch *codeSwitch() const;
    Label *wifiLable() const;
    Label *g3Lable() const;
    TextView *messagePrompt() const;
    Label *diskSizeLabel() const;
    // Its fill colour tells whether the desktop is kept awake.
    Label *sleepModeLabel() const;
    QColor sleepModeColour() const;
    ActivityIndicator *activityView() const;
    NavigationBar *titleNavigationBar() const { return m_titleNavigationBar; }
    TableView *listTableView() const { return m_listTableView; }

    // --- Seams ---
    // Who lists the machine's addresses (in the background, answering with the
    // addresses notification); tests hand in fixed lists.
    void setAddressLister(std::function<void()> lister) { m_addressLister = std::move(lister); }
    void setIdleTimer(IdleTimer *timer) { m_idleTimer = timer; }
    // The folders measured by the storage line (the program's home and its Documents).
    void setStorageFolders(const QString &home, const QString &documents);
    // Blocks until the storage measurement queued so far is done (tests and benchmarks).
    bool waitForStorage(int msecs);
    // How many storage measurements have been shown so far.
    int storageMeasurements() const { return m_storageMeasurements; }

    // --- Screen ---
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool escapePressed() override;

    // --- List ---
    int numberOfSectionsInTableView(TableView *) override { return SectionCount; }
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    QString titleForHeaderInSection(TableView *table, int section) override;
    QString titleForFooterInSection(TableView *table, int section) override;
    int heightForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override;

    // "http://address:port".
    static QString urlText(const QString &address, quint16 port);

protected:
    View *loadView() override;

private:
    void showCautionUnlessDeclined();
    void stopServer();
    void setMessages(const QString &text);
    void setWifiText(const QString &text);
    void setMobileText(const QString &text);
    void setStorageText(const QString &text);
    void setProbing(bool probing);
    void setKeepAwake(bool on);
    void followSleepSetting();
    void refreshSwitches();
    void refreshCodeRow();
    void refreshSleepModeLabel();
    void checkMobileAddress(const QString &address, quint16 port);

    quint16 m_port;
    std::unique_ptr<HTTPServer> m_httpServer;
    QMap<QString, QString> m_addresses;
    QString m_messages;
    QString m_wifiText;
    QString m_mobileText;
    QString m_storageText;
    QString m_accessCode;
    bool m_probing = false;
    bool m_keepingAwake = false;

    NavigationBar *m_titleNavigationBar = nullptr;
    TableView *m_listTableView = nullptr;
    QPointer<Switch> m_startSwitch;
    QPointer<Switch> m_codeSwitch;
    QPointer<Label> m_wifiLable;
    QPointer<Label> m_g3Lable;
    QPointer<TextView> m_messagePrompt;
    QPointer<Label> m_diskSizeLabel;
    QPointer<Label> m_sleepModeLabel;
    QPointer<ActivityIndicator> m_activityView;
    QPointer<TableViewCell> m_codeCell;

    std::function<void()> m_addressLister;
    IdleTimer *m_idleTimer;
    std::unique_ptr<URLProbe> m_probe;
    QString m_storageHome;
    QString m_storageDocuments;
    // Declared last, destroyed first: a measurement still running finishes before the rest goes.
    DispatchQueue m_storageQueue{QStringLiteral("checkUseDisk")};
    int m_storageRunning = 0;
    bool m_storageAgain = false;
    int m_storageMeasurements = 0;
};
