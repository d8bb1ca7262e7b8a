#include "AlertView.h"

#include "Button.h"
#include "Label.h"
#include "Window.h"

#include <QLoggingCategory>
#include <QPainter>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcAlert, "orbo.alert")

namespace {
QList<AlertView *> &shown()
{
    static QList<AlertView *> list;
    return list;
}
} // namespace

AlertView::AlertView(const QString &title, const QString &message, AlertViewDelegate *delegate,
                     const QString &cancelButtonTitle, const QStringList &otherButtonTitles)
    : m_title(title), m_message(message), m_delegate(delegate), m_hasCancel(!cancelButtonTitle.isEmpty())
{
    if (m_hasCancel)
        m_buttonTitles << cancelButtonTitle;
    m_buttonTitles << otherButtonTitles;
}

AlertView::~AlertView()
{
    shown().removeAll(this);
}

void AlertView::show()
{
    Window *window = Window::keyWindow();
    if (!window) {
        qCWarning(lcAlert).noquote() << "Alert without a window:" << m_title << "-" << m_message;
        deleteLater(); // nobody else will ever free it
        return;
    }
    setFloatsOnTop(true);
    setGeometry(0, 0, Window::width, Window::height);

    m_card = new View(this);
    m_card->setBackgroundColor(QColor(38, 40, 48, 245));
    m_card->setCornerRadius(14);
    auto *layout = new QVBoxLayout(m_card);
    layout->setContentsMargins(16, 18, 16, 12);
    layout->setSpacing(8);
    auto *titleLabel = new Label(m_card);
    titleLabel->setText(m_title);
    titleLabel->setFontSize(13, true);
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setWordWrap(true);
    layout->addWidget(titleLabel);
    if (!m_message.isEmpty()) {
        auto *messageLabel = new Label(m_card);
        messageLabel->setText(m_message);
        messageLabel->setFontSize(11);
        messageLabel->setTextColor(QColor(210, 212, 220));
        messageLabel->setAlignment(Qt::AlignCenter);
        messageLabel->setWordWrap(true);
        layout->addWidget(messageLabel);
    }
    layout->addSpacing(6);
    // Two buttons sit side by side (cancel on the left); more are stacked, cancel last.
    QList<int> order;
    for (int i = m_hasCancel ? 1 : 0; i < numberOfButtons(); ++i)
        order << i;
    if (m_hasCancel)
        order << 0;
    QBoxLayout *row = numberOfButtons() == 2 ? static_cast<QBoxLayout *>(new QHBoxLayout)
                                             : static_cast<QBoxLayout *>(new QVBoxLayout);
    if (numberOfButtons() == 2)
        std::reverse(order.begin(), order.end());
    row->setSpacing(8);
    for (int index : order) {
        auto *button = new Button(m_card);
        button->setTitle(m_buttonTitles.at(index));
        button->setTag(index);
        button->setFontSize(12, index == 0 && m_hasCancel);
        button->setFill(QColor(62, 66, 80), QColor(0, 170, 200), 8);
        button->setMinimumHeight(34);
        connect(button, &Button::clicked, this, [this, index] { dismissWithClickedButtonIndex(index); });
        row->addWidget(button);
    }
    layout->addLayout(row);
    const int cardWidth = 270;
    m_card->setFixedWidth(cardWidth);
    const int cardHeight =
        layout->heightForWidth(cardWidth) > 0 ? layout->heightForWidth(cardWidth) : layout->sizeHint().height();
    m_card->setGeometry((Window::width - cardWidth) / 2, (Window::height - cardHeight) / 2, cardWidth, cardHeight);

    shown().append(this);
    window->addSubview(this);
}

void AlertView::dismissWithClickedButtonIndex(int index)
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    shown().removeAll(this);
    if (m_delegate && index >= 0 && index < numberOfButtons())
        m_delegate->alertViewClickedButtonAtIndex(this, index);
    View::removeFromSuperview(this);
    deleteLater();
}

QList<AlertView *> AlertView::visibleAlerts()
{
    return shown();
}

void AlertView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 140));
}
