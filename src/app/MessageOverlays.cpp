#include "MessageOverlays.h"

#include <QPointer>

#include "DDProgressView.h"
#include "MessageIconView.h"
#include "platform/Label.h"
#include "platform/TextView.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

namespace {
const QColor overlayColor(14, 16, 22, 250);
const QColor overlayBorder(255, 255, 255, 28);
constexpr int overlayRadius = 15;
constexpr int fadeDelayMs = 1500;
constexpr int fadeDurationMs = 1500;

std::unique_ptr<View> makePanel(const QRect &frame)
{
    auto view = std::make_unique<View>(frame);
    view->setBackgroundColor(overlayColor);
    view->setBorderColor(overlayBorder);
    // A screen reader announces a message as it appears.
    view->setAccessibleName(QStringLiteral("Message"));
    return view;
}

std::unique_ptr<View> makeTextOverlay(TextView **text)
{
    std::unique_ptr<View> view = makePanel(QRect(0, 0, 240, 120));
    *text = new TextView(QRect(14, 14, 212, 92), view.get());
    (*text)->setFontSize(14, true);
    (*text)->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    (*text)->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return view;
}
} // namespace

MessageOverlays::MessageOverlays(Window &window) : m_window(window)
{
    m_messageView = makeTextOverlay(&m_messageTextView);
    m_messagViewDel = makeTextOverlay(&m_messageTextViewDel);
    m_messageIconView = std::make_unique<MessageIconView>();

    m_messagViewDuration = makePanel(QRect(0, 0, 200, 64));
    m_durationLabel = new Label(QRect(0, 0, 200, 64), m_messagViewDuration.get());
    m_durationLabel->setAlignment(Qt::AlignCenter);
    m_durationLabel->setFontSize(22, true);

    // The progress overlay has a fixed place in the middle of the screen.
    m_progressMsgView = makePanel(QRect(30, 192, 260, 96));
    m_progressMsgViewLabel = new Label(QRect(16, 14, 228, 26), m_progressMsgView.get());
    m_progressMsgViewLabel->setAlignment(Qt::AlignCenter);
    m_progressMsgViewLabel->setFontSize(12, true);
    m_progressMsgViewProgressbar = new DDProgressView(QRect(20, 52, 220, 25), m_progressMsgView.get());
    m_progressMsgViewProgressbar->setInnerColor(QColor(46, 204, 196));
    m_progressMsgViewProgressbar->setOuterColor(QColor(120, 128, 140));
    m_progressMsgViewProgressbar->setEmptyColor(QColor(6, 7, 10));
}

MessageOverlays::~MessageOverlays() = default;

void MessageOverlays::roundCorners()
{
    for (View *overlay : {m_messageView.get(), static_cast<View *>(m_messageIconView.get()), m_messagViewDel.get(),
                          m_messagViewDuration.get(), m_progressMsgView.get()})
        overlay->setCornerRadius(overlayRadius);
}

void MessageOverlays::showCentred(View *overlay)
{
    View::setCenter(overlay, QPoint(Window::width / 2, Window::height / 2));
    View::setAlpha(overlay, 1.0);
    m_window.addSubview(overlay);
}

void MessageOverlays::showFading(View *overlay)
{
    showCentred(overlay);
    ViewAnimation(QStringLiteral("messageFadeAni"), fadeDurationMs)
        .delay(fadeDelayMs)
        .curve(QEasingCurve::InOutQuad)
        .alpha(overlay, 0.0)
        .completion([faded = QPointer<View>(overlay)](bool finished) {
            // Faded out, it stays in the window but is no longer drawn: a transparent view on
            // top would be repainted with every change beneath it (a scrolling title, say).
            if (finished && faded)
                faded->setVisible(false);
        })
        .start();
}

void MessageOverlays::viewMessageAni(const QString &text)
{
    m_messageTextView->setText(text);
    m_messageView->setAccessibleDescription(text);
    showFading(m_messageView.get());
}

void MessageOverlays::viewMessageIconAni(const QString &key)
{
    m_messageIconView->setMessage(key);
    showFading(m_messageIconView.get());
}

void MessageOverlays::viewMessage(const QString &text)
{
    m_messageTextViewDel->setText(text);
    m_messagViewDel->setAccessibleDescription(text);
    showCentred(m_messagViewDel.get());
}

void MessageOverlays::closeMessage()
{
    View::removeFromSuperview(m_messagViewDel.get());
}

void MessageOverlays::viewMessageDuration(const QString &text)
{
    m_durationLabel->setText(text);
    showCentred(m_messagViewDuration.get());
}

void MessageOverlays::closeMessageDuration()
{
    View::removeFromSuperview(m_messagViewDuration.get());
}

void MessageOverlays::viewMessageProgress(const Notification &notification)
{
    m_progressMsgView->setCornerRadius(overlayRadius);
    const QVariantList parts = notification.object.toList();
    m_progressMsgViewLabel->setText(parts.value(0).toString());
    m_progressMsgViewProgressbar->setProgress(parts.value(1).toFloat());
    m_window.addSubview(m_progressMsgView.get());
}

void MessageOverlays::setMessageProgress(float progress)
{
    m_progressMsgViewProgressbar->setProgress(progress);
}

void MessageOverlays::closeMessageProgress()
{
    m_progressMsgViewLabel->setText(QString());
    m_progressMsgViewProgressbar->setProgress(0);
    View::removeFromSuperview(m_progressMsgView.get());
}
