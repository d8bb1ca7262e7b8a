#pragma once

#include <QLineEdit>

// A single-line text field. The desktop has no on-screen keyboard, but screens are laid
// out for one: when the field takes the focus it posts keyboardWillShowNotification with
// an empty keyboard frame (keyboardFrameEndUserInfoKey), so a screen that keeps its field
// above the keyboard simply keeps it in view. Enter is the keyboard's return key.
class TextField : public QLineEdit
{
    Q_OBJECT
public:
    static const QString keyboardWillShowNotification;
    // The keyboard's frame when it has shown (a QRect; empty on the desktop).
    static const QString keyboardFrameEndUserInfoKey;

    explicit TextField(QWidget *parent = nullptr);
    TextField(const QRect &frame, QWidget *parent = nullptr);

    // Takes the focus: the keyboard "shows".
    void becomeFirstResponder();
    // Gives the focus up: the keyboard "hides".
    void resignFirstResponder();
    bool isFirstResponder() const { return m_firstResponder; }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void keyboardShows();

    bool m_firstResponder = false;
};
