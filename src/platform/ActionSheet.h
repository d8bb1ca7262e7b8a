#pragma once

#include "View.h"

#include <QStringList>

class ActionSheet;

class ActionSheetDelegate
{
public:
    virtual ~ActionSheetDelegate() = default;
    virtual void actionSheetClickedButtonAtIndex(ActionSheet *sheet, int buttonIndex) = 0;
};

// A choice that slides up from the bottom of the key window. The destructive button,
// when there is one, is the first (index 0, drawn in red); the other buttons follow in
// order and the cancel button comes last.
class ActionSheet : public View
{
    Q_OBJECT
public:
    ActionSheet(const QString &title, ActionSheetDelegate *delegate, const QString &cancelButtonTitle,
                const QString &destructiveButtonTitle, const QStringList &otherButtonTitles = {});
    ~ActionSheet() override;

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    QString title() const { return m_title; }
    int numberOfButtons() const { return int(m_buttonTitles.size()); }
    QString buttonTitleAtIndex(int index) const { return m_buttonTitles.value(index); }
    int destructiveButtonIndex() const { return m_hasDestructive ? 0 : -1; }
    int cancelButtonIndex() const { return m_hasCancel ? numberOfButtons() - 1 : -1; }

    void show();
    void dismissWithClickedButtonIndex(int index);

    static QList<ActionSheet *> visibleSheets();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    ActionSheetDelegate *m_delegate;
    QStringList m_buttonTitles;
    bool m_hasDestructive;
    bool m_hasCancel;
    int m_tag = 0;
    bool m_dismissed = false;
};
