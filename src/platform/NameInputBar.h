#pragma once

#include "View.h"

class Button;
class TextField;

// The bar in which a list screen asks for a new name: a text field with OK and Cancel.
// It waits parked below its screen's bottom edge, hidden (out of reach of Tab and screen
// readers too), rises when opened and rides on top of the keyboard when it shows.
class NameInputBar : public View
{
    Q_OBJECT
public:
    static constexpr int height = 44;

    // fieldName is the field's placeholder and accessible name.
    NameInputBar(const QString &fieldName, const QString &okTitle, const QString &cancelTitle, QWidget *parent);

    TextField *field() const { return m_field; }
    Button *okButton() const { return m_ok; }
    Button *cancelButton() const { return m_cancel; }

    // Shows the bar and puts the focus in the field (which makes the keyboard show).
    void open();
    // Moves the bar, animated, to just above a keyboard of that frame.
    void rideAboveKeyboard(const QRect &keyboardFrame);
    // Back below the bottom edge, hidden, the focus given up; the text stays.
    void park();

signals:
    // OK, or Enter in the field.
    void submitted();
    void cancelled();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutParts();

    TextField *m_field;
    Button *m_ok;
    Button *m_cancel;
};
