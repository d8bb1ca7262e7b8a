#include "NameInputBar.h"

#include "Button.h"
#include "TextField.h"
#include "ViewAnimation.h"

#include <QFontMetrics>

#include <algorithm>

namespace {
constexpr int margin = 6;
constexpr int partHeight = 30;

Button *barButton(const QString &title, QWidget *parent)
{
    auto *button = new Button(parent);
    button->setTitle(title);
    button->setFontSize(11, true);
    button->setFill(QColor(46, 52, 66), QColor(46, 204, 196), 8);
    return button;
}
} // namespace

NameInputBar::NameInputBar(const QString &fieldName, const QString &okTitle, const QString &cancelTitle,
                           QWidget *parent)
    : View(QRect(0, parent ? parent->height() : 0, parent ? parent->width() : 320, height), parent),
      m_field(new TextField(this)),
      m_ok(barButton(okTitle, this)),
      m_cancel(barButton(cancelTitle, this))
{
    setBackgroundColor(QColor(30, 34, 44));
    m_field->setPlaceholderText(fieldName);
    m_field->setAccessibleName(fieldName);
    connect(m_ok, &Button::clicked, this, &NameInputBar::submitted);
    connect(m_field, &QLineEdit::returnPressed, this, &NameInputBar::submitted);
    connect(m_cancel, &Button::clicked, this, &NameInputBar::cancelled);
    layoutParts();
    View::setHidden(this, true);
}

void NameInputBar::open()
{
    View::setHidden(this, false);
    raise();
    m_field->becomeFirstResponder();
}

void NameInputBar::rideAboveKeyboard(const QRect &keyboardFrame)
{
    // On the desktop the keyboard has no height: the bar sits at the screen's bottom.
    const int y = (parentWidget() ? parentWidget()->height() : 0) - height - keyboardFrame.height();
    View::setHidden(this, false);
    ViewAnimation(QStringLiteral("viewFolderNameInputViewAni")).frame(this, QRect(0, y, width(), height)).start();
}

void NameInputBar::park()
{
    ViewAnimation::stopAnimations(this);
    m_field->resignFirstResponder();
    View::setFrame(this, QRect(0, parentWidget() ? parentWidget()->height() : 0, width(), View::frame(this).height()));
    View::setHidden(this, true);
}

void NameInputBar::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    layoutParts();
}

void NameInputBar::layoutParts()
{
    // The buttons as wide as their captions, on the right; the field takes the rest.
    const auto buttonWidth = [](const Button *button) {
        return std::max(52, QFontMetrics(button->font()).horizontalAdvance(button->text()) + 20);
    };
    const int y = (height - partHeight) / 2;
    const int cancelWidth = buttonWidth(m_cancel);
    const int okWidth = buttonWidth(m_ok);
    const int cancelX = width() - margin - cancelWidth;
    const int okX = cancelX - margin - okWidth;
    m_cancel->setGeometry(cancelX, y, cancelWidth, partHeight);
    m_ok->setGeometry(okX, y, okWidth, partHeight);
    m_field->setGeometry(8, y, std::max(40, okX - margin - 8), partHeight);
}
