#include "TestHome.h"
#include "support/ShellFakes.h"

#include "app/ZivoAppDelegate.h"
#include "browse/MusicMainViewController.h"
#include "library/NotificationNames.h"
#include "library/SettingsKeys.h"
#include "platform/ActivityIndicator.h"
#include "platform/AlertView.h"
#include "platform/Button.h"
#include "platform/IdleTimer.h"
#include "platform/Label.h"
#include "platform/NavigationBar.h"
#include "platform/NotificationCenter.h"
#include "platform/Switch.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/TextView.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "transfer/HTTPServer.h"
#include "transfer/LoopbackClient.h"
#include "transfer/WebserverViewController.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

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

// The program's shell with the menu and the transfer screen (on a free port), launched.
struct Shell
{
    explicit Shell(quint16 port = 0)
    {
        IdleTimer::shared().setIdleTimerDisabled(false);
        IdleTimer::shared().setInBackground(false);
        ScreenFactory screens;
        screens.add(Screen::MusicMain, [] { return std::make_unique<MusicMainViewController>(); });
        screens.add(Screen::Webserver, [port] { return std::make_unique<WebserverViewController>(port); });
        screens.add(Screen::Help, [] { return std::make_unique<RecordingScreen>(QStringLiteral("help")); });
        delegate.emplace(screens);
        delegate->setPlayInfoPanel(&player);
        delegate->didFinishLaunchingWithOptions();
        menu = qobject_cast<MusicMainViewController *>(delegate->screen(Screen::MusicMain));
        screen = qobject_cast<WebserverViewController *>(delegate->screen(Screen::Webserver));
        // A fixed list of interfaces, answered the way the real listing answers.
        screen->setAddressLister([this] {
            NotificationCenter::defaultCenter().postNotificationName(TransferNotify::addressesResolved, addresses);
        });
        // The caution was declined long ago, unless a test says otherwise.
        defaults().setObject(QStringLiteral("1"), SettingsKeys::caution3gmsgkey);
    }
    ~Shell()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0);
        delegate.reset();
        IdleTimer::shared().setIdleTimerDisabled(false);
        IdleTimer::shared().setInBackground(false);
    }
    void open()
    {
        menu->button(Entry::Transfer)->click();
        ASSERT_TRUE(screen->isOnScreen());
    }
    // Switches the server on as the user does and waits for the addresses.
    void switchOn()
    {
        ASSERT_TRUE(screen->startSwitch());
        screen->startSwitch()->click();
        ASSERT_TRUE(screen->isServing()) << screen->messages().toStdString();
    }
    quint16 port() const { return screen->httpServer() ? screen->httpServer()->port() : 0; }

    TestHome home;
    FakePlayer player;
    QVariantMap addresses{{"lo", "127.0.0.1"}, {"docker0", "172.17.0.1"}, {"eth0", "192.0.2.9"}};
    std::optional<ZivoAppDelegate> delegate;
    MusicMainViewController *menu = nullptr;
    WebserverViewController *screen = nullptr;
};

// curl, run without blocking the event loop that serves it; the HTTP status, or -1.
int curl(const QStringList &arguments, QByteArray *body = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("curl"), QStringList{"-s", "--max-time", "10", "-w", "\n%{http_code}"} + arguments);
    if (!process.waitForStarted(5000))
        return -1;
    if (!waitUntil([&] { return process.state() == QProcess::NotRunning; }, 15000))
        return -1;
    QByteArray out = process.readAllStandardOutput();
    const qsizetype cut = out.lastIndexOf('\n');
    if (body)
        *body = out.left(cut);
    return out.mid(cut + 1).toInt();
}

bool accepts(quint16 port)
{
    LoopbackClient client(port);
    if (!client.isConnected())
        return false;
    client.send("GET /success HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    const auto response = client.readResponse(false, 5000);
    return response && response->status == 200;
}

TEST(TransferScreen, OnServesTheLibraryAndShowsTheUrlsOffStopsIt)
{
    Shell s;
    s.open();
    EXPECT_EQ(s.screen->titleNavigationBar()->title(), "File Transfer Title");
    EXPECT_EQ(s.screen->wifiLable()->text(), "No Connection");
    EXPECT_EQ(s.screen->g3Lable()->text(), "No Connection");
    EXPECT_FALSE(s.screen->startSwitch()->isOn());

    s.switchOn();
    EXPECT_TRUE(s.screen->startSwitch()->isOn());
    EXPECT_EQ(s.screen->messagePrompt()->text(), "Sever Started\n");
    const quint16 port = s.port();
    ASSERT_NE(port, 0);
    EXPECT_TRUE(accepts(port));
    // The wired interface stands in for Wi-Fi; loopback and the container bridge never do.
    ASSERT_TRUE(waitUntil([&] { return s.screen->wifiLable()->text() != "No Connection"; }));
    EXPECT_EQ(s.screen->wifiLable()->text(), QStringLiteral("http://192.0.2.9:%1").arg(port));
    EXPECT_EQ(s.screen->wifiLable()->accessibleDescription(), s.screen->wifiLable()->text());
    EXPECT_EQ(s.screen->g3Lable()->text(), "No Connection");
    EXPECT_TRUE(s.screen->keepsAwake());
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());
    EXPECT_EQ(s.screen->sleepModeColour(), QColor(48, 110, 230));

    // An upload arrives: its line goes on top and the storage line is measured again.
    ASSERT_TRUE(waitUntil([&] { return s.screen->storageMeasurements() >= 1; }));
    const int measured = s.screen->storageMeasurements();
    const QString song = s.home.path() + "/song one.mp3";
    QFile file(song);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(5000, 'x'));
    file.close();
    ASSERT_EQ(curl({"-F", "folder=/", "-F", "file=@" + song, QStringLiteral("http://127.0.0.1:%1/upload").arg(port)}),
              200);
    ASSERT_TRUE(waitUntil([&] { return s.screen->messages().startsWith("[song one.mp3] upload Success\n"); }))
        << s.screen->messages().toStdString();
    EXPECT_EQ(s.screen->messagePrompt()->text(), "[song one.mp3] upload Success\nSever Started\n");
    EXPECT_TRUE(QFile::exists(s.home.documents() + "/song one.mp3"));
    EXPECT_TRUE(waitUntil([&] { return s.screen->storageMeasurements() > measured; }));
    EXPECT_TRUE(s.screen->diskSizeLabel()->text().startsWith("USED:")) << s.screen->storageText().toStdString();

    // Off: nothing listens any more, the URLs are gone and the desktop may sleep again.
    s.screen->startSwitch()->click();
    EXPECT_FALSE(s.screen->startSwitch()->isOn());
    EXPECT_EQ(s.screen->httpServer(), nullptr);
    EXPECT_FALSE(LoopbackClient(port).isConnected());
    EXPECT_EQ(s.screen->messagePrompt()->text(), "Server Stopped\n");
    EXPECT_EQ(s.screen->wifiLable()->text(), "No Connection");
    EXPECT_FALSE(s.screen->keepsAwake());
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());
    EXPECT_EQ(s.screen->sleepModeColour(), QColor(170, 174, 182));
}

TEST(TransferScreen, StoppingFollowsTheScreenSleepSetting)
{
    Shell s;
    s.open();
    defaults().setObject(QStringLiteral("1"), SettingsKeys::ScreenAutoSleepModeKey);
    s.switchOn();
    s.screen->startSwitch()->click();
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled()); // the user keeps the screen lit anyway
    defaults().setObject(QStringLiteral("0"), SettingsKeys::ScreenAutoSleepModeKey);
    s.switchOn();
    s.screen->startSwitch()->click();
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());
}

TEST(TransferScreen, TheCautionIsShownUntilTheUserDeclinesIt)
{
    Shell s;
    defaults().removeObjectForKey(SettingsKeys::caution3gmsgkey);
    s.open();
    const auto caution = [] {
        const QList<AlertView *> alerts = AlertView::visibleAlerts();
        return alerts.isEmpty() ? nullptr : alerts.last();
    };
    s.switchOn(); // the alert does not hold the server up
    AlertView *alert = caution();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Caution");
    EXPECT_EQ(alert->message(), "communication charges.");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "OK");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "Don't show again");
    alert->dismissWithClickedButtonIndex(0);
    EXPECT_TRUE(defaults().stringForKey(SettingsKeys::caution3gmsgkey).isEmpty());

    // "OK" only closes it: it comes back at the next start.
    s.screen->startSwitch()->click();
    s.switchOn();
    alert = caution();
    ASSERT_TRUE(alert);
    alert->dismissWithClickedButtonIndex(1);
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::caution3gmsgkey), "1");

    s.screen->startSwitch()->click();
    s.switchOn();
    EXPECT_EQ(caution(), nullptr);
}

TEST(TransferScreen, APortThatIsTakenTurnsTheSwitchBackOffAndKeepsNothingAwake)
{
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::Any, 0));
    Shell s(squatter.serverPort());
    s.open();
    s.screen->startSwitch()->click();
    EXPECT_FALSE(s.screen->isServing());
    EXPECT_EQ(s.screen->httpServer(), nullptr);
    EXPECT_FALSE(s.screen->startSwitch()->isOn());
    EXPECT_FALSE(s.screen->messages().contains("Sever Started"));
    EXPECT_FALSE(s.screen->messages().trimmed().isEmpty());
    EXPECT_TRUE(s.screen->messagePrompt()->text().contains("in use")) << s.screen->messages().toStdString();
    EXPECT_FALSE(s.screen->keepsAwake());
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());
    EXPECT_EQ(s.screen->sleepModeColour(), QColor(170, 174, 182)); // grey: nothing kept awake
    // Addresses that arrive now belong to no server.
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(s.screen->wifiLable()->text(), "No Connection");
}

TEST(TransferScreen, FocusMovingToTheBrowserKeepsTheDesktopAwakeMinimisingDoesNot)
{
    Shell s;
    s.open();
    s.delegate->handleApplicationState(Qt::ApplicationActive);
    s.switchOn();
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());

    // The user switches to the browser to upload: the window is no longer active.
    s.delegate->handleApplicationState(Qt::ApplicationInactive);
    EXPECT_TRUE(s.screen->keepsAwake());
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());

    // Minimised: the desktop may sleep; restored: it is kept awake again.
    s.delegate->handleApplicationState(Qt::ApplicationHidden);
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());
    EXPECT_TRUE(s.screen->isServing());
    s.delegate->handleApplicationState(Qt::ApplicationActive);
    EXPECT_TRUE(IdleTimer::shared().isIdleTimerDisabled());

    // Leaving the screen stops the server and lets go.
    s.screen->titleNavigationBar()->leftButton()->click();
    EXPECT_TRUE(s.menu->isOnScreen());
    EXPECT_EQ(s.delegate->currentViewController(), s.menu);
    EXPECT_FALSE(s.screen->isServing());
    EXPECT_FALSE(s.screen->keepsAwake());
    EXPECT_FALSE(IdleTimer::shared().isIdleTimerDisabled());
}

TEST(TransferScreen, LeavingWhileServingStopsAndComingBackShowsItOff)
{
    Shell s;
    s.open();
    s.switchOn();
    const quint16 port = s.port();
    ASSERT_TRUE(waitUntil([&] { return s.screen->wifiText() != "No Connection"; }));
    EXPECT_TRUE(s.screen->escapePressed());
    EXPECT_FALSE(s.screen->isOnScreen());
    EXPECT_FALSE(LoopbackClient(port).isConnected());
    EXPECT_TRUE(s.screen->messages().isEmpty());

    s.open();
    EXPECT_FALSE(s.screen->startSwitch()->isOn());
    EXPECT_EQ(s.screen->wifiLable()->text(), "No Connection");
    EXPECT_EQ(s.screen->g3Lable()->text(), "No Connection");
    EXPECT_TRUE(s.screen->messagePrompt()->text().isEmpty());
    EXPECT_EQ(s.screen->diskSizeLabel()->text(), "Loading information ...");
}

TEST(TransferScreen, AnAnsweringMobileLinkShowsItsUrl)
{
    Shell s;
    // No Wi-Fi or wired link; the mobile one reaches this machine (loopback stands in).
    s.addresses = {{"lo", "127.0.0.1"}, {"ppp0", "127.0.0.1"}};
    s.open();
    s.switchOn();
    const QString url = QStringLiteral("http://127.0.0.1:%1").arg(s.port());
    ASSERT_TRUE(waitUntil([&] { return s.screen->g3Lable()->text() == url; }, 8000))
        << s.screen->g3Lable()->text().toStdString();
    EXPECT_FALSE(s.screen->activityView()->isVisible());
    EXPECT_EQ(s.screen->wifiLable()->text(), "No Connection");
}

TEST(TransferScreen, TheCodeSwitchProtectsEveryRequestWithANewCodeAtEachStart)
{
    Shell s;
    s.open();
    ASSERT_TRUE(s.screen->codeSwitch());
    EXPECT_FALSE(s.screen->codeSwitch()->isOn()); // off unless asked for
    s.screen->codeSwitch()->click();
    EXPECT_EQ(defaults().stringForKey(SettingsKeys::transferRequireCodeKey), "1");
    s.switchOn();
    const QString code = s.screen->accessCode();
    EXPECT_TRUE(QRegularExpression("^\\d{6}$").match(code).hasMatch()) << code.toStdString();
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(s.port());

    QByteArray page;
    EXPECT_EQ(curl({url}, &page), 401);
    EXPECT_EQ(curl({"--digest", "-u", "anyone:" + code, url}, &page), 200);
    EXPECT_TRUE(page.contains("uploadify"));
    const QString wrong = code == "000000" ? "000001" : "000000";
    EXPECT_EQ(curl({"--digest", "-u", "anyone:" + wrong, url}), 401);
    // The code is shown on the screen, in the row a screen reader reads too.
    const QList<TableViewCell *> rows = s.screen->listTableView()->findChildren<TableViewCell *>();
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                            [&](TableViewCell *cell) { return cell->accessibleDescription().contains(code); }));

    // Every start makes a new code (a repeat is one chance in a million: try a few).
    QStringList codes{code};
    for (int i = 0; i < 3; ++i) {
        s.screen->startSwitch()->click();
        s.switchOn();
        codes << s.screen->accessCode();
    }
    codes.removeDuplicates();
    EXPECT_GE(codes.size(), 3);
    const QString again = QStringLiteral("http://127.0.0.1:%1/").arg(s.port());
    EXPECT_EQ(curl({"--digest", "-u", "x:" + code, again}), 401);
    EXPECT_EQ(curl({"--digest", "-u", "x:" + s.screen->accessCode(), again}), 200);

    // Turning it off while serving opens the server at once.
    s.screen->codeSwitch()->click();
    EXPECT_TRUE(s.screen->accessCode().isEmpty());
    EXPECT_EQ(curl({again}), 200);
}

TEST(TransferScreen, TheLayoutShowsEveryPart)
{
    Translations::install(QLocale(QLocale::English));
    Shell s;
    s.open();
    s.switchOn();
    ASSERT_TRUE(waitUntil([&] { return s.screen->wifiText() != "No Connection"; }));
    ASSERT_TRUE(waitUntil([&] { return s.screen->storageText().startsWith("Used"); }));
    NotificationCenter::defaultCenter().postNotificationName(TransferNotify::serverMessage,
                                                             QStringLiteral("[Intro.mp3] upload Success\n"));
    TableView *table = s.screen->listTableView();
    EXPECT_EQ(table->numberOfSections(), 3);
    EXPECT_EQ(table->numberOfRowsInSection(0), 4);
    EXPECT_EQ(table->rectForRowAtIndexPath({1, 0}).height(), 120);
    EXPECT_EQ(table->rectForRowAtIndexPath({2, 0}).height(), 35);
    // The switch near x 200 (the list's scroll bar, when shown, takes its width off the row).
    const QWidget *start = s.screen->startSwitch();
    EXPECT_NEAR(start->mapTo(s.delegate->window(), start->rect().center()).x(), 200, 15);
    EXPECT_EQ(s.screen->sleepModeLabel()->text(), "AWAKE");
    const QImage shot = View::snapshot(s.delegate->window());
    EXPECT_TRUE(shot.save(picturePath(s.home, "transfer")));
    if (qEnvironmentVariableIsSet("ORBO_UPDATE_DOCS")) {
        EXPECT_TRUE(shot.save(QStringLiteral(ORBO_SOURCE_DIR "/docs/transfer.png")));
    }
    Translations::uninstall();
}

TEST(TransferScreen, TheEnglishTableFixesTheKeysTypo)
{
    ASSERT_TRUE(Translations::install(QLocale(QLocale::English)));
    EXPECT_EQ(Translations::text("Sever Started"), "Server started");
    EXPECT_EQ(Translations::text("Server Stopped"), "Server stopped");
    Translations::uninstall();
    EXPECT_EQ(Translations::text("Sever Started"), "Sever Started");
}

} // namespace
