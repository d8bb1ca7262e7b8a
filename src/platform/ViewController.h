#pragma once

#include <QObject>
#include <QPointer>

#include "RemoteControl.h"

#include "View.h"

// A screen: owns a root view that is made on first use, and hears the view lifecycle
// when the view is added to or removed from the window.
class ViewController : public QObject
{
    Q_OBJECT
public:
    explicit ViewController(QObject *parent = nullptr);
    ~ViewController() override;

    // The root view, loaded (loadView, then viewDidLoad) on first use.
    View *view();
    bool isViewLoaded() const { return m_view != nullptr; }
    // True while the root view is in the window.
    bool isOnScreen() const;

    virtual void viewWillAppear(bool animated);
    virtual void viewDidAppear(bool animated);
    virtual void viewWillDisappear(bool animated);
    virtual void viewDidDisappear(bool animated);

    virtual bool canBecomeFirstResponder() const { return false; }
    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const;
    virtual void remoteControlReceivedWithEvent(const RemoteControlEvent &event);
    // Escape pressed while this screen is on top: a screen with a back button goes back
    // and answers true.
    virtual bool escapePressed() { return false; }

protected:
    // Makes the root view: a 320 x 480 black view unless a screen builds its own.
    virtual View *loadView();
    virtual void viewDidLoad() {}

private:
    // Owned here while out of the window; while in it the window's child list holds it too,
    // and whichever goes first takes it along (QPointer notices).
    QPointer<View> m_view;
};
