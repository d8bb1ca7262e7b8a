#pragma once

#include "library/ProgressOverlayHost.h"

#include <memory>

class DDProgressView;
class Label;
class MessageIconView;
class TextView;
class View;
class Window;

// The five message overlays every screen uses: the fading text and icon messages, the
// play-position message, the lasting text message and the progress message with its bar.
// It owns their views and lays them over the window while they are shown.
class MessageOverlays : public ProgressOverlayHost
{
public:
    explicit MessageOverlays(Window &window);
    ~MessageOverlays() override;

    // Gives every overlay its rounded corners (a launch step).
    void roundCorners();

    // Shown for 1.5 s, then faded out over 1.5 s; a new message restarts the cycle.
    void viewMessageAni(const QString &text);
    void viewMessageIconAni(const QString &key);
    // Stay until closed.
    void viewMessage(const QString &text);
    void closeMessage();
    void viewMessageDuration(const QString &text);
    void closeMessageDuration();
    // The object is [text, progress from 0 to 1].
    void viewMessageProgress(const Notification &notification) override;
    void setMessageProgress(float progress) override;
    void closeMessageProgress();

    View *messageView() const { return m_messageView.get(); }
    TextView *messageTextView() const { return m_messageTextView; }
    MessageIconView *messageIconView() const { return m_messageIconView.get(); }
    View *messagViewDuration() const { return m_messagViewDuration.get(); }
    Label *durationLabel() const { return m_durationLabel; }
    View *progressMsgView() const { return m_progressMsgView.get(); }
    Label *progressMsgViewLabel() const { return m_progressMsgViewLabel; }
    DDProgressView *progressMsgViewProgressbar() const { return m_progressMsgViewProgressbar; }
    View *messagViewDel() const { return m_messagViewDel.get(); }
    TextView *messageTextViewDel() const { return m_messageTextViewDel; }

private:
    void showFading(View *overlay);
    void showCentred(View *overlay);

    Window &m_window;
    // Each overlay view is owned here; while shown it is also a child of the window, which
    // never outlives this object (the application delegate destroys it first).
    std::unique_ptr<View> m_messageView;
    TextView *m_messageTextView = nullptr;
    std::unique_ptr<MessageIconView> m_messageIconView;
    std::unique_ptr<View> m_messagViewDuration;
    Label *m_durationLabel = nullptr;
    std::unique_ptr<View> m_progressMsgView;
    Label *m_progressMsgViewLabel = nullptr;
    DDProgressView *m_progressMsgViewProgressbar = nullptr;
    std::unique_ptr<View> m_messagViewDel;
    TextView *m_messageTextViewDel = nullptr;
};
