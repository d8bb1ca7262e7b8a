#pragma once

#include "platform/ViewController.h"

class ZivoAppDelegate;

// The base of every screen: it answers the media remote while its view is on screen.
// On appearing it asks for remote events and becomes the first responder; on leaving it
// resigns. Play, pause, stop and toggle (100 to 103) beep and toggle the player; next
// (104) and previous (105) beep and move the player; anything else is ignored.
class ZivoViewController : public ViewController
{
    Q_OBJECT
public:
    explicit ZivoViewController(QObject *parent = nullptr);

    ZivoAppDelegate *appDelegate() const { return m_appDelegate; }
    void setAppDelegate(ZivoAppDelegate *delegate) { m_appDelegate = delegate; }

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    bool canBecomeFirstResponder() const override { return true; }
    void remoteControlReceivedWithEvent(const RemoteControlEvent &event) override;

private:
    ZivoAppDelegate *m_appDelegate = nullptr;
};
