#pragma once

#include "platform/AlertView.h"

#include <QUrl>

#include <functional>

// The once-per-version invitation to write a review, and what its answers do.
// Index 1 "Write a Review" and index 0 "Don't show again" stop the prompt for this
// version (the store is flushed at once); index 2 "Remind me later" changes nothing.
class ReviewPrompt : public AlertViewDelegate
{
public:
    static constexpr int alertTag = 1;

    // True when this version has neither been reviewed nor declined.
    static bool shouldShow();
    // Shows the prompt with this object as the delegate; the alert, or null when not due.
    AlertView *showIfDue();

    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override;
    // Stores the version as reviewed and opens the review page.
    void writeReview();

    // The review page in the desktop's software centre.
    static QUrl reviewPageUrl();
    // Who opens addresses (the desktop by default); tests record instead.
    using UrlOpener = std::function<void(const QUrl &)>;
    void setUrlOpener(UrlOpener opener) { m_opener = std::move(opener); }

private:
    UrlOpener m_opener;
};
