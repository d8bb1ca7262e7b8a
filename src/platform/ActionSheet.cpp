#include "ActionSheet.h"

#include "Button.h"
#include "Label.h"
#include "Window.h"

#include <QLoggingCategory>
#include <QPainter>

Q_LOGGING_CATEGORY(lcSheet, "orbo.actionsheet")

namespace {
QList<ActionSheet *> &shown()
{
    static QList<ActionSheet *> list;
    return list;
}
} // namespace

ActionSheet::ActionSheet(const QString &title, ActionSheetDelegate *delegate, const QString &cancelButtonTitle,
                         const QString &destructiveButtonTitle, const QStringList &otherButtonTitles)
    : m_title(title),
      m_delegate(delegate),
      m_hasDestructive(!destructiveButtonTitle.isEmpty()),
      m_hasCancel(!cancelButtonTitle.isEmpty())
{
    if (m_hasDestructive)
        m_buttonTitles << destructiveButtonTitle;
    m_buttonTitles << otherButtonTitles;
    if (m_hasCancel)
        m_buttonTitles << cancelButtonTitle;
}

ActionSheet::~ActionSheet()
{
    shown().removeAll(this);
}

void ActionSheet::show()
{
    Window *window = Window::keyWindow();
    if (!window) {
        qCWarning(lcSheet).noquote() << "Action sheet without a window:" << m_title;
        deleteLater(); // nobody else will ever free it
        return;
    }
    setFloatsOnTop(true);
    setGeometry(0, 0, Window::width, Window::height);
    const int margin = 10, buttonHeight = 44, gap = 8;
    int y = Window::height - margin;
    // Bottom up: cancel apart from the rest, then the choices, then the title.
    for (int index = numberOfButtons() - 1; index >= 0; --index) {
        y -= buttonHeight;
        auto *button = new Button(QRect(margin, y, Window::width - 2 * margin, buttonHeight), this);
        button->setTitle(m_buttonTitles.at(index));
        button->setTag(index);
        const bool destructive = index == destructiveButtonIndex();
        const bool cancel = index == cancelButtonIndex();
        button->setFontSize(13, cancel);
        button->setTitleColor(destructive ? QColor(255, 105, 105) : QColor(236, 240, 245));
        button->setFill(QColor(38, 40, 48), QColor(0, 150, 170), 12);
        connect(button, &Button::clicked, this, [this, index] { dismissWithClickedButtonIndex(index); });
        y -= cancel ? gap : 2;
    }
    if (!m_title.isEmpty()) {
        auto *label = new Label(QRect(margin, y - 36, Window::width - 2 * margin, 36), this);
        label->setText(m_title);
        label->setAlignment(Qt::AlignCenter);
        label->setFontSize(11);
        label->setTextColor(QColor(170, 176, 188));
        label->setWordWrap(true);
    }
    shown().append(this);
    window->addSubview(this);
}

void ActionSheet::dismissWithClickedButtonIndex(int index)
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    shown().removeAll(this);
    if (m_delegate && index >= 0 && index < numberOfButtons())
        m_delegate->actionSheetClickedButtonAtIndex(this, index);
    View::removeFromSuperview(this);
    deleteLater();
}

QList<ActionSheet *> ActionSheet::visibleSheets()
{
    return shown();
}

void ActionSheet::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 140));
}
