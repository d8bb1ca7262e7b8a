#pragma once

#include "platform/NotificationCenter.h"

// The application delegate's progress overlay, as the folder cache builder drives it.
// Closing goes through the Notify::closeMessageProgress notification.
class ProgressOverlayHost
{
public:
    virtual ~ProgressOverlayHost() = default;
    // Shows the overlay; the notification's object is [text, progress].
    virtual void viewMessageProgress(const Notification &notification) = 0;
    // Moves the bar of the overlay that is shown.
    virtual void setMessageProgress(float progress) = 0;
};
