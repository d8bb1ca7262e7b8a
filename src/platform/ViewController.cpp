#include "ViewController.h"

#include "View.h"
#include "Window.h"

ViewController::ViewController(QObject *parent) : QObject(parent)
{}

ViewController::~ViewController()
{
    resignFirstResponder();
    delete m_view.data();
}

View *ViewController::view()
{
    if (!m_view) {
        m_view = loadView();
        m_view->setViewController(this);
        viewDidLoad();
    }
    return m_view;
}

bool ViewController::isOnScreen() const
{
    return m_view && qobject_cast<Window *>(m_view->parentWidget());
}

View *ViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(Qt::black);
    return root;
}

void ViewController::viewWillAppear(bool)
{}
void ViewController::viewDidAppear(bool)
{}
void ViewController::viewWillDisappear(bool)
{}
void ViewController::viewDidDisappear(bool)
{}

bool ViewController::becomeFirstResponder()
{
    // The window the view is in, key or not yet (the launch adds the menu before showing).
    Window *window = m_view ? qobject_cast<Window *>(m_view->parentWidget()) : nullptr;
    if (!window || !canBecomeFirstResponder())
        return false;
    window->setFirstResponder(this);
    return true;
}

bool ViewController::resignFirstResponder()
{
    Window *window = m_view ? qobject_cast<Window *>(m_view->parentWidget()) : nullptr;
    if (window && window->firstResponder() == this)
        window->setFirstResponder(nullptr);
    return true;
}

bool ViewController::isFirstResponder() const
{
    Window *window = m_view ? qobject_cast<Window *>(m_view->parentWidget()) : nullptr;
    return window && window->firstResponder() == this;
}

void ViewController::remoteControlReceivedWithEvent(const RemoteControlEvent &)
{}
