#include "TextField.h"

#include "NotificationCenter.h"

#include <QFocusEvent>

const QString TextField::keyboardWillShowNotification = QStringLiteral("UIKeyboardWillShowNotification");
const QString TextField::keyboardFrameEndUserInfoKey = QStringLiteral("UIKeyboardFrameEndUserInfoKey");

TextField::TextField(QWidget *parent) : QLineEdit(parent)
{
    setClearButtonEnabled(true);
    setStyleSheet(QStringLiteral("QLineEdit { background: #232733; color: #eef1f5; border: 1px solid #3a4150;"
                                 " border-radius: 8px; padding: 4px 8px; }"
                                 "QLineEdit:focus { border: 1px solid #2eccc4; }"));
}

TextField::TextField(const QRect &frame, QWidget *parent) : TextField(parent)
{
    setGeometry(frame);
}

void TextField::becomeFirstResponder()
{
    setFocus(Qt::OtherFocusReason);
    // A window that is not active (or an offscreen one) delivers no focus event: the
    // keyboard shows all the same.
    keyboardShows();
}

void TextField::resignFirstResponder()
{
    m_firstResponder = false;
    if (hasFocus())
        clearFocus();
}

void TextField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    keyboardShows();
}

void TextField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Focus that goes to another window (a menu, the desktop) comes back by itself.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_firstResponder = false;
}

void TextField::keyboardShows()
{
    if (m_firstResponder)
        return;
    m_firstResponder = true;
    NotificationCenter::defaultCenter().postNotificationName(keyboardWillShowNotification, QVariant(),
                                                             {{keyboardFrameEndUserInfoKey, QRect()}});
}
