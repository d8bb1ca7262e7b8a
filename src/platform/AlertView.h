#pragma once

#include "View.h"

#include <QPointer>
#include <QStringList>

class AlertView;
class Button;

class AlertViewDelegate
{
public:
    virtual ~AlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) = 0;
};

// A modal alert over the key window: title, message and buttons. The cancel button, when
// there is one, has index 0 and the other buttons follow in order. Choosing a button
// tells the delegate (if any), then the alert goes away.
class AlertView : public View
{
    Q_OBJECT
public:
    AlertView(const QString &title, const QString &message, AlertViewDelegate *delegate,
              const QString &cancelButtonTitle, const QStringList &otherButtonTitles = {});
    ~AlertView() override;

    QString title() const { return m_title; }
    QString message() const { return m_message; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    int numberOfButtons() const { return int(m_buttonTitles.size()); }
    QString buttonTitleAtIndex(int index) const { return m_buttonTitles.value(index); }
    int cancelButtonIndex() const { return m_hasCancel ? 0 : -1; }

    // Covers the key window (or stays hidden in the log when there is none).
    void show();
    // As if the user chose the button: the delegate hears it, the alert closes and is deleted.
    void dismissWithClickedButtonIndex(int index);

    // Alerts on screen, oldest first.
    static QList<AlertView *> visibleAlerts();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    QString m_message;
    AlertViewDelegate *m_delegate;
    QStringList m_buttonTitles;
    bool m_hasCancel;
    int m_tag = 0;
    View *m_card = nullptr;
    bool m_dismissed = false;
};
