#include "RemoteControl.h"

#include "ViewController.h"
#include "Window.h"

RemoteControl &RemoteControl::shared()
{
    static RemoteControl instance;
    return instance;
}

bool RemoteControl::deliver(const RemoteControlEvent &event)
{
    if (!m_receiving)
        return false;
    Window *window = Window::keyWindow();
    ViewController *responder = window ? window->firstResponder() : nullptr;
    if (!responder)
        return false;
    responder->remoteControlReceivedWithEvent(event);
    emit delivered(event.type, event.subtype);
    return true;
}
