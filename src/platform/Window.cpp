#include "Window.h"

#include "RemoteControl.h"
#include "ViewController.h"

#include <QKeyEvent>

namespace {
QPointer<Window> &currentKeyWindow()
{
    static QPointer<Window> window;
    return window;
}
} // namespace

Window::Window(QWidget *parent) : View(parent)
{
    setWindowTitle(QStringLiteral("Orbo"));
    setFixedSize(width, height);
    setBackgroundColor(Qt::black);
    setFocusPolicy(Qt::StrongFocus);
}

Window::~Window()
{
    if (currentKeyWindow() == this)
        currentKeyWindow() = nullptr;
}

Window *Window::keyWindow()
{
    return currentKeyWindow();
}

void Window::makeKeyAndVisible()
{
    currentKeyWindow() = this;
    show();
    activateWindow();
    setFocus();
}

void Window::addSubview(QWidget *view)
{
    place(view, nullptr);
}

void Window::insertSubviewBelow(QWidget *view, QWidget *sibling)
{
    place(view, contains(sibling) ? sibling : nullptr);
}

void Window::place(QWidget *view, QWidget *below)
{
    auto *root = qobject_cast<View *>(view);
    ViewController *controller = root ? root->viewController() : nullptr;
    const bool arriving = !contains(view);
    if (arriving && controller)
        controller->viewWillAppear(false);
    if (arriving)
        view->setParent(this);
    if (below) {
        view->stackUnder(below);
    } else {
        view->raise();
        // Alerts and action sheets stay above whatever arrives after them.
        if (!(root && root->floatsOnTop()))
            for (QWidget *child : subviews())
                if (auto *floating = qobject_cast<View *>(child); floating && floating->floatsOnTop())
                    floating->raise();
    }
    view->setVisible(!View::isHidden(view));
    if (arriving && controller)
        controller->viewDidAppear(false);
}

void Window::removeSubview(QWidget *view)
{
    if (!contains(view))
        return;
    auto *root = qobject_cast<View *>(view);
    ViewController *controller = root ? root->viewController() : nullptr;
    if (controller)
        controller->viewWillDisappear(false);
    view->hide();
    view->setParent(nullptr);
    if (controller)
        controller->viewDidDisappear(false);
    // A screen laid over another has gone: the remote's events go to the screen now on top.
    if (!m_firstResponder)
        passFirstResponderToTop();
}

bool Window::askScreensFromTheTop(const std::function<bool(ViewController *)> &ask) const
{
    const QList<QWidget *> stack = subviews();
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        auto *root = qobject_cast<View *>(*it);
        ViewController *controller = root ? root->viewController() : nullptr;
        if (controller && !View::isHidden(root) && ask(controller))
            return true;
    }
    return false;
}

void Window::passFirstResponderToTop()
{
    askScreensFromTheTop([](ViewController *screen) { return screen->becomeFirstResponder(); });
}

int Window::remoteSubtypeForKey(int key)
{
    switch (key) {
    case Qt::Key_MediaPlay:
        return RemoteControlEvent::Play;
    case Qt::Key_MediaPause:
        return RemoteControlEvent::Pause;
    case Qt::Key_MediaStop:
        return RemoteControlEvent::Stop;
    case Qt::Key_MediaTogglePlayPause:
        return RemoteControlEvent::TogglePlayPause;
    case Qt::Key_MediaNext:
        return RemoteControlEvent::NextTrack;
    case Qt::Key_MediaPrevious:
        return RemoteControlEvent::PreviousTrack;
    default:
        return 0;
    }
}

void Window::keyPressEvent(QKeyEvent *event)
{
    // The topmost screen that has a way back takes it.
    if (event->key() == Qt::Key_Escape
        && askScreensFromTheTop([](ViewController *screen) { return screen->escapePressed(); })) {
        event->accept();
        return;
    }
    if (const int subtype = remoteSubtypeForKey(event->key())) {
        RemoteControl::shared().deliverSubtype(subtype);
        event->accept();
        return;
    }
    View::keyPressEvent(event);
}
