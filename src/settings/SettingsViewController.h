#pragma once

#include "app/ScreenInterfaces.h"
#include "app/ZivoViewController.h"
#include "platform/TableViewDataSource.h"
#include "platform/TableViewDelegate.h"

#include <QPointer>

class IdleTimer;
class Label;
class NavigationBar;
class Switch;
class TableView;

// The settings screen: the tag encoding (opening the picker), whether the screen may dim
// while Orbo is active, whether earphone commands beep, and the invitation to write a
// review, with the version underneath. The rows are built afresh whenever they are shown;
// the switches and the encoding label of the rows in view are reachable below.
class SettingsViewController : public ZivoViewController,
                               public SettingsReload,
                               public TableViewDataSource,
                               public TableViewDelegate
{
    Q_OBJECT
public:
    enum Section { PlayerSection, ReviewSection, SectionCount };
    enum PlayerRow { EncodingRow, SleepModeRow, BeepSoundRow, PlayerRowCount };

    explicit SettingsViewController(QObject *parent = nullptr);

    void closeView();
    void addEncodingsView();
    void addHelpView();
    void screenSleepModeSetting(bool on);
    void beepSoundModeSetting(bool on);
    void writeReview();
    void reloadSettings() override;

    NavigationBar *titleNavigationBar() const { return m_titleNavigationBar; }
    TableView *listTableView() const { return m_listTableView; }
    Switch *sleepModeSwitch() const;
    Switch *beepSoundSwitch() const;
    Label *encodingLabel() const;

    void setIdleTimer(IdleTimer *timer) { m_idleTimer = timer; }

    void viewWillAppear(bool animated) override;
    bool escapePressed() override;

    int numberOfSectionsInTableView(TableView *) override { return SectionCount; }
    int numberOfRowsInSection(TableView *table, int section) override;
    TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;
    QString titleForHeaderInSection(TableView *table, int section) override;
    QString titleForFooterInSection(TableView *table, int section) override;
    void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) override;

protected:
    View *loadView() override;

private:
    bool sleepSwitchOn() const;
    bool beepSwitchOn() const;

    NavigationBar *m_titleNavigationBar = nullptr;
    TableView *m_listTableView = nullptr;
    QPointer<Switch> m_sleepModeSwitch;
    QPointer<Switch> m_beepSoundSwitch;
    QPointer<Label> m_encodingLabel;
    IdleTimer *m_idleTimer;
};
