#include "ZivoViewController.h"
#include "library/NotificationNames.h"

#include "MusicDetail.h"
#include "PlayInfoPanel.h"
#include "ZivoAppDelegate.h"
#include "platform/NotificationCenter.h"

ZivoViewController::ZivoViewController(QObject *parent) : ViewController(parent)
{}

void ZivoViewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    RemoteControl::shared().beginReceivingRemoteControlEvents();
    becomeFirstResponder();
}

void ZivoViewController::viewWillDisappear(bool animated)
{
    ViewController::viewWillDisappear(animated);
    resignFirstResponder();
}

void ZivoViewController::remoteControlReceivedWithEvent(const RemoteControlEvent &event)
{
    if (event.type != RemoteControlEvent::RemoteControl)
        return;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    PlayInfoPanel *panel = m_appDelegate ? m_appDelegate->playInfoPanel() : nullptr;
    MusicDetail *detail = m_appDelegate ? m_appDelegate->musicDetail() : nullptr;
    switch (event.subtype) {
    case RemoteControlEvent::Play:
    case RemoteControlEvent::Pause:
    case RemoteControlEvent::Stop:
    case RemoteControlEvent::TogglePlayPause:
        center.postNotificationName(Notify::soundPlay, QStringLiteral("playPause"));
        center.postNotificationName(Notify::playOrPauseMusic);
        break;
    case RemoteControlEvent::NextTrack:
        center.postNotificationName(Notify::soundPlay, QStringLiteral("next"));
        if (panel)
            panel->playMusicNextUi();
        if (detail)
            detail->uiMusicNext();
        break;
    case RemoteControlEvent::PreviousTrack:
        center.postNotificationName(Notify::soundPlay, QStringLiteral("prev"));
        if (panel)
            panel->playMusicPrevUi();
        if (detail)
            detail->uiMusicPrev();
        break;
    default:
        break;
    }
}
